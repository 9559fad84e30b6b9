#!/bin/bash
# The real program under Xvfb on a 2086x1192 screen (a 1920x1080 canvas) printing through GTK's
# "Print to File". The canvas is painted (a blue fill and strokes in five colours), then printed
# three times. For each print: the time from the click on Print until the program is back to
# its room with the PDF written (the job handed over and accepted), and the most resident memory
# the program held meanwhile above what it held with the print dialog open. The kernel's peak
# counter is reset just before the click.
#
# Usage: bench/measure_print.sh PICTORIA

[ $# -eq 1 ] || { echo "usage: $0 PICTORIA" >&2; exit 2; }
BINARY=$(realpath "$1")
. "$(dirname "$0")/measure_lib.sh"
command -v pdfinfo >/dev/null || e2e_fail "poppler-utils is not installed"
PDF="$E2E_TMP/run/output.pdf"
status_kb() { awk -v f="$1:" '$1 == f { print $2 }' "/proc/$PID/status"; }
click() { xdotool mousemove "$1" "$2" sleep 0.3 click 1; }
stroke() { xdotool mousemove "$1" "$2" sleep 0.2 mousedown 1 sleep 0.1 mousemove "$3" "$4" sleep 0.2 mouseup 1; }

mkdir -p "$E2E_TMP/config/gtk-3.0" "$E2E_TMP/home"
printf '[Settings]\ngtk-print-backends=file\n' >"$E2E_TMP/config/gtk-3.0/settings.ini"
export HOME="$E2E_TMP/home"
measure_start 2086x1192 1000 500
CAN_X=(573 529 570 530 509)  # blue, black, red, green, yellow: (x, H - y) of each can's top
CAN_Y=(80 91 88 83 75)
for i in 1 2 3 4; do  # strokes with the pencil, the tool at the start
    click "${CAN_X[$i]}" $((H - CAN_Y[i]))
    stroke 200 $((100 + 150 * i)) 2000 $((1050 - 150 * i))
done
click 573 $((H - 80)) && click 288 $((H - 37)) && click 1900 60  # the jar fills the rest blue

for round in 1 2 3; do
    rm -f "$PDF"
    click 25 $((H - 480 + 305))
    e2e_wait 20 eval '[ "$(e2e_window_count "$PID")" -ge 2 ]' || e2e_fail "no print dialog"
    sleep 1
    read -r X Y _ < <(e2e_windows "$PID" | grep -v "^0 0 $W $H$")
    click $((X + 82)) $((Y + 86))
    sleep 0.5
    xdotool mousemove $((X + 664)) $((Y + 530)) sleep 0.3
    echo 5 >"/proc/$PID/clear_refs"
    before=$(status_kb VmRSS) start=$(date +%s%N)
    xdotool click 1
    e2e_wait 60 eval 'room_only && [ -s "$PDF" ]' || e2e_fail "no PDF after Print"
    ms=$((($(date +%s%N) - start) / 1000000))
    echo "print $round: ${ms} ms from Print to the job accepted, $(((($(status_kb VmHWM) - before) + 512) / 1024)) MB" \
        "above the program with the dialog open; PDF $(stat -c %s "$PDF") bytes," \
        "$(pdfimages -list "$PDF" | awk 'NR == 3 { print $4 "x" $5 }') picture"
    sleep 1
done
