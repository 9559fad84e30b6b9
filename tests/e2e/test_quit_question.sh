#!/bin/bash
# Escape at Quit's save question is no answer: the real program stays, with the child's stroke
# still on the screen; only an explicit No then ends it.
# Usage: test_quit_question.sh PICTORIA

[ $# -eq 1 ] || { echo "usage: $0 PATH_TO_PICTORIA" >&2; exit 2; }
BINARY=$(realpath "$1")
. "$(dirname "$0")/lib.sh"

asking() { [ -n "$(e2e_named "Attention...")" ]; }
quit() {  # the popup menu's Quit, from the keyboard
    xdotool key F1 sleep 0.8 key q
    e2e_wait 10 asking || e2e_fail "Quit asked nothing about the changed picture"
    sleep 0.5
}

e2e_start_x 800 600
e2e_room first "$BINARY"
e2e_stroke 300 300 500 300
e2e_expect "255 0 0" "the stroke" "400 300"
quit
xdotool key Escape
e2e_wait 10 eval '! asking' || e2e_fail "Escape did not close the question"
sleep 1
e2e_alive "$PID" || e2e_fail "the program ended after Escape at the save question"
e2e_room_only || e2e_fail "after Escape the room is not alone on the screen: $(e2e_windows "$PID")"
e2e_expect "255 0 0" "the stroke after Escape at the question" "400 300" "350 300" "450 300"
quit
xdotool key alt+n
e2e_ended || e2e_fail "Quit and No did not end the program with 0"
