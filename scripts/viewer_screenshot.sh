#!/usr/bin/env bash
# Renders docs/image_viewer.png: runs the image viewer on a private Xvfb
# server with its built-in sample picture, turns the picture twice with Left
# (30 degrees, bilinear) and has the viewer save its own window with S.
# Usage: scripts/viewer_screenshot.sh [BUILD_DIR]   (default build/release)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build/release}
source "$here/tests/e2e/lib.sh"
bin="$build/examples/image_viewer"
[ -x "$bin" ] || e2e_fail "$bin not built"
e2e_start_xvfb
out="$E2E_TMP/image_viewer.png"
e2e_run "$bin" "" "$out"
pid=$E2E_LAST_PID
win=$(e2e_wait_window image_viewer 20)
sleep 0.5
e2e_key "$win" Left Left s
for i in $(seq 1 100); do
    [ -s "$out" ] && break
    sleep 0.1
done
[ -s "$out" ] || e2e_fail "the viewer saved no screenshot"
e2e_key "$win" Escape
e2e_wait_exit "$pid" 10 >/dev/null || true
cp "$out" "$here/docs/image_viewer.png"
echo "wrote docs/image_viewer.png"
