#!/usr/bin/env bash
# Sets up, builds and runs every test: the plain build (unit and end-to-end
# tests), then the unit tests under AddressSanitizer + UBSan and under
# ThreadSanitizer.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc 2>/dev/null || echo 2)
bash "$here/scripts/setup.sh"

run_flavour() {
  local flavour=$1; shift
  echo "==== $flavour build ===="
  bash "$here/scripts/build.sh" "$flavour"
  echo "==== $flavour tests ===="
  ctest --test-dir "$here/build/$flavour" --output-on-failure -j "$jobs" "$@"
}

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=$here/tests/tsan.supp
run_flavour release
run_flavour asan -LE e2e
run_flavour tsan -LE e2e
