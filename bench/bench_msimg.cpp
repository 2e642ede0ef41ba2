// msimg32 benchmarks beside their floors: AlphaBlend of a 640x480 image with
// per-pixel alpha against a plain premultiplied blend loop over the same
// bytes, and GradientFill of 640x480 (both directions) against memset.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "dib_surface.h"
#include "windows.h"

namespace {

using bench::kH;
using bench::kW;
using bench::Surface;

// A premultiplied image whose alpha runs through every value.
void fill_sprite(uint32_t* p) {
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            uint32_t a = uint32_t(x + y) & 0xFF, c = a / 2;
            p[y * kW + x] = a << 24 | c << 16 | c << 8 | c;
        }
}

void BM_AlphaBlendPerPixel640x480(benchmark::State& state) {
    Surface dst, src;
    fill_sprite(src.bits);
    std::fill(dst.bits, dst.bits + kW * kH, 0x00406080u);
    const BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    for (auto _ : state) {
        AlphaBlend(dst.dc, 0, 0, kW, kH, src.dc, 0, 0, kW, kH, bf);
        benchmark::DoNotOptimize(dst.bits[0]);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kW * kH * 4);
}
BENCHMARK(BM_AlphaBlendPerPixel640x480);

// The floor: the same premultiplied "over" on the same bytes, one plain loop
// (d·(255 − a) / 255 rounded, per channel).
void BM_BlendLoop640x480(benchmark::State& state) {
    std::vector<uint32_t> dst(size_t(kW) * kH, 0x00406080u), src(size_t(kW) * kH);
    fill_sprite(src.data());
    for (auto _ : state) {
        for (size_t i = 0; i < dst.size(); ++i) {
            uint32_t s = src[i], d = dst[i], inv = 255 - (s >> 24), r = 0;
            for (int sh = 0; sh < 32; sh += 8)
                r |= ((s >> sh & 0xFF) + ((d >> sh & 0xFF) * inv + 127) / 255) << sh;
            dst[i] = r;
        }
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kW * kH * 4);
}
BENCHMARK(BM_BlendLoop640x480);

void gradient(benchmark::State& state, ULONG mode) {
    Surface dst;
    TRIVERTEX v[2] = {{0, 0, 0x2000, 0x4000, 0xFF00, 0}, {kW, kH, 0xFF00, 0xC000, 0x1000, 0}};
    GRADIENT_RECT r{0, 1};
    for (auto _ : state) {
        GradientFill(dst.dc, v, 2, &r, 1, mode);
        benchmark::DoNotOptimize(dst.bits[0]);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kW * kH * 4);
}
void BM_GradientFillH640x480(benchmark::State& state) { gradient(state, GRADIENT_FILL_RECT_H); }
void BM_GradientFillV640x480(benchmark::State& state) { gradient(state, GRADIENT_FILL_RECT_V); }
BENCHMARK(BM_GradientFillH640x480);
BENCHMARK(BM_GradientFillV640x480);

void BM_Memset640x480(benchmark::State& state) {
    std::vector<uint32_t> buf(size_t(kW) * kH);
    int i = 0;
    for (auto _ : state) {
        std::memset(buf.data(), ++i & 0xFF, buf.size() * 4);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kW * kH * 4);
}
BENCHMARK(BM_Memset640x480);

}  // namespace

BENCHMARK_MAIN();
