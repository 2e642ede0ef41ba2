// Text output and measurement with the default (16-pixel System) font.
#include <cstring>

#include "gdi_test_util.h"

using namespace gdi_test;

namespace {

constexpr uint32_t kBg = 0x00102030;
const char kZhong[] = "\xD6\xD0";  // U+4E2D in code page 936

}  // namespace

TEST(GdiText, DefaultFontExtentsAndMetrics) {
    HDC dc = CreateCompatibleDC(nullptr);
    SIZE sz{};
    ASSERT_TRUE(GetTextExtentPoint32A(dc, "A", 1, &sz));
    EXPECT_EQ(sz.cx, 8);
    EXPECT_EQ(sz.cy, 16);
    ASSERT_TRUE(GetTextExtentPoint32A(dc, kZhong, 2, &sz));
    EXPECT_EQ(sz.cx, 16);
    EXPECT_EQ(sz.cy, 16);
    std::string mixed = std::string("Ab") + kZhong + kZhong;
    GetTextExtentPoint32A(dc, mixed.c_str(), int(mixed.size()), &sz);
    EXPECT_EQ(sz.cx, 8 + 8 + 16 + 16);
    EXPECT_TRUE(GetTextExtentPoint32A(dc, "", 0, &sz));
    EXPECT_EQ(sz.cx, 0);
    EXPECT_EQ(sz.cy, 16);
    EXPECT_FALSE(GetTextExtentPoint32A(dc, "A", -1, &sz));
    EXPECT_FALSE(GetTextExtentPoint32A(dc, "A", 1, nullptr));
    TEXTMETRICA tm{};
    ASSERT_TRUE(GetTextMetricsA(dc, &tm));
    EXPECT_EQ(tm.tmHeight, 16);
    EXPECT_EQ(tm.tmAscent + tm.tmDescent, 16);
    char face[LF_FACESIZE];
    EXPECT_EQ(GetTextFaceA(dc, sizeof face, face), 7);
    EXPECT_STREQ(face, "System");
    char small[4];
    EXPECT_EQ(GetTextFaceA(dc, sizeof small, small), 4);
    EXPECT_STREQ(small, "Sys");
    // A font made from the same description as the layer's default measures alike.
    LOGFONTA lf{};
    lf.lfHeight = 16;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = NONANTIALIASED_QUALITY;
    std::strcpy(lf.lfFaceName, "System");
    HFONT f = CreateFontIndirectA(&lf);
    HGDIOBJ old = SelectObject(dc, f);
    EXPECT_EQ(old, GetStockObject(SYSTEM_FONT));
    GetTextExtentPoint32A(dc, mixed.c_str(), int(mixed.size()), &sz);
    EXPECT_EQ(sz.cx, 48);
    SelectObject(dc, old);
    DeleteObject(f);
    DeleteDC(dc);
}

TEST(GdiText, OpaqueModePaintsTheCellTransparentOnlyGlyphs) {
    std::string text = std::string("A") + kZhong;  // 24 x 16 cell
    for (int mode : {OPAQUE, TRANSPARENT}) {
        Canvas cv(40, 30, kBg);
        SetBkMode(cv.dc, mode);
        SetBkColor(cv.dc, RGB(255, 255, 255));
        SetTextColor(cv.dc, RGB(0, 0, 0));
        ASSERT_TRUE(TextOutA(cv.dc, 3, 4, text.c_str(), int(text.size())));
        int ink = 0, paper = 0;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x) {
                uint32_t v = cv.at(x, y);
                bool in_cell = x >= 3 && x < 27 && y >= 4 && y < 20;
                if (!in_cell) {
                    ASSERT_EQ(v, kBg) << "outside the cell at " << x << "," << y;
                    continue;
                }
                if (v == 0) ++ink;
                else if (v == 0xFFFFFF) ++paper;
                else ASSERT_EQ(v, kBg) << "at " << x << "," << y;
            }
        EXPECT_GT(ink, 20);
        if (mode == OPAQUE) EXPECT_EQ(ink + paper, 24 * 16);
        else EXPECT_EQ(paper, 0);
    }
}

TEST(GdiText, AlignmentTransformAndClip) {
    Canvas cv(60, 40, kBg);
    SetBkColor(cv.dc, RGB(255, 255, 255));
    EXPECT_EQ(GetTextAlign(cv.dc), UINT(TA_TOP | TA_LEFT));
    // Right/bottom alignment puts the cell's bottom-right corner at the point.
    SetTextAlign(cv.dc, TA_RIGHT | TA_BOTTOM);
    TextOutA(cv.dc, 30, 30, "AB", 2);
    ExpectBox(cv.changed(kBg), 14, 14, 29, 29);
    // The origin of the world transform moves text.
    cv.clear(kBg);
    SetTextAlign(cv.dc, TA_TOP | TA_LEFT);
    SetGraphicsMode(cv.dc, GM_ADVANCED);
    XFORM xf{1, 0, 0, 1, 20, 5};
    SetWorldTransform(cv.dc, &xf);
    TextOutA(cv.dc, 1, 2, "A", 1);
    ExpectBox(cv.changed(kBg), 21, 7, 28, 22);
    // Clipped to the clip region.
    cv.clear(kBg);
    HRGN clip = CreateRectRgn(21, 7, 25, 10);
    SelectClipRgn(cv.dc, clip);
    DeleteObject(clip);
    TextOutA(cv.dc, 1, 2, "A", 1);
    ExpectBox(cv.changed(kBg), 21, 7, 24, 9);
    // Bad arguments.
    EXPECT_FALSE(TextOutA(cv.dc, 0, 0, nullptr, 3));
    EXPECT_FALSE(TextOutA(cv.dc, 0, 0, "A", -1));
    EXPECT_TRUE(TextOutA(cv.dc, 0, 0, "", 0));
}

TEST(GdiText, ScalingTransformDrawsAtDeviceSize) {
    Canvas cv(80, 60, kBg);
    SetBkColor(cv.dc, RGB(255, 255, 255));
    SetGraphicsMode(cv.dc, GM_ADVANCED);
    XFORM xf{2, 0, 0, 2, 4, 6};
    SetWorldTransform(cv.dc, &xf);
    SIZE logical{};
    GetTextExtentPoint32A(cv.dc, "AB", 2, &logical);
    EXPECT_EQ(logical.cx, 16);  // extents stay in logical units
    EXPECT_EQ(logical.cy, 16);
    TextOutA(cv.dc, 1, 2, "AB", 2);
    RECT box = cv.changed(kBg);
    EXPECT_EQ(box.left, 6);
    EXPECT_EQ(box.top, 10);
    EXPECT_EQ(box.bottom - box.top + 1, 32);
    EXPECT_GT(box.right - box.left + 1, 24);  // a 32-pixel face, wider than the 16-pixel cell pair
}
