#!/usr/bin/env bash
# A window on a desktop scaled by 2 (GLINT_SCALE=2): shown twice as large
# with every pixel repeated 2 x 2, while the program keeps its client size
# and receives mouse positions in its own coordinates (also negative ones
# while the mouse is captured and outside the window).
# Usage: test_scaled_window.sh BUILD_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"
bin="$1/examples/echo_window"
[ -x "$bin" ] || e2e_fail "$bin not built"

e2e_start_xvfb
log="$E2E_TMP/echo.log"
GLINT_SCALE=2 e2e_run_logged "$log" "$bin"
pid=$E2E_LAST_PID
win=$(e2e_wait_window "Echo" 15) || e2e_fail "the window did not appear"
geometry=$(e2e_client_geometry "$win")
[ "$geometry" = "800 240" ] || e2e_fail "window is '$geometry' on the screen, expected '800 240' (400 x 120 doubled)"

# wait_log PATTERN: until the program has printed a line matching it.
wait_log() {
    local i
    for i in $(seq 1 50); do
        grep -q -- "$1" "$log" && return 0
        sleep 0.1
    done
    e2e_fail "the program never printed '$1'; it printed: $(tr '\n' '|' <"$log")"
}

# Screen pixel (201, 61) is client pixel (100, 30); (0, 0) and (799, 239)
# are the client's first and last pixels.
e2e_click "$win" 201 61
wait_log "click client=100,30"
e2e_click "$win" 0 0
wait_log "click client=0,0"
e2e_click "$win" 799 239
wait_log "click client=399,119"

# Capture: a right drag to 3 screen pixels left of and above the window is
# client position -2, -2 (rounded towards minus infinity, not towards 0).
e2e_mouse_move "$win" 20 20
xdotool mousedown 3
sleep 0.1
read -r wx wy < <(e2e_window_position "$win")
xdotool mousemove $((wx - 3)) $((wy - 3))
sleep 0.1
xdotool mouseup 3
wait_log "release client=-2,-2"

# Nearest neighbour: every 2 x 2 block of the screen is one colour. Keeping
# one pixel of each block and doubling it again gives the same picture.
sleep 0.3
e2e_screenshot "$win" "$E2E_TMP/shot.png"
"$E2E_CONVERT" "$E2E_TMP/shot.png" -sample 50% -sample 200% "$E2E_TMP/resampled.png"
n=$(e2e_compare_png "$E2E_TMP/shot.png" "$E2E_TMP/resampled.png" 0) ||
    e2e_fail "$n screen pixels differ from their 2 x 2 block"
# The red mark of the click at client (100, 30) is on the screen at (200..201, 60..61).
for xy in "200 60" "201 61"; do
    p=$(e2e_pixel "$E2E_TMP/shot.png" $xy)
    [ "${p,,}" = "ff0000" ] || e2e_fail "screen pixel ($xy) is $p, not the red mark"
done

e2e_close_window "$win"
status=$(e2e_wait_exit "$pid" 10) || e2e_fail "the program did not end"
[ "$status" = 0 ] || e2e_fail "exit status $status"
echo "PASS: scaled window"
