/* StretchDIBits and SetDIBitsToDevice from DIBs in memory: 1, 4 and 8 bpp
 * with colour tables (bottom-up and top-down), 8 bpp through the DC's palette
 * (DIB_PAL_COLORS), 16 bpp 5-5-5 and 5-6-5 bit fields, 24 and 32 bpp, RLE8
 * and RLE4 with skipped pixels, stretched and mirrored, and SetDIBitsToDevice
 * with a band of scan lines. Return values go to the last row. */
#include "fid.h"

static struct {
    BITMAPINFOHEADER h;
    RGBQUAD colors[256];
} bi;
static unsigned char bits[16 * 16 * 4];

static void header(int bpp, int h, DWORD comp)
{
    int i;
    memset(&bi, 0, sizeof bi);
    bi.h.biSize = sizeof(BITMAPINFOHEADER);
    bi.h.biWidth = 16;
    bi.h.biHeight = h;
    bi.h.biPlanes = 1;
    bi.h.biBitCount = (WORD)bpp;
    bi.h.biCompression = comp;
    for (i = 0; i < 256; i++) {
        bi.colors[i].rgbRed = (BYTE)(i * 37);
        bi.colors[i].rgbGreen = (BYTE)(255 - i * 11);
        bi.colors[i].rgbBlue = (BYTE)(i * 5);
    }
}

static void pattern(int bpp)
{
    int stride = ((16 * bpp + 31) / 32) * 4, x, y;
    memset(bits, 0, sizeof bits);
    for (y = 0; y < 16; y++)
        for (x = 0; x < stride; x++)
            bits[y * stride + x] = (unsigned char)(x * 29 + y * 13 + (x * y) % 7);
}

int main(int argc, char **argv)
{
    Canvas c;
    int ret[12], n = 0, i;
    DWORD *masks = (DWORD *)bi.colors;
    static const unsigned char rle8[] = {
        3, 1, 0, 3, 4, 5, 6, 0, 2, 4, 1, 0, 2, 0, 2, 2, 9, 7, 0, 0, 16, 12, 0, 0, 0, 2, 0, 3, 5, 3, 0, 1
    };
    static const unsigned char rle4[] = {
        5, 0x12, 0, 5, 0x34, 0x56, 0x70, 0, 0, 0, 12, 0x9A, 0, 2, 1, 1, 3, 0xBC, 0, 1
    };

    if (!fid_begin(&c, 160, 120))
        return 1;
    SetStretchBltMode(c.dc, COLORONCOLOR);

    header(8, 16, BI_RGB); pattern(8);
    ret[n++] = StretchDIBits(c.dc, 0, 0, 16, 16, 0, 0, 16, 16, bits, (BITMAPINFO *)&bi, DIB_RGB_COLORS, SRCCOPY);
    ret[n++] = StretchDIBits(c.dc, 20, 0, 24, 20, 2, 3, 10, 9, bits, (BITMAPINFO *)&bi, DIB_RGB_COLORS, SRCCOPY);
    header(8, -16, BI_RGB);
    ret[n++] = StretchDIBits(c.dc, 48, 0, 16, 16, 0, 0, 16, 16, bits, (BITMAPINFO *)&bi, DIB_RGB_COLORS, SRCCOPY);
    ret[n++] = StretchDIBits(c.dc, 68 + 15, 0, -16, 16, 2, 3, 10, 9, bits, (BITMAPINFO *)&bi, DIB_RGB_COLORS, SRCINVERT);

    header(4, 16, BI_RGB); pattern(4);
    StretchDIBits(c.dc, 88, 0, 16, 16, 0, 0, 16, 16, bits, (BITMAPINFO *)&bi, DIB_RGB_COLORS, SRCCOPY);
    header(1, -16, BI_RGB); pattern(1);
    StretchDIBits(c.dc, 108, 0, 32, 16, 0, 0, 16, 16, bits, (BITMAPINFO *)&bi, DIB_RGB_COLORS, SRCCOPY);

    header(8, 16, BI_RGB); pattern(8);
    for (i = 0; i < 256; i++)
        ((WORD *)bi.colors)[i] = (WORD)(i % 20);
    StretchDIBits(c.dc, 0, 24, 16, 16, 0, 0, 16, 16, bits, (BITMAPINFO *)&bi, DIB_PAL_COLORS, SRCCOPY);

    header(16, 16, BI_RGB); pattern(16);
    StretchDIBits(c.dc, 20, 24, 16, 16, 0, 0, 16, 16, bits, (BITMAPINFO *)&bi, DIB_RGB_COLORS, SRCCOPY);
    header(16, -16, BI_BITFIELDS);
    masks[0] = 0xF800; masks[1] = 0x07E0; masks[2] = 0x001F;
    StretchDIBits(c.dc, 40, 24, 16, 16, 0, 0, 16, 16, bits, (BITMAPINFO *)&bi, DIB_RGB_COLORS, SRCCOPY);
    header(24, 16, BI_RGB); pattern(24);
    StretchDIBits(c.dc, 60, 24, 16, 16, 0, 0, 16, 16, bits, (BITMAPINFO *)&bi, DIB_RGB_COLORS, SRCCOPY);
    header(32, -16, BI_RGB); pattern(32);
    StretchDIBits(c.dc, 80, 24, 8, 8, 0, 0, 16, 16, bits, (BITMAPINFO *)&bi, DIB_RGB_COLORS, SRCCOPY);
    header(32, 16, BI_BITFIELDS);
    masks[0] = 0x000000FF; masks[1] = 0x0000FF00; masks[2] = 0x00FF0000;
    StretchDIBits(c.dc, 100, 24, 16, 16, 0, 0, 16, 16, bits, (BITMAPINFO *)&bi, DIB_RGB_COLORS, SRCCOPY);

    header(8, 16, BI_RLE8);
    bi.h.biSizeImage = sizeof rle8;
    ret[n++] = StretchDIBits(c.dc, 0, 44, 16, 16, 0, 0, 16, 16, rle8, (BITMAPINFO *)&bi, DIB_RGB_COLORS, SRCCOPY);
    header(4, 16, BI_RLE4);
    bi.h.biSizeImage = sizeof rle4;
    ret[n++] = StretchDIBits(c.dc, 20, 44, 16, 16, 0, 0, 16, 16, rle4, (BITMAPINFO *)&bi, DIB_RGB_COLORS, SRCCOPY);

    header(24, 16, BI_RGB); pattern(24);
    ret[n++] = SetDIBitsToDevice(c.dc, 40, 44, 16, 16, 0, 0, 0, 16, bits, (BITMAPINFO *)&bi, DIB_RGB_COLORS);
    ret[n++] = SetDIBitsToDevice(c.dc, 60, 44, 12, 12, 2, 1, 4, 6, bits, (BITMAPINFO *)&bi, DIB_RGB_COLORS);
    header(8, -16, BI_RGB); pattern(8);
    ret[n++] = SetDIBitsToDevice(c.dc, 80, 44, 16, 16, 0, 0, 0, 16, bits, (BITMAPINFO *)&bi, DIB_RGB_COLORS);
    ret[n++] = SetDIBitsToDevice(c.dc, 100, 44, 12, 12, 2, 1, 4, 6, bits, (BITMAPINFO *)&bi, DIB_RGB_COLORS);

    for (i = 0; i < n; i++)
        fid_put_value(&c, 2 * i, 119, (unsigned int)ret[i]);
    return fid_end(&c, argc, argv);
}
