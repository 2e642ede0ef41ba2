// shapes_gallery — every shape Glint can draw, in every variant and style, in
// one window. Read it from top to bottom: each section shows one idea and
// names the functions it uses, so you can copy the lines you need.
//
//   shapes_gallery              opens the window; any key (or the close box) ends it
//   shapes_gallery --png FILE   draws without showing anything and saves the
//                               picture as FILE (this makes docs/gallery/shapes.png)
//
// Things to know before you start:
// - Coordinates are pixels, x to the right and y downwards, (0, 0) top left.
// - Shapes use the current *line style* (the pen: colour, dashes, width) for
//   their outline and the current *fill style* (the brush: colour, hatch or
//   pattern) for their inside. Set them once; they stay until you change them.
// - Each closed shape comes in four variants:
//       rectangle(...)       outline only (the inside is left alone)
//       fillrectangle(...)   outline and inside
//       solidrectangle(...)  inside only, no outline
//       clearrectangle(...)  inside only, in the background colour (an eraser)
//   and the same for circle, ellipse, roundrect, pie and polygon.
#include <graphics.h>

#include <cmath>
#include <cstdio>

#include "snapshot.h"

namespace {

const int kWidth = 760;
const int kHeight = 910;
const double kPi = 3.14159265358979323846;

// A colour between two others, for backdrops.
const COLORREF kPaper = WHITE;
const COLORREF kBackdrop = RGB(228, 232, 240);  // light grey-blue behind the shape cells
const COLORREF kInk = RGB(30, 30, 30);

// A section title with a thin rule under it.
void Heading(int y, const char* title) {
    settextstyle(18, 0, "Arial");
    settextcolor(kInk);
    outtextxy(10, y, title);
    setlinestyle(PS_SOLID, 1);
    setlinecolor(DARKGRAY);
    line(10, y + 21, kWidth - 10, y + 21);
}

// Small text for the labels.
void Label(int x, int y, const char* text) {
    settextstyle(13, 0, "Arial");
    settextcolor(kInk);
    outtextxy(x, y, text);
}

// ---------------------------------------------------------------------------
// 1. The six closed shapes in their four variants.
// ---------------------------------------------------------------------------
// A five-pointed star as a polygon: ten corners, alternately far and near.
void Star(int cx, int cy, int outer, int inner, POINT corners[10]) {
    for (int i = 0; i < 10; ++i) {
        double angle = -kPi / 2 + i * kPi / 5;  // start at the top
        int r = (i % 2 == 0) ? outer : inner;
        corners[i].x = cx + int(std::lround(r * std::cos(angle)));
        corners[i].y = cy + int(std::lround(r * std::sin(angle)));
    }
}

// Draws one shape (column) in one variant (row) inside the cell at x, y.
// Variant 0 = outline, 1 = fill, 2 = solid, 3 = clear.
void ShapeCell(int shape, int variant, int x, int y) {
    const int w = 96, h = 70;
    // A tinted backdrop, so that the "clear" variant (which paints the
    // background colour, here white) can be seen at all.
    setfillcolor(kBackdrop);
    solidrectangle(x, y, x + w - 1, y + h - 1);

    // The pen and brush every variant starts from: a 2-pixel blue outline
    // and a light green inside. The variants switch off what they do not
    // need and put it back afterwards.
    setlinecolor(BLUE);
    setlinestyle(PS_SOLID, 2);
    setfillcolor(LIGHTGREEN);
    setfillstyle(SOLID_FILL);

    const int l = x + 12, t = y + 10, r = x + w - 13, b = y + h - 11;  // a box inside the cell
    const int cx = x + w / 2, cy = y + h / 2;
    POINT star[10];
    Star(cx, cy, 30, 13, star);
    switch (shape * 4 + variant) {
        // left, top, right, bottom of the rectangle
        case 0: rectangle(l, t, r, b); break;
        case 1: fillrectangle(l, t, r, b); break;
        case 2: solidrectangle(l, t, r, b); break;
        case 3: clearrectangle(l, t, r, b); break;
        // centre x, centre y, radius
        case 4: circle(cx, cy, 27); break;
        case 5: fillcircle(cx, cy, 27); break;
        case 6: solidcircle(cx, cy, 27); break;
        case 7: clearcircle(cx, cy, 27); break;
        // the bounding box of the ellipse
        case 8: ellipse(l - 6, t, r + 6, b); break;
        case 9: fillellipse(l - 6, t, r + 6, b); break;
        case 10: solidellipse(l - 6, t, r + 6, b); break;
        case 11: clearellipse(l - 6, t, r + 6, b); break;
        // the box, then width and height of the ellipse that rounds each corner
        case 12: roundrect(l, t, r, b, 24, 18); break;
        case 13: fillroundrect(l, t, r, b, 24, 18); break;
        case 14: solidroundrect(l, t, r, b, 24, 18); break;
        case 15: clearroundrect(l, t, r, b, 24, 18); break;
        // the box of the whole ellipse, then start and end angle in radians:
        // 0 points right, angles grow counter-clockwise
        case 16: pie(l, t - 4, r, b + 4, 0.6, 2 * kPi - 0.6); break;
        case 17: fillpie(l, t - 4, r, b + 4, 0.6, 2 * kPi - 0.6); break;
        case 18: solidpie(l, t - 4, r, b + 4, 0.6, 2 * kPi - 0.6); break;
        case 19: clearpie(l, t - 4, r, b + 4, 0.6, 2 * kPi - 0.6); break;
        // an array of corners and how many there are
        case 20: polygon(star, 10); break;
        case 21: fillpolygon(star, 10); break;
        case 22: solidpolygon(star, 10); break;
        case 23: clearpolygon(star, 10); break;
    }
}

void ClosedShapes(int top) {
    Heading(top, "1. Closed shapes: outline, fill, solid and clear");
    const char* shapes[6] = {"rectangle", "circle", "ellipse", "roundrect", "pie", "polygon"};
    // The row labels: "x()" stands for the shape's name, e.g. fillx() is fillcircle() under "circle".
    const char* variants[4] = {"x()", "fillx()", "solidx()", "clearx()"};
    const int left = 92, cellW = 110, cellH = 76, first = top + 48;
    for (int s = 0; s < 6; ++s) Label(left + s * cellW + 4, top + 28, shapes[s]);
    for (int v = 0; v < 4; ++v) {
        Label(12, first + v * cellH + 28, variants[v]);
        for (int s = 0; s < 6; ++s) ShapeCell(s, v, left + s * cellW, first + v * cellH);
    }
}

// ---------------------------------------------------------------------------
// 2. Line styles, widths, end caps and joins.
// ---------------------------------------------------------------------------
void LineStyles(int top) {
    Heading(top, "2. Lines: dash kinds, widths, end caps and joins");

    // setlinestyle(style, thickness): the dash kind is one of the PS_ values.
    // PS_USERSTYLE takes its own dash and gap lengths from an array.
    const DWORD myDashes[4] = {9, 3, 2, 3};  // dash 9, gap 3, dash 2, gap 3
    const struct {
        int style;
        const char* name;
    } kinds[9] = {
        {PS_SOLID, "PS_SOLID"},           {PS_DASH, "PS_DASH"},
        {PS_DOT, "PS_DOT"},               {PS_DASHDOT, "PS_DASHDOT"},
        {PS_DASHDOTDOT, "PS_DASHDOTDOT"}, {PS_NULL, "PS_NULL (invisible)"},
        {PS_INSIDEFRAME, "PS_INSIDEFRAME"}, {PS_USERSTYLE, "PS_USERSTYLE"},
        {PS_ALTERNATE, "PS_ALTERNATE (none)"},
    };
    // PS_ALTERNATE (every other pixel) exists only for the platform's thin
    // "cosmetic" pens. Glint always makes "geometric" pens, which may be
    // wide, dashed and capped; the platform refuses such a pen with
    // PS_ALTERNATE, and the previous pen stays in use. So it is listed, not drawn.
    for (int k = 0; k < 9; ++k) {
        int y = top + 34 + k * 22;
        Label(12, y - 2, kinds[k].name);
        if (kinds[k].style == PS_ALTERNATE) continue;
        setlinecolor(RED);
        const DWORD* dashes = kinds[k].style == PS_USERSTYLE ? myDashes : NULL;
        setlinestyle(kinds[k].style, 1, dashes, dashes ? 4 : 0);  // 1 pixel wide
        line(150, y + 2, 260, y + 2);
        setlinestyle(kinds[k].style | PS_ENDCAP_FLAT, 4, dashes, dashes ? 4 : 0);  // 4 pixels wide
        line(280, y + 3, 370, y + 3);
    }
    Label(160, top + 232, "1 pixel");
    Label(300, top + 232, "4 pixels");

    // Widths: the thickness argument.
    for (int i = 0; i < 5; ++i) {
        int width = 1 << i;  // 1, 2, 4, 8, 16
        setlinecolor(BROWN);
        setlinestyle(PS_SOLID | PS_ENDCAP_FLAT, width);
        line(400 + i * 70, top + 40, 450 + i * 70, top + 40);
        char text[16];
        std::snprintf(text, sizeof text, "%d px", width);
        Label(410 + i * 70, top + 54, text);
    }

    // End caps (how a line ends) and joins (how two segments meet) are added
    // to the dash kind: PS_SOLID | PS_ENDCAP_SQUARE | PS_JOIN_MITER, say. The
    // thin white line shows where the points really are.
    const struct {
        int flag;
        const char* name;
    } caps[3] = {{PS_ENDCAP_ROUND, "ROUND"}, {PS_ENDCAP_SQUARE, "SQUARE"}, {PS_ENDCAP_FLAT, "FLAT"}},
      joins[3] = {{PS_JOIN_ROUND, "ROUND"}, {PS_JOIN_BEVEL, "BEVEL"}, {PS_JOIN_MITER, "MITER"}};
    Label(400, top + 78, "end caps:");
    Label(400, top + 150, "joins:");
    for (int i = 0; i < 3; ++i) {
        int x = 470 + i * 95;
        // A cap: one straight, thick line.
        setlinecolor(MAGENTA);
        setlinestyle(PS_SOLID | caps[i].flag, 14);
        line(x + 10, top + 100, x + 60, top + 100);
        setlinecolor(WHITE);
        setlinestyle(PS_SOLID, 1);
        line(x + 10, top + 100, x + 60, top + 100);
        Label(x + 10, top + 118, caps[i].name);

        // A join: a polyline with a sharp corner.
        POINT vee[3] = {{x + 5, top + 210}, {x + 35, top + 160}, {x + 65, top + 210}};
        setlinecolor(CYAN);
        setlinestyle(PS_SOLID | PS_ENDCAP_FLAT | joins[i].flag, 14);
        polyline(vee, 3);
        setlinecolor(WHITE);
        setlinestyle(PS_SOLID, 1);
        polyline(vee, 3);
        Label(x + 12, top + 222, joins[i].name);
    }
}

// ---------------------------------------------------------------------------
// 3. Fill styles: solid, none, hatches and patterns.
// ---------------------------------------------------------------------------
void FillStyles(int top) {
    Heading(top, "3. Fill styles: setfillstyle(...); hatch gaps opaque and transparent in turn");
    setlinecolor(kInk);
    setlinestyle(PS_SOLID, 1);

    // A style, and for hatches the kind of hatch.
    const struct {
        int style;
        long hatch;
        const char* name;
    } fills[8] = {
        {BS_SOLID, 0, "SOLID"},           {BS_NULL, 0, "NULL"},
        {HORIZONTAL_FILL, "HORIZONTAL"},  {VERTICAL_FILL, "VERTICAL"},
        {FDIAGONAL_FILL, "FDIAGONAL"},    {BDIAGONAL_FILL, "BDIAGONAL"},
        {CROSS_FILL, "CROSS"},            {DIAGCROSS_FILL, "DIAGCROSS"},
    };
    // Hatches paint their lines in the fill colour; the gaps between them take
    // the background colour (OPAQUE) or stay as they were (TRANSPARENT).
    setfillcolor(kBackdrop);
    solidrectangle(8, top + 26, kWidth - 8, top + 74);  // a backdrop for the transparent gaps
    setfillcolor(BLUE);  // the colour of solid and hatched brushes
    setbkcolor(LIGHTCYAN);
    for (int i = 0; i < 8; ++i) {
        int x = 12 + i * 93;
        setfillstyle(fills[i].style, fills[i].hatch);
        setbkmode(i % 2 ? TRANSPARENT : OPAQUE);  // every other one transparent
        fillrectangle(x, top + 30, x + 80, top + 70);
        setbkmode(TRANSPARENT);  // labels without a box behind them
        Label(x, top + 76, fills[i].name);
    }

    // Eight-by-eight patterns: set bits are painted in the text colour, clear
    // bits in the background colour.
    BYTE* patterns[16] = {DOT_FILL,        BDIAGONAL2_FILL, CROSS2_FILL,      DIAGCROSS2_FILL, DOT2_FILL,
                          FDIAGONAL2_FILL, HORIZONTAL2_FILL, VERTICAL2_FILL,  BDIAGONAL3_FILL, CROSS3_FILL,
                          DIAGCROSS3_FILL, DOT3_FILL,        FDIAGONAL3_FILL, HORIZONTAL3_FILL, VERTICAL3_FILL,
                          INTERLEAVE_FILL};
    const int patternCount = 16;
    settextcolor(RGB(120, 40, 0));
    setbkcolor(YELLOW);
    for (int i = 0; i < patternCount; ++i) {
        int x = 12 + i * 42;
        setfillstyle(patterns[i]);
        fillrectangle(x, top + 96, x + 36, top + 132);
    }
    Label(12, top + 136, "DOT_FILL, BDIAGONAL2_FILL, CROSS2_FILL ... INTERLEAVE_FILL: 8 x 8 patterns");

    // Any picture can be a pattern too: draw a small IMAGE and hand it over.
    IMAGE tile(12, 12);
    SetWorkingImage(&tile);  // drawing now goes into the tile
    setbkcolor(RGB(255, 240, 200));
    cleardevice();
    setfillcolor(RED);
    setlinecolor(RED);
    fillcircle(6, 6, 3);
    SetWorkingImage(NULL);  // back to the window
    setfillstyle(BS_DIBPATTERN, 0, &tile);
    fillrectangle(12 + 16 * 42, top + 96, kWidth - 12, top + 132);
    Label(12 + 16 * 42, top + 136, "IMAGE");

    setbkcolor(kPaper);
    settextcolor(kInk);
    setfillstyle(SOLID_FILL);
}

// ---------------------------------------------------------------------------
// 4. Points, open lines and curves, flood fill and raster operations.
// ---------------------------------------------------------------------------
void PointsAndCurves(int top) {
    Heading(top, "4. Points, polylines, curves, arcs, flood fill and mixing");
    setlinestyle(PS_SOLID, 2);
    const int y0 = top + 32, y1 = top + 112;  // the band the drawings sit in
    int x = 10;                               // left edge of the current drawing

    // putpixel(x, y, colour): a ring of dots in changing colours.
    for (int i = 0; i < 60; ++i) {
        double a = i * 2 * kPi / 60;
        int px = x + 45 + int(std::lround(36 * std::cos(a))), py = y0 + 40 + int(std::lround(36 * std::sin(a)));
        COLORREF c = RGB(i * 4, 200 - i * 3, 255 - i * 4);
        putpixel(px, py, c);  // four pixels make a dot big enough to see
        putpixel(px + 1, py, c);
        putpixel(px, py + 1, c);
        putpixel(px + 1, py + 1, c);
    }
    Label(x + 20, y1 + 6, "putpixel");
    x += 107;

    // line(x1, y1, x2, y2): a fan of lines from one corner.
    setlinecolor(GREEN);
    for (int i = 0; i <= 8; ++i) {
        double a = i * kPi / 16;
        line(x, y1, x + int(std::lround(90 * std::cos(a))), y1 - int(std::lround(80 * std::sin(a))));
    }
    Label(x + 30, y1 + 6, "line");
    x += 107;

    // polyline(points, count): connected segments; the last point is not
    // joined back to the first (polygon would close it).
    POINT zigzag[6] = {{x, y1 - 6}, {x + 18, y0 + 4}, {x + 36, y1 - 6}, {x + 54, y0 + 4}, {x + 72, y1 - 6}, {x + 90, y0 + 4}};
    setlinecolor(BLUE);
    polyline(zigzag, 6);
    Label(x + 20, y1 + 6, "polyline");
    x += 107;

    // polybezier(points, count): a start point, then three points per curve
    // (two control points that pull the curve, and its end point). The dotted
    // grey line joins the control points.
    POINT curve[7] = {{x, y1 - 4},       {x + 5, y0 - 10},  {x + 40, y0},     {x + 45, y0 + 40},
                      {x + 50, y1 + 10}, {x + 85, y1 + 4}, {x + 90, y0 + 4}};
    setlinecolor(DARKGRAY);
    setlinestyle(PS_DOT, 1);
    polyline(curve, 7);
    setlinecolor(RED);
    setlinestyle(PS_SOLID, 2);
    polybezier(curve, 7);
    Label(x + 14, y1 + 6, "polybezier");
    x += 107;

    // arc(box, start angle, end angle): a piece of an ellipse's outline,
    // drawn counter-clockwise from the start angle to the end angle.
    setlinecolor(MAGENTA);
    for (int i = 0; i < 4; ++i) arc(x + i * 8, y0 + i * 8, x + 90 - i * 8, y1 - i * 8, i * 1.2, i * 1.2 + 3.8);
    Label(x + 34, y1 + 6, "arc");
    x += 107;

    // floodfill(x, y, colour, kind) paints the area around a point with the
    // brush. FLOODFILLBORDER: up to a border of the given colour.
    // FLOODFILLSURFACE: the connected pixels that have the given colour.
    setlinecolor(RED);
    circle(x + 35, y0 + 35, 30);  // two rings (outline only) that overlap
    circle(x + 58, y0 + 48, 30);
    setfillcolor(YELLOW);
    floodfill(x + 15, y0 + 30, RED, FLOODFILLBORDER);  // inside the first ring, outside the second
    setfillcolor(LIGHTBLUE);
    floodfill(x + 46, y0 + 42, kPaper, FLOODFILLSURFACE);  // the white lens where they overlap
    Label(x + 20, y1 + 6, "floodfill");
    x += 107;

    // setrop2(R2_XORPEN) mixes what is drawn with what is there, bit by bit:
    // on black, red, green and blue discs add up where they overlap.
    setfillcolor(BLACK);
    solidrectangle(x, y0, x + 90, y1);
    setrop2(R2_XORPEN);
    const COLORREF discs[3] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)};
    const int dx[3] = {45, 34, 56}, dy[3] = {30, 50, 50};
    for (int i = 0; i < 3; ++i) {
        setfillcolor(discs[i]);
        solidcircle(x + dx[i], y0 + dy[i], 20);
    }
    setrop2(R2_COPYPEN);  // back to plain painting
    Label(x + 22, y1 + 6, "setrop2");

    // getpixel(x, y) reads a colour back: here the middle of the three discs.
    COLORREF middle = getpixel(x + 45, y0 + 44);
    char text[64];
    std::snprintf(text, sizeof text, "getpixel in the middle: RGB(%d, %d, %d)", GetRValue(middle), GetGValue(middle),
                  GetBValue(middle));
    Label(kWidth - 250, top + 4, text);
    setlinestyle(PS_SOLID, 1);
}

}  // namespace

int main(int argc, char* argv[]) {
    const char* png = snapshot::Requested(argc, argv);

    initgraph(kWidth, kHeight);
    BeginBatchDraw();  // show everything at once when it is finished
    setbkcolor(kPaper);
    cleardevice();
    setbkmode(TRANSPARENT);

    // The four sections, from the top of the window down.
    ClosedShapes(8);
    LineStyles(366);
    FillStyles(614);
    PointsAndCurves(775);
    EndBatchDraw();

    if (png) return snapshot::SaveWindow(png) ? 0 : 1;

    // Wait for a key, then close the window.
    for (;;) {
        ExMessage m = getmessage(EX_KEY);
        if (m.message == WM_KEYDOWN) break;
    }
    closegraph();
    return 0;
}
