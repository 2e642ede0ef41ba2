// DrawTextA: measuring (DT_CALCRECT), line breaking, prefixes, tabs, and
// where the text lands in a 32-bpp DIB for the alignment and clip flags.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "windows.h"

namespace {

constexpr uint32_t kWhite = 0x00FFFFFF;

// A memory DC on a top-down 32-bpp DIB with the 16-pixel system font,
// black text on white, transparent background.
class DrawTextTest : public testing::Test {
protected:
    void SetUp() override {
        dc_ = CreateCompatibleDC(nullptr);
        ASSERT_NE(dc_, nullptr);
        BITMAPINFO bi;
        std::memset(&bi, 0, sizeof bi);
        bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bi.bmiHeader.biWidth = kW;
        bi.bmiHeader.biHeight = -kH;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bmp_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        ASSERT_NE(bmp_, nullptr);
        px_ = static_cast<uint32_t*>(bits);
        old_bmp_ = SelectObject(dc_, bmp_);
        LOGFONTA lf;
        std::memset(&lf, 0, sizeof lf);
        lf.lfHeight = 16;
        lf.lfCharSet = DEFAULT_CHARSET;
        lf.lfQuality = NONANTIALIASED_QUALITY;
        std::strcpy(lf.lfFaceName, "System");
        font_ = CreateFontIndirectA(&lf);
        old_font_ = SelectObject(dc_, font_);
        SetTextColor(dc_, RGB(0, 0, 0));
        SetBkColor(dc_, RGB(255, 255, 255));
        SetBkMode(dc_, TRANSPARENT);
        Clear();
    }
    void TearDown() override {
        SelectObject(dc_, old_font_);
        SelectObject(dc_, old_bmp_);
        DeleteObject(font_);
        DeleteObject(bmp_);
        DeleteDC(dc_);
    }

    void Clear() {
        for (int i = 0; i < kW * kH; ++i) px_[i] = kWhite;
    }

    // Bounding box of every non-white pixel; left > right when there is none.
    RECT Ink() const {
        RECT r{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x)
                if ((px_[y * kW + x] & 0xFFFFFF) != kWhite) {
                    r.left = std::min<LONG>(r.left, x);
                    r.top = std::min<LONG>(r.top, y);
                    r.right = std::max<LONG>(r.right, x + 1);
                    r.bottom = std::max<LONG>(r.bottom, y + 1);
                }
        return r;
    }

    // DT_CALCRECT from a rectangle at (10, 20) of the given width.
    RECT Calc(const char* text, UINT fmt, int width = 1000, int* ret = nullptr) {
        RECT r{10, 20, 10 + width, 20};
        int h = DrawTextA(dc_, text, -1, &r, fmt | DT_CALCRECT);
        if (ret) *ret = h;
        return r;
    }

    static constexpr int kW = 200, kH = 80;
    HDC dc_ = nullptr;
    HBITMAP bmp_ = nullptr;
    HFONT font_ = nullptr;
    HGDIOBJ old_bmp_ = nullptr, old_font_ = nullptr;
    uint32_t* px_ = nullptr;
};

TEST_F(DrawTextTest, CalcRectSingleLine) {
    int h = 0;
    RECT r = Calc("Hello", DT_SINGLELINE, 1000, &h);
    EXPECT_EQ(h, 16);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 20);
    EXPECT_EQ(r.right, 10 + 5 * 8);
    EXPECT_EQ(r.bottom, 20 + 16);
    // Chinese characters are 16 pixels wide; an explicit length counts bytes.
    RECT r2{0, 0, 0, 0};
    EXPECT_EQ(DrawTextA(dc_, "A\xd6\xd0\xce\xc4xyz", 5, &r2, DT_CALCRECT | DT_SINGLELINE), 16);
    EXPECT_EQ(r2.right, 8 + 32);
    // Nothing is drawn while measuring.
    EXPECT_GT(Ink().left, Ink().right);
}

TEST_F(DrawTextTest, CalcRectWordWrap) {
    int h = 0;
    // 60 pixels hold "aaa bbb" (56) but not "aaa bbb ccc".
    RECT r = Calc("aaa bbb ccc", DT_WORDBREAK, 60, &h);
    EXPECT_EQ(h, 32);
    EXPECT_EQ(r.bottom, 20 + 32);
    EXPECT_EQ(r.right, 10 + 56);
    // A line that fits exactly stays whole; one pixel less breaks it.
    EXPECT_EQ((Calc("aaa bbb", DT_WORDBREAK, 56, &h), h), 16);
    EXPECT_EQ((Calc("aaa bbb", DT_WORDBREAK, 55, &h), h), 32);
    // Spaces at a break do not count; several spaces are dropped together.
    r = Calc("aaaa    bbbb", DT_WORDBREAK, 40, &h);
    EXPECT_EQ(h, 32);
    EXPECT_EQ(r.right, 10 + 32);
    // Explicit line breaks still break; a break at the end adds no line.
    EXPECT_EQ((Calc("a\nbb\r\nccc", DT_WORDBREAK, 100, &h), h), 48);
    EXPECT_EQ((Calc("a\r\n", DT_WORDBREAK, 100, &h), h), 16);
    EXPECT_EQ((Calc("a\n\nb", 0, 100, &h), h), 48);  // an empty line in the middle counts
}

TEST_F(DrawTextTest, LongWordsBreakOnlyForEditControls) {
    int h = 0;
    RECT r = Calc("abcdefghij", DT_WORDBREAK, 40, &h);
    EXPECT_EQ(h, 16);                // kept whole: the rectangle grows
    EXPECT_EQ(r.right, 10 + 80);
    r = Calc("abcdefghij", DT_WORDBREAK | DT_EDITCONTROL, 40, &h);
    EXPECT_EQ(h, 32);
    EXPECT_EQ(r.right, 10 + 40);
}

TEST_F(DrawTextTest, ChineseBreaksBetweenCharactersNeverInside) {
    int h = 0;
    // Six characters of 16 pixels in 40: two per line, three lines.
    RECT r = Calc("\xd6\xd0\xce\xc4\xd6\xd0\xce\xc4\xd6\xd0\xce\xc4", DT_WORDBREAK, 40, &h);
    EXPECT_EQ(h, 48);
    EXPECT_EQ(r.right, 10 + 32);
    // Latin followed by Chinese may break between them.
    r = Calc("abc\xd6\xd0\xce\xc4", DT_WORDBREAK, 39, &h);
    EXPECT_EQ(h, 32);
    EXPECT_EQ(r.right, 10 + 32);
    // DT_NOFULLWIDTHCHARBREAK: a Chinese run breaks only at blanks.
    r = Calc("\xd6\xd0\xce\xc4\xd6\xd0 \xce\xc4", DT_WORDBREAK | DT_NOFULLWIDTHCHARBREAK, 40, &h);
    EXPECT_EQ(h, 32);
    EXPECT_EQ(r.right, 10 + 48);
    // A 17-pixel line cannot hold half a character of the next one.
    r = Calc("\xd6\xd0\xce\xc4", DT_WORDBREAK | DT_EDITCONTROL, 17, &h);
    EXPECT_EQ(h, 32);
    EXPECT_EQ(r.right, 10 + 16);
}

TEST_F(DrawTextTest, PrefixCharacters) {
    EXPECT_EQ(Calc("&File", DT_SINGLELINE).right, 10 + 32);
    EXPECT_EQ(Calc("a&&b", DT_SINGLELINE).right, 10 + 24);
    EXPECT_EQ(Calc("&File", DT_SINGLELINE | DT_NOPREFIX).right, 10 + 40);
    EXPECT_EQ(Calc("x&", DT_SINGLELINE).right, 10 + 8);
    // The byte after '&' may start a Chinese character: the pair stays whole.
    EXPECT_EQ(Calc("&\xd6\xd0", DT_SINGLELINE).right, 10 + 16);
}

TEST_F(DrawTextTest, PrefixedCharacterIsUnderlined) {
    RECT r{0, 0, kW, 16};
    // The underline leaves the DC's colours and modes as they were.
    SetBkColor(dc_, RGB(1, 2, 3));
    SetTextColor(dc_, RGB(4, 5, 6));
    const int mode = GetBkMode(dc_);
    DrawTextA(dc_, "x&H", -1, &r, DT_SINGLELINE);
    EXPECT_EQ(GetBkColor(dc_), RGB(1, 2, 3));
    EXPECT_EQ(GetTextColor(dc_), RGB(4, 5, 6));
    EXPECT_EQ(GetBkMode(dc_), mode);
    SetTextColor(dc_, RGB(0, 0, 0));
    SetBkColor(dc_, RGB(255, 255, 255));
    Clear();
    DrawTextA(dc_, "H", -1, &r, DT_SINGLELINE);
    RECT plain = Ink();  // 'H' ends above the descent
    ASSERT_LT(plain.bottom, 15);
    Clear();
    DrawTextA(dc_, "x&H", -1, &r, DT_SINGLELINE);
    RECT ink = Ink();
    EXPECT_EQ(ink.bottom, 15 + 1);  // the line one pixel below the baseline
    // Only under the H, cell 8..16.
    for (int x = 0; x < kW; ++x) EXPECT_EQ(px_[15 * kW + x] != kWhite, x >= 8 && x < 16) << x;
    Clear();
    DrawTextA(dc_, "x&H", -1, &r, DT_SINGLELINE | DT_HIDEPREFIX);
    EXPECT_EQ(Ink().bottom, plain.bottom);
    Clear();
    DrawTextA(dc_, "x&H", -1, &r, DT_SINGLELINE | DT_PREFIXONLY);
    ink = Ink();
    EXPECT_EQ(ink.top, 15);  // the underline alone
    EXPECT_EQ(ink.left, 8);
    EXPECT_EQ(ink.right, 16);
    Clear();
    DrawTextA(dc_, "a&&b", -1, &r, DT_SINGLELINE);
    EXPECT_LT(Ink().bottom, 15);  // an escaped '&' underlines nothing
    // Shortened by an ellipsis: the underline stays with a character that
    // is still shown and goes with one that is not.
    RECT narrow{0, 0, 40, 16};
    Clear();
    DrawTextA(dc_, "&HHHHHHHHH", -1, &narrow, DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_EQ(Ink().bottom, 16);
    Clear();
    DrawTextA(dc_, "HHHHHHHH&H", -1, &narrow, DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_LT(Ink().bottom, 15);
}

TEST_F(DrawTextTest, Ellipses) {
    // "ab..." is the longest form that fits 40 pixels.
    EXPECT_EQ(Calc("abcdefghij", DT_SINGLELINE | DT_END_ELLIPSIS, 40).right, 10 + 40);
    EXPECT_EQ(Calc("abcdefghij", DT_SINGLELINE | DT_WORD_ELLIPSIS, 43).right, 10 + 40);
    EXPECT_EQ(Calc("abc", DT_SINGLELINE | DT_END_ELLIPSIS, 40).right, 10 + 24);  // fits: unchanged
    {  // fits exactly: drawn as it is, no dots
        RECT fit{0, 0, 40, 16};
        DrawTextA(dc_, "HHHHH", -1, &fit, DT_SINGLELINE | DT_END_ELLIPSIS);
        const std::vector<uint32_t> with_flag(px_, px_ + kW * kH);
        Clear();
        DrawTextA(dc_, "HHHHH", -1, &fit, DT_SINGLELINE);
        EXPECT_TRUE(std::equal(with_flag.begin(), with_flag.end(), px_));
        Clear();
    }
    // Chinese characters are dropped whole: "中..." is 40 pixels.
    EXPECT_EQ(Calc("\xd6\xd0\xce\xc4\xd6\xd0\xce\xc4", DT_SINGLELINE | DT_END_ELLIPSIS, 47).right, 10 + 40);
    // The last path component is kept: "...\file.txt" is 12 characters of 15.
    EXPECT_EQ(Calc("c:\\dir\\file.txt", DT_SINGLELINE | DT_PATH_ELLIPSIS, 100).right, 10 + 96);
    EXPECT_EQ(Calc("c:\\dir\\file.txt", DT_SINGLELINE | DT_PATH_ELLIPSIS, 120).right, 10 + 120);  // fits whole
    // Drawn: the dots appear at the right end of the box, nothing beyond it.
    RECT r{0, 0, 40, 16};
    DrawTextA(dc_, "HHHHHHHHHH", -1, &r, DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOCLIP);
    RECT ink = Ink();
    EXPECT_LE(ink.right, 40);
    EXPECT_GT(ink.right, 32);
}

TEST_F(DrawTextTest, ExpandTabs) {
    // Tab stops every 8 average characters (64 pixels).
    EXPECT_EQ(Calc("a\tb", DT_SINGLELINE | DT_EXPANDTABS).right, 10 + 64 + 8);
    EXPECT_EQ(Calc("abcdefghi\tb", DT_SINGLELINE | DT_EXPANDTABS).right, 10 + 128 + 8);
    // Drawn: the character after the tab starts at the stop.
    RECT r{0, 0, kW, 16};
    DrawTextA(dc_, "\tI", -1, &r, DT_SINGLELINE | DT_EXPANDTABS | DT_NOCLIP);
    RECT ink = Ink();
    EXPECT_GE(ink.left, 64);
    EXPECT_LE(ink.right, 72);
    // DT_TABSTOP takes the tab size from the format's second byte (which is
    // why it cannot be combined with DT_CALCRECT or DT_NOCLIP).
    Clear();
    DrawTextA(dc_, "\tI", -1, &r, DT_SINGLELINE | DT_EXPANDTABS | DT_TABSTOP | (2 << 8));
    ink = Ink();
    EXPECT_GE(ink.left, 16);
    EXPECT_LE(ink.right, 24);
}

TEST_F(DrawTextTest, HorizontalAlignment) {
    RECT r{0, 0, 100, 16};
    EXPECT_EQ(DrawTextA(dc_, "AB", -1, &r, DT_SINGLELINE | DT_LEFT), 16);
    RECT left = Ink();
    ASSERT_LT(left.left, left.right);
    Clear();
    DrawTextA(dc_, "AB", -1, &r, DT_SINGLELINE | DT_CENTER);
    RECT center = Ink();
    EXPECT_EQ(center.left - left.left, (100 - 16) / 2);
    EXPECT_EQ(center.top, left.top);
    Clear();
    DrawTextA(dc_, "AB", -1, &r, DT_SINGLELINE | DT_RIGHT);
    EXPECT_EQ(Ink().left - left.left, 100 - 16);
    // Each wrapped line is centred on its own.
    Clear();
    RECT w{0, 0, 40, 80};
    EXPECT_EQ(DrawTextA(dc_, "AAAA B", -1, &w, DT_WORDBREAK | DT_CENTER), 32);
    RECT ink = Ink();
    EXPECT_EQ(ink.left, 4 + 1);  // "AAAA" at (40-32)/2, 'A' starts one pixel in
    EXPECT_GE(ink.bottom, 16 + 4);
}

TEST_F(DrawTextTest, VerticalAlignmentNeedsSingleLine) {
    RECT r{0, 0, 100, 16};
    DrawTextA(dc_, "H", -1, &r, DT_SINGLELINE);
    RECT top = Ink();
    Clear();
    RECT box{0, 0, 100, 50};
    EXPECT_EQ(DrawTextA(dc_, "H", -1, &box, DT_SINGLELINE | DT_VCENTER), 17 + 16);
    EXPECT_EQ(Ink().top - top.top, 17);
    Clear();
    EXPECT_EQ(DrawTextA(dc_, "H", -1, &box, DT_SINGLELINE | DT_BOTTOM), 50);
    EXPECT_EQ(Ink().top - top.top, 34);
    Clear();
    // Without DT_SINGLELINE they do nothing.
    EXPECT_EQ(DrawTextA(dc_, "H", -1, &box, DT_VCENTER), 16);
    EXPECT_EQ(Ink().top, top.top);
}

TEST_F(DrawTextTest, ClipsToTheRectangleUnlessNoClip) {
    RECT r{0, 0, 20, 16};
    DrawTextA(dc_, "HHHHHHHH", -1, &r, DT_SINGLELINE);
    RECT ink = Ink();
    ASSERT_LT(ink.left, ink.right);
    EXPECT_LE(ink.right, 20);
    Clear();
    DrawTextA(dc_, "HHHHHHHH", -1, &r, DT_SINGLELINE | DT_NOCLIP);
    EXPECT_GT(Ink().right, 40);
    // Opaque background is clipped as well.
    Clear();
    SetBkMode(dc_, OPAQUE);
    SetBkColor(dc_, RGB(255, 0, 0));
    RECT low{0, 20, 30, 30};
    DrawTextA(dc_, "HHHHHHHH", -1, &low, 0);
    ink = Ink();
    EXPECT_EQ(ink.top, 20);
    EXPECT_EQ(ink.bottom, 30);
    EXPECT_EQ(ink.right, 30);
}

TEST_F(DrawTextTest, SingleLineKeepsLineBreakCharacters) {
    int h = 0;
    Calc("a\nb", DT_SINGLELINE, 1000, &h);
    EXPECT_EQ(h, 16);
    EXPECT_EQ((Calc("a\nb", 0, 1000, &h), h), 32);
}

TEST_F(DrawTextTest, BadArgumentsAndEmptyText) {
    RECT r{0, 0, 10, 10};
    EXPECT_EQ(DrawTextA(nullptr, "x", -1, &r, 0), 0);
    EXPECT_EQ(DrawTextA(dc_, nullptr, -1, &r, 0), 0);
    EXPECT_EQ(DrawTextA(dc_, "x", -1, nullptr, 0), 0);
    int h = 0;
    RECT e = Calc("", DT_SINGLELINE, 50, &h);
    EXPECT_EQ(h, 16);
    EXPECT_EQ(e.right, 10);
}

}  // namespace
