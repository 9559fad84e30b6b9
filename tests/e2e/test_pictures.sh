#!/bin/bash
# The real program at 800x600: a stroke saved from the menu, New with the second colouring page,
# and the Gallery bringing the stroke back. Usage: test_pictures.sh PICTORIA (pages: PICTORIA_PAGES_DIR)

[ $# -eq 1 ] || { echo "usage: $0 PATH_TO_PICTORIA" >&2; exit 2; }
BINARY=$(realpath "$1")
. "$(dirname "$0")/lib.sh"
SHOT="$E2E_TMP/screen.ppm" RUN="$E2E_TMP/run"
NEXT="531 481" TICK="376 481" PREVIEW="400 243"  # in the browser, centred at (196, 91)

room_only() { [ "$(e2e_windows "$PID")" = "0 0 800 600" ]; }
browser_up() { e2e_windows "$PID" | grep -q "^196 91 408 417\$"; }
save_as_up() { [ -n "$(xdotool search --onlyvisible --pid "$PID" --name '^Save As$' 2>/dev/null)" ]; }
pixel() { e2e_screenshot "$SHOT" && e2e_pixel "$SHOT" "$1" "$2"; }
menu() { xdotool mousemove 700 300 sleep 0.3 key F1 sleep 0.8 key "$1"; }
black() { convert "$SHOT" -crop 630x480+148+18 -fill white +opaque black -format '%[fx:int((1-mean)*w*h)]' info:; }

e2e_start_x 800 600
mkdir -p "$RUN/Pages" && cp "${PICTORIA_PAGES_DIR:-/nowhere}"/*.bmp "$RUN/Pages/" || e2e_fail "no colouring pages"
e2e_start_program "$BINARY"
PID=$E2E_PID
e2e_wait 20 room_only && sleep 1 || e2e_fail "no room window"
xdotool mousemove 300 300 sleep 0.2 mousedown 1 sleep 0.1 mousemove 500 300 sleep 0.2 mouseup 1 sleep 0.5

menu s
e2e_wait 20 save_as_up || e2e_fail "no Save As dialog after the menu's Save"
xdotool sleep 0.5 key --clearmodifiers ctrl+a sleep 0.2 type --delay 30 drawing
xdotool key --clearmodifiers Return
e2e_wait 15 test -f "$RUN/Gallery/drawing.bmp" || e2e_fail "no Gallery/drawing.bmp after Save"

menu n
e2e_wait 20 browser_up || e2e_fail "no picture browser after New: $(e2e_windows "$PID" | tr '\n' ';')"
xdotool mousemove $NEXT sleep 0.3 click 1 sleep 0.5 mousemove $TICK sleep 0.3 click 1
e2e_wait 10 room_only && sleep 0.5 && e2e_screenshot "$SHOT" || e2e_fail "the browser did not close with the tick"
[ "$(black)" -gt 2000 ] || e2e_fail "no colouring page lines on the canvas"

menu g
e2e_wait 20 browser_up || e2e_fail "no picture browser after Gallery"
xdotool mousemove $PREVIEW sleep 0.3 click 1
e2e_wait 10 room_only && sleep 0.5 || e2e_fail "the browser did not close with a click on the picture"
[ "$(pixel 400 300)" = "255 0 0" ] || e2e_fail "the saved stroke did not come back: $(pixel 400 300)"
