#!/bin/bash
# The real program on an 800x600 screen, used the way a child uses it: a click on the blue can
# makes blue the current colour (the paint blot turns blue), a drag on the canvas leaves a blue
# Pencil stroke along the path and nothing beside it or mirrored; the Toys go on the table, the
# Cog is chosen, and a stroke drawn to the right of its start point appears a second time,
# mirrored, to the left of it (and not above it).
#
# Every path is a straight line sampled at points that lie exactly on it, so the check does not
# depend on how many of the pointer's moves the program saw.
#
# Usage: test_room.sh PATH_TO_PICTORIA

[ $# -eq 1 ] || { echo "usage: $0 PATH_TO_PICTORIA" >&2; exit 2; }
BINARY=$(realpath "$1")
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/room_lib.sh"
[ -x "$BINARY" ] || e2e_fail "no program at $BINARY"
command -v convert >/dev/null || e2e_fail "ImageMagick's convert is not installed"

W=800
H=600
Y0=$((H - 480))
SHOT="$E2E_TMP/screen.ppm"
WHITE="255 255 255"
RED="255 0 0"
BLUE="0 0 255"

BLUE_CAN=(573 $((H - 80)))               # inside can 4's top (554, H-84, 592, H-76)
BLOT=(460 $((H - 32)))                    # inside the paint blot's painted surface
TOYS=(77 $((Y0 + 293)))                   # the Toys on the shelf (50, Y0+261, 104, Y0+326)
COG=(220 $((H - 35)))                     # the drawn cog on the table (197, H-49, 258, H-19)
TRAY_GEOMETRY="283x96+185+$((H - 96))"   # the tray area (185, H-96, 468, H)

tray_hash() { e2e_screenshot "$SHOT" && convert "$SHOT" -crop "$TRAY_GEOMETRY" +repage rgb:- | md5sum; }
tray_changed_from() { [ "$(tray_hash)" != "$1" ]; }

# --- The room comes up -------------------------------------------------------------------------
e2e_start_x $W $H
xdotool mousemove 5 5
start_room
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

e2e_alive "$PID" || e2e_fail "the program ended during the test"
echo "PASS: test_room"
