#!/usr/bin/env bash
# Sets up, builds and starts the game.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/scripts/setup.sh"
bash "$here/scripts/build.sh" release
exec "$here/build/release/game/lumenvale"
