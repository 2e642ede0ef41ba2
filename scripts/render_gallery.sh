#!/usr/bin/env bash
# Renders every picture of docs/gallery/ on the headless backend (no display
# needed). One line per picture below:
#   shot NAME STEP...       the example run by its picture-taking program
#                           (tests/support/gallery: it plays the steps, which
#                           gallery_shot.cpp describes, and saves the window)
#   own NAME PICTURE ARG... an example that saves its own picture when given
#                           ARG... FILE
#   dialogs                 the input box, drawn by tests/support/pictures
# Programs not built yet are built first; ones that cannot be are skipped.
#
#   bash scripts/render_gallery.sh [BUILD_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build/release}" && pwd)
out=$here/docs/gallery
mkdir -p "$out"
targets=$(sed -n 's/^\(shot\|own\) \([a-z_0-9]*\).*/\2/p' "$0")
for t in $targets; do
    cmake --build "$build" -j2 --target "shot_$t" >/dev/null 2>&1 || cmake --build "$build" -j2 --target "$t" >/dev/null 2>&1 || true
done
cmake --build "$build" -j2 --target render_input_box >/dev/null 2>&1 || true

shot() {
    local name=$1; shift
    local prog="$build/tests/support/gallery/shot_$name"
    [ -x "$prog" ] || { echo "skipped $name (not built)"; return 0; }
    # In examples/, where their files are (assets/...); SDL's dummy audio
    # driver stands in for a sound device (nothing is heard).
    (cd "$here/examples" && SDL_AUDIODRIVER=dummy "$prog" "$out/$name.png" "$@")
    echo "docs/gallery/$name.png"
}
own() {
    local name=$1 picture=$2; shift 2
    local prog="$build/examples/$name"
    [ -x "$prog" ] || { echo "skipped $name (not built)"; return 0; }
    "$prog" "$@" "$out/$picture.png"
    echo "docs/gallery/$picture.png"
}
dialogs() {
    local prog="$build/tests/render_input_box"
    [ -x "$prog" ] || { echo "skipped the input box (not built)"; return 0; }
    "$prog" "$out"
    echo "docs/gallery/input_box.png docs/gallery/input_box_multiline.png"
}

shot bouncing_ball wait=600
shot mouse_paint "path=40,60;60,40;90,40;110,60;110,90;90,110;60,110;40,90;40,60" click=3,0,0 "path=150,40;150,110;180,75;210,110;210,40" click=3,0,0 "path=30,200;70,150;110,200;150,150;190,200;230,150;270,200" click=3,0,0 "path=240,40;270,40;270,110;240,110"
shot rubber_band "path=30,40;120,120" "path=150,130;260,200" down=1,60,150 move=120,170,1 move=230,60,1
shot analog_clock wait=100
shot image_viewer key=Left key=Left
shot sound_pad key=M click=1,190,150
shot sprites wait=100
own shapes_gallery shapes --png
dialogs
