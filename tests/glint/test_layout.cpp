// Layout contracts of the layer's classes: the order of the virtual operations
// of IMAGE, DrawOnImg and DrawOnWnd, and which operations the window target
// replaces with its locked form. Slot numbers are read from pointers to
// virtual members as the Itanium C++ ABI encodes them (vtable offset + 1).
#include <cstring>
#include <type_traits>

#include "glint_test_util.h"

using namespace Glint;

namespace {
template <typename P>
long Slot(P p) {
    static_assert(sizeof(P) == 2 * sizeof(ptrdiff_t), "Itanium member pointer");
    ptrdiff_t raw[2];
    std::memcpy(raw, &p, sizeof raw);
    EXPECT_EQ(raw[0] & 1, 1) << "not a virtual member";
    return long((raw[0] - 1) / ptrdiff_t(sizeof(void*)));
}
}  // namespace

TEST(GlintLayout, VirtualSlotOrder) {
    // IMAGE: SetDefault, the destructor (two entries), Resize.
    EXPECT_EQ(Slot(&IMAGE::SetDefault), 0);
    EXPECT_EQ(Slot(&IMAGE::Resize), 3);

    using D = DrawOnImg;
    const long slots[] = {
        Slot(&D::cleardevice), Slot(&D::getlinecolor), Slot(&D::setlinecolor), Slot(&D::gettextcolor),
        Slot(&D::settextcolor), Slot(&D::getbkcolor), Slot(&D::setbkcolor), Slot(&D::getbkmode),
        Slot(&D::setbkmode), Slot(&D::setorigin), Slot(&D::setcliprgn), Slot(&D::clearcliprgn),
        Slot(&D::getlinestyle), Slot(static_cast<void (D::*)(const LINESTYLE*)>(&D::setlinestyle)),
        Slot(static_cast<void (D::*)(int, int, const DWORD*, DWORD)>(&D::setlinestyle)), Slot(&D::getfillstyle),
        Slot(static_cast<void (D::*)(const FILLSTYLE*)>(&D::setfillstyle)),
        Slot(static_cast<void (D::*)(BYTE*)>(&D::setfillstyle)),
        Slot(static_cast<void (D::*)(int, long, IMAGE*)>(&D::setfillstyle)), Slot(&D::getfillcolor),
        Slot(&D::setfillcolor), Slot(&D::getaspectratio), Slot(&D::setaspectratio), Slot(&D::getrop2),
        Slot(&D::setrop2), Slot(&D::getpolyfillmode), Slot(&D::setpolyfillmode), Slot(&D::graphdefaults),
        Slot(&D::getpixel), Slot(&D::putpixel), Slot(&D::line), Slot(&D::rectangle), Slot(&D::fillrectangle),
        Slot(&D::solidrectangle), Slot(&D::clearrectangle), Slot(&D::arcpiecore), Slot(&D::circle),
        Slot(&D::fillcircle), Slot(&D::solidcircle), Slot(&D::clearcircle), Slot(&D::ellipse),
        Slot(&D::fillellipse), Slot(&D::solidellipse), Slot(&D::clearellipse), Slot(&D::roundrect),
        Slot(&D::fillroundrect), Slot(&D::solidroundrect), Slot(&D::clearroundrect), Slot(&D::arc), Slot(&D::pie),
        Slot(&D::fillpie), Slot(&D::solidpie), Slot(&D::clearpie), Slot(&D::polyline), Slot(&D::polygon),
        Slot(&D::fillpolygon), Slot(&D::solidpolygon), Slot(&D::clearpolygon), Slot(&D::polybezier),
        Slot(&D::floodfill), Slot(&D::outtextxy), Slot(&D::drawtext), Slot(&D::textwidth), Slot(&D::textheight),
        Slot(static_cast<void (D::*)(int, int, LPCTSTR)>(&D::settextstyle)),
        Slot(static_cast<void (D::*)(int, int, LPCTSTR, int, int, int, bool, bool, bool)>(&D::settextstyle)),
        Slot(static_cast<void (D::*)(int, int, LPCTSTR, int, int, int, bool, bool, bool, BYTE, BYTE, BYTE, BYTE,
                                     BYTE)>(&D::settextstyle)),
        Slot(static_cast<void (D::*)(const LOGFONTA*)>(&D::settextstyle)), Slot(&D::gettextstyle),
        Slot(&D::getwidth), Slot(&D::getheight),
        // The window target's own operations follow.
        Slot(&DrawOnWnd::initgraph), Slot(&DrawOnWnd::closegraph), Slot(&DrawOnWnd::BeginBatchDraw),
        Slot(static_cast<void (DrawOnWnd::*)()>(&DrawOnWnd::FlushBatchDraw)),
        Slot(static_cast<void (DrawOnWnd::*)(int, int, int, int)>(&DrawOnWnd::FlushBatchDraw)),
        Slot(static_cast<void (DrawOnWnd::*)()>(&DrawOnWnd::EndBatchDraw)),
        Slot(static_cast<void (DrawOnWnd::*)(int, int, int, int)>(&DrawOnWnd::EndBatchDraw)),
    };
    // The destructor takes slots 0 and 1.
    for (size_t i = 0; i < sizeof slots / sizeof slots[0]; ++i) EXPECT_EQ(slots[i], long(i) + 2) << "entry " << i;
}

namespace {
template <typename T>
struct MemberClass;
template <typename R, typename C, typename... A>
struct MemberClass<R (C::*)(A...)> {
    using type = C;
};
}  // namespace

// Operations the window target replaces (their member pointer names DrawOnWnd)
// and operations it inherits unchanged (the pointer names DrawOnImg).
#define GLINT_OVERRIDDEN(name) \
    static_assert(std::is_same<MemberClass<decltype(&DrawOnWnd::name)>::type, DrawOnWnd>::value, #name);
#define GLINT_INHERITED(name) \
    static_assert(std::is_same<MemberClass<decltype(&DrawOnWnd::name)>::type, DrawOnImg>::value, #name);

GLINT_OVERRIDDEN(cleardevice)
GLINT_INHERITED(getlinecolor)
GLINT_INHERITED(setlinecolor)
GLINT_INHERITED(gettextcolor)
GLINT_OVERRIDDEN(settextcolor)
GLINT_INHERITED(getbkcolor)
GLINT_OVERRIDDEN(setbkcolor)
GLINT_OVERRIDDEN(getbkmode)
GLINT_OVERRIDDEN(setbkmode)
GLINT_OVERRIDDEN(setorigin)
GLINT_OVERRIDDEN(setcliprgn)
GLINT_OVERRIDDEN(clearcliprgn)
GLINT_INHERITED(getlinestyle)
GLINT_INHERITED(getfillstyle)
GLINT_INHERITED(getfillcolor)
GLINT_OVERRIDDEN(setfillcolor)
GLINT_INHERITED(getaspectratio)
GLINT_OVERRIDDEN(setaspectratio)
GLINT_OVERRIDDEN(getrop2)
GLINT_OVERRIDDEN(setrop2)
GLINT_OVERRIDDEN(getpolyfillmode)
GLINT_OVERRIDDEN(setpolyfillmode)
GLINT_INHERITED(graphdefaults)
GLINT_OVERRIDDEN(getpixel)
GLINT_OVERRIDDEN(putpixel)
GLINT_OVERRIDDEN(line)
GLINT_INHERITED(rectangle)
GLINT_OVERRIDDEN(fillrectangle)
GLINT_INHERITED(solidrectangle)
GLINT_INHERITED(clearrectangle)
GLINT_INHERITED(arcpiecore)
GLINT_INHERITED(circle)
GLINT_OVERRIDDEN(fillcircle)
GLINT_INHERITED(solidcircle)
GLINT_INHERITED(clearcircle)
GLINT_INHERITED(ellipse)
GLINT_OVERRIDDEN(fillellipse)
GLINT_INHERITED(solidellipse)
GLINT_INHERITED(clearellipse)
GLINT_INHERITED(roundrect)
GLINT_OVERRIDDEN(fillroundrect)
GLINT_INHERITED(solidroundrect)
GLINT_INHERITED(clearroundrect)
GLINT_OVERRIDDEN(arc)
GLINT_INHERITED(pie)
GLINT_OVERRIDDEN(fillpie)
GLINT_INHERITED(solidpie)
GLINT_INHERITED(clearpie)
GLINT_OVERRIDDEN(polyline)
GLINT_INHERITED(polygon)
GLINT_OVERRIDDEN(fillpolygon)
GLINT_INHERITED(solidpolygon)
GLINT_INHERITED(clearpolygon)
GLINT_OVERRIDDEN(polybezier)
GLINT_OVERRIDDEN(floodfill)
GLINT_OVERRIDDEN(outtextxy)
GLINT_OVERRIDDEN(drawtext)
GLINT_OVERRIDDEN(textwidth)
GLINT_OVERRIDDEN(textheight)
GLINT_OVERRIDDEN(gettextstyle)
GLINT_INHERITED(getwidth)
GLINT_INHERITED(getheight)

// Record layouts of the public header.
TEST(GlintLayout, RecordFieldOrder) {
    EXPECT_EQ(offsetof(ExMessage, message), 0u);
    ExMessage m;
    std::memset(&m, 0, sizeof m);
    m.ctrl = m.lbutton = m.rbutton = true;
    m.x = -2;
    const BYTE* raw = reinterpret_cast<const BYTE*>(&m);
    size_t u = offsetof(ExMessage, wParam);
    EXPECT_EQ(raw[u], 0x01 | 0x04 | 0x10);  // ctrl, shift, lbutton, mbutton, rbutton from the lowest bit
    EXPECT_EQ(offsetof(ExMessage, x), u + 2);
    EXPECT_EQ(offsetof(ExMessage, y), u + 4);
    EXPECT_EQ(offsetof(ExMessage, wheel), u + 6);
    EXPECT_EQ(offsetof(ExMessage, vkcode), u);
    EXPECT_EQ(offsetof(ExMessage, scancode), u + 1);
    EXPECT_EQ(offsetof(ExMessage, ch), u);
    EXPECT_EQ(offsetof(ExMessage, lParam), u + 8);
    std::memset(&m, 0, sizeof m);
    m.prevdown = true;
    EXPECT_EQ(raw[u + 2], 0x02);  // extended, prevdown from the lowest bit of the third byte
}
