// pen_stroke.cpp — lines and polylines with the selected pen: clipping,
// Bresenham stepping for cosmetic pens, dashes, and wide pens through the
// shape canvas; LineTo, Polyline and PolylineTo.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>

#include "gdi/draw_internal.h"

using namespace plat::gdi;

namespace plat::gdi {

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

namespace {

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

}  // namespace

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

}  // namespace plat::gdi

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
