#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and `make run` need.
# Only what is missing is installed; nothing is downloaded from elsewhere.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config
  libjpeg-dev libspng-dev libpng-dev libtiff-dev libtiff-tools libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6svg6 libgl-dev libx11-dev
  xvfb xauth xdotool openbox x11-utils
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update
"${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
