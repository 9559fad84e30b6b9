# The room on screen, for the end-to-end tests that paint: screenshots read pixel by pixel, the
# program started until this copy is the one that runs, clicks and strokes. Source it after
# lib.sh, with W and H set to the screen's size and SHOT to a screenshot path.

room_window_only() { [ "$(e2e_windows "$PID")" = "0 0 $W $H" ]; }

# colour_at X Y: the pixel of the last screenshot (a PPM of the whole W x H screen).
colour_at() {
    local header
    header=$(head -n 3 "$SHOT" | wc -c)
    od -An -tu1 -j $((header + ($2 * W + $1) * 3)) -N 3 "$SHOT" | xargs
}

# shot_shows COLOUR "X Y"...: a fresh screenshot has COLOUR at every point.
shot_shows() {
    local colour=$1 at
    shift
    e2e_screenshot "$SHOT" || return 1
    for at in "$@"; do
        # shellcheck disable=SC2086  # "x y" splits into two arguments on purpose
        [ "$(colour_at $at)" = "$colour" ] || return 1
    done
}

# expect COLOUR WHAT "X Y"...: retries the screenshot for a while, then names the first point
# that is wrong.
expect() {
    local colour=$1 what=$2 at
    shift 2
    e2e_wait 8 shot_shows "$colour" "$@" && return 0
    local seen
    for at in "$@"; do
        # shellcheck disable=SC2086
        seen=$(colour_at $at)
        [ "$seen" = "$colour" ] || e2e_fail "$what: ($at) is ($seen), expected ($colour)"
    done
}

window_shown_or_ended() { xdotool search --onlyvisible --pid "$PID" >/dev/null 2>&1 || ! e2e_alive "$PID"; }

# Only one copy of the program runs per user: a start while another copy runs (another test on
# this machine) hands over to it and ends at once with 0. Start again until ours stays.
start_room() {
    local deadline=$((SECONDS + 200)) code
    while :; do
        e2e_start_program "$BINARY"
        PID=$E2E_PID
        e2e_wait 30 window_shown_or_ended || e2e_fail "no window of the program appeared within 30 s"
        e2e_alive "$PID" && return 0
        wait "$PID"
        code=$?
        [ "$code" -eq 0 ] || e2e_fail "the program ended with exit code $code before showing a window"
        [ "$SECONDS" -lt "$deadline" ] || e2e_fail "another copy of the program kept running for 200 s"
        e2e_log "another copy of the program is running for this user; starting again shortly"
        sleep 2
    done
}

click() {
    xdotool mousemove "$1" "$2"
    sleep 0.15
    xdotool click 1
    sleep 0.2
}

# stroke X0 Y0 DX DY STEPS: presses at (X0, Y0), moves STEPS times by (DX, DY), releases.
stroke() {
    local x=$1 y=$2 dx=$3 dy=$4 steps=$5 i
    xdotool mousemove "$x" "$y"
    sleep 0.15
    xdotool mousedown 1
    sleep 0.15
    for i in $(seq "$steps"); do
        xdotool mousemove $((x + i * dx)) $((y + i * dy))
        sleep 0.06
    done
    sleep 0.1
    xdotool mouseup 1
    sleep 0.2
}

# line_points X0 Y0 DX DY COUNT: COUNT points "x y" from (X0, Y0) in steps of (DX, DY).
line_points() {
    local i
    for i in $(seq 0 $(($5 - 1))); do echo "$(($1 + i * $3)) $(($2 + i * $4))"; done
}


# drag_through X0 Y0 X1 Y1...: presses at the first point, moves to each next one, releases.
drag_through() {
    xdotool mousemove "$1" "$2"
    sleep 0.15
    xdotool mousedown 1
    shift 2
    while [ $# -ge 2 ]; do
        sleep 0.1
        xdotool mousemove "$1" "$2"
        shift 2
    done
    sleep 0.15
    xdotool mouseup 1
    sleep 0.2
}
