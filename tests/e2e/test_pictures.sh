#!/bin/bash
# The real program on an 800x600 screen: a stroke is saved through the popup menu's Save into
# Gallery/; New plays its transition and offers the colouring pages, where the next arrow and
# the tick put the second page on the canvas; the Gallery shows the saved picture, and a click
# on it brings the stroke back.
#
# Usage: test_pictures.sh PATH_TO_PICTORIA   (the colouring pages are taken from
# PICTORIA_PAGES_DIR when it is set)

[ $# -eq 1 ] || { echo "usage: $0 PATH_TO_PICTORIA" >&2; exit 2; }
BINARY=$(realpath "$1")
. "$(dirname "$0")/lib.sh"
[ -x "$BINARY" ] || e2e_fail "no program at $BINARY"

SHOT="$E2E_TMP/screen.ppm"
RUN="$E2E_TMP/run"
# The browser, 408 x 417, centred on the screen: its next arrow, tick and picture.
BX=196 BY=91
NEXT="$((BX + 335)) $((BY + 390))" TICK="$((BX + 180)) $((BY + 390))" PREVIEW="$((BX + 204)) $((BY + 152))"

room_only() { [ "$(e2e_windows "$PID")" = "0 0 800 600" ]; }
browser_up() { e2e_windows "$PID" | grep -q "^$BX $BY 408 417\$"; }
save_as_up() { [ -n "$(xdotool search --onlyvisible --pid "$PID" --name '^Save As$' 2>/dev/null)" ]; }
saved() { [ -f "$RUN/Gallery/drawing.bmp" ]; }
pixel() { e2e_screenshot "$SHOT" && e2e_pixel "$SHOT" "$1" "$2"; }
menu() { xdotool mousemove 700 300 sleep 0.3 key F1 sleep 0.8 key "$1"; }

e2e_start_x 800 600
mkdir -p "$RUN/Pages"
[ -n "${PICTORIA_PAGES_DIR:-}" ] && cp "$PICTORIA_PAGES_DIR"/*.bmp "$RUN/Pages/"
[ -f "$RUN/Pages/blank.bmp" ] || e2e_fail "no colouring pages (PICTORIA_PAGES_DIR=${PICTORIA_PAGES_DIR:-})"
e2e_start_program "$BINARY"
PID=$E2E_PID
e2e_wait 20 room_only || e2e_fail "no room window"
sleep 1

# A red stroke across the canvas with the Pencil, at window row 300.
xdotool mousemove 300 300 sleep 0.2 mousedown 1 sleep 0.1 mousemove 400 300 sleep 0.1 mousemove 500 300 \
    sleep 0.2 mouseup 1 sleep 0.5
[ "$(pixel 400 300)" = "255 0 0" ] || e2e_fail "no red stroke: $(pixel 400 300)"

# --- Save ---------------------------------------------------------------------------------
menu s
e2e_wait 20 save_as_up || e2e_fail "no Save As dialog after the menu's Save"
sleep 0.5
xdotool key --clearmodifiers ctrl+a sleep 0.2 type --delay 30 drawing
xdotool key --clearmodifiers Return
e2e_wait 15 saved || e2e_fail "no Gallery/drawing.bmp after Save"
size=$(stat -c %s "$RUN/Gallery/drawing.bmp")
[ "$size" -eq $((54 + 1904 * 488)) ] || e2e_fail "drawing.bmp has $size bytes"
e2e_wait 10 room_only || e2e_fail "the Save As dialog stayed"
e2e_log "saved Gallery/drawing.bmp ($size bytes)"

# --- New: the transition, then the pages from blank.bmp; the next one is chosen -------------
menu n
e2e_wait 20 browser_up || e2e_fail "no picture browser after New (windows: $(e2e_windows "$PID" | tr '\n' ';'))"
[ "$(pixel 400 300)" = "255 255 255" ] || e2e_fail "the canvas is not white behind the browser"
# shellcheck disable=SC2086
xdotool mousemove $NEXT sleep 0.3 click 1 sleep 0.5 mousemove $TICK sleep 0.3 click 1
e2e_wait 10 room_only || e2e_fail "the browser did not close with the tick"
sleep 0.5
e2e_screenshot "$SHOT"
# The page's black lines: pure black pixels in the canvas area.
dark=$(convert "$SHOT" -crop 630x480+148+18 +repage -fill white +opaque black -format '%[fx:int((1-mean)*w*h)]' info:)
[ "$dark" -gt 2000 ] || e2e_fail "no colouring page lines on the canvas ($dark black pixels)"
e2e_log "the second colouring page is on the canvas ($dark black pixels)"

# --- Gallery: the saved picture comes back --------------------------------------------------
menu g
e2e_wait 20 browser_up || e2e_fail "no picture browser after Gallery"
# shellcheck disable=SC2086
xdotool mousemove $PREVIEW sleep 0.3 click 1
e2e_wait 10 room_only || e2e_fail "the browser did not close with a click on the picture"
sleep 0.5
[ "$(pixel 400 300)" = "255 0 0" ] || e2e_fail "the saved stroke did not come back: $(pixel 400 300)"

menu q
e2e_wait 10 eval '! e2e_alive "$PID"' || e2e_fail "still running after Quit"
wait "$PID" || e2e_fail "the program ended with $?"
e2e_log "pass"
