#!/bin/bash
# Under openbox the window covers the screen and has the keyboard, a stroke lands under the
# pointer, the remote opens centred, and the window manager's close asks about the changed
# picture; No ends with 0.
# Usage: test_window_manager.sh PICTORIA

[ $# -eq 1 ] || { echo "usage: $0 PATH_TO_PICTORIA" >&2; exit 2; }
BINARY=$(realpath "$1")
. "$(dirname "$0")/lib.sh"
command -v openbox >/dev/null || { echo "SKIP: openbox is not installed"; exit 77; }

e2e_start_x 800 600
openbox --sm-disable >"$E2E_TMP/openbox.log" 2>&1 &
E2E_PIDS+=("$!")
e2e_wait 10 eval 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' || e2e_fail "openbox did not start"
e2e_room managed "$BINARY"
[ "$(xdotool getwindowfocus)" = "$(e2e_named Pictoria)" ] || e2e_fail "the window does not have the keyboard"
e2e_stroke 300 300 500 300
e2e_expect "255 0 0" "the stroke under openbox" "310 300" "400 300" "490 300"
# A painted dialog opens centred on the room, wherever GTK first made its window.
for opening in 1 2; do
    e2e_click 156 560 && e2e_wait 5 eval '[ "$(e2e_other)" = "286 180 228 240" ]' && xdotool key Escape && e2e_wait 5 e2e_room_only ||
        e2e_fail "the remote did not open centred, or stayed: $(e2e_other)"
done
xdotool key alt+F4
e2e_wait 10 eval '[ -n "$(e2e_named "Attention\.\.\.")" ]' || e2e_fail "the window manager's close asked nothing"
# No is the left button; the X server knows where the box is inside the window manager's frame.
read -r x y w h < <(xwininfo -id "$(e2e_named "Attention\.\.\.")" |
    awk -F: '/Absolute upper-left|Width|Height/ {printf "%d ", $2}')
xdotool mousemove $((x + w / 4)) $((y + h - 18)) sleep 0.3 click 1
e2e_ended || e2e_fail "No did not end the program with 0"
echo "PASS: test_window_manager"
