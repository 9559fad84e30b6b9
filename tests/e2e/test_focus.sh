#!/bin/bash
# Another window takes the keyboard in the middle of a stroke (no window manager: the test moves
# the focus itself, as a notification or another program would). The program never hears that
# stroke's release, so it ends the stroke where the pointer last was: when the focus comes back,
# the first click on the blue can chooses blue at once and the next stroke is blue.
# Usage: test_focus.sh PICTORIA

[ $# -eq 1 ] || { echo "usage: $0 PATH_TO_PICTORIA" >&2; exit 2; }
BINARY=$(realpath "$1")
. "$(dirname "$0")/lib.sh"
command -v xmessage >/dev/null || e2e_fail "xmessage (x11-utils) is not installed"

RED="255 0 0" BLUE="0 0 255" BLUE_CAN="573 520" BLOT="460 568"
e2e_start_x 800 600
e2e_room focus "$BINARY"
ROOM=$(e2e_named Pictoria)
[ -n "$ROOM" ] || e2e_fail "no window named Pictoria"

xmessage -geometry +560+20 "another program" >"$E2E_TMP/xmessage.log" 2>&1 &
OTHER_PID=$! && E2E_PIDS+=("$OTHER_PID")
e2e_wait 10 eval 'OTHER=$(xdotool search --onlyvisible --class Xmessage 2>/dev/null | head -n 1) && [ -n "$OTHER" ]' ||
    e2e_fail "xmessage did not open"

xdotool mousemove 200 300 sleep 0.2 mousedown 1 sleep 0.1 mousemove 300 300 sleep 0.3
xdotool windowfocus --sync "$OTHER" sleep 0.5
xdotool mousemove 320 320 sleep 0.1 mouseup 1 sleep 0.3  # the release goes nowhere
e2e_expect "$RED" "the stroke up to where the focus went" "210 300" "290 300"

xdotool windowfocus --sync "$ROOM" sleep 0.5
e2e_click $BLUE_CAN
e2e_expect "$BLUE" "the paint blot after the first click on the blue can" "$BLOT"
e2e_stroke 200 400 300 400
e2e_expect "$BLUE" "the stroke after the focus came back" "210 400" "290 400"
echo "PASS: test_focus"
