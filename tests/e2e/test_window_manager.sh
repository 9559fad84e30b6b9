#!/bin/bash
# The real program under a window manager (openbox) at 800x600: the window covers the whole
# screen and has the keyboard, a stroke lands where the pointer went, and the window manager's
# close (Alt+F4) asks whether to save the changed picture; No ends the program with 0.
# Skipped (77) where openbox is not installed.
# Usage: test_window_manager.sh PICTORIA

[ $# -eq 1 ] || { echo "usage: $0 PATH_TO_PICTORIA" >&2; exit 2; }
BINARY=$(realpath "$1")
. "$(dirname "$0")/lib.sh"
command -v openbox >/dev/null || { echo "SKIP: openbox is not installed"; exit 77; }
SHOT="$E2E_TMP/screen.ppm"
room_only() { [ "$(e2e_windows "$PID")" = "0 0 800 600" ]; }
box() { e2e_windows "$PID" | grep -v "^0 0 800 600$" | head -n 1; }

e2e_start_x 800 600
openbox --sm-disable >"$E2E_TMP/openbox.log" 2>&1 &
E2E_PIDS+=("$!")
e2e_wait 10 eval 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' || e2e_fail "openbox did not start"
e2e_start_program "$BINARY" managed
PID=$E2E_PID
e2e_dismiss_title "$PID" && e2e_wait 20 room_only && sleep 1 ||
    e2e_fail "the window does not cover the screen under openbox: $(e2e_windows "$PID")"
[ "$(xdotool getwindowfocus)" = "$(xdotool search --all --onlyvisible --pid "$PID" --name '^Pictoria$' | head -n 1)" ] ||
    e2e_fail "the window does not have the keyboard"
xdotool mousemove 300 300 sleep 0.2 mousedown 1 sleep 0.1 mousemove 500 300 sleep 0.2 mouseup 1 sleep 0.5
e2e_screenshot "$SHOT"
for x in 310 400 490; do
    [ "$(e2e_pixel "$SHOT" "$x" 300)" = "255 0 0" ] || e2e_fail "the stroke is not under the pointer's path at $x"
done
xdotool key alt+F4
e2e_wait 10 eval '[ -n "$(box)" ]' || e2e_fail "the window manager's close asked nothing"
question=$(xdotool search --all --onlyvisible --pid "$PID" --name '^Attention\.\.\.$' | head -n 1)
[ -n "$question" ] || e2e_fail "the box is not the save question"
# No is the left button. The box sits in the window manager's frame: its place on the screen is
# what the X server says of it, not its place in the frame.
read -r x y w h < <(xwininfo -id "$question" | awk -F: '/Absolute upper-left|Width|Height/ {printf "%d ", $2}')
xdotool mousemove $((x + w / 4)) $((y + h - 18)) sleep 0.3 click 1
e2e_wait 10 eval '! e2e_alive "$PID"' || e2e_fail "No did not end the program"
wait "$PID"
code=$?
[ "$code" -eq 0 ] || e2e_fail "the program ended with $code"
echo "PASS: test_window_manager"
