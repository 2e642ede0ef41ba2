// raster.cpp — the span-level primitives: solid and patterned spans under a
// mix mode, masked glyphs, and rows under a ternary raster operation.
//
// Every inner loop is a branch-free pass over 32-bit pixels written once for
// a scalar and a 4-lane vector type (GCC/Clang vector extensions, SSE2 on
// x86-64), so the release build runs them four pixels at a time without
// relying on the auto-vectoriser.
#include <algorithm>
#include <cstring>

#include "gdi/gdi_internal.h"

namespace plat::gdi {

namespace {

typedef uint32_t V4 __attribute__((vector_size(16)));

template <class T>
inline T load(const uint32_t* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
template <class T>
inline void store(uint32_t* p, T v) {
    std::memcpy(p, &v, sizeof v);
}

// Calls f(T{}, i) for i = 0, 4, 8, ... with T = V4 (four pixels), then for
// the remaining pixels one at a time with T = uint32_t.
template <class F>
inline void for_lanes(int n, F&& f) {
    int i = 0;
    for (; i + 4 <= n; i += 4) f(V4{}, i);
    for (; i < n; ++i) f(uint32_t{}, i);
}

// Per bit: p ? one : zero, where one and zero are 0 or all ones.
template <class T>
inline T select(T p, uint32_t one, uint32_t zero) {
    return (p & one) | (~p & zero);
}

// v mod n in [0, n); v is a difference of two ints, so it is taken in 64 bits.
inline int wrap(int64_t v, int n) {
    int r = int(v % n);
    return r < 0 ? r + n : r;
}

inline uint32_t ones(unsigned bit) { return bit ? 0xFFFFFFFFu : 0u; }

// Stores n copies of a pixel value: memset when all four bytes are equal;
// else, for long runs on x86-64, the string store instruction, which like
// memset skips reading the destination lines in first; else 16-byte stores.
void fill_pixels(uint32_t* d, int n, uint32_t v) {
    const uint32_t b = v & 0xFFu;
    if (v == b * 0x01010101u) {
        std::memset(d, int(b), size_t(n) * sizeof(uint32_t));
        return;
    }
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    if (n >= 4096) {
        size_t count = size_t(n);
        asm volatile("rep stosl" : "+D"(d), "+c"(count) : "a"(v) : "memory");
        return;
    }
#endif
    const V4 vv = V4{} + v;
    int i = 0;
    for (; i + 16 <= n; i += 16) {
        store<V4>(d + i, vv);
        store<V4>(d + i + 4, vv);
        store<V4>(d + i + 8, vv);
        store<V4>(d + i + 12, vv);
    }
    for (; i < n; ++i) d[i] = v;
}

// d = (d & a) ^ x with constant masks: every solid mix mode.
void mix_const(uint32_t* d, int n, uint32_t a, uint32_t x) {
    if (a == 0) return fill_pixels(d, n, x);
    if (a == ~0u && x == 0) return;
    for_lanes(n, [&](auto tag, int i) {
        using T = decltype(tag);
        store<T>(d + i, (load<T>(d + i) & a) ^ x);
    });
}

// Pattern pixels p[0..n) under a mix mode, painted where mask is all ones.
// The masks are copied to locals: the stores through d could otherwise alias them.
template <bool Masked>
void mix_pattern(uint32_t* d, const uint32_t* p, const uint32_t* mask, int n, const Mix& m) {
    const uint32_t a1 = m.a1, a0 = m.a0, x1 = m.x1, x0 = m.x0;
    for_lanes(n, [&](auto tag, int i) {
        using T = decltype(tag);
        T pv = load<T>(p + i);
        T a = select(pv, a1, a0), x = select(pv, x1, x0);
        if constexpr (Masked) {
            T k = load<T>(mask + i);
            a |= ~k;
            x &= k;
        }
        store<T>(d + i, (load<T>(d + i) & a) ^ x);
    });
}

// A ternary operation with a pattern row p (and a source row s when HasSrc):
// the masks of rop3 planning chosen per pattern bit.
template <bool HasSrc, bool Masked>
void rop3_pattern(uint32_t* d, const uint32_t* s, const uint32_t* p, const uint32_t* mask, int n,
                  const uint32_t (&m)[8]) {
    const uint32_t m0 = m[0], m1 = m[1], m2 = m[2], m3 = m[3], m4 = m[4], m5 = m[5], m6 = m[6], m7 = m[7];
    for_lanes(n, [&](auto tag, int i) {
        using T = decltype(tag);
        T pv = load<T>(p + i);
        T a = select(pv, m1, m5), x = select(pv, m3, m7);
        if constexpr (HasSrc) {
            T sv = load<T>(s + i);
            a ^= sv & select(pv, m0, m4);
            x ^= sv & select(pv, m2, m6);
        }
        if constexpr (Masked) {
            T keep = load<T>(mask + i);
            a |= ~keep;
            x &= keep;
        }
        store<T>(d + i, (load<T>(d + i) & a) ^ x);
    });
}

void pattern_pass(uint32_t* d, const uint32_t* p, const uint32_t* mask, int n, const Mix& m) {
    if (!mask && m.copy) {
        std::memcpy(d, p, size_t(n) * sizeof(uint32_t));
    } else if (mask) {
        mix_pattern<true>(d, p, mask, n, m);
    } else {
        mix_pattern<false>(d, p, nullptr, n, m);
    }
}

// Hatch rows, top to bottom; bit 0x80 is the leftmost column.
const uint8_t kHatch[6][8] = {
    {0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00},  // HS_HORIZONTAL
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08},  // HS_VERTICAL
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01},  // HS_FDIAGONAL
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80},  // HS_BDIAGONAL
    {0x08, 0x08, 0x08, 0xFF, 0x08, 0x08, 0x08, 0x08},  // HS_CROSS
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81},  // HS_DIAGCROSS
};

// The tile of a pattern brush for the given DC colours; what it depends on
// is packed into *key so that a prepared tile can be reused.
std::shared_ptr<const Tile> build_tile(const Brush& br, const DCState& st) {
    switch (br.lb.lbStyle) {
        case BS_HATCHED: {
            // Hatch lines in the brush colour; gaps in the background colour
            // when opaque, untouched when transparent.
            uint32_t px[64];
            uint8_t on[64];
            uint32_t fg = device_colour(st, br.lb.lbColor), bg = device_colour(st, st.bk);
            const uint8_t* rows = kHatch[br.lb.lbHatch <= HS_DIAGCROSS ? br.lb.lbHatch : 0];
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < 8; ++x) {
                    bool line = (rows[y] >> (7 - x)) & 1;
                    px[y * 8 + x] = line ? fg : bg;
                    on[y * 8 + x] = line;
                }
            return make_tile(8, 8, px, st.bkmode == TRANSPARENT ? on : nullptr);
        }
        default: {
            if (br.pw <= 0 || br.ph <= 0) return nullptr;
            if (br.mono.empty()) {
                if (!indexed_bitmap(st.bitmap.get())) return make_tile(br.pw, br.ph, br.colour.data(), nullptr);
                std::vector<uint32_t> px(br.colour.size());
                for (size_t i = 0; i < px.size(); ++i) px[i] = nearest_index(*st.bitmap, br.colour[i]);
                return make_tile(br.pw, br.ph, px.data(), nullptr);
            }
            // Monochrome pattern: 0 bits in the text colour, 1 bits in the background colour.
            uint32_t c0 = device_colour(st, st.text), c1 = device_colour(st, st.bk);
            std::vector<uint32_t> px(br.mono.size());
            for (size_t i = 0; i < br.mono.size(); ++i) px[i] = br.mono[i] ? c1 : c0;
            return make_tile(br.pw, br.ph, px.data(), nullptr);
        }
    }
}

uint64_t tile_key(const Brush& br, const DCState& st) {
    uint64_t key = palette_stamp(st) * 0xC2B2AE3D27D4EB4FULL;  // palette-index colours map through it
    if (br.lb.lbStyle == BS_HATCHED) key ^= (uint64_t(st.bk) << 1) | (st.bkmode == TRANSPARENT ? 1u : 0u);
    else if (!br.mono.empty()) key ^= (uint64_t(st.text) << 32) | st.bk;
    // A tile made for an indexed bitmap holds its indices: it is kept for that bitmap only.
    if (indexed_bitmap(st.bitmap.get()))
        key = (key ^ ((uint64_t(reinterpret_cast<uintptr_t>(st.bitmap.get())) + st.bitmap->palette_version) *
                      0x9E3779B97F4A7C15ULL)) |
              1ULL << 63;
    return key;
}

}  // namespace

// R2_* code - 1 is a truth table: bit (P * 2 + D) is the result for pen bit P
// and destination bit D. For a fixed pen bit the result is one of 0, 1, D,
// not D, i.e. (D & a) ^ x with a = f(P,0) ^ f(P,1) and x = f(P,0).
Mix mix_for_rop2(int rop2) {
    if (rop2 < R2_BLACK || rop2 > R2_WHITE) rop2 = R2_COPYPEN;
    unsigned t = unsigned(rop2 - 1);
    auto bit = [t](int p, int d) { return (t >> (p * 2 + d)) & 1u; };
    Mix m;
    m.x0 = ones(bit(0, 0));
    m.a0 = ones(bit(0, 0) ^ bit(0, 1));
    m.x1 = ones(bit(1, 0));
    m.a1 = ones(bit(1, 0) ^ bit(1, 1));
    m.copy = rop2 == R2_COPYPEN;
    return m;
}

std::shared_ptr<const Tile> make_tile(int w, int h, const uint32_t* px, const uint8_t* on) {
    if (w <= 0 || h <= 0 || !px) return nullptr;
    auto t = std::make_shared<Tile>();
    t->w = w;
    t->h = h;
    // Narrow patterns are repeated to at least 256 pixels so that a typical
    // span is one or two block copies; wide ones are kept as they are.
    // The repetition is capped so that a tall pattern does not grow without bound.
    int reps = w >= 256 ? 1 : (256 + w - 1) / w;
    reps = int(std::max<int64_t>(1, std::min<int64_t>(reps, (int64_t(1) << 22) / (int64_t(w) * h))));
    t->ew = w * reps;
    t->px.resize(size_t(t->ew) * size_t(h));
    if (on) t->mask.resize(t->px.size());
    for (int y = 0; y < h; ++y)
        for (int r = 0; r < reps; ++r)
            for (int x = 0; x < w; ++x) {
                size_t src = size_t(y) * size_t(w) + size_t(x), dst = size_t(y) * t->ew + size_t(r) * w + x;
                t->px[dst] = px[src];
                if (on) t->mask[dst] = on[src] ? 0xFFFFFFFFu : 0u;
            }
    return t;
}

// On an indexed bitmap a colour becomes the nearest table entry; on a
// two-colour one a colour that is not one of the two entries is drawn as
// the background colour's nearest entry when it is the background colour
// and as the other entry otherwise, so that a drawing never vanishes into
// the background however close its colour is.
uint32_t device_colour(const DCState& st, COLORREF c) {
    const Bitmap* bm = st.bitmap.get();
    if (is_dib_index(c) && indexed_bitmap(bm)) return c & 0xFFFFu;
    c = palette_colour(st, c);
    if (bm && direct_dib(bm) && has_fields(*bm)) return quantise_fields(*bm, to_pixel(c));
    if (!indexed_bitmap(bm)) return to_pixel(c);
    if (bm->bpp == 1) {
        const uint32_t px = to_pixel(c);
        for (uint32_t i = 0; i < 2 && i < bm->palette.size(); ++i) {
            const RGBQUAD& q = bm->palette[i];
            if (((uint32_t(q.rgbRed) << 16) | (uint32_t(q.rgbGreen) << 8) | q.rgbBlue) == px) return i;
        }
        uint32_t bk = nearest_index(*bm, to_pixel(palette_colour(st, st.bk))) & 1;
        return c == palette_colour(st, st.bk) ? bk : bk ^ 1;
    }
    return nearest_index(*bm, to_pixel(c));
}

// A solid brush on a monochrome bitmap (not a DIB section) is an ordered
// dither of its grey level: n = (30 R + 59 G + 11 B + 200) / 400 of the 64
// cells of an 8x8 Bayer matrix are white, those whose entry is at least
// 64 - n. Black and white come out plain.
static Paint solid_paint(const DCState& st, COLORREF c) {
    Paint p;
    p.org = st.brush_org;
    p.type = Paint::Type::Solid;
    const Bitmap* bm = st.bitmap.get();
    if (!(indexed_bitmap(bm) && bm->bpp == 1 && !bm->dib)) {
        p.color = device_colour(st, c);
        return p;
    }
    static const uint8_t bayer[8][8] = {
        {0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26}, {12, 44, 4, 36, 14, 46, 6, 38},
        {60, 28, 52, 20, 62, 30, 54, 22}, {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
        {15, 47, 7, 39, 13, 45, 5, 37},  {63, 31, 55, 23, 61, 29, 53, 21}};
    const uint32_t r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
    const int n = int((30 * r + 59 * g + 11 * b + 200) / 400);
    if (n <= 0 || n >= 64) {
        p.color = n <= 0 ? 0 : 1;
        return p;
    }
    uint32_t px[64];
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) px[y * 8 + x] = bayer[y][x] >= 64 - n ? 1u : 0u;
    p.type = Paint::Type::Tiled;
    p.tile = make_tile(8, 8, px, nullptr);
    p.w = p.h = 8;
    return p;
}

static Paint make_brush_paint(const DCState& st, const Brush* br) {
    Paint p;
    p.org = st.brush_org;
    if (!br) return p;
    if (br->dc_brush) return solid_paint(st, st.dc_brush);
    switch (br->lb.lbStyle) {
        case BS_SOLID:
            return solid_paint(st, br->lb.lbColor);
        case BS_HATCHED:
        case BS_PATTERN:
        case BS_DIBPATTERN:
        case BS_DIBPATTERNPT: break;
        default: return p;
    }
    uint64_t key = tile_key(*br, st);
    std::shared_ptr<const Tile> tile;
    {
        std::lock_guard<std::mutex> lock(br->prepared_m);
        if (br->prepared && br->prepared_key == key) tile = br->prepared;
    }
    if (!tile) {
        tile = build_tile(*br, st);
        if (!tile) return p;
        std::lock_guard<std::mutex> lock(br->prepared_m);
        br->prepared = tile;
        br->prepared_key = key;
    }
    p.type = Paint::Type::Tiled;
    p.w = tile->w;
    p.h = tile->h;
    p.tile = std::move(tile);
    return p;
}

static PaintInputs paint_inputs(const DCState& st, const Object& obj, COLORREF dc_colour) {
    PaintInputs in;
    in.object = obj.serial;
    if (st.bitmap) {
        in.bitmap = st.bitmap->serial;
        in.palette_version = st.bitmap->palette_version;
    }
    in.logical_palette = palette_stamp(st);
    in.text = st.text;
    in.bk = st.bk;
    in.dc_colour = dc_colour;
    in.bkmode = st.bkmode;
    in.org = st.brush_org;
    return in;
}

Paint realise_brush(const DC& dc, const Brush* br) {
    if (!br) return make_brush_paint(dc.st, nullptr);
    const PaintInputs in = paint_inputs(dc.st, *br, dc.st.dc_brush);
    if (!(dc.brush_paint.from == in)) dc.brush_paint = RealisedPaint{in, make_brush_paint(dc.st, br)};
    return dc.brush_paint.paint;
}

Paint realise_pen(const DC& dc, const Pen* pen) {
    if (!pen || !pen->visible()) return Paint{};
    const PaintInputs in = paint_inputs(dc.st, *pen, dc.st.dc_pen);
    if (dc.pen_paint.from == in) return dc.pen_paint.paint;
    Paint p;
    if (pen->brush) {
        p = make_brush_paint(dc.st, pen->brush.get());
    } else {
        p.type = Paint::Type::Solid;
        p.color = device_colour(dc.st, pen->dc_pen ? dc.st.dc_pen : pen->color);
    }
    dc.pen_paint = RealisedPaint{in, p};
    return p;
}

void Target::mix_span(int y, int x, int n, uint32_t a, uint32_t x_mask) {
    if (n <= 0) return;
    if (surf.base) mix_const(surf.row(y) + x, n, a, x_mask);
    else canvas.fmt->mix(*canvas.fmt, canvas.row(y), x, n, a, x_mask);
}

// A pattern span: after the first piece every piece starts at pattern
// column 0, because the stored row length is a multiple of the pattern width.
static void pattern_span(uint32_t* d, int x0, int n, int y, const Paint& p, const Mix& m) {
    const Tile* t = p.tile.get();
    int ty = wrap(int64_t(y) - p.org.y, t->h);
    const uint32_t* row = t->row(ty);
    const uint32_t* mask = t->mask_row(ty);
    for (int off = wrap(int64_t(x0) - p.org.x, t->w); n > 0; off = 0) {
        int k = std::min(n, t->ew - off);
        pattern_pass(d, row + off, mask ? mask + off : nullptr, k, m);
        d += k;
        n -= k;
    }
}

void span(Target& t, int y, int x0, int x1, const Paint& p, const Mix& m) {
    int n = x1 - x0;
    if (n <= 0 || p.type == Paint::Type::None) return;
    if (p.type == Paint::Type::Solid) {
        t.mix_span(y, x0, n, m.and_for(p.color), m.xor_for(p.color));
        return;
    }
    if (!p.tile) return;
    t.edit_row(y, x0, n, [&](uint32_t* d, int k, int col) { pattern_span(d, col, k, y, p, m); });
}

void fill_span(Target& t, int y, int x0, int x1, const Paint& p, const Mix& m) {
    if (p.type == Paint::Type::None) return;
    if (p.type == Paint::Type::Solid) {
        // The common case straight to the pixels: the colour mixed once.
        const uint32_t a = m.and_for(p.color), x = m.xor_for(p.color);
        t.for_clipped(y, x0, x1, [&](int l, int r) { t.mix_span(y, l, r - l, a, x); });
        return;
    }
    t.for_clipped(y, x0, x1, [&](int a, int b) { span(t, y, a, b, p, m); });
}

void fill_rect(Target& t, int l, int top, int r, int b, const Paint& p, const Mix& m) {
    if (p.type == Paint::Type::None || l >= r || top >= b) return;
    for (const RECT& c : t.clip) {
        int x0 = std::max<int>(l, c.left), x1 = std::min<int>(r, c.right);
        int y0 = std::max<int>(top, c.top), y1 = std::min<int>(b, c.bottom);
        if (x0 >= x1 || y0 >= y1) continue;
        t.touch(x0, y0, x1, y1);
        if (p.type == Paint::Type::Solid && t.direct() && x0 == 0 && x1 == t.surf.width &&
            t.surf.stride == t.surf.width) {
            // Whole rows of a top-down surface are one run of pixels.
            mix_const(t.surf.row(y0), (y1 - y0) * t.surf.width, m.and_for(p.color), m.xor_for(p.color));
            continue;
        }
        for (int y = y0; y < y1; ++y) span(t, y, x0, x1, p, m);
    }
}

void masked_glyph(Target& t, int x, int y, int w, int h, const uint8_t* coverage, uint32_t c) {
    if (!coverage || w <= 0 || h <= 0) return;
    const uint32_t cr = (c >> 16) & 0xFF, cg = (c >> 8) & 0xFF, cb = c & 0xFF;
    for (int j = 0; j < h; ++j) {
        int yy = y + j;
        const uint8_t* cov = coverage + size_t(j) * size_t(w);
        t.for_clipped(yy, x, x + w, [&](int a, int b) {
            // Rows of a glyph are mostly blank at either end: only the part
            // that carries ink is edited.
            while (a < b && cov[a - x] == 0) ++a;
            while (b > a && cov[b - 1 - x] == 0) --b;
            if (!t.direct()) {
                t.canvas.fmt->glyph(*t.canvas.fmt, t.canvas.row(yy), a, b - a, cov + (a - x), c);
                return;
            }
            t.edit_row(yy, a, b - a, [&](uint32_t* row, int n, int col) {
                const uint8_t* k_row = cov + (col - x);
                for (int i = 0; i < n; ++i) {
                    uint32_t k = k_row[i];
                    if (k == 0) continue;
                    if (k == 255) {
                        row[i] = c;
                        continue;
                    }
                    uint32_t d = row[i];
                    int ki = int(k);
                    int dr = int((d >> 16) & 0xFF), dg = int((d >> 8) & 0xFF), db = int(d & 0xFF);
                    dr += ((int(cr) - dr) * ki) / 255;
                    dg += ((int(cg) - dg) * ki) / 255;
                    db += ((int(cb) - db) * ki) / 255;
                    row[i] = (uint32_t(dr) << 16) | (uint32_t(dg) << 8) | uint32_t(db);
                }
            });
        });
    }
}

// ---------------------------------------------------------------- ternary raster operations

bool rop_uses_src(uint8_t rop) { return ((rop >> 2) & 0x33) != (rop & 0x33); }
bool rop_uses_pat(uint8_t rop) { return ((rop >> 4) & 0x0F) != (rop & 0x0F); }

// The result bit for pattern bit P, source bit S and destination bit D is
// bit (4P + 2S + D) of the code. Split on D: result = (D & A) ^ X with
// X = f(P,S,0) and A = f(P,S,0) ^ f(P,S,1); then split A and X on S for a
// fixed P: each is (S & a) ^ x.
Rop3Plan plan_rop3(uint8_t rop, const Paint& pat) {
    Rop3Plan plan;
    plan.code = rop;
    plan.src = rop_uses_src(rop);
    bool uses_pat = rop_uses_pat(rop);
    auto f = [rop](unsigned p, unsigned s, unsigned d) { return (unsigned(rop) >> (4 * p + 2 * s + d)) & 1u; };
    // Masks for one pattern bit value: {aa, ax, xa, xx}.
    auto masks = [&](unsigned p, uint32_t* out) {
        unsigned a0 = f(p, 0, 0) ^ f(p, 0, 1), a1 = f(p, 1, 0) ^ f(p, 1, 1);
        unsigned x0 = f(p, 0, 0), x1 = f(p, 1, 0);
        out[0] = ones(a0 ^ a1);
        out[1] = ones(a0);
        out[2] = ones(x0 ^ x1);
        out[3] = ones(x0);
    };
    masks(1, plan.m);
    masks(0, plan.m + 4);
    if (uses_pat && pat.type == Paint::Type::Tiled && pat.tile) {
        plan.pat = pat;
        plan.kind = Rop3Plan::Kind::Tiled;
        return plan;
    }
    // A solid pattern (a hollow brush counts as black) folds into constants.
    uint32_t p = pat.type == Paint::Type::Solid ? pat.color : 0;
    plan.aa = select(p, plan.m[0], plan.m[4]);
    plan.ax = select(p, plan.m[1], plan.m[5]);
    plan.xa = select(p, plan.m[2], plan.m[6]);
    plan.xx = select(p, plan.m[3], plan.m[7]);
    if (!plan.src) {
        plan.kind = Rop3Plan::Kind::Solid;  // (D & ax) ^ xx
        return plan;
    }
    switch (rop) {
        case 0xCC: plan.kind = Rop3Plan::Kind::Copy; break;  // SRCCOPY
        case 0x66: plan.kind = Rop3Plan::Kind::Xor; break;   // SRCINVERT
        case 0x88: plan.kind = Rop3Plan::Kind::And; break;   // SRCAND
        case 0xEE: plan.kind = Rop3Plan::Kind::Or; break;    // SRCPAINT
        default: plan.kind = Rop3Plan::Kind::Mix; break;
    }
    return plan;
}

void rop3_row(const Rop3Plan& plan, uint32_t* d, const uint32_t* s, int n, int dev_x, int dev_y) {
    if (n <= 0) return;
    if (plan.src && !s) return;
    switch (plan.kind) {
        case Rop3Plan::Kind::Nop: return;
        case Rop3Plan::Kind::Copy: std::memmove(d, s, size_t(n) * sizeof(uint32_t)); return;
        case Rop3Plan::Kind::Solid: mix_const(d, n, plan.ax, plan.xx); return;
        case Rop3Plan::Kind::Xor:
            for_lanes(n, [&](auto tag, int i) {
                using T = decltype(tag);
                store<T>(d + i, load<T>(d + i) ^ load<T>(s + i));
            });
            return;
        case Rop3Plan::Kind::And:
            for_lanes(n, [&](auto tag, int i) {
                using T = decltype(tag);
                store<T>(d + i, load<T>(d + i) & load<T>(s + i));
            });
            return;
        case Rop3Plan::Kind::Or:
            for_lanes(n, [&](auto tag, int i) {
                using T = decltype(tag);
                store<T>(d + i, load<T>(d + i) | load<T>(s + i));
            });
            return;
        case Rop3Plan::Kind::Mix: {
            const uint32_t aa = plan.aa, ax = plan.ax, xa = plan.xa, xx = plan.xx;
            for_lanes(n, [&](auto tag, int i) {
                using T = decltype(tag);
                T sv = load<T>(s + i);
                store<T>(d + i, (load<T>(d + i) & ((sv & aa) ^ ax)) ^ ((sv & xa) ^ xx));
            });
            return;
        }
        case Rop3Plan::Kind::Tiled: break;
    }
    // Pattern from a tile: the masks are chosen per pattern bit. Pixels the
    // tile leaves out (a transparent hatch's gaps) keep the destination.
    const Tile* t = plan.pat.tile.get();
    int ty = wrap(int64_t(dev_y) - plan.pat.org.y, t->h);
    const uint32_t* row = t->row(ty);
    const uint32_t* mrow = t->mask_row(ty);
    for (int off = wrap(int64_t(dev_x) - plan.pat.org.x, t->w), done = 0; done < n; off = 0) {
        int k = std::min(n - done, t->ew - off);
        const uint32_t* p = row + off;
        const uint32_t* mk = mrow ? mrow + off : nullptr;
        uint32_t* dd = d + done;
        const uint32_t* ss = s ? s + done : nullptr;
        if (ss && mk) rop3_pattern<true, true>(dd, ss, p, mk, k, plan.m);
        else if (ss) rop3_pattern<true, false>(dd, ss, p, nullptr, k, plan.m);
        else if (mk) rop3_pattern<false, true>(dd, nullptr, p, mk, k, plan.m);
        else rop3_pattern<false, false>(dd, nullptr, p, nullptr, k, plan.m);
        done += k;
    }
}

void rop3_span(uint32_t* dst, const uint32_t* src, int n, int dev_x, int dev_y, const Paint& pat, uint8_t rop) {
    rop3_row(plan_rop3(rop, pat), dst, src, n, dev_x, dev_y);
}

}  // namespace plat::gdi
