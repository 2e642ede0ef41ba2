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
  # The web build (scripts/web.sh) and its browser test: Emscripten, the
  # libraries' own sources (apt-get source, through the deb-src entry below)
  # and Chromium, driven by puppeteer-core from npm.
  emscripten dpkg-dev chromium nodejs
)

# apt-get source needs a deb-src entry for the suite the machine runs.
ensure_deb_src() {
  if grep -rqs '^Types:.*deb-src\|^deb-src ' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    return 1
  fi
  local suite
  suite=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
  $sudo tee /etc/apt/sources.list.d/debian-src.sources >/dev/null <<SRC
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: $suite $suite-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
}

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
# Node.js may come with its own npm (not Debian's package of it).
command -v npm >/dev/null || missing+=(npm)
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
if ensure_deb_src; then
  $sudo apt-get update -qq
fi
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
