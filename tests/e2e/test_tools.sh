#!/bin/bash
# The real program on an 800x600 screen: the Jar pours blue over the whole white picture; a
# closed black Pencil square gets yellow from the Jar inside it and nothing outside; the Eraser
# leaves white on the blue; the Dropper picks blue and then the Eraser's white into the paint
# blot; the Hammer & Chisel turns a flat blue place mid-grey.
#
# Usage: test_tools.sh PATH_TO_PICTORIA

[ $# -eq 1 ] || { echo "usage: $0 PATH_TO_PICTORIA" >&2; exit 2; }
BINARY=$(realpath "$1")
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/room_lib.sh"
[ -x "$BINARY" ] || e2e_fail "no program at $BINARY"

W=800
H=600
SHOT="$E2E_TMP/screen.ppm"
WHITE="255 255 255"
BLUE="0 0 255"
BLACK="0 0 0"
YELLOW="255 255 0"
GREY="200 200 200"

BLOT=(460 $((H - 32)))        # inside the paint blot's painted surface
BLUE_CAN=(573 $((H - 80)))    # can tops: blue (554, H-84, 592, H-76),
BLACK_CAN=(530 $((H - 92)))   # black (512, H-96, 547, H-87)
YELLOW_CAN=(510 $((H - 60)))  # and the yellow can's body (493, H-81, 528, H-42)
PENCIL=(395 $((H - 30)))      # points inside the tools' hit areas on the table
ERASER=(325 $((H - 48)))
JAR=(288 $((H - 37)))
DROPPER=(290 $((H - 62)))
TOYS=(77 $((H - 480 + 293)))
HAMMER=(396 $((H - 40)))

e2e_start_x $W $H
xdotool mousemove 5 5
start_room
e2e_wait 20 room_window_only || e2e_fail "the room did not cover the screen"
expect "$WHITE" "the canvas at start" "300 200"

# --- The Jar pours blue over the whole white picture -----------------------------------------
click "${BLUE_CAN[@]}"
expect "$BLUE" "the paint blot after the blue can" "${BLOT[0]} ${BLOT[1]}"
click "${JAR[@]}"
click 600 100
expect "$BLUE" "the picture after the Jar" "150 20" "600 100" "777 500" "300 300"

# --- A closed black Pencil square, filled yellow inside only -----------------------------------
click "${BLACK_CAN[@]}"
click "${PENCIL[@]}"
drag_through 250 150 325 150 400 150 400 225 400 300 325 300 250 300 250 225 250 150
expect "$BLACK" "the Pencil square" "250 150" "400 225" "325 300" "250 200"
click "${YELLOW_CAN[@]}"
click "${JAR[@]}"
click 325 225
expect "$YELLOW" "inside the square after the Jar" "325 225" "260 160" "390 290"
expect "$BLUE" "outside the square" "240 225" "410 225" "325 140" "325 310"
e2e_log "the Jar filled the closed square and nothing outside it"

# --- The Eraser leaves white (size 24: 12 pixels each way) -------------------------------------
click "${ERASER[@]}"
click 600 400
expect "$WHITE" "where the Eraser was" "600 400" "589 389" "611 411"
expect "$BLUE" "beside the Eraser's square" "620 400" "600 380"

# --- The Dropper picks colours off the picture into the paint blot -----------------------------
click "${DROPPER[@]}"
expect "$YELLOW" "the paint blot before the Dropper" "${BLOT[0]} ${BLOT[1]}"
click 700 100
expect "$BLUE" "the paint blot after the Dropper on blue" "${BLOT[0]} ${BLOT[1]}"
click 600 400
expect "$WHITE" "the paint blot after the Dropper on white" "${BLOT[0]} ${BLOT[1]}"

# --- The Hammer & Chisel on a flat blue place --------------------------------------------------
click "${TOYS[@]}"
sleep 0.3
click "${HAMMER[@]}"
click 700 300
expect "$GREY" "the Hammer & Chisel's relief of flat blue" "700 300" "690 300" "700 310"

e2e_alive "$PID" || e2e_fail "the program ended during the test"
echo "PASS: test_tools"
