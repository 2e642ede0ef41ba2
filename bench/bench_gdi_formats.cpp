// Small drawing calls on a large DIB section of each depth: a 10x10
// rectangle, a 100-pixel line and a 16-character text line on a 2048x2048
// bitmap of 8, 16, 24 and 32 bpp. Drawing is done in place in the bitmap's
// format, so each call should cost about the same whatever the depth and
// however large the bitmap (compare each depth's time with 32 bpp's).
#include <benchmark/benchmark.h>

#include <vector>

#include "windows.h"

namespace {

constexpr int kSize = 2048;

struct Section {
    HDC dc = nullptr;
    HBITMAP bmp = nullptr;
    HGDIOBJ old = nullptr;
    explicit Section(int bpp) {
        // A grey ramp colour table for 8 bpp.
        std::vector<unsigned char> mem(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
        auto* bi = reinterpret_cast<BITMAPINFO*>(mem.data());
        bi->bmiHeader = {sizeof(BITMAPINFOHEADER), kSize, -kSize, 1, WORD(bpp), BI_RGB, 0, 0, 0, 0, 0};
        if (bpp == 8)
            for (int i = 0; i < 256; ++i)
                bi->bmiColors[i] = RGBQUAD{BYTE(i), BYTE(255 - i), BYTE(i / 2), 0};
        void* bits = nullptr;
        dc = CreateCompatibleDC(nullptr);
        bmp = CreateDIBSection(dc, bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        old = SelectObject(dc, bmp);
    }
    ~Section() {
        SelectObject(dc, old);
        DeleteObject(bmp);
        DeleteDC(dc);
    }
};

// 16 Chinese characters in code page 936.
const char kLine[] =
    "\xD6\xD0\xCE\xC4\xB2\xE2\xCA\xD4\xBA\xBA\xD7\xD6\xD3\xCE\xCF\xB7"
    "\xD6\xD0\xCE\xC4\xB2\xE2\xCA\xD4\xBA\xBA\xD7\xD6\xD3\xCE\xCF\xB7";

void BM_Rect10x10(benchmark::State& state) {
    Section s(int(state.range(0)));
    HBRUSH br = CreateSolidBrush(RGB(240, 192, 48));
    HGDIOBJ old = SelectObject(s.dc, br);
    int i = 0;
    for (auto _ : state) {
        const int x = 100 + (i & 63) * 7, y = 900 + (i & 31) * 5;
        Rectangle(s.dc, x, y, x + 10, y + 10);
        ++i;
        benchmark::ClobberMemory();
    }
    SelectObject(s.dc, old);
    DeleteObject(br);
}

void BM_Line100(benchmark::State& state) {
    Section s(int(state.range(0)));
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(16, 32, 128));
    HGDIOBJ old = SelectObject(s.dc, pen);
    int i = 0;
    for (auto _ : state) {
        const int x = 300 + (i & 63), y = 1000 + (i & 31);
        MoveToEx(s.dc, x, y, nullptr);
        LineTo(s.dc, x + 100, y + 37);
        ++i;
        benchmark::ClobberMemory();
    }
    SelectObject(s.dc, old);
    DeleteObject(pen);
}

void BM_Text16(benchmark::State& state) {
    Section s(int(state.range(0)));
    SetBkMode(s.dc, TRANSPARENT);
    SetTextColor(s.dc, RGB(200, 40, 40));
    TextOutA(s.dc, 0, 0, kLine, 32);  // glyphs rendered before timing
    int i = 0;
    for (auto _ : state) {
        TextOutA(s.dc, 200 + (i & 15), 1200 + (i & 31), kLine, 32);
        ++i;
        benchmark::ClobberMemory();
    }
}

BENCHMARK(BM_Rect10x10)->Arg(32)->Arg(24)->Arg(16)->Arg(8);
BENCHMARK(BM_Line100)->Arg(32)->Arg(24)->Arg(16)->Arg(8);
BENCHMARK(BM_Text16)->Arg(32)->Arg(24)->Arg(16)->Arg(8);

}  // namespace

BENCHMARK_MAIN();
