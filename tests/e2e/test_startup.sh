#!/bin/bash
# The real program on an 800x600 screen: its window covers the screen and shows the room, a
# second start leaves the first alone, and the popup menu's Quit ends the program with 0
# (chosen once by its mnemonic key, once by a click).
#
# Usage: test_startup.sh PATH_TO_PICTORIA

[ $# -eq 1 ] || { echo "usage: $0 PATH_TO_PICTORIA" >&2; exit 2; }
BINARY=$(realpath "$1")
. "$(dirname "$0")/lib.sh"
[ -x "$BINARY" ] || e2e_fail "no program at $BINARY"

SHOT="$E2E_TMP/screen.ppm"
SAMPLES=("1 1" "798 1" "1 598" "798 598" "400 300")

# Only the room's window is left (a title screen, if any, has gone) and it covers the screen.
room_window_only() { [ "$(e2e_windows "$PID")" = "0 0 800 600" ]; }

room_drawn() {
    e2e_screenshot "$SHOT" || return 1
    local at
    for at in "${SAMPLES[@]}"; do
        # shellcheck disable=SC2086  # "x y" splits into two arguments on purpose
        [ "$(e2e_pixel "$SHOT" $at)" != "0 0 0" ] || return 1
    done
}

menu_window() { e2e_windows "$PID" | grep -v '^0 0 800 600$' | head -n 1; }
menu_open() { [ -n "$(menu_window)" ]; }
ended() { ! e2e_alive "$PID"; }

start_room() {
    e2e_start_program "$BINARY" "$1"
    PID=$E2E_PID
    e2e_dismiss_title "$PID" || e2e_fail "$1 start: no title screen"
    e2e_wait 20 room_window_only ||
        e2e_fail "$1 start: expected one window at 0,0 800x600, found: $(e2e_windows "$PID" | tr '\n' ';')"
    e2e_wait 5 room_drawn || e2e_fail "$1 start: the screen stays black at a corner or the centre"
}

expect_clean_exit() {
    e2e_wait 10 ended || e2e_fail "$1: the program is still running 10 s after Quit"
    wait "$PID"
    local code=$?
    [ "$code" -eq 0 ] || e2e_fail "$1: the program ended with exit code $code"
}

# --- The room covers the screen -------------------------------------------------------------
e2e_start_x 800 600
start_room first
e2e_log "room colour at the centre: $(e2e_pixel "$SHOT" 400 300)"

# --- A second start hands over to the first and ends ----------------------------------------
started=$(date +%s%N)
(cd "$E2E_TMP/run" && timeout 10 "$BINARY") >"$E2E_TMP/program-second.log" 2>&1
code=$?
elapsed_ms=$((($(date +%s%N) - started) / 1000000))
[ "$code" -eq 0 ] || e2e_fail "second start ended with exit code $code"
[ "$elapsed_ms" -lt 5000 ] || e2e_fail "second start took ${elapsed_ms} ms to end"
e2e_log "second start ended with 0 after ${elapsed_ms} ms"
sleep 0.5
e2e_alive "$PID" || e2e_fail "the first program ended when the second started"
room_window_only || e2e_fail "after a second start the first shows: $(e2e_windows "$PID" | tr '\n' ';')"

# --- Right click opens the menu; its mnemonic "q" quits -------------------------------------
xdotool mousemove 400 300
sleep 0.2
# The area just below the pointer: the white canvas before, the menu's first items after.
below() { convert "$1" -crop 120x40+340+302 +repage -format %# info: 2>/dev/null; }
e2e_screenshot "$SHOT"
before=$(below "$SHOT")
xdotool click 3
e2e_wait 5 menu_open || e2e_fail "no popup menu appeared after a right click"
sleep 0.3
e2e_screenshot "$SHOT"
[ "$(below "$SHOT")" != "$before" ] || e2e_fail "the menu is not drawn below the pointer"
read -r mx my mw mh <<<"$(menu_window)"
e2e_log "menu at $mx,$my ${mw}x${mh}"
[ "$my" -eq 300 ] || e2e_fail "the menu's top is at y=$my, not at the pointer (300)"
[ $((mx + mw / 2 - 400)) -ge -1 ] && [ $((mx + mw / 2 - 400)) -le 1 ] ||
    e2e_fail "the menu is not centred on the pointer: x=$mx width=$mw"
xdotool key q
expect_clean_exit "Quit by its mnemonic"

# --- Clicking Quit, the menu's last item, ends the program too -----------------------------
start_room third
xdotool mousemove 300 200 click 3
e2e_wait 5 menu_open || e2e_fail "no popup menu appeared after the third start's right click"
read -r mx my mw mh <<<"$(menu_window)"
sleep 0.3
xdotool mousemove $((mx + mw / 2)) $((my + mh - 12)) click 1
expect_clean_exit "Quit by a click"

echo "PASS: test_startup"
