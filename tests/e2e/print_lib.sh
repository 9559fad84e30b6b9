# Shared by the printing tests: the program at 800x600 with a blue rectangle painted on its
# canvas, printed through the print dialog, and the checks of the printed page. Source it after
# lib.sh, with BINARY set.
RUN="$E2E_TMP/run" SHOT="$E2E_TMP/screen.ppm" PDF="$E2E_TMP/run/output.pdf"
# The printer on the shelf; the blue can and the jar on the table.
PRINTER="25 425" BLUE_CAN="573 520" JAR="288 563"

room_only() { [ "$(e2e_windows "$PID")" = "0 0 800 600" ]; }
named() { xdotool search --all --onlyvisible --pid "$PID" --name "^$1\$" 2>/dev/null | head -n 1; }
click() { xdotool mousemove "$1" "$2" sleep 0.3 click 1; }
stroke() { xdotool mousemove "$1" "$2" sleep 0.2 mousedown 1 sleep 0.1 mousemove "$3" "$4" sleep 0.2 mouseup 1 sleep 0.2; }
start() {
    e2e_start_program "$BINARY" "$1"
    PID=$E2E_PID
    e2e_dismiss_title "$PID" && e2e_wait 20 room_only && sleep 1 || e2e_fail "no room after the title screen"
}
# print [pick]: clicks the printer, optionally picks the first printer listed, and presses Print.
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
# check_placed PDF: at 72 dpi the blue rectangle sits where the canvas had it, the picture
# centred on A4: 535.7 points wide from 29.8 points in, 412.4 high from 214.7 points down.
check_placed() {
    rm -f "$E2E_TMP"/page-*
    pdftoppm -r 72 "$1" "$E2E_TMP/page"
    local box expect
    box=$(convert "$E2E_TMP"/page-1.ppm -fuzz 20% -fill white -opaque white -trim -format '%X %Y %w %h' info:)
    expect=$(convert "$E2E_TMP/canvas.png" -trim -format '%X %Y %w %h' info: |
        awk '{s = 535.75 / 634; printf "%d %d %d %d", 29.76 + $1 * s, 214.74 + $2 * s, $3 * s, $4 * s}')
    echo "$box $expect" | awk '{for (i = 1; i <= 4; i++) if ($i - $(i + 4) > 3 || $(i + 4) - $i > 3) exit 1}' ||
        e2e_fail "the blue rectangle is at '$box' on the page, not at '$expect'"
}
