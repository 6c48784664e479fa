#!/usr/bin/env bash
# CPU of the session without a window (rxprobe) against rxsim, as a normal
# receiver and under the parameter flood (`--hostile param-flood`: two MSGs of
# just under 16 MiB 0.5 s after auth, on top of the normal stream): utime +
# stime of rxprobe over its first SESSION_SECONDS (default 20, start-up
# included) as a share of one core, SESSION_RUNS times each (default 3).
#
# Usage: scripts/bench-session.sh BUILD [RXPROBE]
# RXPROBE (default BUILD's own) lets an older build be measured against the
# same rxsim. Run inside scripts/with-sound-server.sh.
set -euo pipefail

build=$1
rxsim="$build/tools/rxsim/rxsim"
rxprobe=${2:-$build/tools/rxprobe/rxprobe}
seconds=${SESSION_SECONDS:-20}
runs=${SESSION_RUNS:-3}
hz=$(getconf CLK_TCK)
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

one_run() {
  "$rxsim" --port 0 --audio adpcm "$@" >"$work/rxsim.log" 2>&1 &
  local server=$!
  pids+=("$server")
  local port=""
  for _ in $(seq 100); do
    port=$(sed -n 's/^rxsim listening on 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$work/rxsim.log" | head -n 1)
    [ -n "$port" ] && break
    sleep 0.1
  done
  [ -n "$port" ] || { echo "bench-session: rxsim did not start" >&2; exit 1; }
  mkdir -p "$work/config"
  XDG_CONFIG_HOME="$work/config" "$rxprobe" "http://127.0.0.1:$port/" --seconds $((seconds + 5)) \
    >"$work/rxprobe.log" 2>&1 &
  local probe=$!
  pids+=("$probe")
  sleep "$seconds"
  local ticks
  ticks=$(awk '{ print $14 + $15 }' "/proc/$probe/stat")
  kill "$probe" "$server" 2>/dev/null || true
  wait "$probe" "$server" 2>/dev/null || true
  awk -v t="$ticks" -v hz="$hz" -v s="$seconds" 'BEGIN { printf "%.1f", 100 * t / hz / s }'
}

for receiver in normal param-flood; do
  args=()
  [ "$receiver" = param-flood ] && args=(--hostile param-flood)
  figures=()
  for _ in $(seq "$runs"); do
    figures+=("$(one_run "${args[@]}") %")
  done
  printf 'bench-session: %-11s rxprobe CPU over %s s, %% of one core: %s\n' "$receiver" "$seconds" "${figures[*]}"
done
