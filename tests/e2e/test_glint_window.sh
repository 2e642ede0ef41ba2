#!/usr/bin/env bash
# Glint's example in a real X server: client size 300 x 240, the title taken
# from the executable's name, the window showing exactly what the program
# drew into its back buffer (the program writes the buffer to a BMP after each
# change), typed characters echoed, a GBK Chinese line drawn, and the close
# box ending the program with status 0.
# Usage: test_glint_window.sh BUILD_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"

build=${1:?usage: $0 BUILD_DIR}
bin="$build/examples/glint_hello"
[ -x "$bin" ] || e2e_fail "$bin not built"

e2e_start_xvfb

dump="$E2E_TMP/backbuffer.bmp"
# Waits until a screenshot of the window equals the program's latest back
# buffer; leaves the screenshot in $E2E_TMP/NAME.png.
wait_shows_buffer() {
    local name=$1 i n=""
    for i in $(seq 1 60); do
        if [ -s "$dump" ]; then
            "$E2E_CONVERT" "bmp:$dump" "png:$E2E_TMP/$name.expected.png"
            e2e_screenshot "$win" "$E2E_TMP/$name.png"
            n=$(e2e_compare_png "$E2E_TMP/$name.expected.png" "$E2E_TMP/$name.png" 100000000) || true
            [ "$n" = 0 ] && return 0
        fi
        sleep 0.1
    done
    e2e_fail "the window never showed the back buffer ($name; last difference: $n pixels)"
}

e2e_run "$bin" "$dump"
pid=$E2E_LAST_PID
win=$(e2e_wait_window "glint_hello" 15) || e2e_fail "no window titled 'glint_hello'"

geometry=$(e2e_client_geometry "$win")
[ "$geometry" = "300 240" ] || e2e_fail "client size is '$geometry', expected '300 240'"
title=$(e2e_window_title "$win")
[ "$title" = "glint_hello" ] || e2e_fail "title is '$title'"

wait_shows_buffer start
pixel() { e2e_pixel "$@" | tr 'A-F' 'a-f'; }
[ "$(pixel "$E2E_TMP/start.png" 299 239)" = "ffffff" ] || e2e_fail "background is not white"
[ "$(pixel "$E2E_TMP/start.png" 150 60)" = "0000aa" ] || e2e_fail "the blue rule is missing"
e2e_crop_png "$E2E_TMP/start.png" "$E2E_TMP/title.png" 0 0 300 16
e2e_crop_png "$E2E_TMP/start.png" "$E2E_TMP/chinese.png" 0 20 300 16
e2e_crop_png "$E2E_TMP/start.png" "$E2E_TMP/echo0.png" 0 40 300 19
for part in title chinese; do
    colours=$("$E2E_CONVERT" "$E2E_TMP/$part.png" -format '%k' info:)
    [ "$colours" -gt 1 ] || e2e_fail "the $part line is blank"
done
# The Chinese line is wider than the ASCII title: 10 double-width characters.
ink_right() {  # rightmost column holding a non-white pixel
    "$E2E_CONVERT" "$1" -negate -trim -format '%[fx:page.x+w]' info:
}
[ "$(ink_right "$E2E_TMP/chinese.png")" -gt "$(ink_right "$E2E_TMP/title.png")" ] ||
    e2e_fail "the Chinese line is not drawn as wide characters"
colours=$("$E2E_CONVERT" "$E2E_TMP/echo0.png" -format '%k' info:)
[ "$colours" -eq 1 ] || e2e_fail "the echo line is not blank at start"

# Typing: the echo line changes, the rest stays; the window equals the buffer.
e2e_type "$win" "abc"
for i in $(seq 1 50); do
    wait_shows_buffer typed
    e2e_crop_png "$E2E_TMP/typed.png" "$E2E_TMP/echo1.png" 0 40 300 19
    n=$(e2e_compare_png "$E2E_TMP/echo0.png" "$E2E_TMP/echo1.png" 100000000) || true
    [ "$n" -gt 20 ] && break
    sleep 0.1
done
[ "$n" -gt 20 ] || e2e_fail "typed characters were not echoed"
e2e_crop_png "$E2E_TMP/typed.png" "$E2E_TMP/title1.png" 0 0 300 16
e2e_compare_png "$E2E_TMP/title.png" "$E2E_TMP/title1.png" >/dev/null || e2e_fail "typing changed the title line"

# Backspace three times: the echo line is blank again, exactly as at start.
e2e_key "$win" BackSpace BackSpace BackSpace
for i in $(seq 1 50); do
    wait_shows_buffer erased
    e2e_crop_png "$E2E_TMP/erased.png" "$E2E_TMP/echo2.png" 0 40 300 19
    e2e_compare_png "$E2E_TMP/echo0.png" "$E2E_TMP/echo2.png" >/dev/null && break
    sleep 0.1
done
e2e_compare_png "$E2E_TMP/echo0.png" "$E2E_TMP/echo2.png" >/dev/null || e2e_fail "Backspace did not erase the echo"

# The close box ends the program at once with status 0.
e2e_close_window "$win"
status=$(e2e_wait_exit "$pid" 10) || e2e_fail "the program did not exit after the close request"
[ "$status" = 0 ] || e2e_fail "exit status after close: $status"

echo "PASS: glint window"
