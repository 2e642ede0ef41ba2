#!/usr/bin/env bash
# The project's own GDI reference scenarios (tests/platform/reference):
#
#   scripts/gdi_reference.sh reference OUTDIR [NAME ...]  build with MinGW-w64, run under Wine: reference dumps
#   scripts/gdi_reference.sh native OUTDIR [NAME ...]     build against build/release's stand-in and run: our dumps
#
# Dumps are NAME.px (format in scenarios/fid.h). The reference dumps kept in
# tests/platform/reference/ref are made by the first form; the unit test
# test_gdi_msimg_reference compares the stand-in with them without Wine.
# BUILD: the native build folder (default build/release). WINE: the loader.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
here=$root/tests/platform/reference
build=${BUILD:-$root/build/release}
wine=${WINE:-/usr/lib/wine/wine64}
mingw=${MINGW_CC:-x86_64-w64-mingw32-gcc}
die() { echo "gdi_reference: $*" >&2; exit 1; }
cmd=${1:-}; out=${2:-}
[ -n "$cmd" ] && [ -n "$out" ] || { sed -n '2,6p' "$0" | sed 's/^# \{0,1\}//'; exit 2; }
shift 2
mkdir -p "$out"; out=$(cd "$out" && pwd)
names=("$@")
[ ${#names[@]} -gt 0 ] || for f in "$here"/scenarios/*.c; do n=${f##*/}; names+=("${n%.c}"); done
case $cmd in
  reference)
    [ -x "$wine" ] || die "no Wine at $wine"
    for n in "${names[@]}"; do
      "$mingw" -std=c99 -I"$here/scenarios" -o "$out/$n.exe" "$here/scenarios/$n.c" -lgdi32 -lmsimg32 || die "$n did not build"
      (cd "$out" && WINEDEBUG=-all WINEPREFIX=${WINEPREFIX:-$out/wineprefix} xvfb-run -a "$wine" "$n.exe" "$n.px") \
        || die "$n failed under Wine"
      echo "reference dump: $out/$n.px"
    done ;;
  native)
    inc=$root/platform/include
    libs=$(find "$build" -name 'lib*.a' ! -path '*/_deps/*' ! -name '*gtest*' ! -name '*gmock*' ! -name '*benchmark*' | tr '\n' ' ')
    for n in "${names[@]}"; do
      # shellcheck disable=SC2086
      g++ -x c++ -I"$inc" -I"$here/scenarios" -w "$here/scenarios/$n.c" -o "$out/$n" -x none -Wl,--start-group $libs \
        -Wl,--end-group $(pkg-config --libs sdl2 freetype2 fontconfig libpng libjpeg libtiff-4) -lgif -lpthread -ldl -lm \
        || die "$n did not build"
      (cd "$out" && SDL_VIDEODRIVER=dummy "./$n" "$n.px") || die "$n failed"
      echo "our dump: $out/$n.px"
    done ;;
  *) die "unknown command $cmd" ;;
esac
