#!/usr/bin/env bash
# The graphics layer and the game are one source for Linux and Windows: build
# them, with the project's own CMake files, against the real Windows headers
# and libraries of the MinGW-w64 cross compiler, and check that the results
# are Windows executables (wide_hello and wide_overloads are built with
# UNICODE defined). Usage: test_windows_build.sh SOURCE_DIR [OUT_DIR]
# With OUT_DIR the build is kept there (for the test under Wine), together
# with render_text_line.exe, the end-to-end tests' reference-line renderer.
set -euo pipefail
src=${1:?source dir}
if ! command -v x86_64-w64-mingw32-g++ >/dev/null; then
  echo "x86_64-w64-mingw32-g++ not found (scripts/setup.sh installs it)" >&2
  exit 1
fi
if [ -n "${2:-}" ]; then
  out=$2
  mkdir -p "$out"
else
  out=$(mktemp -d)
  trap 'rm -rf "$out"' EXIT
fi
cmake -S "$src" -B "$out" -DCMAKE_SYSTEM_NAME=Windows \
  -DCMAKE_C_COMPILER=x86_64-w64-mingw32-gcc -DCMAKE_CXX_COMPILER=x86_64-w64-mingw32-g++ \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_EXE_LINKER_FLAGS=-static \
  -DLV_BUILD_TESTS=OFF -DLV_BUILD_BENCH=OFF -DCMAKE_CXX_FLAGS=-Werror >/dev/null
cmake --build "$out" -j "$(nproc 2>/dev/null || echo 2)" >/dev/null
# A program built with UNICODE (as Visual Studio builds a new project) against
# the same library: every call in its wide and narrow forms.
x86_64-w64-mingw32-g++ -std=c++17 -O2 -static -Werror -Wall -DUNICODE -D_UNICODE -I"$src/glint/include" \
  -o "$out/wide_overloads.exe" "$src/tests/portability/wide_overloads.cpp" "$out/glint/libglint.a" \
  -luser32 -lkernel32 -lshell32
for exe in game/lumenvale.exe examples/glint_hello.exe examples/echo_window.exe examples/shapes_gallery.exe \
           examples/input_box_demo.exe examples/wide_hello.exe wide_overloads.exe; do
  desc=$(file -b "$out/$exe")
  case "$desc" in
    PE32+*x86-64*"MS Windows"*) echo "ok: $exe ($desc)" ;;
    *) echo "not a Windows executable: $exe: $desc" >&2; exit 1 ;;
  esac
done
# No Linux stand-in may have crept into the Windows build.
if grep -q -a -E 'SDL_Init|FcInit|FT_Init_FreeType' "$out/game/lumenvale.exe"; then
  echo "the Windows build links Linux-only code" >&2
  exit 1
fi
if [ -n "${2:-}" ]; then
  x86_64-w64-mingw32-g++ -std=c++17 -O2 -static -o "$out/render_text_line.exe" \
    "$src/tests/e2e/render_text_line.cpp" -lgdi32
fi
echo "1 passed, 0 failed"
