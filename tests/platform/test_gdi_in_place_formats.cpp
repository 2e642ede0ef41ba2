// Drawing on 24- and 16-bpp DIB sections gives, pixel for pixel, what the
// same drawing on a 32-bpp section gives reduced to the format (each
// channel's top bits): every mix and raster operation is bitwise, so it
// commutes with keeping top bits. Packed 1- and 4-bpp rows change exactly
// the pixels drawn, up to the last pixel of a run, and no padding.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "gdi_test_util.h"

using namespace gdi_test;

namespace {

constexpr int kW = 37, kH = 23;

// A DIB section of any depth (16 bpp as 5-5-5 or, with bitfields, 5-6-5).
struct Dib {
    HDC dc = nullptr;
    HBITMAP bmp = nullptr;
    HGDIOBJ old = nullptr;
    uint8_t* bits = nullptr;
    int bpp, stride;
    bool top_down, rgb565;
    Dib(int depth, bool topdown, bool five_six_five = false) : bpp(depth), top_down(topdown), rgb565(five_six_five) {
        struct {
            BITMAPINFOHEADER h;
            DWORD masks[3];
        } bi{};
        bi.h = {sizeof(BITMAPINFOHEADER), kW, topdown ? -kH : kH, 1, WORD(depth), BI_RGB, 0, 0, 0, 0, 0};
        if (five_six_five) {
            bi.h.biCompression = BI_BITFIELDS;
            bi.masks[0] = 0xF800, bi.masks[1] = 0x07E0, bi.masks[2] = 0x001F;
        }
        void* p = nullptr;
        dc = CreateCompatibleDC(nullptr);
        bmp = CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS, &p, nullptr, 0);
        bits = static_cast<uint8_t*>(p);
        old = SelectObject(dc, bmp);
        stride = ((kW * depth + 31) / 32) * 4;
    }
    ~Dib() {
        SelectObject(dc, old);
        DeleteObject(bmp);
        DeleteDC(dc);
    }
    uint8_t* row(int y) const { return bits + size_t(top_down ? y : kH - 1 - y) * size_t(stride); }
    // 0x00RRGGBB of a pixel, each 16-bpp field widened by repeating its top bits.
    uint32_t get(int x, int y) const {
        const uint8_t* p = row(y);
        if (bpp == 32) return (p[4 * x] | p[4 * x + 1] << 8 | p[4 * x + 2] << 16);
        if (bpp == 24) return p[3 * x] | p[3 * x + 1] << 8 | p[3 * x + 2] << 16;
        const uint32_t v = p[2 * x] | p[2 * x + 1] << 8;
        uint32_t r, g, b;
        if (rgb565) r = v >> 11 & 31, g = v >> 5 & 63, b = v & 31, g = g << 2 | g >> 4;
        else r = v >> 10 & 31, g = v >> 5 & 31, b = v & 31, g = g << 3 | g >> 2;
        return (r << 3 | r >> 2) << 16 | g << 8 | (b << 3 | b >> 2);
    }
    void put(int x, int y, uint32_t c) {
        uint8_t* p = row(y);
        if (bpp == 32) {
            std::memcpy(p + 4 * x, &c, 4);
        } else if (bpp == 24) {
            p[3 * x] = uint8_t(c), p[3 * x + 1] = uint8_t(c >> 8), p[3 * x + 2] = uint8_t(c >> 16);
        } else {
            const uint32_t r = c >> 16 & 0xFF, g = c >> 8 & 0xFF, b = c & 0xFF;
            const uint32_t v = rgb565 ? (r >> 3) << 11 | (g >> 2) << 5 | b >> 3 : (r >> 3) << 10 | (g >> 3) << 5 | b >> 3;
            p[2 * x] = uint8_t(v), p[2 * x + 1] = uint8_t(v >> 8);
        }
    }
    // The colour a 32-bpp pixel becomes once stored in this format.
    uint32_t reduce(uint32_t c) const {
        if (bpp != 16) return c & 0xFFFFFF;
        const uint32_t keep = rgb565 ? 0xF8FCF8 : 0xF8F8F8;
        c &= keep;
        const uint32_t r = c >> 16, g = c >> 8 & 0xFF, b = c & 0xFF;
        return (r | r >> 5) << 16 | (g | (rgb565 ? g >> 6 : g >> 5)) << 8 | (b | b >> 5);
    }
};

using Draw = std::function<void(HDC)>;

struct Case {
    const char* name;
    Draw draw;
    bool arithmetic;  // blends colours (glyph edges): exact on 24 bpp only
};

// A source of colour noise for the blits.
struct Noise {
    Canvas c{kW, kH};
    Noise() {
        uint32_t s = 99;
        for (int i = 0; i < kW * kH; ++i) c.bits[i] = (s = s * 1103515245u + 12345u) >> 8 & 0xFFFFFF;
    }
};

std::vector<Case> cases(HDC noise) {
    return {
        {"xor pen over a hatch",
         [](HDC dc) {
             HBRUSH br = CreateHatchBrush(HS_DIAGCROSS, RGB(200, 10, 90));
             HPEN pen = CreatePen(PS_SOLID, 3, RGB(17, 230, 140));
             HGDIOBJ ob = SelectObject(dc, br), op = SelectObject(dc, pen);
             SetROP2(dc, R2_XORPEN);
             Rectangle(dc, 2, 3, 30, 20);
             SelectObject(dc, ob), SelectObject(dc, op);
             DeleteObject(br), DeleteObject(pen);
         },
         false},
        {"dashed lines, not-xor, crossing themselves",
         [](HDC dc) {
             HPEN pen = CreatePen(PS_DASHDOT, 1, RGB(90, 180, 33));
             HGDIOBJ op = SelectObject(dc, pen);
             SetROP2(dc, R2_NOTXORPEN);
             POINT pts[] = {{0, 0}, {36, 22}, {36, 0}, {0, 22}, {18, 0}, {18, 22}};
             Polyline(dc, pts, 6);
             SetROP2(dc, R2_MERGEPENNOT);
             SelectObject(dc, GetStockObject(BLACK_PEN));
             MoveToEx(dc, 1, 11, nullptr);
             LineTo(dc, 36, 13);  // to the last column
             SelectObject(dc, op);
             DeleteObject(pen);
         },
         false},
        {"ellipse and winding polygon, mask-pen brush",
         [](HDC dc) {
             HBRUSH br = CreateSolidBrush(RGB(33, 66, 250));
             HGDIOBJ ob = SelectObject(dc, br);
             SetROP2(dc, R2_MASKPEN);
             Ellipse(dc, -4, -2, 25, 17);
             SetPolyFillMode(dc, WINDING);
             SetROP2(dc, R2_NOTMERGEPEN);
             POINT star[] = {{18, 1}, {26, 21}, {6, 8}, {31, 8}, {10, 21}};
             Polygon(dc, star, 5);
             SelectObject(dc, ob);
             DeleteObject(br);
         },
         false},
        {"pattern and destination raster operations",
         [](HDC dc) {
             HBRUSH br = CreateHatchBrush(HS_BDIAGONAL, RGB(250, 250, 5));
             HGDIOBJ ob = SelectObject(dc, br);
             SetBkColor(dc, RGB(3, 77, 140));
             PatBlt(dc, 1, 1, 35, 21, PATINVERT);
             PatBlt(dc, 5, 4, 12, 30, DSTINVERT);
             SelectObject(dc, ob);
             DeleteObject(br);
         },
         false},
        {"blits from noise and from itself",
         [noise](HDC dc) {
             BitBlt(dc, 3, 2, 30, 18, noise, 1, 1, SRCINVERT);
             BitBlt(dc, 0, 0, 20, 12, noise, 10, 5, 0x00B8074A);
             BitBlt(dc, 4, 3, 33, 20, dc, 0, 0, SRCCOPY);  // overlapping copy within one bitmap
             StretchBlt(dc, 30, 20, -25, -15, noise, 0, 0, 12, 9, SRCPAINT);
         },
         false},
        {"text, opaque and transparent",
         [](HDC dc) {
             SetTextColor(dc, RGB(250, 20, 60));
             SetBkColor(dc, RGB(10, 200, 30));
             TextOutA(dc, -3, 1, "Wg", 2);
             SetBkMode(dc, TRANSPARENT);
             TextOutA(dc, 14, 6, "A&q", 3);
         },
         true},
    };
}

TEST(GdiInPlaceFormats, DeepFormatsMatchThirtyTwoBitsReduced) {
    Noise noise;
    struct Format {
        const char* name;
        int bpp;
        bool top_down, rgb565;
    };
    const Format formats[] = {{"24 top-down", 24, true, false},
                              {"24 bottom-up", 24, false, false},
                              {"16 5-5-5", 16, true, false},
                              {"16 5-6-5 bottom-up", 16, false, true}};
    for (const Format& f : formats)
        for (const Case& c : cases(noise.c.dc)) {
            if (c.arithmetic && f.bpp == 16) continue;
            SCOPED_TRACE(std::string(f.name) + ": " + c.name);
            Dib deep(f.bpp, f.top_down, f.rgb565), full(32, true);
            // The same background on both: a gradient already in the format's colours.
            for (int y = 0; y < kH; ++y)
                for (int x = 0; x < kW; ++x) {
                    const uint32_t v = deep.reduce(uint32_t(x * 7) << 16 | uint32_t(y * 11) << 8 | uint32_t(x * y));
                    deep.put(x, y, v);
                    full.put(x, y, v);
                }
            c.draw(full.dc);
            c.draw(deep.dc);
            int wrong = 0;
            for (int y = 0; y < kH; ++y)
                for (int x = 0; x < kW; ++x)
                    if (deep.get(x, y) != deep.reduce(full.get(x, y)) && wrong++ < 3)
                        ADD_FAILURE() << "at " << x << "," << y << ": " << std::hex << deep.get(x, y) << " against "
                                      << deep.reduce(full.get(x, y));
            EXPECT_EQ(wrong, 0);
        }
}

// 5-5-5 pixels have a spare top bit: a call that leaves a pixel's colour as
// it was leaves its stored bits as they were.
TEST(GdiInPlaceFormats, UnchangedFiveFiveFivePixelsKeepTheirSpareBit) {
    Dib d(16, true);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) d.row(y)[2 * x] = 0x1F, d.row(y)[2 * x + 1] = 0x80;  // blue, spare bit set
    const std::vector<uint8_t> before(d.bits, d.bits + size_t(d.stride) * kH);
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    RECT r{0, 0, kW, kH};
    FillRect(d.dc, &r, blue);                 // the colour it already has
    PatBlt(d.dc, 0, 0, kW, kH, 0x00AA0029);   // the destination as it is
    SetROP2(d.dc, R2_NOP);
    Ellipse(d.dc, 0, 0, kW, kH);
    SetBkMode(d.dc, TRANSPARENT);
    SetTextColor(d.dc, RGB(0, 0, 255));
    TextOutA(d.dc, 2, 2, "Mg", 2);            // glyph edges blend blue into blue
    EXPECT_EQ(std::memcmp(before.data(), d.bits, before.size()), 0);
    // A changed pixel holds the format's bits only.
    PatBlt(d.dc, 0, 0, 1, 1, DSTINVERT);
    EXPECT_EQ(d.row(0)[0] | d.row(0)[1] << 8, 0x7FE0);
    DeleteObject(blue);
}

// Packed rows: a run starting and ending inside a byte changes those pixels
// only; the neighbours in the same bytes and the row padding keep their bits.
TEST(GdiInPlaceFormats, PackedRowsChangeExactlyTheRun) {
    struct Run {
        int bpp, x0, x1;  // pixels [x0, x1) of row 1
        DWORD rop;
    };
    const Run runs[] = {{1, 3, 19, WHITENESS}, {1, 0, 21, DSTINVERT}, {1, 7, 9, DSTINVERT}, {1, 20, 21, WHITENESS},
                        {4, 1, 6, DSTINVERT},  {4, 2, 4, DSTINVERT},  {4, 0, 7, DSTINVERT}, {4, 6, 7, DSTINVERT}};
    for (const Run& run : runs) {
        SCOPED_TRACE(testing::Message() << run.bpp << " bpp [" << run.x0 << "," << run.x1 << ") rop " << std::hex
                                        << run.rop);
        const int w = run.bpp == 1 ? 21 : 7, h = 3;
        IndexedDibInfo bi(run.bpp, w, h);
        for (int i = 0; i < 16; ++i) bi.pal[i] = RGBQUAD{BYTE(i * 16), BYTE(i * 16), BYTE(i * 16), 0};
        bi.pal[1] = RGBQUAD{255, 255, 255, 0};
        void* p = nullptr;
        HDC dc = CreateCompatibleDC(nullptr);
        HBITMAP bmp = CreateDIBSection(dc, bi.info(), DIB_RGB_COLORS, &p, nullptr, 0);
        HGDIOBJ old = SelectObject(dc, bmp);
        uint8_t* bits = static_cast<uint8_t*>(p);
        const int stride = 4;  // both rows fit in one 32-bit word
        std::memset(bits, 0xA5, size_t(stride) * h);
        const std::vector<uint8_t> before(bits, bits + stride * h);
        PatBlt(dc, run.x0, 1, run.x1 - run.x0, 1, run.rop);
        // Expected: the fields of [x0, x1) in row 1 inverted, or set to 1 (white) by WHITENESS.
        std::vector<uint8_t> want = before;
        for (int x = run.x0; x < run.x1; ++x) {
            uint8_t& b = want[size_t(stride) + size_t(x * run.bpp / 8)];
            const int shift = 8 - run.bpp - (x * run.bpp) % 8;
            const uint8_t field = uint8_t(((1 << run.bpp) - 1) << shift);
            if (run.rop == DSTINVERT) b ^= field;
            else b = uint8_t((b & ~field) | (1 << shift));
        }
        EXPECT_EQ(std::vector<uint8_t>(bits, bits + stride * h), want);
        SelectObject(dc, old);
        DeleteObject(bmp);
        DeleteDC(dc);
    }
}

}  // namespace
