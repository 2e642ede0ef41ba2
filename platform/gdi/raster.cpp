// raster.cpp — the span-level primitives: solid and patterned spans under a
// mix mode, masked glyphs, and rows under a ternary raster operation.
#include <algorithm>
#include <cstring>

#include "gdi/gdi_internal.h"

namespace plat::gdi {

// R2_* code - 1 is a truth table: bit (P * 2 + D) is the result for pen bit P
// and destination bit D. For a fixed pen bit the result is one of 0, 1, D,
// not D, i.e. (D & a) ^ x with a = f(P,0) ^ f(P,1) and x = f(P,0).
Mix mix_for_rop2(int rop2) {
    if (rop2 < R2_BLACK || rop2 > R2_WHITE) rop2 = R2_COPYPEN;
    unsigned t = unsigned(rop2 - 1);
    auto bit = [t](int p, int d) { return (t >> (p * 2 + d)) & 1u; };
    auto mask = [](unsigned b) { return b ? 0xFFFFFFFFu : 0u; };
    Mix m;
    m.x0 = mask(bit(0, 0));
    m.a0 = mask(bit(0, 0) ^ bit(0, 1));
    m.x1 = mask(bit(1, 0));
    m.a1 = mask(bit(1, 0) ^ bit(1, 1));
    m.copy = rop2 == R2_COPYPEN;
    return m;
}

static const uint8_t kHatch[6][8] = {
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF},  // HS_HORIZONTAL
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08},  // HS_VERTICAL
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01},  // HS_FDIAGONAL
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80},  // HS_BDIAGONAL
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0xFF},  // HS_CROSS
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81},  // HS_DIAGCROSS
};

Paint realise_brush(const DC& dc, const Brush* br) {
    Paint p;
    p.org = dc.st.brush_org;
    if (!br) return p;
    const DCState& st = dc.st;
    if (br->dc_brush) {
        p.type = Paint::Type::Solid;
        p.color = to_pixel(st.dc_brush);
        return p;
    }
    switch (br->lb.lbStyle) {
        case BS_SOLID:
            p.type = Paint::Type::Solid;
            p.color = to_pixel(br->lb.lbColor);
            break;
        case BS_HATCHED: {
            // Hatch lines in the brush colour; gaps in the background colour
            // when opaque, untouched when transparent.
            p.type = Paint::Type::Tiled;
            p.w = p.h = 8;
            p.px.resize(64);
            uint32_t fg = to_pixel(br->lb.lbColor), bg = to_pixel(st.bk);
            bool transparent = st.bkmode == TRANSPARENT;
            if (transparent) p.on.resize(64);
            const uint8_t* rows = kHatch[br->lb.lbHatch <= HS_DIAGCROSS ? br->lb.lbHatch : 0];
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < 8; ++x) {
                    bool line = (rows[y] >> (7 - x)) & 1;
                    p.px[y * 8 + x] = line ? fg : bg;
                    if (transparent) p.on[y * 8 + x] = line;
                }
            break;
        }
        case BS_PATTERN:
        case BS_DIBPATTERN:
        case BS_DIBPATTERNPT: {
            if (br->pw <= 0 || br->ph <= 0) break;
            p.type = Paint::Type::Tiled;
            p.w = br->pw;
            p.h = br->ph;
            if (!br->mono.empty()) {
                // Monochrome pattern: 0 bits in the text colour, 1 bits in the background colour.
                uint32_t c0 = to_pixel(st.text), c1 = to_pixel(st.bk);
                p.px.resize(br->mono.size());
                for (size_t i = 0; i < br->mono.size(); ++i) p.px[i] = br->mono[i] ? c1 : c0;
            } else {
                p.px = br->colour;
            }
            break;
        }
        default: break;
    }
    return p;
}

Paint realise_pen(const DC& dc, const Pen* pen) {
    Paint p;
    if (!pen || !pen->visible()) return p;
    p.type = Paint::Type::Solid;
    p.color = to_pixel(pen->dc_pen ? dc.st.dc_pen : pen->color);
    return p;
}

static inline int wrap(int v, int n) {
    int r = v % n;
    return r < 0 ? r + n : r;
}

// Stores n copies of a pixel value. Long runs are written by doubling an
// already written prefix with memcpy, which runs at memset speed whatever the
// optimisation level, instead of one 4-byte store per pixel.
static void fill_pixels(uint32_t* d, int n, uint32_t v) {
    const uint32_t b = v & 0xFFu;
    if (v == b * 0x01010101u) {
        std::memset(d, int(b), size_t(n) * sizeof(uint32_t));
        return;
    }
    const int seed = std::min(n, 16);
    for (int i = 0; i < seed; ++i) d[i] = v;
    for (int done = seed; done < n;) {
        int k = std::min(done, n - done);
        std::memcpy(d + done, d, size_t(k) * sizeof(uint32_t));
        done += k;
    }
}

void span(const Surface& s, int y, int x0, int x1, const Paint& p, const Mix& m) {
    uint32_t* row = s.row(y);
    int n = x1 - x0;
    if (n <= 0 || p.type == Paint::Type::None) return;
    if (p.type == Paint::Type::Solid) {
        uint32_t a = m.and_for(p.color), x = m.xor_for(p.color);
        uint32_t* d = row + x0;
        if (a == 0) {
            fill_pixels(d, n, x);
        } else {
            for (int i = 0; i < n; ++i) d[i] = (d[i] & a) ^ x;
        }
        return;
    }
    const uint32_t* tile = p.px.data() + size_t(wrap(y - p.org.y, p.h)) * size_t(p.w);
    const uint8_t* on = p.on.empty() ? nullptr : p.on.data() + size_t(wrap(y - p.org.y, p.h)) * size_t(p.w);
    int tx = wrap(x0 - p.org.x, p.w);
    for (int x = x0; x < x1; ++x) {
        if (!on || on[tx]) {
            uint32_t c = tile[tx];
            if (m.copy)
                row[x] = c;
            else
                row[x] = (row[x] & m.and_for(c)) ^ m.xor_for(c);
        }
        if (++tx == p.w) tx = 0;
    }
}

void fill_span(Target& t, int y, int x0, int x1, const Paint& p, const Mix& m) {
    if (p.type == Paint::Type::None) return;
    t.for_clipped(y, x0, x1, [&](int a, int b) { span(t.surf, y, a, b, p, m); });
}

void fill_rect(Target& t, int l, int top, int r, int b, const Paint& p, const Mix& m) {
    if (p.type == Paint::Type::None || l >= r || top >= b) return;
    for (const RECT& c : t.clip) {
        int x0 = std::max<int>(l, c.left), x1 = std::min<int>(r, c.right);
        int y0 = std::max<int>(top, c.top), y1 = std::min<int>(b, c.bottom);
        if (x0 >= x1 || y0 >= y1) continue;
        t.touch(x0, y0, x1, y1);
        span(t.surf, y0, x0, x1, p, m);
        if (p.type == Paint::Type::Solid && m.and_for(p.color) == 0) {
            // Every row of a plain solid fill is the same: copy the first.
            const uint32_t* first = t.surf.row(y0) + x0;
            for (int y = y0 + 1; y < y1; ++y)
                std::memcpy(t.surf.row(y) + x0, first, size_t(x1 - x0) * sizeof(uint32_t));
        } else {
            for (int y = y0 + 1; y < y1; ++y) span(t.surf, y, x0, x1, p, m);
        }
    }
}

void masked_glyph(Target& t, int x, int y, int w, int h, const uint8_t* coverage, uint32_t c) {
    if (!coverage || w <= 0 || h <= 0) return;
    const uint32_t cr = (c >> 16) & 0xFF, cg = (c >> 8) & 0xFF, cb = c & 0xFF;
    for (int j = 0; j < h; ++j) {
        int yy = y + j;
        const uint8_t* cov = coverage + size_t(j) * size_t(w);
        t.for_clipped(yy, x, x + w, [&](int a, int b) {
            uint32_t* row = t.surf.row(yy);
            for (int xx = a; xx < b; ++xx) {
                uint32_t k = cov[xx - x];
                if (k == 0) continue;
                if (k == 255) {
                    row[xx] = c;
                    continue;
                }
                uint32_t d = row[xx];
                int ki = int(k);
                int dr = int((d >> 16) & 0xFF), dg = int((d >> 8) & 0xFF), db = int(d & 0xFF);
                dr += ((int(cr) - dr) * ki) / 255;
                dg += ((int(cg) - dg) * ki) / 255;
                db += ((int(cb) - db) * ki) / 255;
                row[xx] = (uint32_t(dr) << 16) | (uint32_t(dg) << 8) | uint32_t(db);
            }
        });
    }
}

bool rop_uses_src(uint8_t rop) { return ((rop >> 2) & 0x33) != (rop & 0x33); }
bool rop_uses_pat(uint8_t rop) { return ((rop >> 4) & 0x0F) != (rop & 0x0F); }

// Ternary raster operation: the result bit for (P, S, D) is bit P*4 + S*2 + D of rop.
static inline uint32_t rop3(uint8_t rop, uint32_t p, uint32_t s, uint32_t d) {
    switch (rop) {
        case 0x00: return 0;
        case 0xFF: return 0x00FFFFFFu;
        case 0xCC: return s;
        case 0x33: return ~s;
        case 0xF0: return p;
        case 0x0F: return ~p;
        case 0xAA: return d;
        case 0x55: return ~d;
        case 0x66: return s ^ d;
        case 0x88: return s & d;
        case 0xEE: return s | d;
        case 0x44: return s & ~d;
        case 0x11: return ~(s | d);
        case 0xBB: return ~s | d;
        case 0xC0: return p & s;
        case 0x5A: return p ^ d;
        case 0xFB: return p | ~s | d;
        default: break;
    }
    uint32_t r = 0;
    for (int m = 0; m < 8; ++m) {
        if (!((rop >> m) & 1)) continue;
        r |= ((m & 4) ? p : ~p) & ((m & 2) ? s : ~s) & ((m & 1) ? d : ~d);
    }
    return r;
}

void rop3_span(uint32_t* dst, const uint32_t* src, int n, int dev_x, int dev_y, const Paint& pat, uint8_t rop) {
    if (n <= 0) return;
    if (rop == 0xCC && src) {
        // A plain copy keeps the whole 32-bit value, as a 32-bpp DIB copy does.
        std::memmove(dst, src, size_t(n) * sizeof(uint32_t));
        return;
    }
    const bool tiled = pat.type == Paint::Type::Tiled;
    const uint32_t* tile = nullptr;
    const uint8_t* on = nullptr;
    int tx = 0;
    if (tiled) {
        int ty = wrap(dev_y - pat.org.y, pat.h);
        tile = pat.px.data() + size_t(ty) * size_t(pat.w);
        if (!pat.on.empty()) on = pat.on.data() + size_t(ty) * size_t(pat.w);
        tx = wrap(dev_x - pat.org.x, pat.w);
    }
    uint32_t p = pat.color;
    for (int i = 0; i < n; ++i) {
        bool paint = true;
        if (tiled) {
            p = tile[tx];
            if (on && !on[tx]) paint = false;
            if (++tx == pat.w) tx = 0;
        }
        if (!paint) continue;
        uint32_t s = src ? src[i] : 0;
        dst[i] = rop3(rop, p, s, dst[i]) & 0x00FFFFFFu;
    }
}

}  // namespace plat::gdi
