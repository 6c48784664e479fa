#!/usr/bin/env bash
# Runs the tests of the threaded layers (session, sound, OpenWebRX) of a
# ThreadSanitizer build in a private session (see with-sound-server.sh). Only
# those test programs are built there; CTest lists the others as *_NOT_BUILT.
#
# Qt and the system libraries are not instrumented, so:
# - libfarlisten_tsan_qt.so (tools/tsan) is preloaded: it tells the sanitizer
#   that a call queued with QMetaObject::invokeMethod happens after the code
#   that queued it, which Qt guarantees with locks the sanitizer cannot see;
# - ignore_noninstrumented_modules: calls that Qt, GLib or PulseAudio make into
#   the sanitizer's interceptors (mutexes, file descriptors, memory) are not
#   checked, as their own accesses are not either;
# - die_after_fork=0: QProcess forks a threaded process (pactl, child tests)
#   and execs at once, which is safe;
# - scripts/tsan.supp for what remains inside those libraries, by library name.
set -euo pipefail
build=$(cd "${1:?usage: run-tsan-tests.sh BUILD_DIR}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)

export TSAN_OPTIONS="suppressions=$here/tsan.supp ignore_noninstrumented_modules=1 die_after_fork=0 second_deadlock_stack=1 ${TSAN_OPTIONS:-}"

cd "$build"
# Preloaded after the sound server has started, so only CTest and the tests
# carry it.
exec "$here/with-sound-server.sh" env LD_PRELOAD="$build/libfarlisten_tsan_qt.so${LD_PRELOAD:+:$LD_PRELOAD}" ctest --output-on-failure -j 2 --timeout 900 -E '_NOT_BUILT$'
