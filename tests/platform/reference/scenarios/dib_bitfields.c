/* DIB sections of 16 and 32 bpp with bit-field masks of every shape: each
 * is drawn on (brush, pen under two mixes, PatBlt, SetPixel, a blit from a
 * colour source) and blitted back onto the canvas in its own cell. Row 0
 * holds, per section, GetPixel of a drawn pixel and the raw stored value
 * (masked to its fields); row 1 whether sections with masks that are not
 * usable were made. */
#include "fid.h"

typedef struct { int bpp; DWORD r, g, b; } Masks;

static HDC section(const Masks *m, int w, int h, void **bits, HBITMAP *out)
{
    struct { BITMAPINFOHEADER h; DWORD masks[3]; } bi;
    HDC dc;
    memset(&bi, 0, sizeof bi);
    bi.h.biSize = sizeof(BITMAPINFOHEADER);
    bi.h.biWidth = w;
    bi.h.biHeight = -h;
    bi.h.biPlanes = 1;
    bi.h.biBitCount = (WORD)m->bpp;
    bi.h.biCompression = BI_BITFIELDS;
    bi.masks[0] = m->r; bi.masks[1] = m->g; bi.masks[2] = m->b;
    *out = CreateDIBSection(NULL, (BITMAPINFO *)&bi, DIB_RGB_COLORS, bits, NULL, 0);
    if (!*out)
        return NULL;
    dc = CreateCompatibleDC(NULL);
    SelectObject(dc, *out);
    return dc;
}

int main(int argc, char **argv)
{
    static const Masks good[] = {
        {16, 0x0F00, 0x00F0, 0x000F}, {16, 0x001F, 0x07E0, 0xF800}, {16, 0xFC00, 0x03E0, 0x001F},
        {16, 0x00E0, 0x001C, 0x0003}, {16, 0x7C00, 0x03E0, 0x001F}, {16, 0xF800, 0x07E0, 0x001F},
        {32, 0x3FF00000, 0x000FFC00, 0x000003FF}, {32, 0x000000FF, 0x0000FF00, 0x00FF0000},
        {32, 0xFF000000, 0x00FF0000, 0x0000FF00}, {32, 0x0000F800, 0x000007E0, 0x0000001F},
        {32, 0x00FF0000, 0x0000FF00, 0x000000FF}, {32, 0x00000C00, 0x00000300, 0x000000C0},
    };
    static const Masks bad[] = {
        {16, 0xF0F0, 0x0F00, 0x000F}, {16, 0xFF00, 0x0FF0, 0x000F}, {32, 0, 0xFF00, 0xFF},
        {32, 0xFF0000, 0xFF00, 0}, {32, 0x00FF00FF, 0xFF00, 0xFF000000}, {16, 0x7C00, 0x03E0, 0x001F},
    };
    static const unsigned int stripes[4] = { FID_PX(0x12, 0x9A, 0xE7), FID_PX(0xF0, 0x30, 0x60),
                                             FID_PX(0x77, 0x77, 0x22), FID_PX(0x05, 0xFA, 0x80) };
    Canvas c, src;
    int i, x, y;

    if (!fid_begin(&c, 224, 100) || !fid_begin(&src, 24, 24))
        return 1;
    fid_stripes(&src, stripes, 4, 3);
    for (i = 0; i < (int)(sizeof good / sizeof good[0]); i++) {
        void *bits;
        HBITMAP bm;
        HDC d = section(&good[i], 36, 40, &bits, &bm);
        HBRUSH br = CreateSolidBrush(RGB(0xC8, 0x64, 0x2D));
        HPEN pen = CreatePen(PS_SOLID, 1, RGB(0x10, 0xE0, 0x90));
        RECT r = { 2, 2, 30, 14 };
        DWORD raw, all = good[i].r | good[i].g | good[i].b;
        if (!d)
            continue;
        PatBlt(d, 0, 0, 36, 40, WHITENESS);
        FillRect(d, &r, br);
        SelectObject(d, pen);
        SelectObject(d, br);
        Ellipse(d, 4, 4, 20, 20);
        SetROP2(d, R2_NOT);
        MoveToEx(d, 0, 18, NULL);
        LineTo(d, 36, 30);
        SetROP2(d, R2_XORPEN);
        MoveToEx(d, 30, 0, NULL);
        LineTo(d, 12, 40);
        SetROP2(d, R2_COPYPEN);
        BitBlt(d, 20, 20, 14, 14, src.dc, 1, 2, SRCCOPY);
        BitBlt(d, 2, 24, 16, 6, src.dc, 0, 0, SRCINVERT);
        PatBlt(d, 22, 2, 10, 6, DSTINVERT);
        for (x = 0; x < 12; x++)
            SetPixel(d, 2 + x, 34, RGB(x * 21, 255 - x * 21, x * 9));
        SetPixel(d, 0, 39, RGB(0x81, 0x42, 0xC3));
        fid_put_value(&c, i * 4, 0, (unsigned int)GetPixel(d, 0, 39));
        if (good[i].bpp == 16)
            raw = ((WORD *)bits)[39 * (((36 * 16 + 31) / 32 * 4) / 2)];
        else
            raw = ((DWORD *)bits)[39 * 36];
        fid_put_value(&c, i * 4 + 2, 0, (unsigned int)(raw & all));
        BitBlt(c.dc, (i % 6) * 37, 4 + (i / 6) * 42, 36, 40, d, 0, 0, SRCCOPY);
        DeleteDC(d);
        DeleteObject(bm);
        DeleteObject(br);
        DeleteObject(pen);
    }
    for (i = 0; i < (int)(sizeof bad / sizeof bad[0]); i++) {
        void *bits = NULL;
        HBITMAP bm;
        HDC d = section(&bad[i], 8, 8, &bits, &bm);
        c.px[1 * c.w + i] = bm ? 1 : 0;
        if (d) {
            DeleteDC(d);
            DeleteObject(bm);
        }
    }
    (void)y;
    return fid_end(&c, argc, argv);
}
