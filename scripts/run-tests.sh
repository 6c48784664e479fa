#!/usr/bin/env bash
# Runs every test of a build tree with CTest in a private session (see
# with-sound-server.sh): no test touches the user's preferences or speakers.
set -euo pipefail
build=${1:?usage: run-tests.sh BUILD_DIR}
here=$(cd "$(dirname "$0")" && pwd)

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

cd "$build"
exec "$here/with-sound-server.sh" ctest --output-on-failure -j 2 --timeout 300
