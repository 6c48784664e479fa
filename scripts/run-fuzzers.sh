#!/usr/bin/env bash
# Runs every fuzz program of a build tree for a bounded time each. A finding
# stops the run with the fuzzer's report and a non-zero exit.
set -euo pipefail
build=${1:?usage: run-fuzzers.sh BUILD_DIR [SECONDS]}
seconds=${2:-60}
top=$(cd "$(dirname "$0")/.." && pwd)

shopt -s nullglob
found=0
for program in "$build"/fuzz/fuzz_*; do
  [ -f "$program" ] && [ -x "$program" ] || continue
  name=$(basename "$program")
  found=1
  # The corpus lives in the source tree, so every run starts where the
  # last one stopped.
  corpus="$top/fuzz/corpus/$name"
  mkdir -p "$corpus"
  log="$build/$name.log"
  if ! "$program" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$build/$name-" \
      "$corpus" >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "$name: finding, see $build/$name-* and $log"
    exit 1
  fi
  tail -n 12 "$log"
done
[ "$found" -eq 1 ] || { echo "no fuzz programs built"; exit 1; }
echo "all fuzzers ran ${seconds}s each with no finding"
