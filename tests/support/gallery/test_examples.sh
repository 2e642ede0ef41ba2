#!/usr/bin/env bash
# The learner examples, run headlessly through their picture-taking programs
# with scripted mouse input; a few pixels of each picture are checked.
#   test_examples.sh BUILD_DIR
set -euo pipefail
source "$(dirname "$0")/../../e2e/lib.sh"
dir="$1/tests/support/gallery"
shot() { local name=$1; shift; "$dir/shot_$name" "$E2E_TMP/$name.png" "$@" || e2e_fail "$name did not render"; }
expect() {  # expect PNG X Y RRGGBB WHAT
    local got; got=$(e2e_pixel "$E2E_TMP/$1.png" "$2" "$3")
    [ "${got,,}" = "${4,,}" ] || e2e_fail "$1 ($2,$3), $5: $got, expected $4"
}
differs() {  # differs PNG X Y RRGGBB WHAT: the pixel is anything but RRGGBB
    local got; got=$(e2e_pixel "$E2E_TMP/$1.png" "$2" "$3")
    [ "${got,,}" != "${4,,}" ] || e2e_fail "$1 ($2,$3), $5: still $got"
}

# Rubber band: a finished drag leaves only the final blue outline; the band
# drawn with XOR on the way is gone without a trace.
shot rubber_band "path=30,40;80,140;120,120"
expect rubber_band 30 40 285ad2 "corner of the final rectangle"
expect rubber_band 120 120 285ad2 "opposite corner"
expect rubber_band 80 100 ecf2fa "an edge of the band at (80,140), erased"
expect rubber_band 55 140 ecf2fa "the band's bottom edge, erased"
expect rubber_band 200 90 fac83c "the circle under the band, intact"

# Mouse painting: a stroke in the first colour; right clicks step the colour
# shown in the corner (black, red, green, blue).
shot mouse_paint "path=20,100;120,100" click=3,0,0 click=3,0,0
expect mouse_paint 70 100 1e1e1e "middle of a black stroke"
expect mouse_paint 10 10 288c3c "the current colour after two right clicks"
expect mouse_paint 70 110 ffffff "beside the stroke"

# Clock: the centre cap is red, the face white.
shot analog_clock
expect analog_clock 150 125 c82828 "the centre cap"

# Bouncing ball: the frame is cleared to the background between balls.
shot bouncing_ball wait=300
expect bouncing_ball 150 2 faf6ec "background at the top"
# Image viewer: the sample picture upright, then turned 30 degrees by two
# Left presses: its top-left corner leaves for the background and its top
# edge rises above where the upright picture ended; the red disc stays.
shot image_viewer
differs image_viewer 145 106 1c1e26 "the upright picture's top-left corner"
expect image_viewer 410 40 1c1e26 "background above the upright picture"
shot image_viewer key=Left key=Left
expect image_viewer 145 106 1c1e26 "background where the corner was"
differs image_viewer 410 40 1c1e26 "the turned picture's top corner"
echo "PASS"
