#!/bin/bash
# --kiosk under openbox: the window stays over the whole screen whatever the window manager's keys
# do, and neither Alt+F4 nor the remote's door ends the program before a grown-up's sum is
# answered; SIGTERM, even with the sum on screen, ends it at once with the picture kept.
BINARY=$(realpath "${1:?usage: $0 PATH_TO_PICTORIA}")
. "$(dirname "$0")/lib.sh"
command -v openbox >/dev/null || { echo "SKIP: openbox is not installed"; exit 77; }
export PICTORIA_TEST_SUMS="$E2E_TMP/sums"  # each sum the check shows (see the grown-up check)
# up SIZE AT: a window of the program of SIZE (WxH) at AT (X+Y) on the screen, within 10 s.
up() { e2e_wait 10 eval "xwininfo -root -tree | grep -F '\"Pictoria\")  $1+' | grep -qF '  +$2'"; }
# check WHY: the check shows, centred, with its first try's light lit.
check() { up 360x232 220+184 && e2e_expect "255 210 63" "$1" "254 344"; }
# answer OFFSET: types the sum shown plus OFFSET, then Enter.
answer() { xdotool type --delay 60 "$(($(tail -n 1 "$PICTORIA_TEST_SUMS" | tr ' ' +) + $1))" && xdotool key Return sleep 0.8; }

e2e_start_x 800 600
openbox --sm-disable >"$E2E_TMP/openbox.log" 2>&1 &
E2E_PIDS+=("$!")
e2e_wait 10 eval 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' || e2e_fail "openbox did not start"
e2e_room first "$BINARY" --kiosk
state=$(xprop -id "$(e2e_named Pictoria)" _NET_WM_STATE)
[[ $state == *FULLSCREEN* && $state == *ABOVE* && $state == *SKIP_TASKBAR* ]] || e2e_fail "not held: $state"
for key in super+d ctrl+alt+Right; do
    xdotool key $key sleep 1 && e2e_room_only || e2e_fail "$key took the room off the screen"
done
e2e_stroke 300 300 500 300
xdotool key alt+F4 && check "Alt+F4" || e2e_fail "Alt+F4 asked no sum"
answer 10 && answer 10 && answer 10
[ "$(wc -l <"$PICTORIA_TEST_SUMS")" = 3 ] && e2e_room_only || e2e_fail "three wrong sums did not leave the room"
e2e_click 156 560 && up 228x240 286+180 && e2e_click 346 205 && check "the door" || e2e_fail "the remote's door asked no sum"
answer 0
e2e_wait 10 eval '[ -n "$(e2e_named "Attention\.\.\.")" ]' || e2e_fail "the right sum did not ask to save"
xdotool key alt+n
e2e_ended || e2e_fail "the right sum and No did not end the program with 0"

e2e_room second "$BINARY" --kiosk
e2e_stroke 300 300 500 300
xdotool key alt+F4 && check "Alt+F4 again" && kill -TERM "$PID" && e2e_ended || e2e_fail "SIGTERM at the sum did not end with 0"
[ "$(convert "bmp:$E2E_TMP/state/pictoria/picture.bmp" -crop 1x1+253+284 -depth 8 rgb:- | od -An -tu1 | xargs)" = "255 0 0" ] ||
    e2e_fail "the recovery copy lacks the stroke"
echo "PASS: test_kiosk"
