#!/usr/bin/env bash
# Installs the Debian 12 packages Farlisten needs, by group:
#   run    building and running the program (make run); Qt's translation
#          tools build the program's translations; GSHHG's coastlines and
#          libnetcdf to read them draw the Receivers window's map
#   tools  run, plus what the stand-in receiver and the probes need (make demo)
#   test   tools, plus the test harness and the desktop-file checkers (make test)
#   bench  tools, plus Google Benchmark, Xvfb and a sound server (make bench)
#   fuzz   run, plus clang and its libFuzzer runtime (make fuzz)
#   package  tools, plus debhelper, lintian and the checkers of the installed
#          files (make package, make package-check)
#   all    every group (the default)
# Installs only what is missing; safe to run again.
set -euo pipefail

# librsvg2-bin renders the icon's PNG sizes at build time.
run=(
  build-essential cmake ninja-build ccache pkg-config librsvg2-bin
  qt6-base-dev qt6-websockets-dev qt6-multimedia-dev libqt6svg6
  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
  libliquid1 libliquid-dev libfftw3-single3 libfftw3-dev libsndfile1 libsndfile1-dev
  qtkeychain-qt6-dev
  libspeexdsp1 libspeexdsp-dev
  libnetcdf19 libnetcdf-dev gmt-gshhg-low
  libpulse0 libpulse-dev
)
# help2man writes the tools' manual pages from their --help.
tools=(qt6-httpserver-dev help2man)
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
package=(debhelper dpkg-dev lintian desktop-file-utils appstream)

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
    package) packages+=("${run[@]}" "${tools[@]}" "${package[@]}") ;;
    all) packages+=("${run[@]}" "${tools[@]}" "${test[@]}" "${bench[@]}" "${fuzz[@]}" "${package[@]}") ;;
    *)
      echo "install-deps.sh: unknown group '$group' (run, tools, test, bench, fuzz, package or all)" >&2
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
