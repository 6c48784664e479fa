#!/usr/bin/env bash
# Installs the Debian 12 packages Farlisten needs, by group:
#   run    building and running the program (make run); Qt's translation
#          tools build the program's translations
#   tools  run, plus what the stand-in receiver and the probes need (make demo)
#   test   tools, plus the test harness and the desktop-file checkers (make test)
#   bench  tools, plus Google Benchmark, Xvfb and a sound server (make bench)
#   fuzz   run, plus clang and its libFuzzer runtime (make fuzz)
#   all    every group (the default)
# Installs only what is missing; safe to run again.
set -euo pipefail

run=(
  build-essential cmake ninja-build ccache pkg-config
  qt6-base-dev qt6-websockets-dev qt6-multimedia-dev libqt6svg6
  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
  libliquid1 libliquid-dev libfftw3-single3 libfftw3-dev libsndfile1 libsndfile1-dev
  qtkeychain-qt6-dev
  libspeexdsp1 libspeexdsp-dev
  libpulse0 libpulse-dev
)
tools=(qt6-httpserver-dev)
# A private PulseAudio daemon with a null sink plays the tests' sound; fonts
# for the offscreen windows; the validators of the installed desktop files;
# hamlib's rigctl, the client the rigctl server is tested against.
test=(
  libgtest-dev googletest
  pulseaudio pulseaudio-utils sox
  libhamlib-utils
  fonts-dejavu-core
  desktop-file-utils appstream man-db
)
bench=(
  libbenchmark-dev
  pulseaudio pulseaudio-utils
  xvfb xauth xdotool imagemagick fonts-dejavu-core
)
fuzz=(clang libclang-rt-14-dev)

groups=("$@")
[ ${#groups[@]} -gt 0 ] || groups=(all)

packages=()
for group in "${groups[@]}"; do
  case "$group" in
    run) packages+=("${run[@]}") ;;
    tools) packages+=("${run[@]}" "${tools[@]}") ;;
    test) packages+=("${run[@]}" "${tools[@]}" "${test[@]}") ;;
    bench) packages+=("${run[@]}" "${tools[@]}" "${bench[@]}") ;;
    fuzz) packages+=("${run[@]}" "${fuzz[@]}") ;;
    all) packages+=("${run[@]}" "${tools[@]}" "${test[@]}" "${bench[@]}" "${fuzz[@]}") ;;
    *)
      echo "install-deps.sh: unknown group '$group' (run, tools, test, bench, fuzz or all)" >&2
      exit 2
      ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    case " ${missing[*]} " in *" $p "*) ;; *) missing+=("$p") ;; esac
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi

echo "Installing: ${missing[*]}"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
