#!/bin/bash
# Installed into a scratch folder: valid desktop entry and metadata with every language's fields,
# the program's translations, the help page and the manual
# page in English, German, French and Spanish, each page finding its pictures; the launcher makes
# Pictoria/Gallery and Pictoria/Pages in the pictures folder and runs there, and leaves a
# Pages folder of the user's own alone. With "package", the Debian package holds the same files, its
# settings file is a conffile and lintian finds nothing to warn about; as root dpkg installs it,
# `pictoria` runs from the PATH, removing it leaves the pictures and the settings, and a purge
# takes the settings.
# Usage: test_install.sh PICTORIA [package]

BINARY=$(realpath "${1:?usage: $0 PATH_TO_PICTORIA [package]}")
. "$(dirname "$0")/lib.sh"
command -v desktop-file-validate >/dev/null && command -v appstreamcli >/dev/null || e2e_fail "no validators installed"
ID=io.github.pictoria.Pictoria USR="$E2E_TMP/dest/usr" FOLDER="$E2E_TMP/home/My  Pictures*/Pictoria"
NAMES="bin/pictoria libexec/pictoria share/applications/$ID.desktop share/metainfo/$ID.metainfo.xml
    share/icons/hicolor/scalable/apps/$ID.svg share/icons/hicolor/48x48/apps/$ID.png share/man/man1/pictoria.1.gz
    share/pictoria/Pages/blank.bmp share/pictoria/Pages/owl.bmp share/pictoria/help/index.html
    share/doc/pictoria/copyright share/doc/pictoria/changelog.gz ../etc/pictoria/settings.ini
    $(for l in de fr es; do echo share/{pictoria/help/$l/index.html,man/$l/man1/pictoria.1.gz}; done)
    $(grep -v '^#' "$(dirname "$0")/../../po/LINGUAS" | sed 's|.*|share/locale/&/LC_MESSAGES/pictoria.mo|')"

DESTDIR="$E2E_TMP/dest" cmake --install "$(dirname "$BINARY")" --prefix /usr >/dev/null || e2e_fail "the install failed"
for name in $NAMES; do [ -s "$USR/$name" ] || e2e_fail "$name is not installed"; done
for page in "$USR"/share/pictoria/help/{,*/}index.html; do  # each page finds every picture it shows
    for picture in $(grep -o '\(src\|href\)="[^"#:]*"' "$page" | cut -d'"' -f2); do
        [ -s "${page%/*}/$picture" ] || e2e_fail "${page#$USR/} shows $picture, which is not there"; done
done
grep -q '<html lang="de">' "$USR/share/pictoria/help/de/index.html" && zgrep -q '^\.SH BESCHREIBUNG' \
    "$USR/share/man/de/man1/pictoria.1.gz" || e2e_fail "the German help page or manual page is not German"
grep -q '^GenericName\[zh_CN\]=' "$USR/share/applications/$ID.desktop" &&
    grep -q '<summary xml:lang="de">' "$USR/share/metainfo/$ID.metainfo.xml" || e2e_fail "the entry or metadata is not translated"
desktop-file-validate "$USR/share/applications/$ID.desktop" || e2e_fail "the desktop entry is not valid"
appstreamcli validate --no-net "$USR/share/metainfo/$ID.metainfo.xml" >"$E2E_TMP/appstream.log" ||
    e2e_fail "the metadata is not valid: $(cat "$E2E_TMP/appstream.log")"

e2e_start_x 800 600
export HOME="$E2E_TMP/home"
echo 'XDG_PICTURES_DIR="$HOME/My  Pictures*"' >"$XDG_CONFIG_HOME/user-dirs.dirs"
[ "${2:-}" = package ] || {
e2e_room installed "$USR/bin/pictoria"  # the launcher becomes the program: the same process
[ -d "$FOLDER/Gallery" ] && [ "$(head -c 2 "$FOLDER/Pages/boat.bmp")" = BM ] || e2e_fail "no Gallery, or no pages"
[ "$(readlink "/proc/$PID/cwd")" = "$FOLDER" ] || e2e_fail "the program does not run in Pictoria/"
kill "$PID"; wait "$PID" 2>/dev/null; rm "$FOLDER/Pages" && mkdir "$FOLDER/Pages" && touch "$FOLDER/Pages/mine.bmp"
e2e_room own-pages "$USR/bin/pictoria" && kill "$PID" && wait "$PID" 2>/dev/null
[ "$(ls "$FOLDER/Pages")" = mine.bmp ] || e2e_fail "the user's own Pages folder was changed"
# Our link to nowhere is renewed, the user's (a stick unplugged) stays; a failed start says why.
for link in /opt/moved/share/pictoria/Pages /media/stick/pages; do
    rm -rf "$FOLDER/Pages" && ln -s "$link" "$FOLDER/Pages" && e2e_room "${link:1:3}" "$USR/bin/pictoria" && kill "$PID" && wait "$PID"
    [ "$(readlink "$FOLDER/Pages")" = "${link/#\/opt\/moved/$USR}" ] || e2e_fail "a link to $link became $(readlink "$FOLDER/Pages")"
done
touch "$E2E_TMP/file" && e2e_start_program failed env HOME="$E2E_TMP/file" XDG_CONFIG_HOME=/ "$USR/bin/pictoria"
e2e_wait 15 eval '[ -n "$(e2e_named Pictoria)" ]' && xdotool key Return || e2e_fail "no window tells why it cannot start"
e2e_wait 10 eval '! e2e_alive "$PID"' && ! wait "$PID" || e2e_fail "the failed start did not end with an error"
echo "PASS: test_install" && exit 0; }

cpack -G DEB -B "$E2E_TMP/package" --config "$(dirname "$BINARY")/CPackConfig.cmake" >/dev/null 2>&1 ||
    e2e_fail "no package"
DEB=$(ls "$E2E_TMP"/package/pictoria_*.deb)
dpkg-deb --contents "$DEB" | awk '{print $6}' >"$E2E_TMP/contents"
for name in $NAMES; do grep -qx "$(realpath -m "/usr/$name" | sed 's|^|.|')" "$E2E_TMP/contents" || e2e_fail "the package lacks $name"; done
dpkg-deb -I "$DEB" conffiles | grep -qx /etc/pictoria/settings.ini || e2e_fail "the settings are not a conffile"
command -v lintian >/dev/null || e2e_fail "lintian is not installed"
lintian --fail-on error,warning "$DEB" >"$E2E_TMP/lintian.log" 2>&1 ||
    e2e_fail "lintian: $(grep -E "^(E|W):" "$E2E_TMP/lintian.log" || cat "$E2E_TMP/lintian.log")"
dpkg-deb -f "$DEB" Depends | grep -q "libgtk-3-0" || e2e_fail "the package does not depend on GTK"
[ "$(id -u)" = 0 ] && ! dpkg -s pictoria >/dev/null 2>&1 || { echo "SKIP: only root installs the package"; exit 77; }
trap 'dpkg -P pictoria >/dev/null 2>&1; e2e_cleanup' EXIT
dpkg -i "$DEB" >/dev/null && [ "$(command -v pictoria)" = /usr/bin/pictoria ] || e2e_fail "dpkg -i failed"
e2e_room packaged pictoria && kill "$PID" && wait "$PID" 2>/dev/null
cp "$USR/share/pictoria/Pages/cat.bmp" "$FOLDER/Gallery/my cat.bmp"
dpkg -r pictoria >/dev/null && [ ! -e /usr/bin/pictoria ] && [ ! -e /usr/share/pictoria ] || e2e_fail "files left"
[ -s "$FOLDER/Gallery/my cat.bmp" ] || e2e_fail "removing the package took the pictures"
# A school's settings outlast a removal; only a purge takes them.
[ -s /etc/pictoria/settings.ini ] && dpkg -P pictoria >/dev/null && [ ! -e /etc/pictoria ] || e2e_fail "the settings file was not kept, or not purged"
echo "PASS: test_install"
