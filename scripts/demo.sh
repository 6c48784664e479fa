#!/usr/bin/env bash
# Shows Farlisten working with no internet: starts two stand-in receivers
# (rxsim) on 127.0.0.1, a KiwiSDR and an OpenWebRX server, and Farlisten
# connected to the first, with preferences and cache folders of its own under
# build/demo that keep the bookmarks and tuning of earlier demos (7200 kHz LSB
# the first time). The Receivers window lists both stand-ins from the receiver
# lists they serve (the KiwiSDR page and the receiverbook map), at their
# places on the map. The user's own preferences are not touched; the
# stand-ins stop when Farlisten exits.
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
pids=()
trap 'for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; done' EXIT

# Starts rxsim with the arguments; sets `port` to the port it names.
start_rxsim() {
  local log=$1
  shift
  "$rxsim" --port 0 "$@" >"$log" 2>&1 &
  local pid=$!
  pids+=("$pid")
  port=""
  for _ in $(seq 1 100); do
    port=$(sed -n 's/^rxsim listening on 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$log" | head -n 1)
    [ -n "$port" ] && return 0
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  echo "demo: rxsim did not start:" >&2
  cat "$log" >&2
  exit 1
}

start_rxsim "$log"
kiwi_port=$port
start_rxsim "$demo/rxsim-openwebrx.log" --kind openwebrx --name "Farlisten rxsim OpenWebRX" \
  --gps "(-33.868000, 151.209000)"
openwebrx_port=$port

address="http://127.0.0.1:$kiwi_port/"

echo "demo: stand-in receivers at $address and http://127.0.0.1:$openwebrx_port/ (logs in $demo)"
echo "demo: close Farlisten's windows to end the demo"
XDG_CONFIG_HOME="$demo/config" XDG_CACHE_HOME="$demo/cache" "$farlisten" \
  --directory "http://127.0.0.1:$kiwi_port/public/" --directory "http://127.0.0.1:$openwebrx_port/map" "$address"
