// Text on a bitmap with a colour table: the text and its opaque background
// are stored as the table entries nearest to their colours, never as the
// low bits of the colour and never as a blend of indices.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>

TEST(GdiTableText, TextAndBackgroundTakeTheirNearestEntries) {
    struct {
        BITMAPINFOHEADER h;
        RGBQUAD colors[256];
    } bi{};
    bi.h.biSize = sizeof(BITMAPINFOHEADER);
    bi.h.biWidth = 64;
    bi.h.biHeight = -24;
    bi.h.biPlanes = 1;
    bi.h.biBitCount = 8;
    // White everywhere but black at 0, blue at 3 and red at 200: a blend of
    // the red and blue indices would land on a white entry.
    for (RGBQUAD& q : bi.colors) q = RGBQUAD{255, 255, 255, 0};
    bi.colors[0] = RGBQUAD{0, 0, 0, 0};
    bi.colors[3] = RGBQUAD{200, 0, 0, 0};
    bi.colors[200] = RGBQUAD{0, 0, 230, 0};
    void* bits = nullptr;
    HBITMAP bm = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(bm, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, bm);
    RECT all{0, 0, 64, 24};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetTextColor(dc, RGB(250, 10, 10));  // nearest: red (200); its low byte would be index 250
    SetBkColor(dc, RGB(10, 20, 190));    // nearest: blue (3)
    SetBkMode(dc, OPAQUE);
    // Smoothed glyphs: their partly covered pixels cannot blend indices.
    HFONT font = CreateFontA(18, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH, "Arial");
    HGDIOBJ old_font = SelectObject(dc, font);
    ASSERT_TRUE(TextOutA(dc, 2, 2, "HWX", 3));
    SelectObject(dc, old_font);
    DeleteObject(font);
    std::set<int> seen;
    const auto* px = static_cast<const uint8_t*>(bits);
    for (int i = 0; i < 64 * 24; ++i) seen.insert(px[i]);
    EXPECT_TRUE(seen.count(200)) << "no text pixels";
    EXPECT_TRUE(seen.count(3)) << "no background pixels";
    for (int v : seen) EXPECT_TRUE(v == 1 || v == 200 || v == 3) << "index " << v;
    DeleteDC(dc);
    DeleteObject(bm);
}
