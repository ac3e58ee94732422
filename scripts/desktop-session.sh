#!/usr/bin/env bash
# Runs a command inside a private headless desktop: an Xvfb screen with the openbox window
# manager, its own D-Bus session bus, a PulseAudio server whose only output is a null sink, and
# a private runtime folder. Everything it started ends with the command; its exit code is the
# command's.
#   scripts/desktop-session.sh <command> [args...]
set -euo pipefail

if [ "${QUILLBAR_DESKTOP_INNER:-}" != 1 ]; then
  export QUILLBAR_DESKTOP_INNER=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" dbus-run-session -- "$0" "$@"
fi

runtime=$(mktemp -d)
chmod 700 "$runtime"
export XDG_RUNTIME_DIR=$runtime
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  pulseaudio --kill 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$runtime"
}
trap cleanup EXIT

openbox --sm-disable >/dev/null 2>&1 &
pids+=($!)

# Sound: a null sink makes WAV and MP3 playback run to their end as on a real machine.
pulseaudio --daemonize=yes --exit-idle-time=-1 -n --disallow-exit \
  --load="module-null-sink sink_name=null" --load=module-native-protocol-unix \
  >/dev/null 2>&1 || echo "desktop-session: no PulseAudio, sound stays silent" >&2

# Wait until the window manager owns the screen, so windows are managed from the start.
for _ in $(seq 100); do
  if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then break; fi
  sleep 0.05
done

"$@"
