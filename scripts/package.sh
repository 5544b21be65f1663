#!/usr/bin/env bash
# package.sh [DIR]: builds KVR (release) into DIR (default build) and makes the Debian
# package DIR/kvr_VERSION_ARCH.deb.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
scripts/build.sh "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo
(cd "$dir" && cpack -G DEB)
ls "$dir"/kvr_*.deb
