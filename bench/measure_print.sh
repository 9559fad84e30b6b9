#!/bin/bash
# The real program under Xvfb printing through GTK's "Print to File", by default on a 2086x1192
# screen (a 1920x1080 canvas at factor 1). The canvas is painted (a blue fill and strokes in
# five colours), then printed three times. For each print: the time from the click on Print
# until the program is back to its room with the PDF written (the job handed over and accepted),
# and the most resident memory the program held meanwhile above what it held with the print
# dialog open. The kernel's peak counter is reset just before the click.
#
# Usage: bench/measure_print.sh PICTORIA [WxH...] [-- PROGRAM ARGUMENTS...]
#   default size 2086x1192; MEASURE_QUICK=1: 800x600, one print

USAGE="PICTORIA [WxH...] [-- PROGRAM ARGUMENTS...]"
. "$(dirname "$0")/measure_lib.sh"
measure_args 2086x1192 800x600 "$@"
command -v pdfinfo >/dev/null || e2e_fail "poppler-utils is not installed"
PDF="$E2E_TMP/run/output.pdf"
status_kb() { awk -v f="$1:" '$1 == f { print $2 }' "/proc/$PID/status"; }
ROUNDS=3 && [ "$QUICK" = 1 ] && ROUNDS=1

mkdir -p "$E2E_TMP/config/gtk-3.0" "$E2E_TMP/home"
printf '[Settings]\ngtk-print-backends=file\n' >"$E2E_TMP/config/gtk-3.0/settings.ini"
export HOME="$E2E_TMP/home"
for size in "${SIZES[@]}"; do
    measure_start "$size" 5 5 "${ARGS[@]}"
    CAN_X=(573 529 570 530 509)  # blue, black, red, green, yellow: (x, LH - y) of each can's top
    CAN_Y=(80 91 88 83 75)
    STEP=$(((LH - 112) / 5))  # strokes across the canvas, from its top left to its bottom right
    for i in 1 2 3 4; do  # strokes with the pencil, the tool at the start
        room_click "${CAN_X[$i]}" $((LH - CAN_Y[i]))
        room_stroke 200 $((16 + STEP * i)) $((LW - 86)) $((LH - 96 - STEP * i))
    done
    room_click 573 $((LH - 80)) && room_click 288 $((LH - 37)) && room_click $((LW - 40)) 30  # the jar fills the rest blue

    for round in $(seq "$ROUNDS"); do
        rm -f "$PDF"
        room_click 25 $((LH - 175))
        e2e_wait 20 eval '[ "$(e2e_window_count "$PID")" -ge 2 ]' || e2e_fail "no print dialog"
        sleep 1
        read -r X Y DW DH < <(e2e_windows "$PID" | grep -v "^0 0 $W $H$")
        e2e_click $((X + 82 * S)) $((Y + 86 * S))  # Print to File
        sleep 0.5
        xdotool mousemove $((X + DW - 56 * S)) $((Y + DH - 30 * S)) sleep 0.3  # Print, at the bottom right
        echo 5 >"/proc/$PID/clear_refs"
        before=$(status_kb VmRSS) start=$(date +%s%N)
        xdotool click 1
        e2e_wait 60 eval 'room_only && [ -s "$PDF" ]' || e2e_fail "no PDF after Print"
        ms=$((($(date +%s%N) - start) / 1000000))
        echo "screen ${W}x$H factor $S, print $round: ${ms} ms from Print to the job accepted, $(((($(status_kb VmHWM) - before) + 512) / 1024)) MB" \
            "above the program with the dialog open; PDF $(stat -c %s "$PDF") bytes," \
            "$(pdfimages -list "$PDF" | awk 'NR == 3 { print $4 "x" $5 }') picture"
        sleep 1
    done
    measure_stop
done
