#!/usr/bin/env bash
# End-to-end cost of listening: rxsim streams ADPCM sound and the waterfall,
# at each rate of E2E_WF_FPS in turn, to (1) rxprobe, the session without a
# window, and (2) Farlisten itself under Xvfb: connected, then with its window
# unmapped as a window manager does when it minimises it (sound playing), and
# after the last rate the receiver goes away and the window counts down to its
# next try. For each: CPU time over E2E_SECONDS of steady streaming as a share
# of one core, and peak resident memory; at the end each target beside its
# figure. The build must have FARLISTEN_LATENCY_PROBES (make bench-e2e's
# has): the window notes its first picture through them, which times the
# start; they also give the latency from a sound frame's arrival to its first
# sample being read for the sound server (rxprobe and Farlisten) and from a
# waterfall row's arrival to the paint that shows it (Farlisten), median and
# 99th percentile.
#
# Run inside scripts/with-sound-server.sh, so sound plays into a null sink.
# Usage: bench-e2e.sh BUILD_DIR   (E2E_SECONDS, default 60; E2E_WF_FPS, the
# rates, default "23 100"; E2E_IDLE_SECONDS, the minimised and countdown
# measurements, default 20; E2E_ADDRESS_FIELD, "X Y" of the address field in
# the window, default "150 38"; E2E_SCREENSHOT, a PNG file for a picture of
# the screen at the end; E2E_PERF=1 samples each measured program with perf
# and prints its top entries)
set -euo pipefail
build=$(cd "${1:?usage: bench-e2e.sh BUILD_DIR}" && pwd)
seconds=${E2E_SECONDS:-60}
rates=${E2E_WF_FPS:-23 100}
warmup=5
idle_seconds=${E2E_IDLE_SECONDS:-20}
here=$(cd "$(dirname "$0")" && pwd)

rxsim="$build/tools/rxsim/rxsim"
rxprobe="$build/tools/rxprobe/rxprobe"
farlisten="$build/src/farlisten"

# Farlisten's part, run inside xvfb-run: start it, connect by pressing Return
# in the address field, measure, quit with Ctrl+Q. WORK/rate holds the rate,
# WORK/last says whether the countdown is measured after it.
if [ "${1:-}" != "" ] && [ "${2:-}" = "--gui" ]; then
  work=$3
  fps=$(cat "$work/rate")
  export XDG_CONFIG_HOME="$work/config"
  log="$work/farlisten-latency-$fps.log"
  launched=$(date +%s%N)
  FARLISTEN_LATENCY_LOG="$log" "$farlisten" >"$work/farlisten.log" 2>&1 &
  pid=$!
  # The window notes when its first picture reached the display; the wait
  # for that note reads a file with shell builtins only. Looking for the
  # window with xdotool meanwhile is no measure: a look takes 20-75 ms here
  # and keeps the X server from the starting window (218 ms alone, 350 ms
  # under such looks, four starts each).
  shown_at=""
  for _ in $(seq 1000); do
    if [ -f "$log" ]; then
      while read -r key value _; do
        if [ "$key" = shown-at ] && [ "$value" -ge "$launched" ]; then
          shown_at=$value
          break
        fi
      done <"$log"
    fi
    [ -n "$shown_at" ] && break
    sleep 0.01
  done
  if [ -z "$shown_at" ]; then
    echo "bench-e2e: the window never noted its first picture" >&2
    tail -n 5 "$work/farlisten.log" >&2
    kill "$pid" 2>/dev/null
    exit 1
  fi
  shown=$(( (shown_at - launched) / 1000000 ))
  window=$(timeout 10 xdotool search --sync --onlyvisible --name '^Farlisten' 2>/dev/null | head -n 1 || true)
  [ -n "$window" ] || { echo "bench-e2e: no Farlisten window" >&2; kill "$pid" 2>/dev/null; exit 1; }
  echo "$shown" >>"$work/shown.ms"
  echo "farlisten  window shown $shown ms after launch"
  sleep 1
  xdotool windowfocus --sync "$window"
  # The address field holds the keyboard focus after a click in it.
  read -r fx fy < <(cat "$work/address-field")
  xdotool mousemove --window "$window" "$fx" "$fy" click 1
  sleep 0.2
  xdotool key --window "$window" Return
  "$here/bench-e2e.sh" "$build" --measure "$work" "window-$fps" "$pid"
  if [ -n "${E2E_SCREENSHOT:-}" ] && command -v import >/dev/null; then
    import -window root "$E2E_SCREENSHOT" || true
  fi
  # The latencies of the window on screen; rows that came while it was
  # minimised wait for it to be mapped again.
  cp "$work/farlisten-latency-$fps.log" "$work/farlisten-latency-$fps.shown" 2>/dev/null || true
  # Minimised: a window manager unmaps the window; there is none under Xvfb,
  # so the script unmaps it itself. Sound keeps playing.
  xdotool windowunmap --sync "$window"
  E2E_PERF="" "$here/bench-e2e.sh" "$build" --idle "$work" "minimised-$fps" "$pid"
  xdotool windowmap --sync "$window"
  if [ -e "$work/last" ]; then
    # The receiver goes away; the window counts down to its next try.
    kill "$(cat "$work/rxsim.pid")" 2>/dev/null || true
    E2E_PERF="" "$here/bench-e2e.sh" "$build" --idle "$work" countdown "$pid"
  fi
  # Ctrl+Q to the focused window quits the normal way; a signal if not.
  xdotool windowfocus --sync "$window" key ctrl+q 2>/dev/null || true
  for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  exit 0
fi

# Samples one process: CPU time over `seconds` after the warm-up, then its
# peak resident memory, written to WORK/NAME.result.
if [ "${2:-}" = "--measure" ] || [ "${2:-}" = "--idle" ]; then
  work=$3 name=$4 pid=$5
  if [ "$2" = "--idle" ]; then
    warmup=3 seconds=$idle_seconds
  fi
  ticks() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }
  sleep "$warmup"
  t0=$(ticks); s0=$(date +%s.%N)
  if [ -n "${E2E_PERF:-}" ] && command -v perf >/dev/null; then
    perf record -q -F 499 -g -p "$pid" -o "$work/$name.perf" -- sleep "$seconds" >/dev/null 2>&1 || sleep "$seconds"
  else
    sleep "$seconds"
  fi
  t1=$(ticks); s1=$(date +%s.%N)
  hwm=$(awk '/^VmHWM:/ { print $2 }' "/proc/$pid/status")
  rss=$(awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status")
  hz=$(getconf CLK_TCK)
  awk -v t0="$t0" -v t1="$t1" -v s0="$s0" -v s1="$s1" -v hz="$hz" -v hwm="$hwm" -v rss="$rss" -v name="$name" \
    'BEGIN { printf "%-10s CPU %5.1f %% of one core over %.0f s, peak RSS %.1f MB (now %.1f MB)\n",
             name, 100 * (t1 - t0) / hz / (s1 - s0), s1 - s0, hwm / 1024, rss / 1024 }' \
    | tee "$work/$name.result"
  awk -v t0="$t0" -v t1="$t1" -v s0="$s0" -v s1="$s1" -v hz="$hz" -v hwm="$hwm" \
    'BEGIN { printf "%.2f %.1f\n", 100 * (t1 - t0) / hz / (s1 - s0), hwm / 1024 }' >"$work/$name.figures"
  # Debian's Qt has no symbols: its libraries show as a whole.
  if [ -s "$work/$name.perf" ]; then
    for sort in dso dso,symbol; do
      perf report -q --stdio --no-children --sort "$sort" -g none -i "$work/$name.perf" \
        >"$work/$name.report" 2>/dev/null || true
      grep -v '^$' "$work/$name.report" | awk '{ $1 = $1; print }' | sed -n '1,12s/^/           perf /p'
    done
  fi
  exit 0
fi

for program in "$rxsim" "$rxprobe" "$farlisten"; do
  [ -x "$program" ] || { echo "bench-e2e: $program is missing" >&2; exit 1; }
done

work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do
    kill "$p" 2>/dev/null || true
    wait "$p" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT

# PulseAudio's null sink sleeps in blocks of up to two seconds while nothing
# plays, and a new stream is not read until that sleep ends: the first 0.7 to
# 1.9 s of sound would wait in the player's queue, and since the server sends
# in real time the queue never drains again. A sound card wakes at once, so a
# silent low-latency stream keeps the null sink awake for the measurement.
if command -v pacat >/dev/null && [ -n "${XDG_RUNTIME_DIR:-}" ]; then
  pacat --playback --latency-msec=20 --raw /dev/zero >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 50); do
    [ -n "$(pactl list short sink-inputs 2>/dev/null)" ] && break
    sleep 0.1
  done
  # The silent stream itself waits out the sleep that was running.
  sleep 2
fi

# Median and 99th percentile of one kind of latency line.
latency() {
  local file=$1 kind=$2
  [ -s "$file" ] || return 0
  awk -v kind="$kind" '$1 == kind { print $2 }' "$file" | sort -n | awk -v kind="$kind" '
    { v[NR] = $1 }
    END {
      if (NR == 0) exit
      p50 = v[int((NR + 1) / 2)]; i = int(NR * 0.99 + 0.999); if (i > NR) i = NR
      printf "           latency %-9s median %.1f ms, p99 %.1f ms (%d samples)\n", kind, p50, v[i], NR
    }'
}

last_rate=${rates##* }
for fps in $rates; do
  "$rxsim" --port 0 --wf-fps "$fps" --audio adpcm >"$work/rxsim.log" 2>&1 &
  rxsim_pid=$!
  pids+=("$rxsim_pid")
  echo "$rxsim_pid" >"$work/rxsim.pid"
  port=""
  for _ in $(seq 100); do
    port=$(sed -n 's/^rxsim listening on 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$work/rxsim.log" | head -n 1)
    [ -n "$port" ] && break
    sleep 0.1
  done
  [ -n "$port" ] || { echo "bench-e2e: rxsim did not start" >&2; cat "$work/rxsim.log" >&2; exit 1; }
  address="http://127.0.0.1:$port/"
  echo "bench-e2e: rxsim at $address, ADPCM sound, waterfall at $fps rows/s; ${seconds} s after ${warmup} s warm-up"

  # 1. rxprobe: the session, sound into the null sink, rows counted.
  mkdir -p "$work/config"
  XDG_CONFIG_HOME="$work/config" FARLISTEN_LATENCY_LOG="$work/rxprobe-latency-$fps.log" \
    "$rxprobe" "$address" --seconds $((seconds + warmup + 5)) >"$work/rxprobe.log" 2>&1 &
  probe=$!
  pids+=("$probe")
  "$0" "$build" --measure "$work" "rxprobe-$fps" "$probe"
  wait "$probe" || true
  tail -n 1 "$work/rxprobe.log" | sed 's/^/           summary /'
  latency "$work/rxprobe-latency-$fps.log" sound

  # 2. Farlisten with a preferences folder whose server address is rxsim.
  mkdir -p "$work/config/Farlisten"
  printf '[General]\nserverAddress=%s\n' "$address" >"$work/config/Farlisten/Farlisten.conf"
  echo "${E2E_ADDRESS_FIELD:-150 38}" >"$work/address-field"
  echo "$fps" >"$work/rate"
  if [ "$fps" = "$last_rate" ]; then touch "$work/last"; fi
  if command -v xvfb-run >/dev/null && command -v xdotool >/dev/null; then
    env -u QT_QPA_PLATFORM xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
      "$0" "$build" --gui "$work" || echo "bench-e2e: the Farlisten run failed" >&2
  else
    echo "bench-e2e: Xvfb or xdotool missing; Farlisten not measured" >&2
  fi
  latency "$work/farlisten-latency-$fps.shown" waterfall
  latency "$work/farlisten-latency-$fps.shown" sound
  kill "$rxsim_pid" 2>/dev/null || true
  wait "$rxsim_pid" 2>/dev/null || true
done

# Each target beside what was measured; a figure not measured at this run's
# rates is left out.
target() {
  local label=$1 file=$2 field=$3 bound=$4 unit=$5
  [ -s "$work/$file.figures" ] || return 0
  awk -v label="$label" -v field="$field" -v bound="$bound" -v unit="$unit" '{
      value = $field
      printf "target     %-44s %7.2f %-3s at most %s %s  %s\n", label, value, unit, bound, unit,
        (value <= bound ? "met" : "MISSED")
    }' "$work/$file.figures"
}
echo "bench-e2e: targets"
target "window at 23 rows/s, % of one core" window-23 1 4 "%"
target "window at 100 rows/s, % of one core" window-100 1 6 "%"
target "window counting down to a reconnect" countdown 1 0.3 "%"
target "window minimised at 23 rows/s, sound on" minimised-23 1 2 "%"
target "rxprobe at 23 rows/s, % of one core" rxprobe-23 1 1 "%"
peak=$(cat "$work"/window-*.figures "$work"/minimised-*.figures "$work"/countdown.figures 2>/dev/null \
  | awk '$2 > max { max = $2 } END { if (NR) print max }')
[ -n "$peak" ] && echo "$peak" | awk '{ printf "target     %-44s %7.1f %-3s at most 60 MB  %s\n",
  "window peak memory", $1, "MB", ($1 <= 60 ? "met" : "MISSED") }'
if [ -s "$work/shown.ms" ]; then
  sort -n "$work/shown.ms" | tail -n 1 | awk '{ printf "target     %-44s %7d %-3s at most 300 ms  %s\n",
    "window shown after launch (slowest start)", $1, "ms", ($1 <= 300 ? "met" : "MISSED") }'
fi
