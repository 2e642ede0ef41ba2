#!/usr/bin/env bash
# Builds the picture-decoder fuzzer with clang (libFuzzer, ASan, UBSan),
# generates seed pictures of every format with our own encoders, and fuzzes
# each format's corpus for SECONDS seconds (default 2 each, for CI).
# Usage: run_fuzz_decode.sh SOURCE_DIR WORK_DIR [SECONDS] [FORMATS...]
# Exits 77 (skipped) when clang or its fuzzer runtime is missing.
set -euo pipefail
src=${1:?source dir}
work=${2:?work dir}
seconds=${3:-2}
shift $(( $# >= 3 ? 3 : $# ))
formats=("$@")
[ ${#formats[@]} -gt 0 ] || formats=(bmp jpeg gif tiff png)
command -v clang++ >/dev/null || { echo "clang++ not found: skipped"; exit 77; }
mkdir -p "$work"
# The codecs with the libraries linked in (codecs_linked.cpp) rather than
# opened on first use (codec_libraries.cpp).
codecs=("$src"/platform/gdiplus/codecs.cpp "$src"/tests/fuzz/codecs_linked.cpp)
for f in "$src"/platform/gdiplus/codec_*.cpp; do
  [ "$(basename "$f")" = codec_libraries.cpp ] || codecs+=("$f")
done
flags=(-std=c++17 -O1 -g -I"$src/platform/include" -I"$src/platform")
libs=($(pkg-config --libs libpng libjpeg libtiff-4) -lgif)
if ! echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' |
     clang++ -fsanitize=fuzzer -x c++ - -o "$work/probe" 2>/dev/null; then
  echo "clang's libFuzzer runtime is missing (libclang-rt-dev): skipped"
  exit 77
fi
clang++ "${flags[@]}" -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  "$src/tests/fuzz/fuzz_decode.cpp" "${codecs[@]}" "${libs[@]}" -o "$work/fuzz_decode"
clang++ "${flags[@]}" "$src/tests/fuzz/make_seeds.cpp" "${codecs[@]}" "${libs[@]}" -o "$work/make_seeds"
mkdir -p "$work/seeds"
"$work/make_seeds" "$work/seeds"
for f in "${formats[@]}"; do
  mkdir -p "$work/corpus/$f"
  echo "== $f: ${seconds}s"
  # 512 MiB: the largest picture allowed (256 MiB of pixels) plus the codecs.
  "$work/fuzz_decode" -max_total_time="$seconds" -rss_limit_mb=1024 -malloc_limit_mb=512 -timeout=10 \
    -max_len=65536 -print_final_stats=1 -artifact_prefix="$work/" "$work/corpus/$f" "$work/seeds/$f" 2>&1 |
    grep -E '^(#[0-9]+[[:space:]]+DONE|stat::number_of_executed_units|stat::peak_rss_mb|.*(ERROR|BINGO|crash|leak))' || true
  if ls "$work"/crash-* "$work"/leak-* "$work"/oom-* "$work"/timeout-* >/dev/null 2>&1; then
    echo "the fuzzer found a failing input: $(ls "$work"/crash-* "$work"/leak-* "$work"/oom-* "$work"/timeout-* 2>/dev/null)" >&2
    exit 1
  fi
done
echo "fuzzing done"
