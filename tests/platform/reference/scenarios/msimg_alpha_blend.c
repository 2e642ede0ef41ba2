/* AlphaBlend over stripes from a 16x16 32-bpp source with premultiplied
 * per-pixel alpha: constant alpha alone, per-pixel alpha at full and partial
 * constant alpha, stretched up and down, through a clip rectangle and under a
 * scaling world transform; onto a 5-6-5 bitmap; and the failure cases (a
 * source rectangle outside the source, per-pixel alpha from 24 bpp) whose
 * return values are stored in the last row. */
#include "fid.h"

static HDC dib_dc(int w, int h, int bpp, int r565, void **bits)
{
    struct { BITMAPINFOHEADER h; DWORD masks[3]; } bi;
    HDC dc = CreateCompatibleDC(NULL);
    memset(&bi, 0, sizeof bi);
    bi.h.biSize = sizeof(BITMAPINFOHEADER);
    bi.h.biWidth = w;
    bi.h.biHeight = -h;
    bi.h.biPlanes = 1;
    bi.h.biBitCount = (WORD)bpp;
    bi.h.biCompression = r565 ? BI_BITFIELDS : BI_RGB;
    bi.masks[0] = 0xF800; bi.masks[1] = 0x07E0; bi.masks[2] = 0x001F;
    SelectObject(dc, CreateDIBSection(dc, (BITMAPINFO *)&bi, DIB_RGB_COLORS, bits, NULL, 0));
    return dc;
}

int main(int argc, char **argv)
{
    static const unsigned int stripes[4] = {
        FID_PX(0, 0, 0), FID_PX(0xFF, 0xFF, 0xFF), FID_PX(0xFF, 0x80, 0x40), FID_PX(0x30, 0x60, 0xC0)
    };
    Canvas c, src;
    BLENDFUNCTION k = { AC_SRC_OVER, 0, 128, 0 }, pp = { AC_SRC_OVER, 0, 255, AC_SRC_ALPHA },
                  pc = { AC_SRC_OVER, 0, 100, AC_SRC_ALPHA };
    XFORM xf = { 1.5f, 0, 0, 1.25f, 3, 2 };
    HRGN rgn;
    HDC d16, d24;
    void *b16, *b24;
    int x, y, i = 0;
    BOOL r[4];

    if (!fid_begin(&c, 128, 96) || !fid_begin(&src, 16, 16))
        return 1;
    fid_stripes(&c, stripes, 4, 3);
    for (y = 0; y < 16; y++)
        for (x = 0; x < 16; x++) {
            unsigned int a = (unsigned int)((x * 17 + y * 5) & 0xFF);
            unsigned int rr = 0xF0, gg = (unsigned int)(x * 16), bb = (unsigned int)(y * 16);
            if (x == 0) a = 0;
            if (y == 15) a = 255;
            src.px[y * 16 + x] = (a << 24) | ((rr * a / 255) << 16) | ((gg * a / 255) << 8) | (bb * a / 255);
        }

    AlphaBlend(c.dc, 0, 0, 16, 16, src.dc, 0, 0, 16, 16, k);
    AlphaBlend(c.dc, 20, 0, 16, 16, src.dc, 0, 0, 16, 16, pp);
    AlphaBlend(c.dc, 40, 0, 16, 16, src.dc, 0, 0, 16, 16, pc);
    AlphaBlend(c.dc, 60, 0, 28, 22, src.dc, 0, 0, 16, 16, pp);
    AlphaBlend(c.dc, 92, 0, 10, 7, src.dc, 0, 0, 16, 16, pp);
    AlphaBlend(c.dc, 106, 0, 20, 20, src.dc, 4, 4, 8, 8, k);

    rgn = CreateRectRgn(4, 28, 14, 40);
    SelectClipRgn(c.dc, rgn);
    AlphaBlend(c.dc, 0, 24, 16, 16, src.dc, 0, 0, 16, 16, pp);
    SelectClipRgn(c.dc, NULL);
    DeleteObject(rgn);

    SetWorldTransform(c.dc, &xf);
    AlphaBlend(c.dc, 20, 20, 16, 16, src.dc, 0, 0, 16, 16, pp);
    ModifyWorldTransform(c.dc, NULL, MWT_IDENTITY);

    d16 = dib_dc(16, 16, 16, 1, &b16);
    PatBlt(d16, 0, 0, 16, 16, WHITENESS);
    for (y = 0; y < 16; y++)
        for (x = 0; x < 16; x++)
            ((unsigned short *)b16)[y * 16 + x] = (unsigned short)(((x * 2) << 11) | ((y * 4) << 5) | 12);
    AlphaBlend(d16, 0, 0, 16, 16, src.dc, 0, 0, 16, 16, pp);
    BitBlt(c.dc, 60, 40, 16, 16, d16, 0, 0, SRCCOPY);
    AlphaBlend(d16, 0, 0, 16, 16, src.dc, 0, 0, 16, 16, k);
    BitBlt(c.dc, 80, 40, 16, 16, d16, 0, 0, SRCCOPY);

    d24 = dib_dc(16, 16, 24, 0, &b24);
    for (y = 0; y < 16 * 16 * 3; y++)
        ((unsigned char *)b24)[y] = (unsigned char)(y * 7);
    AlphaBlend(c.dc, 100, 40, 16, 16, d24, 0, 0, 16, 16, k);

    r[i++] = AlphaBlend(c.dc, 0, 60, 16, 16, src.dc, 4, 4, 16, 16, pp);
    r[i++] = AlphaBlend(c.dc, 20, 60, 16, 16, d24, 0, 0, 16, 16, pp);
    r[i++] = AlphaBlend(c.dc, 40, 60, 16, 16, src.dc, -1, 0, 16, 16, k);
    r[i++] = AlphaBlend(c.dc, 60, 60, 16, 16, src.dc, 0, 0, 16, 16, k);
    for (i = 0; i < 4; i++)
        fid_put_value(&c, 2 * i, 95, (unsigned int)r[i]);
    return fid_end(&c, argc, argv);
}
