#!/bin/bash
# The real Save As and Open dialogs on an 800x600 screen, driven by file_dialog_driver: the
# Save As dialog fits the screen and starts with the picture's name; a typed name without an
# extension gets ".bmp"; Return saves without asking; the Open dialog opens the typed file and
# the picture reads back pixel for pixel.
#
# Usage: test_file_dialogs.sh PATH_TO_PICTORIA   (the driver is looked for in its tests/ folder,
# or given as PICTORIA_FILE_DIALOG_DRIVER)

[ $# -eq 1 ] || { echo "usage: $0 PATH_TO_PICTORIA" >&2; exit 2; }
BINARY=$(realpath "$1")
. "$(dirname "$0")/lib.sh"
DRIVER=${PICTORIA_FILE_DIALOG_DRIVER:-$(dirname "$BINARY")/tests/file_dialog_driver}
[ -x "$DRIVER" ] || e2e_fail "no driver at $DRIVER"

e2e_start_x 800 600
FOLDER="$E2E_TMP/run"
LOG="$E2E_TMP/program-driver.log"
(cd "$FOLDER" && exec "$DRIVER" "$FOLDER") >"$LOG" 2>&1 &
PID=$!
E2E_PIDS+=("$PID")

dialog_id() { xdotool search --all --onlyvisible --pid "$PID" --name "^$1\$" 2>/dev/null | head -n 1; }
dialog_up() { [ -n "$(dialog_id "$1")" ]; }
logged() { grep -q "^$1" "$LOG"; }

# answer TITLE TEXT: focuses the dialog, replaces its name with TEXT and presses Return.
answer() {
    local id
    id=$(dialog_id "$1")
    local X=0 Y=0 WIDTH=0 HEIGHT=0
    eval "$(xdotool getwindowgeometry --shell "$id" | grep -E '^(X|Y|WIDTH|HEIGHT)=')"
    e2e_log "$1 dialog at $X,$Y ${WIDTH}x${HEIGHT}"
    [ "$X" -ge 0 ] && [ "$Y" -ge 0 ] && [ $((X + WIDTH)) -le 800 ] && [ $((Y + HEIGHT)) -le 600 ] ||
        e2e_fail "the $1 dialog does not fit the 800x600 screen: $X,$Y ${WIDTH}x${HEIGHT}"
    xdotool windowfocus --sync "$id" 2>/dev/null || xdotool windowfocus "$id"
    sleep 0.5
    [ "$1" = "Save As" ] && xdotool key --clearmodifiers ctrl+a
    xdotool type --delay 30 "$2"
    sleep 0.3
    xdotool key --clearmodifiers Return
}

# --- Save As ------------------------------------------------------------------------------------
e2e_wait 30 dialog_up "Save As" || e2e_fail "no Save As dialog appeared"
answer "Save As" "drawing"
e2e_wait 15 logged "saved" || e2e_fail "the Save As dialog did not end with a save"
grep -q "^save-as 1 $FOLDER/drawing.bmp\$" "$LOG" || e2e_fail "unexpected Save As result: $(head -n 1 "$LOG")"
grep -q "^saved 1 1\$" "$LOG" || e2e_fail "the save failed: $(grep '^saved' "$LOG")"
[ -f "$FOLDER/drawing.bmp" ] || e2e_fail "no drawing.bmp in the folder the dialog started in"
size=$(stat -c %s "$FOLDER/drawing.bmp")
# 7 pixels make 21 bytes, padded to 24, times 5 rows, after the 54 bytes of headers.
[ "$size" -eq 174 ] || e2e_fail "drawing.bmp has $size bytes, not 174"
e2e_log "saved $FOLDER/drawing.bmp ($size bytes)"

# --- Open ---------------------------------------------------------------------------------------
e2e_wait 30 dialog_up "Open" || e2e_fail "no Open dialog appeared"
answer "Open" "drawing.bmp"
e2e_wait 15 logged "read" || e2e_fail "the Open dialog did not end with a read"
grep -q "^open 1 $FOLDER/drawing.bmp\$" "$LOG" || e2e_fail "unexpected Open result: $(grep '^open' "$LOG")"
grep -q "^read 1 7x5 same\$" "$LOG" || e2e_fail "the picture did not read back: $(grep '^read' "$LOG")"
wait "$PID"
code=$?
[ "$code" -eq 0 ] || e2e_fail "the driver ended with exit code $code"
echo "PASS: test_file_dialogs"
