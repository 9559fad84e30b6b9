#!/bin/bash
# PNG and JPEG pictures in the real program at 800x600: both show in the Gallery's browser and
# open onto the canvas, and the menu's "Export as PNG..." writes a copy beside the Gallery that
# ImageMagick reads back equal to the canvas.
# Usage: test_picture_files.sh PICTORIA

[ $# -eq 1 ] || { echo "usage: $0 PATH_TO_PICTORIA" >&2; exit 2; }
BINARY=$(realpath "$1")
. "$(dirname "$0")/lib.sh"
RUN="$E2E_TMP/run"
REMOTE="156 560" GALLERY="452 335"               # the remote on the table, its Gallery button
NEXT="531 481" TICK="376 481"                    # in the browser at (196, 91)
PREVIEW_LEFT="300 240" PREVIEW_RIGHT="500 240"   # the two halves of the browser's preview
CANVAS_LEFT="300 300" CANVAS_RIGHT="600 300"     # and of the canvas

up() { e2e_windows "$PID" | grep -q "^$1\$"; }
named_up() { [ -n "$(e2e_named "$1")" ]; }
# near "R G B" X Y: the screenshot's pixel is within JPEG's rounding of the colour.
near() {
    local want=($1) got=($(e2e_pixel "$SHOT" $2 $3)) i
    for i in 0 1 2; do [ $((got[i] - want[i])) -le 6 ] && [ $((want[i] - got[i])) -le 6 ] || return 1; done
}
# show WHAT "R G B" "R G B" "X Y" "X Y": within 8 s the first point shows the first colour and
# the second point the second (globals: e2e_wait's eval sees its own positional parameters).
show() {
    HALF_LEFT=$2 HALF_RIGHT=$3 HALF_AT_LEFT=$4 HALF_AT_RIGHT=$5
    e2e_wait 8 eval 'e2e_screenshot && near "$HALF_LEFT" $HALF_AT_LEFT && near "$HALF_RIGHT" $HALF_AT_RIGHT' ||
        e2e_fail "$1: ($4) is ($(e2e_pixel "$SHOT" $4)), ($5) is ($(e2e_pixel "$SHOT" $5)), not ($2) and ($3)"
}
gallery() {
    e2e_click $REMOTE
    e2e_wait 10 up "286 180 228 240" || e2e_fail "no remote control"
    e2e_click $GALLERY
    e2e_wait 20 up "196 91 408 417" || e2e_fail "no picture browser after Gallery"
}

e2e_start_x 800 600
mkdir -p "$RUN/Gallery"
# A red | blue PNG (with a palette, as many drawing programs write) and a green | yellow photo.
convert -size 200x100 xc:red xc:blue +append -type Palette "$RUN/Gallery/a drawing.png"
convert -size 150x200 xc:'#00c000' xc:'#f0f000' +append -quality 92 "$RUN/Gallery/b photo.JPG"
e2e_room first "$BINARY"

gallery
show "the PNG in the browser's preview" "255 0 0" "0 0 255" "$PREVIEW_LEFT" "$PREVIEW_RIGHT"
e2e_click $NEXT
show "the JPEG in the browser's preview" "0 192 0" "240 240 0" "$PREVIEW_LEFT" "$PREVIEW_RIGHT"
e2e_click $TICK
e2e_wait 10 e2e_room_only || e2e_fail "the browser did not close with the tick"
show "the JPEG opened onto the canvas" "0 192 0" "240 240 0" "$CANVAS_LEFT" "$CANVAS_RIGHT"
gallery
e2e_click $TICK
e2e_wait 10 e2e_room_only || e2e_fail "the browser did not close with the tick"
show "the PNG opened onto the canvas" "255 0 0" "0 0 255" "$CANVAS_LEFT" "$CANVAS_RIGHT"

# A stroke on it, then the copy: the menu's "Export as PNG..." (its key is E) and a name typed.
e2e_stroke 200 100 700 450
xdotool mousemove 400 300 sleep 0.3 key F1 sleep 0.8 key e
e2e_wait 20 named_up "Save As" || e2e_fail "no Save As dialog after Export as PNG"
xdotool sleep 0.5 key --clearmodifiers ctrl+a sleep 0.2 type --delay 30 "for grandma"
xdotool key --clearmodifiers Return
e2e_wait 15 test -s "$RUN/for grandma.png" || e2e_fail "no 'for grandma.png' beside the Gallery after Export"
e2e_wait 10 e2e_room_only && sleep 0.5 && e2e_screenshot || e2e_fail "the Save As dialog stayed"
convert "$SHOT" -crop 634x488+147+16 +repage "$E2E_TMP/canvas.png"
[ "$(compare -metric AE "$E2E_TMP/canvas.png" "$RUN/for grandma.png" null: 2>&1)" = "0" ] ||
    e2e_fail "the exported PNG differs from the canvas"
[ "$(identify -format %m "$RUN/for grandma.png")" = PNG ] || e2e_fail "the copy is not a PNG"
[ ! -e "$RUN/Gallery/a drawing.bmp" ] && [ "$(ls "$RUN/Gallery" | wc -l)" = 2 ] ||
    e2e_fail "Export touched the Gallery: $(ls "$RUN/Gallery")"
e2e_log "PNG and JPEG shown and opened; the exported copy ($(stat -c %s "$RUN/for grandma.png") bytes) equals the canvas"
