#!/usr/bin/env bash
# The input box over a real graphics window: typing ASCII and Chinese text
# (the text arrives in the program as GBK) and confirming with Enter; then
# cancelling with Esc and with the close box, which leave the buffer as it
# was. Afterwards the graphics window has the keyboard again. While the dialog is open the graphics window keeps being refreshed
# (the program's painter thread moves a bar), and clicks into it reach
# neither it nor the program's message queue; the dialog keeps the keyboard.
# Last, the clipboard: Ctrl+X cuts the selected default text and Ctrl+V
# pastes it back; other programs see what was cut and their text is pasted
# (through xclip, skipped where it is not installed).
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
    # The focus moves when the X server has handled the program's request,
    # which may come after the program's output on a busy machine.
    for i in $(seq 1 30); do
        [ "$(xdotool getwindowfocus 2>/dev/null)" = "$main" ] && break
        sleep 0.1
    done
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$main" ] || e2e_fail "$name: the graphics window did not get the keyboard back"
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

# 4. The clipboard.
start paste
e2e_key "$dlg" ctrl+x
have_xclip=0
command -v xclip >/dev/null 2>&1 && have_xclip=1
if [ "$have_xclip" = 1 ]; then
    got=""
    for i in $(seq 1 30); do
        got=$(timeout 3 xclip -o -selection clipboard 2>/dev/null) && [ "$got" = guest ] && break
        sleep 0.1
    done
    [ "$got" = guest ] || e2e_fail "paste: another program sees '$got' on the clipboard, expected 'guest'"
else
    echo "SKIP: xclip is not installed: the clipboard is not shared with another program here"
fi
e2e_type "$dlg" "A"
e2e_key "$dlg" ctrl+v
want="ok Aguest"
if [ "$have_xclip" = 1 ]; then
    # xclip keeps serving the text in the background until the display ends.
    printf '%s' "李白" | xclip -i -selection clipboard >/dev/null 2>&1
    e2e_key "$dlg" ctrl+v
    want="ok Aguest李白"
fi
e2e_key "$dlg" Return
finish paste "$want
clicks 0"

echo "PASS: input box"
