#!/bin/bash
# One-switch scanning in the real program, driven by Space alone, pressed when the screen shows
# the highlight's inner glow (255 250 170) in place: on the Brush, on the canvas (634 x 488 from
# (147, 16) at 800x600), on the sweeping line at the middle of the canvas's third tenth down and
# the marker at its second tenth across, then the line's eighth tenth and the marker's ninth. The
# Brush paints red (the start colour) from (242, 138) to (685, 382), still red 3 to 4 pixels off
# its middle where the Pencil (the tool at start, 4 pixels wide) would leave white.
# Then Alt+F4 asks whether to save: the focus starts on Yes and steps to No, lit in the same
# pale yellow (at 230 322), and the key then answers No, so the program ends without a Save As.
[ $# -eq 1 ] || { echo "usage: $0 PATH_TO_PICTORIA" >&2; exit 2; }
BINARY=$(realpath "$1")
. "$(dirname "$0")/lib.sh"
pick_when() {  # WHAT "X Y": waits for the glow at (X, Y), then presses the one key
    e2e_wait 40 e2e_shows "255 250 170" "$2" || e2e_fail "the highlight never reached $1 (at $2)"
    xdotool key space
}
reddish() {  # "X Y"...: each point of a new screenshot is red, the Brush's soft edge allowed for
    local at rgb && e2e_screenshot || return 1
    for at in "$@"; do rgb=($(e2e_pixel "$SHOT" $at)) && [ "${rgb[0]}" -ge 200 ] && [ $((rgb[1] + rgb[2])) -le 180 ] || return 1; done
}

e2e_start_x 800 600
xdotool mousemove 5 5
e2e_room room "$BINARY" --switch-scan --scan-step-ms 700
e2e_expect "255 255 255" "the canvas before any pick" "242 138" "463 260" "685 382"
pick_when "the Brush" "325 560" && pick_when "the canvas" "146 260"
pick_when "the first line" "400 138" && pick_when "the first point" "242 134"
pick_when "the second line" "400 382" && pick_when "the second point" "685 378"
e2e_wait 8 reddish "242 138" "463 260" "685 382" "461 263" "465 257" || e2e_fail "no red Brush stroke: $(e2e_pixel "$SHOT" 461 263) beside its middle"
e2e_expect "255 255 255" "beside the stroke" "463 200" "463 320" "300 400" "650 150"
xdotool key alt+F4 && e2e_wait 10 eval '[ -n "$(e2e_other)" ]' || e2e_fail "Alt+F4 asked nothing"
pick_when "No in the question" "230 322" && e2e_ended || e2e_fail "the key did not answer No: $(e2e_other)"
echo "PASS: test_switch_scan"
