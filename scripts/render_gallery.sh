#!/usr/bin/env bash
# Renders the examples into docs/gallery/*.png on the headless backend (no
# display needed): each example runs, takes the input steps listed here and
# its window is saved as a picture. One line per example; the steps are
# described in tests/support/gallery/gallery_shot.cpp.
#
#   bash scripts/render_gallery.sh [BUILD_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build/release}
out=$here/docs/gallery
mkdir -p "$out"
cmake --build "$build" -j2 --target $(sed -n 's/^shot \([a-z_0-9]*\).*/shot_\1/p' "$0") >/dev/null

shot() {
    local name=$1; shift
    "$build/tests/support/gallery/shot_$name" "$out/$name.png" "$@"
    echo "docs/gallery/$name.png"
}

shot bouncing_ball wait=600
shot mouse_paint "path=40,60;60,40;90,40;110,60;110,90;90,110;60,110;40,90;40,60" click=3,0,0 "path=150,40;150,110;180,75;210,110;210,40" click=3,0,0 "path=30,200;70,150;110,200;150,150;190,200;230,150;270,200" click=3,0,0 "path=240,40;270,40;270,110;240,110"
shot rubber_band "path=30,40;120,120" "path=150,130;260,200" down=1,60,150 move=120,170,1 move=230,60,1
shot analog_clock wait=100
