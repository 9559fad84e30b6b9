# Shared by the scripts that measure the real program: source it after setting BINARY.
. "$(dirname "${BASH_SOURCE[0]}")/../tests/e2e/lib.sh"
HZ=$(getconf CLK_TCK)

# Processor time of a process so far: utime + stime, in ticks of 1 / HZ s.
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
room_only() { [ "$(e2e_windows "$PID")" = "0 0 $W $H" ]; }
title_up() { e2e_windows "$PID" | grep -q " 448 324\$"; }
# Answers the resolution advice and clicks the title screen away until only the room is left.
answer_box() { room_only || { title_up && e2e_dismiss_title "$PID" || xdotool key Return; sleep 0.3; false; }; }

# measure_start WxH X Y: a fresh X server of that size, the pointer at (X, Y), the program
# started and its resolution advice answered; sets W, H and PID.
measure_start() {
    W=${1%x*} H=${1#*x}
    rm -f "$E2E_TMP/display"
    e2e_start_x "$W" "$H"
    xdotool mousemove "$2" "$3"
    e2e_start_program measured "$BINARY"
    e2e_wait 30 answer_box || e2e_fail "no room window of ${W}x$H"
    sleep 2
}
