/* PolyPolyline with thin and wide pens, and a right-to-left layout on a
 * memory DC: shapes, lines, a fill, pixels and blits mirrored along x, with
 * and without LAYOUT_BITMAPORIENTATIONPRESERVED. Row 0 holds the calls'
 * answers (GetLayout, PolyPolyline with bad counts, GetPixel). */
#include "fid.h"

#ifndef LAYOUT_RTL
#define LAYOUT_RTL 0x00000001
#define LAYOUT_BITMAPORIENTATIONPRESERVED 0x00000008
#endif

static HDC layer(int w, int h, unsigned int **px)
{
    BITMAPINFO bi;
    void *bits;
    HDC dc = CreateCompatibleDC(NULL);
    memset(&bi, 0, sizeof bi);
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    SelectObject(dc, CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, NULL, 0));
    *px = (unsigned int *)bits;
    PatBlt(dc, 0, 0, w, h, WHITENESS);
    return dc;
}

static void scene(HDC d, HDC src)
{
    static const POINT pts[] = { {4, 4}, {30, 10}, {10, 30}, {40, 40}, {44, 6}, {60, 20}, {50, 36}, {70, 38} };
    static const DWORD counts[] = { 3, 1, 4 };
    RECT r = { 70, 4, 90, 14 };
    HPEN thick = CreatePen(PS_SOLID, 3, RGB(0x30, 0x60, 0xC0));
    HBRUSH br = CreateSolidBrush(RGB(0xE0, 0x90, 0x20));
    int i;
    SelectObject(d, GetStockObject(BLACK_PEN));
    PolyPolyline(d, pts, counts, 1);
    PolyPolyline(d, pts + 3, counts + 2, 1);
    FillRect(d, &r, br);
    SelectObject(d, br);
    Rectangle(d, 72, 18, 96, 30);
    Ellipse(d, 100, 4, 120, 24);
    MoveToEx(d, 100, 28, NULL);
    LineTo(d, 118, 40);
    for (i = 0; i < 10; i++)
        SetPixel(d, 70 + i, 34, RGB(i * 25, 0, 200));
    BitBlt(d, 2, 44, 16, 12, src, 0, 0, SRCCOPY);
    StretchBlt(d, 22, 44, 24, 12, src, 0, 0, 16, 12, SRCCOPY);
    PatBlt(d, 50, 44, 10, 8, DSTINVERT);
    SelectObject(d, thick);
    PolyPolyline(d, pts + 4, counts, 1);
    SelectObject(d, GetStockObject(BLACK_PEN));
    SelectObject(d, GetStockObject(WHITE_BRUSH));
    DeleteObject(thick);
    DeleteObject(br);
}

int main(int argc, char **argv)
{
    static const POINT two[] = { {100, 190}, {110, 194} };
    static const DWORD bad[] = { 2, 1 };
    static const DWORD none[] = { 0 };
    Canvas c;
    HDC src, d;
    unsigned int *spx, *dpx;
    int x, y, col = 0;

    if (!fid_begin(&c, 130, 196))
        return 1;
    src = layer(16, 12, &spx);
    for (y = 0; y < 12; y++)
        for (x = 0; x < 16; x++)
            spx[y * 16 + x] = x < 4 ? FID_PX(0xFF, 0, 0) : y < 3 ? FID_PX(0, 0xC0, 0) : FID_PX(x * 15, y * 20, 0x80);
    d = layer(124, 60, &dpx);
    scene(d, src);
    BitBlt(c.dc, 2, 4, 124, 60, d, 0, 0, SRCCOPY);
    fid_put_value(&c, col, 0, (unsigned int)GetLayout(d)); col += 2;
    fid_put_value(&c, col, 0, (unsigned int)SetLayout(d, LAYOUT_RTL)); col += 2;
    fid_put_value(&c, col, 0, (unsigned int)GetLayout(d)); col += 2;
    PatBlt(d, 0, 0, 124, 60, WHITENESS);
    scene(d, src);
    fid_put_value(&c, col, 0, (unsigned int)GetPixel(d, 2, 44)); col += 2;
    fid_put_value(&c, col, 0, (unsigned int)GetPixel(d, 75, 34)); col += 2;
    SetLayout(d, 0);
    BitBlt(c.dc, 2, 68, 124, 60, d, 0, 0, SRCCOPY);
    fid_put_value(&c, col, 0, (unsigned int)SetLayout(d, LAYOUT_RTL | LAYOUT_BITMAPORIENTATIONPRESERVED)); col += 2;
    fid_put_value(&c, col, 0, (unsigned int)GetLayout(d)); col += 2;
    PatBlt(d, 0, 0, 124, 60, WHITENESS);
    scene(d, src);
    SetLayout(d, 0);
    BitBlt(c.dc, 2, 132, 124, 60, d, 0, 0, SRCCOPY);
    fid_put_value(&c, col, 0, (unsigned int)PolyPolyline(c.dc, two, bad, 2)); col += 2;
    fid_put_value(&c, col, 0, (unsigned int)PolyPolyline(c.dc, two, none, 1)); col += 2;
    fid_put_value(&c, col, 0, (unsigned int)PolyPolyline(c.dc, two, bad, 0)); col += 2;
    return fid_end(&c, argc, argv);
}
