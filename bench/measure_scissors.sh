#!/bin/bash
# The real program under Xvfb, at each screen given, with the pointer moving as a child moves it:
#  - processor use over 10 s with the pointer still: after a Pencil stroke not yet saved, while
#    a 100 x 100 piece is carried (the main loop then polls every 10 ms), idle after C has let
#    it go, and while the largest piece (the whole canvas) is carried;
#  - processor time per pointer move, against a tenth of a 60 Hz frame (1.67 ms) for what follows
#    the pointer at a child's pace: a 300-pixel Ruler band (size 32), a 300 x 300 piece carried
#    by the Scissors, the text tool's preview at size 80, a Brush drag; and against 8 ms for the
#    largest: the Ruler band from corner to corner of the canvas and back, the whole canvas
#    carried. MOVES (100) moves come MOVE_MS apart so that each is drawn on its own (default 50,
#    100 on screens larger than 1920x1080); a carried piece's resting polls are taken off. The X server's
#    time per move (it draws the presented rectangles) is shown beside it.
# Points are the room's own (logical) coordinates times the scale factor. At the end it prints
# the ratios the present path is held to: the 300 x 300 carry at 3840x2160 factor 4 at most 3x its
# cost at 800x600, at 1920x1080 factor 1 at most 1.3x.
# Processor time is the sum over the process's threads of /proc/PID/task/*/schedstat (ns).
# MEASURE_QUICK=1 runs the smallest case only (800x600, factor 1, a few moves) in seconds and
# exits non-zero when anything fails: tests run it so that the script cannot break unnoticed.
#
# Usage: bench/measure_scissors.sh PICTORIA [SCREEN...] [-- PROGRAM ARGUMENTS...]
#   SCREEN is WxH (the program chooses its factor) or WxH@S (it is given --scale S); default:
#   800x600@1 1920x1080@1 1920x1080@2 3840x2160@1 3840x2160@4.

[ $# -ge 1 ] || { echo "usage: $0 PICTORIA [WxH[@S]...] [-- ARGUMENTS...]" >&2; exit 2; }
BINARY=$(realpath "$1")
shift
SCREENS=() ARGS=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do SCREENS+=("$1") && shift; done
[ "$1" = "--" ] && shift && ARGS=("$@")
[ ${#SCREENS[@]} -gt 0 ] || SCREENS=(800x600@1 1920x1080@1 1920x1080@2 3840x2160@1 3840x2160@4)
REST_S=10
if [ "${MEASURE_QUICK:-0}" = 1 ]; then
    SCREENS=(800x600@1) MOVES=${MOVES:-6} REST_S=0
fi
. "$(dirname "$0")/measure_lib.sh"
MOVES=${MOVES:-100}
declare -A CARRY  # the 300 x 300 carry's ms per move, by screen

# Processor time of a process so far, all its threads, in ns.
cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { printf "%.0f", s }'; }
alive() { e2e_alive "$PID" || e2e_fail "screen $SCREEN: the program ended ($1)"; }
rooms() { e2e_wait 10 room_only || e2e_fail "screen $SCREEN: something stayed over the room after $1"; }
# The room's own point (X, Y) on the screen.
at() { echo $(($1 * S)) $(($2 * S)); }
point() { xdotool mousemove $(at "$1" "$2") sleep 0.2; }
click() { xdotool mousemove $(at "$1" "$2") sleep 0.2 click 1 sleep 0.5; }
drag() {  # drag X0 Y0 X1 Y1: press, one move, release
    xdotool mousemove $(at "$1" "$2") sleep 0.2 mousedown 1 sleep 0.2 mousemove $(at "$3" "$4") sleep 0.3 mouseup 1 sleep 0.5
}

# start SCREEN: the test library's start, given --scale S where SCREEN says @S.
start() {
    local given=()
    [[ $1 == *@* ]] && given=(--scale "${1#*@}")
    measure_start "${1%@*}" 5 5 "${given[@]}" "${ARGS[@]}"
}

# rest WHAT: the program's processor use over REST_S s with the pointer still; sets REST (%).
rest() {
    local before
    REST=0 && [ "$REST_S" -gt 0 ] || return 0
    sleep 1
    before=$(cpu_ns "$PID")
    sleep "$REST_S"
    REST=$(awk -v t=$(($(cpu_ns "$PID") - before)) -v s="$REST_S" 'BEGIN { printf "%.2f", t / 1e7 / s }')
    echo "screen $SCREEN: $1: processor use over $REST_S s $REST %"
}

# moves WHAT TARGET X Y XLOW XHIGH YLOW YHIGH DX DY: MOVES moves from the room's (X, Y) in steps
# of (DX, DY), bouncing inside the box, with the button as it is; the program's time per move
# is held to TARGET ms. Sets MS.
moves() {
    local x=$3 y=$4 dx=${9} dy=${10} chain=() p0 x0 start
    for _ in $(seq "$MOVES"); do
        { [ $((x + dx)) -gt "$6" ] || [ $((x + dx)) -lt "$5" ]; } && dx=$((-dx))
        { [ $((y + dy)) -gt "$8" ] || [ $((y + dy)) -lt "$7" ]; } && dy=$((-dy))
        x=$((x + dx)) y=$((y + dy))
        chain+=(mousemove $(at $x $y) sleep "$PAUSE")
    done
    p0=$(cpu_ns "$PID") x0=$(cpu_ns "$E2E_XVFB_PID") start=$(date +%s%N)
    xdotool "${chain[@]}"
    MS=$(awk -v p=$(($(cpu_ns "$PID") - p0)) -v n="$MOVES" -v rest="$REST" -v s=$((($(date +%s%N) - start) / 1000000)) \
        'BEGIN { printf "%.2f", (p / 1e6 - rest / 100 * s) / n }')
    awk -v p=$(($(cpu_ns "$PID") - p0)) -v x=$(($(cpu_ns "$E2E_XVFB_PID") - x0)) -v n="$MOVES" -v ms="$MS" \
        -v target="$2" -v what="screen $SCREEN: $1" 'BEGIN {
        printf "%s: %.2f ms of the program per move (%.2f with the resting polls; %s %s ms), %.2f ms of the X server\n",
            what, ms, p / 1e6 / n, ms <= target ? "within" : "OVER", target, x / 1e6 / n }'
    alive "$1"
}

for SCREEN in "${SCREENS[@]}"; do
    start "$SCREEN"
    PAUSE=$(awk -v m="${MOVE_MS:-$((W * H > 1920 * 1080 ? 100 : 50))}" 'BEGIN { print m / 1000 }')
    L=147 T=16 R=$((W / S - 19)) B=$((H / S - 96)) Y0=$((H / S))  # the canvas area; the bottom edge
    CX=$(((L + R) / 2)) CY=$(((T + B) / 2))
    drag $((L + 20)) $((T + 20)) $((L + 120)) $((T + 60))  # the Pencil, chosen at start
    rest "idle with a stroke not yet saved (its recovery copy written once, 2 s after)"
    click 235 $((Y0 - 53))  # the Scissors
    drag 300 200 400 300
    rest "a 100 x 100 piece carried, the pointer resting"
    xdotool key c
    rest "idle after C let the piece go"
    drag $L $T $((R - 1)) $((B - 1))
    point $CX $CY
    rest "the whole canvas carried, the pointer resting"
    moves "the whole canvas carried" 8 $CX $CY $((CX - 80)) $((CX + 80)) $((CY - 80)) $((CY + 80)) 8 5
    xdotool key c sleep 0.5
    # A 300 x 300 piece near the canvas's top-left corner, carried around its place.
    drag $((L + 50)) $((T + 50)) $((L + 350)) $((T + 350))
    point $((L + 200)) $((T + 200))
    rest "a 300 x 300 piece carried, the pointer resting"
    moves "a 300 x 300 piece carried" 1.67 $((L + 200)) $((T + 200)) $((L + 120)) $((L + 280)) $((T + 120)) $((T + 280)) 8 5
    CARRY[$SCREEN]=$MS
    xdotool key c sleep 0.5
    # The Ruler, then its largest size on the monitor's six bars.
    click 415 $((Y0 - 58))
    click 82 $((Y0 - 103))
    point $((L + 16)) $((T + 16)) && xdotool mousedown 1 sleep 0.2
    REST=0
    # Corner to corner and back in MOVES moves.
    moves "Ruler 32 rubber band" 8 $((L + 16)) $((T + 16)) $((L + 16)) $((R - 16)) $((T + 16)) $((B - 16)) \
        $(((R - L - 32) * 2 / MOVES)) $(((B - T - 32) * 2 / MOVES))
    xdotool mouseup 1 sleep 0.5
    # A band about 300 long: its far end wanders around a point 212 across and 212 down.
    point $((L + 20)) $((T + 20)) && xdotool mousedown 1 sleep 0.2
    moves "Ruler 32 band of 300" 1.67 $((L + 232)) $((T + 232)) $((L + 192)) $((L + 272)) $((T + 192)) $((T + 272)) 8 5
    xdotool mouseup 1 sleep 0.5
    # The text tool at size 80 (the fifth size on its dialog), its preview following the pointer;
    # let go below the canvas, it draws nothing.
    click 72 $((Y0 - 39))
    e2e_wait 10 eval '[ -n "$(e2e_other)" ]' || e2e_fail "screen $SCREEN: no text dialog"
    read -r dx dy _ < <(e2e_other)
    xdotool mousemove $((dx + 397 * S)) $((dy + 253 * S)) sleep 0.2 click 1 sleep 0.3 \
        mousemove $((dx + 393 * S)) $((dy + 307 * S)) sleep 0.2 click 1 sleep 0.5
    rooms "the text dialog"
    point $CX $CY
    moves "text preview at size 80" 1.67 $CX $CY $((CX - 80)) $((CX + 80)) $((CY - 80)) $((CY + 80)) 8 5
    click 370 $((Y0 - 20))
    # The Brush at its size: a drag around the canvas's middle.
    click 370 $((Y0 - 41))
    point $CX $CY && xdotool mousedown 1 sleep 0.2
    moves "Brush drag" 1.67 $CX $CY $((CX - 80)) $((CX + 80)) $((CY - 80)) $((CY + 80)) 8 5
    xdotool mouseup 1 sleep 0.5
    rooms "the Brush"
    alive "the end"
    [ -n "${SHOT_AT_END:-}" ] && import -window root "$SHOT_AT_END"
    measure_stop
done

ratio() {  # ratio SCREEN LIMIT: the 300 x 300 carry on SCREEN against 800x600
    [ -n "${CARRY[$1]:-}" ] && [ -n "${CARRY[800x600@1]:-}" ] || return 0
    awk -v a="${CARRY[$1]}" -v b="${CARRY[800x600@1]}" -v limit="$2" -v what="$1" 'BEGIN {
        r = b > 0 ? a / b : 0
        printf "the 300 x 300 carry at %s costs %.2fx its cost at 800x600 (%s %sx)\n", what, r, r <= limit ? "within" : "OVER", limit }'
}
ratio 3840x2160@4 3
ratio 1920x1080@1 1.3
exit 0
