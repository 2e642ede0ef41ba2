// Pixel rules of lines and pens: pictures taken from a reference GDI's dumps
// (near-diagonal ties, miter and bevel joins, round caps, rectangles), the
// dash rules, clipping that only hides pixels, and bad input.
#include <climits>
#include <vector>

#include "gdi_test_util.h"

using namespace gdi_test;

namespace {

constexpr uint32_t kBg = 0x00D8E0E8;

// Compares the canvas window at (x0, y0) with rows of '#' (changed) and '.'.
void ExpectPicture(Canvas& cv, int x0, int y0, const std::vector<const char*>& rows) {
    for (size_t j = 0; j < rows.size(); ++j)
        for (int i = 0; rows[j][i]; ++i) {
            bool want = rows[j][i] == '#';
            bool got = cv.at(x0 + i, y0 + int(j)) != kBg;
            EXPECT_EQ(got, want) << "at (" << x0 + i << "," << y0 + j << ")";
        }
}

HPEN Geo(DWORD style, DWORD width, COLORREF c = RGB(0xC0, 0x10, 0x10)) {
    LOGBRUSH lb{BS_SOLID, c, 0};
    return ExtCreatePen(PS_GEOMETRIC | style, width, &lb, 0, nullptr);
}

}  // namespace

// Lines 9 by 10 pixels long from one centre into all eight octants: exact
// ties step the minor axis early only in the octants running up or left.
TEST(GdiPenRules, NearDiagonalTiesFollowTheOctantBias) {
    Canvas cv(40, 40, kBg);
    SetGraphicsMode(cv.dc, GM_ADVANCED);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0x10, 0x20, 0x80));
    HGDIOBJ old = SelectObject(cv.dc, pen);
    for (int i = 0; i < 8; ++i) {
        int dx = (i & 1) ? 10 : 9, dy = (i & 1) ? 9 : 10;
        int sx = (i & 2) ? -1 : 1, sy = (i & 4) ? -1 : 1;
        MoveToEx(cv.dc, 20, 20, nullptr);
        LineTo(cv.dc, 20 + sx * dx, 20 + sy * dy);
    }
    ExpectPicture(cv, 10, 10,
                  {".....................", "..#...............#..", ".#.#.............#.#.", "..#.#...........#.#..",
                   "...#.#.........#.#...", "....##........###....", "......#.......#......", ".......#.....#.......",
                   "........#...#........", ".........#.#.........", "..........#..........", ".........#.#.........",
                   "........#...#........", ".......#.....#.......", ".....##.......##.....", "....##........#.#....",
                   "...#.#.........#.#...", "..#.#...........#.#..", ".#.#.............#.#.", "..#...............#..",
                   "....................."});
    SelectObject(cv.dc, old);
    DeleteObject(pen);
}

// A clip region only hides pixels of the unclipped line, for every slope,
// including lines that start or end far outside.
TEST(GdiPenRules, ClippingOnlyHidesPixels) {
    Canvas full(64, 64, kBg), clipped(64, 64, kBg);
    HPEN pen = CreatePen(PS_DOT, 1, RGB(0x10, 0x20, 0x80));
    HGDIOBJ o1 = SelectObject(full.dc, pen), o2 = SelectObject(clipped.dc, pen);
    HRGN rgn = CreateRectRgn(13, 9, 41, 37);
    SelectClipRgn(clipped.dc, rgn);
    const POINT lines[][2] = {{{0, 0}, {63, 47}},  {{60, 2}, {3, 61}},  {{5, 40}, {62, 11}},     {{20, -300}, {30, 400}},
                              {{-500, 30}, {900, 33}}, {{40, 63}, {10, 0}}, {{-70000, -69990}, {70000, 70010}}};
    for (auto& l : lines) {
        for (Canvas* c : {&full, &clipped}) {
            MoveToEx(c->dc, l[0].x, l[0].y, nullptr);
            LineTo(c->dc, l[1].x, l[1].y);
        }
    }
    int inside = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            bool in = x >= 13 && x < 41 && y >= 9 && y < 37;
            EXPECT_EQ(clipped.at(x, y), in ? full.at(x, y) : kBg) << x << "," << y;
            inside += in && full.at(x, y) != kBg;
        }
    EXPECT_GT(inside, 60);
    SelectClipRgn(clipped.dc, nullptr);
    DeleteObject(rgn);
    SelectObject(full.dc, o1);
    SelectObject(clipped.dc, o2);
    DeleteObject(pen);
}

// Cosmetic dashes advance one unit per plotted pixel, run on across the
// segments of one call and restart with the next call; user styles count
// three pixels a unit, an odd count repeating with on and off swapped;
// PS_ALTERNATE is every other pixel; ExtCreatePen pens leave gaps alone.
TEST(GdiPenRules, CosmeticDashesCountPlottedPixels) {
    Canvas cv(120, 20, kBg);
    SetBkMode(cv.dc, OPAQUE);
    SetBkColor(cv.dc, RGB(0xF0, 0xE0, 0x10));
    const uint32_t ink = 0x802010, gap = 0xF0E010;
    LOGBRUSH lb{BS_SOLID, RGB(0x80, 0x20, 0x10), 0};
    DWORD odd[] = {2, 1, 3};
    HPEN user = ExtCreatePen(PS_COSMETIC | PS_USERSTYLE, 1, &lb, 3, odd);
    HGDIOBJ old = SelectObject(cv.dc, user);
    MoveToEx(cv.dc, 4, 2, nullptr);
    LineTo(cv.dc, 58, 2);
    const char* want = "######...#########......###.........######...#########";
    for (int i = 0; want[i]; ++i) EXPECT_EQ(cv.at(4 + i, 2) != kBg, want[i] == '#') << i;
    EXPECT_EQ(cv.at(3, 2), kBg);

    HPEN alt = ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &lb, 0, nullptr);
    SelectObject(cv.dc, alt);
    MoveToEx(cv.dc, 4, 4, nullptr);
    LineTo(cv.dc, 11, 4);  // 7 pixels: on, off, ... on
    LineTo(cv.dc, 11, 8);  // a new call starts "on" again
    for (int x = 4; x < 11; ++x) EXPECT_EQ(cv.at(x, 4) != kBg, (x - 4) % 2 == 0) << x;
    for (int y = 4; y < 8; ++y) EXPECT_EQ(cv.at(11, y) != kBg, (y - 4) % 2 == 0) << y;

    // One Polyline call: 18 on, 6 off carried around the corner; CreatePen
    // gaps take the background colour.
    HPEN dash = CreatePen(PS_DASH, 1, RGB(0x80, 0x20, 0x10));
    SelectObject(cv.dc, dash);
    POINT path[] = {{4, 12}, {14, 12}, {14, 19}, {40, 19}};
    Polyline(cv.dc, path, 4);
    for (int x = 4; x < 14; ++x) EXPECT_EQ(cv.at(x, 12), ink) << x;
    for (int y = 12; y < 19; ++y) EXPECT_EQ(cv.at(14, y), ink) << y;   // units 10..16
    EXPECT_EQ(cv.at(14, 19), ink);                                     // unit 17
    for (int x = 15; x < 21; ++x) EXPECT_EQ(cv.at(x, 19), gap) << x;  // units 18..23
    EXPECT_EQ(cv.at(21, 19), ink);
    EXPECT_EQ(cv.at(40, 19), kBg);  // the end point
    SelectObject(cv.dc, old);
    DeleteObject(user);
    DeleteObject(alt);
    DeleteObject(dash);
}

// Region pens: an 8-px flat-capped polyline with a sharp corner mitres to a
// point or is cut off, and a 5-px round cap is the rounded 5x5 box.
TEST(GdiPenRules, RegionPenJoinsAndCaps) {
    Canvas cv(96, 64, kBg);
    SetGraphicsMode(cv.dc, GM_ADVANCED);
    const DWORD joins[2] = {PS_JOIN_BEVEL, PS_JOIN_MITER};
    for (int i = 0; i < 2; ++i) {
        int x0 = 38 + i * 32;
        POINT v[3] = {{x0 + 2, 60}, {x0 + 11, 24}, {x0 + 20, 60}};
        HPEN pen = Geo(PS_SOLID | PS_ENDCAP_FLAT | joins[i], 8);
        HGDIOBJ old = SelectObject(cv.dc, pen);
        Polyline(cv.dc, v, 3);
        SelectObject(cv.dc, old);
        DeleteObject(pen);
    }
    ExpectPicture(cv, 40, 20,
                  {"....................", "....................", "....................", ".....########.......",
                   ".....#########......", ".....#########......", ".....#########......", "....##########......"});
    const std::vector<const char*> mitred = {
        "........###.........", "........###.........", "........###.........", ".......####.........",
        ".......#####........", ".......#####........", ".......#####........", "......######........",
        "......#######.......", "......#######.......", "......#######.......", ".....########.......",
        ".....#########......", ".....#########......", ".....#########......", "....##########......"};
    ExpectPicture(cv, 72, 12, mitred);
    // The join's miter is about 4.1 times the pen's width: under a limit
    // below that it becomes the bevel, under one above it stays.
    FLOAT before = 0;
    EXPECT_TRUE(SetMiterLimit(cv.dc, 1.0f, &before));
    EXPECT_EQ(before, 10.0f);
    EXPECT_FALSE(SetMiterLimit(cv.dc, 0.5f, nullptr));
    POINT v[3] = {{72, 60}, {81, 24}, {90, 60}};
    HPEN pen = Geo(PS_SOLID | PS_ENDCAP_FLAT | PS_JOIN_MITER, 8);
    HGDIOBJ old = SelectObject(cv.dc, pen);
    for (FLOAT limit : {1.0f, 3.0f, 5.0f}) {
        SCOPED_TRACE(limit);
        EXPECT_TRUE(SetMiterLimit(cv.dc, limit, nullptr));
        cv.clear(kBg);
        Polyline(cv.dc, v, 3);
        if (limit < 4.0f)
            ExpectPicture(cv, 72, 20, {"....................", "....................", "....................",
                                       ".....########.......", ".....#########......"});
        else
            ExpectPicture(cv, 72, 12, mitred);
    }
    FLOAT now = 0;
    EXPECT_TRUE(GetMiterLimit(cv.dc, &now));
    EXPECT_EQ(now, 5.0f);

    cv.clear(kBg);
    HPEN round = Geo(PS_SOLID | PS_ENDCAP_ROUND, 5);
    SelectObject(cv.dc, round);
    MoveToEx(cv.dc, 8, 55, nullptr);
    LineTo(cv.dc, 40, 55);
    ExpectPicture(cv, 3, 51,
                  {"..........", "..........", "....######", "...#######", "...#######", "...#######", "....######",
                   "..........", ".........."});
    SelectObject(cv.dc, old);
    DeleteObject(pen);
    DeleteObject(round);
}

// A 1-unit geometric pen under a transform that doubles x is 2 pixels wide:
// the width is the distance of the mapped (0,0) and (1,0).
TEST(GdiPenRules, TransformScalesRegionPenWidth) {
    Canvas cv(40, 20, kBg);
    SetGraphicsMode(cv.dc, GM_ADVANCED);
    XFORM xf{2, 0, 0, 0.5f, 0, 0};
    SetWorldTransform(cv.dc, &xf);
    HPEN pen = Geo(PS_SOLID | PS_ENDCAP_FLAT, 1);
    HGDIOBJ old = SelectObject(cv.dc, pen);
    MoveToEx(cv.dc, 2, 20, nullptr);
    LineTo(cv.dc, 12, 20);  // device (4,10) to (24,10), 2 px: rows 9 and 10
    ExpectBox(cv.changed(kBg), 4, 9, 23, 10);
    SelectObject(cv.dc, old);
    DeleteObject(pen);
}

// Rectangle in the advanced mode with a region pen: the outline is the
// polygon's with mitred corners, centred on the edges, and the brush fills
// what the outline leaves of the half-open box; PS_INSIDEFRAME is the same.
TEST(GdiPenRules, AdvancedRectangleOutlineAndFill) {
    Canvas cv(40, 40, kBg);
    SetGraphicsMode(cv.dc, GM_ADVANCED);
    HBRUSH br = CreateSolidBrush(RGB(0x20, 0x20, 0xC0));
    HGDIOBJ ob = SelectObject(cv.dc, br);
    for (DWORD kind : {DWORD(PS_SOLID), DWORD(PS_INSIDEFRAME)}) {
        cv.clear(kBg);
        HPEN pen = Geo(kind | PS_ENDCAP_FLAT | PS_JOIN_MITER, 4, RGB(0x10, 0x60, 0x10));
        HGDIOBJ op = SelectObject(cv.dc, pen);
        Rectangle(cv.dc, 10, 10, 30, 25);
        ExpectBox(cv.changed(kBg), 8, 8, 31, 26);
        EXPECT_EQ(cv.at(8, 8), 0x106010u);
        EXPECT_EQ(cv.at(11, 11), 0x106010u);
        EXPECT_EQ(cv.at(12, 12), 0x2020C0u);  // first fill pixel
        EXPECT_EQ(cv.at(27, 22), 0x2020C0u);  // last fill pixel
        EXPECT_EQ(cv.at(28, 22), 0x106010u);
        SelectObject(cv.dc, op);
        DeleteObject(pen);
    }
    SelectObject(cv.dc, ob);
    DeleteObject(br);
}

// Overlapping pieces of a region pen (segments, joins, caps) are painted
// once, so drawing the same stroke twice in XOR mode restores everything.
TEST(GdiPenRules, RegionPenPaintsEachPixelOnce) {
    Canvas cv(64, 64, kBg);
    HPEN pen = Geo(PS_SOLID | PS_ENDCAP_SQUARE | PS_JOIN_ROUND, 7, RGB(0xFF, 0xFF, 0xFF));
    HGDIOBJ old = SelectObject(cv.dc, pen);
    SetROP2(cv.dc, R2_XORPEN);
    POINT v[] = {{5, 5}, {50, 20}, {10, 40}, {55, 58}, {20, 10}};
    Polyline(cv.dc, v, 5);
    int changed = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) changed += cv.at(x, y) != kBg;
    EXPECT_GT(changed, 500);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) ASSERT_TRUE(cv.at(x, y) == kBg || cv.at(x, y) == (kBg ^ 0xFFFFFFu));
    Polyline(cv.dc, v, 5);
    EXPECT_EQ(cv.changed(kBg).right, -1);
    SelectObject(cv.dc, old);
    DeleteObject(pen);
}

// Bad input: extreme coordinates and widths, huge point counts, counts of
// 0 and 1, and user dash arrays a real GDI refuses, all without a crash.
TEST(GdiPenRules, BadInputIsSafe) {
    Canvas cv(64, 48, kBg);
    SetGraphicsMode(cv.dc, GM_ADVANCED);
    LOGBRUSH lb{BS_SOLID, RGB(0x10, 0x20, 0x30), 0};
    DWORD many[17] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17};
    EXPECT_EQ(ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE, 3, &lb, 0, many), nullptr);
    EXPECT_EQ(ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE, 3, &lb, 17, many), nullptr);
    EXPECT_EQ(ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE, 3, &lb, 16, nullptr), nullptr);
    DWORD zeros[2] = {0, 0};
    DWORD huge[3] = {0xFFFFFFFFu, 1, 0xFFFFFFFFu};
    std::vector<HPEN> pens = {
        CreatePen(PS_SOLID, 1, 0),
        CreatePen(PS_DASHDOT, 1, 0),
        CreatePen(PS_SOLID, 40000, 0),
        CreatePen(PS_SOLID, INT_MAX, 0),
        Geo(PS_SOLID | PS_JOIN_MITER, 1),
        Geo(PS_DOT | PS_ENDCAP_SQUARE | PS_JOIN_MITER, 9),
        Geo(PS_SOLID | PS_ENDCAP_ROUND, 0xFFFFFFFFu),
        ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE, 5, &lb, 2, zeros),
        ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE | PS_ENDCAP_FLAT, 3, &lb, 3, huge),
        ExtCreatePen(PS_COSMETIC | PS_USERSTYLE, 1, &lb, 3, huge),
    };
    std::vector<POINT> wild(100000);
    for (size_t i = 0; i < wild.size(); ++i)
        wild[i] = POINT{LONG(i % 2 ? INT_MAX - LONG(i) : INT_MIN + LONG(i)), LONG(i % 3 ? INT_MIN : INT_MAX)};
    const POINT edge[] = {{INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}, {INT_MAX, INT_MIN}, {-5, 20}, {INT_MIN, 30}};
    SetMiterLimit(cv.dc, 1e30f, nullptr);
    for (HPEN pen : pens) {
        ASSERT_NE(pen, nullptr);
        HGDIOBJ old = SelectObject(cv.dc, pen);
        EXPECT_FALSE(Polyline(cv.dc, edge, 0));
        EXPECT_FALSE(Polyline(cv.dc, edge, 1));
        EXPECT_FALSE(PolylineTo(cv.dc, edge, 0));
        EXPECT_TRUE(Polyline(cv.dc, edge, 5));
        EXPECT_TRUE(PolylineTo(cv.dc, edge, 5));
        EXPECT_TRUE(Polyline(cv.dc, wild.data(), 1000));
        MoveToEx(cv.dc, INT_MIN, 7, nullptr);
        EXPECT_TRUE(LineTo(cv.dc, INT_MAX, 9));
        EXPECT_TRUE(LineTo(cv.dc, INT_MAX, 9));
        EXPECT_TRUE(Rectangle(cv.dc, INT_MIN, INT_MIN, INT_MAX, INT_MAX));
        SelectObject(cv.dc, old);
    }
    SelectObject(cv.dc, pens[0]);
    EXPECT_TRUE(Polyline(cv.dc, wild.data(), int(wild.size())));
    SelectObject(cv.dc, GetStockObject(BLACK_PEN));
    for (HPEN pen : pens) DeleteObject(pen);
}
