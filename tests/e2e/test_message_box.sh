#!/usr/bin/env bash
# Message boxes over a real graphics window: the box is a window of its own
# with the caption as title, centred on the graphics window, with its icon
# and its wrapped text drawn; N answers No in a Yes/No box, Esc answers
# Cancel in a Yes/No/Cancel box; afterwards the graphics window has the
# keyboard again. Usage: test_message_box.sh BUILD_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"

build=${1:?usage: $0 BUILD_DIR}
bin="$build/examples/message_box_demo"
[ -x "$bin" ] || e2e_fail "$bin not built"

e2e_start_xvfb
log="$E2E_TMP/out.txt"
e2e_run_logged "$log" "$bin"
pid=$E2E_LAST_PID
dlg=$(e2e_wait_window "Question" 15) || e2e_fail "no message box"
main=$(e2e_wait_window "message_box_demo" 5) || e2e_fail "no graphics window"

# Centred on the graphics window (horizontally exact; vertically the frames may differ).
read -r mx my <<<"$(e2e_window_position "$main")"; read -r mw mh <<<"$(e2e_client_geometry "$main")"
read -r dx dy <<<"$(e2e_window_position "$dlg")"; read -r dw dh <<<"$(e2e_client_geometry "$dlg")"
# A box wider than the room left of the window's centre is kept on the screen.
if [ $(( mx + mw / 2 - dw / 2 )) -lt 0 ]; then
  [ "$dx" -le 10 ] || e2e_fail "box not kept at the screen's left edge: left $dx"
else
  off=$(( (mx + mw / 2) - (dx + dw / 2) ))
  [ "${off#-}" -le 2 ] || e2e_fail "box not centred on the graphics window: centres $((mx + mw / 2)) and $((dx + dw / 2))"
fi
off=$(( (my + mh / 2) - (dy + dh / 2) ))
[ "${off#-}" -le 30 ] || e2e_fail "box not centred vertically: centres $((my + mh / 2)) and $((dy + dh / 2))"
[ "$dw" -gt 300 ] && [ "$dh" -gt 90 ] || e2e_fail "box of ${dw}x${dh} is too small for its wrapped text"

# The question icon (a blue disc) at the top left; the text beside it.
sleep 0.3
e2e_screenshot "$dlg" "$E2E_TMP/box.png"
px=$(e2e_pixel "$E2E_TMP/box.png" 16 28)
[ "${px,,}" = "005ac8" ] || e2e_fail "icon pixel is $px, expected the blue disc 005ac8"
e2e_crop_png "$E2E_TMP/box.png" "$E2E_TMP/text.png" 56 12 $((dw - 70)) 30
colours=$("$E2E_CONVERT" "$E2E_TMP/text.png" -format %k info:)
[ "$colours" -gt 2 ] || e2e_fail "no text drawn beside the icon ($colours colours)"

e2e_key "$dlg" n
second=$(e2e_wait_window "Leaving" 10) || e2e_fail "no second box after N"
e2e_key "$second" Escape
for i in $(seq 1 50); do [ "$(grep -c '^answer' "$log")" = 2 ] && break; sleep 0.1; done
out=$(cat "$log")
[ "$out" = "answer 7
answer 2" ] || e2e_fail "answers '$out', expected 7 (No) then 2 (Cancel)"
for i in $(seq 1 30); do
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$main" ] && break
    sleep 0.1
done
[ "$(xdotool getwindowfocus 2>/dev/null)" = "$main" ] || e2e_fail "the graphics window did not get the keyboard back"
xdotool key space
status=$(e2e_wait_exit "$pid" 10) || e2e_fail "the program did not end on a key in its window"
[ "$status" = 0 ] || e2e_fail "exit status $status"
echo "PASS: message box"
