#!/bin/bash
# The real program under Xvfb playing the four clearing transitions of New, in turn, at each
# screen size given. For each: the time from choosing New until the picture browser opens (the
# transition's frames are paced to 30 ms, the top wipe to 15 ms, so this is about the frames'
# count times their time when every frame keeps its pace), and the processor time the program
# and the X server used meanwhile, as a share of that time: a share under 50 % means a frame,
# its present included, takes less than half its frame time on average.
# Processor time is utime + stime from /proc/PID/stat, in ticks of 10 ms.
#
# The first New of a run plays the wipe; the fifth plays it again.
#
# Usage: bench/measure_transitions.sh PICTORIA [WxH...] [-- PROGRAM ARGUMENTS...]
#   default sizes 1920x1080 3840x2160; MEASURE_QUICK=1: 800x600, the first wipe only

USAGE="PICTORIA [WxH...] [-- PROGRAM ARGUMENTS...]"
. "$(dirname "$0")/measure_lib.sh"
measure_args "1920x1080 3840x2160" 800x600 "$@"
NAMES=(wipe melt shrink slide wipe)
ROUNDS=4 && [ "$QUICK" = 1 ] && ROUNDS=0
browser_open() { [ "$(e2e_window_count "$PID")" -ge 2 ]; }

for size in "${SIZES[@]}"; do
    measure_start "$size" 400 300 "${ARGS[@]}"
    # The first round also loads what the menu and the browser need the first time: it is
    # shown, but the second wipe is the one to read.
    for round in $(seq 0 "$ROUNDS"); do
        xdotool key F1 sleep 0.5
        p0=$(ticks "$PID") x0=$(ticks "$E2E_XVFB_PID") start=$(date +%s%N)
        xdotool key n
        e2e_wait 20 browser_open || e2e_fail "no picture browser after New"
        ms=$((($(date +%s%N) - start) / 1000000))
        awk -v p=$(($(ticks "$PID") - p0)) -v x=$(($(ticks "$E2E_XVFB_PID") - x0)) -v hz="$HZ" -v ms="$ms" \
            -v what="screen ${W}x$H factor $S: ${NAMES[$round]}$([ "$round" -eq 0 ] && echo " (first)")" 'BEGIN {
            printf "%s: %d ms until the browser, program %.0f ms (%.0f %%), X server %.0f ms (%.0f %%)\n",
                what, ms, p / hz * 1000, p / hz * 100000 / ms, x / hz * 1000, x / hz * 100000 / ms }'
        xdotool key Escape
        e2e_wait 10 room_only || e2e_fail "the browser did not close"
        sleep 0.5
    done
    measure_stop
done
