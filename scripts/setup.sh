#!/usr/bin/env bash
# Installs the Debian 12 packages KVR needs to build, test and run; skips what is present.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config git
  libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev libcli11-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n
  libxlsxwriter-dev
  fonts-wqy-microhei fonts-liberation
  xvfb xauth unzip
  poppler-utils
  mosquitto mosquitto-clients libmosquitto-dev socat
  clang libclang-rt-14-dev clang-format
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "setup: need root or sudo to install: ${missing[*]}" >&2; exit 1; }
  as_root=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
echo "setup: installing ${missing[*]}"
"${as_root[@]}" apt-get install -y --no-install-recommends "${missing[@]}" ||
  { "${as_root[@]}" apt-get update && "${as_root[@]}" apt-get install -y --no-install-recommends "${missing[@]}"; }
