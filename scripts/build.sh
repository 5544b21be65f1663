#!/usr/bin/env bash
# build.sh DIR [cmake options...]: configures (once) and builds KVR into DIR with ccache.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1; shift
export CCACHE_BASEDIR="$PWD"
export CCACHE_MAXSIZE=${CCACHE_MAXSIZE:-8G}
export CCACHE_SLOPPINESS=include_file_mtime,include_file_ctime,time_macros
# Debug info would otherwise tie every cached object to the folder of this checkout.
export CCACHE_NOHASHDIR=1
[ -f "$dir/build.ninja" ] || cmake -S . -B "$dir" -G Ninja "$@"
cmake --build "$dir" -j "$(nproc)"
