#!/bin/bash
# Where the real program's resident memory goes, under a fresh Xvfb: once the room stands, then
# after a little painting (strokes with five tools, the palette, the text dialog, the print
# dialog, Save As, New's picture browser, each sent away with Escape) and a quiet pause. Each time it prints VmRSS and its
# parts from /proc/PID/smaps: large anonymous blocks (the pixel buffers), the rest of the
# anonymous memory (the allocator's heap and small blocks), memory shared with the X server,
# the program's own file (code and compiled-in resources), shared libraries, fonts, the rest.
#
# Usage: bench/measure_memory.sh [PICTORIA [WIDTHxHEIGHT [PROGRAM ARGUMENTS...]]]
#   (defaults build/pictoria, 1920x1080; with --scale N the room's points are taken times N)

set -u
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BINARY=$(realpath "${1:-$ROOT/build/pictoria}")
SIZE=${2:-1920x1080}
W=${SIZE%x*} H=${SIZE#*x}
ARGS=("${@:3}") S=1
for ((i = 0; i + 1 < ${#ARGS[@]}; i++)); do [ "${ARGS[i]}" = --scale ] && S=${ARGS[i + 1]}; done
spot() { echo $(($1 * S)) $((H - $2 * S)); }  # the room's (X, its bottom edge - UP) on the screen
. "$ROOT/tests/e2e/lib.sh"

# breakdown WHEN: one line of figures in MB.
breakdown() {
    awk -v when="$1" '
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
    awk '/^(Private|Shared)_(Clean|Dirty):/ {s[substr($1, 1, 1)] += $2}
         END {printf "%-22s private %.1f MB, shared %.1f MB\n", "", s["P"] / 1024, s["S"] / 1024}' "/proc/$PID/smaps_rollup"
}

e2e_start_x "$W" "$H"
(cd "$E2E_TMP/run" && exec "$BINARY" "${ARGS[@]}") >"$E2E_TMP/program.log" 2>&1 &
PID=$! && E2E_PIDS+=("$PID")
[ $((W * H / S / S)) -gt 480000 ] && e2e_wait 15 eval '[ -n "$(e2e_named "Attention!")" ]' && xdotool sleep 0.3 key Return
e2e_dismiss_title "$PID" && e2e_wait 20 e2e_room_only || e2e_fail "no room"
sleep 3
breakdown "room on screen"

# Pencil, Ruler, Eraser, Jar, Hammer & Chisel on the tool box's tray.
for tool in "$(spot 395 30)" "$(spot 415 58)" "$(spot 325 48)" "$(spot 288 37)" "$(spot 396 40)"; do
    xdotool mousemove $tool sleep 0.2 click 1 sleep 0.2
    e2e_stroke 300 200 $((W - 100)) $((H - 200))
    e2e_stroke $((W - 100)) 200 300 $((H - 200))
done
settle() { e2e_wait 10 e2e_room_only || xdotool key Escape; e2e_wait 10 e2e_room_only || e2e_fail "a dialog stayed"; }
for place in "$(spot 510 30)" "$(spot 72 39)" "$(spot 24 175)"; do  # the paint tube, the keyboard, the printer
    xdotool mousemove $place sleep 0.2 click 1 sleep 2 key Escape && settle
done
xdotool key F1 sleep 0.5 key s sleep 2 key Escape && settle                        # Save As
xdotool key F1 sleep 0.5 key n sleep 1 key alt+n sleep 4 key Escape && settle  # New, not saved
sleep 3
breakdown "after painting"
