#!/usr/bin/env bash
# Renders the pictures of docs/ that the programs draw themselves (headless,
# no display needed): the input box. Usage: scripts/render_docs.sh [BUILD_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build/release}
cmake --build "$build" --target render_input_box >/dev/null
"$build/tests/render_input_box" "$here/docs"
echo "wrote $here/docs/input_box.png and $here/docs/input_box_multiline.png"
