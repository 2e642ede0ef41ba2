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
