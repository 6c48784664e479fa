#!/usr/bin/env bash
# Runs a command in a private session: its own runtime, preferences and cache folders,
# the offscreen Qt platform, and its own PulseAudio daemon with a null sink, so
# sound plays somewhere real without touching a desktop's sound server or the
# user's preferences. Sets FARLISTEN_REQUIRE_PULSE=1 once the daemon answers.
set -euo pipefail
[ $# -ge 1 ] || { echo "usage: with-sound-server.sh COMMAND [ARGS...]" >&2; exit 2; }

runtime=$(mktemp -d)
chmod 700 "$runtime"
pulse_pid=""
cleanup() {
  if [ -n "$pulse_pid" ]; then
    kill "$pulse_pid" 2>/dev/null || true
    wait "$pulse_pid" 2>/dev/null || true
  fi
  rm -rf "$runtime"
}
trap cleanup EXIT
export XDG_RUNTIME_DIR=$runtime
export XDG_CONFIG_HOME=$runtime/config
export XDG_CACHE_HOME=$runtime/cache
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
unset PULSE_SERVER

if command -v pulseaudio >/dev/null && command -v pactl >/dev/null; then
  cat > "$runtime/pa.pa" <<'PA'
load-module module-native-protocol-unix auth-anonymous=1
load-module module-null-sink sink_name=test_sink rate=48000 sink_properties=device.description=TestSink
set-default-sink test_sink
PA
  # Started in the foreground of a background job, so its id is ours to end.
  pulseaudio -n -F "$runtime/pa.pa" --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
    --log-target=file:"$runtime/pulseaudio.log" >/dev/null 2>&1 &
  pulse_pid=$!
  for _ in $(seq 100); do
    if pactl info >/dev/null 2>&1; then
      break
    fi
    sleep 0.1
  done
  if pactl info >/dev/null 2>&1; then
    export FARLISTEN_REQUIRE_PULSE=1
  else
    echo "PulseAudio did not start; sound will not be played" >&2
    cat "$runtime/pulseaudio.log" >&2 || true
  fi
fi

"$@"
