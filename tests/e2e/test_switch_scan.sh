#!/bin/bash
# The real program with one-switch scanning, driven by nothing but the Space key pressed when the
# screen shows the highlight in the right place: first on the Brush (which becomes the current
# tool), then on the canvas, then the sweeping line at a quarter of the canvas's height and the
# marker at the middle of its second tenth across, then the line at three quarters and the
# marker at the middle of its ninth tenth. The Brush paints the start colour, red, from the first
# point to the second; the screenshot shows it at both ends and in the middle, and not beside it.
# It is the Brush's: still red three to four pixels either side of its middle, where the Pencil
# (the tool at start, four pixels wide) leaves white.
#
# The highlight's inner glow is (255 250 170); the canvas area at 800x600 is 634 x 488 from
# (147, 16), so its tenths' middles are at x 242 ... 685 and y 138 ... 382.
#
# Usage: test_switch_scan.sh PATH_TO_PICTORIA

[ $# -eq 1 ] || { echo "usage: $0 PATH_TO_PICTORIA" >&2; exit 2; }
BINARY=$(realpath "$1")
. "$(dirname "$0")/lib.sh"

GLOW="255 250 170" WHITE="255 255 255"

# pick_when WHAT "X Y": waits until the glow is at (X, Y), then presses the one key.
pick_when() {
    e2e_wait 40 e2e_shows "$GLOW" "$2" || e2e_fail "the highlight never reached $1 (at $2)"
    xdotool key space
    e2e_log "picked $1"
}
# reddish "X Y"...: each point of the last screenshot is painted red (the Brush softens edges only).
reddish() {
    local at rgb && e2e_screenshot || return 1
    for at in "$@"; do
        rgb=($(e2e_pixel "$SHOT" $at))
        [ "${rgb[0]}" -ge 200 ] && [ "${rgb[1]}" -le 90 ] && [ "${rgb[2]}" -le 90 ] || return 1
    done
}

e2e_start_x 800 600
xdotool mousemove 5 5
e2e_room room "$BINARY" --switch-scan --scan-step-ms 700
e2e_expect "$WHITE" "the canvas before any pick" "242 138" "463 260" "685 382"

pick_when "the Brush" "325 560"
pick_when "the canvas" "146 260"
pick_when "the line at a quarter" "400 138"
pick_when "the marker at the second tenth" "242 134"
pick_when "the line at three quarters" "400 382"
pick_when "the marker at the ninth tenth" "685 378"

e2e_wait 8 reddish "242 138" "463 260" "685 382" "461 263" "465 257" ||
    e2e_fail "no red Brush stroke from (242, 138) to (685, 382): $(e2e_pixel "$SHOT" 463 260) in its middle"
e2e_expect "$WHITE" "beside the stroke" "463 200" "463 320" "300 400" "650 150"
e2e_log "the Brush stroke is on the screen"
