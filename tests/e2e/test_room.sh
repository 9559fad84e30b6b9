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
# cut is pasted at two places pixel for pixel; the paint tube opens the palette, and a pick and
# the tick make the picked colour the paint blot's.
#
# Every path is a straight line sampled at points that lie exactly on it, so the check does not
# depend on how many of the pointer's moves the program saw.
#
# Usage: test_room.sh PATH_TO_PICTORIA

[ $# -eq 1 ] || { echo "usage: $0 PATH_TO_PICTORIA" >&2; exit 2; }
BINARY=$(realpath "$1")
. "$(dirname "$0")/lib.sh"
[ -x "$BINARY" ] || e2e_fail "no program at $BINARY"
command -v convert >/dev/null || e2e_fail "ImageMagick's convert is not installed"

W=800
H=600
Y0=$((H - 480))
SHOT="$E2E_TMP/screen.ppm"
WHITE="255 255 255"
RED="255 0 0"
BLUE="0 0 255"
YELLOW="255 255 0"
BLACK="0 0 0"

BLUE_CAN=(573 $((H - 80)))               # inside can 4's top (554, H-84, 592, H-76)
BLOT=(460 $((H - 32)))                    # inside the paint blot's painted surface
TOYS=(77 $((Y0 + 293)))                   # the Toys on the shelf (50, Y0+261, 104, Y0+326)
COG=(220 $((H - 35)))                     # the drawn cog on the table (197, H-49, 258, H-19)
HAMMER=(396 $((H - 40)))                 # points inside the tools' hit areas on the table
TOOL_BOX=(25 $((Y0 + 210)))
PENCIL=(395 $((H - 30)))
ERASER=(325 $((H - 48)))
JAR=(288 $((H - 37)))
DROPPER=(290 $((H - 62)))
BLACK_CAN=(530 $((H - 92)))               # inside can 1's top (512, H-96, 547, H-87)
YELLOW_CAN=(510 $((H - 60)))              # on can 5's body (493, H-81, 528, H-42)
RULER=(415 $((H - 58)))
SCISSORS=(235 $((H - 53)))
PAINT_TUBE=(510 $((H - 30)))
PALETTE=($(((W - 369) / 2)) $(((H - 242) / 2)))  # the palette dialog's top-left, centred
TRAY_GEOMETRY="283x96+185+$((H - 96))"   # the tray area (185, H-96, 468, H)

room_window_only() { [ "$(e2e_windows "$PID")" = "0 0 $W $H" ]; }

# colour_at X Y: the pixel of the last screenshot (a PPM of the whole W x H screen).
colour_at() {
    local header
    header=$(head -n 3 "$SHOT" | wc -c)
    od -An -tu1 -j $((header + ($2 * W + $1) * 3)) -N 3 "$SHOT" | xargs
}

# shot_shows COLOUR "X Y"...: a fresh screenshot has COLOUR at every point.
shot_shows() {
    local colour=$1 at
    shift
    e2e_screenshot "$SHOT" || return 1
    for at in "$@"; do
        # shellcheck disable=SC2086  # "x y" splits into two arguments on purpose
        [ "$(colour_at $at)" = "$colour" ] || return 1
    done
}

# expect COLOUR WHAT "X Y"...: retries the screenshot for a while, then names the first point
# that is wrong.
expect() {
    local colour=$1 what=$2 at
    shift 2
    e2e_wait 8 shot_shows "$colour" "$@" && return 0
    local seen
    for at in "$@"; do
        # shellcheck disable=SC2086
        seen=$(colour_at $at)
        [ "$seen" = "$colour" ] || e2e_fail "$what: ($at) is ($seen), expected ($colour)"
    done
}

window_shown_or_ended() { xdotool search --onlyvisible --pid "$PID" >/dev/null 2>&1 || ! e2e_alive "$PID"; }

# Only one copy of the program runs per user: a start while another copy runs (another test on
# this machine) hands over to it and ends at once with 0. Start again until ours stays.
start_room() {
    local deadline=$((SECONDS + 200)) code
    while :; do
        e2e_start_program "$BINARY"
        PID=$E2E_PID
        e2e_wait 30 window_shown_or_ended || e2e_fail "no window of the program appeared within 30 s"
        e2e_alive "$PID" && return 0
        wait "$PID"
        code=$?
        [ "$code" -eq 0 ] || e2e_fail "the program ended with exit code $code before showing a window"
        [ "$SECONDS" -lt "$deadline" ] || e2e_fail "another copy of the program kept running for 200 s"
        e2e_log "another copy of the program is running for this user; starting again shortly"
        sleep 2
    done
}

tray_hash() { e2e_screenshot "$SHOT" && convert "$SHOT" -crop "$TRAY_GEOMETRY" +repage rgb:- | md5sum; }
tray_changed_from() { [ "$(tray_hash)" != "$1" ]; }

click() {
    xdotool mousemove "$1" "$2"
    sleep 0.15
    xdotool click 1
    sleep 0.2
}

# stroke X0 Y0 DX DY STEPS: presses at (X0, Y0), moves STEPS times by (DX, DY), releases.
stroke() {
    local x=$1 y=$2 dx=$3 dy=$4 steps=$5 i
    xdotool mousemove "$x" "$y"
    sleep 0.15
    xdotool mousedown 1
    sleep 0.15
    for i in $(seq "$steps"); do
        xdotool mousemove $((x + i * dx)) $((y + i * dy))
        sleep 0.06
    done
    sleep 0.1
    xdotool mouseup 1
    sleep 0.2
}

# line_points X0 Y0 DX DY COUNT: COUNT points "x y" from (X0, Y0) in steps of (DX, DY).
line_points() {
    local i
    for i in $(seq 0 $(($5 - 1))); do echo "$(($1 + i * $3)) $(($2 + i * $4))"; done
}

# --- The room comes up -------------------------------------------------------------------------
e2e_start_x $W $H
xdotool mousemove 5 5
start_room
e2e_dismiss_title "$PID" || e2e_fail "no title screen"
e2e_wait 20 room_window_only ||
    e2e_fail "expected one window at 0,0 ${W}x${H}, found: $(e2e_windows "$PID" | tr '\n' ';')"
# The canvas is white and the paint blot red (the start colour) once the room is on screen.
expect "$WHITE" "the canvas at start" "300 200" "600 300"
expect "$RED" "the paint blot at start" "${BLOT[0]} ${BLOT[1]}"

# --- The blue can, then a Pencil stroke --------------------------------------------------------
click "${BLUE_CAN[@]}"
expect "$BLUE" "the paint blot after a click on the blue can" "${BLOT[0]} ${BLOT[1]}"

# From (260, 150) down to the right, slope 1/2, in 10 moves of (16, 8).
stroke 260 150 16 8 10
mapfile -t on_path < <(line_points 260 150 4 2 41)
expect "$BLUE" "the Pencil stroke" "${on_path[@]}"
# Size 4: 10 pixels below the path is still white; nothing appears mirrored left of the start.
expect "$WHITE" "beside the Pencil stroke" "300 180" "380 220" "220 170" "180 190"
e2e_log "Pencil stroke found in blue at ${#on_path[@]} points"

# --- The Toys on the table, the Cog chosen -----------------------------------------------------
before=$(tray_hash)
click "${TOYS[@]}"
e2e_wait 8 tray_changed_from "$before" || e2e_fail "the tray on the table did not change after a click on the Toys"
sleep 0.3
before=$(tray_hash)
click "${COG[@]}"
# The current-tool marker moves onto the Cog.
e2e_wait 8 tray_changed_from "$before" || e2e_fail "the tray did not change after a click on the Cog"

# --- A Cog stroke to the right and its mirror image to the left -------------------------------
CX=560
CY=300
mapfile -t mirrored < <(line_points $((CX - 4)) $((CY + 2)) -4 2 25)
expect "$WHITE" "left of the Cog's start point before the stroke" "${mirrored[@]}"
# From (560, 300) down to the right, slope 1/2, in 10 moves of (10, 5).
stroke $CX $CY 10 5 10
mapfile -t drawn < <(line_points $CX $CY 4 2 26)
expect "$BLUE" "the Cog stroke itself" "${drawn[@]}"
expect "$BLUE" "the Cog stroke's mirror image left of its start point" "${mirrored[@]}"
# Two-way mirror: nothing above the start point (where a four-way mirror would draw).
expect "$WHITE" "above the Cog's start point" "600 280" "520 280" "640 260" "480 260"
e2e_log "Cog stroke and its mirror image found in blue at ${#drawn[@]} + ${#mirrored[@]} points"

# --- The Hammer & Chisel on a flat white place ------------------------------------------------
click "${HAMMER[@]}"
click 700 150
expect "200 200 200" "the Hammer & Chisel's relief of flat white" "700 150" "690 150" "700 160"

# --- The Jar, the Eraser and the Dropper -------------------------------------------------------
click "${TOOL_BOX[@]}"
sleep 0.3
click "${JAR[@]}"
click 300 420
expect "$BLUE" "the picture after the Jar" "150 20" "300 420" "777 500" "700 250"
click "${BLACK_CAN[@]}"
click "${PENCIL[@]}"
stroke 200 300 25 0 6
stroke 350 300 0 25 6
stroke 350 450 -25 0 6
stroke 200 450 0 -25 6
click "${YELLOW_CAN[@]}"
click "${JAR[@]}"
click 275 375
expect "$YELLOW" "inside the Pencil square after the Jar" "275 375" "210 310" "340 440"
expect "$BLUE" "outside the Pencil square" "190 375" "360 375" "275 290" "275 460"
click "${ERASER[@]}"
click 600 450
expect "$WHITE" "where the Eraser was" "600 450" "589 439" "611 461"
expect "$BLUE" "beside the Eraser's square" "620 450" "600 430"
click "${DROPPER[@]}"
click 700 250
expect "$BLUE" "the paint blot after the Dropper on blue" "${BLOT[0]} ${BLOT[1]}"
click 600 450
expect "$WHITE" "the paint blot after the Dropper on white" "${BLOT[0]} ${BLOT[1]}"
e2e_log "the Hammer & Chisel, Jar, Eraser and Dropper left what they should"

# --- The Ruler: a rubber band while held, a black line after -----------------------------------
click "${BLACK_CAN[@]}"
click "${RULER[@]}"
xdotool mousemove 450 100 && sleep 0.15 && xdotool mousedown 1
for x in 500 550 600 650 700; do sleep 0.06; xdotool mousemove $x 100; done
expect "$BLACK" "the Ruler's rubber band before the release" "575 100" "690 100"
xdotool mouseup 1
sleep 0.2
mapfile -t ruled < <(line_points 460 100 10 0 24)
expect "$BLACK" "the Ruler's line" "${ruled[@]}"

# --- The Scissors: one cut, two pastes, let go with C ------------------------------------------
crop() { convert "$SHOT" -crop "60x60+$1+$2" +repage rgb:- | md5sum; }
click "${SCISSORS[@]}"
stroke 180 280 20 20 3
click 500 200
click 650 350
xdotool key c
sleep 0.3
e2e_screenshot "$SHOT"
cut=$(crop 180 280)
[ "$(crop 470 170)" = "$cut" ] && [ "$(crop 620 320)" = "$cut" ] || e2e_fail "the Scissors' pastes differ from the cut"
e2e_log "the Scissors' cut found pasted at two places"

# --- The palette: opened by the paint tube, a pick and the tick --------------------------------
click "${PAINT_TUBE[@]}"
pick=($((PALETTE[0] + 250)) $((PALETTE[1] + 60)))
tick=($((PALETTE[0] + 141)) $((PALETTE[1] + 103)))
e2e_wait 8 e2e_screenshot "$SHOT" && sleep 0.5 && e2e_screenshot "$SHOT"
picked=$(colour_at "${pick[@]}")
[ "$picked" != "$(colour_at 465 60)" ] && [ "$picked" != "$(colour_at "${BLOT[@]}")" ] ||
    e2e_fail "no palette over the picture at (${pick[*]}), or it has the paint blot's colour there"
click "${pick[@]}"
click "${tick[@]}"
expect "$picked" "the paint blot after a pick on the palette and the tick" "${BLOT[0]} ${BLOT[1]}"

e2e_alive "$PID" || e2e_fail "the program ended during the test"
echo "PASS: test_room"
