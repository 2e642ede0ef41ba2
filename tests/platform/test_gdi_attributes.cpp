// The single-value DC attributes, one table: the default a new DC has, a
// value Set takes (and what Get then gives back), a value Set rejects, what
// both return for a bad DC, and SaveDC/RestoreDC bringing the value back.
#include <gtest/gtest.h>

#include <functional>

#include "windows.h"

namespace {

struct AttributeCase {
    const char* name;
    std::function<DWORD(HDC, DWORD)> set;
    std::function<DWORD(HDC)> get;
    DWORD initial, value, read_back, rejected, fail;
    bool has_rejected;
};

TEST(GdiAttributes, SetGetRejectBadDcAndRestore) {
    const AttributeCase cases[] = {
        {"text colour", [](HDC d, DWORD v) { return DWORD(SetTextColor(d, v)); },
         [](HDC d) { return DWORD(GetTextColor(d)); }, RGB(0, 0, 0), 0x01123456, 0x123456, 0x03000000, CLR_INVALID, true},
        {"background colour", [](HDC d, DWORD v) { return DWORD(SetBkColor(d, v)); },
         [](HDC d) { return DWORD(GetBkColor(d)); }, RGB(255, 255, 255), 0x02ABCDEF, 0xABCDEF, 0x10000000, CLR_INVALID,
         true},
        {"DC brush colour", [](HDC d, DWORD v) { return DWORD(SetDCBrushColor(d, v)); },
         [](HDC d) { return DWORD(GetDCBrushColor(d)); }, RGB(255, 255, 255), 0x7F010203, 0x010203, 0, CLR_INVALID,
         false},
        {"DC pen colour", [](HDC d, DWORD v) { return DWORD(SetDCPenColor(d, v)); },
         [](HDC d) { return DWORD(GetDCPenColor(d)); }, RGB(0, 0, 0), RGB(9, 8, 7), RGB(9, 8, 7), 0, CLR_INVALID, false},
        {"background mode", [](HDC d, DWORD v) { return DWORD(SetBkMode(d, int(v))); },
         [](HDC d) { return DWORD(GetBkMode(d)); }, OPAQUE, TRANSPARENT, TRANSPARENT, 3, 0, true},
        {"mix mode", [](HDC d, DWORD v) { return DWORD(SetROP2(d, int(v))); },
         [](HDC d) { return DWORD(GetROP2(d)); }, R2_COPYPEN, R2_WHITE, R2_WHITE, R2_WHITE + 1, 0, true},
        {"polygon fill mode", [](HDC d, DWORD v) { return DWORD(SetPolyFillMode(d, int(v))); },
         [](HDC d) { return DWORD(GetPolyFillMode(d)); }, ALTERNATE, WINDING, WINDING, 0, 0, true},
        {"stretch mode", [](HDC d, DWORD v) { return DWORD(SetStretchBltMode(d, int(v))); },
         [](HDC d) { return DWORD(GetStretchBltMode(d)); }, BLACKONWHITE, HALFTONE, HALFTONE, HALFTONE + 1, 0, true},
        {"arc direction", [](HDC d, DWORD v) { return DWORD(SetArcDirection(d, int(v))); },
         [](HDC d) { return DWORD(GetArcDirection(d)); }, AD_COUNTERCLOCKWISE, AD_CLOCKWISE, AD_CLOCKWISE, 0, 0, true},
        {"text alignment", [](HDC d, DWORD v) { return DWORD(SetTextAlign(d, UINT(v))); },
         [](HDC d) { return DWORD(GetTextAlign(d)); }, TA_TOP | TA_LEFT, TA_BASELINE | TA_CENTER | TA_UPDATECP,
         TA_BASELINE | TA_CENTER | TA_UPDATECP, 0, GDI_ERROR, false},
    };
    HDC bad = reinterpret_cast<HDC>(static_cast<intptr_t>(0x7FFF0));
    for (const AttributeCase& c : cases) {
        SCOPED_TRACE(c.name);
        HDC dc = CreateCompatibleDC(nullptr);
        EXPECT_EQ(c.get(dc), c.initial);
        const int saved = SaveDC(dc);
        EXPECT_EQ(c.set(dc, c.value), c.initial);
        EXPECT_EQ(c.get(dc), c.read_back);
        if (c.has_rejected) {
            EXPECT_EQ(c.set(dc, c.rejected), c.fail);
            EXPECT_EQ(c.get(dc), c.read_back);  // a rejected value changes nothing
        }
        EXPECT_TRUE(RestoreDC(dc, saved));
        EXPECT_EQ(c.get(dc), c.initial);
        EXPECT_EQ(c.set(bad, c.value), c.fail);
        EXPECT_EQ(c.get(bad), c.fail);
        DeleteDC(dc);
    }
}

}  // namespace

namespace {

// The page transform's state calls, as the reference GDI answers them:
// extents are ignored outside the scalable map modes, MM_ANISOTROPIC keeps
// the extents it finds, a zero extent and map mode 0 are refused, DPtoLP
// inverts the mapping, SaveDC/RestoreDC bring the origins back.
TEST(GdiPageTransform, ExtentsOriginsModesAndTheInverse) {
    HDC dc = CreateCompatibleDC(nullptr);
    SIZE s{};
    EXPECT_TRUE(SetWindowExtEx(dc, 5, 7, &s));
    EXPECT_EQ(s.cx, 1);
    ASSERT_TRUE(GetWindowExtEx(dc, &s));
    EXPECT_EQ(s.cx, 1);  // MM_TEXT: not taken
    EXPECT_EQ(s.cy, 1);
    EXPECT_EQ(SetMapMode(dc, MM_ANISOTROPIC), MM_TEXT);
    ASSERT_TRUE(GetViewportExtEx(dc, &s));
    EXPECT_EQ(s.cx, 1);
    EXPECT_EQ(s.cy, 1);
    EXPECT_FALSE(SetWindowExtEx(dc, 0, 7, nullptr));
    ASSERT_TRUE(SetWindowExtEx(dc, 3, 3, nullptr));
    ASSERT_TRUE(SetViewportExtEx(dc, 2, -4, nullptr));
    ASSERT_TRUE(SetViewportOrgEx(dc, 10, 10, nullptr));
    POINT p[2] = {{7, -8}, {-3, 6}};
    ASSERT_TRUE(DPtoLP(dc, p, 1));
    EXPECT_EQ(p[0].x, -4);
    EXPECT_EQ(p[0].y, 13);
    ASSERT_TRUE(LPtoDP(dc, p + 1, 1));  // (-3 * 2/3 + 10, 6 * -4/3 + 10)
    EXPECT_EQ(p[1].x, 8);
    EXPECT_EQ(p[1].y, 2);
    int saved = SaveDC(dc);
    POINT old{};
    ASSERT_TRUE(OffsetWindowOrgEx(dc, 4, -2, &old));
    EXPECT_EQ(old.x, 0);
    ASSERT_TRUE(GetWindowOrgEx(dc, &old));
    EXPECT_EQ(old.x, 4);
    EXPECT_EQ(old.y, -2);
    ASSERT_TRUE(RestoreDC(dc, saved));
    ASSERT_TRUE(GetWindowOrgEx(dc, &old));
    EXPECT_EQ(old.x, 0);
    p[1] = POINT{-3, 6};
    ASSERT_TRUE(LPtoDP(dc, p + 1, 1));  // the restored state maps as before
    EXPECT_EQ(p[1].x, 8);
    EXPECT_EQ(SetMapMode(dc, 0), 0);
    EXPECT_EQ(SetMapMode(dc, MM_TEXT), MM_ANISOTROPIC);
    ASSERT_TRUE(GetViewportOrgEx(dc, &old));
    EXPECT_EQ(old.x, 10);  // the origins stay with the mode change
    DeleteDC(dc);
}

}  // namespace
