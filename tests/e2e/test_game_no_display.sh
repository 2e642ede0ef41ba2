#!/usr/bin/env bash
# Started where no window can be opened, the game ends at once with status 1
# and a reason on standard error, instead of waiting for keys that never come.
set -uo pipefail
game="$1/game/lumenvale"
err=$(mktemp)
trap 'rm -f "$err"' EXIT
env -u DISPLAY -u WAYLAND_DISPLAY timeout 30 "$game" 2>"$err"
status=$?
if [ "$status" -ne 1 ]; then
  echo "expected exit status 1 without a display, got $status" >&2
  cat "$err" >&2
  exit 1
fi
if ! grep -q "display" "$err"; then
  echo "no reason given on standard error:" >&2
  cat "$err" >&2
  exit 1
fi
echo "1 passed, 0 failed"
