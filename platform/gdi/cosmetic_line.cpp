// cosmetic_line.cpp — 1-px lines: the octant stepping with its tie bias, the
// end point left out, clipping that only hides pixels, and dashes that
// advance one unit per plotted pixel.
//
// A segment is clipped arithmetically: for every clip rectangle the first and
// last step inside it are computed from the error term's closed form, then a
// pointer walks the surface with no test per pixel.
#include <algorithm>
#include <cstdint>

#include "gdi/pen_internal.h"

namespace plat::gdi {

namespace {

using i128 = __int128;

// Divisions in 128 bits only when the operands need them (lines across the
// whole coordinate range); the usual ones stay in 64.
bool fits64(i128 a, i128 b) { return a == i128(int64_t(a)) && b == i128(int64_t(b)); }

int64_t floor_div(i128 a, i128 b) {  // b > 0
    if (fits64(a, b)) {
        int64_t x = int64_t(a), y = int64_t(b), q = x / y;
        return (x % y != 0 && x < 0) ? q - 1 : q;
    }
    i128 q = a / b;
    if (a % b != 0 && a < 0) --q;
    return int64_t(q);
}

int64_t ceil_div(i128 a, i128 b) {  // b > 0
    if (fits64(a, b)) {
        int64_t x = int64_t(a), y = int64_t(b), q = x / y;
        return (x % y != 0 && x > 0) ? q + 1 : q;
    }
    i128 q = a / b;
    if (a % b != 0 && a > 0) ++q;
    return int64_t(q);
}

// A segment in major/minor terms. Pixel i (0 <= i < M) lies i major steps
// from the start and k(i) = floor((2m·i + M + bias − 1) / 2M) minor steps.
struct Walk {
    int64_t x0, y0, M, m;
    int sM, sm;  // step signs along the major and minor axes
    bool xmajor;
    int bias;  // 1 where exact ties step the minor axis early
    int64_t minor_steps(int64_t i) const { return floor_div(i128(2 * m) * i + M + bias - 1, i128(2) * M); }
};

bool make_walk(POINT a, POINT b, Walk* w) {
    int64_t dx = int64_t(b.x) - a.x, dy = int64_t(b.y) - a.y;
    if (dx == 0 && dy == 0) return false;
    int oct;
    if (dy > 0)
        oct = dx > 0 ? (dx > dy ? 1 : 2) : (-dx > dy ? 4 : 3);
    else
        oct = dx < 0 ? (-dx > -dy ? 5 : 6) : (dx > -dy ? 8 : 7);
    w->xmajor = oct == 1 || oct == 4 || oct == 5 || oct == 8;
    w->bias = (oct == 3 || oct == 5 || oct == 6 || oct == 8) ? 1 : 0;
    int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    w->x0 = a.x;
    w->y0 = a.y;
    w->M = w->xmajor ? adx : ady;
    w->m = w->xmajor ? ady : adx;
    int sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
    w->sM = w->xmajor ? sx : sy;
    w->sm = w->xmajor ? sy : sx;
    return true;
}

// Steps [ia, ib) of the walk that fall inside rectangle c.
bool clip_steps(const Walk& w, const RECT& c, int64_t* ia, int64_t* ib) {
    int64_t cM = w.xmajor ? w.x0 : w.y0, cm = w.xmajor ? w.y0 : w.x0;
    int64_t loM = w.xmajor ? c.left : c.top, hiM = w.xmajor ? c.right : c.bottom;
    int64_t lom = w.xmajor ? c.top : c.left, him = w.xmajor ? c.bottom : c.right;
    int64_t a, b;
    if (w.sM > 0) {
        a = loM - cM;
        b = hiM - cM;
    } else {
        a = cM - hiM + 1;
        b = cM - loM + 1;
    }
    a = std::max<int64_t>(a, 0);
    b = std::min<int64_t>(b, w.M);
    if (w.m == 0) {
        if (cm < lom || cm >= him) return false;
    } else {
        int64_t k0, k1;
        if (w.sm > 0) {
            k0 = lom - cm;
            k1 = him - 1 - cm;
        } else {
            k0 = cm - him + 1;
            k1 = cm - lom;
        }
        k0 = std::max<int64_t>(k0, 0);
        if (k0 > k1) return false;
        a = std::max(a, ceil_div(i128(2 * w.M) * k0 - w.M - w.bias + 1, i128(2) * w.m));
        b = std::min(b, floor_div(i128(2 * w.M) * (k1 + 1) - w.M - w.bias, i128(2) * w.m) + 1);
    }
    *ia = a;
    *ib = b;
    return a < b;
}

// The state of the walk at step i: pixel position and the biased error.
struct Cursor {
    int64_t x, y, f;
};

Cursor cursor_at(const Walk& w, int64_t i) {
    int64_t k = w.minor_steps(i);
    i128 e = i128(2 * w.m) - w.M + i128(2 * w.m) * i - i128(2 * w.M) * k;
    Cursor c;
    c.f = int64_t(e) + w.bias;
    c.x = w.x0 + (w.xmajor ? w.sM * i : w.sm * k);
    c.y = w.y0 + (w.xmajor ? w.sm * k : w.sM * i);
    return c;
}

// Position in a dash pattern: entry index and pixels left in it.
struct DashPos {
    size_t idx;
    uint64_t left;
};

DashPos dash_at(const std::vector<uint64_t>& d, uint64_t total, uint64_t pos) {
    pos %= total;
    size_t i = 0;
    while (pos >= d[i]) pos -= d[i++];
    return DashPos{i, d[i] - pos};
}

}  // namespace

LineInk line_ink(const DC& dc, const PenShape& ps) {
    LineInk ink;
    ink.on = realise_pen(dc, dc.st.pen.get());
    ink.mix = mix_for_rop2(dc.st.rop2);
    if (ps.dashes && !ps.dashes->empty()) {
        uint64_t total = 0;
        for (uint64_t v : *ps.dashes) total += v;
        if (total > 0) {
            ink.dashes = ps.dashes;
            ink.dash_total = total;
            if (ps.paint_gaps) {
                ink.gap.type = Paint::Type::Solid;
                ink.gap.color = device_colour(dc.st, dc.st.bk);
            }
        }
    }
    return ink;
}

void cosmetic_segment(Target& t, POINT a, POINT b, const LineInk& ink, uint64_t* phase) {
    Walk w;
    if (!make_walk(a, b, &w)) return;
    const uint64_t start_phase = *phase;
    if (ink.dashes) *phase = (start_phase + uint64_t(w.M)) % ink.dash_total;
    const bool solid_colour = ink.on.type == Paint::Type::Solid && ink.gap.type != Paint::Type::Tiled;
    const uint32_t oa = ink.mix.and_for(ink.on.color), ox = ink.mix.xor_for(ink.on.color);
    const uint32_t ga = ink.mix.and_for(ink.gap.color), gx = ink.mix.xor_for(ink.gap.color);
    const bool gaps = ink.gap.type != Paint::Type::None;
    const int64_t diag = 2 * w.m - 2 * w.M, straight = 2 * w.m;
    // The pixels run from a to b less one step; a segment inside one clip
    // rectangle needs no clipping arithmetic.
    int64_t ex = int64_t(b.x) - (w.xmajor ? w.sM : 0), ey = int64_t(b.y) - (w.xmajor ? 0 : w.sM);
    int64_t bl = std::min<int64_t>(a.x, ex), br = std::max<int64_t>(a.x, ex) + 1;
    int64_t bt = std::min<int64_t>(a.y, ey), bb = std::max<int64_t>(a.y, ey) + 1;
    for (const RECT& c : t.clip) {
        int64_t ia, ib;
        Cursor cur, last;
        if (bl >= c.left && br <= c.right && bt >= c.top && bb <= c.bottom) {
            ia = 0;
            ib = w.M;
            cur = Cursor{a.x, a.y, 2 * w.m - w.M + w.bias};
            last = Cursor{ex, ey, 0};
        } else {
            if (br <= c.left || bl >= c.right || bb <= c.top || bt >= c.bottom) continue;
            if (!clip_steps(w, c, &ia, &ib)) continue;
            cur = cursor_at(w, ia);
            last = cursor_at(w, ib - 1);
        }
        t.touch(int(std::min(cur.x, last.x)), int(std::min(cur.y, last.y)), int(std::max(cur.x, last.x) + 1),
                int(std::max(cur.y, last.y) + 1));
        int64_t n = ib - ia;
        if (!solid_colour) {
            // Pattern-painted pens: one pixel span at a time.
            DashPos dp{0, 0};
            if (ink.dashes) dp = dash_at(*ink.dashes, ink.dash_total, start_phase + uint64_t(ia));
            int64_t x = cur.x, y = cur.y, f = cur.f;
            for (int64_t i = 0; i < n; ++i) {
                bool on = !ink.dashes || !(dp.idx & 1);
                if (on || gaps) span(t, int(y), int(x), int(x) + 1, on ? ink.on : ink.gap, ink.mix);
                if (ink.dashes && --dp.left == 0) {
                    do dp.idx = dp.idx + 1 == ink.dashes->size() ? 0 : dp.idx + 1;
                    while ((*ink.dashes)[dp.idx] == 0);
                    dp.left = (*ink.dashes)[dp.idx];
                }
                if (f > 0) {
                    (w.xmajor ? y : x) += w.sm;
                    f += diag;
                } else {
                    f += straight;
                }
                (w.xmajor ? x : y) += w.sM;
            }
            continue;
        }
        if (!t.direct()) {
            // Any other format walks its own pixels; a dashed line one pixel at a time.
            int64_t f = cur.f;
            if (!ink.dashes) {
                if (w.m == 0 && w.xmajor) {
                    t.mix_span(int(cur.y), int(std::min(cur.x, last.x)), int(n), oa, ox);
                    continue;
                }
                LineRun run{cur.x, cur.y, n, f, diag, straight, w.xmajor ? w.sM : 0, w.xmajor ? 0 : w.sM,
                            w.xmajor ? 0 : w.sm, w.xmajor ? w.sm : 0};
                t.canvas.fmt->mix_line(t.canvas, run, oa, ox);
                continue;
            }
            const std::vector<uint64_t>& d = *ink.dashes;
            DashPos dp = dash_at(d, ink.dash_total, start_phase + uint64_t(ia));
            int64_t x = cur.x, y = cur.y;
            for (int64_t i = 0; i < n; ++i) {
                if (!(dp.idx & 1)) t.mix_span(int(y), int(x), 1, oa, ox);
                else if (gaps) t.mix_span(int(y), int(x), 1, ga, gx);
                if (--dp.left == 0) {
                    do dp.idx = dp.idx + 1 == d.size() ? 0 : dp.idx + 1;
                    while (d[dp.idx] == 0);
                    dp.left = d[dp.idx];
                }
                if (f > 0) {
                    (w.xmajor ? y : x) += w.sm;
                    f += diag;
                } else {
                    f += straight;
                }
                (w.xmajor ? x : y) += w.sM;
            }
            continue;
        }
        uint32_t* p = t.surf.row(int(cur.y)) + cur.x;
        const ptrdiff_t sx = w.xmajor ? w.sM : w.sm, sy = (w.xmajor ? w.sm : w.sM) * t.surf.stride;
        const ptrdiff_t dM = w.xmajor ? sx : sy, dm = w.xmajor ? sy : sx;
        int64_t f = cur.f;
        if (!ink.dashes) {
            if (w.m == 0 && w.xmajor) {
                int64_t xa = std::min(cur.x, last.x);
                span(t, int(cur.y), int(xa), int(xa + n), ink.on, ink.mix);
            } else if (oa == 0) {
                for (int64_t i = 0; i < n; ++i) {
                    *p = ox;
                    if (f > 0) {
                        p += dm;
                        f += diag;
                    } else {
                        f += straight;
                    }
                    p += dM;
                }
            } else {
                for (int64_t i = 0; i < n; ++i) {
                    *p = (*p & oa) ^ ox;
                    if (f > 0) {
                        p += dm;
                        f += diag;
                    } else {
                        f += straight;
                    }
                    p += dM;
                }
            }
            continue;
        }
        const std::vector<uint64_t>& d = *ink.dashes;
        DashPos dp = dash_at(d, ink.dash_total, start_phase + uint64_t(ia));
        for (int64_t i = 0; i < n; ++i) {
            if (!(dp.idx & 1))
                *p = (*p & oa) ^ ox;
            else if (gaps)
                *p = (*p & ga) ^ gx;
            if (--dp.left == 0) {
                do dp.idx = dp.idx + 1 == d.size() ? 0 : dp.idx + 1;
                while (d[dp.idx] == 0);
                dp.left = d[dp.idx];
            }
            if (f > 0) {
                p += dm;
                f += diag;
            } else {
                f += straight;
            }
            p += dM;
        }
    }
}

}  // namespace plat::gdi

namespace plat::gdi {

// The pixels of a 1-px line from a to b into a mask, only those inside it;
// with the end point when asked.
void line_into_mask(PenMask& mk, POINT a, POINT b, bool with_end) {
    RECT box{mk.left(), mk.top(), mk.right(), mk.bottom()};
    if (with_end && b.x >= box.left && b.x < box.right && b.y >= box.top && b.y < box.bottom) mk.add(b.y, b.x, b.x + 1);
    Walk w;
    int64_t ia, ib;
    if (!make_walk(a, b, &w) || !clip_steps(w, box, &ia, &ib)) return;
    Cursor c = cursor_at(w, ia);
    int64_t x = c.x, y = c.y, f = c.f;
    const int64_t diag = 2 * w.m - 2 * w.M, straight = 2 * w.m;
    for (int64_t i = ia; i < ib; ++i) {
        mk.add(y, x, x + 1);
        if (f > 0) {
            (w.xmajor ? y : x) += w.sm;
            f += diag;
        } else {
            f += straight;
        }
        (w.xmajor ? x : y) += w.sM;
    }
}

void dashed_line_into_mask(PenMask& mk, POINT a, POINT b, const std::vector<uint64_t>& dashes, uint64_t total,
                           uint64_t* phase) {
    Walk w;
    if (!make_walk(a, b, &w)) return;
    const uint64_t start = *phase;
    *phase = (start + uint64_t(w.M)) % total;
    RECT box{mk.left(), mk.top(), mk.right(), mk.bottom()};
    int64_t ia, ib;
    if (!clip_steps(w, box, &ia, &ib)) return;
    Cursor c = cursor_at(w, ia);
    int64_t x = c.x, y = c.y, f = c.f;
    const int64_t diag = 2 * w.m - 2 * w.M, straight = 2 * w.m;
    DashPos dp = dash_at(dashes, total, start + uint64_t(ia));
    for (int64_t i = ia; i < ib; ++i) {
        if (!(dp.idx & 1)) mk.add(y, x, x + 1);
        if (--dp.left == 0) {
            do dp.idx = dp.idx + 1 == dashes.size() ? 0 : dp.idx + 1;
            while (dashes[dp.idx] == 0);
            dp.left = dashes[dp.idx];
        }
        if (f > 0) {
            (w.xmajor ? y : x) += w.sm;
            f += diag;
        } else {
            f += straight;
        }
        (w.xmajor ? x : y) += w.sM;
    }
}

}  // namespace plat::gdi
