/* World transforms that scale and translate (no rotation): rectangles,
 * ellipses, round rectangles, polygons and lines, with a 1-px pen and with
 * a 3-unit geometric pen, under scales 2, 0.5, 1.5, negative and mixed,
 * with fractional translations. One cell of 60 x 60 per transform. */
#include "fid.h"

static void shapes(HDC dc)
{
    static const POINT tri[4] = { { 4, 30 }, { 20, 26 }, { 14, 40 }, { 2, 38 } };
    Rectangle(dc, 2, 2, 14, 10);
    Ellipse(dc, 16, 2, 30, 12);
    RoundRect(dc, 2, 14, 16, 24, 6, 4);
    Polygon(dc, tri, 4);
    MoveToEx(dc, 18, 16, NULL);
    LineTo(dc, 28, 22);
    LineTo(dc, 22, 28);
    MoveToEx(dc, 24, 30, NULL);
    LineTo(dc, 24, 38);
}

int main(int argc, char **argv)
{
    static const float m[][4] = {
        /* eM11, eM22, eDx, eDy (cell origin added) */
        { 2.0f, 2.0f, 0.0f, 0.0f },
        { 0.5f, 0.5f, 0.25f, 0.75f },
        { 1.5f, 1.5f, 0.5f, 0.5f },
        { -1.0f, 1.0f, 59.0f, 0.0f },
        { 1.0f, -1.0f, 0.0f, 59.5f },
        { -1.5f, -1.5f, 58.4f, 58.6f },
        { 2.0f, 1.0f, 0.3f, 0.7f },
        { 1.25f, 0.75f, 1.5f, 2.5f },
        { 1.0f, 1.0f, 0.5f, 0.5f },
        { 1.0f, 1.0f, -0.5f, 0.49f },
        { 0.75f, 1.75f, 3.2f, -0.3f },
        { -2.0f, 2.0f, 59.5f, 0.5f },
    };
    Canvas c;
    int i, pass;
    HPEN thin = CreatePen(PS_SOLID, 1, RGB(0x10, 0x20, 0x80));
    HPEN thick = CreatePen(PS_SOLID, 3, RGB(0xA0, 0x10, 0x30));
    HBRUSH br = CreateSolidBrush(RGB(0xF0, 0xC0, 0x30));

    if (!fid_begin(&c, 360, 240))
        return 1;
    SelectObject(c.dc, br);
    for (pass = 0; pass < 2; pass++) {
        SelectObject(c.dc, pass ? thick : thin);
        for (i = 0; i < 6; i++) {
            int k = pass * 6 + i;
            int cx = (k % 6) * 60, cy = (k / 6) * 60;
            XFORM xf;
            xf.eM11 = m[k][0]; xf.eM12 = 0; xf.eM21 = 0; xf.eM22 = m[k][1];
            xf.eDx = m[k][2] + cx; xf.eDy = m[k][3] + cy;
            SetWorldTransform(c.dc, &xf);
            shapes(c.dc);
        }
    }
    /* The same twelve transforms with the other pen in the lower half. */
    for (pass = 0; pass < 2; pass++) {
        SelectObject(c.dc, pass ? thin : thick);
        for (i = 0; i < 6; i++) {
            int k = pass * 6 + i;
            int cx = (k % 6) * 60, cy = 120 + (k / 6) * 60;
            XFORM xf;
            xf.eM11 = m[k][0]; xf.eM12 = 0; xf.eM21 = 0; xf.eM22 = m[k][1];
            xf.eDx = m[k][2] + cx; xf.eDy = m[k][3] + cy;
            SetWorldTransform(c.dc, &xf);
            shapes(c.dc);
        }
    }
    return fid_end(&c, argc, argv);
}
