#!/usr/bin/env bash
# Started where no window can be opened, the game ends with status 1 and a
# reason on standard error, instead of waiting for keys that never come:
# both when the environment names no display (window creation fails) and
# when it names one that cannot be reached (the window was already handed
# out, and the display fails while the program runs on).
set -uo pipefail
game="$1/game/lumenvale"
err=$(mktemp)
trap 'rm -f "$err"' EXIT
# A display number nobody serves: no socket, no lock file.
unreachable=":$((200 + RANDOM % 500))"
failed=0
for case in "none" "unreachable"; do
  if [ "$case" = none ]; then
    env -u DISPLAY -u WAYLAND_DISPLAY timeout 30 "$game" 2>"$err"
  else
    env -u WAYLAND_DISPLAY DISPLAY="$unreachable" timeout 30 "$game" 2>"$err"
  fi
  status=$?
  if [ "$status" -ne 1 ]; then
    echo "$case: expected exit status 1, got $status" >&2
    cat "$err" >&2
    failed=$((failed + 1))
  elif ! grep -q "display" "$err"; then
    echo "$case: no reason given on standard error:" >&2
    cat "$err" >&2
    failed=$((failed + 1))
  fi
done
echo "$((2 - failed)) passed, $failed failed"
[ "$failed" -eq 0 ]
