/* Arcs, pies and chords under scaling and translating world transforms,
 * with a 1-px pen and a 2-unit geometric pen. */
#include "fid.h"

int main(int argc, char **argv)
{
    static const float m[][4] = {
        { 2.0f, 2.0f, 0.0f, 0.0f },
        { 0.5f, 0.5f, 0.25f, 0.75f },
        { 1.5f, 1.5f, 0.5f, 0.5f },
        { -1.0f, 1.0f, 59.0f, 0.0f },
        { 1.0f, -1.0f, 0.0f, 59.5f },
        { -1.5f, 1.5f, 58.4f, 0.6f },
    };
    Canvas c;
    int k, pass;
    HPEN pens[2];
    pens[0] = CreatePen(PS_SOLID, 1, RGB(0x10, 0x20, 0x80));
    pens[1] = CreatePen(PS_SOLID, 2, RGB(0xA0, 0x10, 0x30));

    if (!fid_begin(&c, 360, 120))
        return 1;
    SelectObject(c.dc, CreateSolidBrush(RGB(0x40, 0xA0, 0x40)));
    for (pass = 0; pass < 2; pass++) {
        SelectObject(c.dc, pens[pass]);
        for (k = 0; k < 6; k++) {
            XFORM xf;
            xf.eM11 = m[k][0]; xf.eM12 = 0; xf.eM21 = 0; xf.eM22 = m[k][1];
            xf.eDx = m[k][2] + k * 60; xf.eDy = m[k][3] + pass * 60;
            SetWorldTransform(c.dc, &xf);
            Arc(c.dc, 2, 2, 26, 20, 26, 4, 2, 18);
            Pie(c.dc, 2, 22, 20, 38, 20, 22, 2, 30);
            Chord(c.dc, 22, 22, 28, 28, 28, 22, 22, 28);
        }
    }
    return fid_end(&c, argc, argv);
}
