#!/bin/bash
# With a PulseAudio server of the test's own, a click on a paint can is heard on its null sink
# within 100 ms; with the server gone, the program still starts and paints.
# Usage: test_sound_server.sh PICTORIA

[ $# -eq 1 ] || { echo "usage: $0 PATH_TO_PICTORIA" >&2; exit 2; }
BINARY=$(realpath "$1")
. "$(dirname "$0")/lib.sh"
command -v pulseaudio >/dev/null && command -v parecord >/dev/null || { echo "SKIP: no PulseAudio"; exit 77; }
REC="$E2E_TMP/monitor.raw"  # 48000 16-bit samples a second
now_ms() { echo $(($(date +%s%N) / 1000000)); }

mkdir -p "$E2E_TMP/pulse"
export XDG_RUNTIME_DIR="$E2E_TMP/pulse" PULSE_SERVER="unix:$E2E_TMP/pulse/native"
HOME="$E2E_TMP/pulse" pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
    --load="module-null-sink sink_name=speakers" \
    --load="module-native-protocol-unix socket=$E2E_TMP/pulse/native auth-anonymous=1" >"$E2E_TMP/pulse.log" 2>&1 &
PULSE=$! && E2E_PIDS+=("$PULSE")
e2e_wait 10 pactl info >/dev/null 2>&1 || e2e_fail "the sound server did not start: $(tail -n 3 "$E2E_TMP/pulse.log")"

e2e_start_x 800 600
e2e_room heard "$BINARY"
parecord --device=speakers.monitor --raw --format=s16le --rate=48000 --channels=1 --latency-msec=5 "$REC" &
RECORDER=$!
e2e_wait 10 test -s "$REC" && sleep 1 || e2e_fail "nothing recorded from the sink"
# Where the recording began on our clock: now, less the samples it holds. Its clock may run a
# few milliseconds behind ours, which only makes the delay look longer.
from=$(($(now_ms) - $(stat -c %s "$REC") / 96))
xdotool mousemove 573 520 sleep 0.5
clicked=$(now_ms)
xdotool click 1 sleep 1.5
onset=$(od -An -v -td2 -w2 "$REC" | awk -v after=$(((clicked - from - 50) * 48)) \
    'NR > after && ($1 > 300 || $1 < -300) { print NR; exit }')
delay=$((${onset:-999999} / 48 - (clicked - from)))
[ "$delay" -le 100 ] && e2e_log "the can was heard $delay ms after the click" || e2e_fail "heard after $delay ms"
kill "$PID" "$RECORDER" && wait "$PID" "$RECORDER" 2>/dev/null

# Without the server: silent, but everything else as always.
kill "$PULSE" && wait "$PULSE" 2>/dev/null
e2e_room silent "$BINARY"
e2e_stroke 300 300 500 300
xdotool mousemove 573 520 click 1 sleep 0.5
e2e_expect "255 0 0" "the stroke without a sound server" "400 300"
echo "PASS: test_sound_server"
