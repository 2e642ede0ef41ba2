#!/usr/bin/env bash
# Builds the release flavour and runs every benchmark program in bench/.
# Extra arguments go to each program (e.g. --benchmark_filter=Rectangle).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/scripts/setup.sh"
bash "$here/scripts/build.sh" release
for b in "$here"/build/release/bench/bench_*; do
  [ -x "$b" ] || continue
  echo "==== $(basename "$b") ===="
  "$b" "$@"
done
