#!/bin/bash
# The real program on a 1024x768 screen: the resolution advice comes first and Return answers
# it wherever the pointer is; the window then covers the screen and cannot be moved or resized;
# Escape brings up the remote-control hint, which Return answers too; F1 opens the menu at the
# pointer and Escape closes it without a command.
#
# Usage: test_window_rules.sh PATH_TO_PICTORIA

[ $# -eq 1 ] || { echo "usage: $0 PATH_TO_PICTORIA" >&2; exit 2; }
BINARY=$(realpath "$1")
. "$(dirname "$0")/lib.sh"
[ -x "$BINARY" ] || e2e_fail "no program at $BINARY"

FULL="0 0 1024 768"
box_window() { e2e_windows "$PID" | grep -v "^$FULL\$" | head -n 1; }
box_shown() { [ -n "$(box_window)" ]; }
box_gone() { [ -z "$(box_window)" ]; }
room_window_only() { [ "$(e2e_windows "$PID")" = "$FULL" ]; }
main_window() { xdotool search --all --onlyvisible --pid "$PID" --name '^Pictoria$' | head -n 1; }

# A box in the middle of the screen, within a pixel or two.
expect_centred() {
    local x y w h
    read -r x y w h <<<"$1"
    [ $((2 * x + w - 1024)) -ge -2 ] && [ $((2 * x + w - 1024)) -le 2 ] &&
        [ $((2 * y + h - 768)) -ge -2 ] && [ $((2 * y + h - 768)) -le 2 ] ||
        e2e_fail "$2 is not centred on the screen: $1"
}

e2e_start_x 1024 768
# The pointer rests away from where the box will be: the keyboard must reach it all the same.
xdotool mousemove 5 5
e2e_start_program "$BINARY"
PID=$E2E_PID

# --- The advice comes before the window -----------------------------------------------------
e2e_wait 15 box_shown || e2e_fail "no resolution advice at 1024x768"
advice=$(box_window)
expect_centred "$advice" "the advice box"
[ "$(e2e_window_count "$PID")" -eq 1 ] || e2e_fail "the window opened before the advice was answered"
sleep 0.3
xdotool key Return
e2e_dismiss_title "$PID" || e2e_fail "no title screen after the advice"
e2e_wait 20 room_window_only || e2e_fail "after Return the program shows: $(e2e_windows "$PID" | tr '\n' ';')"
e2e_log "advice at $advice answered with Return"

# --- Nobody moves or resizes the window -----------------------------------------------------
window=$(main_window)
[ -n "$window" ] || e2e_fail "no window titled Pictoria"
xdotool windowmove "$window" 120 80
sleep 0.5
e2e_wait 5 room_window_only || e2e_fail "moved away, the window stays at $(e2e_windows "$PID" | tr '\n' ';')"
xdotool windowsize "$window" 400 300
sleep 0.5
e2e_wait 5 room_window_only || e2e_fail "resized, the window stays at $(e2e_windows "$PID" | tr '\n' ';')"

# --- Escape: the remote-control hint, answered by Return ------------------------------------
xdotool mousemove 1000 20
xdotool key Escape
e2e_wait 5 box_shown || e2e_fail "Escape shows no hint"
expect_centred "$(box_window)" "the hint box"
sleep 0.3
xdotool key Return
e2e_wait 5 box_gone || e2e_fail "Return does not answer the hint box"
e2e_alive "$PID" || e2e_fail "the program ended after the hint"

# --- F1: the menu at the pointer; Escape closes it and the program goes on -----------------
xdotool mousemove 512 200
sleep 0.2
xdotool key F1
e2e_wait 5 box_shown || e2e_fail "F1 opens no menu"
read -r mx my mw mh <<<"$(box_window)"
[ "$my" -eq 200 ] && [ $((2 * mx + mw - 1024)) -ge -2 ] && [ $((2 * mx + mw - 1024)) -le 2 ] ||
    e2e_fail "the F1 menu is at $mx,$my ${mw}x${mh}, not hanging centred below the pointer"
xdotool key Escape
e2e_wait 5 box_gone || e2e_fail "Escape does not close the menu"
sleep 0.5
e2e_alive "$PID" || e2e_fail "closing the menu ended the program"
room_window_only || e2e_fail "after the menu the program shows: $(e2e_windows "$PID" | tr '\n' ';')"

echo "PASS: test_window_rules"
