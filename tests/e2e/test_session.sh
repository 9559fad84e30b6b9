#!/bin/bash
# A child's session with the real program at 800x600, from the title screen through Save, New
# with a colouring page, the Gallery, About, Preferences (kept over a restart) and the text tool
# to Quit, whose save question Escape leaves unanswered.
# Usage: test_session.sh PICTORIA   (pages: PICTORIA_PAGES_DIR; E2E_SHOTS: keep screenshots there)

[ $# -eq 1 ] || { echo "usage: $0 PATH_TO_PICTORIA" >&2; exit 2; }
BINARY=$(realpath "$1")
. "$(dirname "$0")/lib.sh"
RUN="$E2E_TMP/run" PREFS="$E2E_TMP/config/pictoria/mwsptk10.pfs"
REMOTE="156 560"  # the remote on the table; the big remote opens at (286, 180)
SAVE="351 246" NEW="349 289" ABOUT="446 206" PREFS_BUTTON="449 289" GALLERY="452 335"
NEXT="531 481" TICK="376 481" PREVIEW="400 243"  # in the browser at (196, 91)
SOUND_OFF="274 327" PREFS_OK="498 393"            # in Preferences at (190, 140)

up() { e2e_windows "$PID" | grep -q "^$1\$"; }  # up "X Y W H"
named_up() { [ -n "$(e2e_named "$1")" ]; }
sound_off() { [ "$(od -An -tu4 -N4 "$PREFS" | xargs)" = "0" ]; }
keep() { [ -z "${E2E_SHOTS:-}" ] || { mkdir -p "$E2E_SHOTS" && import -window root "$E2E_SHOTS/$1.png"; }; }
remote() {  # remote X Y: opens the remote from the table and presses the button at (X, Y)
    e2e_click $REMOTE
    e2e_wait 10 up "286 180 228 240" || e2e_fail "no remote control"
    keep remote
    e2e_click "$1" "$2"
}
black() { convert "$SHOT" -crop 630x480+148+18 -fill white +opaque black -format '%[fx:int((1-mean)*w*h)]' info:; }

e2e_start_x 800 600
mkdir -p "$RUN/Pages" && cp "${PICTORIA_PAGES_DIR:-/nowhere}"/*.bmp "$RUN/Pages/" || e2e_fail "no colouring pages"
e2e_room first "$BINARY"
e2e_stroke 300 300 500 300
remote $SAVE
e2e_wait 20 named_up "Save As" || e2e_fail "no Save As dialog after the remote's Save"
xdotool sleep 0.5 key --clearmodifiers ctrl+a sleep 0.2 type --delay 30 drawing
xdotool key --clearmodifiers Return
e2e_wait 15 test -f "$RUN/Gallery/drawing.bmp" || e2e_fail "no Gallery/drawing.bmp after Save"
e2e_wait 10 e2e_room_only && sleep 0.5 && e2e_screenshot "$SHOT" || e2e_fail "the Save As dialog stayed"
convert "$SHOT" -crop 634x488+147+16 +repage "$E2E_TMP/canvas.png"
[ "$(compare -metric AE "$E2E_TMP/canvas.png" "$RUN/Gallery/drawing.bmp" null: 2>&1)" = "0" ] ||
    e2e_fail "the saved picture differs from the canvas"
e2e_stroke 300 300 400 300
remote $NEW
e2e_wait 10 named_up "Attention..." || e2e_fail "New asked nothing about the changed picture"
xdotool sleep 0.5 key alt+n
e2e_wait 20 up "196 91 408 417" || e2e_fail "no picture browser after New"
e2e_click $NEXT
keep browser
e2e_click $TICK
e2e_wait 10 e2e_room_only && sleep 0.5 && e2e_screenshot "$SHOT" || e2e_fail "the browser did not close with the tick"
[ "$(black)" -gt 2000 ] || e2e_fail "no colouring page lines on the canvas"
remote $GALLERY
e2e_wait 20 up "196 91 408 417" || e2e_fail "no picture browser after Gallery"
e2e_click $PREVIEW
e2e_wait 10 e2e_room_only && sleep 0.5 || e2e_fail "the browser did not close with a click on the picture"
e2e_expect "255 0 0" "the saved stroke, opened from the Gallery" "400 300"
remote $ABOUT
e2e_wait 10 up "189 178 421 244" || e2e_fail "no About box"
keep about
e2e_click 400 300
e2e_wait 10 e2e_room_only || e2e_fail "About stayed after a click"
remote $PREFS_BUTTON
e2e_wait 10 up "190 140 420 319" || e2e_fail "no Preferences"
e2e_click $SOUND_OFF
keep preferences
e2e_click $PREFS_OK
e2e_wait 10 e2e_room_only || e2e_fail "Preferences stayed after OK"
sound_off || e2e_fail "the preferences file still has the sound on"
xdotool key F1 sleep 0.8 key q
e2e_wait 10 eval '! e2e_alive "$PID"' && e2e_room second "$BINARY" && sound_off || e2e_fail "after a restart the sound is on again"
# The keyboard on the shelf: "Hello" in bold at size 80, stamped where the canvas is clicked.
e2e_click 72 561
e2e_wait 10 up "152 115 495 370" || e2e_fail "no text dialog"
xdotool sleep 0.5 key --clearmodifiers ctrl+a sleep 0.2 type --delay 30 Hello
e2e_click 432 333 && e2e_click 549 368 && keep text_dialog && e2e_click 545 422  # bold, 80, OK
e2e_wait 10 e2e_room_only && e2e_click 450 300 && sleep 0.5 && e2e_screenshot "$SHOT" || e2e_fail "the text dialog stayed"
red=$(convert "$SHOT" -crop 300x100+300+210 -fill black +opaque red -fill white -opaque red \
    -format '%[fx:int(mean*w*h)]' info:)
[ "$red" -gt 1500 ] || e2e_fail "no red text where the canvas was clicked ($red red pixels)"
# Escape at Quit's question is no answer: the program and the picture stay. No then ends it.
for answer in Escape alt+n; do
    xdotool key F1 sleep 0.8 key q
    e2e_wait 10 named_up "Attention..." || e2e_fail "Quit asked nothing about the changed picture"
    xdotool sleep 0.5 key $answer sleep 1
    [ $answer = alt+n ] || e2e_room_only || e2e_fail "no room alone after Escape at the question"
done
e2e_ended || e2e_fail "Quit and No did not end the program with 0"
