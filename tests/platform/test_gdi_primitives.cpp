// Rectangles, mix modes, brushes, pixels, lines, polygons, flood fills and the
// other shapes drawn into DIB sections.
#include <algorithm>
#include <cstring>
#include <vector>

#include "gdi_test_util.h"

using namespace gdi_test;

namespace {

constexpr uint32_t kBg = 0x00102030;

HPEN GeoPen(DWORD style, DWORD width, COLORREF c) {
    LOGBRUSH lb{BS_SOLID, c, 0};
    return ExtCreatePen(PS_GEOMETRIC | style, width, &lb, 0, nullptr);
}

}  // namespace

TEST(GdiRectangle, PixelRulesByModeAndPen) {
    struct Case {
        int mode;
        bool null_pen;
        int right, bottom;  // inclusive extent of Rectangle(2, 3, 10, 8)
    } cases[] = {
        {GM_ADVANCED, false, 10, 8},
        {GM_ADVANCED, true, 9, 7},
        {GM_COMPATIBLE, false, 9, 7},
        {GM_COMPATIBLE, true, 8, 6},
    };
    for (const Case& c : cases) {
        Canvas cv(20, 20, kBg);
        SetGraphicsMode(cv.dc, c.mode);
        HBRUSH br = CreateSolidBrush(RGB(0, 0, 255));
        HGDIOBJ ob = SelectObject(cv.dc, br);
        HGDIOBJ op = SelectObject(cv.dc, c.null_pen ? GetStockObject(NULL_PEN) : GetStockObject(WHITE_PEN));
        EXPECT_TRUE(Rectangle(cv.dc, 2, 3, 10, 8));
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " null pen " << c.null_pen);
        ExpectBox(cv.changed(kBg), 2, 3, c.right, c.bottom);
        if (!c.null_pen) {
            // Outline in the pen colour, the inside in the brush colour.
            EXPECT_EQ(cv.at(2, 3), 0xFFFFFFu);
            EXPECT_EQ(cv.at(c.right, c.bottom), 0xFFFFFFu);
            EXPECT_EQ(cv.at(2, 5), 0xFFFFFFu);
            EXPECT_EQ(cv.at(3, 4), 0x0000FFu);
            EXPECT_EQ(cv.at(c.right - 1, c.bottom - 1), 0x0000FFu);
        } else {
            EXPECT_EQ(cv.count(0x0000FFu), (c.right - 1) * (c.bottom - 2));
        }
        SelectObject(cv.dc, op);
        SelectObject(cv.dc, ob);
        DeleteObject(br);
    }
}

TEST(GdiRectangle, SwappedCornersAndTransform) {
    Canvas cv(40, 40, kBg);
    SetGraphicsMode(cv.dc, GM_ADVANCED);
    SelectObject(cv.dc, GetStockObject(NULL_PEN));
    SelectObject(cv.dc, GetStockObject(WHITE_BRUSH));
    EXPECT_TRUE(Rectangle(cv.dc, 10, 8, 2, 3));
    ExpectBox(cv.changed(kBg), 2, 3, 9, 7);

    // Scale 2 and origin (5, 6): logical (1, 1)-(4, 3) -> device (7, 8)-(13, 12).
    cv.clear(kBg);
    XFORM xf{2, 0, 0, 2, 5, 6};
    ASSERT_TRUE(SetWorldTransform(cv.dc, &xf));
    EXPECT_TRUE(Rectangle(cv.dc, 1, 1, 4, 3));
    ExpectBox(cv.changed(kBg), 7, 8, 12, 11);

    // Negative scale (mirrored axis) is normalised after transforming.
    cv.clear(kBg);
    XFORM flip{-1, 0, 0, 1, 30, 0};
    ASSERT_TRUE(SetWorldTransform(cv.dc, &flip));
    EXPECT_TRUE(Rectangle(cv.dc, 0, 0, 10, 10));
    ExpectBox(cv.changed(kBg), 20, 0, 29, 9);
}

TEST(GdiRectangle, WorldTransformOnlyInAdvancedMode) {
    Canvas cv(8, 8);
    XFORM xf{2, 0, 0, 2, 1, 1};
    EXPECT_FALSE(SetWorldTransform(cv.dc, &xf));  // compatible mode
    EXPECT_EQ(SetGraphicsMode(cv.dc, GM_ADVANCED), GM_COMPATIBLE);
    EXPECT_TRUE(SetWorldTransform(cv.dc, &xf));
    XFORM singular{0, 0, 0, 0, 0, 0};
    EXPECT_FALSE(SetWorldTransform(cv.dc, &singular));
    // Leaving the advanced mode needs the identity transform first.
    EXPECT_EQ(SetGraphicsMode(cv.dc, GM_COMPATIBLE), 0);
    XFORM shift{1, 0, 0, 1, 3, 0};
    EXPECT_TRUE(ModifyWorldTransform(cv.dc, &shift, MWT_RIGHTMULTIPLY));
    XFORM got{};
    GetWorldTransform(cv.dc, &got);
    EXPECT_FLOAT_EQ(got.eM11, 2);
    EXPECT_FLOAT_EQ(got.eDx, 4);  // (2x + 1) then + 3
    EXPECT_TRUE(ModifyWorldTransform(cv.dc, nullptr, MWT_IDENTITY));
    EXPECT_EQ(SetGraphicsMode(cv.dc, GM_COMPATIBLE), GM_ADVANCED);
}

TEST(GdiRectangle, WidePenCentredAndInsideFrame) {
    Canvas cv(40, 40, kBg);
    SetGraphicsMode(cv.dc, GM_ADVANCED);
    SelectObject(cv.dc, GetStockObject(NULL_BRUSH));
    HPEN wide = GeoPen(PS_SOLID, 3, RGB(255, 0, 0));
    HGDIOBJ old = SelectObject(cv.dc, wide);
    Rectangle(cv.dc, 10, 10, 20, 20);
    ExpectBox(cv.changed(kBg), 9, 9, 21, 21);
    EXPECT_EQ(cv.at(11, 15), 0xFF0000u);
    EXPECT_EQ(cv.at(12, 15), kBg);  // hollow brush leaves the inside
    SelectObject(cv.dc, old);
    DeleteObject(wide);

    // An inside-frame pen does not shrink the advanced mode's rectangle; the
    // compatible mode keeps it within the right/bottom-exclusive box.
    cv.clear(kBg);
    HPEN inside = GeoPen(PS_INSIDEFRAME, 3, RGB(255, 0, 0));
    old = SelectObject(cv.dc, inside);
    Rectangle(cv.dc, 10, 10, 20, 20);
    ExpectBox(cv.changed(kBg), 9, 9, 21, 21);
    cv.clear(kBg);
    SetGraphicsMode(cv.dc, GM_COMPATIBLE);
    Rectangle(cv.dc, 10, 10, 20, 20);
    ExpectBox(cv.changed(kBg), 10, 10, 19, 19);
    EXPECT_EQ(cv.at(12, 15), 0xFF0000u);
    EXPECT_EQ(cv.at(13, 15), kBg);
    SelectObject(cv.dc, old);
    DeleteObject(inside);
}

// Each R2 mode as a boolean function of pen P and destination D.
static uint32_t Rop2Expected(int mode, uint32_t p, uint32_t d) {
    uint32_t r = 0;
    switch (mode) {
        case R2_BLACK: r = 0; break;
        case R2_NOTMERGEPEN: r = ~(p | d); break;
        case R2_MASKNOTPEN: r = ~p & d; break;
        case R2_NOTCOPYPEN: r = ~p; break;
        case R2_MASKPENNOT: r = p & ~d; break;
        case R2_NOT: r = ~d; break;
        case R2_XORPEN: r = p ^ d; break;
        case R2_NOTMASKPEN: r = ~(p & d); break;
        case R2_MASKPEN: r = p & d; break;
        case R2_NOTXORPEN: r = ~(p ^ d); break;
        case R2_NOP: r = d; break;
        case R2_MERGENOTPEN: r = ~p | d; break;
        case R2_COPYPEN: r = p; break;
        case R2_MERGEPENNOT: r = p | ~d; break;
        case R2_MERGEPEN: r = p | d; break;
        case R2_WHITE: r = ~0u; break;
    }
    return r;  // over all 32 bits: the pen's top byte is 0, the destination keeps its own
}

TEST(GdiMixModes, AllSixteenForBrushesAndPens) {
    const uint32_t dest = 0x00C3A50F;
    const COLORREF pen_colour = RGB(0x5A, 0x3C, 0xF0);  // pixel 0x5A3CF0
    Canvas cv(16, 4, dest);
    HBRUSH br = CreateSolidBrush(pen_colour);
    HPEN pen = CreatePen(PS_SOLID, 1, pen_colour);
    SelectObject(cv.dc, br);
    EXPECT_EQ(GetROP2(cv.dc), R2_COPYPEN);
    for (int mode = R2_BLACK; mode <= R2_WHITE; ++mode) {
        cv.clear(dest);
        SetROP2(cv.dc, mode);
        EXPECT_EQ(GetROP2(cv.dc), mode);
        SelectObject(cv.dc, GetStockObject(NULL_PEN));
        Rectangle(cv.dc, 0, 0, 5, 2);  // brush fill: (0,0)-(3,0) in compatible mode
        SelectObject(cv.dc, pen);
        MoveToEx(cv.dc, 6, 3, nullptr);
        LineTo(cv.dc, 12, 3);  // pen: (6,3)-(11,3)
        uint32_t want = Rop2Expected(mode, 0x005A3CF0, dest);
        EXPECT_EQ(cv.at(1, 0), want) << "brush, mode " << mode;
        EXPECT_EQ(cv.at(8, 3), want) << "pen, mode " << mode;
        EXPECT_EQ(cv.at(12, 3), dest) << "line end excluded";
    }
    EXPECT_EQ(SetROP2(cv.dc, 0), 0);
    EXPECT_EQ(SetROP2(cv.dc, 17), 0);
    DeleteObject(pen);
    DeleteObject(br);
}

TEST(GdiMixModes, XorTwiceRestoresEveryShape) {
    Canvas cv(64, 64, kBg);
    SetROP2(cv.dc, R2_XORPEN);
    HPEN pen = GeoPen(PS_SOLID, 3, RGB(0x12, 0x34, 0x56));
    HBRUSH br = CreateHatchBrush(HS_DIAGCROSS, RGB(0xFF, 0, 0x80));
    SelectObject(cv.dc, pen);
    SelectObject(cv.dc, br);
    POINT star[] = {{10, 50}, {32, 2}, {54, 50}, {4, 20}, {60, 20}};
    for (int pass = 0; pass < 2; ++pass) {
        Rectangle(cv.dc, 5, 5, 30, 30);
        Ellipse(cv.dc, 20, 20, 60, 50);
        Polygon(cv.dc, star, 5);
        Polyline(cv.dc, star, 5);
        Pie(cv.dc, 0, 30, 40, 63, 40, 40, 0, 40);
    }
    EXPECT_EQ(cv.count(kBg), 64 * 64) << "a pixel was painted twice by one call";
}

TEST(GdiBrushes, HatchesOpaqueAndTransparent) {
    const uint32_t hatch_rows[6][8] = {
        {0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00}, {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08},
        {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01}, {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80},
        {0x08, 0x08, 0x08, 0xFF, 0x08, 0x08, 0x08, 0x08}, {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81}};
    for (int hs = HS_HORIZONTAL; hs <= HS_DIAGCROSS; ++hs) {
        for (int mode : {OPAQUE, TRANSPARENT}) {
            Canvas cv(16, 16, kBg);
            LOGBRUSH lb{BS_HATCHED, RGB(255, 0, 0), ULONG_PTR(hs)};
            HBRUSH br = CreateBrushIndirect(&lb);
            ASSERT_NE(br, nullptr);
            SelectObject(cv.dc, br);
            SelectObject(cv.dc, GetStockObject(NULL_PEN));
            SetBkColor(cv.dc, RGB(0, 255, 0));
            SetBkMode(cv.dc, mode);
            Rectangle(cv.dc, 0, 0, 17, 17);
            int lines = 0;
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x) {
                    bool line = (hatch_rows[hs][y % 8] >> (7 - x % 8)) & 1;
                    uint32_t want = line ? 0xFF0000u : (mode == OPAQUE ? 0x00FF00u : kBg);
                    lines += line;
                    ASSERT_EQ(cv.at(x, y), want) << "hatch " << hs << " mode " << mode << " at " << x << "," << y;
                }
            EXPECT_GT(lines, 0);
            SelectObject(cv.dc, GetStockObject(WHITE_BRUSH));
            DeleteObject(br);
        }
    }
    // Through a transparent hatch every mix mode changes the lines only (the
    // top byte, which R2_NOT inverts as well, aside).
    for (int rop : {R2_XORPEN, R2_NOT, R2_MERGEPEN}) {
        Canvas cv(16, 16, kBg);
        LOGBRUSH lb{BS_HATCHED, RGB(255, 0, 0), HS_CROSS};
        HBRUSH br = CreateBrushIndirect(&lb);
        SelectObject(cv.dc, br);
        SelectObject(cv.dc, GetStockObject(NULL_PEN));
        SetBkMode(cv.dc, TRANSPARENT);
        SetROP2(cv.dc, rop);
        Rectangle(cv.dc, 0, 0, 17, 17);
        const uint32_t on = rop == R2_XORPEN ? 0xFF0000u ^ kBg : rop == R2_NOT ? ~kBg & 0xFFFFFFu : 0xFF0000u | kBg;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                bool line = (hatch_rows[HS_CROSS][y % 8] >> (7 - x % 8)) & 1;
                ASSERT_EQ(cv.at(x, y) & 0xFFFFFFu, line ? on : kBg) << "rop " << rop << " at " << x << "," << y;
            }
        SelectObject(cv.dc, GetStockObject(WHITE_BRUSH));
        DeleteObject(br);
    }
    LOGBRUSH bad{BS_HATCHED, 0, 6};
    EXPECT_EQ(CreateBrushIndirect(&bad), nullptr);
}

TEST(GdiBrushes, MonochromePatternUsesTextAndBackgroundColoursAndOrigin) {
    // 8 x 2 pattern, rows word aligned: row 0 = 1000 0001, row 1 = 0000 1111.
    const BYTE bits[] = {0x81, 0x00, 0x0F, 0x00};
    HBITMAP pat = CreateBitmap(8, 2, 1, 1, bits);
    ASSERT_NE(pat, nullptr);
    LOGBRUSH lb{BS_PATTERN, 0, reinterpret_cast<ULONG_PTR>(pat)};
    HBRUSH br = CreateBrushIndirect(&lb);
    ASSERT_NE(br, nullptr);
    EXPECT_TRUE(DeleteObject(pat));  // the brush keeps its own copy
    Canvas cv(16, 4, kBg);
    SetTextColor(cv.dc, RGB(0, 0, 255));   // 0 bits
    SetBkColor(cv.dc, RGB(255, 255, 0));   // 1 bits
    SetBkMode(cv.dc, TRANSPARENT);         // has no effect on pattern brushes
    SelectObject(cv.dc, br);
    PatBlt(cv.dc, 0, 0, 16, 4, PATCOPY);
    auto want = [&](int x, int y, int ox, int oy) {
        int tx = ((x - ox) % 8 + 8) % 8, ty = ((y - oy) % 2 + 2) % 2;
        bool bit = (bits[ty * 2] >> (7 - tx)) & 1;
        return bit ? 0xFFFF00u : 0x0000FFu;
    };
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 16; ++x) ASSERT_EQ(cv.at(x, y), want(x, y, 0, 0)) << x << "," << y;
    SetBrushOrgEx(cv.dc, 3, 1, nullptr);
    PatBlt(cv.dc, 0, 0, 16, 4, PATCOPY);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 16; ++x) ASSERT_EQ(cv.at(x, y), want(x, y, 3, 1)) << x << "," << y;
    SelectObject(cv.dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(br);
}

TEST(GdiBrushes, DibPatternFromGlobalMemoryAndPointer) {
    // 2 x 2 bottom-up 32-bpp packed DIB: bottom row red, green; top row blue, white.
    struct {
        BITMAPINFOHEADER h;
        uint32_t px[4];
    } dib{};
    dib.h.biSize = sizeof(BITMAPINFOHEADER);
    dib.h.biWidth = 2;
    dib.h.biHeight = 2;
    dib.h.biPlanes = 1;
    dib.h.biBitCount = 32;
    dib.px[0] = 0xFF0000;
    dib.px[1] = 0x00FF00;
    dib.px[2] = 0x0000FF;
    dib.px[3] = 0xFFFFFF;
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, sizeof dib);
    ASSERT_NE(mem, nullptr);
    std::memcpy(GlobalLock(mem), &dib, sizeof dib);
    GlobalUnlock(mem);
    LOGBRUSH lb{BS_DIBPATTERN, DIB_RGB_COLORS, reinterpret_cast<ULONG_PTR>(mem)};
    HBRUSH a = CreateBrushIndirect(&lb);
    GlobalFree(mem);
    // A block shorter than its header says is refused rather than read past its end.
    HGLOBAL short_mem = GlobalAlloc(GMEM_FIXED, sizeof dib - 4);
    std::memcpy(GlobalLock(short_mem), &dib, sizeof dib - 4);
    GlobalUnlock(short_mem);
    LOGBRUSH bad{BS_DIBPATTERN, DIB_RGB_COLORS, reinterpret_cast<ULONG_PTR>(short_mem)};
    EXPECT_EQ(CreateBrushIndirect(&bad), nullptr);
    GlobalFree(short_mem);
    HBRUSH b = CreateDIBPatternBrushPt(&dib, DIB_RGB_COLORS);
    for (HBRUSH br : {a, b}) {
        ASSERT_NE(br, nullptr);
        Canvas cv(4, 4, kBg);
        SelectObject(cv.dc, br);
        PatBlt(cv.dc, 0, 0, 4, 4, PATCOPY);
        EXPECT_EQ(cv.at(0, 0), 0x0000FFu);
        EXPECT_EQ(cv.at(1, 0), 0xFFFFFFu);
        EXPECT_EQ(cv.at(0, 1), 0xFF0000u);
        EXPECT_EQ(cv.at(3, 3), 0x00FF00u);
        SelectObject(cv.dc, GetStockObject(WHITE_BRUSH));
        DeleteObject(br);
    }
}

TEST(GdiBrushes, NullBrushAndSolidFill) {
    Canvas cv(10, 10, kBg);
    SelectObject(cv.dc, GetStockObject(NULL_BRUSH));
    Rectangle(cv.dc, 0, 0, 10, 10);  // black pen outline only
    EXPECT_EQ(cv.at(0, 0), 0u);
    EXPECT_EQ(cv.at(5, 5), kBg);
    RECT r{2, 2, 4, 5};
    HBRUSH br = CreateSolidBrush(RGB(1, 2, 3));
    EXPECT_TRUE(FillRect(cv.dc, &r, br));
    EXPECT_EQ(cv.at(2, 2), 0x010203u);
    EXPECT_EQ(cv.at(3, 4), 0x010203u);
    EXPECT_EQ(cv.at(4, 4), kBg);
    EXPECT_EQ(cv.at(3, 5), kBg);
    DeleteObject(br);
}

TEST(GdiPixels, SetAndGetThroughTransformAndBounds) {
    Canvas cv(8, 6, kBg, /*topdown=*/false);
    EXPECT_TRUE(SetPixelV(cv.dc, 1, 2, RGB(10, 20, 30)));
    EXPECT_EQ(cv.at(1, 2), 0x0A141Eu);  // bottom-up DIB: row 2 from the top
    EXPECT_EQ(GetPixel(cv.dc, 1, 2), RGB(10, 20, 30));
    EXPECT_EQ(SetPixel(cv.dc, 3, 3, RGB(1, 1, 1)), RGB(1, 1, 1));
    EXPECT_EQ(GetPixel(cv.dc, 8, 0), CLR_INVALID);
    EXPECT_EQ(GetPixel(cv.dc, -1, 0), CLR_INVALID);
    EXPECT_FALSE(SetPixelV(cv.dc, 0, 6, 0));
    SetGraphicsMode(cv.dc, GM_ADVANCED);
    XFORM xf{1, 0, 0, 1, 4, 1};
    SetWorldTransform(cv.dc, &xf);
    SetPixelV(cv.dc, 0, 0, RGB(255, 0, 0));
    EXPECT_EQ(cv.at(4, 1), 0xFF0000u);
    EXPECT_EQ(GetPixel(cv.dc, 0, 0), RGB(255, 0, 0));
}

TEST(GdiLines, BresenhamExcludesLastPixelAndUpdatesPosition) {
    Canvas cv(12, 12, kBg);
    SelectObject(cv.dc, GetStockObject(WHITE_PEN));
    MoveToEx(cv.dc, 1, 1, nullptr);
    LineTo(cv.dc, 6, 1);
    for (int x = 1; x < 6; ++x) EXPECT_EQ(cv.at(x, 1), 0xFFFFFFu);
    EXPECT_EQ(cv.at(6, 1), kBg);
    POINT cur;
    GetCurrentPositionEx(cv.dc, &cur);
    EXPECT_EQ(cur.x, 6);
    LineTo(cv.dc, 10, 5);  // 45 degrees: (6,1)..(9,4)
    for (int i = 0; i < 4; ++i) EXPECT_EQ(cv.at(6 + i, 1 + i), 0xFFFFFFu);
    EXPECT_EQ(cv.at(10, 5), kBg);
    // A line far outside the bitmap is clipped, not walked pixel by pixel.
    MoveToEx(cv.dc, -2000000000, 5, nullptr);
    EXPECT_TRUE(LineTo(cv.dc, 2000000000, 5));
    EXPECT_EQ(cv.at(0, 5), 0xFFFFFFu);
    EXPECT_EQ(cv.at(11, 5), 0xFFFFFFu);
}

// Points past the coordinate range are pulled in to it, whichever call
// carries them: a line towards (INT_MAX, 1.5e9) draws the diagonal
// towards its clamped end, by LineTo, Polyline and PolylineTo.
TEST(GdiLines, PointsPastTheRangeClampAlikeInEveryLineCall) {
    const POINT far_end{2147483647, 1500000000}, clamped{1000000000, 1000000000};
    auto draw = [](int how, POINT end) {
        Canvas cv(16, 16, kBg);
        SelectObject(cv.dc, GetStockObject(WHITE_PEN));
        POINT pts[2] = {{2, 0}, end};
        MoveToEx(cv.dc, 2, 0, nullptr);
        BOOL ok = how == 0 ? LineTo(cv.dc, end.x, end.y) : how == 1 ? Polyline(cv.dc, pts, 2) : PolylineTo(cv.dc, &end, 1);
        EXPECT_TRUE(ok);
        return std::vector<uint32_t>(cv.bits, cv.bits + 16 * 16);
    };
    const std::vector<uint32_t> want = draw(0, clamped);
    // The clamped line is the diagonal from (2, 0), one pixel right per row.
    for (int y = 0; y < 14; ++y) EXPECT_EQ(want[size_t(y * 16 + 2 + y)], 0xFFFFFFu) << y;
    for (int how = 0; how < 3; ++how) EXPECT_EQ(draw(how, far_end), want) << "call " << how;
}

TEST(GdiShapes, PolygonFillModesAndEllipseBounds) {
    // A pentagram: the centre is inside with WINDING, outside with ALTERNATE.
    POINT star[] = {{20, 2}, {32, 38}, {2, 14}, {38, 14}, {8, 38}};
    Canvas cv(40, 40, kBg);
    SelectObject(cv.dc, GetStockObject(NULL_PEN));
    SelectObject(cv.dc, GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(GetPolyFillMode(cv.dc), ALTERNATE);
    Polygon(cv.dc, star, 5);
    EXPECT_EQ(cv.at(20, 20), kBg);
    EXPECT_EQ(cv.at(20, 8), 0xFFFFFFu);
    SetPolyFillMode(cv.dc, WINDING);
    Polygon(cv.dc, star, 5);
    EXPECT_EQ(cv.at(20, 20), 0xFFFFFFu);

    // Square polygon excludes its right and bottom edges.
    cv.clear(kBg);
    POINT sq[] = {{5, 5}, {15, 5}, {15, 15}, {5, 15}};
    Polygon(cv.dc, sq, 4);
    ExpectBox(cv.changed(kBg), 5, 5, 14, 14);

    cv.clear(kBg);
    SelectObject(cv.dc, GetStockObject(BLACK_PEN));
    Ellipse(cv.dc, 4, 6, 24, 20);  // compatible mode: columns 4..23, rows 6..19
    ExpectBox(cv.changed(kBg), 4, 6, 23, 19);
    EXPECT_EQ(cv.at(14, 13), 0xFFFFFFu);
    EXPECT_EQ(cv.at(4, 13), 0u);
    EXPECT_EQ(cv.at(4, 6), kBg);  // corner outside the ellipse
}

TEST(GdiShapes, FloodFillBorderAndSurface) {
    Canvas cv(20, 20, kBg);
    SelectObject(cv.dc, GetStockObject(BLACK_PEN));
    SelectObject(cv.dc, GetStockObject(NULL_BRUSH));
    Rectangle(cv.dc, 2, 2, 12, 12);  // black frame 2..11
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    SelectObject(cv.dc, red);
    EXPECT_TRUE(ExtFloodFill(cv.dc, 5, 5, RGB(0, 0, 0), FLOODFILLBORDER));
    EXPECT_EQ(cv.at(3, 3), 0xFF0000u);
    EXPECT_EQ(cv.at(10, 10), 0xFF0000u);
    EXPECT_EQ(cv.at(2, 2), 0u);
    EXPECT_EQ(cv.at(15, 15), kBg);
    EXPECT_FALSE(ExtFloodFill(cv.dc, 2, 2, RGB(0, 0, 0), FLOODFILLBORDER));  // starts on the border
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    SelectObject(cv.dc, blue);
    EXPECT_TRUE(ExtFloodFill(cv.dc, 15, 15, RGB(0x10, 0x20, 0x30), FLOODFILLSURFACE));
    EXPECT_EQ(cv.at(0, 0), 0x0000FFu);
    EXPECT_EQ(cv.at(19, 19), 0x0000FFu);
    EXPECT_EQ(cv.at(5, 5), 0xFF0000u);
    // The lower room joins the upper one only below the last pixel of the
    // upper run, and the upper run reaches back to column 0 from the seed.
    const char* rooms[3] = {"....#...", "###.....", "########"};
    Canvas small(8, 3, kBg);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 8; ++x)
            if (rooms[y][x] == '#') small.at(x, y) = 0;
    SelectObject(small.dc, blue);
    EXPECT_TRUE(ExtFloodFill(small.dc, 2, 0, RGB(0, 0, 0), FLOODFILLBORDER));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(small.at(x, y), rooms[y][x] == '#' ? 0u : 0x0000FFu) << x << "," << y;
    SelectObject(small.dc, GetStockObject(WHITE_BRUSH));
    SelectObject(cv.dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(red);
    DeleteObject(blue);
}

TEST(GdiLines, StyledPensDashAlongThePath) {
    Canvas cv(40, 6, kBg);
    // Geometric width 1 PS_DASH with round caps: 3 on, 1 off in pen widths,
    // continuing across segments; a 1-px wide dash is its 1-px line, and a
    // pen that thin has no caps to shorten its dashes for.
    HPEN dash = GeoPen(PS_DASH, 1, RGB(255, 255, 255));
    SelectObject(cv.dc, dash);
    POINT path[] = {{0, 1}, {5, 1}, {13, 1}};
    Polyline(cv.dc, path, 3);
    const char* want = "###.###.###.#.";
    for (int x = 0; x < 14; ++x)
        EXPECT_EQ(cv.at(x, 1), want[x] == '#' ? 0xFFFFFFu : kBg) << x;
    // Cosmetic dots: 3 on, 3 off; a CreatePen pen paints its gaps in the
    // background colour when opaque, an ExtCreatePen pen never does.
    LOGBRUSH lb{BS_SOLID, RGB(255, 0, 0), 0};
    HPEN created = CreatePen(PS_DOT, 1, RGB(255, 0, 0));
    SelectObject(cv.dc, created);
    SetBkColor(cv.dc, RGB(0, 0, 255));
    MoveToEx(cv.dc, 0, 3, nullptr);
    LineTo(cv.dc, 12, 3);
    for (int x = 0; x < 12; ++x) EXPECT_EQ(cv.at(x, 3), (x / 3) % 2 ? 0x0000FFu : 0xFF0000u) << x;
    HPEN dots = ExtCreatePen(PS_COSMETIC | PS_DOT, 1, &lb, 0, nullptr);
    SelectObject(cv.dc, dots);
    MoveToEx(cv.dc, 0, 4, nullptr);
    LineTo(cv.dc, 12, 4);
    for (int x = 0; x < 12; ++x) EXPECT_EQ(cv.at(x, 4), (x / 3) % 2 ? kBg : 0xFF0000u) << x;
    // User style with flat caps: 2 on, 1 off as given.
    DWORD user[] = {2, 1};
    LOGBRUSH wb{BS_SOLID, RGB(0, 255, 0), 0};
    HPEN us = ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE | PS_ENDCAP_FLAT, 1, &wb, 2, user);
    SelectObject(cv.dc, us);
    MoveToEx(cv.dc, 20, 5, nullptr);
    LineTo(cv.dc, 29, 5);
    for (int x = 20; x < 29; ++x) EXPECT_EQ(cv.at(x, 5), (x - 20) % 3 == 2 ? kBg : 0x00FF00u) << x;
    SelectObject(cv.dc, GetStockObject(BLACK_PEN));
    DeleteObject(dash);
    DeleteObject(created);
    DeleteObject(dots);
    DeleteObject(us);
}

TEST(GdiLines, WideLinesHaveTheirWidthAndCaps) {
    Canvas cv(40, 20, kBg);
    LOGBRUSH lb{BS_SOLID, RGB(255, 255, 255), 0};
    HPEN flat = ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT, 5, &lb, 0, nullptr);
    SelectObject(cv.dc, flat);
    MoveToEx(cv.dc, 10, 10, nullptr);
    LineTo(cv.dc, 30, 10);
    ExpectBox(cv.changed(kBg), 10, 8, 29, 12);
    HPEN square = ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_SQUARE, 5, &lb, 0, nullptr);
    SelectObject(cv.dc, square);
    cv.clear(kBg);
    MoveToEx(cv.dc, 10, 10, nullptr);
    LineTo(cv.dc, 30, 10);
    ExpectBox(cv.changed(kBg), 8, 8, 31, 12);  // extended by half the width (rounded down) at both ends
    SelectObject(cv.dc, GetStockObject(BLACK_PEN));
    DeleteObject(flat);
    DeleteObject(square);
}

TEST(GdiShapes, PieChordArcAndRoundRectRegions) {
    Canvas cv(24, 24, kBg);
    SelectObject(cv.dc, GetStockObject(WHITE_BRUSH));
    SelectObject(cv.dc, GetStockObject(NULL_PEN));
    // Counter-clockwise from the right-hand radial to the top one: the upper-right quarter.
    EXPECT_TRUE(Pie(cv.dc, 0, 0, 22, 22, 21, 11, 11, 0));
    EXPECT_EQ(cv.at(16, 5), 0xFFFFFFu);
    EXPECT_EQ(cv.at(5, 5), kBg);
    EXPECT_EQ(cv.at(16, 16), kBg);
    EXPECT_EQ(cv.at(5, 16), kBg);
    // Swapping the radials takes the other three quarters.
    cv.clear(kBg);
    Pie(cv.dc, 0, 0, 22, 22, 11, 0, 21, 11);
    EXPECT_EQ(cv.at(16, 5), kBg);
    EXPECT_EQ(cv.at(5, 5), 0xFFFFFFu);
    EXPECT_EQ(cv.at(16, 16), 0xFFFFFFu);
    // Chord: only the part beyond the chord line.
    cv.clear(kBg);
    Chord(cv.dc, 0, 0, 22, 22, 21, 11, 11, 0);
    EXPECT_EQ(cv.at(17, 4), 0xFFFFFFu);
    EXPECT_EQ(cv.at(12, 8), kBg);
    // Arc: outline only, in the pen colour, within the quarter.
    cv.clear(kBg);
    SelectObject(cv.dc, GetStockObject(BLACK_PEN));
    Arc(cv.dc, 0, 0, 22, 22, 21, 11, 11, 0);
    RECT box = cv.changed(kBg);
    EXPECT_GE(box.left, 10);
    EXPECT_LE(box.bottom, 11);
    EXPECT_EQ(cv.count(0xFFFFFFu), 0);
    EXPECT_GT(cv.count(0u), 10);
    // Round rectangle: corners cut, edges straight.
    cv.clear(kBg);
    RoundRect(cv.dc, 0, 0, 20, 20, 10, 10);
    EXPECT_EQ(cv.at(0, 0), kBg);
    EXPECT_EQ(cv.at(10, 0), 0u);
    EXPECT_EQ(cv.at(0, 10), 0u);
    EXPECT_EQ(cv.at(10, 10), 0xFFFFFFu);
    ExpectBox(cv.changed(kBg), 0, 0, 19, 19);
}

TEST(GdiShapes, BezierPassesThroughItsEnds) {
    Canvas cv(40, 40, kBg);
    POINT pts[] = {{2, 30}, {10, 0}, {30, 0}, {37, 30}};
    EXPECT_TRUE(PolyBezier(cv.dc, pts, 4));
    EXPECT_EQ(cv.at(2, 30), 0u);
    EXPECT_EQ(cv.at(20, 30), kBg);
    RECT box = cv.changed(kBg);
    EXPECT_EQ(box.left, 2);
    EXPECT_GE(box.top, 6);
    EXPECT_LE(box.top, 9);  // the curve's top lies at 3/4 of the control height
    EXPECT_FALSE(PolyBezier(cv.dc, pts, 3));
}

TEST(GdiRectangle, RotatedTransformDrawsTheTurnedRectangle) {
    Canvas cv(30, 30, kBg);
    SetGraphicsMode(cv.dc, GM_ADVANCED);
    SelectObject(cv.dc, GetStockObject(NULL_PEN));
    // A quarter turn about the origin, then moved right: (x, y) -> (20 - y, x).
    XFORM xf{0, 1, -1, 0, 20, 0};
    ASSERT_TRUE(SetWorldTransform(cv.dc, &xf));
    Rectangle(cv.dc, 2, 3, 12, 7);  // logical 10 wide, 4 high -> device 4 wide, 10 high
    RECT box = cv.changed(kBg);
    EXPECT_EQ(box.right - box.left + 1, 4);
    EXPECT_EQ(box.bottom - box.top + 1, 10);
    EXPECT_EQ(box.left, 13);
    EXPECT_EQ(box.top, 2);
}
