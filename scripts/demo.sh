#!/usr/bin/env bash
# Installs what is missing, builds KVR, generates a demo history file and shows it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
mkdir -p build/demo
build/src/tools/kvrtool make-sample build/demo/demo.FDZ
build/src/tools/kvrtool info build/demo/demo.FDZ
