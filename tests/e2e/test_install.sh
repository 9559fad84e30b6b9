#!/bin/bash
# The installed program: installed into a scratch folder (DESTDIR) from the build folder of the
# program given, its desktop entry and metadata validated, and its launcher started under Xvfb
# with a scratch home: the pictures folder gets Pictoria/Gallery and Pictoria/Pages (the
# installed pages, readable), the program runs there, a second start exits 0 and leaves one
# window, and a Pages folder of the user's own is left alone.
# Usage: test_install.sh PICTORIA

[ $# -eq 1 ] || { echo "usage: $0 PATH_TO_PICTORIA" >&2; exit 2; }
BINARY=$(realpath "$1")
. "$(dirname "$0")/lib.sh"
command -v desktop-file-validate >/dev/null && command -v appstreamcli >/dev/null ||
    e2e_fail "desktop-file-utils and appstream are not installed"
ID=io.github.pictoria.Pictoria DEST="$E2E_TMP/dest" USR="$E2E_TMP/dest/usr"

DESTDIR="$DEST" cmake --install "$(dirname "$BINARY")" --prefix /usr >"$E2E_TMP/install.log" ||
    e2e_fail "the install failed: $(tail -n 3 "$E2E_TMP/install.log")"
desktop-file-validate "$USR/share/applications/$ID.desktop" || e2e_fail "the desktop entry is not valid"
appstreamcli validate --no-net "$USR/share/metainfo/$ID.metainfo.xml" >"$E2E_TMP/appstream.log" ||
    e2e_fail "the metadata is not valid: $(cat "$E2E_TMP/appstream.log")"
for file in bin/pictoria libexec/pictoria share/man/man1/pictoria.1.gz share/pictoria/help/index.html \
    share/icons/hicolor/scalable/apps/$ID.svg share/icons/hicolor/48x48/apps/$ID.png; do
    [ -s "$USR/$file" ] || e2e_fail "$file is not installed"
done
[ "$(ls "$USR/share/pictoria/Pages/"*.bmp | wc -l)" -ge 16 ] || e2e_fail "the colouring pages are not installed"

e2e_start_x 800 600
export HOME="$E2E_TMP/home"
FOLDER="$HOME/Pictures/Pictoria"
mkdir -p "$HOME"
launch() { (cd / && exec "$USR/bin/pictoria") >>"$E2E_TMP/program-installed.log" 2>&1; }
# The launcher becomes the program: the process started is the one that shows the window.
(cd / && exec "$USR/bin/pictoria") >>"$E2E_TMP/program-installed.log" 2>&1 &
PID=$!
E2E_PIDS+=("$PID")
e2e_dismiss_title "$PID" && e2e_wait 20 eval '[ "$(e2e_windows "$PID")" = "0 0 800 600" ]' ||
    e2e_fail "the installed program shows no room"
[ -d "$FOLDER/Gallery" ] || e2e_fail "no Pictoria/Gallery in the pictures folder"
[ "$(head -c 2 "$FOLDER/Pages/boat.bmp")" = BM ] || e2e_fail "the colouring pages cannot be read in Pictoria/Pages"
[ "$(readlink "/proc/$PID/cwd")" = "$FOLDER" ] || e2e_fail "the program does not run in Pictoria/"
launch
code=$?
[ "$code" -eq 0 ] || e2e_fail "a second start ended with $code"
sleep 1
e2e_alive "$PID" && [ "$(e2e_window_count "$PID")" -eq 1 ] && [ "$(pgrep -c -x pictoria)" -eq 1 ] ||
    e2e_fail "a second start did not leave the one window"
kill "$PID" && wait "$PID" 2>/dev/null

# The user's own colouring pages stay where they are.
rm "$FOLDER/Pages" && mkdir "$FOLDER/Pages" && cp "$USR/share/pictoria/Pages/owl.bmp" "$FOLDER/Pages/mine.bmp"
(cd / && exec "$USR/bin/pictoria") >>"$E2E_TMP/program-installed.log" 2>&1 &
PID=$!
E2E_PIDS+=("$PID")
e2e_dismiss_title "$PID" || e2e_fail "the program did not start again"
[ ! -L "$FOLDER/Pages" ] && [ "$(ls "$FOLDER/Pages")" = mine.bmp ] || e2e_fail "the user's own Pages folder was changed"
echo "PASS: test_install"
