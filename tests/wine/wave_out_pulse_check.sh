#!/usr/bin/env bash
# tests/wine/wave_out_pulse_check.sh EXE [SECONDS]: plays the counting ramp
# through the Win32 wave-out (EXE is a build's wave_out_pulse_check.exe)
# under Wine into a private PulseAudio's null sink, records the sink's monitor
# with parec and checks that the recording holds the ramp in order with no
# frame lost. Silent gaps (this machine's stalls) are reported, not failed.
# Uses its own prefix beside the exe; ends every process it started.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
. "$root/tools/wine-common.sh"

exe=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
seconds=${2:-5}
work=$(dirname "$exe")/wave-out-pulse
rm -rf "$work/run"
mkdir -p "$work/run/runtime" "$work/run/home"
socket=$work/run/runtime/native
export WINEPREFIX=$work/prefix

cat >"$work/run/sinks.pa" <<PA
load-module module-native-protocol-unix auth-anonymous=1 socket=$socket
load-module module-null-sink sink_name=check rate=44100 channels=2 format=s16le norewinds=1 sink_properties=device.description="Check"
set-default-sink check
PA

pulse='' recorder=''
finish() {
  [ -n "$recorder" ] && { kill "$recorder" 2>/dev/null || true; wait "$recorder" 2>/dev/null || true; }
  wine_env "$WINEPREFIX" "$(pe_arch "$exe")"
  "$WINESERVER" -k >/dev/null 2>&1 || true
  [ -n "$pulse" ] && { kill "$pulse" 2>/dev/null || true; wait "$pulse" 2>/dev/null || true; }
}
trap finish EXIT

XDG_RUNTIME_DIR=$work/run/runtime HOME=$work/run/home pulseaudio -n --daemonize=no --exit-idle-time=-1 \
  --disable-shm=yes --use-pid-file=no -F "$work/run/sinks.pa" >"$work/run/pulseaudio.log" 2>&1 &
pulse=$!
export PULSE_SERVER=unix:$socket
for _ in $(seq 100); do
  [ -S "$socket" ] && pactl list short sinks 2>/dev/null | grep -q check && break
  kill -0 "$pulse" 2>/dev/null || { cat "$work/run/pulseaudio.log" >&2; exit 1; }
  sleep 0.1
done

# The prefix is made before the recording starts, so its start-up costs no audio.
[ -f "$WINEPREFIX/system.reg" ] || "$root/tools/wineprefix" "$WINEPREFIX" "$(pe_arch "$exe")" >"$work/run/prefix.log" 2>&1 </dev/null
parec -d check.monitor --format=s16le --rate=44100 --channels=2 --raw >"$work/run/recorded.raw" 2>"$work/run/parec.log" &
recorder=$!
"$root/tools/winerun" "$exe" "$seconds" >"$work/run/player.log" 2>&1 </dev/null || { cat "$work/run/player.log"; exit 1; }
cat "$work/run/player.log"
kill "$recorder"; wait "$recorder" 2>/dev/null || true; recorder=''

python3 - "$work/run/recorded.raw" "$seconds" <<'PY'
import struct, sys
data = open(sys.argv[1], 'rb').read()
expected = int(sys.argv[2]) * 44100
frames = struct.iter_unpack('<HH', data[:len(data) // 4 * 4])
found = lost = gaps = gap_frames = 0
silent_run = 0
previous = None
for left, right in frames:
    if left == 0 and right == 0 and found:
        silent_run += 1
        continue
    if right != 0xFFFF - left:
        silent_run = 0
        continue  # not a ramp frame: the stream's start or end
    if found and silent_run:
        gaps += 1
        gap_frames += silent_run
    silent_run = 0
    if previous is not None and left != (previous + 1) & 0xFFFF:
        lost += (left - previous - 1) & 0xFFFF
    if previous is None and left != 0:
        lost += left
    previous = left
    found += 1
print(f"recorded {len(data) // 4} frames; ramp frames {found} of {expected}; lost {lost}; "
      f"silent gaps inside the ramp {gaps} ({gap_frames / 44.1:.1f} ms)")
sys.exit(0 if found == expected and lost == 0 else 1)
PY
