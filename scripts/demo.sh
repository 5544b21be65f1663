#!/usr/bin/env bash
# Installs what is missing, builds KVR, generates a demo history file and opens KVR on it.
# Without a display the window is drawn on a virtual X server into build/demo/demo.png.
#
# demo.sh --live: starts the instrument simulator on a pseudo-terminal and KVR acquiring
# from it (one record a second); without a display build/demo/live.png shows the realtime
# window after ten seconds of acquisition.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
mkdir -p build/demo

if [ "${1:-}" = "--live" ]; then
  # A program folder of its own: its settings ask for a record every second and its live
  # buffer never meets the user's.
  export KVR_PROGRAM_FOLDER="$PWD/build/demo/live-program"
  mkdir -p "$KVR_PROGRAM_FOLDER"
  printf '[ViewSetting]\nRealtimeInterval=1\n' > "$KVR_PROGRAM_FOLDER/Config.ini"
  build/src/tools/kvr-sim --family realtime > build/demo/sim.out 2> build/demo/sim.err &
  sim=$!
  trap 'kill "$sim" 2>/dev/null || true' EXIT
  port=""
  for _ in $(seq 50); do
    port=$(head -n 1 build/demo/sim.out 2>/dev/null || true)
    [ -n "$port" ] && break
    sleep 0.1
  done
  [ -n "$port" ] || { echo "demo: kvr-sim did not start" >&2; exit 1; }
  if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    build/src/gui/KVR --realtime --port "$port"
    exit 0
  fi
  xvfb-run -a -s "-screen 0 1600x1000x24" \
    build/src/gui/KVR --screenshot build/demo/live.png --after 10 --realtime --port "$port"
  echo "demo: no display here; the realtime window after ten seconds was drawn into $PWD/build/demo/live.png"
  exit 0
fi
build/src/tools/kvrtool make-sample --force build/demo/demo.FDZ
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec build/src/gui/KVR build/demo/demo.FDZ
fi
xvfb-run -a -s "-screen 0 1600x1000x24" \
  build/src/gui/KVR --screenshot build/demo/demo.png build/demo/demo.FDZ
echo "demo: no display here; KVR showing build/demo/demo.FDZ was drawn into $PWD/build/demo/demo.png"
