#!/usr/bin/env bash
# Shows Farlisten working with no internet: starts the stand-in receiver
# (rxsim) on 127.0.0.1 and Farlisten connected to it, with a preferences
# folder of its own under build/demo that keeps the bookmarks and tuning of
# earlier demos (7200 kHz LSB the first time). The user's own preferences are
# not touched; rxsim stops when Farlisten exits.
set -euo pipefail
build=${1:-build/release}
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

rxsim="$build/tools/rxsim/rxsim"
farlisten="$build/src/farlisten"
for program in "$rxsim" "$farlisten"; do
  [ -x "$program" ] || { echo "demo: $program is missing; run 'make build' first" >&2; exit 1; }
done

demo="$top/build/demo"
mkdir -p "$demo/config/Farlisten"
log="$demo/rxsim.log"

# Port 0: rxsim takes a free port and names it on its first line.
"$rxsim" --port 0 >"$log" 2>&1 &
rxsim_pid=$!
trap 'kill "$rxsim_pid" 2>/dev/null || true; wait "$rxsim_pid" 2>/dev/null || true' EXIT

port=""
for _ in $(seq 1 100); do
  port=$(sed -n 's/^rxsim listening on 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$log" | head -n 1)
  [ -n "$port" ] && break
  kill -0 "$rxsim_pid" 2>/dev/null || break
  sleep 0.1
done
if [ -z "$port" ]; then
  echo "demo: rxsim did not start:" >&2
  cat "$log" >&2
  exit 1
fi

address="http://127.0.0.1:$port/"

echo "demo: stand-in receiver at $address (log: $log)"
echo "demo: close Farlisten's window to end the demo"
XDG_CONFIG_HOME="$demo/config" "$farlisten" "$address"
