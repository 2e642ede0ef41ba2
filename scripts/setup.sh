#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing need,
# skipping those already present. Uses sudo when not run as root.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libsdl2-dev libsdl2-mixer-dev timgm6mb-soundfont libfreetype-dev libfontconfig-dev fonts-unifont fonts-wqy-zenhei
  libpng-dev libjpeg62-turbo-dev libgif-dev libtiff-dev
  clang libclang-rt-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  g++-mingw-w64-x86-64-win32 file dpkg-dev libpng-dev
  xvfb xdotool xclip x11-utils x11-apps imagemagick python3 libx11-dev libxtst-dev libsdl2-ttf-dev
  wine64 locales
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
