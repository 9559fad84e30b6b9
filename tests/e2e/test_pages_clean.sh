#!/bin/bash
# A grey anti-aliased colouring page, as saved from the web, in Pages/ at 800x600: New, the page
# chosen, the Jar pours blue into its ring, and no grey is left on screen inside or around it.
# Usage: test_pages_clean.sh PICTORIA

[ $# -eq 1 ] || { echo "usage: $0 PATH_TO_PICTORIA" >&2; exit 2; }
. "$(dirname "$0")/lib.sh"
RUN="$E2E_TMP/run"
REMOTE="156 560" NEW="349 289" TICK="376 481" JAR="288 563" BLUE_CAN="573 520"  # as in the other tests
up() { e2e_windows "$PID" | grep -q "^$1\$"; }
# Pixels of the ring's box (canvas (317, 244), radius 150) neither blue, black nor white.
grey() { convert "$SHOT" -crop 306x306+311+107 -fill black -opaque blue -opaque white -fill white +opaque black \
    -format '%[fx:int(mean*w*h)]' info:; }

e2e_start_x 800 600
# Twice the canvas's size and a JPEG, as pages come from the web: shrunk, then cleaned.
mkdir -p "$RUN/Pages" && convert -size 1268x976 xc:gray96 -fill none -stroke gray25 -strokewidth 1.6 \
    -draw "circle 634,488 934,488" -quality 85 "$RUN/Pages/web.jpg" || e2e_fail "no page made"
e2e_room first "$(realpath "$1")"
e2e_click $REMOTE && e2e_wait 10 up "286 180 228 240" && e2e_click $NEW || e2e_fail "no remote control"
e2e_wait 20 up "196 91 408 417" || e2e_fail "no picture browser after New"
e2e_click $TICK && e2e_wait 10 e2e_room_only || e2e_fail "the browser did not close with the tick"
e2e_click $JAR && e2e_click $BLUE_CAN && e2e_click 464 260
e2e_expect "0 0 255" "the Jar's blue inside the ring" "464 260" "464 117" "607 260"
[ "$(grey)" = 0 ] || e2e_fail "$(grey) grey pixels left in and around the filled ring"
