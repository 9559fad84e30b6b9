# Shared by the printing tests: a blue rectangle painted at 800x600, the print dialog, and where
# the rectangle lands on the page. Source it after lib.sh, with BINARY set.
PDF="$E2E_TMP/run/output.pdf"
# print [pick]: clicks the printer on the shelf, picks the first printer listed when asked, and
# presses Print.
print() {
    e2e_click 25 425
    e2e_wait 20 eval '[ -n "$(e2e_named Print)" ]' || e2e_fail "no print dialog"
    sleep 1  # placed in the middle once shown
    read -r X Y _ <<<"$(e2e_other)"
    [ "${1:-}" = pick ] && xdotool mousemove $((X + 82)) $((Y + 86)) sleep 0.3 click 1 sleep 0.5
    xdotool mousemove $((X + 664)) $((Y + 530)) sleep 0.3 click 1
}
# paint: the blue can, the rectangle's outline with the pencil and the jar's fill inside it.
paint() {
    e2e_click 573 520
    e2e_stroke 250 150 450 150 && e2e_stroke 450 150 450 300 && e2e_stroke 450 300 250 300 && e2e_stroke 250 300 250 150
    e2e_click 288 563 && e2e_click 350 220
    e2e_expect "0 0 255" "the blue rectangle on the canvas" "350 220" && sleep 0.3 && e2e_screenshot
    convert "$SHOT" -crop 634x488+147+16 +repage "$E2E_TMP/canvas.png"
}
# check_placed PDF: at 72 dpi the rectangle sits where the canvas had it, the picture centred on
# A4: 535.7 points wide from 29.8 points in, 412.4 high from 214.7 points down (within 3).
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
