#!/usr/bin/env bash
# Times the game's start side by side with a plain SDL2 program doing the
# same first screen (bench/baseline/plain_sdl_menu): exec -> window mapped ->
# first content (more than one colour in the window on the screen), on a
# private Xvfb. Runs alternate; the medians of RUNS (default 15) are printed.
#
#   bash scripts/measure_startup.sh [BUILD_DIR] [RUNS]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build/release}
runs=${2:-15}
watch="$build/bench/baseline/startup_watch"
plain="$build/bench/baseline/plain_sdl_menu"
game="$build/game/lumenvale"
for f in "$watch" "$plain" "$game"; do [ -x "$f" ] || { echo "missing $f (build first)" >&2; exit 2; }; done
source "$here/tests/e2e/lib.sh"
e2e_start_xvfb
"$watch" 300 240 "$plain" >/dev/null || true   # warm the file cache
"$watch" 300 240 "$game" >/dev/null || true
: >"$E2E_TMP/plain"; : >"$E2E_TMP/game"
for i in $(seq 1 "$runs"); do
    "$watch" 300 240 "$plain" >>"$E2E_TMP/plain" || echo "plain run $i failed" >&2
    "$watch" 300 240 "$game" >>"$E2E_TMP/game" || echo "game run $i failed" >&2
done
python3 - "$E2E_TMP/plain" "$E2E_TMP/game" <<'PY'
import statistics, sys
def load(p):
    rows = [tuple(map(float, l.split())) for l in open(p) if l.strip()]
    return [r for r in rows if r[0] >= 0 and r[1] >= 0]
plain, game = load(sys.argv[1]), load(sys.argv[2])
def med(rows, i): return statistics.median(r[i] for r in rows)
print(f"{'':24}{'mapped ms':>10}{'content ms':>12}   runs")
print(f"{'plain SDL2':24}{med(plain,0):10.1f}{med(plain,1):12.1f}   {len(plain)}")
print(f"{'game':24}{med(game,0):10.1f}{med(game,1):12.1f}   {len(game)}")
print(f"{'ratio game / plain':24}{med(game,0)/med(plain,0):10.2f}{med(game,1)/med(plain,1):12.2f}")
PY
