// bezier.cpp — PolyBezier: cubic Bézier curves flattened in logical
// coordinates into one polyline, which is then mapped and drawn with the
// selected pen.
//
// Flattening works in fixed point (1/16 unit) by halving each curve at
// t = 1/2 with rounded integer midpoints, at most eight times, until the
// control points lie within one unit of the chord measured along the
// chord's minor axis. Integer arithmetic keeps the result independent of
// the floating-point unit.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "gdi/draw_internal.h"

using namespace plat::gdi;

namespace {

struct FixedPt {
    int64_t x, y;
};

FixedPt mid(FixedPt a, FixedPt b) { return FixedPt{(a.x + b.x + 1) / 2, (a.y + b.y + 1) / 2}; }

// The piece is flat along one axis: u is the chord's major axis, v its minor one.
bool flat_along(int64_t u0, int64_t u3, int64_t v0, int64_t v3, const int64_t cu[2], const int64_t cv[2]) {
    // Both controls must lie between the ends along the major axis; the
    // ends count as between, except the start when the chord runs toward
    // smaller values.
    int64_t lo = std::min(u0, u3), hi = std::max(u0, u3);
    for (int i = 0; i < 2; ++i)
        if (cu[i] < lo || cu[i] > hi || (u3 < u0 && cu[i] == u0)) return false;
    int64_t q = (u3 - u0 + 8) >> 4;
    if (q == 0) return true;
    int64_t slope = (v3 - v0) / q;
    for (int i = 0; i < 2; ++i)
        if (std::llabs(cv[i] - v0 - slope * ((cu[i] - u0 + 8) >> 4)) > 16) return false;
    return true;
}

bool flat(const FixedPt p[4]) {
    int64_t dx = p[3].x - p[0].x, dy = p[3].y - p[0].y;
    int64_t cx[2] = {p[1].x, p[2].x}, cy[2] = {p[1].y, p[2].y};
    if (std::llabs(dy) <= std::llabs(dx)) return flat_along(p[0].x, p[3].x, p[0].y, p[3].y, cx, cy);
    return flat_along(p[0].y, p[3].y, p[0].x, p[3].x, cy, cx);
}

POINT to_units(FixedPt p) { return POINT{LONG((p.x + 8) >> 4), LONG((p.y + 8) >> 4)}; }

// Appends the end points of the flat pieces of one cubic.
void flatten(const FixedPt p[4], int depth, std::vector<POINT>& out) {
    if (depth == 0 || flat(p)) {
        out.push_back(to_units(p[3]));
        return;
    }
    FixedPt p01 = mid(p[0], p[1]), p12 = mid(p[1], p[2]), p23 = mid(p[2], p[3]);
    FixedPt p012 = mid(p01, p12), p123 = mid(p12, p23);
    FixedPt c = mid(p012, p123);
    FixedPt left[4] = {p[0], p01, p012, c}, right[4] = {c, p123, p23, p[3]};
    flatten(left, depth - 1, out);
    flatten(right, depth - 1, out);
}

}  // namespace

namespace plat::gdi {

// The polyline of a run of cubics (logical points, count 3n + 1).
std::vector<POINT> flatten_beziers(const POINT* apt, size_t count) {
    std::vector<POINT> out;
    if (count < 4 || (count - 1) % 3 != 0) return out;
    out.push_back(apt[0]);
    for (size_t i = 0; i + 3 < count; i += 3) {
        FixedPt p[4];
        for (int k = 0; k < 4; ++k) p[k] = FixedPt{int64_t(apt[i + k].x) * 16, int64_t(apt[i + k].y) * 16};
        flatten(p, 8, out);
    }
    return out;
}

}  // namespace plat::gdi

BOOL WINAPI PolyBezier(HDC hdc, CONST POINT* apt, DWORD cpt) {
    if (!apt || cpt < 4 || (cpt - 1) % 3 != 0) return FALSE;
    DrawCall call(hdc);
    if (!call.ready()) return call.result();
    const std::shared_ptr<DC>& dc = call.dc();
    Target& t = call.target();
    DCState& st = call.dc()->st;
    std::vector<POINT> logical = flatten_beziers(apt, cpt);
    stroke_polyline(t, *dc, device_points(st, logical.data(), logical.size()), false);
    return TRUE;
}

// The curves start at the current position, which moves to the last point.
BOOL WINAPI PolyBezierTo(HDC hdc, CONST POINT* apt, DWORD cpt) {
    if (!apt || cpt == 0 || cpt % 3 != 0) return FALSE;
    DrawCall call(hdc);
    if (!call.ready()) return call.result();
    const std::shared_ptr<DC>& dc = call.dc();
    Target& t = call.target();
    DCState& st = call.dc()->st;
    std::vector<POINT> control{st.cur};
    control.insert(control.end(), apt, apt + cpt);
    std::vector<POINT> logical = flatten_beziers(control.data(), control.size());
    st.cur = apt[cpt - 1];
    stroke_polyline(t, *dc, device_points(st, logical.data(), logical.size()), false);
    return TRUE;
}

// Lines and curves by point type. A figure runs from a move (or the current
// position) to the next move and is drawn as one polyline; a closing flag
// adds the segment back to the figure's start, which becomes the current
// position. The types are checked before anything is drawn.
BOOL WINAPI PolyDraw(HDC hdc, CONST POINT* apt, CONST BYTE* aj, int cpt) {
    if (!apt || !aj || cpt <= 0) return FALSE;
    for (int i = 0; i < cpt;) {
        BYTE kind = aj[i] & BYTE(~PT_CLOSEFIGURE);
        if (kind == PT_BEZIERTO) {
            if (i + 2 >= cpt || (aj[i + 1] & ~PT_CLOSEFIGURE) != PT_BEZIERTO || (aj[i + 2] & ~PT_CLOSEFIGURE) != PT_BEZIERTO)
                return FALSE;
            i += 3;
        } else if (kind == PT_LINETO || aj[i] == PT_MOVETO) {
            ++i;
        } else {
            return FALSE;
        }
    }
    DrawCall call(hdc);
    if (!call.ready()) return call.result();
    const std::shared_ptr<DC>& dc = call.dc();
    Target& t = call.target();
    DCState& st = call.dc()->st;
    POINT start = st.cur;
    std::vector<POINT> figure{st.cur};
    auto flush = [&] {
        if (figure.size() > 1) stroke_polyline(t, *dc, device_points(st, figure.data(), figure.size()), false);
        figure.assign(1, st.cur);
    };
    for (int i = 0; i < cpt;) {
        BYTE kind = aj[i] & BYTE(~PT_CLOSEFIGURE);
        bool close = false;
        if (aj[i] == PT_MOVETO) {
            flush();
            st.cur = start = apt[i];
            figure.assign(1, st.cur);
            ++i;
            continue;
        }
        if (kind == PT_LINETO) {
            figure.push_back(apt[i]);
            st.cur = apt[i];
            close = (aj[i] & PT_CLOSEFIGURE) != 0;
            ++i;
        } else {
            POINT control[4] = {st.cur, apt[i], apt[i + 1], apt[i + 2]};
            std::vector<POINT> curve = flatten_beziers(control, 4);
            figure.insert(figure.end(), curve.begin() + 1, curve.end());
            st.cur = apt[i + 2];
            close = (aj[i + 2] & PT_CLOSEFIGURE) != 0;
            i += 3;
        }
        if (close) {
            figure.push_back(start);
            st.cur = start;
            flush();
        }
    }
    flush();
    return TRUE;
}
