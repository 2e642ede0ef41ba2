#!/usr/bin/env bash
# The input box over a real graphics window: typing ASCII and Chinese text
# (the text arrives in the program as GBK) and confirming with Enter; then
# cancelling with Esc and with the close box, which leave the buffer as it
# was. Afterwards the graphics window has the keyboard again. While the dialog is open the graphics window keeps being refreshed
# (the program's painter thread moves a bar), and clicks into it reach
# neither it nor the program's message queue; the dialog keeps the keyboard.
# Usage: test_input_box.sh BUILD_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"

build=${1:?usage: $0 BUILD_DIR}
bin="$build/examples/input_box_demo"
[ -x "$bin" ] || e2e_fail "$bin not built"

e2e_start_xvfb

# Starts the program; sets pid, log, dlg (the dialog) and main (the graphics window).
start() {
    log="$E2E_TMP/out.$1.txt"
    e2e_run_logged "$log" "$bin"
    pid=$E2E_LAST_PID
    dlg=$(e2e_wait_window "Your name" 15) || e2e_fail "$1: no dialog"
    main=$(e2e_wait_window "input_box_demo" 5) || e2e_fail "$1: no graphics window"
    [ "$(e2e_client_geometry "$dlg")" = "357 93" ] || e2e_fail "$1: dialog client is not 357 x 93"
}

# Checks the program's answer (UTF-8); the graphics window must have the
# keyboard back: a key typed without choosing a window ends the program.
finish() {
    local name=$1 want=$2 status out i
    for i in $(seq 1 100); do
        grep -q '^clicks' "$log" 2>/dev/null && break
        sleep 0.1
    done
    [ "$(xdotool getwindowfocus)" = "$main" ] || e2e_fail "$name: the graphics window did not get the keyboard back"
    xdotool key space
    status=$(e2e_wait_exit "$pid" 10) || e2e_fail "$name: the program did not end on a key in its window"
    [ "$status" = 0 ] || e2e_fail "$name: exit status $status"
    out=$(iconv -f GBK -t UTF-8 <"$log")
    [ "$out" = "$want" ] || e2e_fail "$name: output '$out', expected '$want'"
}

# 1. Type over the selected default text, click the disabled window, Enter.
start typed
e2e_screenshot "$main" "$E2E_TMP/frame1.png"
e2e_click "$main" 150 100
e2e_click "$main" 20 220
sleep 0.3
e2e_screenshot "$main" "$E2E_TMP/frame2.png"
n=$(e2e_compare_png "$E2E_TMP/frame1.png" "$E2E_TMP/frame2.png" 100000000) || true
[ "$n" -gt 0 ] || e2e_fail "the graphics window was not refreshed while the dialog was open"
[ "$(xdotool getwindowfocus)" = "$dlg" ] || e2e_fail "a click into the disabled window took the keyboard from the dialog"
xdotool type --delay "$E2E_KEY_DELAY_MS" -- "Li 李白"
xdotool key Return
finish typed "ok Li 李白
clicks 0"

# 2. Esc cancels.
start esc
e2e_type "$dlg" "xyz"
e2e_key "$dlg" Escape
finish esc "cancelled unchanged
clicks 0"

# 3. The close box cancels; the graphics window stays until the program closes it.
start closebox
e2e_type "$dlg" "xyz"
e2e_close_window "$dlg"
finish closebox "cancelled unchanged
clicks 0"

echo "PASS: input box"
