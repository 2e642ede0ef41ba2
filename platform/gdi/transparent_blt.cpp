// transparent_blt.cpp — TransparentBlt: a source rectangle copied (stretched
// when the extents differ) except the pixels of one colour, the key. Source
// pixels and key are compared as the destination stores them, so a key
// drawn on a 16-bpp or table bitmap still matches after quantisation.
#include <algorithm>
#include <vector>

#include "gdi/draw_internal.h"
#include "gdi/row_io.h"
#include "winbase.h"

using namespace plat::gdi;

BOOL WINAPI GdiTransparentBlt(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc,
                              int ySrc, int wSrc, int hSrc, UINT crTransparent) {
    auto dc = get_dc(hdcDest);
    auto sdc = get_dc(hdcSrc);
    if (!dc || !sdc) return FALSE;
    if (wDest < 0 || hDest < 0 || wSrc < 0 || hSrc < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    POINT a = to_device(dc->st, xDest, yDest), b = to_device(dc->st, clamp_sum(xDest, wDest), clamp_sum(yDest, hDest));
    RECT dr{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
    int dw = dr.right - dr.left, dh = dr.bottom - dr.top;
    if (dw <= 0 || dh <= 0 || wSrc == 0 || hSrc == 0) return TRUE;

    // The source at the destination's extent, shrunk as StretchBlt's
    // BLACKONWHITE mode does (the merged pixels AND together). Where the
    // source rectangle leaves the source bitmap the work image keeps the
    // key: nothing is drawn there.
    const uint32_t key = to_pixel(crTransparent);
    WorkImage work;
    if (!work.make(dw, dh, hdcSrc, xSrc, ySrc, wSrc, hSrc, BLACKONWHITE, key)) return FALSE;

    Target t(*dc);
    if (!t.ok()) return t.screen() ? TRUE : FALSE;
    RowIO io(t, dc->st);
    // A 32-bpp destination compares whole pixels, so a key colour with a
    // non-zero top byte is drawn; other formats compare the colour as stored.
    const bool whole = io.has_alpha_byte();
    const uint32_t key_stored = whole ? key : io.stored(key);
    std::vector<uint32_t> row;
    for (const RECT& c : t.clip) {
        int x0 = std::max<int>(dr.left, c.left), x1 = std::min<int>(dr.right, c.right);
        int y0 = std::max<int>(dr.top, c.top), y1 = std::min<int>(dr.bottom, c.bottom);
        if (x0 >= x1 || y0 >= y1) continue;
        row.resize(size_t(x1 - x0));
        for (int y = y0; y < y1; ++y) {
            const uint32_t* s = work.row(y - dr.top) + (x0 - dr.left);
            io.read(y, x0, x1 - x0, row.data());
            uint32_t last = ~0u;
            bool last_key = false;
            for (int i = 0; i < x1 - x0; ++i) {
                uint32_t v = s[i];
                if (v != last) last = v, last_key = (whole ? v : io.stored(v)) == key_stored;
                if (!last_key) row[size_t(i)] = v & 0x00FFFFFFu;  // drawn pixels carry no top byte
            }
            io.write(y, x0, x1 - x0, row.data());
        }
    }
    return TRUE;
}

BOOL WINAPI TransparentBlt(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc, int ySrc,
                           int wSrc, int hSrc, UINT crTransparent) {
    return GdiTransparentBlt(hdcDest, xDest, yDest, wDest, hDest, hdcSrc, xSrc, ySrc, wSrc, hSrc, crTransparent);
}
