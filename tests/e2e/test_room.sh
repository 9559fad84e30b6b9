#!/bin/bash
# The real program on an 800x600 screen, used the way a child uses it: a click on the blue can
# makes blue the current colour (the paint blot turns blue), a drag on the canvas leaves a blue
# Pencil stroke along the path and nothing beside it or mirrored; the Toys go on the table, the
# Cog is chosen, and a stroke drawn to the right of its start point appears a second time,
# mirrored, to the left of it (and not above it). The Hammer & Chisel turns a flat white place
# mid-grey; back on the Tool Box, the Jar pours blue over the white picture, a closed black Pencil
# square gets yellow from the Jar inside it and nothing outside, the Eraser leaves white on the
# blue, and the Dropper picks blue and then the Eraser's white into the paint blot. A Ruler line
# shows as a rubber band while the button is held and is laid down at the release; a Scissors
# cut is pasted at two places pixel for pixel, and one dragged past the right edge takes the
# picture's last column; the paint tube opens the palette, and a pick and
# the tick make the picked colour the paint blot's.
#
# Every path is a straight line sampled at points that lie exactly on it, so the check does not
# depend on how many of the pointer's moves the program saw.
#
# Usage: test_room.sh PATH_TO_PICTORIA

[ $# -eq 1 ] || { echo "usage: $0 PATH_TO_PICTORIA" >&2; exit 2; }
BINARY=$(realpath "$1")
. "$(dirname "$0")/lib.sh"
command -v convert >/dev/null || e2e_fail "ImageMagick's convert is not installed"

WHITE="255 255 255" BLUE="0 0 255" BLACK="0 0 0" BLOT="460 568"  # inside the paint blot's painted surface
# Points inside the hit areas: cans 4 (top), 1 (top) and 5 (body), the paint tube, the shelf's
# Toys and Tool Box, and the tools on the table.
BLUE_CAN="573 520" BLACK_CAN="530 508" YELLOW_CAN="510 540" PAINT_TUBE="510 570" TOYS="77 413" TOOL_BOX="25 330"
COG="220 565" HAMMER="396 560" PENCIL="395 570" ERASER="325 552" JAR="288 563" DROPPER="290 538" RULER="415 542"
SCISSORS="235 547"

# stroke X0 Y0 DX DY STEPS: presses at (X0, Y0), moves STEPS times by (DX, DY), releases.
stroke() {
    local i && xdotool mousemove "$1" "$2" sleep 0.15 mousedown 1 sleep 0.15
    for i in $(seq "$5"); do xdotool mousemove $(($1 + i * $3)) $(($2 + i * $4)) sleep 0.06; done
    xdotool sleep 0.1 mouseup 1 sleep 0.2
}
# line X0 Y0 DX DY COUNT: COUNT points "x y" from (X0, Y0) in steps of (DX, DY).
line() { local i && for i in $(seq 0 $(($5 - 1))); do echo "$(($1 + i * $3)) $(($2 + i * $4))"; done; }
# The tray area of the table (185, 504, 468, 600), and a 60 x 60 square of the last screenshot.
tray() { e2e_screenshot && convert "$SHOT" -crop 283x96+185+504 +repage rgb:- | md5sum; }
crop() { convert "$SHOT" -crop "60x60+$1+$2" +repage rgb:- | md5sum; }

# --- The room comes up: the canvas white, the paint blot red (the start colour) ---------------
e2e_start_x 800 600
xdotool mousemove 5 5
e2e_room room "$BINARY"
e2e_expect "$WHITE" "the canvas at start" "300 200" "600 300"
e2e_expect "255 0 0" "the paint blot at start" "$BLOT"

# --- The blue can, then a Pencil stroke down to the right, slope 1/2 ---------------------------
e2e_click $BLUE_CAN
e2e_expect "$BLUE" "the paint blot after a click on the blue can" "$BLOT"
stroke 260 150 16 8 10
mapfile -t on_path < <(line 260 150 4 2 41)
e2e_expect "$BLUE" "the Pencil stroke" "${on_path[@]}"
# Size 4: 10 pixels below the path is still white; nothing appears mirrored left of the start.
e2e_expect "$WHITE" "beside the Pencil stroke" "300 180" "380 220" "220 170" "180 190"

# --- The Toys on the table, then the Cog (the current-tool marker moves onto it) ---------------
for object in "$TOYS" "$COG"; do
    sleep 0.3 && before=$(tray) && e2e_click $object
    e2e_wait 8 eval '[ "$(tray)" != "$before" ]' || e2e_fail "the tray did not change after a click at $object"
done

# --- A Cog stroke from (560, 300) to the right and its mirror image to the left ---------------
mapfile -t mirrored < <(line 556 302 -4 2 25)
e2e_expect "$WHITE" "left of the Cog's start point before the stroke" "${mirrored[@]}"
stroke 560 300 10 5 10
mapfile -t drawn < <(line 560 300 4 2 26)
e2e_expect "$BLUE" "the Cog stroke itself" "${drawn[@]}"
e2e_expect "$BLUE" "the Cog stroke's mirror image left of its start point" "${mirrored[@]}"
# Two-way mirror: nothing above the start point (where a four-way mirror would draw).
e2e_expect "$WHITE" "above the Cog's start point" "600 280" "520 280" "640 260" "480 260"

# --- The Hammer & Chisel on a flat white place -------------------------------------------------
e2e_click $HAMMER && e2e_click 700 150
e2e_expect "200 200 200" "the Hammer & Chisel's relief of flat white" "700 150" "690 150" "700 160"

# --- The Jar, the Eraser and the Dropper -------------------------------------------------------
e2e_click $TOOL_BOX && sleep 0.3 && e2e_click $JAR && e2e_click 300 420
e2e_expect "$BLUE" "the picture after the Jar" "150 20" "300 420" "777 500" "700 250"
e2e_click $BLACK_CAN && e2e_click $PENCIL
stroke 200 300 25 0 6 && stroke 350 300 0 25 6 && stroke 350 450 -25 0 6 && stroke 200 450 0 -25 6
e2e_click $YELLOW_CAN && e2e_click $JAR && e2e_click 275 375
e2e_expect "255 255 0" "inside the Pencil square after the Jar" "275 375" "210 310" "340 440"
e2e_expect "$BLUE" "outside the Pencil square" "190 375" "360 375" "275 290" "275 460"
e2e_click $ERASER && e2e_click 600 450
e2e_expect "$WHITE" "where the Eraser was" "600 450" "589 439" "611 461"
e2e_expect "$BLUE" "beside the Eraser's square" "620 450" "600 430"
e2e_click $DROPPER && e2e_click 700 250
e2e_expect "$BLUE" "the paint blot after the Dropper on blue" "$BLOT"
e2e_click 600 450
e2e_expect "$WHITE" "the paint blot after the Dropper on white" "$BLOT"

# --- The Ruler: a rubber band while held, a black line after -----------------------------------
e2e_click $BLACK_CAN && e2e_click $RULER
xdotool mousemove 450 100 sleep 0.15 mousedown 1
for x in 500 550 600 650 700; do xdotool sleep 0.06 mousemove $x 100; done
e2e_expect "$BLACK" "the Ruler's rubber band before the release" "575 100" "690 100"
xdotool mouseup 1 sleep 0.2
mapfile -t ruled < <(line 460 100 10 0 24)
e2e_expect "$BLACK" "the Ruler's line" "${ruled[@]}"

# --- The Scissors: one cut, two pastes, let go with C ------------------------------------------
e2e_click $SCISSORS
stroke 180 280 20 20 3
e2e_click 500 200 && e2e_click 650 350 && xdotool key c sleep 0.3 && e2e_screenshot
[ "$(crop 470 170)" = "$(crop 180 280)" ] && [ "$(crop 620 320)" = "$(crop 180 280)" ] ||
    e2e_fail "the Scissors' pastes differ from the cut"
# A black Pencil stroke down the picture's last column (x 780), a cut from (721, 110) dragged past
# the right edge, where the program pins the pointer: the cut takes that column, and its paste at
# (400, 300) is the cut pixel for pixel.
e2e_click $PENCIL && e2e_stroke 779 100 779 170
e2e_click $SCISSORS && e2e_stroke 721 110 795 170 && e2e_click 430 330 && xdotool key c sleep 0.3
e2e_expect "$BLACK" "the last column, cut past the right edge and pasted" "459 310" "459 359"
[ "$(crop 400 300)" = "$(crop 721 110)" ] || e2e_fail "the paste differs from the cut up to the right edge"

# --- The palette (centred, at 215, 179): opened by the paint tube, a pick and the tick ---------
e2e_click $PAINT_TUBE && sleep 0.5 && e2e_screenshot
picked=$(e2e_pixel "$SHOT" 465 239)
[ "$picked" != "$(e2e_pixel "$SHOT" 465 60)" ] && [ "$picked" != "$(e2e_pixel "$SHOT" $BLOT)" ] ||
    e2e_fail "no palette over the picture at (465, 239), or it has the paint blot's colour there"
e2e_click 465 239 && e2e_click 356 282
e2e_expect "$picked" "the paint blot after a pick on the palette and the tick" "$BLOT"

# --- Another window takes the focus mid-stroke: the stroke ends, the next click acts at once ---
xmessage -geometry +560+20 other & E2E_PIDS+=("$!") && OTHER=$(timeout 10 xdotool search --sync --onlyvisible --class Xmessage | head -n 1)
e2e_click $PENCIL && xdotool mousemove 200 300 mousedown 1 sleep 0.1 mousemove 300 300 sleep 0.3 windowfocus --sync \
    "$OTHER" sleep 0.5 mouseup 1 windowfocus --sync "$(e2e_named Pictoria)" sleep 0.5 && e2e_click $BLUE_CAN
e2e_expect "$BLUE" "the paint blot at the first click on the blue can after the focus came back" "$BLOT"

e2e_alive "$PID" || e2e_fail "the program ended during the test"
echo "PASS: test_room"
