// Block transfers, raster operations, regions, clipping and GetDIBits.
#include <cstring>

#include "gdi_test_util.h"
#include "window_surface.h"

using namespace gdi_test;

namespace {

constexpr uint32_t kBg = 0x00102030;

void Gradient(Canvas& c) {
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x) c.at(x, y) = uint32_t(x * 16 + y) | 0x00AB0000;
}

std::vector<RECT> Rects(HRGN rgn) {
    DWORD n = GetRegionData(rgn, 0, nullptr);
    std::vector<uint8_t> buf(n);
    GetRegionData(rgn, n, reinterpret_cast<RGNDATA*>(buf.data()));
    auto* d = reinterpret_cast<RGNDATA*>(buf.data());
    const RECT* r = reinterpret_cast<const RECT*>(d->Buffer);
    return std::vector<RECT>(r, r + d->rdh.nCount);
}

}  // namespace

TEST(GdiBlit, SrcCopyBetweenDcsClipsAtEdges) {
    Canvas src(8, 8);
    Gradient(src);
    Canvas dst(10, 10, kBg);
    // Destination partly off the left/top edge, source partly off its right/bottom edge.
    EXPECT_TRUE(BitBlt(dst.dc, -2, -1, 8, 8, src.dc, 3, 2, SRCCOPY));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            int sx = x + 2 + 3, sy = y + 1 + 2;  // source pixel for (x, y)
            bool in_dst = x < 6 && y < 7;
            bool in_src = sx < 8 && sy < 8;
            uint32_t want = (in_dst && in_src) ? src.at(sx, sy) : kBg;
            ASSERT_EQ(dst.at(x, y), want) << x << "," << y;
        }
    // A blit onto itself with overlap behaves as if the source was copied first.
    Canvas self(6, 1);
    for (int x = 0; x < 6; ++x) self.at(x, 0) = uint32_t(x + 1);
    BitBlt(self.dc, 1, 0, 5, 1, self.dc, 0, 0, SRCCOPY);
    for (int x = 1; x < 6; ++x) EXPECT_EQ(self.at(x, 0), uint32_t(x));
    // The screen DC takes drawing and changes nothing; bad source fails.
    HDC screen = plat::create_window_dc(nullptr);
    EXPECT_TRUE(BitBlt(screen, 0, 0, 4, 4, src.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(screen, 0, 0), CLR_INVALID);
    plat::release_window_dc(screen);
    EXPECT_FALSE(BitBlt(dst.dc, 0, 0, 4, 4, reinterpret_cast<HDC>(0x999), 0, 0, SRCCOPY));
}

TEST(GdiBlit, NamedTernaryOperations) {
    const COLORREF brush_colour = RGB(0x3C, 0x3C, 0xC3);
    const uint32_t S = 0x00F0CC0F, D = 0x00AA55A5, P = px(brush_colour);
    struct Op {
        DWORD rop;
        uint32_t want;
    } ops[] = {
        {SRCCOPY, S},          {SRCPAINT, S | D},     {SRCAND, S & D},          {SRCINVERT, S ^ D},
        {SRCERASE, S & ~D},    {NOTSRCCOPY, ~S},      {NOTSRCERASE, ~(S | D)},  {MERGECOPY, P & S},
        {MERGEPAINT, ~S | D},  {PATCOPY, P},          {PATPAINT, P | ~S | D},   {PATINVERT, P ^ D},
        {DSTINVERT, ~D},       {BLACKNESS, 0},        {WHITENESS, ~0u},
        {0x00E20746, (S & P) | (D & ~S)},  // DSPDxax: pattern where the source is set
    };
    Canvas src(2, 1, S);
    HBRUSH br = CreateSolidBrush(brush_colour);
    for (const Op& op : ops) {
        Canvas dst(2, 1, D);
        SelectObject(dst.dc, br);
        EXPECT_TRUE(BitBlt(dst.dc, 0, 0, 2, 1, src.dc, 0, 0, op.rop)) << std::hex << op.rop;
        EXPECT_EQ(dst.at(1, 0), op.want) << std::hex << op.rop;  // all 32 bits
        SelectObject(dst.dc, GetStockObject(WHITE_BRUSH));
    }
    DeleteObject(br);
    // PatBlt refuses operations that need a source.
    Canvas c(2, 2, D);
    EXPECT_FALSE(PatBlt(c.dc, 0, 0, 2, 2, SRCCOPY));
    EXPECT_TRUE(PatBlt(c.dc, 0, 0, 2, 2, DSTINVERT));
    EXPECT_EQ(c.at(1, 1), ~D);
    EXPECT_TRUE(PatBlt(c.dc, 1, 1, -1, -1, WHITENESS));  // negative extents run back from (1,1): it alone
    EXPECT_EQ(c.at(1, 1), 0xFFFFFFFFu);
    EXPECT_EQ(c.at(0, 0), ~D);
}

TEST(GdiBlit, MonochromeSourceTakesDestinationColours) {
    const BYTE bits[] = {0xA0, 0};  // 1 0 1 0
    HBITMAP mono = CreateBitmap(4, 1, 1, 1, bits);
    HDC mdc = CreateCompatibleDC(nullptr);
    SelectObject(mdc, mono);
    Canvas dst(4, 1, kBg);
    SetTextColor(dst.dc, RGB(255, 0, 0));  // 0 bits
    SetBkColor(dst.dc, RGB(0, 0, 255));    // 1 bits
    BitBlt(dst.dc, 0, 0, 4, 1, mdc, 0, 0, SRCCOPY);
    EXPECT_EQ(dst.at(0, 0), 0x0000FFu);
    EXPECT_EQ(dst.at(1, 0), 0xFF0000u);
    EXPECT_EQ(dst.at(2, 0), 0x0000FFu);
    DeleteDC(mdc);
    DeleteObject(mono);
}

TEST(GdiBlit, StretchNearestAndMirror) {
    Canvas src(2, 2);
    src.at(0, 0) = 1;
    src.at(1, 0) = 2;
    src.at(0, 1) = 3;
    src.at(1, 1) = 4;
    Canvas dst(4, 4, kBg);
    EXPECT_TRUE(StretchBlt(dst.dc, 0, 0, 4, 4, src.dc, 0, 0, 2, 2, SRCCOPY));
    EXPECT_EQ(dst.at(1, 1), 1u);
    EXPECT_EQ(dst.at(2, 1), 2u);
    EXPECT_EQ(dst.at(3, 3), 4u);
    EXPECT_TRUE(StretchBlt(dst.dc, 3, 0, -4, 2, src.dc, 0, 0, 2, 2, SRCCOPY));  // mirrored: columns 3 down to 0
    EXPECT_EQ(dst.at(0, 0), 2u);
    EXPECT_EQ(dst.at(3, 1), 3u);
}

TEST(GdiRegions, CombineModesAndQueries) {
    HRGN a = CreateRectRgn(0, 0, 10, 10);
    HRGN b = CreateRectRgn(5, 5, 15, 15);
    HRGN d = CreateRectRgn(0, 0, 0, 0);
    RECT box;
    EXPECT_EQ(GetRgnBox(d, &box), NULLREGION);
    EXPECT_EQ(CombineRgn(d, a, b, RGN_AND), SIMPLEREGION);
    GetRgnBox(d, &box);
    ExpectBox(box, 5, 5, 10, 10);
    EXPECT_EQ(CombineRgn(d, a, b, RGN_OR), COMPLEXREGION);
    GetRgnBox(d, &box);
    ExpectBox(box, 0, 0, 15, 15);
    EXPECT_TRUE(PtInRegion(d, 12, 12));
    EXPECT_FALSE(PtInRegion(d, 12, 2));
    EXPECT_FALSE(PtInRegion(d, 15, 15));  // right/bottom exclusive
    // Banded: three bands, the middle one merged into a single rectangle.
    std::vector<RECT> r = Rects(d);
    ASSERT_EQ(r.size(), 3u);
    ExpectBox(r[0], 0, 0, 10, 5);
    ExpectBox(r[1], 0, 5, 15, 10);
    ExpectBox(r[2], 5, 10, 15, 15);
    EXPECT_EQ(CombineRgn(d, a, b, RGN_DIFF), COMPLEXREGION);
    EXPECT_FALSE(PtInRegion(d, 7, 7));
    EXPECT_TRUE(PtInRegion(d, 7, 2));
    EXPECT_EQ(CombineRgn(d, a, b, RGN_XOR), COMPLEXREGION);
    EXPECT_FALSE(PtInRegion(d, 7, 7));
    EXPECT_TRUE(PtInRegion(d, 12, 12));
    EXPECT_EQ(CombineRgn(d, a, nullptr, RGN_COPY), SIMPLEREGION);
    EXPECT_EQ(OffsetRgn(d, 3, -2), SIMPLEREGION);
    GetRgnBox(d, &box);
    ExpectBox(box, 3, -2, 13, 8);
    // A region combined with itself as destination.
    EXPECT_EQ(CombineRgn(a, a, b, RGN_AND), SIMPLEREGION);
    GetRgnBox(a, &box);
    ExpectBox(box, 5, 5, 10, 10);
    EXPECT_EQ(CombineRgn(d, a, b, 99), ERROR);
    EXPECT_EQ(CombineRgn(d, a, reinterpret_cast<HRGN>(0x55), RGN_OR), ERROR);
    // Against b = (5, 5)-(15, 15): a rectangle or point only touching its
    // right or bottom edge lies outside it, one pixel further in inside.
    const struct {
        RECT r;
        BOOL in;
    } probes[] = {
        {{15, 5, 20, 15}, FALSE}, {{14, 5, 20, 15}, TRUE}, {{0, 5, 5, 15}, FALSE}, {{0, 5, 6, 15}, TRUE},
        {{5, 15, 15, 20}, FALSE}, {{5, 14, 15, 20}, TRUE}, {{5, 0, 15, 5}, FALSE}, {{5, 0, 15, 6}, TRUE},
        {{20, 20, 14, 14}, TRUE},  // corners given in reverse
    };
    for (const auto& p : probes)
        EXPECT_EQ(RectInRegion(b, &p.r), p.in) << p.r.left << "," << p.r.top << "," << p.r.right << "," << p.r.bottom;
    for (POINT q : {POINT{15, 10}, POINT{10, 15}}) EXPECT_FALSE(PtInRegion(b, q.x, q.y)) << q.x << "," << q.y;
    for (POINT q : {POINT{14, 10}, POINT{10, 14}, POINT{5, 5}}) EXPECT_TRUE(PtInRegion(b, q.x, q.y)) << q.x << "," << q.y;
    HRGN inv = CreateRectRgn(10, 10, 0, 0);  // corners normalised
    GetRgnBox(inv, &box);
    ExpectBox(box, 0, 0, 10, 10);
    for (HRGN h : {a, b, d, inv}) EXPECT_TRUE(DeleteObject(h));
}

TEST(GdiRegions, ClipRegionIsCopiedAndLimitsDrawing) {
    Canvas cv(20, 20, kBg);
    HRGN clip = CreateRectRgn(5, 5, 10, 10);
    HRGN out = CreateRectRgn(0, 0, 1, 1);
    EXPECT_EQ(GetClipRgn(cv.dc, out), 0);
    EXPECT_EQ(SelectClipRgn(cv.dc, clip), SIMPLEREGION);
    // The DC keeps its own copy: changing or deleting ours has no effect.
    SetRectRgn(clip, 0, 0, 20, 20);
    DeleteObject(clip);
    EXPECT_EQ(GetClipRgn(cv.dc, out), 1);
    RECT box;
    GetRgnBox(out, &box);
    ExpectBox(box, 5, 5, 10, 10);
    EXPECT_EQ(GetClipRgn(cv.dc, reinterpret_cast<HRGN>(0x77)), -1);
    SelectObject(cv.dc, GetStockObject(NULL_PEN));
    Rectangle(cv.dc, 0, 0, 21, 21);
    ExpectBox(cv.changed(kBg), 5, 5, 9, 9);
    EXPECT_EQ(GetPixel(cv.dc, 4, 5), CLR_INVALID);
    EXPECT_NE(GetPixel(cv.dc, 5, 5), CLR_INVALID);
    EXPECT_FALSE(SetPixelV(cv.dc, 12, 12, 0));
    EXPECT_EQ(cv.at(12, 12), kBg);
    // Blits and text are clipped too.
    Canvas src(20, 20, 0x00777777);
    BitBlt(cv.dc, 0, 0, 20, 20, src.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(cv.at(4, 4), kBg);
    EXPECT_EQ(cv.at(9, 9), 0x777777u);
    // Clip is in device units: the world transform does not move it.
    SetGraphicsMode(cv.dc, GM_ADVANCED);
    XFORM xf{1, 0, 0, 1, 10, 10};
    SetWorldTransform(cv.dc, &xf);
    EXPECT_EQ(GetPixel(cv.dc, -5, -5), RGB(0x77, 0x77, 0x77));
    // Removing the clip.
    EXPECT_EQ(SelectClipRgn(cv.dc, nullptr), SIMPLEREGION);
    EXPECT_EQ(GetClipRgn(cv.dc, out), 0);
    EXPECT_NE(GetPixel(cv.dc, 5, 5), CLR_INVALID);  // device (15, 15)
    DeleteObject(out);
}

TEST(GdiRegions, FillRgnPaintsThroughTransform) {
    Canvas cv(20, 20, kBg);
    HRGN a = CreateRectRgn(0, 0, 4, 4);
    HRGN b = CreateRectRgn(2, 2, 6, 6);
    CombineRgn(a, a, b, RGN_OR);
    HBRUSH br = CreateSolidBrush(RGB(0, 255, 0));
    SetGraphicsMode(cv.dc, GM_ADVANCED);
    XFORM xf{1, 0, 0, 1, 10, 10};
    SetWorldTransform(cv.dc, &xf);
    SetROP2(cv.dc, R2_NOP);  // FillRgn copies regardless of the mix mode
    EXPECT_TRUE(FillRgn(cv.dc, a, br));
    EXPECT_EQ(cv.at(10, 10), 0x00FF00u);
    EXPECT_EQ(cv.at(15, 15), 0x00FF00u);
    EXPECT_EQ(cv.at(15, 10), kBg);
    EXPECT_EQ(cv.count(0x00FF00u), 16 + 16 - 4);
    EXPECT_FALSE(FillRgn(cv.dc, a, nullptr));
    DeleteObject(a);
    DeleteObject(b);
    DeleteObject(br);
}

TEST(GdiDibits, HeaderQueryAndBothRowOrders) {
    Canvas cv(3, 2);
    cv.at(0, 0) = 0x010203;
    cv.at(2, 0) = 0x040506;
    cv.at(0, 1) = 0x070809;
    HDC screen = plat::create_window_dc(nullptr);
    struct {
        BITMAPINFOHEADER h;
        RGBQUAD colours[256];
    } bi{};
    bi.h.biSize = sizeof(BITMAPINFOHEADER);
    // Bit count 0: describe the bitmap.
    EXPECT_NE(GetDIBits(screen, cv.bmp, 0, 2, nullptr, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS), 0);
    EXPECT_EQ(bi.h.biWidth, 3);
    EXPECT_EQ(bi.h.biHeight, 2);
    EXPECT_EQ(bi.h.biBitCount, 32);
    EXPECT_EQ(bi.h.biSizeImage, 24u);
    // 32-bpp request with no bits: the size is filled in.
    bi.h = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 3, 2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    EXPECT_NE(GetDIBits(screen, cv.bmp, 0, 2, nullptr, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS), 0);
    EXPECT_EQ(bi.h.biSizeImage, 24u);
    // Bottom-up (positive height): first row out is the bottom row.
    uint32_t out[6] = {};
    EXPECT_EQ(GetDIBits(screen, cv.bmp, 0, 2, out, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS), 2);
    EXPECT_EQ(out[0], 0x070809u);
    EXPECT_EQ(out[3], 0x010203u);
    EXPECT_EQ(out[5], 0x040506u);
    // Top-down, one line starting at line 1.
    bi.h.biHeight = -2;
    uint32_t one[3] = {};
    EXPECT_EQ(GetDIBits(screen, cv.bmp, 1, 5, one, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS), 1);
    EXPECT_EQ(one[0], 0x070809u);
    // 24-bpp rows are padded to four bytes.
    bi.h = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 3, -2, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    uint8_t rgb[24];
    std::memset(rgb, 0xEE, sizeof rgb);
    EXPECT_EQ(GetDIBits(screen, cv.bmp, 0, 2, rgb, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS), 2);
    EXPECT_EQ(bi.h.biSizeImage, 24u);
    EXPECT_EQ(rgb[0], 0x03);
    EXPECT_EQ(rgb[2], 0x01);
    EXPECT_EQ(rgb[12], 0x09);
    EXPECT_EQ(GetDIBits(screen, reinterpret_cast<HBITMAP>(0x1234), 0, 2, out, reinterpret_cast<BITMAPINFO*>(&bi),
                        DIB_RGB_COLORS),
              0);
    plat::release_window_dc(screen);
}
