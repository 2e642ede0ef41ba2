// Pixel rules of the closed shapes: whole scenes compared with hashes of a
// reference GDI's pixels, the small-size and Bézier rules, arc direction,
// and hostile input that must neither crash nor run away.
#include <chrono>
#include <climits>
#include <cstring>
#include <functional>
#include <vector>

#include "gdi/draw_internal.h"
#include "gdi_test_util.h"

using namespace gdi_test;

namespace {

constexpr uint32_t kScreen = 0x00D8E0E8;  // background of the reference scenes

// Objects a scene creates, deselected and deleted at the end.
struct Scene {
    HDC dc;
    std::vector<HGDIOBJ> made;
    HGDIOBJ use(HGDIOBJ o) {
        made.push_back(o);
        return SelectObject(dc, o);
    }
    HGDIOBJ stock(int i) { return SelectObject(dc, GetStockObject(i)); }
    ~Scene() {
        stock(BLACK_PEN);
        stock(WHITE_BRUSH);
        for (HGDIOBJ o : made) DeleteObject(o);
    }
};

// FNV-1a over the 24 colour bits of every pixel, top row first.
uint32_t Hash(Canvas& cv) {
    uint32_t h = 2166136261u;
    for (int y = 0; y < cv.h; ++y)
        for (int x = 0; x < cv.w; ++x) {
            uint32_t v = cv.at(x, y) & 0xFFFFFFu;
            for (int k = 0; k < 3; ++k) h = (h ^ ((v >> (8 * k)) & 0xFF)) * 16777619u;
        }
    return h;
}

struct RefScene {
    const char* name;
    int w, h;
    uint32_t hash;  // of the reference GDI's picture of the same calls
    std::function<void(Scene&)> draw;
};

HPEN Pen(COLORREF c) { return CreatePen(PS_SOLID, 1, c); }
HBRUSH Brush(COLORREF c) { return CreateSolidBrush(c); }

const COLORREF kNavy = RGB(0x10, 0x20, 0x80), kAmber = RGB(0xF0, 0xC0, 0x30);

}  // namespace

TEST(GdiShapeRules, ScenesMatchTheReferencePixels) {
    const RefScene scenes[] = {
        {"ellipses 1x1 to 9x9: pen and brush, brush only, pen only", 64, 64, 0x5B42C605u,
         [](Scene& s) {
             HBRUSH green = Brush(RGB(0x40, 0xA0, 0x40));
             s.made.push_back(green);
             for (int i = 1, x = 1; i <= 9; x += i + 2, i++) {
                 s.stock(BLACK_PEN);
                 SelectObject(s.dc, green);
                 Ellipse(s.dc, x, 2, x + i, 2 + i);
                 s.stock(NULL_PEN);
                 Ellipse(s.dc, x, 20, x + i, 20 + i);
                 s.stock(BLACK_PEN);
                 s.stock(NULL_BRUSH);
                 Ellipse(s.dc, x, 38, x + i, 38 + i);
             }
         }},
        {"a large circle, a tall and a flat ellipse", 64, 64, 0xBFE1F745u,
         [](Scene& s) {
             s.use(Pen(kNavy));
             s.use(Brush(kAmber));
             Ellipse(s.dc, 2, 2, 62, 62);
             s.use(Brush(RGB(0xC0, 0x40, 0x20)));
             Ellipse(s.dc, 28, 4, 36, 60);
             Ellipse(s.dc, 3, 27, 61, 33);
         }},
        {"round rectangles: small, uneven, whole-box and zero corners", 64, 64, 0x3871BE25u,
         [](Scene& s) {
             s.use(Pen(kNavy));
             s.use(Brush(kAmber));
             RoundRect(s.dc, 4, 4, 60, 28, 10, 10);
             RoundRect(s.dc, 4, 34, 28, 60, 6, 12);
             RoundRect(s.dc, 34, 34, 60, 60, 26, 26);
             RoundRect(s.dc, 12, 12, 24, 22, 0, 0);
         }},
        {"pies from radials in every quadrant", 96, 64, 0x3D953195u,
         [](Scene& s) {
             static const int pts[6][4] = {{20, 0, 0, -20},  {0, -20, 20, 0}, {14, -14, -14, 14},
                                           {-19, 7, 19, 7}, {17, 10, 17, -10}, {20, -3, 20, 3}};
             s.use(Pen(kNavy));
             s.use(Brush(kAmber));
             for (int i = 0; i < 6; i++) {
                 int x0 = (i % 3) * 32, y0 = (i / 3) * 32, cx = x0 + 16, cy = y0 + 16, in = (i % 2) ? 6 : 3;
                 Pie(s.dc, x0 + 3, y0 + in, x0 + 29, y0 + 32 - in, cx + pts[i][0], cy + pts[i][1], cx + pts[i][2],
                     cy + pts[i][3]);
             }
         }},
        {"ellipses clipped, one under a translation", 64, 64, 0xD3493215u,
         [](Scene& s) {
             XFORM shift{1, 0, 0, 1, 8, 4};
             s.use(Pen(kNavy));
             s.use(Brush(kAmber));
             HRGN rgn = CreateRectRgn(10, 8, 44, 40);
             SelectClipRgn(s.dc, rgn);
             DeleteObject(rgn);
             Ellipse(s.dc, 2, 2, 62, 62);
             rgn = CreateRectRgn(40, 36, 60, 60);
             SelectClipRgn(s.dc, rgn);
             DeleteObject(rgn);
             SetWorldTransform(s.dc, &shift);
             s.use(Brush(RGB(0xC0, 0x40, 0x20)));
             Ellipse(s.dc, 24, 24, 56, 56);
             SelectClipRgn(s.dc, nullptr);
             Rectangle(s.dc, -6, 46, 6, 56);
         }},
        {"a self-crossing star in WINDING mode", 64, 64, 0xB9DDAB45u,
         [](Scene& s) {
             static const POINT star[5] = {{32, 4}, {16, 55}, {59, 23}, {5, 23}, {48, 55}};
             SetPolyFillMode(s.dc, WINDING);
             s.use(Pen(kNavy));
             s.use(Brush(kAmber));
             Polygon(s.dc, star, 5);
         }},
        {"clockwise arcs, chords, fill-only polygons, odd corners, scaled and XOR ellipses", 128, 128, 0xC8F15AF5u,
         [](Scene& s) {
             static const POINT bow[6] = {{4, 70}, {30, 90}, {4, 90}, {30, 70}, {17, 100}, {17, 64}};
             static const POINT two[2] = {{40, 70}, {50, 96}};
             static const POINT tri[3] = {{60, 66}, {90, 70}, {70, 98}};
             XFORM sc{1.5f, 0, 0, 0.75f, 3, 2}, id{1, 0, 0, 1, 0, 0};
             s.use(Pen(kNavy));
             s.use(Brush(kAmber));
             EXPECT_EQ(SetArcDirection(s.dc, AD_CLOCKWISE), AD_COUNTERCLOCKWISE);
             Pie(s.dc, 2, 2, 30, 24, 30, 13, 16, 2);
             Arc(s.dc, 34, 2, 60, 26, 60, 14, 34, 14);
             Chord(s.dc, 64, 2, 90, 30, 64, 30, 90, 2);
             SetArcDirection(s.dc, AD_COUNTERCLOCKWISE);
             Chord(s.dc, 94, 2, 124, 28, 94, 15, 124, 15);
             Arc(s.dc, 2, 32, 9, 39, 9, 35, 2, 35);
             Chord(s.dc, 12, 32, 31, 45, 12, 33, 31, 45);
             RoundRect(s.dc, 36, 32, 61, 59, 9, 13);
             RoundRect(s.dc, 64, 32, 77, 45, 13, 13);
             RoundRect(s.dc, 80, 32, 91, 62, 3, 30);
             Ellipse(s.dc, 94, 32, 97, 35);
             Ellipse(s.dc, 100, 32, 104, 35);
             Ellipse(s.dc, 108, 32, 125, 50);
             s.stock(NULL_PEN);
             Polygon(s.dc, bow, 6);
             SetPolyFillMode(s.dc, WINDING);
             Polygon(s.dc, tri, 3);
             s.stock(BLACK_PEN);
             Polygon(s.dc, two, 2);
             s.use(CreatePen(PS_SOLID, 0, kNavy));  // width 0: one pixel at any scale
             SetWorldTransform(s.dc, &sc);
             Ellipse(s.dc, 2, 140, 40, 164);
             SetWorldTransform(s.dc, &id);
             SetROP2(s.dc, R2_XORPEN);
             s.use(Brush(RGB(0x30, 0x60, 0x90)));
             Ellipse(s.dc, 70, 100, 100, 124);
             Pie(s.dc, 100, 64, 126, 90, 126, 64, 100, 64);
         }},
    };
    for (const RefScene& r : scenes) {
        Canvas cv(r.w, r.h, kScreen);
        SetGraphicsMode(cv.dc, GM_ADVANCED);
        {
            Scene s{cv.dc, {}};
            r.draw(s);
        }
        EXPECT_EQ(Hash(cv), r.hash) << r.name;
    }
}

TEST(GdiShapeRules, TinyBoxesBecomeRectanglesAndEmptyBoxesDrawNothing) {
    // Ellipses and round rectangles at most 2 pixels across are the
    // rectangle of the same corners: in the advanced mode 1x1 covers 2x2.
    struct Case {
        int w, h;
        int want_w, want_h;  // changed area; 0 = nothing drawn
    } cases[] = {{1, 1, 2, 2}, {2, 2, 3, 3}, {2, 9, 3, 10}, {0, 5, 0, 0}, {-3, 4, 3, 4}};
    for (const Case& c : cases) {
        Canvas cv(20, 20, kScreen);
        SetGraphicsMode(cv.dc, GM_ADVANCED);
        EXPECT_TRUE(Ellipse(cv.dc, 8, 8, 8 + c.w, 8 + c.h));
        RECT box = cv.changed(kScreen);
        EXPECT_EQ(c.want_w ? box.right - box.left + 1 : 0, c.want_w) << c.w << "x" << c.h;
        EXPECT_EQ(c.want_h ? box.bottom - box.top + 1 : 0, c.want_h) << c.w << "x" << c.h;
    }
}

TEST(GdiShapeRules, BezierFlatteningAndCounts) {
    // One cubic flattens to 12 points ending (53,28), (56,25), (60,20).
    const POINT s[4] = {{4, 24}, {20, -4}, {40, 50}, {60, 20}};
    std::vector<POINT> pts = plat::gdi::flatten_beziers(s, 4);
    ASSERT_EQ(pts.size(), 12u);
    const POINT tail[3] = {{53, 28}, {56, 25}, {60, 20}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(pts[9 + i].x, tail[i].x);
        EXPECT_EQ(pts[9 + i].y, tail[i].y);
    }
    EXPECT_EQ(pts[0].x, 4);
    // A straight run is flat at once; counts other than 3n + 1 draw nothing.
    const POINT flat[7] = {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {6, 0}};
    EXPECT_EQ(plat::gdi::flatten_beziers(flat, 7).size(), 3u);
    Canvas cv(16, 4, kScreen);
    for (DWORD n : {0u, 1u, 3u, 5u, 6u}) EXPECT_FALSE(PolyBezier(cv.dc, flat, n)) << n;
    EXPECT_EQ(cv.count(kScreen), 16 * 4);
    // Coordinates far out of range neither overflow nor draw.
    const POINT far[4] = {{INT_MAX, INT_MIN}, {INT_MIN, INT_MAX}, {INT_MAX, INT_MAX}, {INT_MIN, INT_MIN}};
    EXPECT_TRUE(PolyBezier(cv.dc, far, 4));
}

TEST(GdiShapeRules, ArcDirectionIsDcStateAndValidated) {
    Canvas cv(4, 4);
    EXPECT_EQ(GetArcDirection(cv.dc), AD_COUNTERCLOCKWISE);
    EXPECT_EQ(SetArcDirection(cv.dc, 3), 0);
    EXPECT_EQ(SetArcDirection(cv.dc, AD_CLOCKWISE), AD_COUNTERCLOCKWISE);
    int saved = SaveDC(cv.dc);
    SetArcDirection(cv.dc, AD_COUNTERCLOCKWISE);
    RestoreDC(cv.dc, saved);
    EXPECT_EQ(GetArcDirection(cv.dc), AD_CLOCKWISE);
    EXPECT_EQ(GetArcDirection(nullptr), 0);
}

TEST(GdiShapeRules, HostileInputStaysBoundedAndInside) {
    Canvas cv(64, 48, kScreen);
    SetGraphicsMode(cv.dc, GM_ADVANCED);
    auto start = std::chrono::steady_clock::now();
    // Huge boxes and boxes around the integer limits.
    EXPECT_TRUE(Ellipse(cv.dc, INT_MIN, INT_MIN, INT_MAX, INT_MAX));
    EXPECT_TRUE(RoundRect(cv.dc, -2000000, -2000000, 2000000, 2000000, INT_MAX, INT_MAX));
    EXPECT_TRUE(Pie(cv.dc, INT_MIN, INT_MIN, INT_MAX, INT_MAX, INT_MAX, 0, 0, INT_MIN));
    EXPECT_TRUE(Arc(cv.dc, -300000, -300000, 300000, 300000, 1, 0, 0, 1));
    EXPECT_TRUE(Chord(cv.dc, 10, 10, 10, 30, 0, 0, 5, 5));
    // 100,000 points alternating between far corners; then a tiny one with 1 point.
    std::vector<POINT> zig(100000);
    for (size_t i = 0; i < zig.size(); ++i)
        zig[i] = i % 2 ? POINT{INT_MAX - LONG(i), INT_MIN + LONG(i)} : POINT{INT_MIN + LONG(i), INT_MAX - LONG(i / 3)};
    EXPECT_TRUE(Polygon(cv.dc, zig.data(), int(zig.size())));
    SetPolyFillMode(cv.dc, WINDING);
    EXPECT_TRUE(Polygon(cv.dc, zig.data(), int(zig.size())));
    // Long edges crossing the visible rows in random order, each crossing
    // many others (the interior only: the outline is the line stepper's).
    SelectObject(cv.dc, GetStockObject(NULL_PEN));
    uint32_t seed = 1;
    for (size_t i = 0; i < zig.size(); ++i) {
        seed = seed * 1103515245u + 12345u;
        zig[i] = POINT{LONG(seed >> 16) % 2000 - 1000, i % 2 ? -1000000 : 1000000};
    }
    EXPECT_TRUE(Polygon(cv.dc, zig.data(), int(zig.size())));
    SelectObject(cv.dc, GetStockObject(BLACK_PEN));
    EXPECT_FALSE(Polygon(cv.dc, zig.data(), 1));
    EXPECT_FALSE(Polygon(cv.dc, zig.data(), 0));
    INT counts[2] = {3, -1};
    EXPECT_FALSE(PolyPolygon(cv.dc, zig.data(), counts, 2));
    // Extreme transforms are clamped before any geometry.
    XFORM huge{1e30f, 0, 0, 1e30f, 0, 0};
    SetWorldTransform(cv.dc, &huge);
    EXPECT_TRUE(Ellipse(cv.dc, -1, -1, 1, 1));
    EXPECT_TRUE(Pie(cv.dc, -1, -1, 1, 1, 1, 0, 0, 1));
    ModifyWorldTransform(cv.dc, nullptr, MWT_IDENTITY);
    // Flood fill from outside the image does nothing.
    EXPECT_FALSE(ExtFloodFill(cv.dc, -1, 5, kScreen, FLOODFILLSURFACE));
    EXPECT_FALSE(ExtFloodFill(cv.dc, 64, 5, kScreen, FLOODFILLSURFACE));
    EXPECT_FALSE(ExtFloodFill(cv.dc, 5, 5, RGB(1, 2, 3), FLOODFILLSURFACE));
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    RecordProperty("hostile_ms", int(ms));
}

TEST(GdiShapeRules, FloodFillStopsAtTheClipAndFillsEveryReachablePixel) {
    // A ring-shaped maze: the fill must go around the wall to reach the far side.
    Canvas cv(30, 20, kScreen);
    for (int y = 2; y < 18; ++y) cv.at(15, y) = 0;  // wall with gaps at the top and bottom rows
    HRGN clip = CreateRectRgn(0, 0, 30, 19);
    SelectClipRgn(cv.dc, clip);
    DeleteObject(clip);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    SelectObject(cv.dc, red);
    EXPECT_TRUE(ExtFloodFill(cv.dc, 3, 10, RGB(0xD8, 0xE0, 0xE8), FLOODFILLSURFACE));
    EXPECT_EQ(cv.count(0xFF0000u), 30 * 19 - 16);
    EXPECT_EQ(cv.at(29, 10), 0xFF0000u);
    EXPECT_EQ(cv.at(5, 19), kScreen);  // below the clip
    EXPECT_FALSE(ExtFloodFill(cv.dc, 5, 19, RGB(0xD8, 0xE0, 0xE8), FLOODFILLSURFACE));
    SelectObject(cv.dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(red);
}

// Rows whose only crossings lie left of the visible area are inside or
// outside as a whole: here rows 0..59 are filled right across although no
// edge crosses the canvas there. (Reference pixels of the same call.)
TEST(GdiShapeRules, RowsCrossedOnlyLeftOfTheCanvasAreFilledWhole) {
    Canvas c(160, 160, 0);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0x10, 0x20, 0x80));
    HBRUSH br = CreateSolidBrush(RGB(0xF0, 0xC0, 0x30));
    SelectObject(c.dc, pen);
    SelectObject(c.dc, br);
    const POINT p[5] = {{-30000, 50}, {60, -20000}, {25000, 90}, {100, 40000}, {40, 60}};
    ASSERT_TRUE(Polygon(c.dc, p, 5));
    for (int y : {0, 20, 50, 55, 59})
        for (int x : {0, 1, 80, 159}) EXPECT_EQ(c.at(x, y), 0x00F0C030u) << x << "," << y;
    EXPECT_EQ(c.at(40, 60), 0x00102080u);
    EXPECT_EQ(c.at(41, 60), 0x00F0C030u);
    EXPECT_EQ(c.at(39, 80), 0u);
    EXPECT_EQ(c.at(40, 80), 0x00102080u);
    EXPECT_EQ(c.at(41, 80), 0x00F0C030u);
    SelectObject(c.dc, GetStockObject(BLACK_PEN));
    SelectObject(c.dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(pen);
    DeleteObject(br);
}

// In the compatible mode a wide pen follows the path through the last pixel
// of each edge with round joins, so the outer corners stay empty.
// (Reference pixels of Rectangle(2, 62, 11, 70) with a 3-wide solid pen.)
TEST(GdiShapeRules, CompatibleRectangleWidePenHasRoundCorners) {
    Canvas c(13, 12, 0);
    HPEN pen = CreatePen(PS_SOLID, 3, RGB(0x10, 0x20, 0x80));
    HBRUSH br = CreateSolidBrush(RGB(0xF0, 0xC0, 0x30));
    SelectObject(c.dc, pen);
    SelectObject(c.dc, br);
    ASSERT_TRUE(Rectangle(c.dc, 2, 2, 11, 10));  // the reference call moved up by 60 rows
    const char* want[12] = {".............", "..PPPPPPPPP..", ".PPPPPPPPPPP.", ".PPPPPPPPPPP.",
                            ".PPPfffffPPP.", ".PPPfffffPPP.", ".PPPfffffPPP.", ".PPPfffffPPP.",
                            ".PPPPPPPPPPP.", ".PPPPPPPPPPP.", "..PPPPPPPPP..", "............."};
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 13; ++x) {
            uint32_t v = want[y][x] == 'P' ? 0x00102080u : want[y][x] == 'f' ? 0x00F0C030u : 0u;
            EXPECT_EQ(c.at(x, y), v) << x << "," << y;
        }
    SelectObject(c.dc, GetStockObject(BLACK_PEN));
    SelectObject(c.dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(pen);
    DeleteObject(br);
}

// Compatible-mode Rectangle with region pens, against reference pixels of
// calls moved so that each picture starts a few columns left and rows above
// the box. An inside-frame pen wider than its box moves the path's sides past
// each other and follows that path as it is: a short segment across the
// box's middle with round ends (Rectangle(4, 68, 5, 72), (4, 100, 5, 105),
// (36, 100, 40, 107)). A geometric bevel-joined pen takes the path down the
// left side first, which decides the corner pixels (Rectangle(36, 164, 40,
// 173), (100, 164, 110, 177)).
TEST(GdiShapeRules, CompatibleRectangleRegionPens) {
    struct Case {
        int l, t, r, b, width;
        bool bevel;  // geometric bevel-joined solid pen, else inside frame
        std::vector<const char*> want;
    };
    const Case cases[] = {
        {4, 2, 5, 6, 4, false, {"..........", "..........", "..PPPPP...", ".PPPPPPP..", ".PPPPPPP..", "..PPPPP...",
                                "..........", ".........."}},
        {4, 2, 5, 7, 5, false, {"..........", "..........", ".PPPPPPP..", "PPPPPPPPP.", "PPPPPPPPP.", "PPPPPPPPP.",
                                ".PPPPPPP..", "..........", ".........."}},
        {4, 2, 8, 9, 5, false, {".............", ".............", "....PPPP.....", "...PPPPPP....", "...PPPPPP....",
                                "...PPPPPP....", "...PPPPPP....", "...PPPPPP....", "....PPPP.....", ".............",
                                "............."}},
        {5, 4, 9, 13, 7, true, {"..............", ".....PPP......", ".....PPPP.....", "....PPPPPP....",
                                "..PPPPPPPPPP..", "..PPPPPPPPPP..", "..PPPPPPPPPP..", "..PPPPPPPPPP..",
                                "..PPPPPPPPPP..", "..PPPPPPPPPP..", "..PPPPPPPPPP..", "..PPPPPPPPPP..",
                                "...PPPPPPPPP..", "....PPPPPPP...", "....PPPPPP....", ".....PPPP.....",
                                ".............."}},
        {5, 4, 15, 17, 7, true, {"....................", ".....PPPPPPPPP......", ".....PPPPPPPPPP.....",
                                 "....PPPPPPPPPPPP....", "..PPPPPPPPPPPPPPPP..", "..PPPPPPPPPPPPPPPP..",
                                 "..PPPPPPPPPPPPPPPP..", "..PPPPPPPPPPPPPPPP..", "..PPPPPPPffPPPPPPP..",
                                 "..PPPPPPPffPPPPPPP..", "..PPPPPPPffPPPPPPP..", "..PPPPPPPffPPPPPPP..",
                                 "..PPPPPPPffPPPPPPP..", "..PPPPPPPPPPPPPPPP..", "..PPPPPPPPPPPPPPPP..",
                                 "..PPPPPPPPPPPPPPPP..", "...PPPPPPPPPPPPPPP..", "....PPPPPPPPPPPPP...",
                                 "....PPPPPPPPPPPP....", ".....PPPPPPPPPP.....", "...................."}},
    };
    const LOGBRUSH lb = {BS_SOLID, RGB(0x10, 0x20, 0x80), 0};
    for (const Case& k : cases) {
        const int w = int(std::strlen(k.want[0])), h = int(k.want.size());
        Canvas c(w, h, 0);
        SetGraphicsMode(c.dc, GM_COMPATIBLE);
        HPEN pen = k.bevel ? ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_JOIN_BEVEL, DWORD(k.width), &lb, 0, nullptr)
                           : CreatePen(PS_INSIDEFRAME, k.width, RGB(0x10, 0x20, 0x80));
        HBRUSH br = CreateSolidBrush(RGB(0xF0, 0xC0, 0x30));
        SelectObject(c.dc, pen);
        SelectObject(c.dc, br);
        ASSERT_TRUE(Rectangle(c.dc, k.l, k.t, k.r, k.b));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                uint32_t v = k.want[y][x] == 'P' ? 0x00102080u : k.want[y][x] == 'f' ? 0x00F0C030u : 0u;
                EXPECT_EQ(c.at(x, y), v) << k.l << "," << k.t << "," << k.r << "," << k.b << " w" << k.width
                                         << " at " << x << "," << y;
            }
        SelectObject(c.dc, GetStockObject(BLACK_PEN));
        SelectObject(c.dc, GetStockObject(WHITE_BRUSH));
        DeleteObject(pen);
        DeleteObject(br);
    }
}
