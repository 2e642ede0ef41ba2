// pixel_formats.cpp — the primitives of each storage format a DC can draw
// on in place: 32, 24 and 16 bpp (5-5-5 and 5-6-5) colour, 16 and 32 bpp
// with other bit fields (a format made per set of masks, which takes a
// lock once when a bitmap is selected), and 8, 4 and 1 bpp table indices. Each format reads and writes rows as device values,
// mixes solid spans and walks 1-px lines under a mix without leaving its
// own bits; everything else (patterns, raster operations, glyphs) edits a
// short run of device values through read and write (Target::edit_row).
//
// Storing keeps what a whole-bitmap copy stored back would have kept: a
// pixel whose kept bits do not change is not written (the spare top bit of
// a 5-5-5 pixel survives), one that changes gets the format's bits only.
// Bitwise mixes commute with keeping a channel's top bits, so mixing in the
// stored bits gives the same result as mixing widened values.
#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#include "gdi/gdi_internal.h"

namespace plat::gdi {

namespace {

// The other formats mix through the device value.
template <class F>
struct DeviceMix {
    struct Masks {
        uint32_t a, x;
    };
    static Masks masks(const PixelFormat&, uint32_t a, uint32_t x) { return Masks{a, x}; }
    static void mix_at(const PixelFormat& f, uint8_t* r, int x, const Masks& m) {
        F::put(f, r, x, (F::get(f, r, x) & m.a) ^ m.x);
    }
};

struct F32 : DeviceMix<F32> {
    static uint32_t get(const PixelFormat&, const uint8_t* r, int x) {
        uint32_t v;
        std::memcpy(&v, r + 4 * size_t(x), 4);
        return v;
    }
    static void put(const PixelFormat&, uint8_t* r, int x, uint32_t v) { std::memcpy(r + 4 * size_t(x), &v, 4); }
};

struct F24 : DeviceMix<F24> {
    static uint32_t get(const PixelFormat&, const uint8_t* r, int x) {
        const uint8_t* p = r + 3 * size_t(x);
        return p[0] | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
    }
    static void put(const PixelFormat&, uint8_t* r, int x, uint32_t v) {
        uint8_t* p = r + 3 * size_t(x);
        p[0] = uint8_t(v);
        p[1] = uint8_t(v >> 8);
        p[2] = uint8_t(v >> 16);
    }
};

// 16 bpp: each field keeps its channel's top bits; widening repeats them.
template <bool k565>
struct F16 {
    static constexpr uint32_t kKeep = k565 ? 0xFFFFu : 0x7FFFu;
    static uint32_t raw(const uint8_t* r, int x) { return r[2 * size_t(x)] | uint32_t(r[2 * size_t(x) + 1]) << 8; }
    static void store(uint8_t* r, int x, uint32_t p) {
        r[2 * size_t(x)] = uint8_t(p);
        r[2 * size_t(x) + 1] = uint8_t(p >> 8);
    }
    static uint32_t pack(uint32_t px) {
        uint32_t rr = px >> 16 & 0xFF, g = px >> 8 & 0xFF, b = px & 0xFF;
        if (k565) return (rr >> 3) << 11 | (g >> 2) << 5 | b >> 3;
        return (rr >> 3) << 10 | (g >> 3) << 5 | b >> 3;
    }
    static uint32_t expand(uint32_t v) {
        uint32_t rr, g, b;
        if (k565) {
            rr = v >> 11 & 31, g = v >> 5 & 63, b = v & 31;
            g = g << 2 | g >> 4;
        } else {
            rr = v >> 10 & 31, g = v >> 5 & 31, b = v & 31;
            g = g << 3 | g >> 2;
        }
        rr = rr << 3 | rr >> 2;
        b = b << 3 | b >> 2;
        return rr << 16 | g << 8 | b;
    }
    static uint32_t get(const PixelFormat&, const uint8_t* r, int x) { return expand(raw(r, x)); }
    static void put(const PixelFormat&, uint8_t* r, int x, uint32_t v) {
        const uint32_t p = pack(v), old = raw(r, x);
        if ((old & kKeep) != p) store(r, x, p);
    }
    // A mix in the stored fields: packing keeps chosen bits, so it distributes over & and ^.
    struct Masks {
        uint32_t a, x;
    };
    static Masks masks(const PixelFormat&, uint32_t a, uint32_t x) { return Masks{pack(a), pack(x)}; }
    static void mix_at(const PixelFormat&, uint8_t* r, int x, const Masks& m) {
        const uint32_t old = raw(r, x), nv = (old & m.a) ^ m.x;
        if ((old & kKeep) != nv) store(r, x, nv);
    }
};

// Any other masks (16 or 32 bpp): the format carries its fields. Bits
// outside the fields are kept while the pixel's fields stay the same.
template <int kBytes>
struct FField : DeviceMix<FField<kBytes>> {
    static uint32_t raw(const uint8_t* r, int x) {
        const uint8_t* p = r + kBytes * size_t(x);
        uint32_t v = p[0] | uint32_t(p[1]) << 8;
        if (kBytes == 4) v |= uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
        return v;
    }
    static uint32_t get(const PixelFormat& f, const uint8_t* r, int x) { return expand_fields(f.fields, raw(r, x)); }
    static void put(const PixelFormat& f, uint8_t* r, int x, uint32_t v) {
        const FieldLayout& fl = f.fields;
        const uint32_t p = pack_fields(fl, v), keep = field_bits(fl, 0) | field_bits(fl, 1) | field_bits(fl, 2);
        if ((raw(r, x) & keep) == p) return;
        uint8_t* d = r + kBytes * size_t(x);
        for (int i = 0; i < kBytes; ++i) d[i] = uint8_t(p >> (8 * i));
    }
};

struct F8 : DeviceMix<F8> {
    static uint32_t get(const PixelFormat&, const uint8_t* r, int x) { return r[x]; }
    static void put(const PixelFormat&, uint8_t* r, int x, uint32_t v) { r[x] = uint8_t(v); }
};

struct F4 : DeviceMix<F4> {
    static uint32_t get(const PixelFormat&, const uint8_t* r, int x) { return (r[x >> 1] >> ((x & 1) ? 0 : 4)) & 15u; }
    static void put(const PixelFormat&, uint8_t* r, int x, uint32_t v) {
        const unsigned k = v & 15;
        uint8_t& b = r[x >> 1];
        b = uint8_t((x & 1) ? (b & 0xF0) | k : (b & 0x0F) | (k << 4));
    }
};

struct F1 : DeviceMix<F1> {
    static uint32_t get(const PixelFormat&, const uint8_t* r, int x) { return (r[x >> 3] >> (7 - (x & 7))) & 1u; }
    static void put(const PixelFormat&, uint8_t* r, int x, uint32_t v) {
        const uint8_t bit = uint8_t(0x80 >> (x & 7));
        if (v & 1) r[x >> 3] |= bit;
        else r[x >> 3] &= uint8_t(~bit);
    }
};

template <class F>
void read_row(const PixelFormat& f, const uint8_t* r, int x, int n, uint32_t* out) {
    for (int i = 0; i < n; ++i) out[i] = F::get(f, r, x + i);
}
template <>
void read_row<F32>(const PixelFormat&, const uint8_t* r, int x, int n, uint32_t* out) {
    std::memcpy(out, r + 4 * size_t(x), size_t(n) * 4);
}

template <class F>
void write_row(const PixelFormat& f, uint8_t* r, int x, int n, const uint32_t* in) {
    for (int i = 0; i < n; ++i) F::put(f, r, x + i, in[i]);
}
template <>
void write_row<F32>(const PixelFormat&, uint8_t* r, int x, int n, const uint32_t* in) {
    std::memcpy(r + 4 * size_t(x), in, size_t(n) * 4);
}

// d = (d & a) ^ xr pixel by pixel through the device value: exact for any format.
template <class F>
void mix_generic(const PixelFormat& f, uint8_t* r, int x, int n, uint32_t a, uint32_t xr) {
    for (int i = x; i < x + n; ++i) F::put(f, r, i, (F::get(f, r, i) & a) ^ xr);
}

void mix_32(const PixelFormat&, uint8_t* r, int x, int n, uint32_t a, uint32_t xr) {
    uint32_t* d = reinterpret_cast<uint32_t*>(r) + x;
    if (a == 0) {
        for (int i = 0; i < n; ++i) d[i] = xr;
        return;
    }
    for (int i = 0; i < n; ++i) d[i] = (d[i] & a) ^ xr;
}

void mix_24(const PixelFormat&, uint8_t* r, int x, int n, uint32_t a, uint32_t xr) {
    uint8_t* p = r + 3 * size_t(x);
    const uint8_t a0 = uint8_t(a), a1 = uint8_t(a >> 8), a2 = uint8_t(a >> 16);
    const uint8_t x0 = uint8_t(xr), x1 = uint8_t(xr >> 8), x2 = uint8_t(xr >> 16);
    if ((a & 0xFFFFFFu) == 0) {
        if (x0 == x1 && x1 == x2) {
            std::memset(p, x0, size_t(n) * 3);
            return;
        }
        for (int i = 0; i < n; ++i, p += 3) p[0] = x0, p[1] = x1, p[2] = x2;
        return;
    }
    for (int i = 0; i < n; ++i, p += 3) {
        p[0] = uint8_t((p[0] & a0) ^ x0);
        p[1] = uint8_t((p[1] & a1) ^ x1);
        p[2] = uint8_t((p[2] & a2) ^ x2);
    }
}

// In the stored fields: packing keeps chosen bits, so it distributes over & and ^.
template <bool k565>
void mix_16(const PixelFormat&, uint8_t* r, int x, int n, uint32_t a, uint32_t xr) {
    using F = F16<k565>;
    const uint16_t pa = uint16_t(F::pack(a)), px = uint16_t(F::pack(xr));
    uint8_t* p = r + 2 * size_t(x);
    for (int i = 0; i < n; ++i, p += 2) {
        uint16_t v;
        std::memcpy(&v, p, 2);
        const uint16_t nv = uint16_t((v & pa) ^ px);
        if (k565) std::memcpy(p, &nv, 2);
        else if ((v & F::kKeep) != nv) std::memcpy(p, &nv, 2);
    }
}

void mix_8(const PixelFormat&, uint8_t* r, int x, int n, uint32_t a, uint32_t xr) {
    uint8_t* p = r + x;
    const uint8_t a8 = uint8_t(a), x8 = uint8_t(xr);
    if (a8 == 0) {
        std::memset(p, x8, size_t(n));
        return;
    }
    for (int i = 0; i < n; ++i) p[i] = uint8_t((p[i] & a8) ^ x8);
}

// Packed formats: the odd pixels at either end one by one, whole bytes between.
template <class F, int kPerByte>
void mix_packed(const PixelFormat& f, uint8_t* r, int x, int n, uint32_t a, uint32_t xr) {
    const int end = x + n;
    while (x < end && x % kPerByte) F::put(f, r, x, (F::get(f, r, x) & a) ^ xr), ++x;
    const int full_end = end - end % kPerByte;
    if (x < full_end) {
        const uint32_t bits = 8 / kPerByte, field = (1u << bits) - 1;
        uint8_t a8 = 0, x8 = 0;
        for (int k = 0; k < kPerByte; ++k) {
            a8 = uint8_t(a8 << bits | (a & field));
            x8 = uint8_t(x8 << bits | (xr & field));
        }
        uint8_t* p = r + x / kPerByte;
        const int bytes = (full_end - x) / kPerByte;
        if (a8 == 0) std::memset(p, x8, size_t(bytes));
        else
            for (int i = 0; i < bytes; ++i) p[i] = uint8_t((p[i] & a8) ^ x8);
        x = full_end;
    }
    while (x < end) F::put(f, r, x, (F::get(f, r, x) & a) ^ xr), ++x;
}

template <class F>
void mix_line(const Canvas& c, const LineRun& run, uint32_t a, uint32_t xr) {
    const PixelFormat& fmt = *c.fmt;
    const typename F::Masks m = F::masks(fmt, a, xr);
    int64_t x = run.x, f = run.f;
    uint8_t* row = c.row(int(run.y));
    const ptrdiff_t major_row = run.major_dy * c.pitch, minor_row = run.minor_dy * c.pitch;
    for (int64_t i = 0; i < run.n; ++i) {
        F::mix_at(fmt, row, int(x), m);
        if (f > 0) {
            x += run.minor_dx;
            row += minor_row;
            f += run.diag;
        } else {
            f += run.straight;
        }
        x += run.major_dx;
        row += major_row;
    }
}

// Glyph coverage: 255 stores the colour, 0 leaves the pixel, anything
// between moves each channel of the device value towards the colour.
// Table indices do not blend: a pixel at least half covered takes the
// colour's index, any other is left.
template <class F>
void glyph_row(const PixelFormat& f, uint8_t* r, int x, int n, const uint8_t* cov, uint32_t c) {
    if (f.bpp <= 8) {
        for (int i = 0; i < n; ++i)
            if (cov[i] >= 128) F::put(f, r, x + i, c);
        return;
    }
    const int cr = int((c >> 16) & 0xFF), cg = int((c >> 8) & 0xFF), cb = int(c & 0xFF);
    for (int i = 0; i < n; ++i) {
        const int k = cov[i];
        if (k == 0) continue;
        if (k == 255) {
            F::put(f, r, x + i, c);
            continue;
        }
        const uint32_t d = F::get(f, r, x + i);
        int dr = int((d >> 16) & 0xFF), dg = int((d >> 8) & 0xFF), db = int(d & 0xFF);
        dr += ((cr - dr) * k) / 255;
        dg += ((cg - dg) * k) / 255;
        db += ((cb - db) * k) / 255;
        F::put(f, r, x + i, (uint32_t(dr) << 16) | (uint32_t(dg) << 8) | uint32_t(db));
    }
}

template <class F>
constexpr PixelFormat make_format(int bpp,
                                  void (*mix)(const PixelFormat&, uint8_t*, int, int, uint32_t, uint32_t)) {
    return PixelFormat{bpp, &read_row<F>, &write_row<F>, mix, &mix_line<F>, &glyph_row<F>, FieldLayout{}};
}

const PixelFormat kFormat32 = make_format<F32>(32, &mix_32);
const PixelFormat kFormat24 = make_format<F24>(24, &mix_24);
const PixelFormat kFormat555 = make_format<F16<false>>(16, &mix_16<false>);
const PixelFormat kFormat565 = make_format<F16<true>>(16, &mix_16<true>);
const PixelFormat kFormat8 = make_format<F8>(8, &mix_8);
const PixelFormat kFormat4 = make_format<F4>(4, &mix_packed<F4, 2>);
const PixelFormat kFormat1 = make_format<F1>(1, &mix_packed<F1, 8>);
const PixelFormat kFields16 = make_format<FField<2>>(16, &mix_generic<FField<2>>);
const PixelFormat kFields32 = make_format<FField<4>>(32, &mix_generic<FField<4>>);

// Formats for masks other than the built-in ones, made once per set of
// masks and kept for the life of the process (programs use a handful).
const PixelFormat* fields_format(int bpp, const FieldLayout& fl) {
    static std::mutex m;
    static std::vector<std::unique_ptr<PixelFormat>> made;
    std::lock_guard<std::mutex> lock(m);
    for (const auto& f : made)
        if (f->bpp == bpp && std::equal(fl.mask, fl.mask + 3, f->fields.mask)) return f.get();
    made.push_back(std::make_unique<PixelFormat>(bpp == 16 ? kFields16 : kFields32));
    made.back()->fields = fl;
    return made.back().get();
}

}  // namespace

const PixelFormat& format_32bpp() { return kFormat32; }

const PixelFormat* pixel_format_of(const Bitmap* bm) {
    if (!bm || !bm->bits) return nullptr;
    if (bm->bpp == 32) return bm->masked32() ? fields_format(32, bm->fields) : &kFormat32;
    if (direct_dib(bm)) {
        if (bm->bpp == 24) return &kFormat24;
        if (bm->has_masks(0xF800, 0x07E0, 0x001F)) return &kFormat565;
        if (bm->has_masks(0x7C00, 0x03E0, 0x001F)) return &kFormat555;
        return fields_format(16, bm->fields);
    }
    if (!indexed_bitmap(bm)) return nullptr;
    return bm->bpp == 8 ? &kFormat8 : bm->bpp == 4 ? &kFormat4 : &kFormat1;
}

bool bitmap_canvas(const Bitmap& bm, const PixelFormat* fmt, Canvas* out) {
    if (!fmt || !bm.bits) return false;
    out->fmt = fmt;
    out->width = bm.width;
    out->height = bm.height;
    out->row0 = bm.row_bytes(0);
    out->pitch = bm.top_down ? bm.stride : -ptrdiff_t(bm.stride);
    return true;
}

}  // namespace plat::gdi
