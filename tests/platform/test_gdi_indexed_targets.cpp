// Drawing on DIB sections with colour tables: what index each operation
// stores. Expectations were taken from a reference GDI's output for the
// same calls.
#include <cmath>
#include <cstring>

#include "gdi_test_util.h"

using namespace gdi_test;

namespace {

// A one-row DIB section of `bpp` bits; 8 bpp gets an 8x8x4 colour cube,
// 1 bpp the entries (0, 0x40, 0) and (0xFF, 0xFF, 0xF0).
struct Indexed {
    HDC dc = nullptr;
    HBITMAP bm = nullptr;
    HGDIOBJ old = nullptr;
    uint8_t* bits = nullptr;
    int bpp;
    explicit Indexed(int bits_per_pixel) : bpp(bits_per_pixel) {
        IndexedDibInfo bi(bpp, 8, 1);
        for (int i = 0; i < 256; ++i) bi.pal[i] = RGBQUAD{BYTE((i >> 6) * 85), BYTE(((i >> 3) & 7) * 36), BYTE((i & 7) * 36), 0};
        if (bpp == 1) {
            bi.pal[0] = RGBQUAD{0, 0x40, 0, 0};
            bi.pal[1] = RGBQUAD{0xF0, 0xFF, 0xFF, 0};
        }
        dc = CreateCompatibleDC(nullptr);
        void* p = nullptr;
        bm = CreateDIBSection(dc, bi.info(), DIB_RGB_COLORS, &p, nullptr, 0);
        bits = static_cast<uint8_t*>(p);
        old = SelectObject(dc, bm);
    }
    ~Indexed() {
        SelectObject(dc, old);
        DeleteObject(bm);
        DeleteDC(dc);
    }
    int at(int x) const { return bpp == 8 ? bits[x] : (bits[0] >> (7 - x)) & 1; }
};

void Fill(HDC dc, int x, COLORREF c) {
    RECT r{x, 0, x + 1, 1};
    HBRUSH b = CreateSolidBrush(c);
    FillRect(dc, &r, b);
    DeleteObject(b);
}

}  // namespace

TEST(GdiIndexedTargets, EightBitsTakeNearestEntriesAndCombineIndices) {
    Canvas src(4, 1);
    const uint32_t colours[4] = {0x101010, 0x282828, 0xA0A0A0, 0xE8E8E8};
    for (int x = 0; x < 4; ++x) src.at(x, 0) = colours[x];
    Indexed d(8);
    std::memset(d.bits, 0x55, 8);
    // Blitted colours: each channel reduced to 5 bits, then the nearest entry
    // (0x101010 is nearer black, yet lands on entry 9).
    ASSERT_TRUE(BitBlt(d.dc, 0, 0, 4, 1, src.dc, 0, 0, SRCCOPY));
    ASSERT_TRUE(BitBlt(d.dc, 4, 0, 4, 1, src.dc, 0, 0, SRCINVERT));  // index XOR index
    const int after_blits[8] = {9, 73, 173, 255, 92, 28, 248, 170};
    for (int x = 0; x < 8; ++x) EXPECT_EQ(d.at(x), after_blits[x]) << x;
    ASSERT_TRUE(PatBlt(d.dc, 0, 0, 2, 1, DSTINVERT));
    Fill(d.dc, 2, RGB(0x10, 0x10, 0x10));  // a brush colour: the nearest entry as it is
    Fill(d.dc, 3, RGB(0x10, 0x10, 0x10));
    HBRUSH b = CreateSolidBrush(RGB(0xE8, 0xE8, 0xE8));
    HGDIOBJ ob = SelectObject(d.dc, b);
    ASSERT_TRUE(PatBlt(d.dc, 4, 0, 4, 1, PATINVERT));
    SelectObject(d.dc, ob);
    DeleteObject(b);
    const int after_patterns[8] = {246, 182, 0, 0, 170, 234, 14, 92};
    for (int x = 0; x < 8; ++x) EXPECT_EQ(d.at(x), after_patterns[x]) << x;
    // Read back as a source, an index is its table colour.
    Canvas back(8, 1);
    ASSERT_TRUE(BitBlt(back.dc, 0, 0, 8, 1, d.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(back.at(4, 0), 0x0048B4AAu);  // entry 170: red 2*36, green 5*36, blue 2*85
}

TEST(GdiIndexedTargets, TwoColourBitmapsKeepDrawingApartFromTheBackground) {
    Canvas src(4, 1);
    const uint32_t colours[4] = {0x004000, 0xFFFFF0, 0x303030, 0xC0C0C0};
    for (int x = 0; x < 4; ++x) src.at(x, 0) = colours[x];
    Indexed d(1);
    d.bits[0] = 0;
    SetBkColor(d.dc, RGB(0x20, 0x40, 0x20));
    ASSERT_TRUE(BitBlt(d.dc, 0, 0, 4, 1, src.dc, 0, 0, SRCCOPY));  // blitted: the nearest entry
    Fill(d.dc, 4, RGB(0x20, 0x40, 0x20));  // the background colour: its nearest entry
    Fill(d.dc, 5, RGB(0x00, 0x40, 0x00));  // an entry's own colour: that entry
    Fill(d.dc, 6, RGB(0xFF, 0xFF, 0xFF));  // anything else: the other entry
    Fill(d.dc, 7, RGB(0x00, 0x00, 0x00));
    const int want[8] = {0, 1, 0, 1, 0, 0, 1, 1};
    for (int x = 0; x < 8; ++x) EXPECT_EQ(d.at(x), want[x]) << x;
}

// Under rotation an Ellipse's corner is its logical size mapped as a vector,
// which can be smaller than the box it is drawn in: here an 18x28 box with a
// 27-row corner, so the straight sides run over rows 59..68, not 60..67.
TEST(GdiIndexedTargets, RotatedEllipseCornerIsItsMappedSize) {
    Canvas c(100, 120, 0);
    SetGraphicsMode(c.dc, GM_ADVANCED);
    const double a = 0.3;
    XFORM xf{float(std::cos(a)), float(std::sin(a)), float(-std::sin(a)), float(std::cos(a)), 50, 40};
    SetWorldTransform(c.dc, &xf);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0x10, 0x20, 0x80));
    HBRUSH br = CreateSolidBrush(RGB(0xF0, 0xC0, 0x30));
    SelectObject(c.dc, pen);
    SelectObject(c.dc, br);
    ASSERT_TRUE(Ellipse(c.dc, -10, 14, 15, 35));
    RECT box = c.changed(0);
    EXPECT_EQ(box.left, 36);
    EXPECT_EQ(box.top, 50);
    EXPECT_EQ(box.right, 53);
    EXPECT_EQ(box.bottom, 77);
    for (int y = 59; y <= 68; ++y) EXPECT_EQ(c.at(36, y), 0x102080u) << y;
    EXPECT_EQ(c.at(36, 58), 0u);
    EXPECT_EQ(c.at(36, 69), 0u);
    SelectObject(c.dc, GetStockObject(BLACK_PEN));
    SelectObject(c.dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(pen);
    DeleteObject(br);
}

// Monochrome bitmaps (not DIB sections): a blitted colour is white where it
// equals the source's background colour; a solid brush is an ordered 8x8
// dither of its grey level; a pen is black unless it is white.
TEST(GdiIndexedTargets, MonochromeBitmapsDitherBrushesAndTestBlitsAgainstTheBackground) {
    HBITMAP mono = CreateBitmap(16, 10, 1, 1, nullptr);
    HDC m = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(m, mono);
    Canvas src(4, 1);
    const uint32_t colours[4] = {0x00FF8040, 0x00FF8041, 0x00FFFFFF, 0x00FF8040};
    for (int x = 0; x < 4; ++x) src.at(x, 0) = colours[x];
    SetBkColor(src.dc, RGB(0xFF, 0x80, 0x40));
    ASSERT_TRUE(BitBlt(m, 8, 9, 4, 1, src.dc, 0, 0, SRCCOPY));
    RECT r{0, 0, 8, 8};
    HBRUSH grey = CreateSolidBrush(RGB(0x90, 0x90, 0x90));  // 36 of 64 cells white
    FillRect(m, &r, grey);
    RECT r2{8, 0, 16, 8};
    HBRUSH red = CreateSolidBrush(RGB(0xFF, 0, 0));  // 19 of 64
    FillRect(m, &r2, red);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0xFC, 0xFC, 0xFC));
    HGDIOBJ op = SelectObject(m, pen);
    MoveToEx(m, 0, 8, nullptr);
    LineTo(m, 8, 8);
    SelectObject(m, op);
    // Read back through a colour blit: 0 bits take the text colour, 1 bits the background.
    Canvas out(16, 10, 0x00123456);
    SetTextColor(out.dc, RGB(0, 0, 0));
    SetBkColor(out.dc, RGB(255, 255, 255));
    ASSERT_TRUE(BitBlt(out.dc, 0, 0, 16, 10, m, 0, 0, SRCCOPY));
    auto white = [&](int x, int y) { return out.at(x, y) == 0x00FFFFFFu; };
    const char* grey_rows[8] = {"01010101", "10101010", "01010101", "11101110",
                                "01010101", "10101010", "01010101", "11101110"};
    int red_white = 0;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            EXPECT_EQ(white(x, y), grey_rows[y][x] == '1') << x << "," << y;
            red_white += white(8 + x, y);
        }
    EXPECT_EQ(red_white, 19);
    for (int x = 0; x < 8; ++x) EXPECT_FALSE(white(x, 8)) << x;  // the near-white pen
    const bool blit[4] = {true, false, false, true};
    for (int x = 0; x < 4; ++x) EXPECT_EQ(white(8 + x, 9), blit[x]) << x;
    SelectObject(m, old);
    DeleteObject(mono);
    DeleteDC(m);
    DeleteObject(grey);
    DeleteObject(red);
    DeleteObject(pen);
}

// SetPixel on a bitmap with a colour table stores the nearest entry (plain
// distance, no background rule) and returns that entry's colour.
TEST(GdiIndexedTargets, SetPixelStoresAndReturnsTheNearestEntry) {
    struct Case {
        int bpp;
        COLORREF set, got;
    } cases[] = {
        {8, RGB(0x10, 0x10, 0x10), RGB(0, 0, 0)},      {8, RGB(0x90, 0x90, 0x90), RGB(0x90, 0x90, 0xAA)},
        {8, RGB(0xE8, 0x30, 0x77), RGB(0xD8, 0x24, 0x55)}, {1, RGB(0x10, 0x10, 0x10), RGB(0, 0x40, 0)},
        {1, RGB(0xE8, 0x30, 0x77), RGB(0xFF, 0xFF, 0xF0)}, {1, RGB(0x90, 0x90, 0x90), RGB(0xFF, 0xFF, 0xF0)},
    };
    for (const Case& k : cases) {
        Indexed d(k.bpp);
        SetBkColor(d.dc, RGB(0x20, 0x40, 0x20));
        EXPECT_EQ(SetPixel(d.dc, 3, 0, k.set), k.got) << k.bpp << " " << std::hex << k.set;
        EXPECT_EQ(GetPixel(d.dc, 3, 0), k.got);
        EXPECT_EQ(GetPixel(d.dc, 8, 0), CLR_INVALID);
    }
}

// Codes that combine pattern and source place the pattern from a shifted
// origin; a source of another format (here 32 bpp onto 8 bpp) is converted
// into a copy first, so the shift no longer subtracts the source column.
TEST(GdiIndexedTargets, PatternShiftOfConvertedSources) {
    Indexed d(8);
    std::memset(d.bits, 0, 8);
    Canvas src(8, 1, 0);
    Canvas same(16, 1, 0);
    HBRUSH h8 = CreateHatchBrush(HS_BDIAGONAL, RGB(0xFF, 0xFF, 0xFF));
    HBRUSH h32 = CreateHatchBrush(HS_BDIAGONAL, RGB(0xFF, 0xFF, 0xFF));
    HGDIOBJ o8 = SelectObject(d.dc, h8);
    HGDIOBJ o32 = SelectObject(same.dc, h32);
    SetBkColor(d.dc, RGB(0, 0, 0));
    SetBkColor(same.dc, RGB(0, 0, 0));
    ASSERT_TRUE(BitBlt(d.dc, 1, 0, 7, 1, src.dc, 1, 0, 0x3C0000));     // PSx
    ASSERT_TRUE(BitBlt(same.dc, 5, 0, 8, 1, src.dc, 1, 0, 0x3C0000));
    for (int x = 0; x < 8; ++x) EXPECT_EQ(d.at(x), x == 1 ? 255 : 0) << x;  // hatch column 7 moved by 2*1
    for (int x = 0; x < 16; ++x) EXPECT_EQ(same.at(x, 0), x == 7 ? 0x00FFFFFFu : 0u) << x;
    SelectObject(d.dc, o8);
    SelectObject(same.dc, o32);
    DeleteObject(h8);
    DeleteObject(h32);
}

// Between bitmaps of one depth and one colour table the indices are copied,
// even where the table repeats a colour; another table matches colours.
TEST(GdiIndexedTargets, SameTableCopiesIndices) {
    auto make = [](int shift, uint8_t** bits, HBITMAP* bm) {
        IndexedDibInfo bi(8, 16, 1);
        for (int x = 0; x < 256; ++x) {
            BYTE v = BYTE(((x + shift) & 15) * 17);
            bi.pal[x] = RGBQUAD{v, v, v, 0};
        }
        HDC dc = CreateCompatibleDC(nullptr);
        *bm = CreateDIBSection(dc, bi.info(), DIB_RGB_COLORS, reinterpret_cast<void**>(bits),
                               nullptr, 0);
        SelectObject(dc, *bm);
        return dc;
    };
    uint8_t *sb, *db1, *db2;
    HBITMAP b0, b1, b2;
    HDC s = make(0, &sb, &b0), d1 = make(0, &db1, &b1), d2 = make(3, &db2, &b2);
    for (int x = 0; x < 16; ++x) sb[x] = uint8_t(x * 17 + 3);
    ASSERT_TRUE(BitBlt(d1, 0, 0, 16, 1, s, 0, 0, SRCCOPY));
    ASSERT_TRUE(BitBlt(d2, 0, 0, 16, 1, s, 0, 0, SRCCOPY));
    for (int x = 0; x < 16; ++x) {
        EXPECT_EQ(db1[x], sb[x]) << x;
        EXPECT_EQ(db2[x], x) << x;  // grey (x + 3) * 17 is entry x of the shifted table
    }
    for (HDC dc : {s, d1, d2}) DeleteDC(dc);
    for (HBITMAP b : {b0, b1, b2}) DeleteObject(b);
}
