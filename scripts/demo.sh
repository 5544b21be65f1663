#!/usr/bin/env bash
# Installs what is missing, builds KVR, generates a demo history file and opens KVR on it.
# Without a display the window is drawn on a virtual X server into build/demo/demo.png.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
mkdir -p build/demo
build/src/tools/kvrtool make-sample build/demo/demo.FDZ
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec build/src/gui/KVR build/demo/demo.FDZ
fi
xvfb-run -a -s "-screen 0 1600x1000x24" \
  build/src/gui/KVR --screenshot build/demo/demo.png build/demo/demo.FDZ
echo "demo: no display here; KVR showing build/demo/demo.FDZ was drawn into $PWD/build/demo/demo.png"
