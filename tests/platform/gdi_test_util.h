// gdi_test_util.h — helpers for the GDI tests: a memory DC over a 32-bpp
// DIB section whose pixels the tests read directly.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "windows.h"

namespace gdi_test {

// Pixel value (0x00RRGGBB) of a COLORREF.
inline uint32_t px(COLORREF c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); }

// A top-down DIB header, width x height at bpp, followed by room for a full
// colour table: what CreateDIBSection takes for an indexed section.
struct IndexedDibInfo {
    BITMAPINFOHEADER h{};
    RGBQUAD pal[256]{};
    IndexedDibInfo(int bpp, int width, int height) {
        h.biSize = sizeof h;
        h.biWidth = width;
        h.biHeight = -height;
        h.biPlanes = 1;
        h.biBitCount = WORD(bpp);
    }
    BITMAPINFO* info() { return reinterpret_cast<BITMAPINFO*>(this); }
};

struct Canvas {
    HDC dc = nullptr;
    HBITMAP bmp = nullptr;
    HGDIOBJ old = nullptr;
    uint32_t* bits = nullptr;
    int w = 0, h = 0;
    bool top_down = true;

    Canvas(int width, int height, uint32_t fill = 0, bool topdown = true) : w(width), h(height), top_down(topdown) {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = topdown ? -height : height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        void* p = nullptr;
        dc = CreateCompatibleDC(nullptr);
        bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
        bits = static_cast<uint32_t*>(p);
        old = SelectObject(dc, bmp);
        clear(fill);
    }
    ~Canvas() {
        SelectObject(dc, old);
        DeleteObject(bmp);
        DeleteDC(dc);
    }
    void clear(uint32_t v) {
        for (int i = 0; i < w * h; ++i) bits[i] = v;
    }
    uint32_t& at(int x, int y) { return bits[(top_down ? y : h - 1 - y) * w + x]; }
    // The set of (x, y) whose pixel differs from `background`, as a bounding box.
    RECT changed(uint32_t background) {
        RECT r{w, h, -1, -1};
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (at(x, y) != background) {
                    r.left = std::min<LONG>(r.left, x);
                    r.top = std::min<LONG>(r.top, y);
                    r.right = std::max<LONG>(r.right, x);
                    r.bottom = std::max<LONG>(r.bottom, y);
                }
        return r;  // inclusive; right < left when nothing changed
    }
    int count(uint32_t v) {
        int n = 0;
        for (int i = 0; i < w * h; ++i) n += bits[i] == v;
        return n;
    }
};

inline void ExpectBox(const RECT& r, int l, int t, int rr, int b) {
    EXPECT_EQ(r.left, l);
    EXPECT_EQ(r.top, t);
    EXPECT_EQ(r.right, rr);
    EXPECT_EQ(r.bottom, b);
}

}  // namespace gdi_test
