#!/usr/bin/env bash
# Builds the libraries the web build links (SDL2, SDL2_mixer, FreeType, zlib,
# libpng, libjpeg-turbo, giflib) to WebAssembly with Debian's Emscripten,
# from Debian's own source packages (apt-get source), into a prefix that
# scripts/web.sh links against. Nothing is fetched from anywhere else:
# Emscripten's "ports" download from the internet and are not used.
#
# Each library is built once and kept (a stamp file per library, named after
# the source package's version); a later run only checks the stamps.
# Only what the page needs is built: SDL2 with its video, events, audio,
# timer and thread parts; SDL2_mixer with WAV, Ogg (its built-in decoder)
# and MP3 (dr_mp3); no tests, tools or shared libraries.
#
# Usage: web_deps.sh [DEPS_DIR]   (default build/web-deps; prints the prefix)
# Needs: emcc (Debian package emscripten), apt-get with a deb-src entry
# (scripts/setup.sh adds one), dpkg-source (dpkg-dev).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
deps=${1:-$root/build/web-deps}
mkdir -p "$deps"
deps=$(cd "$deps" && pwd)
src=$deps/src
prefix=$deps/prefix
jobs=${WEB_JOBS:-2}
mkdir -p "$src" "$prefix/lib" "$prefix/include"

command -v emcc >/dev/null || { echo "web_deps: emcc not found (apt-get install emscripten)" >&2; exit 1; }

# Debian's Emscripten runs its JavaScript tools with the system's node,
# which finds Debian's node modules (acorn) only through NODE_PATH.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}

# Every object of a page with threads must be built with -pthread
# (shared memory, atomics).
export CFLAGS="-O2 -pthread"
export CXXFLAGS="-O2 -pthread"
export LDFLAGS="-pthread"

log() { printf 'web_deps: %s\n' "$*" >&2; }

# unpack PACKAGE: the unpacked source tree of a Debian source package (with
# Debian's patches applied), fetched once; prints its folder.
unpack() {
    local pkg=$1 dsc dir
    dsc=$(ls "$src"/"${pkg}"_*.dsc 2>/dev/null | head -n1 || true)
    if [ -z "$dsc" ]; then
        (cd "$src" && apt-get source --download-only -qq "$pkg" >/dev/null 2>&1) || {
            log "apt-get source $pkg failed (is there a deb-src entry? run scripts/setup.sh)"
            exit 1
        }
        dsc=$(ls "$src"/"${pkg}"_*.dsc | head -n1)
    fi
    dir=$src/$(basename "$dsc" .dsc)
    if [ ! -d "$dir" ]; then
        dpkg-source --no-check -x "$dsc" "$dir" >/dev/null
    fi
    echo "$dir"
}

# stamp NAME DIR: true when NAME was already built from DIR.
built() { [ -f "$prefix/.built-$1" ] && [ "$(cat "$prefix/.built-$1")" = "$(basename "$2")" ]; }
mark() { basename "$2" >"$prefix/.built-$1"; }

# compile_c OUT.a DIR FILE...: a static library from C files, two at a time.
compile_c() {
    local out=$1 dir=$2
    shift 2
    local objdir=$dir/_web_objs
    mkdir -p "$objdir"
    printf '%s\n' "$@" | xargs -P "$jobs" -I{} sh -c \
        'emcc $CFLAGS -I"$1" -c "$1/$2" -o "$3/$(basename "$2" .c).o"' _ "$dir" {} "$objdir"
    rm -f "$out"
    emar rcs "$out" "$objdir"/*.o
}

build_zlib() {
    local d
    d=$(unpack zlib)
    built zlib "$d" && return
    log "zlib"
    CFLAGS="$CFLAGS -DHAVE_UNISTD_H -DHAVE_STDARG_H" compile_c "$prefix/lib/libz.a" "$d" adler32.c compress.c crc32.c deflate.c gzclose.c gzlib.c gzread.c \
        gzwrite.c infback.c inffast.c inflate.c inftrees.c trees.c uncompr.c zutil.c
    cp "$d/zlib.h" "$d/zconf.h" "$prefix/include/"
    mark zlib "$d"
}

build_png() {
    local d
    d=$(unpack libpng1.6)
    built png "$d" && return
    log "libpng"
    cp "$d/scripts/pnglibconf.h.prebuilt" "$d/pnglibconf.h"
    CFLAGS="$CFLAGS -I$prefix/include" compile_c "$prefix/lib/libpng.a" "$d" png.c pngerror.c pngget.c \
        pngmem.c pngpread.c pngread.c pngrio.c pngrtran.c pngrutil.c pngset.c pngtrans.c pngwio.c \
        pngwrite.c pngwtran.c pngwutil.c
    cp "$d/png.h" "$d/pngconf.h" "$d/pnglibconf.h" "$prefix/include/"
    mark png "$d"
}

build_gif() {
    local d
    d=$(unpack giflib)
    built gif "$d" && return
    log "giflib"
    compile_c "$prefix/lib/libgif.a" "$d" dgif_lib.c egif_lib.c gifalloc.c gif_err.c gif_font.c gif_hash.c \
        openbsd-reallocarray.c quantize.c
    cp "$d/gif_lib.h" "$prefix/include/"
    mark gif "$d"
}

# cmake_build NAME DIR TARGET [CMAKE ARGS...]: configures with emcmake and
# builds one target.
cmake_build() {
    local name=$1 dir=$2 target=$3
    shift 3
    local b=$dir/_web_build
    emcmake cmake -S "$dir" -B "$b" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_FIND_ROOT_PATH="$prefix" -DBUILD_SHARED_LIBS=OFF \
        -Wno-dev "$@" >"$b.configure.log" 2>&1 || { tail -n 30 "$b.configure.log" >&2; exit 1; }
    cmake --build "$b" -j "$jobs" --target "$target" >"$b.build.log" 2>&1 || { tail -n 30 "$b.build.log" >&2; exit 1; }
}

build_jpeg() {
    local d
    d=$(unpack libjpeg-turbo)
    built jpeg "$d" && return
    log "libjpeg-turbo"
    # CMake reads type sizes out of a test binary, which a .js output is not: given here.
    cmake_build jpeg "$d" jpeg-static -DENABLE_SHARED=OFF -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF -DWITH_JAVA=OFF \
        -DHAVE_SIZE_T=TRUE -DSIZE_T=4 -DHAVE_UNSIGNED_LONG=TRUE -DUNSIGNED_LONG=4
    cp "$d/_web_build/libjpeg.a" "$prefix/lib/"
    cp "$d/jpeglib.h" "$d/jmorecfg.h" "$d/jerror.h" "$d/_web_build/jconfig.h" "$prefix/include/"
    mark jpeg "$d"
}

build_freetype() {
    local d
    d=$(unpack freetype)
    built freetype "$d" && return
    log "FreeType"
    # With the zlib above (its own copy would define the same symbols).
    cmake_build freetype "$d" freetype -DFT_REQUIRE_ZLIB=ON -DZLIB_LIBRARY="$prefix/lib/libz.a" \
        -DZLIB_INCLUDE_DIR="$prefix/include" -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON \
        -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON
    cp "$d/_web_build/libfreetype.a" "$prefix/lib/"
    rm -rf "$prefix/include/freetype2"
    mkdir -p "$prefix/include/freetype2"
    cp -r "$d/include/." "$prefix/include/freetype2/"
    mark freetype "$d"
}

build_sdl2() {
    local d
    d=$(unpack libsdl2)
    built sdl2 "$d" && return
    log "SDL2"
    local off=()
    for o in JOYSTICK HAPTIC HIDAPI POWER SENSOR LOCALE MISC FILESYSTEM LOADSO CPUINFO RENDER OPENGL OPENGLES \
             TEST TESTS DUMMYAUDIO DISKAUDIO OFFSCREEN; do
        off+=("-DSDL_$o=OFF")
    done
    cmake_build sdl2 "$d" SDL2-static "${off[@]}" -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL2_DISABLE_SDL2MAIN=ON -DSDL_THREADS=ON \
        -DSDL_PTHREADS=ON -DSDL_ATOMIC=ON -DSDL_AUDIO=ON -DSDL_VIDEO=ON -DSDL_EVENTS=ON -DSDL_TIMERS=ON
    cmake --install "$d/_web_build" >/dev/null 2>&1 || true   # headers, config files
    [ -f "$prefix/lib/libSDL2.a" ] || cp "$d/_web_build/libSDL2.a" "$prefix/lib/"
    mark sdl2 "$d"
}

build_mixer() {
    local d
    d=$(unpack libsdl2-mixer)
    built mixer "$d" && return
    log "SDL2_mixer"
    cmake_build mixer "$d" SDL2_mixer -DSDL2MIXER_SAMPLES=OFF -DSDL2MIXER_VENDORED=OFF -DSDL2MIXER_DEPS_SHARED=OFF \
        -DSDL2MIXER_CMD=OFF -DSDL2MIXER_FLAC=OFF -DSDL2MIXER_MOD=OFF -DSDL2MIXER_MIDI=OFF -DSDL2MIXER_OPUS=OFF \
        -DSDL2MIXER_MP3=ON -DSDL2MIXER_MP3_DRMP3=ON -DSDL2MIXER_MP3_MPG123=OFF \
        -DSDL2MIXER_VORBIS=STB -DSDL2MIXER_WAVE=ON -DSDL2_DIR="$prefix/lib/cmake/SDL2"
    cp "$d/_web_build/libSDL2_mixer.a" "$prefix/lib/"
    cp "$d/include/SDL_mixer.h" "$prefix/include/SDL2/"
    mark mixer "$d"
}

# timed STEP: runs build_STEP and logs how long it took when it built.
timed() {
    local t0
    t0=$(date +%s)
    "build_$1"
    local dt=$(( $(date +%s) - t0 ))
    [ "$dt" -gt 1 ] && log "$1: $dt s"
    return 0
}

start=$(date +%s)
for step in zlib png gif jpeg freetype sdl2 mixer; do timed "$step"; done
log "ready in $(( $(date +%s) - start )) s: $prefix"
echo "$prefix"
