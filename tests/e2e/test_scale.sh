#!/bin/bash
# The room at its designed size on any screen. Without a desktop scale the program draws every
# pixel as the largest block that leaves the room 800x540 of its own: 1920x1080 and 3840x2160
# show the 960x540 room in sharp 2x2 and 4x4 blocks, with no advice box; a click on a can at its
# scaled place chooses it, a stroke lands under the pointer, the pointer kept inside the canvas
# is put where the room says, and the remote comes up centred at its scaled size. A desktop
# scaled by 2 (GDK_SCALE=2) at 1600x1200 keeps its factor. At 1366x768 the room is drawn as it
# is and the advice shows once, never again for that user (nor at `--scale 1` on 1920x1080,
# which draws the room at 1920x1080 as before).
# Usage: test_scale.sh PICTORIA   (the rooms are drawn by render_room beside the tests)

[ $# -eq 1 ] || { echo "usage: $0 PATH_TO_PICTORIA" >&2; exit 2; }
BINARY=$(realpath "$1")
. "$(dirname "$0")/lib.sh"

# screen WxH: a fresh X server of that size, the last one gone.
screen() { kill "$E2E_XVFB_PID" 2>/dev/null && wait "$E2E_XVFB_PID" 2>/dev/null; rm -f "$E2E_TMP/display" && e2e_start_x "${1%x*}" "${1#*x}"; }

# same_room FACTOR LOGICAL_WxH WHAT: the screen, sampled every FACTOR pixels, is the room
# render_room draws at the logical size, and every pixel is a sharp FACTOR x FACTOR block.
same_room() {
    "$(dirname "$BINARY")/tests/render_room" "${2%x*}" "${2#*x}" "$E2E_TMP/room.bmp" >/dev/null && e2e_screenshot ||
        e2e_fail "render_room failed"
    [ "$(convert "$SHOT" -sample "${2}!" - | compare -metric AE - "$E2E_TMP/room.bmp" null: 2>&1)" = 0 ] ||
        e2e_fail "$3: the screen is not the ${2} room at factor $1"
    [ "$(convert "$SHOT" -sample "${2}!" -sample "$((100 * $1))%" - | compare -metric AE - "$SHOT" null: 2>&1)" = 0 ] ||
        e2e_fail "$3: the screen's pixels are not sharp ${1}x$1 blocks"
}

# paints FACTOR LOGICAL_HEIGHT WHAT: the blue can at its place times FACTOR, then a stroke.
paints() {
    local s=$1 y=$((300 * $1))
    e2e_click $((573 * s)) $((($2 - 80) * s)) && e2e_stroke $((300 * s)) "$y" $((500 * s)) "$y"
    e2e_expect "0 0 255" "$3: the stroke" "$((320 * s)) $y" "$((400 * s)) $y" "$((480 * s)) $y"
}

# stop: the program ended, without the stroke's recovery copy that would come back at the next start.
stop() { kill "$PID" && wait "$PID" 2>/dev/null; rm -f "$XDG_STATE_HOME/pictoria/picture.bmp"; }

for case in "1920x1080 2" "3840x2160 4"; do
    read -r size s <<<"$case"
    screen "$size"
    e2e_room auto "$BINARY"  # an advice box would stand before the title screen
    same_room "$s" 960x540 "$size" && paints "$s" 540 "$size"
    # The Ruler keeps the pointer inside the canvas: the warp lands at the canvas's edge, scaled.
    e2e_click $((415 * s)) $((482 * s))
    xdotool mousemove $((600 * s)) $((300 * s)) mousedown 1 sleep 0.2 mousemove $((960 * s - 1)) $((300 * s)) sleep 0.5
    [ "$(xdotool getmouselocation | cut -d' ' -f1)" = "x:$((939 * s))" ] || e2e_fail "$size: the pointer is not kept at $((939 * s))"
    xdotool mouseup 1 sleep 0.3 && e2e_click $((156 * s)) $((500 * s))  # the remote
    e2e_wait 5 eval 'e2e_windows "$PID" | grep -q "^$((366 * s)) $((150 * s)) $((228 * s)) $((240 * s))$"' ||
        e2e_fail "$size: the remote is not centred at its scaled size: $(e2e_windows "$PID" | tr '\n' ';')"
    stop
done

# The desktop's own factor; factor 3, the only one whose blocks straddle the present's
# four-pixel steps unevenly.
for case in "1600x1200 2 env GDK_SCALE=2 $BINARY" "2400x1800 3 $BINARY --scale 3"; do
    read -r size s command <<<"$case"
    screen "$size" && e2e_room "$size" $command
    same_room "$s" 800x600 "$size" && paints "$s" 600 "$size" && stop
done

screen 1366x768
e2e_start_program 1366x768 "$BINARY"
e2e_wait 15 eval '[ -n "$(e2e_named "Attention!")" ]' && xdotool sleep 0.3 key Return || e2e_fail "no advice box"
e2e_dismiss_title && e2e_wait 20 e2e_room_only || e2e_fail "no room after the advice"
same_room 1 1366x768 "1366x768" && stop
e2e_room "1366x768 again" "$BINARY" && stop  # the advice is not given twice

screen 1920x1080
e2e_room "--scale 1" "$BINARY" --scale 1
same_room 1 1920x1080 "--scale 1"
echo "PASS: test_scale"
