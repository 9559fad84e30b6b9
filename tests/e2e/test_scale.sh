#!/bin/bash
# A 1600x1200 screen scaled by 2 (GDK_SCALE=2, then --scale 2) and a 2400x1800 one scaled by 3
# show the room drawn for 800x600 with every pixel an s x s block; a click at a can's scaled place
# chooses it; a stroke lands under the pointer in sharp s x s blocks.
# Usage: test_scale.sh PICTORIA   (the room is drawn by render_room beside the tests)

[ $# -eq 1 ] || { echo "usage: $0 PATH_TO_PICTORIA" >&2; exit 2; }
BINARY=$(realpath "$1")
. "$(dirname "$0")/lib.sh"
"$(dirname "$BINARY")/tests/render_room" 800 600 "$E2E_TMP/room.bmp" >/dev/null || e2e_fail "render_room failed"

# Factor 3 writes each pixel as three words across: the room's odd columns and the stroke's
# odd ends must land on whole blocks too.
for row in "2 env GDK_SCALE=2 $BINARY" "2 $BINARY --scale 2" "3 $BINARY --scale 3"; do
    read -r s way <<<"$row"
    e2e_start_x $((800 * s)) $((600 * s))
    e2e_room scaled $way  # the title screen, scaled, is clicked in its middle
    e2e_screenshot
    differ=$(convert "$E2E_TMP/room.bmp" -sample $((800 * s))x$((600 * s)) - | compare -metric AE - "$SHOT" null: 2>&1)
    [ "$differ" = 0 ] || e2e_fail "$way: the room is not the 800x600 room scaled by $s ($differ pixels differ)"
    e2e_click $((573 * s)) $((520 * s))  # the blue can
    e2e_stroke $((301 * s - 1)) $((301 * s - 1)) $((501 * s - 1)) $((301 * s - 1))
    e2e_expect "0 0 255" "$way: the stroke" "$((310 * s)) $((300 * s))" "$((400 * s)) $((300 * s))" "$((490 * s)) $((300 * s))"
    convert "$SHOT" -crop $((220 * s))x$((20 * s))+$((290 * s))+$((290 * s)) +repage "$E2E_TMP/stroke.ppm"
    blocks=$(convert "$E2E_TMP/stroke.ppm" -sample 220x20 -sample $((220 * s))x$((20 * s)) - |
        compare -metric AE - "$E2E_TMP/stroke.ppm" null: 2>&1)
    [ "$blocks" = 0 ] || e2e_fail "$way: the stroke's pixels are not sharp ${s}x$s blocks"
    kill "$PID" "$E2E_XVFB_PID" && wait "$PID" "$E2E_XVFB_PID" 2>/dev/null
    rm -rf "$XDG_STATE_HOME" "$E2E_TMP/display"  # the stroke's recovery copy would come back at the next start
done
echo "PASS: test_scale"
