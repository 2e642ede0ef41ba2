// pen_stroke.cpp — lines and polylines with the selected pen: the choice
// between 1-px lines and region pens, LineTo, Polyline, PolylineTo and the
// miter limit.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>

#include "gdi/pen_internal.h"

using namespace plat::gdi;

namespace plat::gdi {

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
    PenMask mask;
    if (!mask.init(stroke_bounds(pts, n, stroke_margin(ps)), t.clip)) return;
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
    DrawCall call(hdc);
    if (!call.ready()) return call.result();
    const std::shared_ptr<DC>& dc = call.dc();
    Target& t = call.target();
    DCState& st = call.dc()->st;
    POINT pts[2] = {to_device(st, st.cur.x, st.cur.y), to_device(st, x, y)};
    st.cur = POINT{x, y};
    stroke_points(t, *dc, pts, 2, false);
    return TRUE;
}

BOOL WINAPI Polyline(HDC hdc, CONST POINT* apt, int cpt) {
    if (!apt || cpt < 2) return FALSE;
    DrawCall call(hdc);
    if (!call.ready()) return call.result();
    const std::shared_ptr<DC>& dc = call.dc();
    Target& t = call.target();
    DCState& st = call.dc()->st;
    stroke_polyline(t, *dc, device_points(st, apt, size_t(cpt)), false);
    return TRUE;
}

BOOL WINAPI PolylineTo(HDC hdc, CONST POINT* apt, DWORD cpt) {
    if (!apt || cpt == 0) return FALSE;
    DrawCall call(hdc);
    if (!call.ready()) return call.result();
    const std::shared_ptr<DC>& dc = call.dc();
    Target& t = call.target();
    DCState& st = call.dc()->st;
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
