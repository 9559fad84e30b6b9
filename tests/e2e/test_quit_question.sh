#!/bin/bash
# Escape at Quit's save question is no answer: the real program stays, the stroke still on screen.
BINARY=$(realpath "${1:?usage: $0 PATH_TO_PICTORIA}")
. "$(dirname "$0")/lib.sh"
e2e_start_x 800 600
e2e_room first "$BINARY"
e2e_stroke 300 300 500 300
xdotool key F1 sleep 0.8 key q
e2e_wait 10 eval '[ -n "$(e2e_named "Attention\.\.\.")" ]' || e2e_fail "Quit asked nothing about the changed picture"
xdotool sleep 0.5 key Escape sleep 1
[ -z "$(e2e_named "Attention\.\.\.")" ] && e2e_alive "$PID" && e2e_room_only || e2e_fail "no room alone after Escape"
e2e_expect "255 0 0" "the stroke after Escape at the question" "350 300" "450 300"
