# Shared by the end-to-end tests: a private X server, the program under test in a scratch
# folder, and small helpers to drive it and look at the screen. Source it, then call e2e_start_x.
#
# A test exits 0 when it passes, 1 when it fails, and 77 (skipped) only when no X server can be
# started on this machine.

set -u

E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/pictoria-e2e.XXXXXX")
E2E_XVFB_PID=""
E2E_PIDS=()
SHOT="$E2E_TMP/screen.ppm"

e2e_log() { echo "# $*"; }

e2e_fail() {
    echo "FAIL: $*" >&2
    for log in "$E2E_TMP"/program*.log; do
        [ -s "$log" ] && { echo "--- $(basename "$log")" >&2; tail -n 20 "$log" >&2; }
    done
    exit 1
}

e2e_cleanup() {
    local pid
    for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null; done
    [ -n "$E2E_XVFB_PID" ] && kill "$E2E_XVFB_PID" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT

# e2e_start_x WIDTH HEIGHT: a fresh Xvfb with a black root on a free display; sets DISPLAY and
# the environment that keeps GTK quiet and away from the user's own settings.
e2e_start_x() {
    local width=$1 height=$2
    command -v Xvfb >/dev/null || { echo "SKIP: Xvfb is not installed"; exit 77; }
    command -v xdotool >/dev/null || e2e_fail "xdotool is not installed"
    command -v import >/dev/null || e2e_fail "ImageMagick's import is not installed"
    # -displayfd lets the server pick a free display number and tell us which.
    Xvfb -displayfd 3 -screen 0 "${width}x${height}x24" -noreset -nolisten tcp -br \
        3>"$E2E_TMP/display" >"$E2E_TMP/xvfb.log" 2>&1 &
    E2E_XVFB_PID=$!
    E2E_SCREEN="0 0 $width $height" E2E_WIDTH=$width E2E_HEADER=$((${#width} + ${#height} + 9))
    e2e_wait 5 eval '[ -s "$E2E_TMP/display" ] || ! e2e_alive "$E2E_XVFB_PID"'
    [ -s "$E2E_TMP/display" ] || { echo "SKIP: Xvfb could not be started"; cat "$E2E_TMP/xvfb.log"; exit 77; }
    export DISPLAY=":$(head -n 1 "$E2E_TMP/display")"
    e2e_wait 5 eval 'xdotool getdisplaygeometry >/dev/null 2>&1' || { echo "SKIP: the X server does not answer"; exit 77; }
    unset WAYLAND_DISPLAY
    # A runtime folder of the test's own, as a session gives one, for the single-instance socket;
    # a state folder of its own for the recovery copy.
    export GSETTINGS_BACKEND=memory NO_AT_BRIDGE=1 XDG_CONFIG_HOME="$E2E_TMP/config" \
        XDG_RUNTIME_DIR="$E2E_TMP/runtime" XDG_STATE_HOME="$E2E_TMP/state"
    mkdir -p "$E2E_TMP/config" "$E2E_TMP/run" && mkdir -p -m 700 "$XDG_RUNTIME_DIR"
    e2e_log "Xvfb on $DISPLAY at ${width}x${height}"
}

# e2e_start_program NAME COMMAND...: runs COMMAND (the program) in the scratch folder; sets PID.
e2e_start_program() {
    local name=$1 && shift
    (cd "$E2E_TMP/run" && exec "$@") >>"$E2E_TMP/program-$name.log" 2>&1 &
    PID=$! && E2E_PIDS+=("$PID")
}

# e2e_dismiss_title: waits up to 15 s for PID's title screen (448 x 324, or 2, 3 or 4 times that on a
# screen scaled that much) and clicks it away.
e2e_dismiss_title() {
    local x y w h
    e2e_wait 15 eval 'read -r x y w h < <(e2e_windows "$PID" | grep -E " (448 324|896 648|1344 972|1792 1296)$")' || return 1
    xdotool mousemove $((x + w / 2)) $((y + h / 2)) click 1
}

# e2e_room NAME COMMAND...: starts the program (COMMAND) in the scratch folder, clicks its title
# screen away and waits for the room alone on the screen; sets PID.
e2e_room() {
    e2e_start_program "$@"
    e2e_dismiss_title && e2e_wait 20 e2e_room_only && sleep 1 || e2e_fail "no room ($1)"
}
e2e_room_only() { [ "$(e2e_windows "$PID")" = "$E2E_SCREEN" ]; }
# e2e_other: the first window of PID on screen other than the room: a box, a menu or a dialog.
e2e_other() { e2e_windows "$PID" | grep -v "^$E2E_SCREEN\$" | head -n 1; }
# e2e_named NAME: the window of PID that is on screen with exactly this title.
e2e_named() { xdotool search --all --onlyvisible --pid "$PID" --name "^$1\$" 2>/dev/null | head -n 1; }
# e2e_click X Y: a click with the left button; e2e_stroke X1 Y1 X2 Y2: a drag with it.
e2e_click() { xdotool mousemove "$1" "$2" sleep 0.3 click 1 sleep 0.2; }
e2e_stroke() { xdotool mousemove "$1" "$2" sleep 0.2 mousedown 1 sleep 0.1 mousemove "$3" "$4" sleep 0.2 mouseup 1 sleep 0.3; }
# e2e_ended: PID ends within 10 s, with exit code 0.
e2e_ended() { e2e_wait 10 eval '! e2e_alive "$PID"' && wait "$PID"; }

# e2e_menu_below X Y: a menu opens hanging from (X, Y), centred on it; sets MX MY MW MH.
e2e_menu_below() {
    e2e_wait 5 eval '[ -n "$(e2e_other)" ]' || e2e_fail "no menu"
    read -r MX MY MW MH <<<"$(e2e_other)"
    [ "$MY" -eq "$2" ] && [ $((2 * MX + MW - 2 * $1)) -ge -2 ] && [ $((2 * MX + MW - 2 * $1)) -le 2 ] ||
        e2e_fail "the menu is at $MX,$MY ${MW}x$MH, not hanging centred below $1,$2"
}

# e2e_wait SECONDS COMMAND...: polls COMMAND every 0.1 s until it succeeds; false on timeout.
e2e_wait() {
    local deadline=$((SECONDS + $1)) && shift
    while ! "$@"; do [ "$SECONDS" -ge "$deadline" ] && return 1; sleep 0.1; done
}

e2e_alive() { kill -0 "$1" 2>/dev/null; }

# e2e_windows PID: "x y width height" of each window of the process that is on screen (GTK
# also maps tiny helper windows off screen; they do not count).
e2e_windows() {
    local id X Y WIDTH HEIGHT
    for id in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null); do
        X=0 Y=0 WIDTH=0 HEIGHT=0
        eval "$(xdotool getwindowgeometry --shell "$id" 2>/dev/null | grep -E '^(X|Y|WIDTH|HEIGHT)=')"
        [ "$WIDTH" -gt 1 ] && [ "$HEIGHT" -gt 1 ] && [ $((X + WIDTH)) -gt 0 ] && [ $((Y + HEIGHT)) -gt 0 ] &&
            echo "$X $Y $WIDTH $HEIGHT"
    done
}

e2e_window_count() { e2e_windows "$1" | wc -l; }

# e2e_screenshot: the whole screen as a binary PPM in SHOT.
e2e_screenshot() { import -window root -depth 8 "ppm:$SHOT" 2>/dev/null; }

# e2e_pixel FILE X Y: "r g b" of one pixel of a screenshot: a PPM of the whole screen, whose
# header is "P6", the size and "255", each on a line of its own.
e2e_pixel() { echo $(od -An -tu1 -j $((E2E_HEADER + ($3 * E2E_WIDTH + $2) * 3)) -N 3 "$1"); }

# e2e_expect COLOUR WHAT "X Y"...: within 8 s a screenshot shows COLOUR at every point; else the
# test fails, naming the first point that is wrong.
e2e_shows() {
    local colour=$1 at && shift
    e2e_screenshot || return 1
    for at in "$@"; do [ "$(e2e_pixel "$SHOT" $at)" = "$colour" ] || return 1; done
}
e2e_expect() {
    local colour=$1 what=$2 at && shift 2
    e2e_wait 8 e2e_shows "$colour" "$@" && return
    for at in "$@"; do
        [ "$(e2e_pixel "$SHOT" $at)" = "$colour" ] || e2e_fail "$what: ($at) is ($(e2e_pixel "$SHOT" $at)), not ($colour)"
    done
}
