#!/bin/bash
# Where the real program's resident memory goes, under a fresh Xvfb: once the room stands, then
# after a little painting (strokes with five tools, the palette, the text dialog, the print
# dialog, Save As, New's picture browser, each sent away with Escape) and a quiet pause. Each time it prints VmRSS and its
# parts from /proc/PID/smaps: large anonymous blocks (the pixel buffers), the rest of the
# anonymous memory (the allocator's heap and small blocks), memory shared with the X server,
# the program's own file (code and compiled-in resources), shared libraries, fonts, the rest.
#
# Usage: bench/measure_memory.sh [PICTORIA [WxH...] [-- PROGRAM ARGUMENTS...]]
#   defaults build/pictoria, 1920x1080; MEASURE_QUICK=1: 800x600, short pauses

USAGE="[PICTORIA [WxH...] [-- PROGRAM ARGUMENTS...]]"
ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$ROOT/bench/measure_lib.sh"
[ $# -gt 0 ] || set -- "$ROOT/build/pictoria"
measure_args 1920x1080 800x600 "$@"

# breakdown WHEN: one line of figures in MB.
breakdown() {
    LC_ALL=C awk -v when="$1" '
        /^[0-9a-f]+-[0-9a-f]+ / { name = $6 }
        /^Rss:/ {
            if (name ~ /SYSV/) k = "X shared"
            else if (name == "" || name ~ /^\[(heap|stack|anon)/) k = (name == "" && $2 >= 1024) ? "pixel blocks" : "heap, small"
            else if (name ~ /\/pictoria$/) k = "program"
            else if (name ~ /\.so/) k = "libraries"
            else if (name ~ /\/fonts\/|fontconfig/) k = "fonts"
            else k = "other"
            mb[k] += $2 / 1024; total += $2 / 1024
        }
        END {
            printf "%-22s %6.1f MB:", when, total
            n = split("pixel blocks;heap, small;X shared;program;libraries;fonts;other", order, ";")
            for (i = 1; i <= n; i++) printf "  %s %.1f", order[i], mb[order[i]]
            print ""
        }' "/proc/$PID/smaps"
    LC_ALL=C awk '/^(Private|Shared)_(Clean|Dirty):/ {s[substr($1, 1, 1)] += $2}
         END {printf "%-22s private %.1f MB, shared %.1f MB\n", "", s["P"] / 1024, s["S"] / 1024}' "/proc/$PID/smaps_rollup"
}

settle() { e2e_wait 10 room_only || xdotool key Escape; e2e_wait 10 room_only || e2e_fail "a dialog stayed"; }

for size in "${SIZES[@]}"; do
    measure_start "$size" 5 5 "${ARGS[@]}"
    nap 1
    breakdown "screen ${W}x$H factor $S, room on screen"
    # Pencil, Ruler, Eraser, Jar, Hammer & Chisel on the tool box's tray.
    for tool in "395 $((LH - 30))" "415 $((LH - 58))" "325 $((LH - 48))" "288 $((LH - 37))" "396 $((LH - 40))"; do
        room_click $tool
        room_stroke 300 200 $((LW - 100)) $((LH - 200))
        room_stroke $((LW - 100)) 200 300 $((LH - 200))
    done
    for spot in "510 $((LH - 30))" "72 $((LH - 39))" "24 $((LH - 175))"; do  # the paint tube, the keyboard, the printer
        room_click $spot && e2e_wait 10 eval '! room_only' || e2e_fail "nothing opened at ($spot)"
        nap 2 && xdotool key Escape && settle
    done
    xdotool key F1 sleep 0.5 key s && nap 2 && xdotool key Escape && settle           # Save As
    xdotool key F1 sleep 0.5 key n sleep 1 key alt+n && nap 4 && xdotool key Escape && settle  # New, not saved
    nap 3
    breakdown "screen ${W}x$H factor $S, after painting"
    measure_stop
done
