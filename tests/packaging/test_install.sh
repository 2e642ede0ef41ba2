#!/usr/bin/env bash
# Installs the build into a scratch prefix, builds a small outside program
# against it twice (CMake's find_package(Glint), then pkg-config glint), runs
# both headlessly, then builds the .deb and checks the dependencies it names.
#   test_install.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
src=$(cd "$2" && pwd)
tmp=$(mktemp -d "${TMPDIR:-/tmp}/glint-install.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$tmp/prefix" >/dev/null
for f in include/glint/graphics.h include/glint/glint.h include/glint/platform/windows.h \
         lib/libglint.a lib/libplatform.a lib/cmake/Glint/GlintConfig.cmake lib/pkgconfig/glint.pc bin/lumenvale; do
    [ -e "$tmp/prefix/$f" ] || fail "not installed: $f"
done
# Moved after installing: the package and the .pc file must not depend on the prefix.
mv "$tmp/prefix" "$tmp/moved"

# 1. CMake package.
cmake -S "$src/tests/packaging/outside" -B "$tmp/cmake-build" -DCMAKE_PREFIX_PATH="$tmp/moved" \
      -DCMAKE_BUILD_TYPE=Release >"$tmp/cmake.log" 2>&1 || { cat "$tmp/cmake.log"; fail "configure with find_package"; }
cmake --build "$tmp/cmake-build" >>"$tmp/cmake.log" 2>&1 || { cat "$tmp/cmake.log"; fail "build with find_package"; }
"$tmp/cmake-build/outside" || fail "the find_package build does not run"

# 2. pkg-config.
flags=$(PKG_CONFIG_PATH="$tmp/moved/lib/pkgconfig" pkg-config --cflags --libs glint) || fail "pkg-config glint"
# shellcheck disable=SC2086
c++ -std=c++17 -o "$tmp/outside-pc" "$src/tests/packaging/outside/main.cpp" $flags || fail "build with pkg-config"
"$tmp/outside-pc" || fail "the pkg-config build does not run"

# 3. The .deb names its runtime dependencies.
(cd "$build" && cpack -G DEB -B "$tmp/deb" >"$tmp/cpack.log" 2>&1) || { cat "$tmp/cpack.log"; fail "cpack"; }
deb=$(ls "$tmp"/deb/*.deb | head -1)
[ -n "$deb" ] || fail "no .deb built"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for want in libsdl2 libsdl2-mixer libfontconfig libfreetype fonts-unifont fonts-wqy-zenhei timgm6mb-soundfont; do
    echo "$depends" | grep -q "$want" || fail ".deb does not depend on $want"
done
dpkg-deb -c "$deb" | grep -q "usr/lib/pkgconfig/glint.pc" || fail "glint.pc missing from the .deb"
echo "PASS"
