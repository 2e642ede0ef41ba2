// wide_pen.cpp — region pens: every segment of a polyline becomes a filled
// quadrilateral (horizontal and vertical ones a rectangle), ends get flat,
// square or round caps, corners round, bevel or miter joins, and a dashed
// pen strokes every dash as a polyline of its own. Everything lands in one
// PenMask, so overlapping pieces are painted once.
#include <algorithm>
#include <cmath>
#include <memory>

#include "gdi/pen_internal.h"

namespace plat::gdi {

namespace {

using P64 = Point64;

int64_t round_half_up(double v) { return int64_t(std::floor(v + 0.5)); }

// A polygon by the fill rule of every filled shape (polygon_spans): pixel
// (x, y) is inside when its top-left corner is, by the non-zero winding
// rule; rows are cut to the mask.
void fill_polygon(PenMask& mk, const P64* v, int n) {
    const RECT box{mk.left(), mk.top(), mk.right(), mk.bottom()};
    polygon_spans(v, &n, 1, true, box, [&mk](int y, int x0, int x1) { mk.add(y, x0, x1); });
}

// The round end of a pen of width w: the rounded-box region of a w-pixel
// square from -(w div 2), as rows of [xa, xb) relative to the point.
struct RoundDot {
    int off = 0;
    std::vector<std::pair<int, int>> rows;
    explicit RoundDot(int w) {
        int n = std::max(w, 1);
        off = -(w / 2);
        std::vector<std::pair<int, int>> sp(size_t(n), {0, 0});
        if (n < 2) {
            for (auto& s : sp) s = {0, n};
        } else {
            int64_t a = n - 1, b = n - 1;
            int64_t e1 = 4 * b * b * (1 - a), e2 = 4 * a * a * (1 + b % 2);
            int64_t err = e1 + e2 + a * a * (b % 2);
            int64_t x = 0, y = n / 2;
            sp[size_t(y)] = {0, n};
            for (int guard = 0; x <= n / 2 && guard < 4 * n + 8; ++guard) {
                int64_t t = 2 * err;
                if (t >= e1) {
                    ++x;
                    e1 += 8 * b * b;
                    err += e1;
                }
                if (t <= e2) {
                    ++y;
                    e2 += 8 * a * a;
                    err += e2;
                    if (y < n) sp[size_t(y)] = {int(x), int(n - x)};
                }
            }
        }
        rows.resize(size_t(n));
        for (int k = 0; k < n; ++k) rows[size_t(k)] = k < n / 2 ? sp[size_t(n - 1 - k)] : sp[size_t(k)];
    }
    void stamp(PenMask& mk, P64 p) const {
        int64_t n = int64_t(rows.size());
        if (p.y + off + n <= mk.top() || p.y + off >= mk.bottom() || p.x + off + n <= mk.left() ||
            p.x + off >= mk.right())
            return;
        for (int64_t k = 0; k < n; ++k) {
            const auto& r = rows[size_t(k)];
            if (r.first < r.second) mk.add(p.y + off + k, p.x + off + r.first, p.x + off + r.second);
        }
    }
};

// Offsets of a segment's two side corners from an end point: `a` on one
// side, `b` on the other; `back` and `fwd` move a face half a width out for
// square caps. Rounded the way the reference does, which makes the two sides
// differ by a pixel where the half width is not whole.
struct Faces {
    P64 a, b, back, fwd;
};

Faces faces_of(int64_t dx, int64_t dy, int w) {
    // Horizontal and vertical segments are the rectangles of their body:
    // w div 2 to one side, the rest to the other.
    const int64_t lo = w / 2, hi = w - w / 2;
    if (dy == 0) {
        if (dx > 0) return Faces{{0, hi}, {0, -lo}, {-lo, 0}, {lo, 0}};
        return Faces{{0, -lo}, {0, hi}, {lo, 0}, {-lo, 0}};
    }
    if (dx == 0) {
        if (dy > 0) return Faces{{-lo, 0}, {hi, 0}, {0, -lo}, {0, lo}};
        return Faces{{hi, 0}, {-lo, 0}, {0, lo}, {0, -lo}};
    }
    double len = std::hypot(double(dx), double(dy));
    double wx = w * std::fabs(double(dy)) / len, wy = w * std::fabs(double(dx)) / len;
    int64_t nx = round_half_up(wx / 2), ny = round_half_up(wy / 2);
    int64_t Wx = round_half_up((wx + 1) / 2), Wy = round_half_up((wy + 1) / 2);
    if (dx < 0) {
        ny = -ny;
        Wy = -Wy;
    }
    if (dy < 0) {
        std::swap(nx, Wx);
        std::swap(ny, Wy);
        nx = -nx;
        Wx = -Wx;
    }
    return Faces{{-nx, ny}, {Wx, -Wy}, {-ny, -nx}, {Wy, Wx}};
}

P64 add(P64 p, P64 o) { return P64{p.x + o.x, p.y + o.y}; }

struct Stroker {
    PenMask& mk;
    int w;
    DWORD cap, join;
    double miter_limit;
    const RoundDot* dot_;  // a one-row dot unless round caps or joins are used

    // The body of segment p1-p2 running along d (a dash's piece keeps the
    // direction of the segment it was cut from); square caps extend the
    // flagged ends.
    void body(P64 p1, P64 p2, P64 d, bool sq_start, bool sq_end) {
        int64_t dx = d.x, dy = d.y;
        int64_t half = w / 2;
        if (dy == 0 && dx != 0) {
            int64_t xa = std::min(p1.x, p2.x), xb = std::max(p1.x, p2.x);
            if (dx > 0 ? sq_start : sq_end) xa -= half;
            if (dx > 0 ? sq_end : sq_start) xb += half;
            fill_rect(xa, p1.y - half, xb, p1.y - half + w);
            return;
        }
        if (dx == 0 && dy != 0) {
            int64_t ya = std::min(p1.y, p2.y), yb = std::max(p1.y, p2.y);
            if (dy > 0 ? sq_start : sq_end) ya -= half;
            if (dy > 0 ? sq_end : sq_start) yb += half;
            fill_rect(p1.x - half, ya, p1.x - half + w, yb);
            return;
        }
        if (dx == 0) return;
        Faces f = faces_of(dx, dy, w);
        P64 q[4] = {add(p1, f.a), add(p1, f.b), add(p2, f.b), add(p2, f.a)};
        if (sq_start) q[0] = add(q[0], f.back), q[1] = add(q[1], f.back);
        if (sq_end) q[2] = add(q[2], f.fwd), q[3] = add(q[3], f.fwd);
        fill_polygon(mk, q, 4);
    }

    void fill_rect(int64_t l, int64_t t, int64_t r, int64_t b) {
        t = std::max<int64_t>(t, mk.top());
        b = std::min<int64_t>(b, mk.bottom());
        for (int64_t y = t; y < b; ++y) mk.add(y, l, r);
    }

    // The join at p between segment a-p and segment p-b.
    void joint(P64 p, P64 d1, P64 d2) {
        if (join == PS_JOIN_ROUND) {
            dot_->stamp(mk, p);
            return;
        }
        int64_t d1x = d1.x, d1y = d1.y, d2x = d2.x, d2y = d2.y;
        double cross = double(d1x) * double(d2y) - double(d1y) * double(d2x);
        if (cross == 0) return;  // straight on; a reversal has no outer corner
        Faces f1 = faces_of(d1x, d1y, w), f2 = faces_of(d2x, d2y, w);
        if (d1x == 0 || d1y == 0) {
            // A horizontal or vertical segment ends its body at its last
            // pixel: the face it offers the join lies one pixel back from the
            // vertex, along the segment. The face of the segment leaving the
            // vertex stays on it.
            const int64_t ux = (d1x > 0) - (d1x < 0), uy = (d1y > 0) - (d1y < 0);
            f1.a = P64{f1.a.x - ux, f1.a.y - uy};
            f1.b = P64{f1.b.x - ux, f1.b.y - uy};
        }
        // The join is the polygon a1, a2, b1, b2 of both faces' corners (a on
        // one side of the path, b on the other), filled by winding: it takes
        // the wedge on the outer side of the turn and, where a segment is
        // shorter than the pen is wide, what its crossing edges enclose on
        // the inner side. A miter puts its tip between the two outer corners.
        const P64 a1 = add(p, f1.a), b1 = add(p, f1.b), a2 = add(p, f2.a), b2 = add(p, f2.b);
        if (join == PS_JOIN_MITER) {
            // Outer corners: on the side away from the turn.
            P64 o1 = cross > 0 ? f1.b : f1.a, o2 = cross > 0 ? f2.b : f2.a;
            double t = (double(o2.x - o1.x) * d2y - double(o2.y - o1.y) * d2x) / cross;
            double mx = double(o1.x) + t * d1x, my = double(o1.y) + t * d1y;
            double dist2 = mx * mx + my * my;
            double lim = miter_limit * w;
            if (std::isfinite(dist2) && 4 * dist2 <= lim * lim && std::fabs(mx) < 1e12 && std::fabs(my) < 1e12) {
                P64 m{p.x + round_half_up(mx), p.y + round_half_up(my)};
                if (cross > 0) {
                    P64 poly[5] = {a1, a2, b1, m, b2};
                    fill_polygon(mk, poly, 5);
                } else {
                    P64 poly[5] = {a1, m, a2, b1, b2};
                    fill_polygon(mk, poly, 5);
                }
                return;
            }
        }
        P64 bevel[4] = {a1, a2, b1, b2};
        fill_polygon(mk, bevel, 4);
    }

    // A dash of no length: its caps alone, square ones turned along (dx, dy).
    void dot(P64 p, int64_t dx, int64_t dy) {
        if (w == 1) return;  // a one-pixel pen has no caps
        if (cap == PS_ENDCAP_ROUND) {
            dot_->stamp(mk, p);
        } else if (cap == PS_ENDCAP_SQUARE) {
            body(p, p, P64{dx, dy}, true, true);
        }
    }

    // A polyline of distinct consecutive points.
    // dirs[i], when given, is the direction of the piece from v[i] on.
    void polyline(const P64* v, size_t n, bool closed, const P64* dirs = nullptr) {
        auto dir = [&](size_t i) {
            return dirs ? dirs[i] : P64{v[(i + 1) % n].x - v[i].x, v[(i + 1) % n].y - v[i].y};
        };
        if (n == 0) return;
        if (n == 1) {
            // A path that never leaves its point: an open one shows its
            // round caps, a closed one its round join.
            if (closed ? join == PS_JOIN_ROUND : cap == PS_ENDCAP_ROUND) dot_->stamp(mk, v[0]);
            return;
        }
        size_t segs = closed ? n : n - 1;
        if (w == 1) {
            // One pixel wide: each segment is its 1-px line, with the end
            // point when it is slanted; no caps, no joins.
            for (size_t i = 0; i < segs; ++i) {
                P64 a = v[i], b = v[(i + 1) % n];
                line_into_mask(mk, POINT{LONG(a.x), LONG(a.y)}, POINT{LONG(b.x), LONG(b.y)}, a.x != b.x && a.y != b.y);
            }
            return;
        }
        for (size_t i = 0; i < segs && !mk.full(); ++i) {
            bool first = !closed && i == 0, last = !closed && i + 1 == segs;
            body(v[i], v[(i + 1) % n], dir(i), first && cap == PS_ENDCAP_SQUARE, last && cap == PS_ENDCAP_SQUARE);
        }
        for (size_t i = closed ? 0 : 1; i < (closed ? n : n - 1) && !mk.full(); ++i)
            joint(v[i], dir((i + n - 1) % n), dir(i));
        if (!closed && cap == PS_ENDCAP_ROUND) {
            dot_->stamp(mk, v[0]);
            dot_->stamp(mk, v[n - 1]);
        }
    }
};

// Geometric dashes: positions run along the Euclidean length of the path;
// every "on" stretch is stroked as an open polyline with the pen's caps.
// Parts of a segment that cannot reach the mask only advance the pattern.
void dashed(Stroker& s, const std::vector<P64>& v, bool closed, const std::vector<uint64_t>& units, bool user) {
    if (s.w == 1) {
        // A one-pixel pen dashes like a cosmetic line: the pattern (in
        // pixels, as a pen width is one) advances one unit per pixel walked,
        // on across the segments, and no end point is drawn.
        uint64_t total = 0;
        for (uint64_t u : units) total += u;
        if (total == 0 || v.size() < 2) {
            s.polyline(v.data(), v.size(), closed);
            return;
        }
        uint64_t phase = 0;
        size_t n = v.size(), segs = closed ? n : n - 1;
        for (size_t i = 0; i < segs; ++i) {
            P64 a = v[i], b = v[(i + 1) % n];
            dashed_line_into_mask(s.mk, POINT{LONG(a.x), LONG(a.y)}, POINT{LONG(b.x), LONG(b.y)}, units, total, &phase);
        }
        return;
    }
    std::vector<double> len;
    for (uint64_t u : units) len.push_back(user ? double(u) : double(u) * s.w);
    // Caps that reach past a dash's ends are paid for by the dash: a
    // predefined pattern's "on" entries lose a width and its gaps gain one.
    // User lengths are taken as given, and a one-pixel pen has no caps.
    if (s.cap != PS_ENDCAP_FLAT && !user && s.w > 1)
        for (size_t i = 0; i < len.size(); ++i) len[i] = std::max(0.0, len[i] + (i % 2 ? s.w : -s.w));
    double total = 0;
    bool dots_only = true;
    for (size_t i = 0; i < len.size(); ++i) {
        total += len[i];
        if (i % 2 == 0 && len[i] > 0) dots_only = false;
    }
    if (!(total > 0) || v.size() < 2) {
        s.polyline(v.data(), v.size(), closed);
        return;
    }
    if (dots_only) {
        // Dots without length: the path's start shows one, and every later
        // segment shows the first dot past its start, up to and including
        // its end, none if a dot falls right on its start. The dots lie at
        // the pattern's "on" positions, each segment using up the whole
        // pixels of its length.
        std::vector<double> starts;  // "on" positions within one period
        double o = 0;
        for (size_t i = 0; i < len.size(); ++i) {
            if (i % 2 == 0) starts.push_back(o);
            o += len[i];
        }
        size_t n = v.size(), segs = closed ? n : n - 1;
        double pos = 0;
        for (size_t i = 0; i < segs && !s.mk.full(); ++i) {
            P64 a = v[i], b = v[(i + 1) % n];
            double dx = double(b.x - a.x), dy = double(b.y - a.y), sl = std::hypot(dx, dy);
            if (i == 0) {
                s.dot(a, b.x - a.x, b.y - a.y);
            } else {
                // The first "on" position at or after pos.
                double base = std::floor(pos / total) * total, p = -1;
                for (int lap = 0; lap < 2 && p < 0; ++lap, base += total)
                    for (double st : starts)
                        if (base + st >= pos - 1e-9) {
                            p = base + st;
                            break;
                        }
                double t = p - pos;
                if (t > 1e-9 && t <= std::floor(sl) + 1e-9)
                    s.dot(P64{a.x + int64_t(dx * t / sl), a.y + int64_t(dy * t / sl)}, b.x - a.x, b.y - a.y);
            }
            pos += std::floor(sl);
        }
        return;
    }
    const double eps = 1e-9;
    size_t idx = 0;
    double left = len[0];
    auto on = [&] { return idx % 2 == 0; };
    auto next = [&] {
        idx = idx + 1 == len.size() ? 0 : idx + 1;
        left = len[idx];
    };
    auto advance = [&](double d) {
        d = std::fmod(d, total);
        while (d > eps) {
            double step = std::min(d, left);
            d -= step;
            left -= step;
            if (left <= eps) next();
        }
        while (left <= eps) next();
    };
    // The current dash: its points and, per piece, the direction of the
    // segment the piece was cut from.
    std::vector<P64> dash, dirs;
    P64 dir{1, 0};
    bool at_start = true;
    // A dash that runs on past a vertex turns there even when a piece on
    // either side of it rounds to nothing: at_vertex lets the next point
    // repeat the last one, so the join is drawn.
    bool at_vertex = false;
    auto push = [&](P64 q) {
        bool same = !dash.empty() && dash.back().x == q.x && dash.back().y == q.y;
        if (!same || at_vertex) {
            if (!dash.empty()) dirs.push_back(dir);
            dash.push_back(q);
        }
        at_vertex = false;
    };
    // A closed path that starts and ends inside a dash joins the two ends
    // there: the first dash waits for the last one.
    std::vector<P64> first, first_dirs;
    bool hold_first = closed && on() && len[0] > 0;
    auto flush = [&] {
        if (hold_first && dash.size() > 1) {
            first.swap(dash);
            first_dirs.swap(dirs);
            hold_first = false;
        } else if (dash.size() > 1) {
            s.polyline(dash.data(), dash.size(), false, dirs.data());
        } else if (dash.size() == 1) {
            // A dash of no length shows its caps, including one the end
            // of the path cuts short.
            s.dot(dash[0], dir.x, dir.y);
        }
        dash.clear();
        dirs.clear();
        at_start = false;
        hold_first = false;
    };
    const double reach = 2.0 * s.w + 4;
    const double lo_x = s.mk.left() - reach, hi_x = s.mk.right() + reach;
    const double lo_y = s.mk.top() - reach, hi_y = s.mk.bottom() + reach;
    size_t n = v.size(), segs = closed ? n : n - 1;
    for (size_t i = 0; i < segs && !s.mk.full(); ++i) {
        P64 a = v[i], b = v[(i + 1) % n];
        dir = P64{b.x - a.x, b.y - a.y};
        if (i == 0 && on()) push(a);
        // A segment uses up the whole pixels of its length from the
        // pattern; points along it are placed by its true length.
        double dx = double(b.x - a.x), dy = double(b.y - a.y), sl = std::hypot(dx, dy), adv = std::floor(sl);
        auto at = [&](double pos) {
            return P64{a.x + int64_t(dx * pos / sl), a.y + int64_t(dy * pos / sl)};
        };
        // The stretch [p0, p1] of the segment near the mask.
        double t0 = 0, t1 = 1;
        auto cut = [&](double p, double d, double lo, double hi) {
            if (d == 0) {
                if (p < lo || p > hi) t0 = 2;
                return;
            }
            double ta = (lo - p) / d, tb = (hi - p) / d;
            if (ta > tb) std::swap(ta, tb);
            t0 = std::max(t0, ta);
            t1 = std::min(t1, tb);
        };
        cut(double(a.x), dx, lo_x, hi_x);
        cut(double(a.y), dy, lo_y, hi_y);
        if (t0 >= t1) {
            flush();
            advance(adv);
            if (on()) push(b);
            continue;
        }
        double pos = 0, p1 = adv * t1;
        if (t0 > 0) {
            flush();
            pos = adv * t0;
            advance(pos);
            if (on()) push(at(pos));
        }
        while (pos < p1) {
            double step = std::min(p1 - pos, left);
            pos += step;
            left -= step;
            if (left > eps) continue;
            if (on()) {
                push(at(pos));
                flush();
            }
            next();
            while (left <= eps) {
                if (on()) {
                    push(at(pos));
                    flush();
                }
                next();
            }
            at_start = false;
            if (on()) push(at(pos));
        }
        if (p1 < adv) {
            if (on()) push(at(p1));
            flush();
            advance(adv - p1);
            if (on()) push(b);
            continue;
        }
        if (on()) {
            // The dash reaches the vertex along this segment, with a piece
            // of no length if it starts right there.
            if (dash.empty()) push(b);
            at_vertex = true;
            push(b);
            at_vertex = true;
        }
    }
    if (!first.empty() && on() && !dash.empty() && dash.back().x == first[0].x && dash.back().y == first[0].y) {
        // Points and piece directions go on as they are: the first dash
        // may hold pieces of no length that keep their joins.
        dash.insert(dash.end(), first.begin() + 1, first.end());
        dirs.insert(dirs.end(), first_dirs.begin(), first_dirs.end());
        first.clear();
    }
    flush();
    if (first.size() > 1) s.polyline(first.data(), first.size(), false, first_dirs.data());
}

}  // namespace

RECT stroke_bounds(const POINT* pts, size_t n, int width) {
    int64_t l = INT64_MAX, t = INT64_MAX, r = INT64_MIN, b = INT64_MIN;
    for (size_t i = 0; i < n; ++i) {
        l = std::min<int64_t>(l, pts[i].x);
        t = std::min<int64_t>(t, pts[i].y);
        r = std::max<int64_t>(r, pts[i].x);
        b = std::max<int64_t>(b, pts[i].y);
    }
    int64_t m = int64_t(width) + 2;
    auto clamp = [](int64_t v) { return LONG(std::max<int64_t>(INT32_MIN / 2, std::min<int64_t>(INT32_MAX / 2, v))); };
    return RECT{clamp(l - m), clamp(t - m), clamp(r + m + 1), clamp(b + m + 1)};
}

int stroke_margin(const PenShape& ps) {
    double m = ps.width;
    if (ps.join == PS_JOIN_MITER) m = std::max(m, std::ceil(ps.miter_limit * ps.width / 2) + 2);
    return int(std::min(m, double(1 << 30)));
}

void pen_outline(const PenShape& ps, const POINT* pts, size_t n, bool closed, PenMask& mask) {
    if (!ps.visible || n == 0) return;
    std::vector<P64> v;
    v.reserve(n);
    for (size_t i = 0; i < n; ++i)
        if (v.empty() || v.back().x != pts[i].x || v.back().y != pts[i].y) v.push_back(P64{pts[i].x, pts[i].y});
    if (closed)
        while (v.size() > 1 && v.back().x == v.front().x && v.back().y == v.front().y) v.pop_back();
    // Wider than anything that can land in the mask is as good as infinite.
    int64_t most = 2 * (int64_t(mask.right() - mask.left()) + (mask.bottom() - mask.top())) + 8;
    int w = int(std::min<int64_t>(ps.width, most));
    bool round = ps.cap == PS_ENDCAP_ROUND || ps.join == PS_JOIN_ROUND;
    // The round end of the last width used on this thread is kept: a pen
    // draws many lines of one width.
    thread_local std::unique_ptr<RoundDot> last_dot;
    int dot_w = round ? w : 1;
    if (!last_dot || int(last_dot->rows.size()) != dot_w) last_dot = std::make_unique<RoundDot>(dot_w);
    Stroker s{mask, w, ps.cap, ps.join, ps.miter_limit, last_dot.get()};
    if (ps.dashes) {
        dashed(s, v, closed, *ps.dashes, ps.dash_user);
        return;
    }
    s.polyline(v.data(), v.size(), closed);
}

}  // namespace plat::gdi
