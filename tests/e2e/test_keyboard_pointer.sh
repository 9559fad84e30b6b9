#!/bin/bash
# With --keyboard-pointer, keys alone once the room is up (the mouse is only read): arrow taps bring
# the pointer to the blue can, Space chooses it, and Space held with Right held paints a blue line.
BINARY=$(realpath "$1")
. "$(dirname "$0")/lib.sh"
at() { xdotool getmouselocation --shell | grep -E '^[XY]=' | cut -d= -f2 | tr '\n' ' '; }
taps() { [ "$2" -gt 1 ] && xdotool key --delay 20 $(yes "$1" | head -n $(($2 / 2))); true; }  # 2 px a tap
go() { read -r x y <<<"$(at)" && taps Right $(($1 - x)) && taps Left $((x - $1)) && taps Down $(($2 - y)) && taps Up $((y - $2)); }
e2e_start_x 800 600
e2e_room keyboard "$BINARY" --keyboard-pointer
go 573 520 && xdotool sleep 0.3 key space
e2e_expect "0 0 255" "the paint blot after Space on the blue can (the pointer at $(at))" "460 568"
go 260 200 && read -r x0 _ <<<"$(at)"
xdotool keydown space sleep 0.2 keydown Right sleep 1.2 keyup Right sleep 0.2 keyup space sleep 0.3
read -r x1 y1 <<<"$(at)"
[ $((x1 - x0)) -gt 60 ] || e2e_fail "holding Right with Space moved the pointer only from $x0 to $x1"
e2e_expect "0 0 255" "the stroke" "$((x0 + 2)) $y1" "$(((x0 + x1) / 2)) $y1" "$((x1 - 2)) $y1"
e2e_alive "$PID" || e2e_fail "the program ended during the test"
echo "PASS: test_keyboard_pointer"
