#!/bin/bash
# Printing with the real program at 800x600 through GTK's "Print to File": a blue rectangle is
# painted, the printer on the shelf clicked and the PDF checked with poppler: one page, the
# canvas's own pixels (checkerboarded when saving ink) at the middle of the paper, shown as sharp
# blocks. The second print offers the first one's printer; a PDF that cannot be written is
# reported. A second run prints with ink saving off.
# Usage: test_print.sh PICTORIA

[ $# -eq 1 ] || { echo "usage: $0 PATH_TO_PICTORIA" >&2; exit 2; }
BINARY=$(realpath "$1")
. "$(dirname "$0")/lib.sh"
command -v pdftoppm >/dev/null && command -v pdfimages >/dev/null || e2e_fail "poppler-utils is not installed"
RUN="$E2E_TMP/run" SHOT="$E2E_TMP/screen.ppm" PDF="$E2E_TMP/run/output.pdf"
PRINTER="25 425" BLUE_CAN="573 520" JAR="288 563"

room_only() { [ "$(e2e_windows "$PID")" = "0 0 800 600" ]; }
named() { xdotool search --onlyvisible --pid "$PID" --name "^$1\$" 2>/dev/null | head -n 1; }
click() { xdotool mousemove "$1" "$2" sleep 0.3 click 1; }
stroke() { xdotool mousemove "$1" "$2" sleep 0.2 mousedown 1 sleep 0.1 mousemove "$3" "$4" sleep 0.2 mouseup 1 sleep 0.2; }
start() {
    e2e_start_program "$BINARY" "$1"
    PID=$E2E_PID
    e2e_dismiss_title "$PID" && e2e_wait 20 room_only && sleep 1 || e2e_fail "no room after the title screen"
}
# print [pick]: clicks the printer, optionally picks "Print to File", and presses Print.
print() {
    click $PRINTER
    e2e_wait 20 eval '[ -n "$(named Print)" ]' || e2e_fail "no print dialog"
    local X Y
    sleep 1  # placed in the middle once shown
    read -r X Y _ < <(e2e_windows "$PID" | grep -v "^0 0 800 600$")
    [ "${1:-}" = pick ] && click $((X + 82)) $((Y + 86)) && sleep 0.5
    click $((X + 664)) $((Y + 530))
}
# The blue rectangle, painted with the pencil's outline and the jar's fill.
paint() {
    click $BLUE_CAN
    stroke 250 150 450 150; stroke 450 150 450 300; stroke 450 300 250 300; stroke 250 300 250 150
    click $JAR
    click 350 220
    sleep 0.5
    e2e_screenshot "$SHOT" && convert "$SHOT" -crop 634x488+147+16 +repage "$E2E_TMP/canvas.png"
    [ "$(e2e_pixel "$SHOT" 350 220)" = "0 0 255" ] || e2e_fail "no blue rectangle on the canvas"
}
# check_pdf INK: the document holds one page with the canvas, as it was or checkerboarded.
check_pdf() {
    local ink=$1
    [ "$(pdfinfo "$PDF" | awk '/^Pages:/ {print $2}')" = 1 ] || e2e_fail "the PDF does not have one page"
    pdfimages -list "$PDF" | tail -n +3 >"$E2E_TMP/images"
    [ "$(wc -l <"$E2E_TMP/images")" = 1 ] && [ "$(awk '{print $4, $5, $10}' "$E2E_TMP/images")" = "634 488 no" ] ||
        e2e_fail "the PDF does not hold the 634x488 canvas, unsmoothed: $(cat "$E2E_TMP/images")"
    rm -f "$E2E_TMP"/img-*
    pdfimages -png "$PDF" "$E2E_TMP/img"
    local expected="$E2E_TMP/canvas.png"
    if [ "$ink" = on ]; then
        convert "$E2E_TMP/canvas.png" -fx '(i+j)%2==0 ? 1 : u' "$E2E_TMP/saving.png"
        expected="$E2E_TMP/saving.png"
    fi
    [ "$(compare -metric AE "$E2E_TMP/img-000.png" "$expected" null: 2>&1)" = 0 ] ||
        e2e_fail "the printed picture is not the canvas (ink saving $ink)"
    # At 72 dpi the blue rectangle sits where the canvas had it, the picture centred on A4:
    # 535.7 points wide from 29.8 points in, 412.4 high from 214.7 points down.
    pdftoppm -r 72 "$PDF" "$E2E_TMP/page"
    local box expect
    box=$(convert "$E2E_TMP"/page-1.ppm -fuzz 20% -fill white -opaque white -trim -format '%X %Y %w %h' info:)
    expect=$(convert "$E2E_TMP/canvas.png" -trim -format '%X %Y %w %h' info: |
        awk '{s = 535.75 / 634; printf "%d %d %d %d", 29.76 + $1 * s, 214.74 + $2 * s, $3 * s, $4 * s}')
    echo "$box $expect" | awk '{for (i = 1; i <= 4; i++) if ($i - $(i + 4) > 2 || $(i + 4) - $i > 2) exit 1}' ||
        e2e_fail "the blue rectangle is at '$box' on the page, not at '$expect'"
    # At 600 dpi every canvas pixel is a sharp block: blue or white, nothing in between.
    pdftoppm -r 600 -x 1100 -y 2650 -W 200 -H 200 "$PDF" "$E2E_TMP/edge"
    [ "$(convert "$E2E_TMP"/edge-1.ppm -format '%k' info:)" = 2 ] ||
        e2e_fail "the printed edge is blurred (ink saving $ink)"
    e2e_log "printed with ink saving $ink: the canvas, centred, sharp"
}

e2e_start_x 800 600
mkdir -p "$E2E_TMP/config/gtk-3.0" "$E2E_TMP/home"
printf '[Settings]\ngtk-print-backends=file\n' >"$E2E_TMP/config/gtk-3.0/settings.ini"
export HOME="$E2E_TMP/home"

start ink
paint
print pick
e2e_wait 30 eval 'room_only && [ -s "$PDF" ]' || e2e_fail "no PDF after Print"
check_pdf on
# The second print offers "Print to File" again: Print alone writes the file.
mv "$PDF" "$E2E_TMP/first.pdf"
print
e2e_wait 30 eval 'room_only && [ -s "$PDF" ]' || e2e_fail "the second print did not offer the first one's printer"
# A file that cannot be written is reported with the reason, and the program goes on.
rm "$PDF" && mkdir "$PDF"
print
xdotool sleep 2 key alt+r  # GTK asks before it replaces "output.pdf"
e2e_wait 20 eval '[ -n "$(named "Attention!")" ]' || e2e_fail "no message about the PDF that could not be written"
xdotool sleep 0.5 key Return
e2e_wait 10 room_only || e2e_fail "the message stayed"
rmdir "$PDF"
xdotool key F1 sleep 0.8 key q
e2e_wait 10 eval '[ -n "$(named "Attention...")" ]' || e2e_fail "Quit did not ask about the painted picture"
xdotool sleep 0.5 key alt+n
e2e_wait 10 eval '! e2e_alive "$PID"' || e2e_fail "the program did not quit"

# Ink saving off (the fourth word of the preferences file).
printf '\1\0\0\0\1\0\0\0\1\0\0\0\0\0\0\0' >"$E2E_TMP/config/pictoria/mwsptk10.pfs"
start plain
paint
print pick
e2e_wait 30 eval 'room_only && [ -s "$PDF" ]' || e2e_fail "no PDF after Print with ink saving off"
check_pdf off
echo "PASS: test_print"
