// draw.cpp — the drawing calls: rectangles, block transfers, pixels, lines,
// polygons, ellipse-based shapes, regions, flood fill and GetDIBits.
//
// Each call maps its coordinates to device space once (world transform),
// then paints spans through the primitives of raster.cpp inside the
// target's clip. Closed shapes are first rasterised into a small canvas
// covering the visible part of their bounding box (0 = outside, 1 = interior,
// 2 = outline) so that every pixel is painted exactly once, which keeps the
// non-idempotent mix modes (R2_XORPEN, R2_NOT, ...) correct.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>

#include "gdi/gdi_internal.h"

using namespace plat::gdi;

namespace {

constexpr double kPi = 3.14159265358979323846;

// The usual prologue: a valid DC and its surface. A DC without pixels (the
// screen, an empty window) accepts drawing and changes nothing.
#define BEGIN_DRAW(hdc)                                 \
    auto dc = get_dc(hdc);                              \
    if (!dc) return FALSE;                              \
    Target t(*dc);                                      \
    if (!t.ok()) return t.screen() ? TRUE : FALSE;      \
    DCState& st = dc->st;                               \
    (void)st

// x + w without overflow, kept within +-2^30.
int clamp_sum(int a, int b) {
    int64_t v = int64_t(a) + b;
    return int(std::max<int64_t>(INT32_MIN / 2, std::min<int64_t>(INT32_MAX / 2, v)));
}

RECT device_rect(const DCState& st, int l, int top, int r, int b) {
    POINT a = to_device(st, l, top), c = to_device(st, r, b);
    return RECT{std::min(a.x, c.x), std::min(a.y, c.y), std::max(a.x, c.x), std::max(a.y, c.y)};
}

// Device width of a pen: geometric pens scale with the transform.
int pen_width(const DCState& st, const Pen& pen) {
    if ((pen.style & PS_TYPE_MASK) != PS_GEOMETRIC && !(pen.width > 1)) return 1;
    double w = pen.width ? pen.width : 1;
    if (st.gm == GM_ADVANCED) w *= std::sqrt(std::fabs(double(st.xf.eM11) * st.xf.eM22 - double(st.xf.eM12) * st.xf.eM21));
    int iw = int(std::floor(w + 0.5));
    return iw < 1 ? 1 : iw;
}

// ---------------------------------------------------------------- canvas

struct Canvas {
    int x0 = 0, y0 = 0, w = 0, h = 0;
    std::vector<uint8_t> m;
    bool init(const RECT& shape, const std::vector<RECT>& clip) {
        RECT box = rgn_box(clip);
        x0 = std::max(shape.left, box.left);
        y0 = std::max(shape.top, box.top);
        int x1 = std::min(shape.right, box.right), y1 = std::min(shape.bottom, box.bottom);
        if (x0 >= x1 || y0 >= y1) return false;
        w = x1 - x0;
        h = y1 - y0;
        m.assign(size_t(w) * size_t(h), 0);
        return true;
    }
    void set(int x, int y, uint8_t v) {
        x -= x0;
        y -= y0;
        if (x >= 0 && y >= 0 && x < w && y < h) m[size_t(y) * w + x] = v;
    }
    uint8_t get(int x, int y) const { return m[size_t(y - y0) * w + (x - x0)]; }
    // Fills [xa, xb) of row y with v.
    void row(int y, int xa, int xb, uint8_t v) {
        if (y < y0 || y >= y0 + h) return;
        xa = std::max(xa, x0);
        xb = std::min(xb, x0 + w);
        if (xa < xb) std::memset(&m[size_t(y - y0) * w + (xa - x0)], v, size_t(xb - xa));
    }
    void emit(Target& t, const Paint& fill, const Paint& pen, const Mix& mix) {
        for (int j = 0; j < h; ++j) {
            const uint8_t* r = &m[size_t(j) * w];
            int i = 0;
            while (i < w) {
                uint8_t v = r[i];
                int k = i + 1;
                while (k < w && r[k] == v) ++k;
                if (v == 1) fill_span(t, y0 + j, x0 + i, x0 + k, fill, mix);
                else if (v == 2) fill_span(t, y0 + j, x0 + i, x0 + k, pen, mix);
                i = k;
            }
        }
    }
};

// Scan conversion of a polygon (device coordinates, any number of closed
// contours): row y samples at y; spans [ceil(xl), ceil(xr)).
void scan_polygon(Canvas& cv, const std::vector<std::vector<std::pair<double, double>>>& contours, bool winding,
                  uint8_t v) {
    struct Edge {
        double xa, ya, xb, yb;
        int dir;
    };
    std::vector<Edge> edges;
    for (auto& c : contours) {
        size_t n = c.size();
        for (size_t i = 0; i < n; ++i) {
            auto a = c[i], b = c[(i + 1) % n];
            if (a.second == b.second) continue;
            if (a.second < b.second) edges.push_back({a.first, a.second, b.first, b.second, 1});
            else edges.push_back({b.first, b.second, a.first, a.second, -1});
        }
    }
    std::vector<std::pair<double, int>> xs;
    for (int y = cv.y0; y < cv.y0 + cv.h; ++y) {
        xs.clear();
        for (const Edge& e : edges) {
            if (y < e.ya || y >= e.yb) continue;
            double x = e.xa + (y - e.ya) * (e.xb - e.xa) / (e.yb - e.ya);
            xs.emplace_back(x, e.dir);
        }
        if (xs.size() < 2) continue;
        std::sort(xs.begin(), xs.end());
        int wind = 0;
        for (size_t i = 0; i + 1 < xs.size(); ++i) {
            wind += xs[i].second;
            bool in = winding ? wind != 0 : (i % 2) == 0;
            if (!in) continue;
            double xa = std::ceil(xs[i].first), xb = std::ceil(xs[i + 1].first);
            xa = std::max(xa, double(cv.x0) - 1);
            xb = std::min(xb, double(cv.x0 + cv.w) + 1);
            if (xa < xb) cv.row(y, int(xa), int(xb), v);
        }
    }
}

// Bresenham line from a to b, the last pixel excluded; calls put(x, y).
template <class F>
void bresenham(POINT a, POINT b, F&& put) {
    long dx = std::labs(long(b.x) - a.x), dy = -std::labs(long(b.y) - a.y);
    int sx = a.x < b.x ? 1 : -1, sy = a.y < b.y ? 1 : -1;
    long err = dx + dy;
    long x = a.x, y = a.y;
    long steps = std::max(dx, -dy);
    for (long i = 0; i < steps; ++i) {
        put(int(x), int(y));
        long e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

// Clips segment a-b to box (expanded); false when it misses entirely.
bool clip_segment(POINT& a, POINT& b, const RECT& box) {
    double x0 = a.x, y0 = a.y, x1 = b.x, y1 = b.y;
    double t0 = 0, t1 = 1, dx = x1 - x0, dy = y1 - y0;
    auto test = [&](double p, double q) {
        if (p == 0) return q >= 0;
        double r = q / p;
        if (p < 0) {
            if (r > t1) return false;
            if (r > t0) t0 = r;
        } else {
            if (r < t0) return false;
            if (r < t1) t1 = r;
        }
        return true;
    };
    if (!test(-dx, x0 - box.left) || !test(dx, box.right - x0) || !test(-dy, y0 - box.top) || !test(dy, box.bottom - y0))
        return false;
    if (t1 < 1) b = POINT{LONG(std::lround(x0 + t1 * dx)), LONG(std::lround(y0 + t1 * dy))};
    if (t0 > 0) a = POINT{LONG(std::lround(x0 + t0 * dx)), LONG(std::lround(y0 + t0 * dy))};
    return true;
}

bool far_out(POINT a, POINT b, const RECT& box) {
    const long lim = 1 << 24;
    return std::labs(a.x) > lim || std::labs(a.y) > lim || std::labs(b.x) > lim || std::labs(b.y) > lim ||
           !(std::max(a.x, b.x) >= box.left - 2 && std::min(a.x, b.x) < box.right + 2 &&
             std::max(a.y, b.y) >= box.top - 2 && std::min(a.y, b.y) < box.bottom + 2);
}

// A wide pen's stroke of one segment into the canvas: the segment's
// rectangle, with round caps as discs (and joins, as the caps meet).
void wide_segment(Canvas& cv, POINT a, POINT b, int width, DWORD cap, uint8_t v) {
    double hw = width / 2.0;
    double dx = b.x - a.x, dy = b.y - a.y, len = std::sqrt(dx * dx + dy * dy);
    auto disc = [&](POINT c) {
        int r = int(std::ceil(hw));
        for (int y = c.y - r; y <= c.y + r; ++y)
            for (int x = c.x - r; x <= c.x + r; ++x) {
                double ex = x - c.x, ey = y - c.y;
                if (ex * ex + ey * ey <= hw * hw) cv.set(x, y, v);
            }
    };
    if (len > 0) {
        double ux = dx / len, uy = dy / len, nx = -uy * hw, ny = ux * hw;
        double ext = cap == PS_ENDCAP_SQUARE ? hw : 0;
        // Integer coordinates are pixel positions; the scan converter samples at them.
        double ax = a.x - ux * ext, ay = a.y - uy * ext;
        double bx = b.x + ux * ext, by = b.y + uy * ext;
        std::vector<std::vector<std::pair<double, double>>> poly{
            {{ax + nx, ay + ny}, {bx + nx, by + ny}, {bx - nx, by - ny}, {ax - nx, ay - ny}}};
        scan_polygon(cv, poly, true, v);
    }
    if (cap == PS_ENDCAP_ROUND) {
        disc(a);
        disc(b);
    }
}

// Dash pattern of a styled pen in device pixels (on, off, on, ...); empty
// for solid pens. Geometric pens scale their dashes with the pen width,
// user styles are in logical units; cosmetic pens use fixed pixel lengths.
std::vector<double> dash_pattern(const DCState& st, const Pen& pen, int width) {
    bool geometric = (pen.style & PS_TYPE_MASK) == PS_GEOMETRIC;
    std::vector<double> p;
    switch (pen.dash_kind()) {
        case PS_DASH: p = geometric ? std::vector<double>{3, 1} : std::vector<double>{18, 6}; break;
        case PS_DOT: p = geometric ? std::vector<double>{1, 1} : std::vector<double>{3, 3}; break;
        case PS_DASHDOT: p = geometric ? std::vector<double>{3, 1, 1, 1} : std::vector<double>{9, 6, 3, 6}; break;
        case PS_DASHDOTDOT:
            p = geometric ? std::vector<double>{3, 1, 1, 1, 1, 1} : std::vector<double>{9, 3, 3, 3, 3, 3};
            break;
        case PS_ALTERNATE: p = {1, 1}; break;
        case PS_USERSTYLE: {
            double scale = 1;
            if (geometric && st.gm == GM_ADVANCED)
                scale = std::sqrt(std::fabs(double(st.xf.eM11) * st.xf.eM22 - double(st.xf.eM12) * st.xf.eM21));
            for (DWORD d : pen.dashes) p.push_back(std::max(1.0, d * scale));
            if (p.size() % 2) p.insert(p.end(), p.begin(), p.end());  // odd counts repeat with roles swapped
            return p;
        }
        default: return p;
    }
    if (geometric && pen.dash_kind() != PS_ALTERNATE)
        for (double& d : p) d *= width;
    return p;
}

// Walks a dash pattern along a path.
struct Dasher {
    std::vector<double> pat;
    size_t idx = 0;
    double left = 0;
    explicit Dasher(std::vector<double> p) : pat(std::move(p)) {
        if (!pat.empty()) left = pat[0];
    }
    bool solid() const { return pat.empty(); }
    bool on() const { return pat.empty() || idx % 2 == 0; }
    // Advances by d; returns the distance to the next dash boundary first if shorter.
    double advance(double d) {
        if (pat.empty()) return d;
        double step = std::min(d, left);
        left -= step;
        if (left <= 1e-9) {
            idx = (idx + 1) % pat.size();
            left = pat[idx];
        }
        return step;
    }
};

// Draws an open or closed polyline (device points) with the DC's pen:
// width 1 by Bresenham straight to the surface (each segment without its
// last pixel), wider pens through a canvas. Styled pens are dashed along the
// whole path; the gaps of cosmetic styled pens take the background colour in
// opaque mode.
void stroke_polyline(Target& t, const DC& dc, const std::vector<POINT>& pts, bool closed) {
    const DCState& st = dc.st;
    const Pen* pen = st.pen.get();
    if (!pen || !pen->visible() || pts.size() < 2) return;
    Paint paint = realise_pen(dc, pen);
    Mix mix = mix_for_rop2(st.rop2);
    RECT box = rgn_box(t.clip);
    int width = pen_width(st, *pen);
    size_t n = pts.size();
    size_t segs = closed ? n : n - 1;
    Dasher dash(dash_pattern(st, *pen, width));
    Paint gap;
    if (!dash.solid() && (pen->style & PS_TYPE_MASK) == PS_COSMETIC && st.bkmode == OPAQUE) {
        gap.type = Paint::Type::Solid;
        gap.color = to_pixel(st.bk);
    }
    if (width <= 1) {
        for (size_t i = 0; i < segs; ++i) {
            POINT a = pts[i], b = pts[(i + 1) % n];
            if (far_out(a, b, box)) {
                RECT big{box.left - 2, box.top - 2, box.right + 2, box.bottom + 2};
                if (!clip_segment(a, b, big)) continue;
            }
            bresenham(a, b, [&](int x, int y) {
                const Paint& p = dash.on() ? paint : gap;
                dash.advance(1);
                if (p.type != Paint::Type::None && t.in_clip(x, y)) {
                    t.touch(x, y, x + 1, y + 1);
                    span(t.surf, y, x, x + 1, p, mix);
                }
            });
        }
        return;
    }
    RECT bounds{pts[0].x, pts[0].y, pts[0].x, pts[0].y};
    for (POINT p : pts) {
        bounds.left = std::min(bounds.left, p.x);
        bounds.top = std::min(bounds.top, p.y);
        bounds.right = std::max(bounds.right, p.x);
        bounds.bottom = std::max(bounds.bottom, p.y);
    }
    bounds = RECT{bounds.left - width, bounds.top - width, bounds.right + width + 1, bounds.bottom + width + 1};
    Canvas cv;
    if (!cv.init(bounds, t.clip)) return;
    DWORD cap = closed ? PS_ENDCAP_ROUND : (pen->style & PS_ENDCAP_MASK);
    if (dash.solid()) {
        for (size_t i = 0; i < segs; ++i) wide_segment(cv, pts[i], pts[(i + 1) % n], width, cap, 2);
        if (cap != PS_ENDCAP_ROUND)  // round joins between segments
            for (size_t i = 1; i + 1 < n; ++i) wide_segment(cv, pts[i], pts[i], width, PS_ENDCAP_ROUND, 2);
    } else {
        // Each dash is a short stroke with the pen's end caps.
        if (cap == PS_ENDCAP_ROUND && closed) cap = pen->style & PS_ENDCAP_MASK;
        for (size_t i = 0; i < segs; ++i) {
            POINT a = pts[i], b = pts[(i + 1) % n];
            if (far_out(a, b, box)) {
                // Only the visible part is walked (the dash phase restarts there).
                RECT big{box.left - 2 * width, box.top - 2 * width, box.right + 2 * width, box.bottom + 2 * width};
                if (!clip_segment(a, b, big)) continue;
            }
            double dx = b.x - a.x, dy = b.y - a.y, len = std::sqrt(dx * dx + dy * dy);
            double pos = 0;
            while (pos < len - 1e-9) {
                bool on = dash.on();
                double step = dash.advance(len - pos);
                if (on) {
                    POINT p0{LONG(std::lround(a.x + dx * pos / len)), LONG(std::lround(a.y + dy * pos / len))};
                    POINT p1{LONG(std::lround(a.x + dx * (pos + step) / len)),
                             LONG(std::lround(a.y + dy * (pos + step) / len))};
                    wide_segment(cv, p0, p1, width, cap, 2);
                }
                pos += step;
            }
        }
    }
    Paint none;
    cv.emit(t, none, paint, mix);
}

Paint brush_paint(const DC& dc) { return realise_brush(dc, dc.st.brush.get()); }

// Transforms logical points to device points.
std::vector<POINT> device_points(const DCState& st, const POINT* apt, size_t n) {
    std::vector<POINT> v(n);
    for (size_t i = 0; i < n; ++i) v[i] = to_device(st, apt[i].x, apt[i].y);
    return v;
}

// The device box a bounding-rectangle shape covers, right/bottom exclusive:
// the compatible mode excludes the right and bottom edges, the advanced
// mode includes them.
RECT shape_box(const DCState& st, int l, int top, int r, int b) {
    RECT d = device_rect(st, l, top, r, b);
    if (st.gm == GM_ADVANCED) {
        d.right += 1;
        d.bottom += 1;
    }
    return d;
}

// Ellipse-family shapes (ellipse, round rectangle, arc, pie, chord) by
// per-pixel tests inside the box.
enum class Curve { Ellipse, RoundRect, Arc, Pie, Chord };

struct CurveSpec {
    Curve kind;
    RECT box;          // right/bottom exclusive
    double cw = 0, ch = 0;  // round rectangle corner ellipse size
    double a0 = 0, a1 = 0;  // arc angles (radians, counter-clockwise on screen)
    bool full_turn = false;
};

bool in_round_shape(const CurveSpec& s, double inset, double x, double y) {
    double l = s.box.left + inset, r = s.box.right - inset, t = s.box.top + inset, b = s.box.bottom - inset;
    if (r <= l || b <= t) return false;
    double px = x + 0.5, py = y + 0.5;
    if (px < l || px > r || py < t || py > b) return false;
    if (s.kind != Curve::RoundRect) {
        double cx = (l + r) / 2, cy = (t + b) / 2, ax = (r - l) / 2, ay = (b - t) / 2;
        double ex = (px - cx) / ax, ey = (py - cy) / ay;
        return ex * ex + ey * ey <= 1.0;
    }
    double rx = std::max(0.0, s.cw / 2 - inset), ry = std::max(0.0, s.ch / 2 - inset);
    rx = std::min(rx, (r - l) / 2);
    ry = std::min(ry, (b - t) / 2);
    if (rx <= 0 || ry <= 0) return true;
    double cx = px < l + rx ? l + rx : (px > r - rx ? r - rx : px);
    double cy = py < t + ry ? t + ry : (py > b - ry ? b - ry : py);
    double ex = (px - cx) / rx, ey = (py - cy) / ry;
    return ex * ex + ey * ey <= 1.0;
}

double angle_of(const RECT& box, double x, double y) {
    double cx = (box.left + box.right) / 2.0, cy = (box.top + box.bottom) / 2.0;
    return std::atan2(-(y - cy), x - cx);
}

bool in_sector(const CurveSpec& s, double x, double y) {
    if (s.full_turn) return true;
    double a = angle_of(s.box, x + 0.5, y + 0.5);
    double span_ = std::fmod(s.a1 - s.a0 + 4 * kPi, 2 * kPi);
    double d = std::fmod(a - s.a0 + 4 * kPi, 2 * kPi);
    return d <= span_;
}

// Chord: the side of the chord line (start to end point) that the arc is on.
bool beyond_chord(const CurveSpec& s, double x, double y) {
    if (s.full_turn) return true;
    double cx = (s.box.left + s.box.right) / 2.0, cy = (s.box.top + s.box.bottom) / 2.0;
    double ax = (s.box.right - s.box.left) / 2.0, ay = (s.box.bottom - s.box.top) / 2.0;
    double sx = cx + ax * std::cos(s.a0), sy = cy - ay * std::sin(s.a0);
    double ex = cx + ax * std::cos(s.a1), ey = cy - ay * std::sin(s.a1);
    double px = x + 0.5, py = y + 0.5;
    double cross = (ex - sx) * (py - sy) - (ey - sy) * (px - sx);
    // A counter-clockwise arc (as seen on screen) bulges to the side where the
    // cross product is positive in y-down coordinates.
    return cross >= 0;
}

BOOL draw_curve(HDC hdc, CurveSpec curve, bool fill, bool radii, bool chord_line) {
    BEGIN_DRAW(hdc);
    if (curve.box.right <= curve.box.left || curve.box.bottom <= curve.box.top) return TRUE;
    const Pen* pen = st.pen.get();
    bool pen_vis = pen && pen->visible();
    int pw = pen_vis ? pen_width(st, *pen) : 0;
    // A visible pen is centred on the outline (inside it for PS_INSIDEFRAME).
    double grow = (pen_vis && pen->dash_kind() != PS_INSIDEFRAME) ? (pw - 1) / 2 : 0;
    CurveSpec outer = curve;
    outer.box = RECT{LONG(curve.box.left - grow), LONG(curve.box.top - grow), LONG(curve.box.right + grow),
                     LONG(curve.box.bottom + grow)};
    if (!pen_vis && fill) {
        // An invisible pen leaves one pixel less on the right and bottom.
        outer.box.right -= 1;
        outer.box.bottom -= 1;
    }
    Canvas cv;
    if (!cv.init(outer.box, t.clip)) return TRUE;
    for (int y = cv.y0; y < cv.y0 + cv.h; ++y)
        for (int x = cv.x0; x < cv.x0 + cv.w; ++x) {
            if (!in_round_shape(outer, 0, x, y)) continue;
            bool region = curve.kind == Curve::Pie ? in_sector(outer, x, y)
                          : curve.kind == Curve::Chord ? beyond_chord(outer, x, y)
                          : curve.kind == Curve::Arc ? in_sector(outer, x, y)
                                                    : true;
            if (!region) continue;
            bool ring = pen_vis && !in_round_shape(outer, pw, x, y);
            if (curve.kind == Curve::Arc) {
                if (ring) cv.set(x, y, 2);
            } else {
                cv.set(x, y, ring ? 2 : (fill ? 1 : 0));
            }
        }
    if (pen_vis && (radii || chord_line) && !curve.full_turn) {
        double cx = (outer.box.left + outer.box.right) / 2.0, cy = (outer.box.top + outer.box.bottom) / 2.0;
        double ax = (outer.box.right - outer.box.left) / 2.0, ay = (outer.box.bottom - outer.box.top) / 2.0;
        POINT c{LONG(std::floor(cx)), LONG(std::floor(cy))};
        POINT s{LONG(std::floor(cx + ax * std::cos(curve.a0))), LONG(std::floor(cy - ay * std::sin(curve.a0)))};
        POINT e{LONG(std::floor(cx + ax * std::cos(curve.a1))), LONG(std::floor(cy - ay * std::sin(curve.a1)))};
        auto line = [&](POINT a, POINT b) {
            if (pw <= 1) {
                bresenham(a, b, [&](int x, int y) { cv.set(x, y, 2); });
                cv.set(b.x, b.y, 2);
            } else {
                wide_segment(cv, a, b, pw, PS_ENDCAP_ROUND, 2);
            }
        };
        if (radii) {
            line(c, s);
            line(c, e);
        } else {
            line(s, e);
        }
    }
    Paint fillp = fill ? brush_paint(*dc) : Paint{};
    Paint penp = realise_pen(*dc, pen);
    cv.emit(t, fillp, penp, mix_for_rop2(st.rop2));
    return TRUE;
}

CurveSpec arc_spec(const DCState& st, Curve kind, int l, int top, int r, int b, int xs, int ys, int xe, int ye) {
    CurveSpec s;
    s.kind = kind;
    s.box = shape_box(st, l, top, r, b);
    POINT ps = to_device(st, xs, ys), pe = to_device(st, xe, ye);
    double cx = (s.box.left + s.box.right) / 2.0, cy = (s.box.top + s.box.bottom) / 2.0;
    double ax = std::max(1.0, (s.box.right - s.box.left) / 2.0), ay = std::max(1.0, (s.box.bottom - s.box.top) / 2.0);
    // Angles of the radial points, measured on the ellipse's normalised circle.
    s.a0 = std::atan2(-(ps.y - cy) / ay, (ps.x - cx) / ax);
    s.a1 = std::atan2(-(pe.y - cy) / ay, (pe.x - cx) / ax);
    s.full_turn = std::fabs(s.a0 - s.a1) < 1e-9;
    return s;
}

}  // namespace

// ---------------------------------------------------------------- rectangles

BOOL WINAPI Rectangle(HDC hdc, int left, int top, int right, int bottom) {
    {
        // Under a rotating or shearing transform the rectangle is a polygon.
        auto d = get_dc(hdc);
        if (d && d->st.gm == GM_ADVANCED && (d->st.xf.eM12 != 0 || d->st.xf.eM21 != 0)) {
            POINT corners[4] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
            return Polygon(hdc, corners, 4);
        }
    }
    BEGIN_DRAW(hdc);
    RECT d = device_rect(st, left, top, right, bottom);
    const Pen* pen = st.pen.get();
    bool pen_vis = pen && pen->visible();
    // Right/bottom exclusive area: compatible mode leaves out the right and
    // bottom edges, the advanced mode includes them; an invisible pen takes
    // one more pixel off each.
    int r = d.right + (st.gm == GM_ADVANCED ? 1 : 0) - (pen_vis ? 0 : 1);
    int b = d.bottom + (st.gm == GM_ADVANCED ? 1 : 0) - (pen_vis ? 0 : 1);
    int l = d.left, tp = d.top;
    if (r <= l || b <= tp) return TRUE;
    Mix mix = mix_for_rop2(st.rop2);
    Paint fill = brush_paint(*dc);
    if (!pen_vis) {
        fill_rect(t, l, tp, r, b, fill, mix);
        return TRUE;
    }
    int w = pen_width(st, *pen);
    if (pen->dash_kind() != PS_INSIDEFRAME) {
        // The outline is centred on the edge pixels.
        int e0 = (w - 1) / 2, e1 = w - 1 - e0;
        l -= e0;
        tp -= e0;
        r += e1;
        b += e1;
    }
    Paint pp = realise_pen(*dc, pen);
    int kind = pen->dash_kind();
    if (kind != PS_SOLID && kind != PS_INSIDEFRAME) {
        // Styled pens: the inside, then the outline as a dashed closed path.
        int half = w / 2;
        fill_rect(t, l + w, tp + w, r - w, b - w, fill, mix);
        std::vector<POINT> path{{l + half, tp + half}, {r - 1 - (w - 1 - half), tp + half},
                                {r - 1 - (w - 1 - half), b - 1 - (w - 1 - half)}, {l + half, b - 1 - (w - 1 - half)}};
        stroke_polyline(t, *dc, path, true);
        return TRUE;
    }
    int il = l + w, it = tp + w, ir = r - w, ib = b - w;
    if (il >= ir || it >= ib) {
        fill_rect(t, l, tp, r, b, pp, mix);
        return TRUE;
    }
    fill_rect(t, il, it, ir, ib, fill, mix);
    fill_rect(t, l, tp, r, it, pp, mix);   // top band
    fill_rect(t, l, ib, r, b, pp, mix);    // bottom band
    fill_rect(t, l, it, il, ib, pp, mix);  // left band
    fill_rect(t, ir, it, r, ib, pp, mix);  // right band
    return TRUE;
}

// FillRect and FrameRect: rectangles right/bottom exclusive, brush only.
int WINAPI FillRect(HDC hdc, CONST RECT* lprc, HBRUSH hbr) {
    if (!lprc) return 0;
    auto br = lookup_as<Brush>(hbr, Kind::Brush);
    if (!br) return 0;
    BEGIN_DRAW(hdc);
    RECT d = device_rect(st, lprc->left, lprc->top, lprc->right, lprc->bottom);
    if (lprc->left > lprc->right || lprc->top > lprc->bottom) return TRUE;  // inverted rectangles fill nothing
    fill_rect(t, d.left, d.top, d.right, d.bottom, realise_brush(*dc, br.get()), mix_for_rop2(R2_COPYPEN));
    return TRUE;
}

int WINAPI FrameRect(HDC hdc, CONST RECT* lprc, HBRUSH hbr) {
    if (!lprc) return 0;
    auto br = lookup_as<Brush>(hbr, Kind::Brush);
    if (!br) return 0;
    BEGIN_DRAW(hdc);
    if (lprc->left >= lprc->right || lprc->top >= lprc->bottom) return TRUE;
    RECT d = device_rect(st, lprc->left, lprc->top, lprc->right, lprc->bottom);
    Paint p = realise_brush(*dc, br.get());
    Mix m = mix_for_rop2(R2_COPYPEN);
    fill_rect(t, d.left, d.top, d.right, d.top + 1, p, m);
    if (d.bottom - 1 > d.top) fill_rect(t, d.left, d.bottom - 1, d.right, d.bottom, p, m);
    fill_rect(t, d.left, d.top + 1, d.left + 1, d.bottom - 1, p, m);
    if (d.right - 1 > d.left) fill_rect(t, d.right - 1, d.top + 1, d.right, d.bottom - 1, p, m);
    return TRUE;
}

BOOL WINAPI InvertRect(HDC hdc, CONST RECT* lprc) {
    if (!lprc) return FALSE;
    auto extent = [](LONG a, LONG b) {
        return int(std::max<int64_t>(-(1 << 30), std::min<int64_t>(1 << 30, int64_t(b) - a)));
    };
    return PatBlt(hdc, lprc->left, lprc->top, extent(lprc->left, lprc->right), extent(lprc->top, lprc->bottom),
                  DSTINVERT);
}

// ---------------------------------------------------------------- block transfers

// Rectangle (x, y, w, h) in logical units to a right/bottom exclusive device rect.
static RECT blt_rect(const DCState& st, int x, int y, int w, int h) {
    return device_rect(st, x, y, clamp_sum(x, w), clamp_sum(y, h));
}

static void rop_fill(Target& t, const RECT& d, const Paint& pat, uint8_t rop) {
    for (const RECT& c : t.clip) {
        int x0 = std::max(d.left, c.left), x1 = std::min(d.right, c.right);
        int y0 = std::max(d.top, c.top), y1 = std::min(d.bottom, c.bottom);
        if (x0 >= x1 || y0 >= y1) continue;
        t.touch(x0, y0, x1, y1);
        for (int y = y0; y < y1; ++y) rop3_span(t.surf.row(y) + x0, nullptr, x1 - x0, x0, y, pat, rop);
    }
}

BOOL WINAPI PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop) {
    uint8_t code = uint8_t(rop >> 16);
    if (rop_uses_src(code)) return FALSE;
    BEGIN_DRAW(hdc);
    Paint pat = brush_paint(*dc);
    if (rop_uses_pat(code) && pat.type == Paint::Type::None) return TRUE;  // hollow brush paints nothing
    rop_fill(t, blt_rect(st, x, y, w, h), pat, code);
    return TRUE;
}

// Source pixels for a blit: a 32-bpp surface, or a monochrome bitmap
// expanded to the destination's text (0 bits) and background (1 bits) colours.
struct Source {
    Surface surf;
    const Bitmap* mono = nullptr;
    uint32_t c0 = 0, c1 = 0;
    int width = 0, height = 0;
    std::vector<uint32_t> tmp;
    const uint32_t* row(int y, int x, int n) {
        if (!mono) return surf.row(y) + x;
        tmp.resize(size_t(n));
        const uint8_t* r = mono->row_bytes(y);
        for (int i = 0; i < n; ++i) {
            int xx = x + i;
            bool bit = (r[xx >> 3] >> (7 - (xx & 7))) & 1;
            if (mono->dib && mono->palette.size() >= 2) {
                const RGBQUAD& q = mono->palette[bit];
                tmp[size_t(i)] = (uint32_t(q.rgbRed) << 16) | (uint32_t(q.rgbGreen) << 8) | q.rgbBlue;
            } else {
                tmp[size_t(i)] = bit ? c1 : c0;
            }
        }
        return tmp.data();
    }
};

static bool open_source(DC& src, Target& st, const DCState& dst_state, Source* out) {
    if (st.ok()) {
        out->surf = st.surf;
        out->width = st.surf.width;
        out->height = st.surf.height;
        return true;
    }
    if (src.dc_kind == DCKind::Memory && src.st.bitmap && src.st.bitmap->bpp == 1) {
        out->mono = src.st.bitmap.get();
        out->width = out->mono->width;
        out->height = out->mono->height;
        out->c0 = to_pixel(dst_state.text);
        out->c1 = to_pixel(dst_state.bk);
        return true;
    }
    return false;
}

static BOOL stretch_blt(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc, int ySrc,
                        int wSrc, int hSrc, DWORD rop, bool stretch) {
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
    Paint pat = rop_uses_pat(code) ? brush_paint(*dc) : Paint{};
    // Device rectangles; a negative extent mirrors.
    POINT d0 = to_device(dc->st, xDest, yDest), d1 = to_device(dc->st, clamp_sum(xDest, wDest), clamp_sum(yDest, hDest));
    POINT s0 = to_device(sdc->st, xSrc, ySrc), s1 = to_device(sdc->st, clamp_sum(xSrc, wSrc), clamp_sum(ySrc, hSrc));
    if (!stretch) {
        // Same size: the device extent of the destination.
        s1 = POINT{s0.x + (d1.x - d0.x), s0.y + (d1.y - d0.y)};
    }
    int dw = d1.x - d0.x, dh = d1.y - d0.y, sw = s1.x - s0.x, sh = s1.y - s0.y;
    if (dw == 0 || dh == 0 || sw == 0 || sh == 0) return TRUE;
    bool flip_x = (dw < 0) != (sw < 0), flip_y = (dh < 0) != (sh < 0);
    int dl = std::min(d0.x, d1.x), dt = std::min(d0.y, d1.y), adw = std::abs(dw), adh = std::abs(dh);
    int sl = std::min(s0.x, s1.x), stp = std::min(s0.y, s1.y), asw = std::abs(sw), ash = std::abs(sh);
    bool same = src.surf.base && src.surf.base == t.surf.base;
    // Copy the source rectangle first when it is the destination's own surface.
    std::vector<uint32_t> snapshot;
    Surface snap;
    if (same) {
        int x0 = std::max(sl, 0), y0 = std::max(stp, 0);
        int x1 = std::min(sl + asw, src.width), y1 = std::min(stp + ash, src.height);
        if (x0 < x1 && y0 < y1) {
            snapshot.resize(size_t(src.width) * size_t(y1 - y0));
            for (int y = y0; y < y1; ++y)
                std::memcpy(&snapshot[size_t(y - y0) * src.width + x0], src.surf.row(y) + x0, size_t(x1 - x0) * 4);
            snap.base = snapshot.data() - ptrdiff_t(y0) * src.width;
            snap.stride = src.width;
            snap.width = src.width;
            snap.height = src.height;
            src.surf = snap;
        }
    }
    std::vector<uint32_t> rowbuf;
    for (const RECT& c : t.clip) {
        int x0 = std::max<int>(dl, c.left), x1 = std::min<int>(dl + adw, c.right);
        int y0 = std::max<int>(dt, c.top), y1 = std::min<int>(dt + adh, c.bottom);
        if (x0 >= x1 || y0 >= y1) continue;
        for (int y = y0; y < y1; ++y) {
            int j = y - dt;
            if (flip_y) j = adh - 1 - j;
            int sy = stp + int(int64_t(j) * ash / adh);
            if (sy < 0 || sy >= src.height) continue;  // outside the source: left unchanged
            // The run of destination pixels whose source lies inside the source bitmap.
            int a = x0, b = x1;
            auto src_x = [&](int x) {
                int i = x - dl;
                if (flip_x) i = adw - 1 - i;
                return sl + int(int64_t(i) * asw / adw);
            };
            if (!flip_x && asw == adw) {
                a = std::max(a, dl + (0 - sl));
                b = std::min(b, dl + (src.width - sl));
                if (a >= b) continue;
                const uint32_t* s = src.row(sy, src_x(a), b - a);
                t.touch(a, y, b, y + 1);
                rop3_span(t.surf.row(y) + a, s, b - a, a, y, pat, code);
                continue;
            }
            rowbuf.resize(size_t(x1 - x0));
            int n = 0, start = -1;
            auto flush = [&](int end) {
                if (start < 0) return;
                t.touch(start, y, end, y + 1);
                rop3_span(t.surf.row(y) + start, rowbuf.data(), end - start, start, y, pat, code);
                start = -1;
                n = 0;
            };
            for (int x = x0; x < x1; ++x) {
                int sx = src_x(x);
                if (sx < 0 || sx >= src.width) {
                    flush(x);
                    continue;
                }
                if (start < 0) start = x;
                rowbuf[size_t(n++)] = *src.row(sy, sx, 1);
            }
            flush(x1);
        }
    }
    return TRUE;
}

BOOL WINAPI BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop) {
    return stretch_blt(hdc, x, y, cx, cy, hdcSrc, x1, y1, cx, cy, rop, false);
}

BOOL WINAPI StretchBlt(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc, int ySrc,
                       int wSrc, int hSrc, DWORD rop) {
    return stretch_blt(hdcDest, xDest, yDest, wDest, hDest, hdcSrc, xSrc, ySrc, wSrc, hSrc, rop, true);
}

// ---------------------------------------------------------------- pixels

COLORREF WINAPI SetPixel(HDC hdc, int x, int y, COLORREF color) {
    auto dc = get_dc(hdc);
    if (!dc) return CLR_INVALID;
    Target t(*dc);
    if (!t.ok()) return CLR_INVALID;
    POINT p = to_device(dc->st, x, y);
    if (!t.in_clip(p.x, p.y)) return CLR_INVALID;
    t.surf.row(p.y)[p.x] = to_pixel(color);
    t.touch(p.x, p.y, p.x + 1, p.y + 1);
    return color & 0x00FFFFFF;
}

BOOL WINAPI SetPixelV(HDC hdc, int x, int y, COLORREF color) {
    return SetPixel(hdc, x, y, color) != CLR_INVALID ? TRUE : FALSE;
}

COLORREF WINAPI GetPixel(HDC hdc, int x, int y) {
    auto dc = get_dc(hdc);
    if (!dc) return CLR_INVALID;
    Target t(*dc);
    if (!t.ok()) return CLR_INVALID;
    POINT p = to_device(dc->st, x, y);
    if (!t.in_clip(p.x, p.y)) return CLR_INVALID;
    return to_colorref(t.surf.row(p.y)[p.x]);
}

// ---------------------------------------------------------------- lines

BOOL WINAPI LineTo(HDC hdc, int x, int y) {
    BEGIN_DRAW(hdc);
    std::vector<POINT> pts{to_device(st, st.cur.x, st.cur.y), to_device(st, x, y)};
    st.cur = POINT{x, y};
    stroke_polyline(t, *dc, pts, false);
    return TRUE;
}

BOOL WINAPI Polyline(HDC hdc, CONST POINT* apt, int cpt) {
    if (!apt || cpt < 2) return FALSE;
    BEGIN_DRAW(hdc);
    stroke_polyline(t, *dc, device_points(st, apt, size_t(cpt)), false);
    return TRUE;
}

BOOL WINAPI PolylineTo(HDC hdc, CONST POINT* apt, DWORD cpt) {
    if (!apt || cpt == 0) return FALSE;
    BEGIN_DRAW(hdc);
    std::vector<POINT> pts{to_device(st, st.cur.x, st.cur.y)};
    for (DWORD i = 0; i < cpt; ++i) pts.push_back(to_device(st, apt[i].x, apt[i].y));
    st.cur = apt[cpt - 1];
    stroke_polyline(t, *dc, pts, false);
    return TRUE;
}

// Polygons: the interior by scan conversion in the DC's fill mode, then the
// closed outline with the pen, painted once per pixel through a canvas.
static BOOL poly_polygon(HDC hdc, CONST POINT* apt, CONST INT* counts, int ncontours) {
    BEGIN_DRAW(hdc);
    std::vector<std::vector<POINT>> contours;
    std::vector<std::vector<std::pair<double, double>>> fpoly;
    RECT bounds{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    size_t k = 0;
    for (int c = 0; c < ncontours; ++c) {
        if (counts[c] < 2) return FALSE;
        std::vector<POINT> pts = device_points(st, apt + k, size_t(counts[c]));
        k += size_t(counts[c]);
        std::vector<std::pair<double, double>> f;
        for (POINT p : pts) {
            f.emplace_back(p.x, p.y);
            bounds.left = std::min(bounds.left, p.x);
            bounds.top = std::min(bounds.top, p.y);
            bounds.right = std::max(bounds.right, p.x);
            bounds.bottom = std::max(bounds.bottom, p.y);
        }
        fpoly.push_back(std::move(f));
        contours.push_back(std::move(pts));
    }
    const Pen* pen = st.pen.get();
    bool pen_vis = pen && pen->visible();
    int pw = pen_vis ? pen_width(st, *pen) : 0;
    RECT area{bounds.left - pw - 1, bounds.top - pw - 1, bounds.right + pw + 2, bounds.bottom + pw + 2};
    Canvas cv;
    if (!cv.init(area, t.clip)) return TRUE;
    scan_polygon(cv, fpoly, st.polyfill == WINDING, 1);
    if (pen_vis) {
        for (auto& pts : contours) {
            size_t n = pts.size();
            for (size_t i = 0; i < n; ++i) {
                POINT a = pts[i], b = pts[(i + 1) % n];
                if (pw <= 1)
                    bresenham(a, b, [&](int x, int y) { cv.set(x, y, 2); });
                else
                    wide_segment(cv, a, b, pw, PS_ENDCAP_ROUND, 2);
            }
        }
    }
    cv.emit(t, brush_paint(*dc), realise_pen(*dc, pen), mix_for_rop2(st.rop2));
    return TRUE;
}

BOOL WINAPI Polygon(HDC hdc, CONST POINT* apt, int cpt) {
    if (!apt || cpt < 2) return FALSE;
    INT n = cpt;
    return poly_polygon(hdc, apt, &n, 1);
}

BOOL WINAPI PolyPolygon(HDC hdc, CONST POINT* apt, CONST INT* asz, int csz) {
    if (!apt || !asz || csz <= 0) return FALSE;
    return poly_polygon(hdc, apt, asz, csz);
}

BOOL WINAPI PolyBezier(HDC hdc, CONST POINT* apt, DWORD cpt) {
    if (!apt || cpt < 4 || (cpt - 1) % 3 != 0) return FALSE;
    BEGIN_DRAW(hdc);
    // Each cubic flattened into short chords in device space.
    std::vector<POINT> out;
    double dx[4], dy[4];
    for (DWORD i = 0; i + 3 < cpt; i += 3) {
        for (int k = 0; k < 4; ++k) to_device_f(st, apt[i + k].x, apt[i + k].y, &dx[k], &dy[k]);
        double len = 0;
        for (int k = 0; k < 3; ++k) len += std::hypot(dx[k + 1] - dx[k], dy[k + 1] - dy[k]);
        int steps = std::max(1, std::min(1000, int(len / 2)));
        for (int s = (i == 0 ? 0 : 1); s <= steps; ++s) {
            double u = double(s) / steps, v = 1 - u;
            double x = v * v * v * dx[0] + 3 * v * v * u * dx[1] + 3 * v * u * u * dx[2] + u * u * u * dx[3];
            double y = v * v * v * dy[0] + 3 * v * v * u * dy[1] + 3 * v * u * u * dy[2] + u * u * u * dy[3];
            POINT p{LONG(std::floor(x + 0.5)), LONG(std::floor(y + 0.5))};
            if (out.empty() || out.back().x != p.x || out.back().y != p.y) out.push_back(p);
        }
    }
    if (out.size() == 1) out.push_back(out[0]);
    stroke_polyline(t, *dc, out, false);
    return TRUE;
}

// ---------------------------------------------------------------- ellipse family

BOOL WINAPI Ellipse(HDC hdc, int left, int top, int right, int bottom) {
    auto dc = get_dc(hdc);
    if (!dc) return FALSE;
    CurveSpec s;
    s.kind = Curve::Ellipse;
    s.box = shape_box(dc->st, left, top, right, bottom);
    s.full_turn = true;
    return draw_curve(hdc, s, true, false, false);
}

BOOL WINAPI RoundRect(HDC hdc, int left, int top, int right, int bottom, int width, int height) {
    auto dc = get_dc(hdc);
    if (!dc) return FALSE;
    CurveSpec s;
    s.kind = Curve::RoundRect;
    s.box = shape_box(dc->st, left, top, right, bottom);
    double sx = 1, sy = 1;
    if (dc->st.gm == GM_ADVANCED) {
        sx = std::fabs(dc->st.xf.eM11);
        sy = std::fabs(dc->st.xf.eM22);
    }
    s.cw = std::fabs(width * sx);
    s.ch = std::fabs(height * sy);
    s.full_turn = true;
    return draw_curve(hdc, s, true, false, false);
}

BOOL WINAPI Arc(HDC hdc, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    auto dc = get_dc(hdc);
    if (!dc) return FALSE;
    CurveSpec s = arc_spec(dc->st, Curve::Arc, x1, y1, x2, y2, x3, y3, x4, y4);
    return draw_curve(hdc, s, false, false, false);
}

BOOL WINAPI Pie(HDC hdc, int left, int top, int right, int bottom, int xr1, int yr1, int xr2, int yr2) {
    auto dc = get_dc(hdc);
    if (!dc) return FALSE;
    CurveSpec s = arc_spec(dc->st, Curve::Pie, left, top, right, bottom, xr1, yr1, xr2, yr2);
    return draw_curve(hdc, s, true, true, false);
}

BOOL WINAPI Chord(HDC hdc, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    auto dc = get_dc(hdc);
    if (!dc) return FALSE;
    CurveSpec s = arc_spec(dc->st, Curve::Chord, x1, y1, x2, y2, x3, y3, x4, y4);
    return draw_curve(hdc, s, true, false, true);
}

// ---------------------------------------------------------------- flood fill

BOOL WINAPI ExtFloodFill(HDC hdc, int x, int y, COLORREF color, UINT type) {
    if (type != FLOODFILLBORDER && type != FLOODFILLSURFACE) return FALSE;
    BEGIN_DRAW(hdc);
    POINT p = to_device(st, x, y);
    if (!t.in_clip(p.x, p.y)) return FALSE;
    uint32_t key = to_pixel(color);
    auto fillable = [&](int xx, int yy) {
        uint32_t v = t.surf.row(yy)[xx] & 0x00FFFFFFu;
        return type == FLOODFILLSURFACE ? v == key : v != key;
    };
    if (!fillable(p.x, p.y)) return FALSE;
    Canvas cv;
    RECT all{0, 0, t.surf.width, t.surf.height};
    if (!cv.init(all, t.clip)) return FALSE;
    auto ok = [&](int xx, int yy) {
        return xx >= cv.x0 && xx < cv.x0 + cv.w && yy >= cv.y0 && yy < cv.y0 + cv.h && !cv.get(xx, yy) &&
               t.in_clip(xx, yy) && fillable(xx, yy);
    };
    std::vector<POINT> stack{p};
    while (!stack.empty()) {
        POINT q = stack.back();
        stack.pop_back();
        if (!ok(q.x, q.y)) continue;
        int l = q.x, r = q.x;
        while (ok(l - 1, q.y)) --l;
        while (ok(r + 1, q.y)) ++r;
        cv.row(q.y, l, r + 1, 1);
        for (int dy : {-1, 1}) {
            int yy = q.y + dy;
            bool in_run = false;
            for (int xx = l; xx <= r; ++xx) {
                bool o = ok(xx, yy);
                if (o && !in_run) stack.push_back(POINT{xx, yy});
                in_run = o;
            }
        }
    }
    cv.emit(t, brush_paint(*dc), Paint{}, mix_for_rop2(st.rop2));
    return TRUE;
}

BOOL WINAPI FloodFill(HDC hdc, int x, int y, COLORREF color) { return ExtFloodFill(hdc, x, y, color, FLOODFILLBORDER); }

// ---------------------------------------------------------------- regions

// A region's rectangles (logical units) in device space.
static std::vector<RECT> device_region(const DCState& st, const std::vector<RECT>& rects) {
    std::vector<RECT> out;
    out.reserve(rects.size());
    for (const RECT& r : rects) out.push_back(device_rect(st, r.left, r.top, r.right, r.bottom));
    return out;
}

static BOOL paint_region(HDC hdc, HRGN hrgn, const Brush* brush, int rop2, bool invert) {
    auto rgn = lookup_as<Region>(hrgn, Kind::Region);
    if (!rgn) return FALSE;
    BEGIN_DRAW(hdc);
    std::vector<RECT> rects = device_region(st, rgn->rects);
    if (invert) {
        Paint none;
        for (const RECT& r : rects) rop_fill(t, r, none, 0x55);
        return TRUE;
    }
    Paint p = realise_brush(*dc, brush);
    Mix m = mix_for_rop2(rop2);
    for (const RECT& r : rects) fill_rect(t, r.left, r.top, r.right, r.bottom, p, m);
    return TRUE;
}

BOOL WINAPI FillRgn(HDC hdc, HRGN hrgn, HBRUSH hbr) {
    auto br = lookup_as<Brush>(hbr, Kind::Brush);
    if (!br) return FALSE;
    return paint_region(hdc, hrgn, br.get(), R2_COPYPEN, false);
}

BOOL WINAPI PaintRgn(HDC hdc, HRGN hrgn) {
    auto dc = get_dc(hdc);
    if (!dc) return FALSE;
    std::shared_ptr<Brush> br = dc->st.brush;
    return paint_region(hdc, hrgn, br.get(), dc->st.rop2, false);
}

BOOL WINAPI InvertRgn(HDC hdc, HRGN hrgn) { return paint_region(hdc, hrgn, nullptr, R2_NOT, true); }

BOOL WINAPI FrameRgn(HDC hdc, HRGN hrgn, HBRUSH hbr, int w, int h) {
    auto rgn = lookup_as<Region>(hrgn, Kind::Region);
    auto br = lookup_as<Brush>(hbr, Kind::Brush);
    if (!rgn || !br || w <= 0 || h <= 0) return FALSE;
    // The frame: the region less its part that stays inside when moved by w and h.
    std::vector<RECT> inner = rgn->rects;
    for (auto off : {POINT{w, 0}, POINT{-w, 0}, POINT{0, h}, POINT{0, -h}}) {
        std::vector<RECT> moved = rgn->rects;
        for (RECT& r : moved) {
            r.left += off.x;
            r.right += off.x;
            r.top += off.y;
            r.bottom += off.y;
        }
        inner = rgn_combine(inner, moved, RGN_AND);
    }
    std::vector<RECT> frame = rgn_combine(rgn->rects, inner, RGN_DIFF);
    HRGN tmp = CreateRectRgn(0, 0, 0, 0);
    auto tr = lookup_as<Region>(tmp, Kind::Region);
    if (!tr) return FALSE;
    tr->rects = std::move(frame);
    BOOL ok = paint_region(hdc, tmp, br.get(), R2_COPYPEN, false);
    DeleteObject(tmp);
    return ok;
}

// ---------------------------------------------------------------- GetDIBits

int WINAPI GetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT cLines, LPVOID lpvBits, LPBITMAPINFO lpbmi, UINT usage) {
    auto dc = get_dc(hdc);
    auto bm = lookup_as<Bitmap>(hbm, Kind::Bitmap);
    if (!dc || !bm || !lpbmi || lpbmi->bmiHeader.biSize < sizeof(BITMAPINFOHEADER)) return 0;
    if (usage != DIB_RGB_COLORS && usage != DIB_PAL_COLORS) return 0;
    BITMAPINFOHEADER& h = lpbmi->bmiHeader;
    if (h.biBitCount == 0) {
        // Describe the bitmap's own format.
        if (lpvBits) return 0;
        h.biWidth = bm->width;
        h.biHeight = bm->height;
        h.biPlanes = 1;
        h.biBitCount = WORD(bm->bpp);
        h.biCompression = BI_RGB;
        h.biSizeImage = DWORD(((bm->width * bm->bpp + 31) / 32) * 4) * DWORD(bm->height);
        h.biXPelsPerMeter = h.biYPelsPerMeter = 0;
        h.biClrUsed = h.biClrImportant = 0;
        return 1;
    }
    if (h.biPlanes != 1 || (h.biCompression != BI_RGB && h.biCompression != BI_BITFIELDS)) return 0;
    int bpp = h.biBitCount;
    if (bpp != 32 && bpp != 24 && !(bpp == 1 && bm->bpp == 1)) return 0;
    if (h.biCompression == BI_BITFIELDS && bpp != 32) return 0;
    int w = bm->width, hh = bm->height;
    size_t stride = ((size_t(w) * bpp + 31) / 32) * 4;
    bool top_down = h.biHeight < 0;
    h.biWidth = w;
    h.biHeight = top_down ? -hh : hh;
    h.biSizeImage = DWORD(stride * size_t(hh));
    if (bpp == 1) {
        // Monochrome: black and white colour table.
        lpbmi->bmiColors[0] = RGBQUAD{0, 0, 0, 0};
        RGBQUAD* table = lpbmi->bmiColors;
        table[1] = RGBQUAD{255, 255, 255, 0};
        if (bm->dib && bm->palette.size() >= 2) {
            table[0] = bm->palette[0];
            table[1] = bm->palette[1];
        }
    } else if (h.biCompression == BI_BITFIELDS) {
        DWORD* masks = reinterpret_cast<DWORD*>(lpbmi->bmiColors);
        masks[0] = 0x00FF0000;
        masks[1] = 0x0000FF00;
        masks[2] = 0x000000FF;
    }
    if (!lpvBits) return hh;
    if (start >= UINT(hh)) return 0;
    UINT lines = std::min<UINT>(cLines, UINT(hh) - start);
    Surface s;
    bool colour = bitmap_surface(*bm, &s);
    uint8_t* out = static_cast<uint8_t*>(lpvBits);
    for (UINT i = 0; i < lines; ++i) {
        // Line `start + i` of the DIB: counted from the bottom for bottom-up DIBs.
        int dib_line = int(start + i);
        int y = top_down ? dib_line : hh - 1 - dib_line;
        uint8_t* o = out + stride * i;
        if (bpp == 1) {
            std::memcpy(o, bm->row_bytes(y), std::min<size_t>(stride, size_t((w + 7) / 8)));
            continue;
        }
        for (int x = 0; x < w; ++x) {
            uint32_t px;
            if (colour) {
                px = s.row(y)[x] & 0x00FFFFFFu;
            } else if (bm->bpp == 1) {
                bool bit = (bm->row_bytes(y)[x >> 3] >> (7 - (x & 7))) & 1;
                px = bit ? 0x00FFFFFFu : 0;
                if (bm->dib && bm->palette.size() >= 2) {
                    const RGBQUAD& q = bm->palette[bit];
                    px = (uint32_t(q.rgbRed) << 16) | (uint32_t(q.rgbGreen) << 8) | q.rgbBlue;
                }
            } else if (bm->bpp == 24) {
                const uint8_t* r = bm->row_bytes(y) + 3 * x;
                px = r[0] | (uint32_t(r[1]) << 8) | (uint32_t(r[2]) << 16);
            } else {
                px = 0;
            }
            if (bpp == 32) {
                std::memcpy(o + 4 * x, &px, 4);
            } else {
                o[3 * x] = uint8_t(px);
                o[3 * x + 1] = uint8_t(px >> 8);
                o[3 * x + 2] = uint8_t(px >> 16);
            }
        }
    }
    return int(lines);
}
