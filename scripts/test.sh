#!/usr/bin/env bash
# test.sh [--full]: installs what is missing, checks the formatting, builds KVR optimised and runs
# every test, with warnings as errors. --full (what CI runs) adds an address and undefined-behaviour sanitizer build of the
# whole suite, a thread-sanitizer pass over the code that shares data between threads, and a
# minute of fuzzing.
set -euo pipefail
cd "$(dirname "$0")/.."
full=0
case "${1:-}" in
  --full) full=1 ;;
  "") ;;
  *) echo "usage: scripts/test.sh [--full]" >&2; exit 1 ;;
esac

scripts/setup.sh
scripts/format.sh --check

scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKVR_WERROR=ON
ctest --test-dir build --output-on-failure -j "$(nproc)"
[ "$full" -eq 1 ] || exit 0

scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DKVR_SANITIZE=ON -DKVR_BUILD_BENCH=OFF -DKVR_WERROR=ON
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j "$(nproc)"

scripts/build.sh build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKVR_SANITIZE=thread \
  -DKVR_BUILD_GUI=OFF -DKVR_BUILD_BENCH=OFF -DKVR_WERROR=ON
TSAN_OPTIONS=halt_on_error=1 \
  ctest --test-dir build-tsan --output-on-failure -j "$(nproc)" -R '^(datafile|acquisition|acquisition_soak|kvrtool_collect)$'

scripts/fuzz.sh 60
