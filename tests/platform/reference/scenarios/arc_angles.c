/* Arcs of several sizes and angles, clockwise and counter-clockwise, with
 * 1-px pens and geometric pens 2 to 5 wide (round, square and flat caps),
 * as a graphics layer draws a speaker's sound waves. */
#include "fid.h"
#include <math.h>

static int rnd(double v) { return (int)(v < 0 ? v - 0.5 : v + 0.5); }

/* The arc of box (l,t,r,b) from angle a0 to a1 (radians, counter-clockwise
 * on screen), its radials placed on the ellipse like a layer computes them. */
static void arc_by_angles(HDC dc, int l, int t, int r, int b, double a0, double a1)
{
    int a = (r - l) / 2, bb = (b - t) / 2;
    double cx = l + a, cy = t + bb;
    Arc(dc, l, t, r, b, rnd(cx + a * cos(a0)), rnd(cy - bb * sin(a0)), rnd(cx + a * cos(a1)),
        rnd(cy - bb * sin(a1)));
}

int main(int argc, char **argv)
{
    static const int boxes[][4] = {
        { 4, 4, 44, 74 }, { 50, 10, 70, 40 }, { 76, 4, 116, 44 }, { 120, 4, 131, 15 },
        { 136, 4, 184, 30 }, { 190, 4, 203, 60 },
    };
    static const double angles[][2] = {
        { -0.9, 0.9 }, { 0.3, 2.5 }, { 2.0, -2.0 }, { -1.2, 1.2 }, { 0.0, 3.14159265 }, { 4.0, 5.5 },
    };
    static const DWORD caps[3] = { PS_ENDCAP_ROUND, PS_ENDCAP_SQUARE, PS_ENDCAP_FLAT };
    Canvas c;
    LOGBRUSH lb = { BS_SOLID, RGB(0x3C, 0x3C, 0x50), 0 };
    int row, k;

    if (!fid_begin(&c, 220, 560))
        return 1;
    for (row = 0; row < 7; row++) {
        XFORM xf = { 1, 0, 0, 1, 0, 0 };
        HPEN pen;
        int w = row == 0 ? 1 : 1 + (row + 1) / 2 + (row > 4);
        if (row == 0)
            pen = CreatePen(PS_SOLID, 1, RGB(0x10, 0x20, 0x80));
        else
            pen = ExtCreatePen(PS_GEOMETRIC | PS_SOLID | caps[row % 3], w, &lb, 0, NULL);
        DeleteObject(SelectObject(c.dc, pen));
        xf.eDy = (float)(row * 80);
        SetWorldTransform(c.dc, &xf);
        SetArcDirection(c.dc, row == 3 ? AD_CLOCKWISE : AD_COUNTERCLOCKWISE);
        for (k = 0; k < 6; k++)
            arc_by_angles(c.dc, boxes[k][0], boxes[k][1], boxes[k][2], boxes[k][3], angles[k][0], angles[k][1]);
    }
    return fid_end(&c, argc, argv);
}
