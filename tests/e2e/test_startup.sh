#!/bin/bash
# The real program on an 800x600 screen: its window covers the screen, a second start hands over
# to the first and ends at once with 0, and the right button opens the menu hanging centred below
# the pointer, whose last item, Quit, clicked, ends the program with 0. (F1 opens the same menu in
# test_window_rules.sh; Quit by its mnemonic ends test_session.sh.)
#
# Usage: test_startup.sh PATH_TO_PICTORIA

[ $# -eq 1 ] || { echo "usage: $0 PATH_TO_PICTORIA" >&2; exit 2; }
BINARY=$(realpath "$1")
. "$(dirname "$0")/lib.sh"

e2e_start_x 800 600
e2e_room first "$BINARY"

# --- A second start hands over to the first and ends ----------------------------------------
started=$(date +%s%N)
(cd "$E2E_TMP/run" && timeout 10 "$BINARY") >"$E2E_TMP/program-second.log" 2>&1 || e2e_fail "a second start ended with $?"
elapsed_ms=$((($(date +%s%N) - started) / 1000000))
[ "$elapsed_ms" -lt 5000 ] || e2e_fail "a second start took ${elapsed_ms} ms to end"
sleep 0.5
e2e_alive "$PID" && e2e_room_only || e2e_fail "after a second start the first shows: $(e2e_windows "$PID" | tr '\n' ';')"

# --- The right button opens the menu; a click on Quit ends the program ----------------------
xdotool mousemove 400 300 sleep 0.2 click 3
e2e_menu_below 400 300
xdotool sleep 0.3 mousemove $((MX + MW / 2)) $((MY + MH - 12)) click 1
e2e_ended || e2e_fail "Quit, clicked, did not end the program with 0"
echo "PASS: test_startup"
