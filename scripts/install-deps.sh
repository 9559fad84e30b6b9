#!/usr/bin/env bash
# Installs the Debian packages Pictoria needs to build, run and test, skipping those present.
#   scripts/install-deps.sh        what building, running and the tests need
#   scripts/install-deps.sh test   also what only tests use: a print server with a PDF printer,
#                                  the desktop entry and metadata validators, a window manager
#                                  a sound server, and clang for the fuzz targets
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libgtk-3-dev libpango1.0-dev libcairo2-dev librsvg2-dev libsdl2-dev
  libgtest-dev libgmock-dev libbenchmark-dev libpixman-1-dev
  xvfb xauth xdotool imagemagick x11-xserver-utils x11-utils
  fonts-liberation2 fonts-dejavu-core fonts-droid-fallback poppler-utils
)
# Only the tests print through CUPS, play through PulseAudio (each a server of their own), run
# under openbox and validate what is installed. Fuzzing needs clang and its libFuzzer
# (only recommended by clang, so named here).
[ "${1:-}" = test ] &&
  packages+=(cups printer-driver-cups-pdf desktop-file-utils appstream openbox pulseaudio pulseaudio-utils
    clang libclang-rt-14-dev)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
