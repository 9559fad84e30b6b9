#!/bin/bash
# Measures the real program under a fresh Xvfb at each screen size: the time from the click on
# the title screen to the first frame of the room, resident memory once it has settled,
# processor use while the title screen stands (5 s) and over 10 idle seconds. bench/first_frame
# starts the program, answers the resolution advice with Return when it shows, and clicks the
# title screen away, at whatever factor the program draws.
#
# Usage: bench/measure_real.sh [PICTORIA [WxH...] [-- PROGRAM ARGUMENTS...]]
#   defaults: build/pictoria beside this script's folder, 800x600 and 1920x1080; first_frame is
#   taken from the program's build folder (bench/first_frame) unless FIRST_FRAME names it.
#   MEASURE_RUNS=N repeats each screen size N times (a busy machine spreads the figures) and
#   ends with the median and the lowest value of each figure.
#   MEASURE_QUICK=1: 800x600 once, with 1 s pauses.

USAGE="[PICTORIA [WxH...] [-- PROGRAM ARGUMENTS...]]"
ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$ROOT/bench/measure_lib.sh"
[ $# -gt 0 ] || set -- "$ROOT/build/pictoria"
measure_args "800x600 1920x1080" 800x600 "$@"
TOOL=${FIRST_FRAME:-$(dirname "$BINARY")/bench/first_frame}
[ -x "$TOOL" ] || { echo "missing $TOOL (build the target first_frame)" >&2; exit 2; }
FLAGS=() && [ "$QUICK" = 1 ] && FLAGS=(--quick)

measure() {
    rm -f "$E2E_TMP/display"
    e2e_start_x "${1%x*}" "${1#*x}" >/dev/null
    (cd "$E2E_TMP/run" && exec "$TOOL" "${FLAGS[@]}" "$BINARY" "${ARGS[@]}") 2>&1 | tee -a "$E2E_TMP/figures"
    [ "${PIPESTATUS[0]}" -eq 0 ] || e2e_fail "first_frame failed on a $1 screen"
    kill "$E2E_XVFB_PID" && wait "$E2E_XVFB_PID" 2>/dev/null
    E2E_XVFB_PID=""
    rm -rf "$XDG_RUNTIME_DIR" "$XDG_STATE_HOME"
}

# Median and lowest value of each figure in the lines of first_frame gathered in $1, read and
# written with a point for the decimals whatever language the program is measured in.
summarise() {
    sed -nE -e 's/^screen ([^:]+): first frame of the room on screen ([0-9.]+) ms after (.*)/\1 first frame (ms after \3)|\2/p' \
        -e 's/^screen ([^:]+): resident memory ([0-9.]+) MB.*/\1 resident memory (MB)|\2/p' \
        -e 's/^screen ([^:]+): processor use while idle ([0-9.]+) %.*/\1 processor use while idle (%)|\2/p' \
        -e 's/^screen ([^:]+): processor use while the title screen stands ([0-9.]+) %.*/\1 title screen standing (%)|\2/p' "$1" |
        LC_ALL=C sort -t'|' -k1,1 -k2,2g |
        LC_ALL=C awk -F'|' '
            function flush() {
                if (n == 0) return
                median = n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
                printf "  %-44s median %8.2f  lowest %8.2f  (%d runs)\n", key, median, v[1], n
            }
            $1 != key { flush(); key = $1; n = 0 }
            { v[++n] = $2 }
            END { flush() }'
}

RUNS=${MEASURE_RUNS:-1}
[ "$QUICK" = 1 ] && RUNS=1
echo "program: $BINARY ${ARGS[*]}"
for run in $(seq "$RUNS"); do
    [ "$RUNS" -gt 1 ] && echo "run $run of $RUNS"
    for size in "${SIZES[@]}"; do measure "$size"; done
done
if [ "$RUNS" -gt 1 ]; then
    echo "over $RUNS runs:"
    summarise "$E2E_TMP/figures"
fi
