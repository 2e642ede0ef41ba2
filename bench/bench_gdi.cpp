// GDI engine benchmarks: solid rectangle fill against memset, filled shapes
// against a memset of their rows, GBK text output with a fresh and with a
// cached font, and a full-size SRCCOPY blit.
#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <cstring>
#include <vector>

#include "dib_surface.h"
#include "windows.h"

namespace {

using bench::kH;
using bench::kW;
using bench::Surface;

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

// ---- filled shapes (1-px pen, solid brush), each next to its floor: memset
// of the rows the shape's box covers, row by row as the shape writes them.
// Both are timed in processor time, which a busy machine disturbs less.

double CpuNs() { return double(std::clock()) * (1e9 / CLOCKS_PER_SEC); }

double RowsMemsetNs(uint32_t* bits, int w, int h) {
    const int reps = 20000;
    double t0 = CpuNs();
    for (int i = 0; i < reps; ++i) {
        for (int y = 0; y < h; ++y) std::memset(bits + size_t(y) * kW, i & 0xFF, size_t(w) * 4);
        benchmark::ClobberMemory();
    }
    return (CpuNs() - t0) / reps;
}

template <class Draw>
void ShapeBench(benchmark::State& state, int w, int h, Draw draw) {
    Surface s;
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(16, 32, 128));
    HBRUSH br = CreateSolidBrush(RGB(240, 192, 48));
    SelectObject(s.dc, pen);
    SelectObject(s.dc, br);
    int64_t n = 0;
    double t0 = CpuNs();
    for (auto _ : state) {
        int x = int(n * 37 % (kW - w)), y = int(n * 23 % (kH - h));
        draw(s.dc, x, y);
        benchmark::ClobberMemory();
        ++n;
    }
    double shape_ns = (CpuNs() - t0) / double(n ? n : 1);
    double floor_ns = RowsMemsetNs(s.bits, w, h);
    state.counters["floor_ns"] = floor_ns;
    state.counters["ratio_vs_floor"] = shape_ns / floor_ns;
    SelectObject(s.dc, GetStockObject(BLACK_PEN));
    SelectObject(s.dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(pen);
    DeleteObject(br);
}

void BM_Ellipse100x80(benchmark::State& state) {
    ShapeBench(state, 100, 80, [](HDC dc, int x, int y) { Ellipse(dc, x, y, x + 100, y + 80); });
}
BENCHMARK(BM_Ellipse100x80);

void BM_Ellipse8x8(benchmark::State& state) {
    ShapeBench(state, 8, 8, [](HDC dc, int x, int y) { Ellipse(dc, x, y, x + 8, y + 8); });
}
BENCHMARK(BM_Ellipse8x8);

void BM_RoundRect100x80(benchmark::State& state) {
    ShapeBench(state, 100, 80, [](HDC dc, int x, int y) { RoundRect(dc, x, y, x + 100, y + 80, 30, 20); });
}
BENCHMARK(BM_RoundRect100x80);

void BM_Pie100x80(benchmark::State& state) {
    ShapeBench(state, 100, 80, [](HDC dc, int x, int y) { Pie(dc, x, y, x + 100, y + 80, x + 100, y, x, y); });
}
BENCHMARK(BM_Pie100x80);

// A {10/3} star of radius 100 in WINDING mode: edges cross, the middle fills.
void BM_PolygonStarWinding200(benchmark::State& state) {
    static const int deca[10][2] = {{100, 0},   {81, 59},   {31, 95},   {-31, 95}, {-81, 59},
                                    {-100, 0}, {-81, -59}, {-31, -95}, {31, -95}, {81, -59}};
    ShapeBench(state, 200, 200, [](HDC dc, int x, int y) {
        POINT pts[10];
        for (int j = 0; j < 10; ++j)
            pts[j] = POINT{x + 100 + deca[(3 * j) % 10][0], y + 100 + deca[(3 * j) % 10][1]};
        SetPolyFillMode(dc, WINDING);
        Polygon(dc, pts, 10);
    });
}
BENCHMARK(BM_PolygonStarWinding200);

// 1-px pen lines as the reference workload draws them: 200-px rays from the
// middle at sixteen angles, and a 100-point triangle wave of 6 x 30 px legs.
void BM_Line1pxRays(benchmark::State& state) {
    static const int ray[16][2] = {{200, 0},   {185, 77},   {141, 141},   {77, 185},   {0, 200},   {-77, 185},
                                   {-141, 141}, {-185, 77}, {-200, 0},   {-185, -77}, {-141, -141}, {-77, -185},
                                   {0, -200},  {77, -185},  {141, -141}, {185, -77}};
    Surface s;
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(16, 32, 128));
    HGDIOBJ old = SelectObject(s.dc, pen);
    unsigned i = 0;
    for (auto _ : state) {
        const int* d = ray[i++ & 15];
        MoveToEx(s.dc, kW / 2, kH / 2, nullptr);
        LineTo(s.dc, kW / 2 + d[0], kH / 2 + d[1]);
        benchmark::ClobberMemory();
    }
    SelectObject(s.dc, old);
    DeleteObject(pen);
}
BENCHMARK(BM_Line1pxRays);

void BM_Polyline100(benchmark::State& state) {
    Surface s;
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(16, 32, 128));
    HGDIOBJ old = SelectObject(s.dc, pen);
    POINT pts[100];
    for (int i = 0; i < 100; ++i) {
        int phase = i % 16;
        pts[i] = POINT{20 + 6 * i, 120 + 30 * (phase < 8 ? phase : 16 - phase)};
    }
    for (auto _ : state) {
        Polyline(s.dc, pts, 100);
        benchmark::ClobberMemory();
    }
    SelectObject(s.dc, old);
    DeleteObject(pen);
}
BENCHMARK(BM_Polyline100);

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

// ---- brushes, mix modes and ternary raster operations, each next to its floor

void BM_Memcpy640x480(benchmark::State& state) {
    std::vector<uint32_t> a(size_t(kW) * kH, 1), b(size_t(kW) * kH);
    for (auto _ : state) {
        std::memcpy(b.data(), a.data(), a.size() * 4);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kW * kH * 4);
}
BENCHMARK(BM_Memcpy640x480);

// R2_XORPEN fill of the whole surface: a read-modify-write pass (floor: memcpy).
void BM_RectangleXor640x480(benchmark::State& state) {
    Surface s;
    HBRUSH br = CreateSolidBrush(RGB(12, 34, 56));
    SelectObject(s.dc, br);
    SelectObject(s.dc, GetStockObject(NULL_PEN));
    SetROP2(s.dc, R2_XORPEN);
    for (auto _ : state) {
        Rectangle(s.dc, 0, 0, kW + 1, kH + 1);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kW * kH * 4);
    SelectObject(s.dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(br);
}
BENCHMARK(BM_RectangleXor640x480);

// Opaque hatch 200 x 200: pattern rows copied from the prepared tile
// (floor: memset of the same 200 rows of 800 bytes).
void BM_RectangleHatch200(benchmark::State& state) {
    Surface s;
    HBRUSH br = CreateHatchBrush(HS_DIAGCROSS, RGB(0x20, 0x60, 0xA0));
    SelectObject(s.dc, br);
    SelectObject(s.dc, GetStockObject(NULL_PEN));
    int i = 0;
    for (auto _ : state) {
        int x = (i * 37) % (kW - 200), y = (i * 53) % (kH - 200);
        ++i;
        Rectangle(s.dc, x, y, x + 201, y + 201);
        benchmark::ClobberMemory();
    }
    SelectObject(s.dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(br);
}
BENCHMARK(BM_RectangleHatch200);

void BM_MemsetRows200(benchmark::State& state) {
    std::vector<uint32_t> buf(size_t(kW) * kH);
    int i = 0;
    for (auto _ : state) {
        int x = (i * 37) % (kW - 200), y = (i * 53) % (kH - 200);
        ++i;
        for (int r = 0; r < 200; ++r) std::memset(&buf[size_t(y + r) * kW + x], i & 0xFF, 800);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MemsetRows200);

// Full-surface blits with source: SRCINVERT (one XOR pass), and PSDPxax
// (0xB8074A, a code with no pass of its own) with a hatch brush pattern.
void BlitRop(benchmark::State& state, DWORD rop, bool hatch) {
    Surface a, b;
    for (int i = 0; i < kW * kH; ++i) a.bits[i] = uint32_t(i) * 2654435761u;
    HBRUSH br = hatch ? CreateHatchBrush(HS_CROSS, RGB(0x20, 0x40, 0xF0)) : CreateSolidBrush(RGB(1, 2, 3));
    SelectObject(b.dc, br);
    for (auto _ : state) {
        BitBlt(b.dc, 0, 0, kW, kH, a.dc, 0, 0, rop);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kW * kH * 4);
    SelectObject(b.dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(br);
}
void BM_BitBlt640x480SrcInvert(benchmark::State& state) { BlitRop(state, SRCINVERT, false); }
BENCHMARK(BM_BitBlt640x480SrcInvert);
void BM_BitBlt640x480Rop3HatchPattern(benchmark::State& state) { BlitRop(state, 0x00B8074A, true); }
BENCHMARK(BM_BitBlt640x480Rop3HatchPattern);

void BM_SetPixelV(benchmark::State& state) {
    Surface s;
    unsigned i = 0;
    for (auto _ : state) {
        SetPixelV(s.dc, 100 + int(i & 255), 100 + int((i >> 8) & 255), COLORREF(i & 0xFFFFFF));
        ++i;
    }
}
BENCHMARK(BM_SetPixelV);

void BM_GetPixel(benchmark::State& state) {
    Surface s;
    unsigned i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(GetPixel(s.dc, 100 + int(i & 255), 100 + int((i >> 8) & 255)));
        ++i;
    }
}
BENCHMARK(BM_GetPixel);

}  // namespace

BENCHMARK_MAIN();
