#!/bin/bash
# The Debian package, made by CPack from the build folder of the program given: it holds what
# an install puts in place and depends on the libraries the program links. As root (and where no
# pictoria package is installed already) it is installed with dpkg, `pictoria` from the PATH
# shows the room and makes the pictures folder, and removing the package leaves the pictures.
# Usage: test_package.sh PICTORIA

[ $# -eq 1 ] || { echo "usage: $0 PATH_TO_PICTORIA" >&2; exit 2; }
BINARY=$(realpath "$1")
. "$(dirname "$0")/lib.sh"
command -v cpack >/dev/null && command -v dpkg-deb >/dev/null || { echo "SKIP: no cpack or dpkg-deb"; exit 77; }
ID=io.github.pictoria.Pictoria

cpack -G DEB -B "$E2E_TMP/package" --config "$(dirname "$BINARY")/CPackConfig.cmake" >"$E2E_TMP/cpack.log" 2>&1 ||
    e2e_fail "no package: $(tail -n 5 "$E2E_TMP/cpack.log")"
DEB=$(ls "$E2E_TMP"/package/pictoria_*.deb)
dpkg-deb --contents "$DEB" | awk '{print $6}' >"$E2E_TMP/contents"
for file in usr/bin/pictoria usr/libexec/pictoria usr/share/applications/$ID.desktop \
    usr/share/metainfo/$ID.metainfo.xml usr/share/icons/hicolor/scalable/apps/$ID.svg \
    usr/share/icons/hicolor/256x256/apps/$ID.png usr/share/man/man1/pictoria.1.gz \
    usr/share/pictoria/Pages/blank.bmp usr/share/pictoria/help/index.html; do
    grep -qx "./$file" "$E2E_TMP/contents" || e2e_fail "the package does not hold $file"
done
dpkg-deb -f "$DEB" Depends | grep -q "libgtk-3-0" || e2e_fail "the package does not depend on GTK"
e2e_log "$(basename "$DEB"): $(wc -l <"$E2E_TMP/contents") entries; depends on $(dpkg-deb -f "$DEB" Depends)"

if [ "$(id -u)" != 0 ] || dpkg -s pictoria >/dev/null 2>&1; then
    echo "PASS: test_package (not installed: needs root and no pictoria package installed)"
    exit 0
fi
trap 'dpkg -r pictoria >/dev/null 2>&1; e2e_cleanup' EXIT
dpkg -i "$DEB" >"$E2E_TMP/dpkg.log" 2>&1 || e2e_fail "dpkg -i failed: $(tail -n 5 "$E2E_TMP/dpkg.log")"
[ "$(command -v pictoria)" = /usr/bin/pictoria ] || e2e_fail "pictoria is not on the PATH"
e2e_start_x 800 600
export HOME="$E2E_TMP/home"
mkdir -p "$HOME"
(cd / && exec pictoria) >"$E2E_TMP/program-packaged.log" 2>&1 &
PID=$!
E2E_PIDS+=("$PID")
e2e_dismiss_title "$PID" && e2e_wait 20 eval '[ "$(e2e_windows "$PID")" = "0 0 800 600" ]' ||
    e2e_fail "the packaged program shows no room"
kill "$PID" && wait "$PID" 2>/dev/null
cp /usr/share/pictoria/Pages/cat.bmp "$HOME/Pictures/Pictoria/Gallery/my cat.bmp"
dpkg -r pictoria >"$E2E_TMP/dpkg.log" 2>&1 || e2e_fail "dpkg -r failed: $(tail -n 5 "$E2E_TMP/dpkg.log")"
[ ! -e /usr/bin/pictoria ] && [ ! -e /usr/share/pictoria ] || e2e_fail "files were left after dpkg -r"
[ -s "$HOME/Pictures/Pictoria/Gallery/my cat.bmp" ] || e2e_fail "removing the package took the pictures"
echo "PASS: test_package"
