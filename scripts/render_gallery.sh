#!/usr/bin/env bash
# Renders the examples into docs/gallery/*.png on the headless backend (no
# display needed): each example runs, takes the input steps listed here and
# its window is saved as a picture. One line per example: "shot NAME STEP..."
# (the example listed in tests/support/gallery/CMakeLists.txt, the steps
# described in gallery_shot.cpp) or "own NAME PICTURE ARG..." for an example
# that saves its own picture. Examples not built yet are skipped.
#
#   bash scripts/render_gallery.sh [BUILD_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build/release}
out=$here/docs/gallery
mkdir -p "$out"
targets=$(sed -n 's/^\(shot\|own\) \([a-z_0-9]*\).*/\2/p' "$0")
for t in $targets; do
    # Examples that have not landed yet are skipped below.
    cmake --build "$build" -j2 --target "shot_$t" >/dev/null 2>&1 || cmake --build "$build" -j2 --target "$t" >/dev/null 2>&1 || true
done

# shot NAME STEP...: the example run by its picture-taking program.
shot() {
    local name=$1; shift
    local prog="$build/tests/support/gallery/shot_$name"
    [ -x "$prog" ] || { echo "skipped $name (not built)"; return 0; }
    "$prog" "$out/$name.png" "$@"
    echo "docs/gallery/$name.png"
}
# own NAME PICTURE ARG...: an example that saves its own picture, as
# docs/gallery/PICTURE.png, when given ARG... FILE.
own() {
    local name=$1 picture=$2; shift 2
    local prog="$build/examples/$name"
    [ -x "$prog" ] || { echo "skipped $name (not built)"; return 0; }
    "$prog" "$@" "$out/$picture.png"
    echo "docs/gallery/$picture.png"
}

shot bouncing_ball wait=600
shot mouse_paint "path=40,60;60,40;90,40;110,60;110,90;90,110;60,110;40,90;40,60" click=3,0,0 "path=150,40;150,110;180,75;210,110;210,40" click=3,0,0 "path=30,200;70,150;110,200;150,150;190,200;230,150;270,200" click=3,0,0 "path=240,40;270,40;270,110;240,110"
shot rubber_band "path=30,40;120,120" "path=150,130;260,200" down=1,60,150 move=120,170,1 move=230,60,1
shot analog_clock wait=100
own shapes_gallery shapes --png
