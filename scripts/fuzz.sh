#!/usr/bin/env bash
# fuzz.sh [SECONDS_TOTAL]: builds the fuzz targets with clang in build-fuzz (ccache) and runs
# each for its share of SECONDS_TOTAL (default 60) from its seed corpus in fuzz/corpus.
# Every target runs; the script fails when any of them found a crash, a sanitizer report, a
# timeout or a memory blow-up. The input that caused it is left in build-fuzz/findings.
set -euo pipefail
cd "$(dirname "$0")/.."
total=${1:-60}
dir=build-fuzz
targets=(fuzz_datafile fuzz_rtu_reply fuzz_ascii_reply fuzz_config_record)

scripts/build.sh "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DKVR_BUILD_FUZZ=ON \
  -DKVR_BUILD_GUI=OFF -DKVR_BUILD_TESTS=OFF -DKVR_BUILD_BENCH=OFF

share=$(( total / ${#targets[@]} ))
[ "$share" -ge 1 ] || share=1
mkdir -p "$dir/findings"
failed=()
for target in "${targets[@]}"; do
  # New inputs go to a scratch corpus; the seeds in the repository stay as they are.
  work="$dir/corpus/$target"
  mkdir -p "$work"
  echo "fuzz: $target for ${share}s"
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    "$dir/fuzz/$target" -max_total_time="$share" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$dir/findings/$target-" \
      "$work" "fuzz/corpus/$target" || failed+=("$target")
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: findings in ${failed[*]} (inputs in $dir/findings)" >&2
  exit 1
fi
echo "fuzz: no findings"
