#!/bin/bash
# Sound through the desktop's audio server: a PulseAudio server of the test's own with a null
# sink; a click on a paint can is heard on the sink's monitor within 100 ms of the click. With
# the server gone, the program still starts, paints, and quits. Skipped (77) where PulseAudio
# is not installed.
# Usage: test_sound_server.sh PICTORIA

[ $# -eq 1 ] || { echo "usage: $0 PATH_TO_PICTORIA" >&2; exit 2; }
BINARY=$(realpath "$1")
. "$(dirname "$0")/lib.sh"
command -v pulseaudio >/dev/null && command -v parecord >/dev/null || { echo "SKIP: no PulseAudio"; exit 77; }
RATE=48000 REC="$E2E_TMP/monitor.raw" SHOT="$E2E_TMP/screen.ppm"
room_only() { [ "$(e2e_windows "$PID")" = "0 0 800 600" ]; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }
start() {
    e2e_start_program "$BINARY" "$1"
    PID=$E2E_PID
    e2e_dismiss_title "$PID" && e2e_wait 20 room_only && sleep 1 || e2e_fail "no room ($1)"
}

mkdir -p "$E2E_TMP/pulse"
export XDG_RUNTIME_DIR="$E2E_TMP/pulse" PULSE_SERVER="unix:$E2E_TMP/pulse/native"
HOME="$E2E_TMP/pulse" pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
    --load="module-null-sink sink_name=speakers" \
    --load="module-native-protocol-unix socket=$E2E_TMP/pulse/native auth-anonymous=1" \
    >"$E2E_TMP/pulse.log" 2>&1 &
PULSE=$!
E2E_PIDS+=("$PULSE")
e2e_wait 10 pactl info >/dev/null 2>&1 || e2e_fail "the sound server did not start: $(tail -n 3 "$E2E_TMP/pulse.log")"

e2e_start_x 800 600
start heard
parecord --device=speakers.monitor --raw --format=s16le --rate=$RATE --channels=1 --latency-msec=5 "$REC" &
RECORDER=$!
E2E_PIDS+=("$RECORDER")
e2e_wait 10 test -s "$REC" || e2e_fail "nothing recorded from the sink"
sleep 1
# Where the recording began on our clock: now, less the samples it holds.
recorded_from=$(($(now_ms) - $(stat -c %s "$REC") * 1000 / (2 * RATE)))
sleep 0.5
xdotool mousemove 573 520
clicked=$(now_ms)
xdotool click 1
sleep 1.5
kill "$RECORDER"
wait "$RECORDER" 2>/dev/null
# The first sample of the sound after the click (the recording's clock may run a few
# milliseconds behind, which only makes the delay look longer).
onset=$(od -An -v -td2 -w2 "$REC" | awk -v from=$(((clicked - recorded_from - 50) * RATE / 1000)) \
    '(NR > from) && ($1 > 300 || $1 < -300) { print NR; exit }')
[ -n "$onset" ] || e2e_fail "the click on a can was not heard on the sink"
delay=$((onset * 1000 / RATE - (clicked - recorded_from)))
e2e_log "the can's sound reached the sink $delay ms after the click"
[ "$delay" -le 100 ] || e2e_fail "the sound came $delay ms after the click"
xdotool key F1 sleep 0.8 key q
e2e_wait 10 eval '! e2e_alive "$PID"' || e2e_fail "the program did not quit"

# Without the server: silent, but everything else as always.
kill "$PULSE"
wait "$PULSE" 2>/dev/null
start silent
xdotool mousemove 300 300 sleep 0.2 mousedown 1 sleep 0.1 mousemove 500 300 sleep 0.2 mouseup 1 sleep 0.5
xdotool mousemove 573 520 click 1 sleep 0.5
e2e_screenshot "$SHOT"
[ "$(e2e_pixel "$SHOT" 400 300)" = "255 0 0" ] || e2e_fail "without a sound server the stroke is missing"
xdotool key F1 sleep 0.8 key q
e2e_wait 10 eval '[ -n "$(xdotool search --all --onlyvisible --pid "$PID" --name "^Attention\.\.\.$")" ]' ||
    e2e_fail "without a sound server Quit asked nothing"
echo "PASS: test_sound_server"
