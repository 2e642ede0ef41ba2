// Elliptic, round-rectangle and polygon regions: their rows, as a reference
// GDI builds them for the same calls.
#include <string>
#include <vector>

#include "gdi_test_util.h"

namespace {

// Row y of a region as a string over columns 0..w-1: '#' inside, '.' outside.
std::vector<std::string> Rows(HRGN rgn, int w, int h) {
    std::vector<std::string> out;
    for (int y = 0; y < h; ++y) {
        std::string s;
        for (int x = 0; x < w; ++x) s += PtInRegion(rgn, x, y) ? '#' : '.';
        out.push_back(s);
    }
    return out;
}

}  // namespace

TEST(GdiRegionShapes, EllipticAndRoundRectRegionsLeaveOutTheLastColumnAndRow) {
    struct Case {
        HRGN rgn;
        std::vector<std::string> rows;
    } cases[] = {
        {CreateEllipticRgn(0, 0, 1, 1), {".."}},
        {CreateEllipticRgn(0, 0, 2, 2), {"#.", ".."}},
        {CreateEllipticRgn(0, 0, 3, 3), {"##.", "##.", "..."}},
        {CreateEllipticRgn(0, 0, 4, 4), {".#..", "###.", ".#..", "...."}},
        {CreateEllipticRgn(4, 4, 0, 0), {".#..", "###.", ".#..", "...."}},  // corners in any order
        {CreateEllipticRgn(0, 0, 7, 5), {".####..", "######.", "######.", ".####..", "......."}},
        {CreateEllipticRgn(0, 0, 10, 7),
         {"..#####...", ".#######..", "#########.", "#########.", ".#######..", "..#####...", ".........."}},
        {CreateEllipticRgn(0, 0, 5, 21), {"......"} },  // row 0 empty: checked below
        {CreateRoundRectRgn(0, 0, 8, 6, 4, 22),  // corner height limited to the box
         {".#####..", "#######.", "#######.", "#######.", ".#####..", "........"}},
        {CreateRoundRectRgn(0, 0, 6, 4, 1, 1), {"#####.", "#####.", "#####.", "......"}},
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        const Case& k = cases[i];
        ASSERT_NE(k.rgn, nullptr) << i;
        if (i == 7) {
            // 5 x 21: a 4 x 20 ellipse whose first and last rows are empty.
            std::vector<std::string> rows = Rows(k.rgn, 5, 21);
            EXPECT_EQ(rows[0], ".....");
            EXPECT_EQ(rows[1], ".##..");
            EXPECT_EQ(rows[4], "####.");
            EXPECT_EQ(rows[18], ".##..");
            EXPECT_EQ(rows[19], ".....");
        } else {
            EXPECT_EQ(Rows(k.rgn, int(k.rows[0].size()), int(k.rows.size())), k.rows) << i;
        }
        DeleteObject(k.rgn);
    }
}

TEST(GdiRegionShapes, PolygonRegionsHoldWhatPolygonFills) {
    // A self-crossing star in both modes and two nested squares of the same
    // direction: the region and the filled polygon cover the same pixels.
    const POINT star[5] = {{8, 0}, {3, 12}, {14, 4}, {0, 4}, {12, 12}};
    const POINT two[8] = {{0, 0}, {6, 0}, {6, 6}, {0, 6}, {2, 2}, {4, 2}, {4, 4}, {2, 4}};
    const INT counts[2] = {4, 4};
    for (int mode : {ALTERNATE, WINDING})
        for (int shape = 0; shape < 2; ++shape) {
            gdi_test::Canvas c(16, 14, 0);
            SelectObject(c.dc, GetStockObject(NULL_PEN));
            SelectObject(c.dc, GetStockObject(WHITE_BRUSH));
            SetPolyFillMode(c.dc, mode);
            HRGN r;
            if (shape == 0) {
                Polygon(c.dc, star, 5);
                r = CreatePolygonRgn(star, 5, mode);
            } else {
                PolyPolygon(c.dc, two, counts, 2);
                r = CreatePolyPolygonRgn(two, counts, 2, mode);
            }
            ASSERT_NE(r, nullptr);
            for (int y = 0; y < 14; ++y)
                for (int x = 0; x < 16; ++x)
                    EXPECT_EQ(c.at(x, y) != 0, PtInRegion(r, x, y) != FALSE) << mode << " " << x << "," << y;
            DeleteObject(r);
        }
    EXPECT_EQ(CreatePolygonRgn(star, 0, WINDING), nullptr);
    EXPECT_EQ(CreatePolygonRgn(star, 5, 7), nullptr);
}
