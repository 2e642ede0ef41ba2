// Region pens, geometric dashes, arc direction, inside frames and Bezier
// flattening, each case against a picture taken from a reference GDI's dump
// (64x64 canvas, advanced graphics mode): the window at (x, y) must match
// the rows ('#' drawn) and nothing outside it may change.
#include <vector>

#include "gdi_test_util.h"

using namespace gdi_test;

namespace {

constexpr uint32_t kBg = 0x00D8E0E8;

HPEN Geo(DWORD style, DWORD width, DWORD n = 0, const DWORD* user = nullptr) {
    LOGBRUSH lb{BS_SOLID, RGB(0xC0, 0x10, 0x10), 0};
    return ExtCreatePen(PS_GEOMETRIC | style, width, &lb, n, user);
}

// Draws case k with a fresh pen (deleted again) and no brush.
void DrawCase(HDC dc, int k) {
    static const DWORD user[2] = {3, 5};
    static const POINT one_point[3] = {{20, 20}, {20, 20}, {20, 20}};
    static const POINT one_point_b[3] = {{40, 20}, {40, 20}, {40, 20}};
    const DWORD flat = PS_SOLID | PS_ENDCAP_FLAT;
    HPEN pen = nullptr, pen2 = nullptr;
    std::vector<POINT> line;
    bool closed = false;
    switch (k) {
        case 0: pen = Geo(flat | PS_JOIN_BEVEL, 7), line = {{4, 8}, {12, 8}, {12, 16}}; break;
        case 1: pen = Geo(flat | PS_JOIN_BEVEL, 9), line = {{16, 17}, {16, 16}, {4, 16}}; break;
        case 3: pen = Geo(PS_DASH | PS_ENDCAP_ROUND, 1), line = {{4, 20}, {26, 13}}; break;
        case 4: pen = Geo(PS_DOT | PS_ENDCAP_ROUND, 2), line = {{4, 4}, {7, 4}, {7, 10}, {28, 10}}; break;
        case 5: pen = Geo(PS_USERSTYLE | PS_ENDCAP_SQUARE, 3, 2, user), line = {{3, 6}, {27, 6}}; break;
        case 6: pen = Geo(PS_DOT | PS_ENDCAP_FLAT | PS_JOIN_MITER, 9), line = {{3, 12}, {11, 12}, {21, 11}}; break;
        case 7: pen = Geo(PS_DASH | PS_ENDCAP_FLAT | PS_JOIN_BEVEL, 2), line = {{4, 4}, {9, 17}, {25, 14}}; break;
        case 12: pen = Geo(flat | PS_JOIN_MITER, 3), line = {{50, 20}, {49, 18}, {44, 21}}, closed = true; break;
        default: break;
    }
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    if (k == 8) {
        pen = CreatePen(PS_DASHDOT, 1, RGB(0x10, 0x20, 0x80));
        SelectObject(dc, pen);
        SetArcDirection(dc, AD_CLOCKWISE);
        Ellipse(dc, 3, 5, 19, 17);
        SetArcDirection(dc, AD_COUNTERCLOCKWISE);
    } else if (k == 9) {
        pen = CreatePen(PS_INSIDEFRAME, 6, RGB(0x10, 0x20, 0x80));
        SelectObject(dc, pen);
        Ellipse(dc, 12, 12, 16, 16);
    } else if (k == 10) {
        pen = Geo(flat | PS_JOIN_ROUND, 6);
        pen2 = Geo(PS_SOLID | PS_ENDCAP_ROUND | PS_JOIN_BEVEL, 6);
        SelectObject(dc, pen);
        Polygon(dc, one_point, 3);
        SelectObject(dc, pen2);
        Polygon(dc, one_point_b, 3);
    } else if (k == 11) {
        static const POINT curve[4] = {{16, 16}, {24, 22}, {12, 18}, {14, 26}};
        pen = CreatePen(PS_SOLID, 1, RGB(0x10, 0x20, 0x80));
        SelectObject(dc, pen);
        PolyBezier(dc, curve, 4);
    } else {
        SelectObject(dc, pen);
        if (closed)
            Polygon(dc, line.data(), int(line.size()));
        else
            Polyline(dc, line.data(), int(line.size()));
    }
    SelectObject(dc, GetStockObject(BLACK_PEN));
    DeleteObject(pen);
    if (pen2) DeleteObject(pen2);
}

struct Picture {
    int id, x, y;
    std::vector<const char*> rows;
};

const Picture kPictures[] = {
    // bevel, right then down: the incoming horizontal face ends one pixel before the vertex
    {0, 4, 5, {
        "########....",
        "#########...",
        "###########.",
        "############",
        "############",
        "############",
        "############",
        ".....#######",
        ".....#######",
        ".....#######",
        ".....#######",
    }},
    // bevel after a 1-px segment: the crossing faces enclose the inner side too
    {1, 4, 12, {
        "############.....",
        "#############....",
        "##############...",
        "###############..",
        "#################",
        "#################",
        "################.",
        "###############..",
        "##############...",
    }},
    // a 1-px geometric dash walks like a cosmetic one: one unit per pixel, no caps
    {3, 4, 13, {
        ".....................#",
        "..................#.#.",
        "................##....",
        "............###.......",
        "........###...........",
        ".....##...............",
        "..#.#.................",
        "##....................",
    }},
    // dots of no length: the start, then the first dot past each later segment's start
    {4, 3, 3, {
        "##......",
        "##.##...",
        "...##...",
        "........",
        "........",
        "........",
        "......##",
        "......##",
    }},
    // user lengths keep their length under square caps; the path's end cuts a dash to its caps
    {5, 2, 5, {
        "#####...#####...#####...##",
        "#####...#####...#####...##",
        "#####...#####...#####...##",
    }},
    // a dash running less than a pixel past a vertex keeps its miter there
    {6, 3, 8, {
        "########.........##",
        "########..........#",
        "########..........#",
        "########..........#",
        "########..........#",
        "#########.........#",
        "#########.........#",
        "#########.........#",
        "#########.........#",
    }},
    // slanted dashes: each segment uses up the whole pixels of its length
    {7, 3, 4, {
        "###....................",
        ".##....................",
        ".###...................",
        "..##...................",
        "..##...................",
        ".......................",
        ".......................",
        "..###..................",
        "...##..................",
        "...###.................",
        "....##..........#######",
        "....###..........######",
        ".....##.#######........",
        ".....##..######........",
    }},
    // clockwise ellipse: the dash pattern runs clockwise from the right middle
    {8, 3, 5, {
        ".....######.....",
        "...##......##...",
        "..#..........#..",
        ".#............#.",
        "#..............#",
        "#..............#",
        "#..............#",
        "#..............#",
        ".#............#.",
        "..#..........#..",
        "...##......##...",
        ".....######.....",
    }},
    // an inside frame wider than its ellipse: the rectangle of the original corners
    {9, 9, 9, {
        "..######..",
        ".########.",
        "##########",
        "##########",
        "##########",
        "##########",
        "##########",
        "##########",
        ".########.",
        "..######..",
    }},
    // a closed figure on one point: a round join shows as a dot, a bevel shows nothing
    {10, 17, 17, {
        "..##..",
        ".####.",
        "######",
        "######",
        ".####.",
        "..##..",
    }},
    // Bezier: a control level with the start of a chord running left keeps the piece halving
    {11, 14, 16, {
        "..#...",
        "...#..",
        "....#.",
        ".....#",
        "...##.",
        "..#...",
        ".#....",
        ".#....",
        "#.....",
        "#.....",
    }},
    // a long miter on a closed triangle is not cut short
    {12, 37, 17, {
        "...........###..",
        "..........#####.",
        "........#######.",
        "......##########",
        ".....###########",
        "...###########..",
        "..######........",
        "###.............",
    }},
};

}  // namespace

TEST(GdiPenReference, ShapesMatchTheReferencePictures) {
    for (int k = 0; k < int(sizeof kPictures / sizeof kPictures[0]); ++k) {
        Canvas cv(64, 64, kBg);
        SetGraphicsMode(cv.dc, GM_ADVANCED);
        const Picture& p = kPictures[k];
        DrawCase(cv.dc, p.id);
        int want_total = 0, got_total = 0;
        for (size_t j = 0; j < p.rows.size(); ++j)
            for (int i = 0; p.rows[j][i]; ++i) {
                bool want = p.rows[j][i] == '#';
                want_total += want;
                EXPECT_EQ(cv.at(p.x + i, p.y + int(j)) != kBg, want)
                    << "case " << k << " at (" << p.x + i << "," << p.y + int(j) << ")";
            }
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) got_total += cv.at(x, y) != kBg;
        EXPECT_EQ(got_total, want_total) << "case " << k << ": pixels drawn outside its picture";
    }
}
