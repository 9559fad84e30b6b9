#!/bin/bash
# An unsaved picture outlives the end of the session: SIGTERM, even with Quit's question open, ends
# the program at once and the next start shows the stroke again; an X server that dies under the
# program still leaves the newest stroke in the recovery copy.
BINARY=$(realpath "${1:?usage: $0 PATH_TO_PICTORIA}")
. "$(dirname "$0")/lib.sh"
COPY="$E2E_TMP/state/pictoria/picture.bmp"
# copied X Y: the colour of picture pixel (X, Y) in the recovery copy.
copied() { echo $(convert "bmp:$COPY" -crop "1x1+$1+$2" -depth 8 rgb:- 2>/dev/null | od -An -tu1); }

e2e_start_x 800 600
e2e_room first "$BINARY"
e2e_stroke 300 300 500 300
# Nobody is left to answer a question that is open when the session ends.
xdotool key F1 sleep 0.8 key q
e2e_wait 10 eval '[ -n "$(e2e_named "Attention\.\.\.")" ]' || e2e_fail "Quit asked nothing"
kill -TERM "$PID"
e2e_ended || e2e_fail "SIGTERM at Quit's question did not end the program with 0"
e2e_room second "$BINARY"
e2e_expect "255 0 0" "the stroke after the restart" "400 300"
# A second stroke, and the server gone before the pause after it is over.
e2e_stroke 300 400 500 400
kill "$E2E_XVFB_PID"
e2e_wait 10 eval '[ "$(copied 253 384)" = "255 0 0" ]' || e2e_fail "the copy lacks the last stroke"
