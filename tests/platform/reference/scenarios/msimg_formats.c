/* AlphaBlend, TransparentBlt and GradientFill onto 24-bpp, 8-bpp (6x6x6
 * cube and greys), 4-bpp (16 VGA colours) and 1-bpp (black and white)
 * DIB sections, each blitted back onto the canvas in its own band.
 * TransparentBlt is left out on 8 bpp: the reference ignores the key there
 * and smears the table indices (the unit tests check the key instead). */
#include "fid.h"

static HDC dib(int bpp, void **bits)
{
    struct { BITMAPINFOHEADER h; RGBQUAD colors[256]; } bi;
    static const BYTE vga[16][3] = {
        {0, 0, 0}, {128, 0, 0}, {0, 128, 0}, {128, 128, 0}, {0, 0, 128}, {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
        {128, 128, 128}, {255, 0, 0}, {0, 255, 0}, {255, 255, 0}, {0, 0, 255}, {255, 0, 255}, {0, 255, 255}, {255, 255, 255}
    };
    HDC dc = CreateCompatibleDC(NULL);
    int i;
    memset(&bi, 0, sizeof bi);
    bi.h.biSize = sizeof(BITMAPINFOHEADER);
    bi.h.biWidth = 48;
    bi.h.biHeight = -40;
    bi.h.biPlanes = 1;
    bi.h.biBitCount = (WORD)bpp;
    for (i = 0; i < 256; i++) {
        RGBQUAD *q = &bi.colors[i];
        if (bpp == 8) {
            if (i < 216) {
                q->rgbRed = (BYTE)(i / 36 * 51); q->rgbGreen = (BYTE)(i / 6 % 6 * 51); q->rgbBlue = (BYTE)(i % 6 * 51);
            } else {
                q->rgbRed = q->rgbGreen = q->rgbBlue = (BYTE)((i - 216) * 6 + 8);
            }
        } else if (bpp == 4 && i < 16) {
            q->rgbRed = vga[i][0]; q->rgbGreen = vga[i][1]; q->rgbBlue = vga[i][2];
        } else if (bpp == 1 && i == 1) {
            q->rgbRed = q->rgbGreen = q->rgbBlue = 255;
        }
    }
    SelectObject(dc, CreateDIBSection(dc, (BITMAPINFO *)&bi, DIB_RGB_COLORS, bits, NULL, 0));
    return dc;
}

static void vtx(TRIVERTEX *v, int x, int y, int r, int g, int b)
{
    v->x = x; v->y = y;
    v->Red = (COLOR16)r; v->Green = (COLOR16)g; v->Blue = (COLOR16)b; v->Alpha = 0;
}

int main(int argc, char **argv)
{
    static const int depths[4] = { 24, 8, 4, 1 };
    Canvas c, src;
    BLENDFUNCTION k = { AC_SRC_OVER, 0, 160, 0 }, pp = { AC_SRC_OVER, 0, 255, AC_SRC_ALPHA };
    int x, y, i;

    if (!fid_begin(&c, 200, 44) || !fid_begin(&src, 16, 16))
        return 1;
    for (y = 0; y < 16; y++)
        for (x = 0; x < 16; x++) {
            unsigned int a = (unsigned int)(x * 16 + 15);
            int dx = x - 8, dy = y - 8;
            src.px[y * 16 + x] = dx * dx + dy * dy < 30
                ? (a << 24) | ((0xF0 * a / 255) << 16) | (((unsigned int)y * 16 * a / 255) << 8) | (0x40 * a / 255)
                : FID_PX(0xFF, 0, 0xFF);
        }
    for (i = 0; i < 4; i++) {
        void *bits;
        HDC d = dib(depths[i], &bits);
        TRIVERTEX v[4];
        GRADIENT_RECT h = { 0, 1 }, vv = { 2, 3 };
        PatBlt(d, 0, 0, 48, 40, WHITENESS);
        vtx(&v[0], 0, 0, 0x0000, 0x4000, 0xFF00);
        vtx(&v[1], 48, 20, 0xFF00, 0xC000, 0x0000);
        vtx(&v[2], 0, 20, 0x8000, 0x8000, 0x8000);
        vtx(&v[3], 48, 40, 0x2000, 0xFF00, 0x6000);
        GradientFill(d, v, 4, &h, 1, GRADIENT_FILL_RECT_H);
        GradientFill(d, v, 4, &vv, 1, GRADIENT_FILL_RECT_V);
        AlphaBlend(d, 2, 2, 16, 16, src.dc, 0, 0, 16, 16, k);
        AlphaBlend(d, 20, 2, 16, 16, src.dc, 0, 0, 16, 16, pp);
        if (depths[i] != 8)
            TransparentBlt(d, 20, 22, 24, 16, src.dc, 0, 0, 16, 16, RGB(255, 0, 255));
        BitBlt(c.dc, i * 50, 2, 48, 40, d, 0, 0, SRCCOPY);
    }
    return fid_end(&c, argc, argv);
}
