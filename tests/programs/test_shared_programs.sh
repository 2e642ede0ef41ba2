#!/usr/bin/env bash
# Learners' Windows programs, unchanged, on Linux: for each program of the
# shared programs folder (../shared/programs beside the checkout) the
# folder's runner builds it with the installed package's pkg-config line,
# runs it with its replayed input in Xvfb, and compares every screen mark
# with the same source built for Windows and run under Wine. Prints the
# runner's line per program and its summary; fails unless every program
# named builds, runs to the end and matches.
#
# Usage: test_shared_programs.sh SOURCE_DIR BUILD_DIR WINDOWS_BUILD_DIR PROGRAM...
#   BUILD_DIR          this build, complete (installed into a private prefix)
#   WINDOWS_BUILD_DIR  the MinGW-w64 build the portability test made
#   LV_PROGRAMS="a b"  in the environment: these programs instead of the arguments
# Exit status 77 (skipped) when the shared folder, Xvfb, xdotool, ImageMagick,
# the MinGW-w64 compiler or Wine is missing, or the source is no git checkout.
set -u
src=$(cd "${1:?source dir}" && pwd)
build=$(cd "${2:?build dir}" && pwd)
winbuild=${3:?windows build dir}
shift 3
progs=("$@")
[ -n "${LV_PROGRAMS:-}" ] && read -r -a progs <<<"$LV_PROGRAMS"
skip() { echo "SKIP: $*"; exit 77; }

runner=$(cd "$src/.." && pwd)/shared/programs/run.sh
[ -f "$runner" ] || skip "no shared programs folder beside the checkout ($runner)"
for tool in Xvfb xdpyinfo xdotool xwd xwininfo convert identify localedef x86_64-w64-mingw32-g++ pkg-config python3; do
    command -v "$tool" >/dev/null 2>&1 || skip "$tool is not installed"
done
WINE=${WINE:-/usr/lib/wine/wine64}
[ -x "$WINE" ] || skip "Wine is not installed ($WINE)"
sha=$(git -C "$src" rev-parse --short=12 HEAD 2>/dev/null) || skip "$src is not a git checkout"
[ -f "$winbuild/glint/libglint.a" ] || { echo "FAIL: no Windows build of the layer in $winbuild"; exit 1; }
[ ${#progs[@]} -gt 0 ] || { echo "FAIL: no programs named"; exit 1; }

# The runner installs from BUILD_DIR once it is marked built, into a prefix
# named after the commit: start from an empty one so that this build's files
# are the ones used, and leave nothing behind.
touch "$build/.built"
prefix=/tmp/lv-prefix-$sha
rm -rf "$prefix"
trap 'rm -rf "$prefix"' EXIT

work=$build/programs-check
mkdir -p "$work"
start=$(date +%s)
(cd "$src" && PROJ="$src" BUILD="$build" WINBUILD="$winbuild" WORK="$work" WINE="$WINE" \
    bash "$runner" "${progs[@]}")
status=$?
echo "programs check: ${progs[*]}: $(( $(date +%s) - start )) s, status $status (screens and logs in $work)"
exit $status
