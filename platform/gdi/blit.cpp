// blit.cpp — block transfers and pixels: PatBlt, BitBlt, StretchBlt with
// ternary raster operations, SetPixel and GetPixel.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>

#include "gdi/draw_internal.h"

using namespace plat::gdi;

// ---------------------------------------------------------------- block transfers

namespace plat::gdi {
void rop_fill(Target& t, const RECT& d, const Paint& pat, uint8_t rop) {
    const Rop3Plan plan = plan_rop3(rop, pat);
    if (plan.kind == Rop3Plan::Kind::Nop) return;
    for (const RECT& c : t.clip) {
        int x0 = std::max(d.left, c.left), x1 = std::min(d.right, c.right);
        int y0 = std::max(d.top, c.top), y1 = std::min(d.bottom, c.bottom);
        if (x0 >= x1 || y0 >= y1) continue;
        t.touch(x0, y0, x1, y1);
        for (int y = y0; y < y1; ++y) {
            if (plan.kind == Rop3Plan::Kind::Solid) {
                t.mix_span(y, x0, x1 - x0, plan.ax, plan.xx);
                continue;
            }
            t.edit_row(y, x0, x1 - x0, [&](uint32_t* px, int n, int col) { rop3_row(plan, px, nullptr, n, col, y); });
        }
    }
}
}  // namespace plat::gdi

BOOL WINAPI PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop) {
    uint8_t code = uint8_t(rop >> 16);
    if (rop_uses_src(code)) return FALSE;
    DrawCall call(hdc);
    if (!call.ready()) return call.result();
    const std::shared_ptr<DC>& dc = call.dc();
    Target& t = call.target();
    DCState& st = call.dc()->st;
    Paint pat = brush_paint(*dc);
    if (rop_uses_pat(code) && pat.type == Paint::Type::None) return TRUE;  // hollow brush paints nothing
    rop_fill(t, blt_rect(st, x, y, w, h), pat, code);
    return TRUE;
}

// Source pixels for a blit: a 32-bpp surface read in place, or any other
// bitmap expanded row by row (a monochrome bitmap without a colour table to
// the destination's text colour for 0 bits and background colour for 1 bits).
// Onto an indexed bitmap the colours become its table indices: on 8 bpp each
// channel is first reduced to 5 bits and taken at the middle of its step
// (c & 0xF8 | 4), on fewer bits the colour is matched as it is.
struct Source {
    Canvas canvas;  // a surface read in place
    Surface surf;   // the same when it holds 32-bit pixels
    const Bitmap* other = nullptr;
    bool ddb_mono = false;               // c0 / c1 are already destination values
    bool same_table = false;             // indexed source with the destination's depth and table
    const Bitmap* to_index = nullptr;    // indexed destination
    std::vector<int16_t> index_cache;    // 8 bpp: by 15-bit colour, -1 unknown
    uint32_t c0 = 0, c1 = 0;
    int width = 0, height = 0;
    std::vector<uint32_t> tmp;
    const uint32_t* row(int y, int x, int n) {
        const uint32_t* p;
        if (!other) {
            if (surf.base) {
                p = surf.row(y) + x;
                if (!to_index) return p;
                tmp.assign(p, p + n);
            } else {
                tmp.resize(size_t(n));
                canvas.fmt->read_row(canvas.row(y), x, n, tmp.data());
                if (!to_index) return tmp.data();
            }
        } else {
            tmp.resize(size_t(n));
            if (same_table) {
                // Same depth and colour table as the destination: the indices themselves.
                const uint8_t* r = other->row_bytes(y);
                for (int i = 0; i < n; ++i) {
                    int xx = x + i;
                    tmp[size_t(i)] = other->bpp == 8   ? r[xx]
                                     : other->bpp == 4 ? (r[xx >> 1] >> ((xx & 1) ? 0 : 4)) & 15u
                                                       : (r[xx >> 3] >> (7 - (xx & 7))) & 1u;
                }
                return tmp.data();
            }
            read_bitmap_row(*other, y, x, n, tmp.data(), c0, c1);
            if (!to_index || ddb_mono) return tmp.data();
            if (other->bpp <= 8) {
                // Table colours are matched as they are.
                for (uint32_t& v : tmp) v = nearest_index(*to_index, v);
                return tmp.data();
            }
        }
        for (uint32_t& v : tmp) v = index_of(v);
        return tmp.data();
    }
    bool by_bk = false;      // onto a monochrome bitmap: 1 where the colour is the source's background
    uint32_t src_bk = 0;
    uint32_t index_of(uint32_t v) {
        if (by_bk) return (v & 0x00FFFFFFu) == src_bk ? 1u : 0u;
        if (to_index->bpp != 8) return nearest_index(*to_index, v);
        uint32_t k = (v >> 9 & 0x7C00) | (v >> 6 & 0x03E0) | (v >> 3 & 0x001F);
        if (index_cache.empty()) index_cache.assign(32768, int16_t(-1));
        if (index_cache[k] < 0) {
            uint32_t mid = (v & 0x00F8F8F8u) | 0x00040404u;
            index_cache[k] = int16_t(nearest_index(*to_index, mid));
        }
        return uint32_t(index_cache[k]);
    }
};

static bool open_source(DC& src, Target& st, const DCState& dst_state, Source* out) {
    if (indexed_bitmap(dst_state.bitmap.get())) out->to_index = dst_state.bitmap.get();
    // Colours onto a monochrome bitmap (not a DIB section): the source DC's
    // background colour becomes 1 (white), every other colour 0.
    if (out->to_index && !out->to_index->dib) {
        out->by_bk = true;
        out->src_bk = to_pixel(palette_colour(src.st, src.st.bk));
        // A 16-bpp source is compared with its background as the fields store it.
        const Bitmap* sb = src.dc_kind == DCKind::Memory ? src.st.bitmap.get() : nullptr;
        if (sb && direct_dib(sb) && has_fields(*sb)) out->src_bk = quantise_fields(*sb, out->src_bk);
    }
    // An indexed source is read from its bitmap as colours (its drawing copy holds indices).
    if (st.ok() && !(src.dc_kind == DCKind::Memory && indexed_bitmap(src.st.bitmap.get()))) {
        out->canvas = st.canvas;
        out->surf = st.surf;
        out->width = st.width();
        out->height = st.height();
        return true;
    }
    if (src.dc_kind == DCKind::Memory && src.st.bitmap && src.st.bitmap->bits) {
        out->other = src.st.bitmap.get();
        out->width = out->other->width;
        out->height = out->other->height;
        out->ddb_mono = out->other->bpp == 1 && !(out->other->dib && out->other->palette.size() >= 2);
        out->c0 = device_colour(dst_state, dst_state.text);
        out->c1 = device_colour(dst_state, dst_state.bk);
        if (out->ddb_mono && out->by_bk) out->c0 = 0, out->c1 = 1;  // monochrome to monochrome: the bits
        const Bitmap* b = out->other;
        const Bitmap* d = out->to_index;
        if (d && indexed_bitmap(b) && b->dib && d->dib && b->bpp == d->bpp && b->palette.size() == d->palette.size() &&
            std::memcmp(b->palette.data(), d->palette.data(), b->palette.size() * sizeof(RGBQUAD)) == 0)
            out->same_table = true;
        return true;
    }
    return false;
}

// Where a blit that reads a source takes its pattern from, matching the
// reference GDI (measured for every code over uniform sources and
// destinations, colour and monochrome sources alike). Most codes that combine
// the pattern with the source first (MERGECOPY, PATPAINT, ...) place it from a
// shifted origin: the brush origin plus twice the top-left corner of the
// destination rectangle after clipping to the source bitmap and to the bounds
// of the clip, less twice the source x for a colour source of the
// destination's extent on another surface. The other codes keep the brush
// origin. A few use both placements: per bit, the pattern at the brush origin
// chooses between two codes applied with the pattern at the shifted origin.
namespace {
struct PatternRoute {
    enum class Kind : uint8_t { Origin, Shifted, Both } kind = Kind::Origin;
    uint8_t on = 0, off = 0;  // Both: codes for pattern bit 1 and 0 at the brush origin
};

PatternRoute pattern_route(uint8_t code) {
    static const uint64_t shifted[4] = {0x900105D10AB0100EULL, 0xE46444B07AD62422ULL,  // codes 0x00..0x7F
                                        0xC4246B4C0D622607ULL, 0x18080D500EA08409ULL};  // codes 0x80..0xFF
    static const uint8_t both[][3] = {
        {0x16, 0x19, 0xE6}, {0x18, 0x14, 0x28}, {0x1A, 0x15, 0xEA}, {0x25, 0x2A, 0xD5}, {0x29, 0x26, 0xD9},
        {0x2B, 0x27, 0x1B}, {0x4E, 0x41, 0xBE}, {0x58, 0x57, 0xA8}, {0x6B, 0x64, 0x9B}, {0x85, 0x8A, 0x75},
        {0x94, 0x9B, 0x64}, {0x97, 0x98, 0x67}, {0xA1, 0xAE, 0x51}, {0xA4, 0xAB, 0x54}, {0xA7, 0xA8, 0x57},
        {0xB1, 0xBE, 0x41}, {0xD4, 0xD8, 0xE4}, {0xD6, 0xD9, 0x26}, {0xD8, 0xD7, 0x28}, {0xE5, 0xEA, 0x15},
        {0xE7, 0xEB, 0xD7}};
    PatternRoute r;
    if ((shifted[code >> 6] >> (code & 63)) & 1) r.kind = PatternRoute::Kind::Shifted;
    for (const auto& b : both)
        if (b[0] == code) r = PatternRoute{PatternRoute::Kind::Both, b[1], b[2]};
    return r;
}

// First destination offset (from the rectangle's start) whose source lies at
// or after 0 when `ext_d` destination pixels map `ext_s` source pixels from `s0`.
int64_t first_inside(int64_t s0, int64_t ext_s, int64_t ext_d) {
    if (s0 >= 0) return 0;
    return (-s0 * ext_d + ext_s - 1) / ext_s;
}
}  // namespace

// The source columns (or rows) a stretched destination column takes, as
// positions in the source bitmap, a > b when none lies inside it. Index j
// counts from the destination rectangle's start, and the source index from
// the source rectangle's start, each along its own direction. Growing (or
// equal), index j takes source (j·as + (as − 1) div 2) div ad. Shrinking,
// source index k falls on (k·ad + (ad − 1) div 2) div as and j takes the
// run of source indices that fall on it: all of them merged (AND or OR) in
// the BLACKONWHITE and WHITEONBLACK modes, otherwise the last one of a
// column's run and the first one of a row's.
struct SourceRun {
    int a, b;
};
static SourceRun source_run(int64_t j, int64_t as, int64_t ad, int64_t start, bool mirror, int merge, int limit,
                            bool column) {
    int64_t ka, kb;
    if (as <= ad) {
        ka = kb = (j * as + (as - 1) / 2) / ad;
    } else {
        auto last = [&](int64_t i) { return ((i + 1) * as - (ad - 1) / 2 + ad - 1) / ad - 1; };
        kb = last(j);
        ka = j > 0 ? last(j - 1) + 1 : 0;
        if (merge == COLORONCOLOR) {
            if (column) ka = kb;
            else kb = ka;
        }
    }
    int64_t pa = mirror ? start + as - 1 - kb : start + ka, pb = mirror ? start + as - 1 - ka : start + kb;
    pa = std::max<int64_t>(pa, 0);
    pb = std::min<int64_t>(pb, int64_t(limit) - 1);
    if (pa > pb) return SourceRun{1, 0};
    return SourceRun{int(pa), int(pb)};
}

static BOOL stretch_blt(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc, int ySrc,
                        int wSrc, int hSrc, DWORD rop) {
    uint8_t code = uint8_t(rop >> 16);
    if (!rop_uses_src(code)) return PatBlt(hdcDest, xDest, yDest, wDest, hDest, rop);
    auto dc = get_dc(hdcDest);
    auto sdc = get_dc(hdcSrc);
    if (!dc || !sdc) return FALSE;
    // The same DC (or two DCs of one window) as source and destination
    // shares one lock; surfaces of two windows are locked in a fixed order.
    bool both_windows = sdc->dc_kind == DCKind::Window && dc->dc_kind == DCKind::Window;
    bool shared = sdc == dc || (both_windows && sdc->hwnd == dc->hwnd);
    std::unique_ptr<Target> own_dst, own_src;
    if (!shared && both_windows && std::less<void*>()(sdc->hwnd, dc->hwnd)) {
        own_src.reset(new Target(*sdc));
        own_dst.reset(new Target(*dc));
    } else {
        own_dst.reset(new Target(*dc));
        if (!shared) own_src.reset(new Target(*sdc));
    }
    Target& t = *own_dst;
    if (!t.ok()) return t.screen() ? TRUE : FALSE;
    Target* ts = shared ? &t : own_src.get();
    Source src;
    if (!open_source(*sdc, *ts, dc->st, &src)) return ts->screen() ? TRUE : FALSE;
    Rop3Plan plan = plan_rop3(code, rop_uses_pat(code) ? brush_paint(*dc) : Paint{});
    // Device rectangles; a negative extent mirrors. Extents are worked out in
    // 64 bits: device coordinates lie within +-1e9, their differences do not
    // fit an int.
    POINT d0 = to_device(dc->st, xDest, yDest), d1 = to_device(dc->st, clamp_sum(xDest, wDest), clamp_sum(yDest, hDest));
    POINT s0 = to_device(sdc->st, xSrc, ySrc), s1 = to_device(sdc->st, clamp_sum(xSrc, wSrc), clamp_sum(ySrc, hSrc));
    int64_t dw = int64_t(d1.x) - d0.x, dh = int64_t(d1.y) - d0.y;
    int64_t sw = int64_t(s1.x) - s0.x, sh = int64_t(s1.y) - s0.y;
    // A mirrored destination that keeps the bitmap's orientation is filled
    // left to right from its mirrored corners, one column left of the
    // mirrored rectangle (as the reference does).
    if (blit_keeps_orientation(dc->st, rop) && dw < 0) {
        d0.x = LONG(d0.x + dw);
        dw = -dw;
    }
    if (dw == 0 || dh == 0 || sw == 0 || sh == 0) return TRUE;
    bool flip_x = (dw < 0) != (sw < 0), flip_y = (dh < 0) != (sh < 0);
    // A rectangle with a negative extent keeps its starting column (or row)
    // and runs back from it: (x + w, x] rather than [x + w, x). BitBlt is
    // StretchBlt with the source extent equal to the logical destination
    // extent, so a transform on either DC can still stretch it.
    const int shift = 1;
    int64_t dl = dw < 0 ? d0.x + dw + shift : d0.x, dt = dh < 0 ? d0.y + dh + shift : d0.y;
    int64_t adw = dw < 0 ? -dw : dw, adh = dh < 0 ? -dh : dh;
    int64_t sl = sw < 0 ? s0.x + sw + shift : s0.x, stp = sh < 0 ? s0.y + sh + shift : s0.y;
    int64_t asw = sw < 0 ? -sw : sw, ash = sh < 0 ? -sh : sh;
    bool mirror_sx = sw < 0, mirror_dx = dw < 0, mirror_sy = sh < 0, mirror_dy = dh < 0;
    bool same = src.canvas.row0 && src.canvas.row0 == t.canvas.row0;
    // Copy the source rectangle first when it is the destination's own surface.
    std::vector<uint32_t> snapshot;
    Surface snap;
    if (same) {
        int x0 = int(std::max<int64_t>(sl, 0)), y0 = int(std::max<int64_t>(stp, 0));
        int x1 = int(std::min<int64_t>(sl + asw, src.width)), y1 = int(std::min<int64_t>(stp + ash, src.height));
        if (x0 < x1 && y0 < y1) {
            snapshot.resize(size_t(src.width) * size_t(y1 - y0));
            for (int y = y0; y < y1; ++y)
                src.canvas.fmt->read_row(src.canvas.row(y), x0, x1 - x0, &snapshot[size_t(y - y0) * src.width + x0]);
            snap.base = snapshot.data() - ptrdiff_t(y0) * src.width;
            snap.stride = src.width;
            snap.width = src.width;
            snap.height = src.height;
            src.surf = snap;
            src.canvas.row0 = reinterpret_cast<uint8_t*>(snap.base);
            src.canvas.pitch = ptrdiff_t(src.width) * 4;
            src.canvas.fmt = &format_32bpp();
        }
    }
    // Pattern placement (see pattern_route): the shifted origin, and for codes
    // that use both placements their two codes and the plain pattern.
    Rop3Plan plan_on, plan_off, plan_pat;
    PatternRoute route;
    if (plan.kind == Rop3Plan::Kind::Tiled && !t.clip.empty()) route = pattern_route(code);
    if (route.kind != PatternRoute::Kind::Origin) {
        int64_t cx = dl, cy = dt, bl = t.clip[0].left, bt = t.clip[0].top;
        for (const RECT& c : t.clip) bl = std::min<int64_t>(bl, c.left), bt = std::min<int64_t>(bt, c.top);
        if (!flip_x) cx += first_inside(sl, asw, adw);
        if (!flip_y) cy += first_inside(stp, ash, adh);
        cx = std::max(cx, bl);
        cy = std::max(cy, bt);
        // A source of the destination's own format is read in place; any
        // other is first converted into a copy starting at column 0.
        auto depth = [](const DC& d) -> const void* {
            if (d.dc_kind != DCKind::Memory || !d.st.bitmap) return &format_32bpp();
            return d.st.format ? static_cast<const void*>(d.st.format) : d.st.bitmap.get();
        };
        bool same_format = depth(*sdc) == depth(*dc) && (!src.to_index || src.same_table);
        bool colour_same_size = same_format && !same && asw == adw && ash == adh;
        auto wrap = [](int64_t v, int n) { return LONG((v % n + n) % n); };
        Paint shifted = plan.pat;
        shifted.org.x = wrap(plan.pat.org.x + (colour_same_size ? 2 * (dl - sl) : 2 * cx), shifted.tile->w);
        shifted.org.y = wrap(plan.pat.org.y + 2 * cy, shifted.tile->h);
        if (route.kind == PatternRoute::Kind::Shifted) {
            plan.pat = shifted;
        } else {
            plan_on = plan_rop3(route.on, shifted);
            plan_off = plan_rop3(route.off, shifted);
            plan_pat = plan_rop3(0xF0, plan.pat);
        }
    }
    std::vector<uint32_t> on_buf, off_buf, pat_buf;
    auto apply = [&](uint32_t* d, const uint32_t* s, int n, int x, int y) {
        if (route.kind != PatternRoute::Kind::Both) return rop3_row(plan, d, s, n, x, y);
        on_buf.assign(d, d + n);
        off_buf.assign(d, d + n);
        pat_buf.assign(size_t(n), 0);
        rop3_row(plan_on, on_buf.data(), s, n, x, y);
        rop3_row(plan_off, off_buf.data(), s, n, x, y);
        rop3_row(plan_pat, pat_buf.data(), nullptr, n, x, y);
        for (size_t i = 0; i < size_t(n); ++i) d[i] = (pat_buf[i] & on_buf[i]) | (~pat_buf[i] & off_buf[i]);
    };
    std::vector<uint32_t> rowbuf, merged;
    // Shrinking merges source pixels in the AND and OR modes; HALFTONE picks one as COLORONCOLOR does.
    int merge = dc->st.stretch_mode == BLACKONWHITE || dc->st.stretch_mode == WHITEONBLACK ? dc->st.stretch_mode
                                                                                            : COLORONCOLOR;
    for (const RECT& c : t.clip) {
        int x0 = int(std::max<int64_t>(dl, c.left)), x1 = int(std::min<int64_t>(dl + adw, c.right));
        int y0 = int(std::max<int64_t>(dt, c.top)), y1 = int(std::min<int64_t>(dt + adh, c.bottom));
        if (x0 >= x1 || y0 >= y1) continue;
        if (plan.kind == Rop3Plan::Kind::Copy && t.direct() && src.surf.base && !src.other && !src.to_index && !flip_x &&
            !flip_y && asw == adw && ash == adh &&
            x0 == 0 && x1 == t.surf.width && dl == sl && dt - stp <= y0 && y1 - (dt - stp) <= src.height &&
            src.width == t.surf.width && t.surf.stride == t.surf.width && src.surf.stride == src.width) {
            // Whole rows of two top-down surfaces of one width, not shifted
            // sideways: the rows are one run of memory.
            t.touch(x0, y0, x1, y1);
            std::memmove(t.surf.row(y0), src.surf.row(int(y0 - (dt - stp))), size_t(y1 - y0) * size_t(x1) * 4);
            continue;
        }
        if (!flip_x && !flip_y && asw == adw && ash == adh) {
            // Same size: row for row, the run whose source lies inside the source bitmap.
            for (int y = y0; y < y1; ++y) {
                int64_t sy = stp + (y - dt);
                if (sy < 0 || sy >= src.height) continue;  // outside the source: left unchanged
                int a = int(std::max<int64_t>(x0, dl - sl)), b = int(std::min<int64_t>(x1, dl - sl + src.width));
                if (a >= b) continue;
                const uint32_t* s = src.row(int(sy), int(sl + (a - dl)), b - a);
                t.touch(a, y, b, y + 1);
                t.edit_row(y, a, b - a, [&](uint32_t* d, int n, int col) { apply(d, s + (col - a), n, col, y); });
            }
            continue;
        }
        // Stretched or mirrored: each destination column and row takes a run
        // of source columns and rows (see source_run), clipped to the source
        // bitmap; a destination pixel with nothing inside is left unchanged.
        std::vector<int> col_a(size_t(x1 - x0)), col_b(size_t(x1 - x0));
        int sx_min = INT32_MAX, sx_max = -1;
        for (int x = x0; x < x1; ++x) {
            int64_t j = x - dl;
            if (mirror_dx) j = adw - 1 - j;
            SourceRun r = source_run(j, asw, adw, sl, mirror_sx, merge, src.width, true);
            col_a[size_t(x - x0)] = r.a;
            col_b[size_t(x - x0)] = r.b;
            if (r.a <= r.b) sx_min = std::min(sx_min, r.a), sx_max = std::max(sx_max, r.b);
        }
        if (sx_min > sx_max) continue;
        rowbuf.resize(size_t(x1 - x0));
        merged.resize(size_t(sx_max - sx_min + 1));
        for (int y = y0; y < y1; ++y) {
            int64_t j = y - dt;
            if (mirror_dy) j = adh - 1 - j;
            SourceRun ry = source_run(j, ash, adh, stp, mirror_sy, merge, src.height, false);
            if (ry.a > ry.b) continue;
            const uint32_t* line;
            if (ry.a == ry.b) {
                line = src.row(ry.a, sx_min, sx_max - sx_min + 1);
            } else {
                const uint32_t* first = src.row(ry.a, sx_min, sx_max - sx_min + 1);
                std::copy(first, first + merged.size(), merged.begin());
                for (int sy = ry.a + 1; sy <= ry.b; ++sy) {
                    const uint32_t* more = src.row(sy, sx_min, sx_max - sx_min + 1);
                    for (size_t i = 0; i < merged.size(); ++i)
                        merged[i] = merge == BLACKONWHITE ? merged[i] & more[i] : merged[i] | more[i];
                }
                line = merged.data();
            }
            int n = 0, start = -1;
            auto flush = [&](int end) {
                if (start < 0) return;
                t.touch(start, y, end, y + 1);
                const int from = start;
                t.edit_row(y, from, end - from,
                           [&](uint32_t* d, int k, int col) { apply(d, rowbuf.data() + (col - from), k, col, y); });
                start = -1;
                n = 0;
            };
            for (int x = x0; x < x1; ++x) {
                int a = col_a[size_t(x - x0)], b = col_b[size_t(x - x0)];
                if (a > b) {
                    flush(x);
                    continue;
                }
                if (start < 0) start = x;
                uint32_t v = line[a - sx_min];
                for (int k = a + 1; k <= b; ++k) v = merge == BLACKONWHITE ? v & line[k - sx_min] : v | line[k - sx_min];
                rowbuf[size_t(n++)] = v;
            }
            flush(x1);
        }
    }
    return TRUE;
}

BOOL WINAPI BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop) {
    return stretch_blt(hdc, x, y, cx, cy, hdcSrc, x1, y1, cx, cy, rop);
}

BOOL WINAPI StretchBlt(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc, int ySrc,
                       int wSrc, int hSrc, DWORD rop) {
    return stretch_blt(hdcDest, xDest, yDest, wDest, hDest, hdcSrc, xSrc, ySrc, wSrc, hSrc, rop);
}

// ---------------------------------------------------------------- pixels

// The pixel a logical point names, or null when it is outside the surface
// or the clip. A memory DC's bitmap is read directly (no surface lock to take).
static uint32_t* pixel_at(DC& dc, Target* t, int x, int y) {
    POINT p = to_device(dc.st, x, y);
    if (t) return t->ok() && t->in_clip(p.x, p.y) ? t->surf.row(p.y) + p.x : nullptr;
    Surface s;
    if (!dc.st.bitmap || !bitmap_surface(*dc.st.bitmap, &s)) return nullptr;
    if (p.x < 0 || p.y < 0 || p.x >= s.width || p.y >= s.height) return nullptr;
    if (dc.st.has_clip) {
        bool inside = false;
        for (const RECT& c : dc.st.clip)
            if (p.x >= c.left && p.x < c.right && p.y >= c.top && p.y < c.bottom) {
                inside = true;
                break;
            }
        if (!inside) return nullptr;
    }
    return s.row(p.y) + p.x;
}

// A memory DC's bitmap of another format (16 or 24 bpp, 32 bpp with fields, a colour table): the
// device point a logical one names, false when outside the bitmap or clip.
static const Bitmap* other_depth_point(DC& dc, int x, int y, POINT* p) {
    const Bitmap* bm = dc.dc_kind == DCKind::Memory ? dc.st.bitmap.get() : nullptr;
    if (!bm || !bm->bits || (bm->bpp == 32 && !bm->masked32()) || !(direct_dib(bm) || indexed_bitmap(bm))) return nullptr;
    *p = to_device(dc.st, x, y);
    if (p->x < 0 || p->y < 0 || p->x >= bm->width || p->y >= bm->height) return nullptr;
    if (dc.st.has_clip) {
        bool inside = false;
        for (const RECT& c : dc.st.clip)
            if (p->x >= c.left && p->x < c.right && p->y >= c.top && p->y < c.bottom) inside = true;
        if (!inside) return nullptr;
    }
    return bm;
}

// SetPixel stores the colour itself: its top byte is 0 whatever was there.
// On a bitmap with a colour table it stores the nearest entry (DIBINDEX: the
// index given) and returns that entry's colour.
COLORREF WINAPI SetPixel(HDC hdc, int x, int y, COLORREF color) {
    auto dc = get_dc(hdc);
    if (!dc) return CLR_INVALID;
    POINT dp;
    const COLORREF rgb = palette_colour(dc->st, color);
    if (const Bitmap* bm = other_depth_point(*dc, x, y, &dp)) {
        uint32_t v = bm->bpp >= 16               ? to_pixel(rgb)
                     : is_dib_index(color) ? color & 0xFFFFu
                                           : nearest_index(*bm, to_pixel(rgb));
        write_bitmap_row(*bm, dp.y, dp.x, 1, &v);
        read_bitmap_row(*bm, dp.y, dp.x, 1, &v, 0, 0x00FFFFFF);
        return to_colorref(v);
    }
    std::unique_ptr<Target> t;
    if (dc->dc_kind != DCKind::Memory) t.reset(new Target(*dc));
    uint32_t* px = pixel_at(*dc, t.get(), x, y);
    if (!px) return CLR_INVALID;
    *px = to_pixel(rgb);
    if (t) {
        POINT p = to_device(dc->st, x, y);
        t->touch(p.x, p.y, p.x + 1, p.y + 1);
    }
    return rgb;
}

BOOL WINAPI SetPixelV(HDC hdc, int x, int y, COLORREF color) {
    return SetPixel(hdc, x, y, color) != CLR_INVALID ? TRUE : FALSE;
}

COLORREF WINAPI GetPixel(HDC hdc, int x, int y) {
    auto dc = get_dc(hdc);
    if (!dc) return CLR_INVALID;
    POINT dp;
    if (const Bitmap* bm = other_depth_point(*dc, x, y, &dp)) {
        uint32_t v;
        read_bitmap_row(*bm, dp.y, dp.x, 1, &v, 0, 0x00FFFFFF);
        return to_colorref(v & 0x00FFFFFFu);
    }
    std::unique_ptr<Target> t;
    if (dc->dc_kind != DCKind::Memory) t.reset(new Target(*dc));
    const uint32_t* px = pixel_at(*dc, t.get(), x, y);
    return px ? to_colorref(*px) : CLR_INVALID;
}
