#!/bin/bash
# A display change that suits another factor, on a real X server: the program runs on a nested
# server (Xephyr) whose screen follows the size of its window on the outer one. The 3840x2160
# screen (factor 4) shrinks to 1920x1080: the room is drawn again at factor 2 over the whole
# screen, the stroke painted before still there, every pixel a sharp 2x2 block, and a click on a
# can at its new place chooses it. Shrunk to 1366x768, the room is laid out anew at factor 1
# over the whole screen with the picture kept. (Shrinking, because the nested server keeps the
# pointer inside the size it started with.)
# Usage: test_display_change.sh PICTORIA

[ $# -eq 1 ] || { echo "usage: $0 PATH_TO_PICTORIA" >&2; exit 2; }
BINARY=$(realpath "$1")
. "$(dirname "$0")/lib.sh"
command -v Xephyr >/dev/null || { echo "SKIP: Xephyr is not installed"; exit 77; }

e2e_start_x 3840 2160
Xephyr -displayfd 3 -screen 3840x2160 -resizeable -no-host-grab 3>"$E2E_TMP/nested" >"$E2E_TMP/xephyr.log" 2>&1 &
E2E_PIDS+=("$!")
e2e_wait 10 eval '[ -s "$E2E_TMP/nested" ] && NESTED_WINDOW=$(xdotool search --name Xephyr | head -n 1)' ||
    e2e_fail "Xephyr did not start: $(cat "$E2E_TMP/xephyr.log")"
OUTER=$DISPLAY && export DISPLAY=":$(head -n 1 "$E2E_TMP/nested")"

# The root window's size (a connection is told the size the server started with).
root() { xwininfo -root | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w, h }'; }
# size W H: what the test library knows of the screen; screen W H: the nested screen made
# W x H from outside, the room then covering it alone.
size() { WANT="$1 $2" E2E_SCREEN="0 0 $1 $2" E2E_WIDTH=$1 E2E_HEADER=$((${#1} + ${#2} + 9)); }
screen() {
    local try
    size "$1" "$2"
    # Now and then the nested server misses a change of its window: another change wakes it.
    for try in 1 2 3 4 5; do
        DISPLAY=$OUTER xdotool windowsize "$NESTED_WINDOW" $(($1 - try % 2)) "$2" sleep 0.3 windowsize "$NESTED_WINDOW" "$1" "$2"
        e2e_wait 3 eval '[ "$(root)" = "$WANT" ]' && break
    done
    [ "$(root)" = "$WANT" ] || e2e_fail "the nested screen is not ${1}x$2 but $(root)"
    e2e_wait 10 e2e_room_only || e2e_fail "the room does not cover the ${1}x$2 screen: $(e2e_windows "$PID" | tr '\n' ';')"
}

size 3840 2160
e2e_room start "$BINARY"
e2e_click 2292 1840 && e2e_stroke 1200 1200 2000 1200  # the blue can, then a stroke at factor 4
e2e_expect "0 0 255" "the stroke at factor 4" "1280 1200" "1920 1200"

screen 1920 1080
e2e_expect "0 0 255" "the stroke at factor 2" "640 600" "960 600"
[ "$(convert "$SHOT" -sample 960x540! -sample 200% - | compare -metric AE - "$SHOT" null: 2>&1)" = 0 ] ||
    e2e_fail "at factor 2 the screen's pixels are not sharp 2x2 blocks"
e2e_click 1140 904  # the red can, at (570, 452) times 2; the blot shows it
e2e_expect "255 0 0" "the blot after the red can at factor 2" "920 1016"

screen 1366 768 && e2e_screenshot
[ "$(convert "$SHOT" -crop 1200x656+147+16 -fill black +opaque "rgb(0,0,255)" -format "%[fx:mean>0]" info:)" = 1 ] ||
    e2e_fail "the stroke is gone after the change to 1366x768"
echo "PASS: test_display_change"
