// StretchBlt's column and row mapping, its shrinking modes and mirrored
// extents, and blits from bitmaps of other depths. Expectations were taken
// from a reference GDI's output for the same calls.
#include <cstring>

#include "gdi_test_util.h"

using namespace gdi_test;

namespace {

// A 32x32 source whose pixel (x, y) is 0x00 (4x) (4y) 80: the red and green
// bytes name the source column and row each destination pixel took.
void Positions(Canvas& c) {
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x) c.at(x, y) = uint32_t(x * 4) << 16 | uint32_t(y * 4) << 8 | 0x80;
}
int Col(uint32_t p) { return (p & 0x80) ? int(p >> 16 & 0xFF) / 4 : -1; }
int Row(uint32_t p) { return (p & 0x80) ? int(p >> 8 & 0xFF) / 4 : -1; }

}  // namespace

TEST(GdiStretch, ColumnsAndRowsTakeCentredSourceSteps) {
    struct Case {
        int sw, sh, dw, dh;
        std::vector<int> cols, rows;  // source column of each destination column, row of each row
    } cases[] = {
        {10, 7, 23, 9, {0, 0, 1, 1, 1, 2, 2, 3, 3, 4, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 8, 9, 9}, {0, 1, 1, 2, 3, 4, 5, 5, 6}},
        {3, 3, 11, 13, {0, 0, 0, 0, 1, 1, 1, 2, 2, 2, 2}, {0, 0, 0, 0, 1, 1, 1, 1, 1, 2, 2, 2, 2}},
        // Shrinking in COLORONCOLOR: the last source column of a run, the first row.
        {13, 11, 5, 4, {2, 4, 7, 9, 12}, {0, 3, 6, 8}},
        {16, 16, 9, 7, {1, 3, 4, 6, 8, 10, 11, 13, 15}, {0, 2, 5, 7, 9, 11, 14}},
        {17, 3, 2, 2, {8, 16}, {0, 2}},
        {7, 7, 7, 7, {0, 1, 2, 3, 4, 5, 6}, {0, 1, 2, 3, 4, 5, 6}},
    };
    Canvas src(32, 32);
    Positions(src);
    for (const Case& k : cases) {
        Canvas dst(32, 32, 0);
        SetStretchBltMode(dst.dc, COLORONCOLOR);
        ASSERT_TRUE(StretchBlt(dst.dc, 1, 1, k.dw, k.dh, src.dc, 2, 3, k.sw, k.sh, SRCCOPY));
        for (int x = 0; x < k.dw; ++x) EXPECT_EQ(Col(dst.at(1 + x, 1)), 2 + k.cols[size_t(x)]) << k.sw << "->" << k.dw;
        for (int y = 0; y < k.dh; ++y) EXPECT_EQ(Row(dst.at(1, 1 + y)), 3 + k.rows[size_t(y)]) << k.sh << "->" << k.dh;
        EXPECT_EQ(dst.at(1 + k.dw, 1), 0u);  // nothing past the last column
    }
}

TEST(GdiStretch, NegativeExtentsRunBackFromTheirStart) {
    Canvas src(32, 32);
    Positions(src);
    Canvas dst(32, 16, 0);
    SetStretchBltMode(dst.dc, COLORONCOLOR);
    // Destination columns 9 down to 1 take source columns 2..6.
    ASSERT_TRUE(StretchBlt(dst.dc, 9, 0, -9, 1, src.dc, 2, 3, 5, 1, SRCCOPY));
    const int mirrored[9] = {6, 6, 5, 5, 4, 3, 3, 2, 2};
    for (int x = 1; x <= 9; ++x) EXPECT_EQ(Col(dst.at(x, 0)), mirrored[x - 1]) << x;
    EXPECT_EQ(dst.at(0, 0), 0u);
    // A source running back from column 10 covers 10 down to 4.
    ASSERT_TRUE(StretchBlt(dst.dc, 0, 2, 12, 1, src.dc, 10, 3, -7, 1, SRCCOPY));
    const int back[12] = {10, 10, 9, 8, 8, 7, 7, 6, 6, 5, 4, 4};
    for (int x = 0; x < 12; ++x) EXPECT_EQ(Col(dst.at(x, 2)), back[x]) << x;
}

TEST(GdiStretch, ShrinkingMergesByMode) {
    Canvas src(32, 32);
    Positions(src);
    struct Case {
        int mode;
        uint8_t red[9];  // 16 columns onto 9: runs {0,1} {2,3} {4} {5,6} ... merged
        uint8_t green;   // rows {0,1} onto the first row
    } cases[] = {
        {BLACKONWHITE, {0x00, 0x08, 0x10, 0x10, 0x00, 0x20, 0x2C, 0x30, 0x38}, 0x00},
        {WHITEONBLACK, {0x04, 0x0C, 0x10, 0x1C, 0x3C, 0x2C, 0x2C, 0x34, 0x3C}, 0x04},
    };
    for (const Case& k : cases) {
        Canvas dst(16, 8, 0x00FFFFFF);
        EXPECT_EQ(SetStretchBltMode(dst.dc, k.mode), BLACKONWHITE);  // the default
        ASSERT_TRUE(StretchBlt(dst.dc, 0, 0, 9, 7, src.dc, 0, 0, 16, 16, SRCCOPY));
        for (int x = 0; x < 9; ++x)
            EXPECT_EQ(dst.at(x, 0), uint32_t(k.red[x]) << 16 | uint32_t(k.green) << 8 | 0x80) << k.mode << " " << x;
        EXPECT_EQ(GetStretchBltMode(dst.dc), k.mode);
    }
}

TEST(GdiStretch, SourcesOfEveryDepthExpandThroughTheirFormat) {
    struct Info {
        BITMAPINFOHEADER h;
        RGBQUAD pal[256];
    };
    for (int bpp : {1, 4, 8, 24, 32}) {
        Info bi{};
        bi.h.biSize = sizeof bi.h;
        bi.h.biWidth = 5;
        bi.h.biHeight = 2;  // bottom-up: the second row in memory is the top
        bi.h.biPlanes = 1;
        bi.h.biBitCount = WORD(bpp);
        for (int i = 0; i < 256; ++i) bi.pal[i] = RGBQUAD{BYTE(i * 3), BYTE(255 - i), BYTE(i * 7), 0};
        void* bits = nullptr;
        HDC sdc = CreateCompatibleDC(nullptr);
        HBITMAP bm = CreateDIBSection(sdc, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS, &bits, nullptr, 0);
        ASSERT_NE(bm, nullptr) << bpp;
        HGDIOBJ old = SelectObject(sdc, bm);
        auto* top = static_cast<uint8_t*>(bits) + 4 * ((5 * bpp + 31) / 32);  // memory row 1
        uint32_t want[5];
        for (int x = 0; x < 5; ++x) {
            int v = x == 4 ? 1 : x * 3;  // index or channel seed
            auto entry = [&](int i) { return uint32_t(bi.pal[i].rgbRed) << 16 | bi.pal[i].rgbGreen << 8 | bi.pal[i].rgbBlue; };
            if (bpp == 1) top[0] |= uint8_t((v & 1) << (7 - x)), want[x] = entry(v & 1);
            if (bpp == 4) top[x / 2] |= uint8_t(v << ((x & 1) ? 0 : 4)), want[x] = entry(v);
            if (bpp == 8) top[x] = uint8_t(v), want[x] = entry(v);
            if (bpp == 24) top[3 * x] = uint8_t(v), top[3 * x + 1] = 0x40, top[3 * x + 2] = 0x99, want[x] = 0x994000u | v;
            if (bpp == 32) std::memcpy(top + 4 * x, &(want[x] = 0x00123400u | v), 4);
        }
        Canvas dst(8, 4, 0x00ABCDEF);
        SetTextColor(dst.dc, RGB(0xC0, 0x10, 0x10));  // used only by colour-table-less monochrome bitmaps
        SetBkColor(dst.dc, RGB(0x10, 0xE0, 0x10));
        ASSERT_TRUE(BitBlt(dst.dc, 1, 1, 5, 1, sdc, 0, 0, SRCCOPY));
        for (int x = 0; x < 5; ++x) EXPECT_EQ(dst.at(1 + x, 1), want[x]) << bpp << " bpp, column " << x;
        EXPECT_EQ(dst.at(6, 1), 0x00ABCDEFu);
        // The same source as a pattern brush: row 2 takes the tile's top row,
        // repeating every 5 columns from the brush origin.
        HBRUSH br = CreatePatternBrush(bm);
        SelectObject(dst.dc, br);
        ASSERT_TRUE(PatBlt(dst.dc, 0, 2, 8, 1, PATCOPY));
        EXPECT_EQ(dst.at(2, 2), want[2]) << bpp;
        EXPECT_EQ(dst.at(7, 2), want[2]) << bpp;
        SelectObject(dst.dc, GetStockObject(WHITE_BRUSH));
        DeleteObject(br);
        SelectObject(sdc, old);
        DeleteObject(bm);
        DeleteDC(sdc);
    }
}

// A 24-bpp DIB section is drawn on exactly as a 32-bpp one: fills, patterns
// and ternary operations land in its three colour bytes and nothing else
// changes (row padding included).
TEST(GdiStretch, TwentyFourBitDestinationsTakeEveryOperation) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = 5;  // 15 bytes a row, padded to 16
    bi.bmiHeader.biHeight = 3;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bm = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(bm, nullptr);
    HGDIOBJ old = SelectObject(dc, bm);
    auto* b = static_cast<uint8_t*>(bits);
    std::memset(b, 0x5A, 48);
    auto pixel = [&](int x, int y) {  // bottom-up rows
        const uint8_t* p = b + 16 * (2 - y) + 3 * x;
        return uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
    };
    HBRUSH br = CreateSolidBrush(RGB(0x11, 0x22, 0x33));
    RECT r{1, 0, 3, 2};
    FillRect(dc, &r, br);
    EXPECT_EQ(pixel(1, 0), 0x112233u);
    EXPECT_EQ(pixel(2, 1), 0x112233u);
    EXPECT_EQ(pixel(3, 0), 0x5A5A5Au);
    EXPECT_EQ(pixel(1, 2), 0x5A5A5Au);
    EXPECT_TRUE(PatBlt(dc, 2, 1, 3, 2, DSTINVERT));
    EXPECT_EQ(pixel(2, 1), 0xEEDDCCu);
    EXPECT_EQ(pixel(4, 2), 0xA5A5A5u);
    EXPECT_EQ(pixel(1, 1), 0x112233u);
    for (int i = 15; i < 48; i += 16) EXPECT_EQ(b[i], 0x5A) << i;  // padding untouched
    // And it reads back as a source.
    Canvas dst(5, 3, 0);
    ASSERT_TRUE(BitBlt(dst.dc, 0, 0, 5, 3, dc, 0, 0, SRCCOPY));
    EXPECT_EQ(dst.at(2, 1), 0xEEDDCCu);
    EXPECT_EQ(dst.at(0, 0), 0x5A5A5Au);
    SelectObject(dc, old);
    DeleteObject(br);
    DeleteObject(bm);
    DeleteDC(dc);
}

// BitBlt is StretchBlt with the source extent equal to the logical
// destination extent: a scaling transform on the destination stretches it,
// and negative extents run back from their start on both sides.
TEST(GdiStretch, BitBltFollowsTheTransformAndNegativeExtents) {
    Canvas src(32, 32);
    Positions(src);
    Canvas dst(40, 40, 0);
    SetGraphicsMode(dst.dc, GM_ADVANCED);
    XFORM sc{2.0f, 0, 0, 1.0f, 0, 0};
    SetWorldTransform(dst.dc, &sc);
    SetStretchBltMode(dst.dc, COLORONCOLOR);
    ASSERT_TRUE(BitBlt(dst.dc, 1, 1, 3, 1, src.dc, 4, 5, SRCCOPY));  // device columns 2..7
    const int cols[6] = {4, 4, 5, 5, 6, 6};
    for (int x = 0; x < 6; ++x) EXPECT_EQ(Col(dst.at(2 + x, 1)), cols[x]) << x;
    EXPECT_EQ(dst.at(8, 1), 0u);
    ModifyWorldTransform(dst.dc, nullptr, MWT_IDENTITY);
    // Source (5,5) back 20 and 15: only source columns and rows 0..5 exist,
    // landing at the end of the destination run (30 back to 11): 25..30.
    ASSERT_TRUE(BitBlt(dst.dc, 30, 20, -20, -15, src.dc, 5, 5, SRCCOPY));
    EXPECT_EQ(dst.at(24, 20), 0u);
    EXPECT_EQ(Col(dst.at(25, 20)), 0);
    EXPECT_EQ(Row(dst.at(25, 20)), 5);
    EXPECT_EQ(Col(dst.at(30, 15)), 5);
    EXPECT_EQ(Row(dst.at(30, 15)), 0);
    EXPECT_EQ(dst.at(31, 20), 0u);
    EXPECT_EQ(dst.at(30, 21), 0u);
}
