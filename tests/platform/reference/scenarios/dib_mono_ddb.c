/* Monochrome device-dependent bitmaps as blit sources and destinations:
 * a 1-bpp DDB blitted onto colour (0 bits take the destination's text
 * colour, 1 bits its background colour) under several raster operations
 * and stretched; colour onto monochrome (the source's background colour
 * becomes 1) and back; a monochrome DDB onto 16-bpp and 8-bpp sections;
 * pixels set and read on a DDB. Row 0 holds GetPixel values. */
#include "fid.h"

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
        bi.colors[i].rgbRed = (BYTE)(i / 36 * 51);
        bi.colors[i].rgbGreen = (BYTE)(i / 6 % 6 * 51);
        bi.colors[i].rgbBlue = (BYTE)(i % 6 * 51);
    }
    SelectObject(dc, CreateDIBSection(dc, (BITMAPINFO *)&bi, DIB_RGB_COLORS, &bits, NULL, 0));
    return dc;
}

int main(int argc, char **argv)
{
    static const unsigned int stripes[3] = { FID_PX(0xFF, 0xFF, 0xFF), FID_PX(0x20, 0x80, 0xC0), FID_PX(0xD8, 0xE0, 0xE8) };
    static const DWORD rops[6] = { SRCCOPY, SRCAND, SRCPAINT, SRCINVERT, NOTSRCCOPY, MERGECOPY };
    unsigned short pattern[16];
    Canvas c, src;
    HBITMAP mono, mono2;
    HDC m = CreateCompatibleDC(NULL), m2 = CreateCompatibleDC(NULL), d;
    HBRUSH hatch = CreateHatchBrush(HS_DIAGCROSS, RGB(0x30, 0xA0, 0x50));
    int i;

    if (!fid_begin(&c, 240, 120) || !fid_begin(&src, 24, 16))
        return 1;
    fid_stripes(&src, stripes, 3, 2);
    for (i = 0; i < 16; i++)
        pattern[i] = (unsigned short)(0x0FF0 ^ (0x1111 << (i % 4)) ^ (i < 8 ? 0xFF00 : 0));
    mono = CreateBitmap(16, 16, 1, 1, pattern);
    SelectObject(m, mono);
    SetTextColor(c.dc, RGB(0xC0, 0x10, 0x20));
    SetBkColor(c.dc, RGB(0x10, 0x20, 0xF0));
    SelectObject(c.dc, hatch);
    for (i = 0; i < 6; i++)
        BitBlt(c.dc, 2 + i * 18, 4, 16, 16, m, 0, 0, rops[i]);
    StretchBlt(c.dc, 112, 4, 40, 24, m, 2, 1, 12, 13, SRCCOPY);
    StretchBlt(c.dc, 156, 4, 10, 8, m, 0, 0, 16, 16, SRCCOPY);
    /* colour onto monochrome: the source's background becomes 1 */
    mono2 = CreateCompatibleBitmap(m2, 24, 16);
    SelectObject(m2, mono2);
    SetBkColor(src.dc, RGB(0xC0, 0x80, 0x20));
    BitBlt(m2, 0, 0, 24, 16, src.dc, 0, 0, SRCCOPY);
    SetTextColor(c.dc, RGB(0, 0, 0));
    SetBkColor(c.dc, RGB(0xFF, 0xFF, 0xFF));
    BitBlt(c.dc, 2, 40, 24, 16, m2, 0, 0, SRCCOPY);
    SetBkColor(src.dc, RGB(0xFF, 0xFF, 0xFF));
    BitBlt(m2, 0, 0, 24, 16, src.dc, 0, 0, SRCCOPY);
    SetTextColor(c.dc, RGB(0x40, 0x40, 0x00));
    SetBkColor(c.dc, RGB(0x00, 0xE0, 0xE0));
    BitBlt(c.dc, 30, 40, 24, 16, m2, 0, 0, SRCCOPY);
    BitBlt(m2, 4, 4, 16, 8, m, 0, 0, SRCINVERT);
    BitBlt(c.dc, 58, 40, 24, 16, m2, 0, 0, SRCCOPY);
    /* pixels on a DDB */
    SetPixel(m, 3, 3, RGB(0xFF, 0xFF, 0xFF));
    SetPixel(m, 4, 3, RGB(0x80, 0x80, 0x80));
    SetPixel(m, 5, 3, RGB(0x00, 0x00, 0x00));
    SetPixel(m, 6, 3, RGB(0xFF, 0xFF, 0xFE));
    for (i = 0; i < 6; i++)
        fid_put_value(&c, i * 2, 0, (unsigned int)GetPixel(m, 1 + i, 3));
    BitBlt(c.dc, 86, 40, 16, 16, m, 0, 0, SRCCOPY);
    /* onto sections of 16 and 8 bpp and 24 bpp */
    d = section(16, 32, 20);
    PatBlt(d, 0, 0, 32, 20, WHITENESS);
    SetTextColor(d, RGB(0x90, 0x00, 0x60));
    SetBkColor(d, RGB(0x00, 0x70, 0x30));
    BitBlt(d, 2, 2, 16, 16, m, 0, 0, SRCCOPY);
    StretchBlt(d, 18, 2, 12, 16, m, 0, 0, 16, 16, SRCAND);
    BitBlt(c.dc, 2, 62, 32, 20, d, 0, 0, SRCCOPY);
    DeleteDC(d);
    d = section(8, 32, 20);
    PatBlt(d, 0, 0, 32, 20, BLACKNESS);
    SetTextColor(d, RGB(0xFF, 0x33, 0x00));
    SetBkColor(d, RGB(0x40, 0xC0, 0xF0));
    BitBlt(d, 2, 2, 16, 16, m, 0, 0, SRCCOPY);
    BitBlt(d, 18, 2, 12, 16, m, 4, 0, SRCPAINT);
    BitBlt(c.dc, 40, 62, 32, 20, d, 0, 0, SRCCOPY);
    DeleteDC(d);
    d = section(24, 32, 20);
    PatBlt(d, 0, 0, 32, 20, WHITENESS);
    SetTextColor(d, RGB(0x12, 0x34, 0x56));
    SetBkColor(d, RGB(0xAB, 0xCD, 0xEF));
    BitBlt(d, 2, 2, 28, 16, m, 0, 0, SRCCOPY);
    BitBlt(c.dc, 78, 62, 32, 20, d, 0, 0, SRCCOPY);
    DeleteDC(d);
    DeleteDC(m);
    DeleteDC(m2);
    DeleteObject(mono);
    DeleteObject(mono2);
    return fid_end(&c, argc, argv);
}
