#!/bin/bash
# Installed into a scratch folder: valid desktop entry and metadata; the launcher makes
# Pictoria/Gallery and Pictoria/Pages in the pictures folder the desktop records (a name with two
# spaces and a "*" kept as it is) and runs there. It leaves the user's own Pages alone, a folder
# or a link that points nowhere (pages on a stick, unplugged), renews a link of its own that
# points nowhere, and tells in a window why it cannot start when it has nowhere to keep pictures.
# (test_package.sh installs the same files from the Debian package.)
# Usage: test_install.sh PICTORIA

[ $# -eq 1 ] || { echo "usage: $0 PATH_TO_PICTORIA" >&2; exit 2; }
BINARY=$(realpath "$1")
. "$(dirname "$0")/lib.sh"
command -v desktop-file-validate >/dev/null && command -v appstreamcli >/dev/null || e2e_fail "no validators installed"
ID=io.github.pictoria.Pictoria USR="$E2E_TMP/dest/usr" FOLDER="$E2E_TMP/home/My  Pictures*/Pictoria"
NAMES="bin/pictoria libexec/pictoria share/applications/$ID.desktop share/metainfo/$ID.metainfo.xml
    share/icons/hicolor/scalable/apps/$ID.svg share/icons/hicolor/48x48/apps/$ID.png share/man/man1/pictoria.1.gz
    share/pictoria/Pages/blank.bmp share/pictoria/Pages/owl.bmp share/pictoria/help/index.html"

DESTDIR="$E2E_TMP/dest" cmake --install "$(dirname "$BINARY")" --prefix /usr >/dev/null || e2e_fail "the install failed"
for name in $NAMES; do [ -s "$USR/$name" ] || e2e_fail "$name is not installed"; done
desktop-file-validate "$USR/share/applications/$ID.desktop" || e2e_fail "the desktop entry is not valid"
appstreamcli validate --no-net "$USR/share/metainfo/$ID.metainfo.xml" >"$E2E_TMP/appstream.log" ||
    e2e_fail "the metadata is not valid: $(cat "$E2E_TMP/appstream.log")"

e2e_start_x 800 600
export HOME="$E2E_TMP/home"
echo 'XDG_PICTURES_DIR="$HOME/My  Pictures*"' >"$XDG_CONFIG_HOME/user-dirs.dirs"
e2e_room installed "$USR/bin/pictoria"  # the launcher becomes the program: the same process
[ -d "$FOLDER/Gallery" ] && [ "$(head -c 2 "$FOLDER/Pages/boat.bmp")" = BM ] || e2e_fail "no Gallery, or no pages"
[ "$(readlink "/proc/$PID/cwd")" = "$FOLDER" ] || e2e_fail "the program does not run in Pictoria/"
kill "$PID"; wait "$PID" 2>/dev/null; rm "$FOLDER/Pages" && mkdir "$FOLDER/Pages" && touch "$FOLDER/Pages/mine.bmp"
e2e_room own-pages "$USR/bin/pictoria" && kill "$PID" && wait "$PID" 2>/dev/null
[ "$(ls "$FOLDER/Pages")" = mine.bmp ] || e2e_fail "the user's own Pages folder was changed"

# A link of ours that points nowhere (the program moved) is renewed; the user's own stays.
rm -r "$FOLDER/Pages" && ln -s /opt/moved/share/pictoria/Pages "$FOLDER/Pages"
e2e_room moved "$USR/bin/pictoria" && kill "$PID" && wait "$PID" 2>/dev/null
[ "$(readlink -f "$FOLDER/Pages")" = "$USR/share/pictoria/Pages" ] || e2e_fail "a dangling link of ours was not renewed"
ln -sfn /media/stick/pages "$FOLDER/Pages"
e2e_room stick "$USR/bin/pictoria" && kill "$PID" && wait "$PID" 2>/dev/null
[ "$(readlink "$FOLDER/Pages")" = /media/stick/pages ] || e2e_fail "the user's link to pages elsewhere was replaced"

# Nowhere to keep pictures (HOME is a file): the reason is told in a window.
touch "$E2E_TMP/file"
e2e_start_program nowhere env HOME="$E2E_TMP/file" XDG_CONFIG_HOME="$E2E_TMP/file" "$USR/bin/pictoria"
e2e_wait 15 eval '[ -n "$(e2e_named Pictoria)" ]' || e2e_fail "no window tells why the program cannot start"
xdotool sleep 0.5 key Return
e2e_wait 10 eval '! e2e_alive "$PID"' && ! wait "$PID" || e2e_fail "the failed start did not end with an error"
echo "PASS: test_install"
