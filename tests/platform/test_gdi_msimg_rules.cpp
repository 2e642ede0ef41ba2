// msimg32 and DIB transfer rules the reference pictures do not settle: the
// module's exports, the colour key on an 8-bpp bitmap (where the reference
// garbles the picture), the calls' refusals, and RLE data read no further
// than its stated size.
#include <gtest/gtest.h>

#include <cstring>

#include "gdi_test_util.h"
#include "windows.h"

using gdi_test::Canvas;
using gdi_test::IndexedDibInfo;
using gdi_test::px;

TEST(Msimg32, ModuleExportsTheThreeCalls) {
    HMODULE m = LoadLibraryA("msimg32.dll");
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(LoadLibraryA("MSIMG32"), m);
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(m, "AlphaBlend")), reinterpret_cast<void*>(&AlphaBlend));
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(m, "TransparentBlt")), reinterpret_cast<void*>(&TransparentBlt));
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(m, "GradientFill")), reinterpret_cast<void*>(&GradientFill));
    EXPECT_EQ(GetProcAddress(m, "BitBlt"), nullptr);  // that one lives in gdi32
    HMODULE g = LoadLibraryA("gdi32.dll");
    EXPECT_NE(GetProcAddress(g, "GdiAlphaBlend"), nullptr);
    EXPECT_NE(GetProcAddress(g, "StretchDIBits"), nullptr);
    FreeLibrary(m);
    FreeLibrary(m);
    FreeLibrary(g);
}

// The key is compared after the source is matched to the table: the key's
// pixels leave the destination's index alone, every other pixel gets the
// entry nearest its colour.
TEST(Msimg32, TransparentBltOntoEightBppKeepsTheKeyedPixels) {
    IndexedDibInfo bi(8, 8, 1);
    for (int i = 0; i < 256; ++i) bi.pal[i] = RGBQUAD{BYTE(255 - i), BYTE(i), BYTE(i), 0};  // (i, i, 255 - i)
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateDIBSection(dc, bi.info(), DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bmp);
    auto* idx = static_cast<uint8_t*>(bits);
    std::memset(idx, 7, 8);
    Canvas src(8, 1, px(RGB(255, 0, 255)));
    src.at(2, 0) = px(RGB(44, 44, 211));   // table entry 44
    src.at(7, 0) = px(RGB(204, 204, 51));  // table entry 204, the run's last pixel
    ASSERT_TRUE(TransparentBlt(dc, 0, 0, 8, 1, src.dc, 0, 0, 8, 1, RGB(255, 0, 255)));
    const uint8_t want[8] = {7, 7, 44, 7, 7, 7, 7, 204};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(idx[i], want[i]) << i;
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
}

TEST(Msimg32, RefusalsLeaveTheDestinationAlone) {
    Canvas dst(16, 16, 0x00102030), src(8, 8, 0x80808080);
    const BLENDFUNCTION ok{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA}, bad_op{1, 0, 255, 0};
    TRIVERTEX v[2] = {{0, 0, 0xFF00, 0, 0, 0}, {8, 8, 0, 0xFF00, 0, 0}};
    GRADIENT_RECT r{0, 1}, past{0, 2};
    struct {
        const char* what;
        BOOL result;
    } cases[] = {
        {"blend op other than AC_SRC_OVER", AlphaBlend(dst.dc, 0, 0, 8, 8, src.dc, 0, 0, 8, 8, bad_op)},
        {"negative destination width", AlphaBlend(dst.dc, 8, 0, -8, 8, src.dc, 0, 0, 8, 8, ok)},
        {"source past the right edge", AlphaBlend(dst.dc, 0, 0, 8, 8, src.dc, 1, 0, 8, 8, ok)},
        {"source above the top", AlphaBlend(dst.dc, 0, 0, 8, 8, src.dc, 0, -1, 8, 8, ok)},
        {"negative transparent width", TransparentBlt(dst.dc, 0, 0, -8, 8, src.dc, 0, 0, 8, 8, 0)},
        {"vertex index past the array", GradientFill(dst.dc, v, 2, &past, 1, GRADIENT_FILL_RECT_H)},
        {"unknown gradient mode", GradientFill(dst.dc, v, 2, &r, 1, 3)},
        {"no vertices", GradientFill(dst.dc, nullptr, 0, &r, 1, GRADIENT_FILL_RECT_H)},
    };
    for (const auto& c : cases) EXPECT_FALSE(c.result) << c.what;
    EXPECT_EQ(dst.count(0x00102030), 16 * 16);
    // The whole source, exactly at its edges, is accepted.
    EXPECT_TRUE(AlphaBlend(dst.dc, 0, 0, 8, 8, src.dc, 0, 0, 8, 8, ok));
    // Half-transparent grey over (0x10, 0x20, 0x30): 0x80 + d·127/255 (rounded) per channel.
    EXPECT_EQ(dst.at(7, 7), 0x80889098u);
    EXPECT_EQ(dst.at(8, 8), 0x00102030u);
}

// RLE data is read no further than biSizeImage: a run that would pass it
// ends the picture, and RLE without a stated size is refused.
TEST(DibTransfer, RleIsReadWithinItsStatedSize) {
    Canvas dst(8, 2, 0x00ABCDEF);
    struct {
        BITMAPINFOHEADER h;
        RGBQUAD pal[256];
    } bi{};
    bi.h.biSize = sizeof bi.h;
    bi.h.biWidth = 8;
    bi.h.biHeight = 2;
    bi.h.biPlanes = 1;
    bi.h.biBitCount = 8;
    bi.h.biCompression = BI_RLE8;
    bi.pal[1] = RGBQUAD{0, 0, 255, 0};
    bi.pal[2] = RGBQUAD{0, 255, 0, 0};
    // Bottom line: three of index 1; then an absolute run of 6 that the size cuts off.
    const uint8_t data[] = {3, 1, 0, 6, 2, 2, 2, 2, 2, 2};
    bi.h.biSizeImage = 6;
    auto* info = reinterpret_cast<BITMAPINFO*>(&bi);
    EXPECT_EQ(StretchDIBits(dst.dc, 0, 0, 8, 2, 0, 0, 8, 2, data, info, DIB_RGB_COLORS, SRCCOPY), 2);
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(dst.at(x, 1), x < 3 ? px(RGB(255, 0, 0)) : 0x00ABCDEFu) << x;  // skipped pixels stay
        EXPECT_EQ(dst.at(x, 0), 0x00ABCDEFu) << x;
    }
    bi.h.biSizeImage = 0;
    EXPECT_EQ(StretchDIBits(dst.dc, 0, 0, 8, 2, 0, 0, 8, 2, data, info, DIB_RGB_COLORS, SRCCOPY), 0);
}
