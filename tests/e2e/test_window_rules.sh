#!/bin/bash
# The real program on a 1024x768 screen: the resolution advice comes first, centred, and Return
# answers it wherever the pointer is; the window then covers the screen and cannot be moved or
# resized; Escape brings up the remote-control hint, centred, which Return answers too; F1 opens
# the menu hanging centred below the pointer and Escape closes it without a command.
#
# Usage: test_window_rules.sh PATH_TO_PICTORIA

[ $# -eq 1 ] || { echo "usage: $0 PATH_TO_PICTORIA" >&2; exit 2; }
BINARY=$(realpath "$1")
. "$(dirname "$0")/lib.sh"

# centred WHAT: a box other than the room appears in the middle of the screen, within a pixel or two.
centred() {
    local x y w h
    e2e_wait 15 eval '[ -n "$(e2e_other)" ]' || e2e_fail "no $1"
    read -r x y w h <<<"$(e2e_other)"
    [ $((2 * x + w - 1024)) -ge -2 ] && [ $((2 * x + w - 1024)) -le 2 ] && [ $((2 * y + h - 768)) -ge -2 ] &&
        [ $((2 * y + h - 768)) -le 2 ] || e2e_fail "the $1 is not centred on the screen: $x,$y ${w}x$h"
}
gone() { e2e_wait 5 eval '[ -z "$(e2e_other)" ]' || e2e_fail "$1"; }
shows() { e2e_windows "$PID" | tr '\n' ';'; }

e2e_start_x 1024 768
xdotool mousemove 5 5  # away from where the boxes will be: the keyboard must reach them all the same
e2e_start_program rules "$BINARY"
centred "resolution advice"
[ "$(e2e_window_count "$PID")" -eq 1 ] || e2e_fail "the window opened before the advice was answered"
xdotool sleep 0.3 key Return
e2e_dismiss_title && e2e_wait 20 e2e_room_only || e2e_fail "after Return the program shows: $(shows)"

# --- Nobody moves or resizes the window -----------------------------------------------------
window=$(e2e_named Pictoria)
for change in "windowmove $window 120 80" "windowsize $window 400 300"; do
    xdotool $change && sleep 0.5 && e2e_wait 5 e2e_room_only || e2e_fail "after $change the window is at $(shows)"
done

# --- Escape: the remote-control hint, answered by Return; F1: the menu, closed by Escape ----
xdotool mousemove 1000 20 key Escape
centred "remote-control hint"
xdotool sleep 0.3 key Return
gone "Return does not answer the hint box"
xdotool mousemove 512 200 sleep 0.2 key F1
e2e_menu_below 512 200
xdotool key Escape
gone "Escape does not close the menu"
sleep 0.5
e2e_alive "$PID" && e2e_room_only || e2e_fail "after the menu the program shows: $(shows)"
echo "PASS: test_window_rules"
