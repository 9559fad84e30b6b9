#!/bin/bash
# The real Save As and Open dialogs on an 800x600 screen, driven by file_dialog_driver: the
# Save As dialog fits the screen and starts with the picture's name in the program's folder; a
# typed name without an extension gets ".bmp"; Return saves without asking; the Open dialog opens
# the typed file and the picture reads back pixel for pixel.
#
# Usage: test_file_dialogs.sh PATH_TO_PICTORIA   (the driver is looked for in its tests/ folder,
# or given as PICTORIA_FILE_DIALOG_DRIVER)

[ $# -eq 1 ] || { echo "usage: $0 PATH_TO_PICTORIA" >&2; exit 2; }
BINARY=$(realpath "$1")
. "$(dirname "$0")/lib.sh"
DRIVER=${PICTORIA_FILE_DIALOG_DRIVER:-$(dirname "$BINARY")/tests/file_dialog_driver}
[ -x "$DRIVER" ] || e2e_fail "no driver at $DRIVER"

# answer TITLE TEXT: the dialog fits the screen; TEXT replaces its name and Return answers it.
answer() {
    local title=$1 id X=0 Y=0 WIDTH=0 HEIGHT=0
    e2e_wait 30 eval '[ -n "$(e2e_named "$title")" ]' || e2e_fail "no $1 dialog appeared"
    id=$(e2e_named "$1")
    eval "$(xdotool getwindowgeometry --shell "$id" | grep -E '^(X|Y|WIDTH|HEIGHT)=')"
    [ "$X" -ge 0 ] && [ "$Y" -ge 0 ] && [ $((X + WIDTH)) -le 800 ] && [ $((Y + HEIGHT)) -le 600 ] ||
        e2e_fail "the $1 dialog does not fit the 800x600 screen: $X,$Y ${WIDTH}x$HEIGHT"
    xdotool windowfocus --sync "$id" 2>/dev/null || xdotool windowfocus "$id"
    sleep 0.5
    [ "$1" = "Save As" ] && xdotool key --clearmodifiers ctrl+a
    xdotool type --delay 30 "$2"
    xdotool sleep 0.3 key --clearmodifiers Return
}
logged() { e2e_wait 15 grep -q "^$1" "$LOG"; }

e2e_start_x 800 600
FOLDER="$E2E_TMP/run" LOG="$E2E_TMP/program-driver.log"
e2e_start_program driver "$DRIVER" "$FOLDER"
answer "Save As" drawing
logged saved || e2e_fail "the Save As dialog did not end with a save: $(cat "$LOG")"
logged "save-as 1 $FOLDER/drawing.bmp\$" && logged "saved 1 1\$" || e2e_fail "the save went wrong: $(cat "$LOG")"
# 7 pixels make 21 bytes, padded to 24, times 5 rows, after the 54 bytes of headers.
[ "$(stat -c %s "$FOLDER/drawing.bmp")" = 174 ] || e2e_fail "no drawing.bmp of 174 bytes where the dialog started"
answer Open drawing.bmp
logged read || e2e_fail "the Open dialog did not end with a read"
logged "open 1 $FOLDER/drawing.bmp\$" && logged "read 1 7x5 same\$" || e2e_fail "no read back: $(cat "$LOG")"
wait "$PID" || e2e_fail "the driver ended with exit code $?"
echo "PASS: test_file_dialogs"
