#!/bin/bash
# Measures the real program under a fresh Xvfb at 800x600 and at 1920x1080: time from exec to the
# first frame of the room, resident memory once it has settled, processor use over 10 idle
# seconds. Above 800x600 the program first advises a smaller screen in a box; the box is
# answered with Return. Then the title screen stands: its processor use is taken over 5 s, then
# a click takes it away and the room's frame is timed from the click.
#
# Usage: bench/measure_real.sh [PICTORIA [FIRST_FRAME]]
#   defaults: build-gtk/pictoria and build-gtk/bench/first_frame beside this script's folder
#   MEASURE_RUNS=N repeats each screen size N times (a busy machine spreads the figures) and
#   ends with the median and the lowest value of each figure.

set -u
ROOT=$(cd "$(dirname "$0")/.." && pwd)
PROGRAM=$(realpath "${1:-$ROOT/build-gtk/pictoria}")
TOOL=$(realpath "${2:-$ROOT/build-gtk/bench/first_frame}")
for f in "$PROGRAM" "$TOOL"; do
    [ -x "$f" ] || { echo "missing $f (build the targets pictoria and first_frame)" >&2; exit 2; }
done
command -v Xvfb >/dev/null || { echo "Xvfb is not installed" >&2; exit 2; }

WORK=$(mktemp -d "${TMPDIR:-/tmp}/pictoria-measure.XXXXXX")
XVFB_PID=""
finish() {
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$WORK"
}
trap finish EXIT

measure() {
    local size=$1
    shift
    rm -rf "$WORK/run" "$WORK/config" "$WORK/display"
    mkdir -p "$WORK/run" "$WORK/config"
    Xvfb -displayfd 3 -screen 0 "${size}x24" -noreset -nolisten tcp -br 3>"$WORK/display" \
        >"$WORK/xvfb.log" 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 100); do
        [ -s "$WORK/display" ] && break
        sleep 0.05
    done
    [ -s "$WORK/display" ] || { echo "Xvfb did not start" >&2; cat "$WORK/xvfb.log" >&2; exit 1; }
    (
        export DISPLAY=":$(head -n 1 "$WORK/display")"
        export GSETTINGS_BACKEND=memory NO_AT_BRIDGE=1 XDG_CONFIG_HOME="$WORK/config" XDG_STATE_HOME="$WORK/state"
        unset WAYLAND_DISPLAY
        cd "$WORK/run" && "$TOOL" "$@" "$PROGRAM"
    ) | tee -a "$WORK/figures"
    kill "$XVFB_PID" 2>/dev/null
    wait "$XVFB_PID" 2>/dev/null
    XVFB_PID=""
}

# Median and lowest value of each figure in the lines of first_frame gathered in $1.
summarise() {
    sed -nE -e 's/^screen ([0-9x]+): first frame of the room on screen ([0-9.]+) ms after (.*)/\1 first frame (ms after \3)|\2/p' \
        -e 's/^screen ([0-9x]+): resident memory ([0-9.]+) MB.*/\1 resident memory (MB)|\2/p' \
        -e 's/^screen ([0-9x]+): processor use while idle ([0-9.]+) %.*/\1 processor use while idle (%)|\2/p' \
        -e 's/^screen ([0-9x]+): processor use while the title screen stands ([0-9.]+) %.*/\1 title screen standing (%)|\2/p' "$1" |
        sort -t'|' -k1,1 -k2,2g |
        awk -F'|' '
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
echo "program: $PROGRAM"
for run in $(seq "$RUNS"); do
    [ "$RUNS" -gt 1 ] && echo "run $run of $RUNS"
    measure 800x600 --title "xdotool mousemove 400 300 click 1"
    measure 1920x1080 --answer "xdotool key Return" --title "xdotool mousemove 960 540 click 1"
done
if [ "$RUNS" -gt 1 ]; then
    echo "over $RUNS runs:"
    summarise "$WORK/figures"
fi
