// GDI engine benchmarks: solid rectangle fill against memset, GBK text
// output with a fresh and with a cached font, and a full-size SRCCOPY blit.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "windows.h"

namespace {

constexpr int kW = 640, kH = 480;

struct Surface {
    HDC dc = nullptr;
    HBITMAP bmp = nullptr;
    HGDIOBJ old = nullptr;
    uint32_t* bits = nullptr;
    Surface() {
        BITMAPINFO bi{};
        bi.bmiHeader = {sizeof(BITMAPINFOHEADER), kW, -kH, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* p = nullptr;
        dc = CreateCompatibleDC(nullptr);
        bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
        bits = static_cast<uint32_t*>(p);
        old = SelectObject(dc, bmp);
    }
    ~Surface() {
        SelectObject(dc, old);
        DeleteObject(bmp);
        DeleteDC(dc);
    }
};

// 16 Chinese characters in code page 936.
const char kLine[] =
    "\xD6\xD0\xCE\xC4\xB2\xE2\xCA\xD4\xBA\xBA\xD7\xD6\xD3\xCE\xCF\xB7"
    "\xD6\xD0\xCE\xC4\xB2\xE2\xCA\xD4\xBA\xBA\xD7\xD6\xD3\xCE\xCF\xB7";

double MemsetNs(void* p, size_t bytes) {
    const int reps = 200;
    auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < reps; ++i) {
        std::memset(p, i & 0xFF, bytes);
        benchmark::ClobberMemory();
    }
    auto t1 = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::nano>(t1 - t0).count() / reps;
}

void BM_RectangleFill640x480(benchmark::State& state) {
    Surface s;
    HBRUSH br = CreateSolidBrush(RGB(12, 34, 56));
    SelectObject(s.dc, br);
    SelectObject(s.dc, GetStockObject(NULL_PEN));
    int64_t n = 0;
    auto t0 = std::chrono::steady_clock::now();
    for (auto _ : state) {
        Rectangle(s.dc, 0, 0, kW + 1, kH + 1);
        benchmark::ClobberMemory();
        ++n;
    }
    auto t1 = std::chrono::steady_clock::now();
    double rect_ns = std::chrono::duration<double, std::nano>(t1 - t0).count() / double(n ? n : 1);
    double memset_ns = MemsetNs(s.bits, size_t(kW) * kH * 4);
    state.counters["memset_ns"] = memset_ns;
    state.counters["ratio_vs_memset"] = rect_ns / memset_ns;
    state.SetBytesProcessed(n * int64_t(kW) * kH * 4);
    SelectObject(s.dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(br);
}
BENCHMARK(BM_RectangleFill640x480);

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

LOGFONTA DefaultLogFont() {
    LOGFONTA lf{};
    lf.lfHeight = 16;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = NONANTIALIASED_QUALITY;
    std::strcpy(lf.lfFaceName, "System");
    return lf;
}

// A new font object each time: its glyphs are looked up for the first time
// through this font (whatever the font engine shares between fonts).
void BM_TextOutGbkLineFreshFont(benchmark::State& state) {
    Surface s;
    LOGFONTA lf = DefaultLogFont();
    for (auto _ : state) {
        HFONT f = CreateFontIndirectA(&lf);
        HGDIOBJ old = SelectObject(s.dc, f);
        TextOutA(s.dc, 10, 10, kLine, int(sizeof kLine - 1));
        SelectObject(s.dc, old);
        DeleteObject(f);
    }
}
BENCHMARK(BM_TextOutGbkLineFreshFont);

// A first draw: each iteration uses a height the font engine holds no
// instance for (128 heights cycle through a cache of 64 fonts), so the face is
// opened at that size and all 16 glyphs are rendered anew.
void BM_TextOutGbkLineFirstRender(benchmark::State& state) {
    Surface s;
    LOGFONTA lf = DefaultLogFont();
    int i = 0;
    for (auto _ : state) {
        lf.lfHeight = 12 + (i++ % 128);
        HFONT f = CreateFontIndirectA(&lf);
        HGDIOBJ old = SelectObject(s.dc, f);
        TextOutA(s.dc, 10, 10, kLine, int(sizeof kLine - 1));
        SelectObject(s.dc, old);
        DeleteObject(f);
    }
}
BENCHMARK(BM_TextOutGbkLineFirstRender);

void BM_TextOutGbkLineCachedFont(benchmark::State& state) {
    Surface s;
    LOGFONTA lf = DefaultLogFont();
    HFONT f = CreateFontIndirectA(&lf);
    HGDIOBJ old = SelectObject(s.dc, f);
    TextOutA(s.dc, 10, 10, kLine, int(sizeof kLine - 1));  // warm the glyph cache
    for (auto _ : state) TextOutA(s.dc, 10, 10, kLine, int(sizeof kLine - 1));
    SelectObject(s.dc, old);
    DeleteObject(f);
}
BENCHMARK(BM_TextOutGbkLineCachedFont);

void BM_BitBlt640x480SrcCopy(benchmark::State& state) {
    Surface a, b;
    for (int i = 0; i < kW * kH; ++i) a.bits[i] = uint32_t(i);
    for (auto _ : state) {
        BitBlt(b.dc, 0, 0, kW, kH, a.dc, 0, 0, SRCCOPY);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kW * kH * 4);
}
BENCHMARK(BM_BitBlt640x480SrcCopy);

}  // namespace

BENCHMARK_MAIN();
