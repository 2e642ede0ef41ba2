#!/usr/bin/env bash
# mutants.sh — a mutation check: applies the one-line faults listed in
# tests/mutants.txt one at a time, rebuilds incrementally (build/mutants,
# ccache when present), runs the unit test binary of the mutated module and
# reports each mutant as killed (with the tests that failed), survived, or
# stale (its text was not found near the line given). Not run in CI: each
# mutant takes a rebuild and a test run.
#
#   bash scripts/mutants.sh [-l LIST] [-a] [N ...]
#     -l LIST  the mutant list (default tests/mutants.txt)
#     -a       run every unit test binary for each mutant, not just the one named
#     N ...    run only these mutants (1-based, in list order)
#
# List format, one mutant a line (lines starting with '#' are comments), fields
# separated by ' @ ':
#   FILE:LINE @ BINARY[:GTEST_FILTER] @ BEFORE @ AFTER
# BEFORE is searched as exact text on the lines within 40 of LINE (the nearest
# match wins) and its first occurrence there becomes AFTER. The mutated file
# is restored whatever happens (trap), and a last build leaves build/mutants clean.
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
list=$here/tests/mutants.txt
all_binaries=0
while getopts "l:a" opt; do
  case $opt in
    l) list=$OPTARG ;;
    a) all_binaries=1 ;;
    *) exit 2 ;;
  esac
done
shift $((OPTIND - 1))
wanted=" $* "
build=$here/build/mutants
if command -v ccache >/dev/null; then
  export CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache
fi
jobs=$(nproc 2>/dev/null || echo 2)
binaries=(platform_tests glint_tests game_tests)

backup=""
target_file=""
restore() {
  if [ -n "$backup" ] && [ -f "$backup" ]; then
    # A plain copy: the restored file must be newer than the objects built
    # from the mutant, or the next build would keep them.
    cp "$backup" "$target_file"
    rm -f "$backup"
    backup=""
  fi
}
trap 'restore' EXIT
trap 'restore; exit 130' INT TERM

build_targets() {
  cmake --build "$build" -j "$jobs" --target "$@" >"$build/last_build.log" 2>&1
}

# Runs one binary with a filter; prints the names of the failed tests (or
# "(crash)" / "(timeout)" when the run ended without a verdict).
run_tests() {
  local bin=$1 filter=$2 out rc
  out=$(cd "$build/tests" && timeout 300 "./$bin" --gtest_filter="$filter" --gtest_brief=1 2>&1)
  rc=$?
  local failed
  failed=$(printf '%s\n' "$out" | sed -n 's/^\[  FAILED  \] \([A-Za-z0-9_./]*\).*/\1/p' | sort -u | tr '\n' ' ')
  if [ -n "$failed" ]; then
    printf '%s' "$failed"
  elif [ $rc -eq 124 ]; then
    printf '(timeout)'
  elif [ $rc -ne 0 ]; then
    printf '(exit %d)' $rc
  fi
}

# Applies one mutant; prints "ok" or "stale".
apply_mutant() {
  python3 - "$1" "$2" "$3" "$4" <<'EOF'
import sys
path, line, before, after = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4]
with open(path, encoding="utf-8") as f:
    lines = f.readlines()
best = None
for i, text in enumerate(lines):
    if abs(i + 1 - line) <= 40 and before in text:
        if best is None or abs(i + 1 - line) < abs(best + 1 - line):
            best = i
if best is None:
    print("stale")
    sys.exit(0)
lines[best] = lines[best].replace(before, after, 1)
with open(path, "w", encoding="utf-8") as f:
    f.writelines(lines)
print("ok")
EOF
}

echo "configuring $build"
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null || exit 1
echo "building the unit test binaries"
build_targets "${binaries[@]}" || { echo "the unmutated build fails; see $build/last_build.log"; exit 1; }

killed=0 survived=0 stale=0 total=0 n=0
survivors=() stales=()
while IFS= read -r raw || [ -n "$raw" ]; do
  line=$raw
  [[ $line =~ ^[[:space:]]*(#|$) ]] && continue
  n=$((n + 1))
  case "$wanted" in "  ") ;; *" $n "*) ;; *) continue ;; esac
  IFS=$'\x1f' read -r loc what before after <<<"$(printf '%s' "$line" | sed 's/ @ /\x1f/g')"
  file=${loc%:*}
  at=${loc##*:}
  after=${after%"${after##*[![:space:]]}"}
  bin=${what%%:*}
  filter='*'
  [[ $what == *:* ]] && filter=${what#*:}
  total=$((total + 1))
  label="#$n $file:$at '$before' -> '$after'"
  target_file=$here/$file
  if [ ! -f "$target_file" ]; then
    stale=$((stale + 1)); stales+=("$label (no such file)"); echo "STALE    $label (no such file)"; continue
  fi
  backup=$(mktemp)
  cp -p "$target_file" "$backup"
  if [ "$(apply_mutant "$target_file" "$at" "$before" "$after")" != ok ]; then
    restore
    stale=$((stale + 1)); stales+=("$label"); echo "STALE    $label"; continue
  fi
  if [ $all_binaries -eq 1 ]; then run_bins=("${binaries[@]}"); filter='*'; else run_bins=("$bin"); fi
  if ! build_targets "${run_bins[@]}"; then
    restore
    stale=$((stale + 1)); stales+=("$label (does not compile)"); echo "STALE    $label (does not compile)"; continue
  fi
  caught=""
  for b in "${run_bins[@]}"; do
    caught+=$(run_tests "$b" "$filter")
  done
  restore
  if [ -n "$caught" ]; then
    killed=$((killed + 1)); echo "KILLED   $label  by: $caught"
  else
    survived=$((survived + 1)); survivors+=("$label"); echo "SURVIVED $label"
  fi
done <"$list"
restore
build_targets "${binaries[@]}" || true  # leave the build matching the sources

echo
echo "survived:"
for s in "${survivors[@]+"${survivors[@]}"}"; do echo "  $s"; done
echo "stale:"
for s in "${stales[@]+"${stales[@]}"}"; do echo "  $s"; done
run=$((killed + survived))
if [ $run -gt 0 ]; then
  echo "score: $killed of $run killed ($((100 * killed / run)) %), $stale stale, $total listed"
else
  echo "score: nothing run, $stale stale, $total listed"
fi
