#!/bin/bash
# The real program on an 800x600 screen (the canvas spans x 147 to 780): a blue Pencil stroke
# down the picture's last column, then a Scissors selection dragged from inside past the right
# edge. The program pins the pointer to the edge; the release there cuts up to the edge, last
# column included, and the piece is carried: a click elsewhere pastes it pixel for pixel.
#
# Usage: test_scissors_edge.sh PATH_TO_PICTORIA

[ $# -eq 1 ] || { echo "usage: $0 PATH_TO_PICTORIA" >&2; exit 2; }
BINARY=$(realpath "$1")
. "$(dirname "$0")/lib.sh"
command -v convert >/dev/null || e2e_fail "ImageMagick's convert is not installed"

BLUE="0 0 255" BLUE_CAN="573 520" SCISSORS="235 547"
crop() { convert "$SHOT" -crop "41x40+$1+$2" +repage rgb:- | md5sum; }

e2e_start_x 800 600
xdotool mousemove 5 5
e2e_room room "$BINARY"
e2e_click $BLUE_CAN
e2e_stroke 779 100 779 170
e2e_expect "$BLUE" "the Pencil stroke on the last column" "780 110" "780 160"

# From (740, 110) past the edge to (795, 150): the cut is 41 x 40, from x 740 to 780.
e2e_click $SCISSORS
e2e_stroke 740 110 795 150
# Pasted centred on (400, 300): at (380, 280); C lets the floating copy and its outline go.
e2e_click 400 300 && xdotool key c sleep 0.3 && e2e_screenshot
e2e_expect "$BLUE" "the last column pasted" "420 290"
[ "$(crop 380 280)" = "$(crop 740 110)" ] || e2e_fail "the paste differs from the cut up to the right edge"

e2e_alive "$PID" || e2e_fail "the program ended during the test"
echo "PASS: test_scissors_edge"
