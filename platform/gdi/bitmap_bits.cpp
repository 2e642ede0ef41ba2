// bitmap_bits.cpp — rows of bitmaps of any depth read and stored as 32-bit
// colours, 16-bpp fields packed and widened, the nearest colour-table entry.
// The row primitives under everything that draws on or reads a bitmap; they
// call nothing else of GDI.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>

#include "gdi/gdi_internal.h"

using namespace plat::gdi;

namespace plat::gdi {
void read_bitmap_row(const Bitmap& bm, int y, int x, int n, uint32_t* out, uint32_t c0, uint32_t c1) {
    const uint8_t* r = bm.row_bytes(y);
    auto entry = [&](unsigned i) -> uint32_t {
        if (i >= bm.palette.size()) return 0;  // indices past the table read as black
        const RGBQUAD& q = bm.palette[i];
        return (uint32_t(q.rgbRed) << 16) | (uint32_t(q.rgbGreen) << 8) | q.rgbBlue;
    };
    switch (bm.bpp) {
        case 32:
            std::memcpy(out, r + 4 * size_t(x), size_t(n) * 4);
            if (bm.masked32())
                for (int i = 0; i < n; ++i) out[i] = expand_fields(bm, out[i]);
            break;
        case 24:
            for (int i = 0; i < n; ++i) {
                const uint8_t* p = r + 3 * size_t(x + i);
                out[i] = p[0] | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16);
            }
            break;
        case 16:
            for (int i = 0; i < n; ++i) {
                const uint8_t* p = r + 2 * size_t(x + i);
                out[i] = expand_fields(bm, p[0] | (uint32_t(p[1]) << 8));
            }
            break;
        case 8:
            for (int i = 0; i < n; ++i) out[i] = entry(r[x + i]);
            break;
        case 4:
            for (int i = 0; i < n; ++i) {
                int xx = x + i;
                out[i] = entry((r[xx >> 1] >> ((xx & 1) ? 0 : 4)) & 15);
            }
            break;
        case 1: {
            bool table = bm.dib && bm.palette.size() >= 2;
            for (int i = 0; i < n; ++i) {
                int xx = x + i;
                unsigned bit = (r[xx >> 3] >> (7 - (xx & 7))) & 1;
                out[i] = table ? entry(bit) : bit ? c1 : c0;
            }
            break;
        }
        default:
            std::fill(out, out + n, 0u);
    }
}

// A mask's field is its lowest run of set bits (the reference takes no
// others: bits of a mask above a gap are never stored). Masks may overlap;
// only a zero mask is refused.
bool field_layout(const uint32_t masks[3], FieldLayout* out) {
    for (int c = 0; c < 3; ++c) {
        const uint32_t m = masks[c];
        if (m == 0) return false;
        int shift = 0, len = 0;
        while (!((m >> shift) & 1)) ++shift;
        while (shift + len < 32 && ((m >> (shift + len)) & 1)) ++len;
        out->mask[c] = m;
        out->shift[c] = shift;
        out->len[c] = len;
    }
    return true;
}

// A channel of 8 bits keeps its top `len` bits in the field (a field wider
// than 8 bits takes the channel in its top 8); widening puts the field's
// top 8 bits at the channel's top and repeats them once below.
uint32_t pack_fields(const FieldLayout& f, uint32_t px) {
    uint32_t v = 0;
    for (int c = 0; c < 3; ++c) {
        const uint32_t ch = (px >> (16 - 8 * c)) & 0xFF;
        const int up = f.shift[c] + f.len[c] - 8;  // where the channel's top bit lands, less 7
        const uint32_t kept = f.len[c] >= 8 ? ch : ch & (0xFF00u >> f.len[c]) & 0xFF;
        v |= (up >= 0 ? kept << up : kept >> -up) & field_bits(f, c);
    }
    return v;
}

uint32_t expand_fields(const FieldLayout& f, uint32_t v) {
    uint32_t px = 0;
    for (int c = 0; c < 3; ++c) {
        const int up = f.shift[c] + f.len[c] - 8;
        const uint32_t bits = v & field_bits(f, c);
        uint32_t ch = (up >= 0 ? bits >> up : bits << -up) & 0xFF;
        if (f.len[c] < 8) ch |= ch >> f.len[c];
        px |= ch << (16 - 8 * c);
    }
    return px;
}

bool indexed_bitmap(const Bitmap* bm) {
    return bm && bm->bits && (bm->bpp == 8 || bm->bpp == 4 || bm->bpp == 1) && !bm->palette.empty();
}

uint32_t nearest_index(const Bitmap& bm, uint32_t v) {
    int rr = int(v >> 16 & 0xFF), g = int(v >> 8 & 0xFF), b = int(v & 0xFF);
    uint32_t best = 0;
    long best_d = -1;
    for (size_t i = 0; i < bm.palette.size(); ++i) {
        const RGBQUAD& q = bm.palette[i];
        long d = long(q.rgbRed - rr) * (q.rgbRed - rr) + long(q.rgbGreen - g) * (q.rgbGreen - g) +
                 long(q.rgbBlue - b) * (q.rgbBlue - b);
        if (best_d < 0 || d < best_d) best = uint32_t(i), best_d = d;
        if (d == 0) break;
    }
    return best;
}

void write_bitmap_row(const Bitmap& bm, int y, int x, int n, const uint32_t* in) {
    uint8_t* r = bm.row_bytes(y);
    for (int i = 0; i < n; ++i) {
        int xx = x + i;
        uint32_t v = in[i];
        switch (bm.bpp) {
            case 16: {
                uint32_t p = pack_fields(bm, v);
                r[2 * xx] = uint8_t(p);
                r[2 * xx + 1] = uint8_t(p >> 8);
                break;
            }
            case 32: {
                const uint32_t p = bm.masked32() ? pack_fields(bm, v) : v;
                std::memcpy(r + 4 * size_t(xx), &p, 4);
                break;
            }
            case 24:
                r[3 * xx] = uint8_t(v);
                r[3 * xx + 1] = uint8_t(v >> 8);
                r[3 * xx + 2] = uint8_t(v >> 16);
                break;
            case 8:
                r[xx] = uint8_t(v);
                break;
            case 4: {
                unsigned k = v & 15;
                r[xx >> 1] = uint8_t((xx & 1) ? (r[xx >> 1] & 0xF0) | k : (r[xx >> 1] & 0x0F) | (k << 4));
                break;
            }
            case 1: {
                uint8_t bit = uint8_t(0x80 >> (xx & 7));
                if (v & 1) r[xx >> 3] |= bit;
                else r[xx >> 3] &= uint8_t(~bit);
                break;
            }
            default:
                break;
        }
    }
}
}  // namespace plat::gdi
