#!/usr/bin/env bash
# collect_load.sh [BUILD_DIR] [SECONDS] [BUSES] [PER_BUS]: kvrtool collect with BUSES x PER_BUS
# simulated instruments (default 8 x 4) at one record a second for SECONDS (default 120).
# Prints the collector's CPU seconds per instrument-hour and the largest delay of a record
# tick past its due time, from its status file.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
seconds=${2:-120}
buses=${3:-8}
perBus=${4:-4}
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

config="$work/collect.ini"
printf '[collect]\ndir = %s/data\n' "$work" >"$config"
for b in $(seq "$buses"); do
  addresses=$(seq -s, "$perBus")
  "$build/src/tools/kvr-sim" --family realtime --bus "$addresses" --seed "$b" \
    --link "$work/bus$b" >/dev/null 2>&1 &
  pids+=($!)
  for a in $(seq "$perBus"); do
    printf '[instrument b%da%d]\nport = %s/bus%d\naddress = %d\nbaud = 57600\n' \
      "$b" "$a" "$work" "$b" "$a" >>"$config"
  done
done
for b in $(seq "$buses"); do
  for _ in $(seq 50); do [ -e "$work/bus$b" ] && break; sleep 0.1; done
done

"$build/src/tools/kvrtool" collect --config "$config" --delay-scale 0 2>"$work/log" &
collector=$!
pids+=("$collector")
sleep "$seconds"
# utime and stime, in clock ticks, before the collector is asked to end.
read -r utime stime < <(awk '{print $14, $15}' "/proc/$collector/stat")
kill -TERM "$collector"
wait "$collector" || true
ticks=$(getconf CLK_TCK)
instruments=$((buses * perBus))
awk -v u="$utime" -v s="$stime" -v t="$ticks" -v n="$instruments" -v d="$seconds" 'BEGIN {
  cpu = (u + s) / t
  printf "instruments: %d, %d s, collector CPU %.2f s (user %.2f s, system %.2f s)\n", n, d, cpu,
    u / t, s / t
  printf "CPU per instrument-hour: %.3f s\n", cpu / (n * d / 3600)
}'
grep -o '"max_tick_delay_ms": [0-9]*' "$work/data/status.json" | awk '{if ($2 > m) m = $2}
  END {print "largest record tick delay: " m " ms"}'
# The last status is written after every file was saved: records_today is what each stored.
grep -o '"records_today": [0-9]*' "$work/data/status.json" | awk '$2 > 0 {n++; r += $2}
  END {print "instruments that stored records: " n ", records: " r}'
