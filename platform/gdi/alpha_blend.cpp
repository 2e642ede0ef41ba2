// alpha_blend.cpp — AlphaBlend: a source rectangle laid over the destination
// with a constant alpha, or with the source's own premultiplied alpha (its
// top byte) scaled by the constant. Stretching goes through a work image
// (COLORONCOLOR); the destination is reached row by row through RowIO, so
// every bitmap format and the clip are handled there.
#include <algorithm>
#include <vector>

#include "gdi/draw_internal.h"
#include "gdi/row_io.h"
#include "winbase.h"

using namespace plat::gdi;

namespace {

// One channel over another with constant alpha a: (s·a + d·(255 − a) + 127) / 255.
inline uint32_t mix(uint32_t d, uint32_t s, uint32_t a) { return (s * a + d * (255 - a) + 127) / 255; }

// A premultiplied source pixel over a destination: each channel is
// s + d·(255 − sa) / 255 (rounded), the top byte included. A source that is
// not premultiplied can make a channel's sum pass 255; as in the reference,
// the sums are OR-ed into place, so the carry bit lands on the lowest bit of
// the next channel up (and leaves the pixel from the top channel).
inline uint32_t over(uint32_t d, uint32_t s) {
    uint32_t inv = 255 - (s >> 24);
    uint32_t r = 0;
    for (int sh = 0; sh < 32; sh += 8) {
        uint32_t dc = d >> sh & 0xFF, sc = s >> sh & 0xFF;
        r |= (sc + (dc * inv + 127) / 255) << sh;
    }
    return r;
}

// A premultiplied source pixel scaled by the constant alpha first (every
// channel, the alpha included), then laid over.
inline uint32_t scale(uint32_t s, uint32_t a) {
    uint32_t r = 0;
    for (int sh = 0; sh < 32; sh += 8) r |= ((s >> sh & 0xFF) * a + 127) / 255 << sh;
    return r;
}

void blend_row(uint32_t* d, const uint32_t* s, int n, const BLENDFUNCTION& bf, bool alpha_byte) {
    const uint32_t a = bf.SourceConstantAlpha;
    const uint32_t keep = alpha_byte ? 0xFFFFFFFFu : 0x00FFFFFFu;
    if (bf.AlphaFormat & AC_SRC_ALPHA) {
        if (a == 255) {
            for (int i = 0; i < n; ++i) d[i] = over(d[i], s[i]) & keep;
        } else {
            for (int i = 0; i < n; ++i) d[i] = over(d[i], scale(s[i], a)) & keep;
        }
        return;
    }
    for (int i = 0; i < n; ++i) {
        uint32_t r = 0;
        for (int sh = 0; sh < 32; sh += 8) r |= mix(d[i] >> sh & 0xFF, s[i] >> sh & 0xFF, a) << sh;
        d[i] = r & keep;
    }
}

// The device rectangle of a logical one (x, y, w, h), ordered.
RECT mapped(const DCState& st, int x, int y, int w, int h) {
    POINT a = to_device(st, x, y), b = to_device(st, clamp_sum(x, w), clamp_sum(y, h));
    return RECT{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

}  // namespace

BOOL WINAPI GdiAlphaBlend(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc, int ySrc,
                          int wSrc, int hSrc, BLENDFUNCTION bf) {
    auto dc = get_dc(hdcDest);
    auto sdc = get_dc(hdcSrc);
    if (!dc || !sdc) return FALSE;
    if (bf.BlendOp != AC_SRC_OVER || wDest < 0 || hDest < 0 || wSrc < 0 || hSrc < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // The source rectangle must lie inside the source bitmap; per-pixel
    // alpha needs a source that has it (32 bpp).
    const Bitmap* sbm = sdc->dc_kind == DCKind::Memory ? sdc->st.bitmap.get() : nullptr;
    RECT sr = mapped(sdc->st, xSrc, ySrc, wSrc, hSrc);
    if (sbm) {
        if (sr.left < 0 || sr.top < 0 || sr.right > sbm->width || sr.bottom > sbm->height) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        if ((bf.AlphaFormat & AC_SRC_ALPHA) && sbm->bpp != 32) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
    }
    RECT dr = mapped(dc->st, xDest, yDest, wDest, hDest);
    int dw = dr.right - dr.left, dh = dr.bottom - dr.top;
    if (dw <= 0 || dh <= 0 || sr.right <= sr.left || sr.bottom <= sr.top) return TRUE;
    if (bf.SourceConstantAlpha == 0 && !(bf.AlphaFormat & AC_SRC_ALPHA)) return TRUE;

    // A 32-bpp source of the destination's extent is read in place; any
    // other is first brought to it.
    Surface in_place;
    bool direct = sbm && sbm->bits && sdc != dc && sr.right - sr.left == dw && sr.bottom - sr.top == dh &&
                  bitmap_surface(*sbm, &in_place);
    WorkImage work;
    if (!direct && !work.make(dw, dh, hdcSrc, xSrc, ySrc, wSrc, hSrc, COLORONCOLOR, 0)) return FALSE;
    // A source without an alpha byte is opaque: with a constant alpha its
    // top byte still blends into a 32-bpp destination's.
    if (!direct && !(sbm && sbm->bpp == 32))
        for (size_t i = 0; i < size_t(dw) * size_t(dh); ++i) work.px[i] |= 0xFF000000u;

    Target t(*dc);
    if (!t.ok()) return t.screen() ? TRUE : FALSE;
    RowIO io(t, dc->st);
    std::vector<uint32_t> row;
    for (const RECT& c : t.clip) {
        int x0 = std::max<int>(dr.left, c.left), x1 = std::min<int>(dr.right, c.right);
        int y0 = std::max<int>(dr.top, c.top), y1 = std::min<int>(dr.bottom, c.bottom);
        if (x0 >= x1 || y0 >= y1) continue;
        row.resize(size_t(x1 - x0));
        for (int y = y0; y < y1; ++y) {
            const uint32_t* s = direct ? in_place.row(sr.top + (y - dr.top)) + sr.left + (x0 - dr.left)
                                       : work.row(y - dr.top) + (x0 - dr.left);
            io.read(y, x0, x1 - x0, row.data());
            blend_row(row.data(), s, x1 - x0, bf, io.has_alpha_byte());
            io.write(y, x0, x1 - x0, row.data());
        }
    }
    return TRUE;
}

BOOL WINAPI AlphaBlend(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc, int ySrc,
                       int wSrc, int hSrc, BLENDFUNCTION bf) {
    return GdiAlphaBlend(hdcDest, xDest, yDest, wDest, hDest, hdcSrc, xSrc, ySrc, wSrc, hSrc, bf);
}
