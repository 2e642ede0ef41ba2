/* FillRect, FrameRect, InvertRect, SetPixel and the region painters
 * (FillRgn, PaintRgn, FrameRgn, InvertRgn) under scaling and translating
 * world transforms, including mirrored ones. */
#include "fid.h"

int main(int argc, char **argv)
{
    static const float m[][4] = {
        { 1.0f, 1.0f, 0.0f, 0.0f },
        { 2.0f, 2.0f, 0.0f, 0.0f },
        { 0.5f, 0.5f, 0.25f, 0.75f },
        { 1.5f, 1.5f, 0.5f, 0.5f },
        { -1.0f, 1.0f, 59.0f, 0.0f },
        { 1.0f, -1.0f, 0.0f, 59.5f },
        { -1.5f, -1.5f, 58.4f, 58.6f },
        { 1.25f, 0.75f, 1.5f, 2.5f },
    };
    Canvas c;
    int k;
    HBRUSH solid = CreateSolidBrush(RGB(0x20, 0x30, 0xA0));
    HBRUSH hatch = CreateHatchBrush(HS_DIAGCROSS, RGB(0x20, 0x60, 0x20));

    if (!fid_begin(&c, 480, 60))
        return 1;
    SelectObject(c.dc, CreateSolidBrush(RGB(0xF0, 0xC0, 0x30)));
    for (k = 0; k < 8; k++) {
        XFORM xf;
        RECT r1 = { 2, 2, 10, 8 }, r2 = { 12, 2, 20, 10 }, r3 = { 2, 12, 9, 19 }, r4 = { 22, 2, 27, 9 };
        RECT r5 = { 12, 12, 13, 13 }, r6 = { 14, 12, 16, 13 };
        HRGN rg;
        xf.eM11 = m[k][0]; xf.eM12 = 0; xf.eM21 = 0; xf.eM22 = m[k][1];
        xf.eDx = m[k][2] + k * 60; xf.eDy = m[k][3];
        SetWorldTransform(c.dc, &xf);
        FillRect(c.dc, &r1, solid);
        FrameRect(c.dc, &r2, solid);
        FrameRect(c.dc, &r3, hatch);
        FillRect(c.dc, &r4, hatch);
        InvertRect(c.dc, &r4);
        FrameRect(c.dc, &r5, solid);
        FrameRect(c.dc, &r6, solid);
        SetPixel(c.dc, 18, 14, RGB(255, 0, 0));
        SetPixel(c.dc, 19, 15, RGB(255, 0, 0));
        rg = CreateRectRgn(2, 22, 8, 27);
        FillRgn(c.dc, rg, solid);
        OffsetRgn(rg, 8, 0);
        PaintRgn(c.dc, rg);
        OffsetRgn(rg, 8, 0);
        FrameRgn(c.dc, rg, solid, 1, 1);
        OffsetRgn(rg, 0, 7);
        InvertRgn(c.dc, rg);
        DeleteObject(rg);
    }
    return fid_end(&c, argc, argv);
}
