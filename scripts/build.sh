#!/usr/bin/env bash
# Configures and builds one flavour into build/<flavour>:
#   release (default), asan (AddressSanitizer + UndefinedBehaviorSanitizer), tsan.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
flavour=${1:-release}
case "$flavour" in
  release) args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
  asan)    args=(-DCMAKE_BUILD_TYPE=Debug -DLV_SANITIZE=address,undefined -DCMAKE_CXX_FLAGS=-O1) ;;
  tsan)    args=(-DCMAKE_BUILD_TYPE=Debug -DLV_SANITIZE=thread -DCMAKE_CXX_FLAGS=-O1) ;;
  *) echo "unknown flavour: $flavour" >&2; exit 2 ;;
esac
jobs=$(nproc 2>/dev/null || echo 2)
cmake -S "$here" -B "$here/build/$flavour" "${args[@]}" >/dev/null
cmake --build "$here/build/$flavour" -j "$jobs"
