#!/bin/bash
# The real program under Xvfb with the Scissors and the Ruler, at each screen size given:
#  - processor use over 10 s with the pointer still: after a Pencil stroke not yet saved, while
#    a 100 x 100 piece is carried (the main loop then polls every 10 ms), idle after C has let
#    it go, and while the largest piece (the whole canvas) is carried;
#  - processor time per pointer move while the whole canvas is carried, in steps of (8, 5)
#    around the canvas's centre, and per rubber-band move of the Ruler at size 32 anchored near
#    the canvas's top-left corner, the pointer going to the opposite corner and back. MOVES (100)
#    moves come MOVE_MS (50) apart so that each is drawn on its own (at 3840x2160 a move takes
#    longer: give MOVE_MS=100); the resting polls are taken off. The X server's time per move
#    (it draws the presented rectangles) is shown beside it.
# Processor time is utime + stime from /proc/PID/stat, in ticks of 10 ms.
#
# Usage: bench/measure_scissors.sh PICTORIA [WxH...]     (default sizes: 800x600 1920x1080)

[ $# -ge 1 ] || { echo "usage: $0 PICTORIA [WxH...]" >&2; exit 2; }
BINARY=$(realpath "$1")
shift
SIZES=("$@")
[ $# -gt 0 ] || SIZES=(800x600 1920x1080)
. "$(dirname "$0")/measure_lib.sh"
MOVES=${MOVES:-100}
PAUSE=$(awk -v m="${MOVE_MS:-50}" 'BEGIN { print m / 1000 }')


# rest WHAT: the program's processor use over 10 s with the pointer still; sets REST (%).
rest() {
    local before
    sleep 1
    before=$(ticks "$PID")
    sleep 10
    REST=$(awk -v t=$(($(ticks "$PID") - before)) -v hz="$HZ" 'BEGIN { printf "%.2f", t / hz * 10 }')
    echo "screen ${W}x$H: $1: processor use over 10 s $REST %"
}

drag() {  # drag X0 Y0 X1 Y1: press, one move, release
    xdotool mousemove "$1" "$2" sleep 0.2 mousedown 1 sleep 0.2 mousemove "$3" "$4" sleep 0.3 mouseup 1 sleep 0.5
}

# moves WHAT X Y XLOW XHIGH YLOW YHIGH DX DY: MOVES moves from (X, Y) in steps of (DX, DY),
# bouncing inside the box, with the button as it is.
moves() {
    local x=$2 y=$3 dx=$8 dy=$9 chain=() i p0 x0 start
    for i in $(seq "$MOVES"); do
        { [ $((x + dx)) -gt "$5" ] || [ $((x + dx)) -lt "$4" ]; } && dx=$((-dx))
        { [ $((y + dy)) -gt "$7" ] || [ $((y + dy)) -lt "$6" ]; } && dy=$((-dy))
        x=$((x + dx)) y=$((y + dy))
        chain+=(mousemove "$x" "$y" sleep "$PAUSE")
    done
    p0=$(ticks "$PID") x0=$(ticks "$E2E_XVFB_PID") start=$(date +%s%N)
    xdotool "${chain[@]}"
    awk -v p=$(($(ticks "$PID") - p0)) -v x=$(($(ticks "$E2E_XVFB_PID") - x0)) -v n="$MOVES" -v hz="$HZ" \
        -v rest="$REST" -v s=$((($(date +%s%N) - start) / 1000000)) -v what="screen ${W}x$H: $1" 'BEGIN {
        printf "%s: %.2f ms of the program per move (%.2f with the resting polls), %.2f ms of the X server\n",
            what, (p / hz - rest / 100 * s / 1000) * 1000 / n, p / hz * 1000 / n, x / hz * 1000 / n }'
}

for size in "${SIZES[@]}"; do
    measure_start "$size" 5 5
    LEFT=147 TOP=16 RIGHT=$((W - 19)) BOTTOM=$((H - 96))  # the canvas area
    CX=$(((LEFT + RIGHT) / 2)) CY=$(((TOP + BOTTOM) / 2))
    drag $((LEFT + 20)) $((TOP + 20)) $((LEFT + 120)) $((TOP + 60))  # the Pencil, chosen at start
    rest "idle with a stroke not yet saved (its recovery copy written once, 2 s after)"
    xdotool mousemove 235 $((H - 53)) sleep 0.2 click 1 sleep 0.5  # the Scissors
    drag 300 200 400 300
    rest "a 100 x 100 piece carried, the pointer resting"
    xdotool key c
    rest "idle after C let the piece go"
    drag $LEFT $TOP $((RIGHT - 1)) $((BOTTOM - 1))
    xdotool mousemove $CX $CY
    rest "the whole canvas carried, the pointer resting"
    moves "the whole canvas carried" $CX $CY $((CX - 80)) $((CX + 80)) $((CY - 80)) $((CY + 80)) 8 5
    # The Ruler, then its largest size on the monitor's six bars.
    xdotool key c sleep 0.5 mousemove 415 $((H - 58)) sleep 0.2 click 1 sleep 0.5 \
        mousemove 82 $((H - 103)) sleep 0.2 click 1 sleep 0.5 mousemove $((LEFT + 16)) $((TOP + 16)) \
        sleep 0.2 mousedown 1 sleep 0.2
    REST=0
    # Corner to corner and back in MOVES moves.
    moves "Ruler 32 rubber band" $((LEFT + 16)) $((TOP + 16)) $((LEFT + 16)) $((RIGHT - 16)) \
        $((TOP + 16)) $((BOTTOM - 16)) $(((RIGHT - LEFT - 32) * 2 / MOVES)) $(((BOTTOM - TOP - 32) * 2 / MOVES))
    xdotool mouseup 1
    e2e_alive "$PID" || e2e_fail "the program ended during the measurement"
    kill "$PID" "$E2E_XVFB_PID"
    wait "$PID" "$E2E_XVFB_PID" 2>/dev/null
    E2E_XVFB_PID=""
done
