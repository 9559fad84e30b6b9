#!/bin/bash
# The Debian package holds what an install puts in place and depends on GTK. As root (and where
# no Pictoria is installed already) dpkg installs it, `pictoria` starts from the PATH into the
# room, and removing the package takes its files but leaves the child's pictures.
# Usage: test_package.sh PICTORIA

[ $# -eq 1 ] || { echo "usage: $0 PATH_TO_PICTORIA" >&2; exit 2; }
BUILD=$(dirname "$(realpath "$1")")
. "$(dirname "$0")/lib.sh"

cpack -G DEB -B "$E2E_TMP/package" --config "$BUILD/CPackConfig.cmake" >"$E2E_TMP/cpack.log" 2>&1 ||
    e2e_fail "no package: $(tail -n 5 "$E2E_TMP/cpack.log")"
DEB=$(ls "$E2E_TMP"/package/pictoria_*.deb)
DESTDIR="$E2E_TMP/dest" cmake --install "$BUILD" --prefix /usr >/dev/null || e2e_fail "the install failed"
dpkg-deb --contents "$DEB" | awk '{print $6}' >"$E2E_TMP/contents"
for name in $(cd "$E2E_TMP/dest" && find . ! -type d); do
    grep -qx "$name" "$E2E_TMP/contents" || e2e_fail "the package lacks $name"
done
dpkg-deb -f "$DEB" Depends | grep -q "libgtk-3-0" || e2e_fail "the package does not depend on GTK"
[ "$(id -u)" = 0 ] || { echo "SKIP: the package is made, but only root installs it"; exit 77; }
! dpkg -s pictoria >/dev/null 2>&1 || { echo "SKIP: a Pictoria is installed already"; exit 77; }

trap 'dpkg -r pictoria >/dev/null 2>&1; e2e_cleanup' EXIT
dpkg -i "$DEB" >/dev/null && [ "$(command -v pictoria)" = /usr/bin/pictoria ] || e2e_fail "dpkg -i failed"
e2e_start_x 800 600
export HOME="$E2E_TMP/home"
e2e_room packaged pictoria && kill "$PID" && wait "$PID" 2>/dev/null
cp /usr/share/pictoria/Pages/cat.bmp "$HOME/Pictures/Pictoria/Gallery/my cat.bmp"
dpkg -r pictoria >/dev/null && [ ! -e /usr/bin/pictoria ] && [ ! -e /usr/share/pictoria ] || e2e_fail "files left"
[ -s "$HOME/Pictures/Pictoria/Gallery/my cat.bmp" ] || e2e_fail "removing the package took the pictures"
echo "PASS: test_package"
