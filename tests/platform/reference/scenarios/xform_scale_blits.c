/* BitBlt, StretchBlt and PatBlt under scaling and translating world
 * transforms (scale 2, 0.5, 1.5, negative, fractional translation). */
#include "fid.h"

int main(int argc, char **argv)
{
    static const float m[][4] = {
        { 2.0f, 2.0f, 0.0f, 0.0f },
        { 0.5f, 0.5f, 0.25f, 0.75f },
        { 1.5f, 1.5f, 0.5f, 0.5f },
        { -1.0f, 1.0f, 59.0f, 0.0f },
        { 1.0f, -1.0f, 0.0f, 59.5f },
        { 1.25f, 0.75f, 1.5f, 2.5f },
    };
    Canvas c, src;
    int k, x, y;

    if (!fid_begin(&src, 16, 12))
        return 1;
    for (y = 0; y < 12; y++)
        for (x = 0; x < 16; x++)
            src.px[y * 16 + x] = FID_PX(x * 16, y * 20, ((x ^ y) & 1) ? 0xFF : 0x30);
    if (!fid_begin(&c, 360, 60))
        return 1;
    SelectObject(c.dc, CreateSolidBrush(RGB(0x40, 0x40, 0xC0)));
    for (k = 0; k < 6; k++) {
        XFORM xf;
        xf.eM11 = m[k][0]; xf.eM12 = 0; xf.eM21 = 0; xf.eM22 = m[k][1];
        xf.eDx = m[k][2] + k * 60; xf.eDy = m[k][3];
        SetWorldTransform(c.dc, &xf);
        BitBlt(c.dc, 1, 1, 16, 12, src.dc, 0, 0, SRCCOPY);
        StretchBlt(c.dc, 1, 15, 24, 9, src.dc, 0, 0, 16, 12, SRCCOPY);
        PatBlt(c.dc, 18, 1, 7, 5, PATCOPY);
    }
    return fid_end(&c, argc, argv);
}
