// Shapes: which platform call each primitive makes with which arguments (the
// GDI entry points swapped for recorders), the order in which the composite
// variants read, switch and restore the drawing state (a target that logs its
// own virtual calls), their pixels against the same shape drawn with direct
// GDI calls on an identical image, rounding and the arcs' end points.
#include <climits>
#include <cmath>
#include <functional>
#include <string>

#include "glint_test_util.h"

using namespace Glint;
using glint_test::Pixel;

namespace {

const double kPi = 3.14159265358979323846;

std::string Fn(const char* name, std::initializer_list<long long> args) {
    std::string s = std::string(name) + "(";
    for (long long a : args) s += (s.back() == '(' ? "" : ",") + std::to_string(a);
    return s + ")";
}

// ---- recording the GDI calls of the primitives ----
std::string g_log;
bool g_expectLock = false;
const POINT* g_points = nullptr;

// Whether the calling thread holds the drawing lock (another thread cannot take it).
bool LockHeld() {
    bool free = false;
    std::thread([&] {
        if (TryEnterCriticalSection(&g_csGDILock)) {
            free = true;
            LeaveCriticalSection(&g_csGDILock);
        }
    }).join();
    return !free;
}

void Note(const std::string& call, HDC dc) {
    EXPECT_EQ(dc, g_hMemDC) << call;
    EXPECT_EQ(LockHeld(), g_expectLock) << call;
    g_log += (g_log.empty() ? "" : " ") + call;
}

// One recorder per entry point: notes its name and arguments (for point
// arrays whether they are the caller's array) and draws nothing.
// clang-format off
#define GLINT_RECORDER(ret, name, params, ...) \
    ret WINAPI Rec##name params { Note(Fn(#name, {__VA_ARGS__}), dc); return ret(0x123456); }
GLINT_RECORDER(COLORREF, GetPixel, (HDC dc, int x, int y), x, y)
GLINT_RECORDER(BOOL, SetPixelV, (HDC dc, int x, int y, COLORREF c), x, y, c)
GLINT_RECORDER(BOOL, MoveToEx, (HDC dc, int x, int y, LPPOINT old), x, y, old != nullptr)
GLINT_RECORDER(BOOL, LineTo, (HDC dc, int x, int y), x, y)
GLINT_RECORDER(BOOL, Rectangle, (HDC dc, int l, int t, int r, int b), l, t, r, b)
GLINT_RECORDER(BOOL, Ellipse, (HDC dc, int l, int t, int r, int b), l, t, r, b)
GLINT_RECORDER(BOOL, RoundRect, (HDC dc, int l, int t, int r, int b, int w, int h), l, t, r, b, w, h)
GLINT_RECORDER(BOOL, Arc, (HDC dc, int l, int t, int r, int b, int xs, int ys, int xe, int ye), l, t, r, b, xs, ys, xe, ye)
GLINT_RECORDER(BOOL, Pie, (HDC dc, int l, int t, int r, int b, int xs, int ys, int xe, int ye), l, t, r, b, xs, ys, xe, ye)
GLINT_RECORDER(BOOL, Polyline, (HDC dc, const POINT* p, int n), p == g_points, n)
GLINT_RECORDER(BOOL, Polygon, (HDC dc, const POINT* p, int n), p == g_points, n)
GLINT_RECORDER(BOOL, PolyBezier, (HDC dc, const POINT* p, DWORD n), p == g_points, n)
GLINT_RECORDER(BOOL, ExtFloodFill, (HDC dc, int x, int y, COLORREF c, UINT t), x, y, c, t)
#undef GLINT_RECORDER

// Swaps the shape entry points of the layer's GDI table for the recorders
// and puts them back afterwards.
#define GLINT_SHAPE_CALLS(X) X(GetPixel) X(SetPixelV) X(MoveToEx) X(LineTo) X(Rectangle) X(Ellipse) \
    X(RoundRect) X(Arc) X(Pie) X(Polyline) X(Polygon) X(PolyBezier) X(ExtFloodFill)
// clang-format on
struct GdiRecorder {
#define GLINT_SAVE(name) decltype(_Gdi::name) saved##name = _Gdi::name;
    GLINT_SHAPE_CALLS(GLINT_SAVE)
#undef GLINT_SAVE
    GdiRecorder() {
#define GLINT_SWAP(name) _Gdi::name = Rec##name;
        GLINT_SHAPE_CALLS(GLINT_SWAP)
#undef GLINT_SWAP
    }
    ~GdiRecorder() {
#define GLINT_RESTORE(name) _Gdi::name = saved##name;
        GLINT_SHAPE_CALLS(GLINT_RESTORE)
#undef GLINT_RESTORE
    }
};

struct PrimitiveCase {
    std::function<void()> draw;
    std::string expect;
};

// Every primitive through the free functions: exactly these calls, on the
// working image's context, with the drawing lock held on both targets (the
// free functions hold it so that a concurrent closegraph cannot free the target).
void CheckPrimitives(bool window) {
    static const POINT pts[4] = {{1, 1}, {5, 1}, {5, 5}, {1, 5}};
    g_points = pts;
    (void)window;
    g_expectLock = true;
    const int M = INT_MAX, m = INT_MIN;
    const PrimitiveCase cases[] = {
        {[] { EXPECT_EQ(getpixel(3, 4), COLORREF(0x123456)); }, "GetPixel(3,4)"},  // result unchanged
        {[] { putpixel(1, 2, RED); }, Fn("SetPixelV", {1, 2, RED})},
        {[] { line(1, 2, 30, 40); }, "MoveToEx(1,2,0) LineTo(30,40)"},
        {[] { fillrectangle(5, 6, 1, 2); }, "Rectangle(5,6,1,2)"},  // corners as given
        {[] { fillcircle(10, 20, 5); }, "Ellipse(5,15,15,25)"},
        {[] { fillcircle(-3, 4, -2); }, "Ellipse(-1,6,-5,2)"},  // a negative radius is passed on as it is
        // Centre +- radius beyond int saturates instead of wrapping to the far side.
        {[=] { fillcircle(M - 2, m + 1, 5); }, Fn("Ellipse", {M - 7, m, M, m + 6})},
        {[=] { fillcircle(0, 0, M); }, Fn("Ellipse", {-M, -M, M, M})},
        {[=] { fillcircle(0, 0, m); }, Fn("Ellipse", {M, M, m, m})},
        {[] { fillellipse(9, 8, 7, 6); }, "Ellipse(9,8,7,6)"},
        {[] { fillroundrect(1, 2, 30, 40, 5, 6); }, "RoundRect(1,2,30,40,5,6)"},
        {[] { arc(0, 0, 5, 5, 0, kPi / 2); }, "Arc(0,0,5,5,4,2,2,0)"},
        {[] { arc(5, 5, 0, 0, 0, kPi / 2); }, "Arc(5,5,0,0,4,2,2,0)"},  // the caller's box, not the normalised one
        {[] { fillpie(0, 0, 10, 6, kPi, -kPi / 2); }, "Pie(0,0,10,6,0,3,5,6)"},
        // A box wider than an int: its half width still comes out right.
        {[=] { arc(m, m, M, M, 0, kPi); }, Fn("Arc", {m, m, M, M, M - 1, -1, m, -1})},
        {[] { polyline(pts, 3); }, "Polyline(1,3)"},
        {[] { fillpolygon(pts, 4); }, "Polygon(1,4)"},
        {[] { polybezier(pts, 4); }, "PolyBezier(1,4)"},
        {[] { polybezier(pts, -3); }, "PolyBezier(1,0)"},  // not four billion points
        {[] { floodfill(7, 8, GREEN, FLOODFILLSURFACE); }, Fn("ExtFloodFill", {7, 8, GREEN, 1})},
    };
    GdiRecorder rec;
    for (const PrimitiveCase& c : cases) {
        g_log.clear();
        c.draw();
        EXPECT_EQ(g_log, c.expect) << (window ? "window" : "image");
    }
}

// ---- the composite variants' virtual calls ----
class LoggingTarget : public DrawOnImg {
public:
    using DrawOnImg::setfillstyle;
    using DrawOnImg::setlinestyle;
    std::string log;
    int depth = 0;  // calls that the state operations make of each other are not logged
    void Add(const std::string& s) {
        if (!depth) log += (log.empty() ? "" : " ") + s;
    }
    template <typename F>
    auto Step(const std::string& s, F forward) {
        Add(s);
        struct Nested {
            int& d;
            ~Nested() { --d; }
        } nested{++depth};
        return forward();
    }
    using D = DrawOnImg;

    void getlinestyle(LINESTYLE* p) override { Step("getlinestyle", [&] { D::getlinestyle(p); }); }
    void setlinestyle(const LINESTYLE* p) override { Step(Fn("setlinestyle*", {p->style}), [&] { D::setlinestyle(p); }); }
    void setlinestyle(int style, int thick, const DWORD* d, DWORD n) override {
        Step(Fn("setlinestyle", {style, thick, d != nullptr, n}), [&] { D::setlinestyle(style, thick, d, n); });
    }
    void getfillstyle(FILLSTYLE* p) override { Step("getfillstyle", [&] { D::getfillstyle(p); }); }
    void setfillstyle(const FILLSTYLE* p) override { Step(Fn("setfillstyle*", {p->style}), [&] { D::setfillstyle(p); }); }
    void setfillstyle(int style, long hatch, IMAGE* pat) override {
        Step(Fn("setfillstyle", {style, hatch, pat != nullptr}), [&] { D::setfillstyle(style, hatch, pat); });
    }
    COLORREF getfillcolor() override { return Step("getfillcolor", [&] { return D::getfillcolor(); }); }
    void setfillcolor(COLORREF c) override { Step(Fn("setfillcolor", {c}), [&] { D::setfillcolor(c); }); }
    COLORREF getbkcolor() override { return Step("getbkcolor", [&] { return D::getbkcolor(); }); }
    int getrop2() override { return Step("getrop2", [&] { return D::getrop2(); }); }
    void setrop2(int r) override { Step(Fn("setrop2", {r}), [&] { D::setrop2(r); }); }
    // The fill variants are only logged; the solid ones also run on.
    void fillrectangle(int l, int t, int r, int b) override { Add(Fn("fillrectangle", {l, t, r, b})); }
    void fillcircle(int x, int y, int r) override { Add(Fn("fillcircle", {x, y, r})); }
    void fillellipse(int l, int t, int r, int b) override { Add(Fn("fillellipse", {l, t, r, b})); }
    void fillroundrect(int l, int t, int r, int b, int w, int h) override {
        Add(Fn("fillroundrect", {l, t, r, b, w, h}));
    }
    void fillpie(int l, int t, int r, int b, double s, double e) override {
        Add(Fn("fillpie", {l, t, r, b, std::lround(s * 100), std::lround(e * 100)}));
    }
    void fillpolygon(const POINT* p, int n) override { Add(Fn("fillpolygon", {n})); }
    void solidrectangle(int l, int t, int r, int b) override {
        Add("solidrectangle");
        D::solidrectangle(l, t, r, b);
    }
    void solidcircle(int x, int y, int r) override { Add("solidcircle"), D::solidcircle(x, y, r); }
    void solidpolygon(const POINT* p, int n) override { Add("solidpolygon"), D::solidpolygon(p, n); }
};

// The drawing state a composite variant must leave as it found it.
std::string StateOf(IMAGE* img) {
    LINESTYLE ls;
    getlinestyle(&ls);
    FILLSTYLE fs;
    getfillstyle(&fs);
    std::string dashes;
    for (DWORD i = 0; i < ls.dashcount; ++i) dashes += std::to_string(ls.dashes[i]) + ",";
    return Fn("state", {getrop2(), getfillcolor(), fs.style, fs.hatch, fs.pattern ? fs.pattern->getwidth() : -1,
                        ls.style, ls.thickness}) +
           dashes;
}

}  // namespace

TEST(GlintShapes, PrimitivesMakeOnePlatformCallEachOnTheImage) {
    IMAGE img(20, 20);
    SetWorkingImage(&img);
    CheckPrimitives(false);
    SetWorkingImage(NULL);
}

TEST(GlintShapes, PrimitivesOnTheWindowHoldTheLockForTheirCalls) {
    initgraph(100, 100);
    CheckPrimitives(true);
    closegraph();
}

TEST(GlintShapes, CompositeVariantsSwitchOnlyWhatDiffersAndRestoreInOrder) {
    IMAGE img(40, 40);
    SetWorkingImage(&img);
    LoggingTarget t;
    static const POINT tri[3] = {{1, 1}, {9, 1}, {5, 9}};
    static const DWORD dashes[4] = {3, 1, 2, 4};
    struct Case {
        std::function<void()> setup;  // on the working image, not logged
        std::function<void()> draw;   // on the logging target
        const char* expect;
    };
    const Case cases[] = {
        {[] {}, [&] { t.rectangle(1, 2, 3, 4); },
         "getfillstyle setfillstyle(1,0,0) fillrectangle(1,2,3,4) setfillstyle*(0)"},
        {[] { setfillstyle(BS_NULL); }, [&] { t.circle(10, 20, 5); }, "getfillstyle fillcircle(10,20,5)"},
        {[] { setfillstyle(DOT_FILL); }, [&] { t.ellipse(1, 2, 3, 4); },
         "getfillstyle setfillstyle(1,0,0) fillellipse(1,2,3,4) setfillstyle*(3)"},
        {[] { setfillstyle(HORIZONTAL_FILL); }, [&] { t.roundrect(1, 2, 3, 4, 5, 6); },
         "getfillstyle setfillstyle(1,0,0) fillroundrect(1,2,3,4,5,6) setfillstyle*(2)"},
        {[] {}, [&] { t.pie(1, 2, 3, 4, 0.5, 2); },
         "getfillstyle setfillstyle(1,0,0) fillpie(1,2,3,4,50,200) setfillstyle*(0)"},
        {[] {}, [&] { t.polygon(tri, 3); }, "getfillstyle setfillstyle(1,0,0) fillpolygon(3) setfillstyle*(0)"},
        // Solid: corners normalised and the right and bottom edge moved out by one, for rectangles only.
        {[] {}, [&] { t.solidrectangle(10, 10, 5, 5); },
         "solidrectangle getlinestyle setlinestyle(5,1,0,0) fillrectangle(5,5,11,11) setlinestyle*(0)"},
        {[] { setlinestyle(PS_USERSTYLE, 3, dashes, 4); }, [&] { t.solidcircle(1, 2, 3); },
         "solidcircle getlinestyle setlinestyle(5,1,0,0) fillcircle(1,2,3) setlinestyle*(7)"},
        {[] { setlinestyle(PS_NULL | PS_ENDCAP_FLAT, 2); }, [&] { t.solidellipse(4, 3, 2, 1); },  // not exactly 5
         "getlinestyle setlinestyle(5,1,0,0) fillellipse(4,3,2,1) setlinestyle*(517)"},
        {[] { setlinestyle(PS_NULL); }, [&] { t.solidroundrect(1, 2, 3, 4, 5, 6); },
         "getlinestyle fillroundrect(1,2,3,4,5,6)"},
        {[] {}, [&] { t.solidpie(3, 4, 1, 2, -1, 7); },
         "getlinestyle setlinestyle(5,1,0,0) fillpie(3,4,1,2,-100,700) setlinestyle*(0)"},
        // Clear: a state that already fits changes nothing but the pen.
        {[] { setfillcolor(BLACK); }, [&] { t.clearcircle(10, 20, 5); },
         "getrop2 getfillcolor getfillstyle getbkcolor solidcircle getlinestyle setlinestyle(5,1,0,0) "
         "fillcircle(10,20,5) setlinestyle*(0)"},
        {[] {
             setrop2(R2_XORPEN);
             setbkcolor(BLUE);
             setfillcolor(GREEN);
             setfillstyle(CROSS_FILL);
         },
         [&] { t.clearrectangle(5, 6, 1, 2); },
         "getrop2 getfillcolor getfillstyle setrop2(13) getbkcolor setfillcolor(11141120) setfillstyle(0,0,0) "
         "solidrectangle getlinestyle setlinestyle(5,1,0,0) fillrectangle(1,2,6,7) setlinestyle*(0) "
         "setfillcolor(43520) setfillstyle*(2) setrop2(7)"},
        {[] { setlinestyle(PS_NULL); }, [&] { t.clearellipse(1, 2, 3, 4); },
         "getrop2 getfillcolor getfillstyle getbkcolor setfillcolor(0) getlinestyle fillellipse(1,2,3,4) "
         "setfillcolor(16777215)"},
        {[] {
             setfillcolor(BLACK);
             setrop2(R2_NOT);
         },
         [&] { t.clearpolygon(tri, 3); },
         "getrop2 getfillcolor getfillstyle setrop2(13) getbkcolor solidpolygon getlinestyle "
         "setlinestyle(5,1,0,0) fillpolygon(3) setlinestyle*(0) setrop2(6)"},
        {[] {
             setfillcolor(BLACK);
             setfillstyle(BS_NULL);
         },
         [&] { t.clearpie(1, 2, 3, 4, 0, 1); },
         "getrop2 getfillcolor getfillstyle getbkcolor setfillstyle(0,0,0) getlinestyle setlinestyle(5,1,0,0) "
         "fillpie(1,2,3,4,0,100) setlinestyle*(0) setfillstyle*(1)"},
        {[] { setfillcolor(BLACK); }, [&] { t.clearroundrect(1, 2, 3, 4, 5, 6); },
         "getrop2 getfillcolor getfillstyle getbkcolor getlinestyle setlinestyle(5,1,0,0) "
         "fillroundrect(1,2,3,4,5,6) setlinestyle*(0)"},
    };
    for (const Case& c : cases) {
        graphdefaults();
        setrop2(R2_COPYPEN);
        c.setup();
        std::string before = StateOf(&img);
        t.log.clear();
        c.draw();
        EXPECT_EQ(t.log, c.expect);
        EXPECT_EQ(StateOf(&img), before) << c.expect;
    }
    SetWorkingImage(NULL);
}

// Each composite variant paints what the fill primitive paints with the pen or
// brush it stands for, set directly on a twin image; afterwards both images
// draw alike again, so nothing of the switched state was left behind.
TEST(GlintShapes, CompositeVariantsPaintLikeDirectGdiAndLeaveTheStateBehind) {
    const int W = 48;
    IMAGE mine(W, W), twin(W, W);
    static const POINT tri[4] = {{4, 4}, {40, 10}, {12, 42}, {30, 30}};
    enum Kind { kOutline, kSolid, kClear };
    struct Case {
        Kind kind;
        std::function<void()> glint;      // the composite variant
        std::function<void(HDC)> direct;  // the platform call it stands for
    };
    const Case cases[] = {
        {kOutline, [] { rectangle(3, 4, 40, 30); }, [](HDC dc) { Rectangle(dc, 3, 4, 40, 30); }},
        {kSolid, [] { solidrectangle(40, 30, 3, 4); }, [](HDC dc) { Rectangle(dc, 3, 4, 41, 31); }},
        {kClear, [] { clearrectangle(3, 4, 40, 30); }, [](HDC dc) { Rectangle(dc, 3, 4, 41, 31); }},
        {kOutline, [] { circle(24, 24, 17); }, [](HDC dc) { Ellipse(dc, 7, 7, 41, 41); }},
        {kSolid, [] { solidcircle(24, 24, 17); }, [](HDC dc) { Ellipse(dc, 7, 7, 41, 41); }},
        {kClear, [] { clearellipse(2, 8, 45, 30); }, [](HDC dc) { Ellipse(dc, 2, 8, 45, 30); }},
        {kOutline, [] { roundrect(2, 3, 44, 40, 15, 9); }, [](HDC dc) { RoundRect(dc, 2, 3, 44, 40, 15, 9); }},
        {kClear, [] { clearroundrect(2, 3, 44, 40, 15, 9); }, [](HDC dc) { RoundRect(dc, 2, 3, 44, 40, 15, 9); }},
        // Centre 23, 23, semi-axes 21: angle 0.3 gives (43.06, 16.79), angle 4 gives (9.27, 38.89).
        {kOutline, [] { pie(2, 2, 45, 45, 0.3, 4); }, [](HDC dc) { Pie(dc, 2, 2, 45, 45, 43, 17, 9, 39); }},
        {kSolid, [] { solidpie(45, 45, 2, 2, 4, 0.3); }, [](HDC dc) { Pie(dc, 45, 45, 2, 2, 9, 39, 43, 17); }},
        {kSolid, [] { solidpolygon(tri, 4); }, [](HDC dc) { Polygon(dc, tri, 4); }},
        {kClear, [] { clearpolygon(tri, 4); }, [](HDC dc) { Polygon(dc, tri, 4); }},
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        const Case& c = cases[i];
        for (IMAGE* img : {&mine, &twin}) {  // the same busy state on both
            SetWorkingImage(img);
            graphdefaults();
            setbkcolor(DARKGRAY);
            cleardevice();
            setbkcolor(LIGHTBLUE);
            setlinecolor(YELLOW);
            setlinestyle(PS_DASH | PS_ENDCAP_FLAT, 3);
            setfillcolor(GREEN);
            setfillstyle(DIAGCROSS_FILL);
            setrop2(R2_XORPEN);
        }
        SetWorkingImage(&mine);
        c.glint();
        EXPECT_LT(glint_test::Count(&mine, 0, 0, W - 1, W - 1, BGR(DARKGRAY)), W * W)
            << "case " << i << " painted nothing";
        HDC dc = GetImageHDC(&twin);
        HGDIOBJ pen = SelectObject(dc, c.kind == kOutline ? GetCurrentObject(dc, OBJ_PEN) : GetStockObject(NULL_PEN));
        HBRUSH clear = CreateSolidBrush(LIGHTBLUE);
        HGDIOBJ brush = SelectObject(dc, c.kind == kOutline ? GetStockObject(NULL_BRUSH)
                                         : c.kind == kClear ? HGDIOBJ(clear)
                                                            : GetCurrentObject(dc, OBJ_BRUSH));
        if (c.kind == kClear) SetROP2(dc, R2_COPYPEN);
        c.direct(dc);
        SetROP2(dc, R2_XORPEN);
        SelectObject(dc, pen);
        SelectObject(dc, brush);
        DeleteObject(clear);
        // Both again with their own pen, brush and mix mode.
        for (IMAGE* img : {&mine, &twin}) {
            SetWorkingImage(img);
            fillcircle(20, 26, 12);
        }
        int differ = 0;
        for (int y = 0; y < W; ++y)
            for (int x = 0; x < W; ++x) differ += (Pixel(&mine, x, y) & 0xFFFFFF) != (Pixel(&twin, x, y) & 0xFFFFFF);
        EXPECT_EQ(differ, 0) << "case " << i;
    }
    SetWorkingImage(NULL);
}

TEST(GlintShapes, RoundingAndArcEndPoints) {
    using Common::Math::Round;
    const struct {
        double x;
        int expect;
    } rounds[] = {{2.5, 3},
                  {-2.5, -3},
                  {2.4999, 2},
                  {-0.4, 0},
                  {0, 0},
                  {2147483646.49, INT_MAX - 1},
                  {2147483646.5, INT_MAX},
                  {-2147483648.4, INT_MIN},
                  // Beyond int: the nearest int instead of an undefined conversion; NaN gives 0.
                  {1e300, INT_MAX},
                  {-1e300, INT_MIN},
                  {2147483647.5, INT_MAX},
                  {std::nan(""), 0}};
    for (const auto& r : rounds) EXPECT_EQ(Round(r.x), r.expect) << r.x;

    IMAGE img(1, 1);
    const struct {
        int l, t, r, b;
        double angle;
        int x, y;
    } points[] = {
        {0, 0, 5, 5, 0, 4, 2},        // a = 5 / 2 = 2
        {0, 0, 5, 5, kPi / 2, 2, 0},  // up is toward smaller y
        {5, 5, 0, 0, kPi, 0, 2},      // given right to left
        {0, 0, 5, 5, -kPi / 2, 2, 4},
        {0, 0, 5, 3, 0, 4, 1},  // b = 3 / 2 = 1
        {-10, -10, -5, -5, kPi, -10, -8},
        {0, 0, 2, 2, kPi / 3, 2, 0},  // 1.5 and 0.13...: halves away from zero
        {0, 0, 2, 2, 4 * kPi / 3, 0, 2},
        {0, 0, 10, 6, 2 * kPi, 10, 3},  // a full turn is not exactly 0 but lands there
        {0, 0, 10, 6, HUGE_VAL, 0, 0},  // no end point: NaN rounds to 0
    };
    for (const auto& p : points) {
        int xs = -99, ys = -99, xe = -99, ye = -99;
        g_pDrawOnImg->arcpiecore(p.l, p.t, p.r, p.b, p.angle, 0, xs, ys, xe, ye);
        EXPECT_EQ(xs, p.x) << p.angle;
        EXPECT_EQ(ys, p.y) << p.angle;
        EXPECT_EQ(xe, std::max(p.l, p.r) - (std::abs(p.r - p.l) & 1));  // angle 0: right end of the axis
    }
}
