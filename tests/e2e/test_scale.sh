#!/bin/bash
# The program on a 1600x1200 screen scaled by 2, once by the desktop (GDK_SCALE=2) and once by
# `--scale 2`: the room is laid out as on 800x600 and shows exactly the room drawn for 800x600
# with every pixel doubled; a click at a can's doubled position chooses it; a stroke lands
# along the pointer's path, each of its pixels a sharp 2x2 block.
# Usage: test_scale.sh PICTORIA   (the room is drawn by render_room beside the tests)

[ $# -eq 1 ] || { echo "usage: $0 PATH_TO_PICTORIA" >&2; exit 2; }
BINARY=$(realpath "$1")
. "$(dirname "$0")/lib.sh"
RENDER=$(dirname "$BINARY")/tests/render_room
[ -x "$RENDER" ] || e2e_fail "no render_room at $RENDER"
SHOT="$E2E_TMP/screen.ppm"
"$RENDER" 800 600 "$E2E_TMP/room.bmp" >/dev/null || e2e_fail "render_room failed"

e2e_start_x 1600 1200
for way in desktop option; do
    if [ "$way" = desktop ]; then
        (cd "$E2E_TMP/run" && GDK_SCALE=2 exec "$BINARY") >"$E2E_TMP/program-$way.log" 2>&1 &
    else
        (cd "$E2E_TMP/run" && exec "$BINARY" --scale 2) >"$E2E_TMP/program-$way.log" 2>&1 &
    fi
    PID=$!
    E2E_PIDS+=("$PID")
    e2e_wait 15 eval 'e2e_windows "$PID" | grep -q "^352 276 896 648$"' || e2e_fail "$way: no doubled title screen"
    xdotool mousemove 800 600 click 1
    e2e_wait 10 eval '[ "$(e2e_windows "$PID")" = "0 0 1600 1200" ]' || e2e_fail "$way: the room does not cover the screen"
    sleep 1
    e2e_screenshot "$SHOT"
    differ=$(convert "$SHOT" -sample 50% "$E2E_TMP/half.ppm" && compare -metric AE "$E2E_TMP/half.ppm" "$E2E_TMP/room.bmp" null: 2>&1)
    [ "$differ" = 0 ] || e2e_fail "$way: the room is not the 800x600 room doubled ($differ pixels differ)"
    xdotool mousemove 1146 1040 sleep 0.3 click 1 sleep 0.3  # the blue can, at (573, 520) doubled
    xdotool mousemove 601 601 sleep 0.2 mousedown 1 sleep 0.1 mousemove 1001 601 sleep 0.2 mouseup 1 sleep 0.5
    e2e_screenshot "$SHOT"
    for x in 620 800 980; do
        [ "$(e2e_pixel "$SHOT" "$x" 600)" = "0 0 255" ] || e2e_fail "$way: no blue stroke under the pointer at ($x, 600)"
    done
    convert "$SHOT" -crop 440x40+580+580 +repage "$E2E_TMP/stroke.ppm"
    [ "$(convert "$E2E_TMP/stroke.ppm" -sample 50% -sample 200% - | compare -metric AE - "$E2E_TMP/stroke.ppm" null: 2>&1)" = 0 ] ||
        e2e_fail "$way: the stroke's pixels are not sharp 2x2 blocks"
    e2e_log "$way: the 800x600 room doubled ($differ pixels differ), the stroke in sharp 2x2 blocks"
    kill "$PID" && wait "$PID" 2>/dev/null
done
echo "PASS: test_scale"
