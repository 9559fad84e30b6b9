#!/bin/bash
# With --keyboard-pointer, key presses alone (the mouse is only read, never moved, once the room
# is up): held arrows bring the pointer to the blue can, Space chooses it, and Space held while
# Right is held paints a blue line found in the screenshot.
#
# Usage: test_keyboard_pointer.sh PATH_TO_PICTORIA
[ $# -eq 1 ] || { echo "usage: $0 PATH_TO_PICTORIA" >&2; exit 2; }
BINARY=$(realpath "$1")
. "$(dirname "$0")/lib.sh"

at() { xdotool getmouselocation --shell | grep -E '^[XY]=' | cut -d= -f2 | tr '\n' ' '; }
# go X Y: each axis held while far (the pointer speeds up), then tapped (2 pixels a tap) until within a pixel.
go() {
    local axis gap x y key was=
    for axis in 0 1; do
        while read -r x y <<<"$(at)" && gap=$((axis ? $2 - y : $1 - x)) && [ "${gap#-}" -gt 1 ]; do
            [ "$x $y" != "$was" ] || e2e_fail "the keys do not move the pointer from $x $y towards $1 $2"
            was="$x $y"
            key=$([ "$axis" = 0 ] && { [ "$gap" -gt 0 ] && echo Right || echo Left; } || { [ "$gap" -gt 0 ] && echo Down || echo Up; })
            if [ "${gap#-}" -gt 80 ]; then xdotool keydown "$key" sleep 0.4 keyup "$key"; else xdotool key --delay 30 "$key"; fi
        done
    done
}

e2e_start_x 800 600
e2e_room keyboard "$BINARY" --keyboard-pointer
e2e_expect "255 0 0" "the paint blot at start" "460 568"
go 573 520 && xdotool key space sleep 0.3
e2e_expect "0 0 255" "the paint blot after Space on the blue can" "460 568"
go 260 200 && read -r x0 _ <<<"$(at)"
xdotool keydown space sleep 0.2 keydown Right sleep 1.2 keyup Right sleep 0.2 keyup space sleep 0.3
read -r x1 y1 <<<"$(at)"
[ $((x1 - x0)) -gt 60 ] || e2e_fail "holding Right with Space moved the pointer only from $x0 to $x1"
e2e_expect "0 0 255" "the stroke painted with Space held" "$((x0 + 2)) $y1" "$(((x0 + x1) / 2)) $y1" "$((x1 - 2)) $y1"
e2e_expect "255 255 255" "below the stroke" "$(((x0 + x1) / 2)) $((y1 + 20))"
e2e_alive "$PID" || e2e_fail "the program ended during the test"
echo "PASS: test_keyboard_pointer"
