/* GradientFill rectangles left to right and top to bottom (vertices in either
 * order, alpha channel included), triangles, a clip rectangle and a world
 * transform on 32 bpp; the same rectangles and a triangle on 5-5-5 and 5-6-5
 * bitmaps (dithered) blitted back; a bad vertex index (return value stored
 * in the last row). */
#include "fid.h"

static void vtx(TRIVERTEX *v, int x, int y, int r, int g, int b, int a)
{
    v->x = x; v->y = y;
    v->Red = (COLOR16)r; v->Green = (COLOR16)g; v->Blue = (COLOR16)b; v->Alpha = (COLOR16)a;
}

static void draw(HDC dc, int ox, int oy)
{
    TRIVERTEX v[8];
    GRADIENT_RECT gr[2] = { { 0, 1 }, { 3, 2 } };
    GRADIENT_TRIANGLE tri[2] = { { 4, 5, 6 }, { 4, 6, 7 } };
    vtx(&v[0], ox + 0, oy + 0, 0xFF00, 0x2000, 0x0000, 0x8000);
    vtx(&v[1], ox + 37, oy + 9, 0x0000, 0xC000, 0xFFFF, 0xFF00);
    vtx(&v[2], ox + 0, oy + 12, 0x1234, 0xFFFF, 0x8000, 0x0000);
    vtx(&v[3], ox + 29, oy + 22, 0xFFFF, 0x0000, 0x4321, 0xFFFF);
    vtx(&v[4], ox + 2, oy + 24, 0xFF00, 0x0000, 0x0000, 0xFF00);
    vtx(&v[5], ox + 40, oy + 27, 0x0000, 0xFF00, 0x0000, 0x0000);
    vtx(&v[6], ox + 19, oy + 47, 0x0000, 0x0000, 0xFF00, 0x8000);
    vtx(&v[7], ox + 1, oy + 40, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF);
    GradientFill(dc, v, 8, gr, 1, GRADIENT_FILL_RECT_H);
    GradientFill(dc, v, 8, &gr[1], 1, GRADIENT_FILL_RECT_V);
    {
        GRADIENT_RECT h2 = { 3, 2 };
        v[2].x += 31; v[3].x += 31;
        GradientFill(dc, v, 8, &h2, 1, GRADIENT_FILL_RECT_H);
        v[2].x -= 31; v[3].x -= 31;
    }
    GradientFill(dc, v, 8, tri, 2, GRADIENT_FILL_TRIANGLE);
}

static HDC dib16(int r565, void **bits)
{
    struct { BITMAPINFOHEADER h; DWORD masks[3]; } bi;
    HDC dc = CreateCompatibleDC(NULL);
    memset(&bi, 0, sizeof bi);
    bi.h.biSize = sizeof(BITMAPINFOHEADER);
    bi.h.biWidth = 64;
    bi.h.biHeight = -48;
    bi.h.biPlanes = 1;
    bi.h.biBitCount = 16;
    bi.h.biCompression = r565 ? BI_BITFIELDS : BI_RGB;
    bi.masks[0] = 0xF800; bi.masks[1] = 0x07E0; bi.masks[2] = 0x001F;
    SelectObject(dc, CreateDIBSection(dc, (BITMAPINFO *)&bi, DIB_RGB_COLORS, bits, NULL, 0));
    PatBlt(dc, 0, 0, 64, 48, WHITENESS);
    return dc;
}

int main(int argc, char **argv)
{
    Canvas c;
    XFORM xf = { 1.5f, 0, 0, 0.75f, 2, 3 };
    HRGN rgn;
    HDC d;
    void *bits;
    TRIVERTEX v[2];
    GRADIENT_RECT bad = { 0, 2 };
    BOOL r;

    if (!fid_begin(&c, 200, 150))
        return 1;
    draw(c.dc, 0, 0);
    rgn = CreateRectRgn(70, 5, 95, 40);
    SelectClipRgn(c.dc, rgn);
    draw(c.dc, 66, 0);
    SelectClipRgn(c.dc, NULL);
    DeleteObject(rgn);
    SetWorldTransform(c.dc, &xf);
    draw(c.dc, 80, 0);
    ModifyWorldTransform(c.dc, NULL, MWT_IDENTITY);

    d = dib16(0, &bits);
    draw(d, 0, 0);
    BitBlt(c.dc, 0, 50, 64, 48, d, 0, 0, SRCCOPY);
    d = dib16(1, &bits);
    draw(d, 0, 0);
    BitBlt(c.dc, 66, 50, 64, 48, d, 0, 0, SRCCOPY);

    vtx(&v[0], 0, 100, 0, 0, 0, 0);
    vtx(&v[1], 10, 110, 0, 0, 0, 0);
    r = GradientFill(c.dc, v, 2, &bad, 1, GRADIENT_FILL_RECT_H);
    fid_put_value(&c, 0, 149, (unsigned int)r);
    return fid_end(&c, argc, argv);
}
