#!/bin/bash
# An unsaved picture outlives the end of the session: SIGTERM ends the program at once, without
# a question, and the next start shows the stroke again, as does SIGHUP with Quit's question open;
# an X server that dies under the program still leaves the newest stroke in the recovery copy.
# Usage: test_recovery.sh PICTORIA

[ $# -eq 1 ] || { echo "usage: $0 PATH_TO_PICTORIA" >&2; exit 2; }
BINARY=$(realpath "$1")
. "$(dirname "$0")/lib.sh"
COPY="$E2E_TMP/state/pictoria/picture.bmp"
# copied X Y: the colour of picture pixel (X, Y) in the recovery copy.
copied() { convert "bmp:$COPY" -format '%[fx:int(255*p{'"$1,$2"'}.r)] %[fx:int(255*p{'"$1,$2"'}.g)] %[fx:int(255*p{'"$1,$2"'}.b)]' info: 2>/dev/null; }

e2e_start_x 800 600
e2e_room first "$BINARY"
e2e_stroke 300 300 500 300
e2e_expect "255 0 0" "the stroke" "400 300"
kill -TERM "$PID"
e2e_ended || e2e_fail "SIGTERM did not end the program with 0"
[ -f "$COPY" ] || e2e_fail "no recovery copy after SIGTERM"

e2e_room second "$BINARY"
e2e_expect "255 0 0" "the stroke after the restart" "400 300"
# Nobody is left to answer a question that is open when the session ends.
xdotool key F1 sleep 0.8 key q
e2e_wait 10 eval '[ -n "$(e2e_named "Attention...")" ]' || e2e_fail "Quit asked nothing about the restored picture"
kill -HUP "$PID"
e2e_ended || e2e_fail "SIGHUP at Quit's question did not end the program with 0"
e2e_room third "$BINARY"
e2e_expect "255 0 0" "the stroke after a second restart" "400 300"
# A second stroke, and the server gone before the pause after it is over.
e2e_stroke 300 400 500 400
kill "$E2E_XVFB_PID"
e2e_wait 10 eval '! e2e_alive "$PID"' || e2e_fail "the program outlived its X server"
[ "$(copied 253 384)" = "255 0 0" ] || e2e_fail "the copy lacks the stroke made just before the server went ($(copied 253 384))"
[ "$(copied 253 284)" = "255 0 0" ] || e2e_fail "the copy lacks the first stroke"
exit 0
