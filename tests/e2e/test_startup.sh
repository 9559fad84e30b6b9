#!/bin/bash
# The real program on an 800x600 screen: its window covers the screen, a second start (from
# ":N.0", the same display) hands over to the first and ends at once with 0, the right button
# opens the menu hanging centred below the pointer, whose last item, Quit, clicked, ends the
# program with 0, and another account's sockets (as root) that never answer keep no start from
# opening. (F1 opens the same menu in test_window_rules.sh; Quit by its mnemonic ends test_session.sh.)
#
# Usage: test_startup.sh PATH_TO_PICTORIA

[ $# -eq 1 ] || { echo "usage: $0 PATH_TO_PICTORIA" >&2; exit 2; }
BINARY=$(realpath "$1")
. "$(dirname "$0")/lib.sh"

e2e_start_x 800 600
chmod 711 "$E2E_TMP" && mkdir -m 1777 "$E2E_TMP/tmp"
# The stranger's sockets: the name an earlier version listened on, and our temporary folder.
squat='mkdir $ARGV[1]; chmod 0777, $ARGV[1]; for ("\0$ARGV[0]", "$ARGV[1]/$ARGV[2]") { socket(my $s, PF_UNIX,
    SOCK_STREAM, 0) or die; bind($s, pack_sockaddr_un($_)) && listen($s, 1) && push(@held, $s) or die "$!" } sleep'
[ "$(id -u)" = 0 ] && setpriv --reuid=nobody --regid=nogroup --clear-groups true 2>/dev/null && {
    setpriv --reuid=nobody --regid=nogroup --clear-groups perl -MSocket -e "$squat" "pictoria-0-$DISPLAY" \
        "$E2E_TMP/tmp/pictoria-0" "pictoria-$DISPLAY.socket" & E2E_PIDS+=($!)
    e2e_wait 5 test -S "$E2E_TMP/tmp/pictoria-0/pictoria-$DISPLAY.socket" || e2e_fail "no stranger"; }
e2e_room first "$BINARY"

# --- A second start hands over to the first and ends ----------------------------------------
started=$(date +%s%N)
(cd "$E2E_TMP/run" && DISPLAY="$DISPLAY.0" timeout 10 "$BINARY") >"$E2E_TMP/program-second.log" 2>&1 || e2e_fail "a second start ended with $?"
elapsed_ms=$((($(date +%s%N) - started) / 1000000))
[ "$elapsed_ms" -lt 5000 ] || e2e_fail "a second start took ${elapsed_ms} ms to end"
sleep 0.5
e2e_alive "$PID" && e2e_room_only || e2e_fail "after a second start the first shows: $(e2e_windows "$PID" | tr '\n' ';')"

# --- The right button opens the menu; a click on Quit ends the program ----------------------
xdotool mousemove 400 300 sleep 0.2 click 3
e2e_menu_below 400 300
xdotool sleep 0.3 mousemove $((MX + MW / 2)) $((MY + MH - 12)) click 1
e2e_ended || e2e_fail "Quit, clicked, did not end the program with 0"
e2e_room temporary-folder env -u XDG_RUNTIME_DIR TMPDIR="$E2E_TMP/tmp" "$BINARY"
echo "PASS: test_startup"
