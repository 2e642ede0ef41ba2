/* AlphaBlend with per-pixel alpha from source pixels that are not
 * premultiplied (a colour channel above the alpha), at full and at partial
 * constant alpha: what the overflowing channel sums become. */
#include "fid.h"

int main(int argc, char **argv)
{
    static const unsigned int s[8] = { 0x00FF00FF, 0x80FF8040, 0x40FFFFFF, 0x10203040,
                                       0xFF123456, 0x00010203, 0x7F808080, 0x20FF0010 };
    static const unsigned int d[8] = { 0x00697593, 0x00808080, 0x00FFFFFF, 0x00F0E0D0,
                                       0x00000000, 0x00FEFEFE, 0x00808080, 0x00A0B0C0 };
    Canvas c, src;
    BLENDFUNCTION pp = { AC_SRC_OVER, 0, 255, AC_SRC_ALPHA }, p2 = { AC_SRC_OVER, 0, 200, AC_SRC_ALPHA };
    int i;

    if (!fid_begin(&c, 8, 4) || !fid_begin(&src, 8, 1))
        return 1;
    for (i = 0; i < 8; i++) {
        src.px[i] = s[i];
        c.px[i] = c.px[8 + i] = d[i];
    }
    AlphaBlend(c.dc, 0, 0, 8, 1, src.dc, 0, 0, 8, 1, pp);
    AlphaBlend(c.dc, 0, 1, 8, 1, src.dc, 0, 0, 8, 1, p2);
    return fid_end(&c, argc, argv);
}
