#!/usr/bin/env bash
# Redraws the pictures under docs/gallery/ with the example programs
# themselves, on the headless backend (no display needed):
#   docs/gallery/shapes.png   examples/shapes_gallery.cpp
# Usage: scripts/render_gallery.sh [BUILD_DIR]   (default build/release)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build/release}
if [ ! -d "$build" ]; then
  bash "$here/scripts/build.sh" release
  build=$here/build/release
fi
cmake --build "$build" -j2 --target shapes_gallery >/dev/null
mkdir -p "$here/docs/gallery"
"$build/examples/shapes_gallery" --png "$here/docs/gallery/shapes.png"
echo "wrote docs/gallery/shapes.png"
