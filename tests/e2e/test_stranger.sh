#!/bin/bash
# Another account on the same machine cannot keep the program from starting: it holds the name
# an earlier version listened on and a folder of ours in the temporary folder, each with a socket
# that never answers; the program still opens its room, with and without a runtime folder, and a
# second start on the same display (":N.0" is ":N") still hands over at once.
# Usage: test_stranger.sh PATH_TO_PICTORIA

[ $# -eq 1 ] || { echo "usage: $0 PATH_TO_PICTORIA" >&2; exit 2; }
BINARY=$(realpath "$1")
. "$(dirname "$0")/lib.sh"
STRANGER=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
[ "$(id -u)" = 0 ] && "${STRANGER[@]}" true 2>/dev/null || { echo "SKIP: cannot act as another user"; exit 77; }

e2e_start_x 800 600
chmod 711 "$E2E_TMP" && mkdir -m 1777 "$E2E_TMP/tmp"
"${STRANGER[@]}" perl -MSocket -e '$| = 1;
    socket(A, PF_UNIX, SOCK_STREAM, 0) && bind(A, pack_sockaddr_un("\0$ARGV[0]")) && listen(A, 1) or die "$!";
    mkdir $ARGV[1]; chmod 0777, $ARGV[1];
    socket(F, PF_UNIX, SOCK_STREAM, 0) && bind(F, pack_sockaddr_un($ARGV[1] . $ARGV[2])) && listen(F, 1) or die "$!";
    print "ready\n"; sleep' "pictoria-$(id -u)-$DISPLAY" "$E2E_TMP/tmp/pictoria-$(id -u)" "/pictoria-$DISPLAY.socket" \
    >"$E2E_TMP/stranger.log" 2>&1 &
E2E_PIDS+=($!)
e2e_wait 5 grep -qs ready "$E2E_TMP/stranger.log" || e2e_fail "the stranger could not squat: $(cat "$E2E_TMP/stranger.log")"

e2e_room runtime-folder "$BINARY"
(cd "$E2E_TMP/run" && DISPLAY="$DISPLAY.0" timeout 5 "$BINARY") >"$E2E_TMP/program-second.log" 2>&1 ||
    e2e_fail "a second start on $DISPLAY.0 ended with $? instead of handing over"
sleep 0.5 && e2e_room_only || e2e_fail "after a second start the first shows: $(e2e_windows "$PID" | tr '\n' ';')"
kill "$PID" && wait "$PID" 2>/dev/null

e2e_room temporary-folder env -u XDG_RUNTIME_DIR TMPDIR="$E2E_TMP/tmp" "$BINARY"
echo "PASS: test_stranger"
