#!/bin/bash
# Printing through GTK's "Print to File", ink saving on and then off: the PDF holds the canvas's
# pixels (checkerboarded to save ink) in the middle of one page, as sharp blocks. The second print
# offers the first one's printer; a PDF that cannot be written is reported.
# Usage: test_print.sh PICTORIA

[ $# -eq 1 ] || { echo "usage: $0 PATH_TO_PICTORIA" >&2; exit 2; }
BINARY=$(realpath "$1")
. "$(dirname "$0")/lib.sh"
command -v pdfimages >/dev/null || e2e_fail "poppler-utils is not installed"
. "$(dirname "$0")/print_lib.sh"

# check_pdf INK: the document holds one page with the canvas, as it was or checkerboarded.
check_pdf() {
    local ink=$1 images
    images=$(pdfinfo "$PDF" | awk '/^Pages:/ {print $2}'; pdfimages -list "$PDF" | awk 'NR > 2 {print $4, $5, $10}')
    [ "$images" = $'1\n634 488 no' ] || e2e_fail "not one page with the 634x488 canvas, unsmoothed: $images"
    pdfimages -png "$PDF" "$E2E_TMP/img"
    [ "$ink" = on ] && convert "$E2E_TMP/canvas.png" -fx '(i+j)%2==0 ? 1 : u' "$E2E_TMP/canvas.png"
    [ "$(compare -metric AE "$E2E_TMP/img-000.png" "$E2E_TMP/canvas.png" null: 2>&1)" = 0 ] ||
        e2e_fail "the printed picture is not the canvas (ink saving $ink)"
    check_placed "$PDF"
    # At 600 dpi every canvas pixel is a sharp block: blue or white, nothing in between.
    pdftoppm -r 600 -x 1100 -y 2650 -W 200 -H 200 "$PDF" "$E2E_TMP/edge"
    [ "$(convert "$E2E_TMP"/edge-1.ppm -format '%k' info:)" = 2 ] ||
        e2e_fail "the printed edge is blurred (ink saving $ink)"
}

e2e_start_x 800 600
mkdir -p "$E2E_TMP/config/gtk-3.0" && printf '[Settings]\ngtk-print-backends=file\n' >"$E2E_TMP/config/gtk-3.0/settings.ini"
printed() { e2e_wait 30 eval 'e2e_room_only && [ -s "$PDF" ]'; }

e2e_room ink "$BINARY"
paint
print pick
printed || e2e_fail "no PDF after Print"
check_pdf on
# The second print offers "Print to File" again: Print alone writes the file.
mv "$PDF" "$E2E_TMP/first.pdf"
print
printed || e2e_fail "the second print did not offer the first one's printer"
# A file that cannot be written is reported with the reason, and the program goes on.
rm "$PDF" && mkdir "$PDF" && print && xdotool sleep 2 key alt+r  # GTK asks before it replaces the file
e2e_wait 20 eval '[ -n "$(e2e_named "Attention!")" ]' || e2e_fail "no message about the PDF that could not be written"
xdotool sleep 0.5 key Return && rmdir "$PDF"
kill "$PID" && wait "$PID" 2>/dev/null

# Ink saving off (the fourth word of the preferences file).
printf '\1\0\0\0\1\0\0\0\1\0\0\0\0\0\0\0' >"$E2E_TMP/config/pictoria/mwsptk10.pfs"
e2e_room plain "$BINARY"
paint
print pick
printed || e2e_fail "no PDF after Print with ink saving off"
check_pdf off
echo "PASS: test_print"
