#!/usr/bin/env bash
# Installs the Debian packages Velmora needs to build, test and run, when any
# is missing. Uses sudo when not run as root.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libgl-dev libegl-dev libglu1-mesa-dev libgl1-mesa-dri libegl-mesa0 libglx-mesa0
  libx11-dev libxext-dev
  libfreetype-dev libfontconfig-dev fonts-dejavu-core
  libpixman-1-dev libpng-dev
  libgtest-dev libbenchmark-dev
  xvfb xdotool x11-apps xauth
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "setup: run as root to install: ${missing[*]}" >&2; exit 1; }
  sudo="sudo"
fi
echo "setup: installing ${missing[*]}" >&2
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
