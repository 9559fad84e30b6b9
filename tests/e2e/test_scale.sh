#!/bin/bash
# A 1600x1200 screen scaled by 2 (GDK_SCALE=2, then --scale 2) shows the room drawn for 800x600
# with every pixel doubled; a click at a can's doubled place chooses it; a stroke lands under the
# pointer in sharp 2x2 blocks.
# Usage: test_scale.sh PICTORIA   (the room is drawn by render_room beside the tests)

[ $# -eq 1 ] || { echo "usage: $0 PATH_TO_PICTORIA" >&2; exit 2; }
BINARY=$(realpath "$1")
. "$(dirname "$0")/lib.sh"
"$(dirname "$BINARY")/tests/render_room" 800 600 "$E2E_TMP/room.bmp" >/dev/null || e2e_fail "render_room failed"

e2e_start_x 1600 1200
for way in "env GDK_SCALE=2 $BINARY" "$BINARY --scale 2"; do
    e2e_room scaled $way  # the title screen, doubled, is clicked in its middle
    e2e_screenshot
    differ=$(convert "$SHOT" -sample 50% - | compare -metric AE - "$E2E_TMP/room.bmp" null: 2>&1)
    [ "$differ" = 0 ] || e2e_fail "$way: the room is not the 800x600 room doubled ($differ pixels differ)"
    e2e_click 1146 1040  # the blue can, at (573, 520) doubled
    e2e_stroke 601 601 1001 601
    e2e_expect "0 0 255" "$way: the stroke" "620 600" "800 600" "980 600"
    convert "$SHOT" -crop 440x40+580+580 +repage "$E2E_TMP/stroke.ppm"
    blocks=$(convert "$E2E_TMP/stroke.ppm" -sample 50% -sample 200% - | compare -metric AE - "$E2E_TMP/stroke.ppm" null: 2>&1)
    [ "$blocks" = 0 ] || e2e_fail "$way: the stroke's pixels are not sharp 2x2 blocks"
    kill "$PID" && wait "$PID" 2>/dev/null
    rm -rf "$XDG_STATE_HOME"  # the stroke's recovery copy would come back at the next start
done
echo "PASS: test_scale"
