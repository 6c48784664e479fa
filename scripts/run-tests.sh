#!/usr/bin/env bash
# Runs every test of a build tree with CTest, in a clean environment: private
# preferences and runtime folders, the offscreen Qt platform.
set -euo pipefail
build=${1:?usage: run-tests.sh BUILD_DIR}

runtime=$(mktemp -d)
chmod 700 "$runtime"
trap 'rm -rf "$runtime"' EXIT
export XDG_RUNTIME_DIR=$runtime
export XDG_CONFIG_HOME=$runtime/config
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

cd "$build"
ctest --output-on-failure -j 2 --timeout 300
