#!/usr/bin/env bash
# startup_time.sh [BUILD_DIR] [RUNS]: starts KVR RUNS times on a fresh demo file, each time
# printing the milliseconds from main() to the first painted main window, then the median.
# Uses the real display when there is one, else a virtual X server, else offscreen.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${2:-11}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/src/tools/kvrtool" make-sample "$work/demo.FDZ" >/dev/null

run=("$build/src/gui/KVR")
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  if command -v xvfb-run >/dev/null; then
    run=(xvfb-run -a -s "-screen 0 1600x1000x24" "${run[@]}")
  else
    export QT_QPA_PLATFORM=offscreen
  fi
fi

times=()
for _ in $(seq "$runs"); do
  line=$(KVR_PROGRAM_FOLDER="$work" "${run[@]}" --startup-time "$work/demo.FDZ" 2>/dev/null)
  ms=$(sed -n 's/^KVR start-up: \([0-9.]*\) ms.*/\1/p' <<<"$line")
  echo "$ms ms"
  times+=("$ms")
done
printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {print "median: " a[int((NR+1)/2)] " ms over " NR " runs"}'
