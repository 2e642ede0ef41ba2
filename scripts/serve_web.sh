#!/usr/bin/env bash
# Serves the pages scripts/web.sh built (build/web/pages) on
# http://127.0.0.1:PORT/ with the cross-origin isolation headers that a
# page with threads needs. Open lumenvale.html there. Ctrl-C stops it.
# Usage: serve_web.sh [PAGES_DIR] [PORT]   (defaults build/web/pages, 8080)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
pages=${1:-$root/build/web/pages}
port=${2:-8080}
[ -d "$pages" ] || { echo "serve_web: $pages does not exist; build it with: bash scripts/web.sh" >&2; exit 1; }
exec python3 "$root/scripts/web/serve.py" "$pages" "$port"
