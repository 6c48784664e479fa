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
  # last one stopped. New inputs go to a scratch folder first (libFuzzer
  # writes to the first folder it is given); only those that reach code the
  # corpus does not are merged into it, so it stays small.
  corpus="$top/fuzz/corpus/$name"
  fresh="$build/$name.new"
  mkdir -p "$corpus"
  rm -rf "$fresh"
  mkdir -p "$fresh"
  log="$build/$name.log"
  if ! "$program" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$build/$name-" \
      "$fresh" "$corpus" >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "$name: finding, see $build/$name-* and $log"
    exit 1
  fi
  tail -n 12 "$log"
  "$program" -merge=1 "$corpus" "$fresh" >"$build/$name.merge.log" 2>&1
  rm -rf "$fresh"
done
[ "$found" -eq 1 ] || { echo "no fuzz programs built"; exit 1; }
echo "all fuzzers ran ${seconds}s each with no finding"
