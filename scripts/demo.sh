#!/usr/bin/env bash
# Shows Farlisten working with no internet: starts the stand-in receiver
# (rxsim) on 127.0.0.1 and Farlisten with a preferences folder of its own
# under build/demo, whose server address is that receiver. Press Connect and
# listen. The user's own preferences are not touched; rxsim stops when
# Farlisten exits.
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

# The demo's own preferences: keep what was saved in earlier demos (bookmarks,
# tuning), but point the address at this run's receiver.
conf="$demo/config/Farlisten/Farlisten.conf"
address="http://127.0.0.1:$port/"
if [ -f "$conf" ] && grep -q '^serverAddress=' "$conf"; then
  sed -i "s|^serverAddress=.*|serverAddress=$address|" "$conf"
elif [ -f "$conf" ] && grep -q '^\[General\]' "$conf"; then
  sed -i "s|^\[General\]$|[General]\nserverAddress=$address|" "$conf"
else
  printf '[General]\nserverAddress=%s\n' "$address" >>"$conf"
fi

echo "demo: stand-in receiver at $address (log: $log)"
echo "demo: press Connect in Farlisten; close its window to end the demo"
XDG_CONFIG_HOME="$demo/config" "$farlisten"
