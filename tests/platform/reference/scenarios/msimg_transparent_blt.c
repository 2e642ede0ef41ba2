/* TransparentBlt of a 16x16 sprite drawn on a magenta key over stripes: at
 * its own size, stretched up, shrunk, part of the source, through a clip
 * rectangle, onto a 5-5-5 bitmap where the key is compared once quantised,
 * and a key that is not in the sprite at all. */
#include "fid.h"

int main(int argc, char **argv)
{
    static const unsigned int stripes[4] = {
        FID_PX(0, 0, 0), FID_PX(0xFF, 0xFF, 0xFF), FID_PX(0xFF, 0x80, 0x40), FID_PX(0x30, 0x60, 0xC0)
    };
    Canvas c, src;
    BITMAPINFO bi;
    HDC d16;
    void *b16;
    HRGN rgn;
    int x, y;

    if (!fid_begin(&c, 96, 64) || !fid_begin(&src, 16, 16))
        return 1;
    fid_stripes(&c, stripes, 4, 3);
    for (y = 0; y < 16; y++)
        for (x = 0; x < 16; x++) {
            int dx = x - 8, dy = y - 8;
            src.px[y * 16 + x] = dx * dx + dy * dy < 40 ? FID_PX(x * 16, 0x80 + y * 4, 0x20) : FID_PX(0xFF, 0, 0xFF);
        }
    src.px[0] = FID_PX(0xFE, 0, 0xFF); /* near the key but not it */
    src.px[17] = FID_PX(0xFF, 0, 0xFF) | 0xFF000000u; /* the key with a top byte */

    TransparentBlt(c.dc, 0, 0, 16, 16, src.dc, 0, 0, 16, 16, RGB(255, 0, 255));
    TransparentBlt(c.dc, 20, 0, 28, 22, src.dc, 0, 0, 16, 16, RGB(255, 0, 255));
    TransparentBlt(c.dc, 52, 0, 10, 11, src.dc, 0, 0, 16, 16, RGB(255, 0, 255));
    TransparentBlt(c.dc, 66, 0, 8, 8, src.dc, 4, 4, 8, 8, RGB(255, 0, 255));
    TransparentBlt(c.dc, 78, 0, 16, 16, src.dc, 0, 0, 16, 16, RGB(1, 2, 3));

    rgn = CreateRectRgn(3, 27, 12, 36);
    SelectClipRgn(c.dc, rgn);
    TransparentBlt(c.dc, 0, 24, 16, 16, src.dc, 0, 0, 16, 16, RGB(255, 0, 255));
    SelectClipRgn(c.dc, NULL);
    DeleteObject(rgn);

    memset(&bi, 0, sizeof bi);
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = 16;
    bi.bmiHeader.biHeight = 16;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 16;
    d16 = CreateCompatibleDC(NULL);
    SelectObject(d16, CreateDIBSection(d16, &bi, DIB_RGB_COLORS, &b16, NULL, 0));
    for (y = 0; y < 256; y++)
        ((unsigned short *)b16)[y] = (unsigned short)(y * 97);
    /* a key that quantises onto the sprite's magenta */
    TransparentBlt(d16, 0, 0, 16, 16, src.dc, 0, 0, 16, 16, RGB(250, 4, 252));
    BitBlt(c.dc, 20, 30, 16, 16, d16, 0, 0, SRCCOPY);
    /* a 16-bpp source onto 32 bpp */
    TransparentBlt(c.dc, 40, 30, 16, 16, d16, 0, 0, 16, 16, RGB(0, 0, 0));
    return fid_end(&c, argc, argv);
}
