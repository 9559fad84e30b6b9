#!/bin/bash
# --kiosk under openbox: the room stays over the screen whatever the window manager's keys do; Alt+F4
# and the remote's door end it only after a grown-up's sum; the help page shows over it until the
# room is clicked; SIGTERM, even with the sum on screen, ends it at once with the picture kept.
BINARY=$(realpath "${1:?usage: $0 PATH_TO_PICTORIA}")
. "$(dirname "$0")/lib.sh"
command -v openbox >/dev/null || { echo "SKIP: openbox is not installed"; exit 77; }
export PICTORIA_TEST_SUMS="$E2E_TMP/sums"  # each sum the check shows (see the grown-up check)
# up WxH: a window of the program of that size shows within 10 s; sets X Y where openbox put it.
up() { e2e_wait 10 eval "read -r X Y < <(xwininfo -root -tree | grep -F '\"Pictoria\")  $1+' | awk '{print \$NF}' | tr + ' ')"; }
# check WHY: the check shows with its first try's light lit.
check() { up 360x232 && e2e_expect "255 210 63" "$1" "$((X + 34)) $((Y + 160))"; }
# answer OFFSET: types the sum shown plus OFFSET, then Enter.
answer() { xdotool type --delay 60 "$(($(tail -n 1 "$PICTORIA_TEST_SUMS" | tr ' ' +) + $1))" && xdotool key Return sleep 0.8; }
# on_top NAME: the window named NAME is the topmost of all.
on_top() { [ "$(xprop -root _NET_CLIENT_LIST_STACKING | awk '{print $NF}')" = "$(printf 0x%x "$(xdotool search --onlyvisible --name "^$1\$")")" ]; }
e2e_start_x 800 600
export XDG_DATA_HOME="$E2E_TMP/data" && mkdir -p "$E2E_TMP/data/applications"  # a browser that shows the page's path
printf '[Desktop Entry]\nType=Application\nName=Page\nExec=xmessage -name page %%u\n' >"$XDG_DATA_HOME/applications/page.desktop"
printf '[Default Applications]\ntext/html=page.desktop\n' >"$XDG_CONFIG_HOME/mimeapps.list"
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
xdotool key F1 sleep 0.8 key h && check "Help" && answer 0 && e2e_wait 10 on_top page || e2e_fail "the help page is not over the room"
e2e_click 600 300 && e2e_wait 5 eval 'on_top Pictoria && xprop -id "$(e2e_named Pictoria)" _NET_WM_STATE | grep -q ABOVE' || e2e_fail "a click did not bring the room back over the help page"
e2e_click 156 560 && up 228x240 && e2e_click $((X + 60)) $((Y + 25)) && check "the door" || e2e_fail "the remote's door asked no sum"
answer 0 && e2e_wait 10 eval '[ -n "$(e2e_named "Attention\.\.\.")" ]' || e2e_fail "the right sum did not ask to save"
xdotool key alt+n && e2e_ended || e2e_fail "the right sum and No did not end the program with 0"
e2e_room second "$BINARY" --kiosk
e2e_stroke 300 300 500 300
xdotool key alt+F4 && check "Alt+F4 again" && kill -TERM "$PID" && e2e_ended || e2e_fail "SIGTERM at the sum did not end with 0"
[ "$(convert "bmp:$E2E_TMP/state/pictoria/picture.bmp" -crop 1x1+253+284 -depth 8 rgb:- | od -An -tu1 | xargs)" = "255 0 0" ] ||
    e2e_fail "the recovery copy lacks the stroke"
echo "PASS: test_kiosk"
