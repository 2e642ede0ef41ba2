/* Scaling and translating world transforms with dashed pens, ExtCreatePen
 * pens, wide pens of several widths, hatched brushes, Bezier curves,
 * SetPixel, FillRect/FrameRect, FillRgn and PS_INSIDEFRAME. */
#include "fid.h"

static void cell(HDC dc)
{
    static const POINT bz[4] = { { 2, 40 }, { 10, 28 }, { 20, 52 }, { 28, 40 } };
    static const POINT pl[4] = { { 30, 2 }, { 40, 10 }, { 32, 16 }, { 44, 20 } };
    LOGBRUSH lb = { BS_SOLID, RGB(0x80, 0x10, 0x80), 0 };
    RECT r1 = { 30, 24, 38, 30 }, r2 = { 40, 24, 48, 32 };
    HPEN p;
    HRGN rg;
    HBRUSH hb = CreateHatchBrush(HS_DIAGCROSS, RGB(0x20, 0x60, 0x20));
    HBRUSH old;

    p = (HPEN)SelectObject(dc, CreatePen(PS_DASH, 1, RGB(0x10, 0x20, 0x80)));
    MoveToEx(dc, 2, 2, NULL); LineTo(dc, 28, 2); LineTo(dc, 28, 12);
    DeleteObject(SelectObject(dc, ExtCreatePen(PS_GEOMETRIC | PS_DASH | PS_ENDCAP_FLAT, 2, &lb, 0, NULL)));
    MoveToEx(dc, 2, 6, NULL); LineTo(dc, 24, 6);
    DeleteObject(SelectObject(dc, ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_JOIN_MITER | PS_ENDCAP_SQUARE, 3, &lb, 0, NULL)));
    Polyline(dc, pl, 4);
    DeleteObject(SelectObject(dc, ExtCreatePen(PS_GEOMETRIC | PS_SOLID, 1, &lb, 0, NULL)));
    MoveToEx(dc, 2, 10, NULL); LineTo(dc, 20, 18);
    DeleteObject(SelectObject(dc, CreatePen(PS_INSIDEFRAME, 3, RGB(0xC0, 0x60, 0x10))));
    old = (HBRUSH)SelectObject(dc, hb);
    Ellipse(dc, 2, 18, 16, 28);
    Rectangle(dc, 16, 18, 28, 26);
    DeleteObject(SelectObject(dc, CreatePen(PS_SOLID, 5, RGB(0x10, 0x80, 0x80))));
    MoveToEx(dc, 4, 52, NULL); LineTo(dc, 26, 56);
    DeleteObject(SelectObject(dc, CreatePen(PS_SOLID, 1, RGB(0x60, 0x10, 0x10))));
    PolyBezier(dc, bz, 4);
    SetPixel(dc, 30, 40, RGB(255, 0, 0));
    SetPixel(dc, 31, 41, RGB(255, 0, 0));
    FillRect(dc, &r1, hb);
    FrameRect(dc, &r2, (HBRUSH)GetStockObject(BLACK_BRUSH));
    rg = CreateRectRgn(40, 34, 48, 40);
    FillRgn(dc, rg, hb);
    DeleteObject(rg);
    SelectObject(dc, old);
    DeleteObject(SelectObject(dc, p));
    DeleteObject(hb);
}

int main(int argc, char **argv)
{
    static const float m[][4] = {
        { 2.0f, 2.0f, 0.0f, 0.0f },
        { 0.5f, 0.5f, 0.25f, 0.75f },
        { 1.5f, 1.5f, 0.5f, 0.5f },
        { -1.0f, 1.0f, 119.0f, 0.0f },
        { 1.0f, -1.0f, 0.0f, 119.5f },
        { 1.25f, 0.75f, 1.5f, 2.5f },
    };
    Canvas c;
    int k;

    if (!fid_begin(&c, 360, 240))
        return 1;
    SelectObject(c.dc, CreateSolidBrush(RGB(0xF0, 0xC0, 0x30)));
    for (k = 0; k < 6; k++) {
        XFORM xf;
        xf.eM11 = m[k][0]; xf.eM12 = 0; xf.eM21 = 0; xf.eM22 = m[k][1];
        xf.eDx = m[k][2] + (k % 3) * 120; xf.eDy = m[k][3] + (k / 3) * 120;
        SetWorldTransform(c.dc, &xf);
        cell(c.dc);
    }
    return fid_end(&c, argc, argv);
}
