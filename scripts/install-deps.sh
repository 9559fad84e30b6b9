#!/usr/bin/env bash
# Installs the Debian packages Pictoria needs to build, run and test, skipping those present.
#   scripts/install-deps.sh        what building, running and the tests need
#   scripts/install-deps.sh test   also what only tests use: a print server with a PDF printer,
#                                  the desktop entry, metadata and package checkers, a window
#                                  manager, a sound server, and clang for the fuzz targets
#   scripts/install-deps.sh package   also what making the Debian package needs
# Not run as root, it installs through sudo, or where there is none (a Debian installed with a
# root password) through su, which asks for that password.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libgtk-3-dev libpango1.0-dev libcairo2-dev librsvg2-dev libsdl2-dev libpng-dev libjpeg62-turbo-dev zlib1g-dev
  libgtest-dev libgmock-dev libbenchmark-dev libpixman-1-dev
  xvfb xauth xdotool imagemagick x11-xserver-utils x11-utils
  fonts-liberation2 fonts-dejavu-core fonts-droid-fallback poppler-utils gettext po4a
)
# Only the tests print through CUPS, play through PulseAudio (each a server of their own), run
# under openbox, change the screen's size under the program (a nested X server) and validate
# what is installed and the package (lintian). Fuzzing needs clang and its libFuzzer (only recommended by clang, so named
# here). The picture reading tests write JPEG files of every kind with cjpeg. The language test
# makes a German locale of its own (locales) and reads the screen with OCR (tesseract).
[ "${1:-}" = test ] &&
  packages+=(cups printer-driver-cups-pdf desktop-file-utils appstream lintian openbox pulseaudio pulseaudio-utils
    xserver-xephyr clang libclang-rt-14-dev libjpeg-turbo-progs locales
    tesseract-ocr tesseract-ocr-deu)
# The package's library scan (dpkg-shlibdeps) looks at each file with `file`; the tests make the
# package too.
case "${1:-}" in test | package) packages+=(file) ;; esac

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

# Runs as root. A desktop's updater often holds the package lock for minutes: wait for it
# rather than fail.
install_as_root() {
  export DEBIAN_FRONTEND=noninteractive
  local out tries=0
  until out=$(apt-get -qq -o DPkg::Lock::Timeout=600 update 2>&1); do
    case $out in
      *"Could not get lock"* | *"Unable to lock"*) ;;
      *) echo "$out" >&2 && return 1 ;;
    esac
    [ $((tries += 1)) -le 120 ] || { echo "$out" >&2 && return 1; }
    [ $tries -gt 1 ] || echo "Waiting for another package manager to finish..."
    sleep 5
  done
  apt-get install -y -qq --no-install-recommends -o DPkg::Lock::Timeout=600 "$@"
}

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  install_as_root "${missing[@]}"
  exit
fi
# The steps go to root whole, as a script, so nothing of them (DEBIAN_FRONTEND) is lost on the way.
script=$(mktemp)
trap 'rm -f "$script"' EXIT
{ declare -f install_as_root && echo "install_as_root ${missing[*]}"; } >"$script"
if command -v sudo >/dev/null; then
  sudo bash "$script"
else
  echo "Installing needs root, and there is no sudo: su asks for the root password."
  su root -c "bash $(printf %q "$script")"
fi
