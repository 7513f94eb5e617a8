# Sourced by the scripts that run the real program under Wine against real
# audio endpoints (the end-to-end suite, the demo, the Wine benchmark): a
# private PulseAudio with three null sinks, a fresh prefix with the test
# stand-ins, the feeder's FIFO behind the device path, and bookkeeping that
# ends every process a session started, by PID.
#
# Set session_dir (a folder of the session's own) before calling anything.
session_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$session_root/tools/wine-common.sh"
session_signal=$session_root/tests/e2e/pcm_signal.py
session_started=()
session_prefix=

session_say() { echo "${session_name:-session}: $*"; }

# session_build PRESET BUILD_DIR: the program, the probe and the stand-ins.
session_build() {
  [ -f "$2/CMakeCache.txt" ] || cmake --preset "$1" -B "$2" >"$2.configure.log" 2>&1 ||
    { cat "$2.configure.log"; return 1; }
  cmake --build "$2" -j2 --target UlvexDriver_Monitor monitor_probe ulvex_enumerator_standin ulvex_policy_standin \
    >"$2.session-build.log" 2>&1 || { tail -n 40 "$2.session-build.log"; return 1; }
}

# --- processes, ended by PID ------------------------------------------------------
session_remember() {  # PID NAME
  session_started+=("$1")
  echo "$1 $2" >>"$session_dir/pids"
}

session_end_pid() {
  local pid=$1
  kill -0 "$pid" 2>/dev/null || { wait "$pid" 2>/dev/null; return 0; }
  kill "$pid" 2>/dev/null || true
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -9 "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

session_end_wine() {
  [ -n "$session_prefix" ] && [ -d "$session_prefix" ] &&
    { WINEPREFIX=$session_prefix "$wine_dir/wineserver" -k >/dev/null 2>&1 || true; }
  return 0
}

# Ends what this session started, newest first, then its wineserver.
session_end_all() {
  local i
  for ((i = ${#session_started[@]} - 1; i >= 0; i--)); do session_end_pid "${session_started[i]}"; done
  session_started=()
  session_end_wine
  rm -f "$session_dir/pids"
}

# A session that was interrupted may have left processes: end them by the
# PIDs it wrote down, where the PID still runs the same program.
session_end_leftovers() {
  [ -f "$session_dir/pids" ] || return 0
  local pid name
  while read -r pid name; do
    if [ -r "/proc/$pid/cmdline" ] && tr '\0' ' ' <"/proc/$pid/cmdline" | grep -q -- "$name"; then
      kill "$pid" 2>/dev/null || true
    fi
  done <"$session_dir/pids"
  rm -f "$session_dir/pids"
}

# --- X server (screenshots only), before any wineserver ------------------------------
session_start_xvfb() {
  local display=:$((90 + RANDOM % 100))
  Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >"$session_dir/xvfb.log" 2>&1 &
  session_remember $! Xvfb
  export DISPLAY=$display
  for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
}

# --- PulseAudio with three null sinks ------------------------------------------------
# session_pulse_options: further options of the daemon.
session_start_pulse() {
  local run=$session_dir/pulse
  rm -rf "$run"
  mkdir -p "$run/runtime" "$run/home"
  local socket=$run/runtime/native
  sink() {
    echo "load-module module-null-sink sink_name=$1 rate=44100 channels=2 format=s16le norewinds=1" \
      "sink_properties=device.description=\"$2\""
  }
  {
    echo "load-module module-native-protocol-unix auth-anonymous=1 socket=$socket"
    sink speakers Speakers
    sink headphones Headphones
    sink tallowmere 'Tallowmere\ Virtual\ Audio\ Device'
    # Wine's "PulseAudio" endpoint follows this.
    echo "set-default-sink speakers"
  } >"$run/sinks.pa"
  XDG_RUNTIME_DIR=$run/runtime HOME=$run/home pulseaudio -n --daemonize=no --exit-idle-time=-1 \
    --disable-shm=yes --use-pid-file=no ${session_pulse_options:-} -F "$run/sinks.pa" \
    >"$session_dir/pulseaudio.log" 2>&1 &
  session_pulse_pid=$!
  session_remember "$session_pulse_pid" pulseaudio
  export PULSE_SERVER=unix:$socket
  for _ in $(seq 100); do
    [ -S "$socket" ] && pactl list short sinks 2>/dev/null | grep -q tallowmere && return 0
    kill -0 "$session_pulse_pid" 2>/dev/null || break
    sleep 0.1
  done
  cat "$session_dir/pulseaudio.log" >&2
  return 1
}

# --- the prefix -------------------------------------------------------------------------
winpath() { echo "Z:$(echo "$1" | tr / '\\')"; }

session_reg() { "$WINELOADER" reg "$@" >>"$session_dir/prefix.log" 2>&1; }

# session_make_prefix PREFIX ARCH [desktop]: a fresh prefix; "desktop" gives
# Wine's virtual desktop on $DISPLAY for screenshots, else it is headless.
session_make_prefix() {
  session_prefix=$1
  "$session_root/tools/wineprefix" "$1" "$2" >"$session_dir/prefix.log" 2>&1 </dev/null || return 1
  wine_env "$1" "$2"
  # A crash ends the program instead of waiting in the debugger.
  export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winedbg.exe=d"
  if [ "${3:-}" = desktop ]; then
    session_reg delete 'HKCU\Software\Wine\Drivers' /v Graphics /f || true
    session_reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f
    session_reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x800 /f
    # Graphics and desktop settings are read when Wine's processes start: afresh.
    "$WINESERVER" -k >/dev/null 2>&1 || true
    "$WINESERVER" -w >/dev/null 2>&1 || true
    "$WINESERVER" -p >/dev/null 2>&1 </dev/null
  fi
}

session_register_class() {  # CLSID DLL
  local key="HKLM\\Software\\Classes\\CLSID\\$1\\InprocServer32"
  session_reg add "$key" /ve /d "$(winpath "$2")" /f && session_reg add "$key" /v ThreadingModel /d Both /f
}

# Wine 8 lists no endpoint to the program (GetVolumeStepInfo is E_NOTIMPL):
# the stand-in takes the enumerator's class, in this prefix only.
session_register_enumerator() { session_register_class '{BCDE0395-E52F-467C-8E3D-C4579291692E}' "$1"; }

# Wine has neither policy-config class: the stand-in logs each switch to
# ULVEX_POLICY_LOG and moves Wine's default output.
session_register_policy() {  # DLL LOG
  session_register_class '{294935CE-F637-4E7C-A41B-AB255460B862}' "$1" &&
    session_register_class '{870AF99C-171D-4F9E-AF0D-E63DF40C2BC9}' "$1"
  export ULVEX_POLICY_LOG=$2
}

# The ID of the endpoint whose name is $1, as Wine lists it.
session_endpoint_id() {  # PROBE NAME
  "$WINELOADER" "$1" endpoints 2>/dev/null | tr -d '\r' | awk -F '\t' -v name="$2" \
    '$1 ~ /^endpoint: / && $2 == name {sub(/^endpoint: /, "", $1); print $1}'
}

# Wine's default render endpoint: an endpoint ID, or "" for PulseAudio's default sink.
session_set_default_output() {
  if [ -n "$1" ]; then
    session_reg add 'HKCU\Software\Wine\Drivers\winepulse.drv' /v DefaultOutput /d "$1" /f
  else
    session_reg delete 'HKCU\Software\Wine\Drivers\winepulse.drv' /v DefaultOutput /f || true
  fi
}

session_user_dir() {
  find "$session_prefix/drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -n 1
}

# config.ini's lines, written with Windows line ends.
session_config() {
  local folder
  folder="$(session_user_dir)/AppData/Roaming/Ulvex"
  mkdir -p "$folder"
  printf '%s\r\n' "$@" >"$folder/config.ini"
}

# --- the virtual audio device ---------------------------------------------------------
# Wine opens \\.\ZNAudioSample0 through dosdevices: a FIFO the feeder writes.
session_device_fifo() {
  session_fifo=$session_dir/device.fifo
  rm -f "$session_fifo"
  mkfifo "$session_fifo"
  ln -sfn "$session_fifo" "$session_prefix/dosdevices/znaudiosample0"
}

session_device_missing() { rm -f "$session_prefix/dosdevices/znaudiosample0"; }

# --- feeding and listening --------------------------------------------------------------
session_record() {  # SOURCE OUT_DIR NAME
  python3 "$session_signal" record "$@" &
  session_remember $! pcm_signal.py
  session_recorders+=($!)
}

# Recorders end cleanly on SIGTERM and write their time stamps.
session_stop_recorders() {
  local pid
  for pid in "${session_recorders[@]}"; do session_end_pid "$pid"; done
  session_recorders=()
}
session_recorders=()

session_feed() {  # SECONDS OUT_DIR [feeder options]
  python3 "$session_signal" feed "$session_fifo" "$@" &
  session_feeder=$!
  session_remember "$session_feeder" pcm_signal.py
}

session_start_program() {  # EXE [ARGS]: starts it; its PID is in session_program
  "$WINELOADER" "$@" >>"$session_dir/program.log" 2>&1 </dev/null &
  session_program=$!
  session_remember "$session_program" "$(basename "$1")"
}

# User plus system CPU seconds a process has used so far.
session_cpu_seconds() {
  awk -v tick="$(getconf CLK_TCK)" '{ sub(/.*\) /, ""); printf "%.3f\n", ($12 + $13) / tick }' "/proc/$1/stat"
}
