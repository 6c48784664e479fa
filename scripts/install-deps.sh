#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing, benchmarking and
# fuzzing Farlisten need. Installs only what is missing; safe to run again.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config
  qt6-base-dev qt6-websockets-dev qt6-multimedia-dev qt6-httpserver-dev libqt6svg6
  libliquid1 libliquid-dev libfftw3-single3 libfftw3-dev libsndfile1 libsndfile1-dev
  libgtest-dev googletest libbenchmark-dev
  clang libclang-rt-14-dev
  fonts-dejavu-core
  xvfb xauth xdotool imagemagick
  pulseaudio pulseaudio-utils sox
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
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
