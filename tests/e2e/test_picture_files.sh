#!/bin/bash
# PNG and JPEG pictures in the real program at 800x600: both show in the Gallery's browser and
# open onto the canvas, and the menu's "Export as PNG..." writes a copy beside the Gallery that
# ImageMagick reads back equal to the canvas.
# Usage: test_picture_files.sh PICTORIA

[ $# -eq 1 ] || { echo "usage: $0 PATH_TO_PICTORIA" >&2; exit 2; }
. "$(dirname "$0")/lib.sh"
RUN="$E2E_TMP/run" COPY="$E2E_TMP/run/for grandma.png"
up() { e2e_windows "$PID" | grep -q "^$1\$"; }
# near "R G B" X Y: the screenshot's pixel is within JPEG's rounding of the colour.
near() {
    local want=($1) got=($(e2e_pixel "$SHOT" $2 $3)) i
    for i in 0 1 2; do [ $((got[i] - want[i])) -le 6 ] && [ $((want[i] - got[i])) -le 6 ] || return 1; done
}
# show WHAT "R G B" "R G B" CANVAS: within 8 s the left half of the browser's preview (of the
# canvas when CANVAS is 1) shows the first colour, the right half the second. Globals:
# e2e_wait's eval has positional parameters of its own.
show() {
    LEFT=$2 RIGHT=$3 AT=$4
    e2e_wait 8 eval 'e2e_screenshot && near "$LEFT" 300 $((AT ? 300 : 240)) && near "$RIGHT" $((AT ? 600 : 500)) $((AT ? 300 : 240))' ||
        e2e_fail "$1: not ($2) and ($3) side by side"
}
# gallery: the remote's Gallery button; the browser opens at (196, 91) (tick 376 481, arrows 270 and 531 481).
gallery() {
    e2e_click 156 560 && e2e_wait 10 up "286 180 228 240" && e2e_click 452 335 || e2e_fail "no remote control"
    e2e_wait 20 up "196 91 408 417" || e2e_fail "no picture browser after Gallery"
}

e2e_start_x 800 600
mkdir -p "$RUN/Gallery"
# A red | blue PNG with a palette, as many drawing programs write, and a green | yellow photo.
convert -size 200x100 xc:red xc:blue +append -type Palette "$RUN/Gallery/a drawing.png"
convert -size 150x200 xc:'#00c000' xc:'#f0f000' +append -quality 92 "$RUN/Gallery/b photo.JPG"
e2e_room first "$(realpath "$1")"
gallery && show "the PNG in the browser's preview" "255 0 0" "0 0 255" 0
e2e_click 531 481 && show "the JPEG in the browser's preview" "0 192 0" "240 240 0" 0
e2e_click 376 481 && e2e_wait 10 e2e_room_only || e2e_fail "the browser did not close with the tick"
show "the JPEG opened onto the canvas" "0 192 0" "240 240 0" 1
# The browser remembers the JPEG: back to the PNG with the left arrow.
gallery && e2e_click 270 481 && e2e_click 376 481 && e2e_wait 10 e2e_room_only || e2e_fail "the browser did not close"
show "the PNG opened onto the canvas" "255 0 0" "0 0 255" 1
# A stroke on it, then the copy: the menu's "Export as PNG..." (its key is E) and a name typed.
e2e_stroke 200 100 700 450
xdotool mousemove 400 300 sleep 0.3 key F1 sleep 0.8 key e
e2e_wait 20 eval '[ -n "$(e2e_named "Save As")" ]' || e2e_fail "no Save As dialog after Export as PNG"
xdotool sleep 0.5 key --clearmodifiers ctrl+a sleep 0.2 type --delay 30 "for grandma"
xdotool key --clearmodifiers Return
e2e_wait 15 test -s "$COPY" || e2e_fail "no 'for grandma.png' beside the Gallery after Export"
e2e_wait 10 e2e_room_only && sleep 0.5 && e2e_screenshot || e2e_fail "the Save As dialog stayed"
convert "$SHOT" -crop 634x488+147+16 +repage "$E2E_TMP/canvas.png"
[ "$(compare -metric AE "$E2E_TMP/canvas.png" "$COPY" null: 2>&1)" = 0 ] && [ "$(identify -format %m "$COPY")" = PNG ] ||
    e2e_fail "the exported PNG differs from the canvas"
[ "$(ls "$RUN/Gallery" | wc -l)" = 2 ] || e2e_fail "Export touched the Gallery: $(ls "$RUN/Gallery")"
e2e_log "PNG and JPEG shown and opened; the exported copy ($(stat -c %s "$COPY") bytes) equals the canvas"
