#!/usr/bin/env bash
# Builds Glint programs as web pages with Debian's Emscripten.
#
#   bash scripts/web.sh                 the game and every example:
#                                       build/web/pages/lumenvale.html, ...
#   bash scripts/web.sh prog.cpp ...    an outside Glint program (one or more
#                                       source files): build/web/pages/prog.html
#
# Installs what is missing (scripts/setup.sh), builds the libraries from
# Debian's sources once (scripts/web_deps.sh, kept in build/web-deps), then
# configures build/web with CMake. Serve the pages with scripts/serve_web.sh.
# WEB_TARGETS="lumenvale" builds only the named targets.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${WEB_BUILD_DIR:-$root/build/web}
deps_dir=${WEB_DEPS_DIR:-$root/build/web-deps}
jobs=${WEB_JOBS:-2}

if [ "${WEB_SKIP_SETUP:-0}" != 1 ]; then bash "$root/scripts/setup.sh"; fi
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
prefix=$(bash "$root/scripts/web_deps.sh" "$deps_dir")

emcmake cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DLV_BUILD_TESTS=OFF -DLV_BUILD_BENCH=OFF \
    -DGLINT_WEB_DEPS="$prefix" >"$build.configure.log" 2>&1 || { tail -n 40 "$build.configure.log" >&2; exit 1; }

if [ $# -eq 0 ]; then
    if [ -n "${WEB_TARGETS:-}" ]; then
        # shellcheck disable=SC2086
        cmake --build "$build" -j "$jobs" --target $WEB_TARGETS
    else
        cmake --build "$build" -j "$jobs"
    fi
    echo "Pages in $build/pages; serve them with: bash scripts/serve_web.sh"
    exit 0
fi

# An outside program: the layer's libraries, then the program linked as a
# page with the same flags as the game's (glint_web_link.txt).
cmake --build "$build" -j "$jobs" --target glint platform
name=$(basename "${1%.*}")
out=$build/pages/$name.html
mkdir -p "$build/pages" "$build/outside/$name"
objs=()
for src in "$@"; do
    obj=$build/outside/$name/$(basename "$src").o
    python3 "$root/scripts/web/gbk_compile.py" em++ -std=c++17 -O2 -pthread -finput-charset=UTF-8 -fexec-charset=GBK \
        -I"$root/glint/include" -I"$root/platform/include" -c "$src" -o "$obj"
    objs+=("$obj")
done
mapfile -t link_flags <"$build/glint_web_link.txt"
em++ -O2 "${objs[@]}" "$build/glint/libglint.a" "$build/platform/libplatform.a" "${link_flags[@]}" -o "$out"
echo "Page: $out; serve it with: bash scripts/serve_web.sh"
