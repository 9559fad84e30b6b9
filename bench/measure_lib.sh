# Shared by the scripts that measure the real program: source it, then call measure_args.
#
# Every script is called as  SCRIPT PICTORIA [WxH...] [-- PROGRAM ARGUMENTS...]  and starts the
# program with those arguments at each screen size given (e.g. `-- --scale 2`). With
# MEASURE_QUICK=1 in the environment it runs its smallest case only, with short pauses, and ends
# with a non-zero code when anything fails: the test run uses this to keep the scripts working.
#
# Positions in the room are logical (the room as drawn at factor 1, LW x LH); to_screen turns
# them into the screen's pixels at the factor S the program shows the room at.
. "$(dirname "${BASH_SOURCE[0]}")/../tests/e2e/lib.sh"
HZ=$(getconf CLK_TCK)
QUICK=${MEASURE_QUICK:-0}
[ "$QUICK" = 1 ] || QUICK=0

# measure_args "DEFAULT SIZES" QUICK_SIZE "$@": sets BINARY, SIZES (an array) and ARGS (the
# program's arguments) from the script's own arguments; USAGE is shown when they are wrong.
measure_args() {
    local defaults=$1 quick=$2 && shift 2
    [ $# -ge 1 ] && [ "$1" != -- ] || { echo "usage: $0 $USAGE" >&2; exit 2; }
    BINARY=$(realpath "$1") && shift
    [ -x "$BINARY" ] || { echo "$0: $BINARY is not a program" >&2; exit 2; }
    SIZES=()
    while [ $# -gt 0 ] && [ "$1" != -- ]; do
        [[ $1 =~ ^[0-9]+x[0-9]+$ ]] || { echo "usage: $0 $USAGE" >&2; exit 2; }
        SIZES+=("$1") && shift
    done
    [ $# -gt 0 ] && shift
    ARGS=("$@")
    [ ${#SIZES[@]} -gt 0 ] || read -ra SIZES <<<"$defaults"
    [ "$QUICK" = 1 ] && SIZES=("$quick")
    return 0
}

# nap SECONDS: a pause that lets the figures settle; a tenth of it in a quick run.
nap() { sleep "$(awk -v s="$1" -v q="$QUICK" 'BEGIN { print q ? s / 10 : s }')"; }

# Processor time of a process so far: utime + stime, in ticks of 1 / HZ s.
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
room_only() { [ "$(e2e_windows "$PID")" = "0 0 $W $H" ]; }

# to_screen X Y: the screen point in the middle of the room's logical pixel (X, Y).
to_screen() { echo "$(($1 * S + S / 2)) $(($2 * S + S / 2))"; }
room_click() { e2e_click $(to_screen "$1" "$2"); }
room_stroke() { e2e_stroke $(to_screen "$1" "$2") $(to_screen "$3" "$4"); }

# One look at the screen on the way to the room: the title screen (448 x 324 times the factor,
# wherever it stands) gives S and is clicked away; any other window before the room is the
# resolution advice, answered with Return. True once the room stands alone.
towards_room() {
    local x y w h
    if room_only; then
        [ -n "$S" ] || e2e_fail "the room came without its title screen: the factor is unknown"
        return 0
    fi
    while read -r x y w h; do
        [ "$w $h" = "$W $H" ] && continue
        if [ $((w % 448)) -eq 0 ] && [ $((w / 448 * 324)) -eq "$h" ]; then
            S=$((w / 448))
            xdotool mousemove $((x + w / 2)) $((y + h / 2)) click 1
        else
            xdotool key Return
        fi
        sleep 0.3
        return 1
    done < <(e2e_windows "$PID")
    return 1
}

# measure_start WxH X Y [PROGRAM ARGUMENTS...]: a fresh X server of that size, the pointer at the
# screen point (X, Y), BINARY started with the arguments, the advice answered if it shows and
# the title screen clicked away; sets W, H (the screen), S, LW, LH (the room's logical size), PID.
measure_start() {
    W=${1%x*} H=${1#*x} S=""
    local x=$2 y=$3 && shift 3
    rm -f "$E2E_TMP/display"
    e2e_start_x "$W" "$H"
    xdotool mousemove "$x" "$y"
    e2e_start_program measured "$BINARY" "$@"
    : "${PID:?is no longer set by e2e_start_program}"
    e2e_wait 40 towards_room || e2e_fail "no room on a ${W}x$H screen (arguments: $*)"
    LW=$((W / S)) LH=$((H / S))
    e2e_log "the room at factor $S: ${LW}x$LH logical"
    nap 2
}

# measure_stop: ends the program and its X server, ready for the next measure_start.
measure_stop() {
    e2e_alive "$PID" || e2e_fail "the program ended during the measurement"
    kill "$PID" "$E2E_XVFB_PID"
    wait "$PID" "$E2E_XVFB_PID" 2>/dev/null
    E2E_XVFB_PID=""
    rm -rf "$XDG_RUNTIME_DIR" "$XDG_STATE_HOME"  # the next start is a first one again
}
