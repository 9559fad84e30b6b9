#!/bin/bash
# The real program at 800x600 (the canvas spans x 147 to 780): a blue Pencil stroke down the
# picture's last column, then a Scissors selection dragged past the right edge, where the program
# pins the pointer. The release there cuts up to the edge, last column included, and the piece
# is carried: a click pastes it pixel for pixel.
# Usage: test_scissors_edge.sh PATH_TO_PICTORIA

[ $# -eq 1 ] || { echo "usage: $0 PATH_TO_PICTORIA" >&2; exit 2; }
BINARY=$(realpath "$1")
. "$(dirname "$0")/lib.sh"
command -v convert >/dev/null || e2e_fail "ImageMagick's convert is not installed"
crop() { convert "$SHOT" -crop "41x40+$1+$2" +repage rgb:- | md5sum; }

e2e_start_x 800 600
xdotool mousemove 5 5
e2e_room room "$BINARY"
e2e_click 573 520 && e2e_stroke 779 100 779 170  # the blue can, a Pencil stroke
e2e_expect "0 0 255" "the Pencil stroke on the last column" "780 110" "780 160"
# The Scissors, a 41 x 40 cut from (740, 110), a paste at (380, 280); C lets the floating copy go.
e2e_click 235 547 && e2e_stroke 740 110 795 150
e2e_click 400 300 && xdotool key c sleep 0.3
e2e_expect "0 0 255" "the last column pasted" "420 290"
[ "$(crop 380 280)" = "$(crop 740 110)" ] || e2e_fail "the paste differs from the cut up to the right edge"
e2e_alive "$PID" || e2e_fail "the program ended during the test"
echo "PASS: test_scissors_edge"
