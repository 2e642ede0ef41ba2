// pen_stroke.cpp — lines and polylines with the selected pen: the choice
// between 1-px lines and region pens, LineTo, Polyline, PolylineTo and the
// miter limit. (The older per-segment helpers below stay for shape outlines
// still drawn through the byte canvas.)
#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>

#include "gdi/pen_internal.h"

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
        // Only the part of the disc's box inside the canvas is visited.
        int64_t r = int64_t(std::ceil(hw));
        int64_t ya = std::max<int64_t>(int64_t(c.y) - r, cv.y0), yb = std::min<int64_t>(int64_t(c.y) + r, cv.y0 + cv.h - 1);
        int64_t xa = std::max<int64_t>(int64_t(c.x) - r, cv.x0), xb = std::min<int64_t>(int64_t(c.x) + r, cv.x0 + cv.w - 1);
        for (int64_t y = ya; y <= yb; ++y)
            for (int64_t x = xa; x <= xb; ++x) {
                double ex = x - c.x, ey = y - c.y;
                if (ex * ex + ey * ey <= hw * hw) cv.set(int(x), int(y), v);
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

void stroke_points(Target& t, const DC& dc, const POINT* pts, size_t n, bool closed) {
    const Pen* pen = dc.st.pen.get();
    if (!pen || n == 0) return;
    PenShape ps = pen_shape(dc.st, *pen);
    if (!ps.visible) return;
    if (!ps.region) {
        if (n < 2) return;
        LineInk ink = line_ink(dc, ps);
        if (ink.on.type == Paint::Type::None) return;
        uint64_t phase = 0;
        for (size_t i = 0; i + 1 < n; ++i) cosmetic_segment(t, pts[i], pts[i + 1], ink, &phase);
        if (closed && n > 2) cosmetic_segment(t, pts[n - 1], pts[0], ink, &phase);
        return;
    }
    int margin = ps.width;
    if (ps.join == PS_JOIN_MITER)
        margin = int(std::min(double(1 << 30), std::max(double(margin), std::ceil(ps.miter_limit * ps.width / 2) + 1)));
    PenMask mask;
    if (!mask.init(stroke_bounds(pts, n, margin), t.clip)) return;
    pen_outline(ps, pts, n, closed, mask);
    mask.paint(t, realise_pen(dc, pen), mix_for_rop2(dc.st.rop2));
}

// Draws an open or closed polyline (device points) with the DC's pen.
void stroke_polyline(Target& t, const DC& dc, const std::vector<POINT>& pts, bool closed) {
    stroke_points(t, dc, pts.data(), pts.size(), closed);
}

}  // namespace plat::gdi

// ---------------------------------------------------------------- lines

BOOL WINAPI LineTo(HDC hdc, int x, int y) {
    BEGIN_DRAW(hdc);
    POINT pts[2] = {to_device(st, st.cur.x, st.cur.y), to_device(st, x, y)};
    st.cur = POINT{x, y};
    stroke_points(t, *dc, pts, 2, false);
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

BOOL WINAPI SetMiterLimit(HDC hdc, FLOAT limit, PFLOAT old) {
    auto dc = get_dc(hdc);
    if (!dc || !(limit >= 1.0f)) return FALSE;  // below one (or NaN) is refused
    if (old) *old = dc->st.miter_limit;
    dc->st.miter_limit = limit;
    return TRUE;
}

BOOL WINAPI GetMiterLimit(HDC hdc, PFLOAT limit) {
    auto dc = get_dc(hdc);
    if (!dc || !limit) return FALSE;
    *limit = dc->st.miter_limit;
    return TRUE;
}
