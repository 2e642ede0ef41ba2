/* PALETTEINDEX and DIBINDEX colours with a logical palette selected: on an
 * 8-bpp and a 4-bpp section with colour tables (DIBINDEX stores the index
 * itself, PALETTEINDEX maps through the palette) and on a 32-bpp section;
 * brushes, pens, SetPixel, a hatch's opaque background and a dotted pen's
 * gaps in colours the table does not hold. Row 0 holds the palette calls'
 * answers, row 1 GetPixel values. */
#include "fid.h"

#ifndef DIBINDEX
#define DIBINDEX(n) ((COLORREF)(0x10FF0000 | (DWORD)(WORD)(n)))
#endif

static HDC section(int bpp, int w, int h)
{
    struct { BITMAPINFOHEADER h; RGBQUAD colors[256]; } bi;
    void *bits;
    HDC dc = CreateCompatibleDC(NULL);
    int i;
    memset(&bi, 0, sizeof bi);
    bi.h.biSize = sizeof(BITMAPINFOHEADER);
    bi.h.biWidth = w;
    bi.h.biHeight = -h;
    bi.h.biPlanes = 1;
    bi.h.biBitCount = (WORD)bpp;
    for (i = 0; i < 256; i++) {
        /* not in index order: index i is not colour i of anything else */
        bi.colors[i].rgbRed = (BYTE)(i * 37);
        bi.colors[i].rgbGreen = (BYTE)(255 - i * 11);
        bi.colors[i].rgbBlue = (BYTE)(i * 5 + 40);
    }
    SelectObject(dc, CreateDIBSection(dc, (BITMAPINFO *)&bi, DIB_RGB_COLORS, &bits, NULL, 0));
    return dc;
}

static void put(Canvas *c, int *col, int row, unsigned int v)
{
    fid_put_value(c, *col, row, v);
    *col += 2;
}

static void draw(HDC d, HPALETTE pal, Canvas *c, int x0, int y0, int *col)
{
    HBRUSH b;
    HPEN p;
    RECT r;
    int i;
    SelectPalette(d, pal, FALSE);
    RealizePalette(d);
    for (i = 0; i < 8; i++) {
        r.left = 2 + i * 6; r.top = 2; r.right = r.left + 5; r.bottom = 10;
        b = CreateSolidBrush(PALETTEINDEX(i));
        FillRect(d, &r, b);
        DeleteObject(b);
        r.top = 11; r.bottom = 19;
        b = CreateSolidBrush(DIBINDEX(i * 2 + 1));
        FillRect(d, &r, b);
        DeleteObject(b);
    }
    r.left = 2; r.top = 20; r.right = 14; r.bottom = 28;
    b = CreateSolidBrush(PALETTEINDEX(40));  /* past the palette's end */
    FillRect(d, &r, b);
    DeleteObject(b);
    r.left = 16; r.right = 28;
    b = CreateSolidBrush(PALETTERGB(0x50, 0x90, 0x30));
    FillRect(d, &r, b);
    DeleteObject(b);
    p = CreatePen(PS_SOLID, 1, PALETTEINDEX(5));
    SelectObject(d, p);
    MoveToEx(d, 30, 20, NULL);
    LineTo(d, 50, 28);
    DeleteObject(SelectObject(d, CreatePen(PS_SOLID, 1, DIBINDEX(9))));
    MoveToEx(d, 30, 28, NULL);
    LineTo(d, 50, 20);
    DeleteObject(SelectObject(d, GetStockObject(BLACK_PEN)));
    for (i = 0; i < 8; i++) {
        SetPixel(d, 2 + i, 30, PALETTEINDEX(i));
        SetPixel(d, 2 + i, 31, DIBINDEX(i + 3));
    }
    put(c, col, 1, (unsigned int)GetPixel(d, 2 + 4, 30));
    put(c, col, 1, (unsigned int)GetPixel(d, 2 + 4, 31));
    put(c, col, 1, (unsigned int)GetPixel(d, 4, 4));
    /* opaque background and gaps in colours the table does not hold */
    SetBkMode(d, OPAQUE);
    SetBkColor(d, RGB(0x20, 0x20, 0xF0));
    b = CreateHatchBrush(HS_CROSS, PALETTEINDEX(6));
    r.left = 12; r.top = 33; r.right = 30; r.bottom = 44;
    FillRect(d, &r, b);
    DeleteObject(b);
    SetBkColor(d, PALETTEINDEX(2));
    b = CreateHatchBrush(HS_BDIAGONAL, RGB(0xFF, 0xFF, 0xFF));
    r.left = 32; r.right = 48;
    FillRect(d, &r, b);
    DeleteObject(b);
    SetBkColor(d, RGB(0xE0, 0x40, 0x10));
    p = CreatePen(PS_DOT, 1, RGB(0, 0, 0));
    SelectObject(d, p);
    MoveToEx(d, 2, 46, NULL);
    LineTo(d, 50, 46);
    SelectObject(d, GetStockObject(BLACK_PEN));
    DeleteObject(p);
    BitBlt(c->dc, x0, y0, 52, 48, d, 0, 0, SRCCOPY);
}

int main(int argc, char **argv)
{
    struct { WORD ver, n; PALETTEENTRY e[8]; } lp;
    PALETTEENTRY got[8], change[2] = { { 0x11, 0x22, 0x33, 0 }, { 0xF0, 0xE0, 0x10, 0 } };
    Canvas c;
    HPALETTE pal;
    HDC d8, d4, d32;
    int i, col = 0;

    if (!fid_begin(&c, 230, 104))
        return 1;
    lp.ver = 0x300;
    lp.n = 8;
    for (i = 0; i < 8; i++) {
        lp.e[i].peRed = (BYTE)(i * 30 + 10);
        lp.e[i].peGreen = (BYTE)(200 - i * 25);
        lp.e[i].peBlue = (BYTE)((i * 97) & 0xFF);
        lp.e[i].peFlags = 0;
    }
    pal = CreatePalette((LOGPALETTE *)&lp);
    put(&c, &col, 0, GetNearestPaletteIndex(pal, RGB(0x2A, 0xAF, 0x61)));
    put(&c, &col, 0, GetNearestPaletteIndex(pal, RGB(0xFF, 0xFF, 0xFF)));
    put(&c, &col, 0, GetNearestPaletteIndex(pal, PALETTEINDEX(3)));
    put(&c, &col, 0, SetPaletteEntries(pal, 6, 4, change));
    put(&c, &col, 0, GetPaletteEntries(pal, 5, 8, got));
    put(&c, &col, 0, *(unsigned int *)&got[1]);
    put(&c, &col, 0, GetPaletteEntries(pal, 0, 0, NULL));
    d8 = section(8, 52, 48);
    d4 = section(4, 52, 48);
    d32 = section(32, 52, 48);
    PatBlt(d8, 0, 0, 52, 48, BLACKNESS);
    PatBlt(d4, 0, 0, 52, 48, BLACKNESS);
    PatBlt(d32, 0, 0, 52, 48, BLACKNESS);
    draw(d8, pal, &c, 2, 4, &col);
    draw(d4, pal, &c, 58, 4, &col);
    draw(d32, pal, &c, 114, 4, &col);
    put(&c, &col, 0, RealizePalette(d8));
    /* entries changed after drawing: the section keeps its indices */
    SetPaletteEntries(pal, 0, 2, change);
    draw(d8, pal, &c, 2, 54, &col);
    draw(d32, pal, &c, 114, 54, &col);
    SelectPalette(d8, (HPALETTE)GetStockObject(DEFAULT_PALETTE), FALSE);
    SelectPalette(d4, (HPALETTE)GetStockObject(DEFAULT_PALETTE), FALSE);
    SelectPalette(d32, (HPALETTE)GetStockObject(DEFAULT_PALETTE), FALSE);
    DeleteObject(pal);
    return fid_end(&c, argc, argv);
}
