// shapes.cpp — closed shapes: polygons, the ellipse family (ellipse, round
// rectangle, arc, pie, chord), FillRect/FrameRect/InvertRect and painting
// regions.
//
// Every shape is integer geometry producing disjoint row spans for its
// interior and a polyline for its outline. With a cosmetic pen the interior
// is painted first and the outline on top of it (a pixel under the outline
// gets both, which shows under XOR-like mix modes); with a region pen (wide
// or geometric) the outline's pixels are collected in the pen mask first, so
// the interior is painted around them and every pixel gets one paint.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "gdi/draw_internal.h"
#include "gdi/ellipse_geometry.h"
#include "gdi/pen_internal.h"

using namespace plat::gdi;

namespace {

// ---------------------------------------------------------------- pens and outlines

struct PenInfo {
    const Pen* pen = nullptr;
    PenShape shape;       // width, region or cosmetic, dashes
    bool visible = false;
    int width = 0;
    bool region = false;  // outline is a pixel set (wide or geometric)
    bool plain = false;   // solid cosmetic: outline steps plotted directly
};

PenInfo pen_info(const DCState& st) {
    PenInfo pi;
    pi.pen = st.pen.get();
    if (!pi.pen || !pi.pen->visible()) return pi;
    pi.shape = pen_shape(st, *pi.pen);
    pi.visible = pi.shape.visible;
    pi.width = pi.shape.width;
    pi.region = pi.shape.region;
    pi.plain = pi.visible && !pi.region && !pi.shape.dashes;
    return pi;
}

// Corners mapped one by one and ordered: the half-open device box; an
// inside-frame pen moves the edges in so that its whole width stays inside.
RECT shape_device_box(const DCState& st, const PenInfo& pi, int l, int top, int r, int b) {
    RECT box = device_rect(st, l, top, r, b);
    if (pi.visible && pi.pen->dash_kind() == PS_INSIDEFRAME) {
        int w = pi.width;
        box.left += w / 2;
        box.top += w / 2;
        box.right -= (w - 1) / 2;
        box.bottom -= (w - 1) / 2;
    }
    return box;
}

RECT points_bounds(const std::vector<POINT>& pts) {
    RECT bb{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    for (POINT p : pts) {
        bb.left = std::min(bb.left, p.x);
        bb.top = std::min(bb.top, p.y);
        bb.right = std::max(bb.right, p.x);
        bb.bottom = std::max(bb.bottom, p.y);
    }
    return bb;
}

// Outline with a cosmetic pen. A polyline whose steps all go to a
// neighbouring pixel (an ellipse's) draws each step's first pixel, which is
// what the line stepper gives, without its per-pixel dash and clip work.
void cosmetic_outline(Target& t, const DC& dc, const PenInfo& pi, const std::vector<POINT>& pts, bool closed) {
    size_t n = pts.size();
    if (!pi.visible || n < 2) return;
    size_t segs = closed ? n : n - 1;
    bool unit = pi.plain;
    for (size_t i = 0; unit && i < segs; ++i) {
        POINT a = pts[i], b = pts[i + 1 < n ? i + 1 : 0];
        unit = std::labs(long(b.x) - a.x) <= 1 && std::labs(long(b.y) - a.y) <= 1;
    }
    if (!unit) {
        if (closed && n == 2) {
            // Two points: the segment there and back, each end drawn once.
            stroke_polyline(t, dc, std::vector<POINT>{pts[0], pts[1], pts[0]}, false);
            return;
        }
        stroke_polyline(t, dc, pts, closed);
        return;
    }
    Paint p = realise_pen(dc, pi.pen);
    if (p.type == Paint::Type::None) return;
    Mix m = mix_for_rop2(dc.st.rop2);
    RECT bb = points_bounds(pts);
    const RECT* within = nullptr;  // a clip rectangle holding the whole outline
    for (const RECT& c : t.clip)
        if (bb.left >= c.left && bb.right < c.right && bb.top >= c.top && bb.bottom < c.bottom) within = &c;
    if (within) t.touch(bb.left, bb.top, bb.right + 1, bb.bottom + 1);
    if (within && p.type == Paint::Type::Solid && t.direct()) {
        // The common case: one mask pair, pixels written in place.
        const uint32_t and_mask = m.and_for(p.color), xor_mask = m.xor_for(p.color);
        for (size_t i = 0; i < segs; ++i) {
            POINT a = pts[i], b = pts[i + 1 < n ? i + 1 : 0];
            if (a.x == b.x && a.y == b.y) continue;  // a repeated point is an empty step
            uint32_t& d = t.surf.row(a.y)[a.x];
            d = (d & and_mask) ^ xor_mask;
        }
        return;
    }
    for (size_t i = 0; i < segs; ++i) {
        POINT a = pts[i], b = pts[i + 1 < n ? i + 1 : 0];
        if (a.x == b.x && a.y == b.y) continue;  // a repeated point is an empty step
        if (within) {
            span(t, a.y, a.x, a.x + 1, p, m);
        } else if (t.in_clip(a.x, a.y)) {
            t.touch(a.x, a.y, a.x + 1, a.y + 1);
            span(t, a.y, a.x, a.x + 1, p, m);
        }
    }
}

// A shape whose outline is drawn with a region pen: the outline's pixel set
// first, then the interior where the set is not, then the set. `inner` bounds
// the interior, whose spans each_span(sink) hands to sink(y, x0, x1).
template <class EachSpan>
void region_pen_shape(Target& t, const DC& dc, const PenInfo& pi, const std::vector<std::vector<POINT>>& outlines,
                      bool closed, const RECT& inner, EachSpan&& each_span) {
    RECT area = inner;
    auto grow = [&area](const RECT& r) {
        area.left = std::min(area.left, r.left);
        area.top = std::min(area.top, r.top);
        area.right = std::max(area.right, r.right);
        area.bottom = std::max(area.bottom, r.bottom);
    };
    for (const auto& o : outlines)
        if (!o.empty()) grow(stroke_bounds(o.data(), o.size(), stroke_margin(pi.shape)));
    PenMask mask;
    if (area.left >= area.right || !mask.init(area, t.clip)) return;
    for (const auto& o : outlines) pen_outline(pi.shape, o.data(), o.size(), closed, mask);
    Paint fill = brush_paint(dc);
    Mix mix = mix_for_rop2(dc.st.rop2);
    if (fill.type != Paint::Type::None)
        each_span([&](int y, int x0, int x1) {
            int cur = x0;
            mask.for_each_run_in_row(y, [&](int a, int b) {
                if (a > cur) fill_span(t, y, cur, std::min(a, x1), fill, mix);
                cur = std::max(cur, b);
            });
            if (cur < x1) fill_span(t, y, cur, x1, fill, mix);
        });
    mask.paint(t, realise_pen(dc, pi.pen), mix);
}

// Paints a shape: interior spans with the brush, outline polylines with the pen.
template <class EachSpan>
void paint_shape(Target& t, const DC& dc, const PenInfo& pi, const RECT& inner, EachSpan&& each_span,
                 const std::vector<std::vector<POINT>>& outlines, bool closed) {
    if (pi.visible && pi.region) {
        region_pen_shape(t, dc, pi, outlines, closed, inner, each_span);
        return;
    }
    Paint fill = brush_paint(dc);
    Mix mix = mix_for_rop2(dc.st.rop2);
    if (fill.type != Paint::Type::None) each_span([&](int y, int x0, int x1) { fill_span(t, y, x0, x1, fill, mix); });
    for (const auto& o : outlines) cosmetic_outline(t, dc, pi, o, closed);
}

// The interior of polygons (device points) under a fill rule, within the clip.
struct PolygonInterior {
    const POINT* pts;
    const int* counts;
    int ncontours;
    bool winding;
    RECT box;  // the clip's bounds
    template <class Sink>
    void operator()(Sink&& sink) const {
        polygon_spans(pts, counts, ncontours, winding, box, sink);
    }
};

RECT polygon_bounds(const std::vector<POINT>& pts, const RECT& clip_box) {
    RECT bb = points_bounds(pts);
    return RECT{std::max(bb.left, clip_box.left), std::max(bb.top, clip_box.top),
                std::min(bb.right, clip_box.right), std::min(bb.bottom, clip_box.bottom)};
}

// ---------------------------------------------------------------- ellipse outline

// The closed outline of the rounded box (l,t,r,b) with ew x eh corners: the
// upper-right quarter from the right middle to the top, mirrored to the
// left, then the upper half mirrored down, each copy in reverse order.
std::vector<POINT> rounded_outline(const RECT& box, int ew, int eh) {
    std::vector<POINT> q = ellipse_quadrant(ew, eh);
    std::vector<POINT> pts;
    pts.reserve(q.size() * 4);
    const int64_t L = box.left, T = box.top, R = box.right, B = box.bottom;
    for (POINT p : q) pts.push_back(POINT{LONG(R - ew + p.x), LONG(T + eh - 1 - p.y)});
    size_t n = pts.size();
    // An odd width spanning the whole box shares the top middle point.
    size_t skip = (ew % 2 == 1 && ew == R - L) ? 1 : 0;
    for (size_t i = n - skip; i-- > 0;) pts.push_back(POINT{LONG(L + R - 1 - pts[i].x), pts[i].y});
    n = pts.size();
    skip = (eh % 2 == 1 && eh == B - T) ? 1 : 0;
    for (size_t i = n - skip; i-- > 0;) pts.push_back(POINT{pts[i].x, LONG(T + B - 1 - pts[i].y)});
    return pts;
}

// Ellipse and RoundRect. Boxes too small for a curve are rectangles.
BOOL rounded_shape(HDC hdc, int l, int top, int r, int b, bool ellipse, int cw, int ch) {
    RECT box;
    int ew, eh;
    {
        auto dc = get_dc(hdc);
        if (!dc) return FALSE;
        const DCState& st = dc->st;
        PenInfo pi = pen_info(st);
        RECT raw = device_rect(st, l, top, r, b);
        if (raw.right <= raw.left || raw.bottom <= raw.top) return TRUE;
        // An inside frame wider than the box leaves a box of no size or
        // turned inside out: its corner sizes are then at most zero, which
        // makes it the rectangle below like any other tiny box.
        box = shape_device_box(st, pi, l, top, r, b);
        int64_t bw = int64_t(box.right) - box.left, bh = int64_t(box.bottom) - box.top;
        {
            // The corner size is the size (cw, ch) mapped as a vector: (0, 0)
            // and (cw, ch) each mapped and rounded, limited to the box. An
            // ellipse is the round rectangle whose corner is its own logical
            // size, so under rotation its corner can come out smaller than
            // the device box it is drawn in.
            if (ellipse) {
                cw = int(std::max<int64_t>(INT_MIN / 2, std::min<int64_t>(INT_MAX / 2, int64_t(r) - l)));
                ch = int(std::max<int64_t>(INT_MIN / 2, std::min<int64_t>(INT_MAX / 2, int64_t(b) - top)));
            }
            POINT o = to_device(st, 0, 0), c = to_device(st, cw, ch);
            ew = int(std::min<int64_t>(bw, std::llabs(int64_t(c.x) - o.x)));
            eh = int(std::min<int64_t>(bh, std::llabs(int64_t(c.y) - o.y)));
        }
    }
    if (ew <= 2 || eh <= 2) return Rectangle(hdc, l, top, r, b);
    DrawCall call(hdc);
    if (!call.ready()) return call.result();
    const std::shared_ptr<DC>& dc = call.dc();
    Target& t = call.target();
    DCState& st = call.dc()->st;
    PenInfo pi = pen_info(st);
    std::vector<std::vector<POINT>> outline;
    if (pi.visible) {
        outline.push_back(rounded_outline(box, ew, eh));
        // The outline runs in the DC's arc direction: where a dash pattern
        // starts and which way joins face depend on it.
        if (st.arc_dir == AD_CLOCKWISE) std::reverse(outline[0].begin(), outline[0].end());
    }
    RECT vis = rgn_box(t.clip);
    if (ellipse_walkable(ew, eh)) {
        RoundedBox rb(box.left, box.top, box.right, box.bottom, ew, eh);
        auto rows = [&](auto&& sink) {
            int y0 = std::max(box.top, vis.top), y1 = std::min(box.bottom, vis.bottom);
            for (int y = y0; y < y1; ++y) {
                int xa, xb;
                if (rb.row(y, &xa, &xb)) sink(y, xa, xb);
            }
        };
        paint_shape(t, *dc, pi, box, rows, outline, true);
    } else {
        // A huge box: the interior of the approximated outline.
        std::vector<POINT> o = outline.empty() ? rounded_outline(box, ew, eh) : outline[0];
        int cnt = int(o.size());
        paint_shape(t, *dc, pi, polygon_bounds(o, vis), PolygonInterior{o.data(), &cnt, 1, true, vis}, outline, true);
    }
    return TRUE;
}

// ---------------------------------------------------------------- arcs

enum class ArcKind { Arc, Chord, Pie };

// The ring points of the ellipse in `box` from the radial through `from` to
// the radial through `to` (device points), in the DC's arc direction. The
// ring holds 4n points for a quadrant of n; each radial picks the first
// ring point at or past it; equal radials give the whole ring.
std::vector<POINT> arc_points(const RECT& box, POINT from, POINT to, bool ccw) {
    std::vector<POINT> out;
    const int64_t L = box.left, T = box.top, R = box.right, B = box.bottom;
    int w = int(R - L), h = int(B - T);
    std::vector<POINT> q = ellipse_quadrant(w, h);
    const int64_t n = int64_t(q.size());
    if (n == 0) return out;
    std::vector<int64_t> px(q.size()), py(q.size());
    for (size_t m = 0; m < q.size(); ++m) {
        px[m] = q[m].x - w / 2;
        py[m] = q[m].y - h / 2;
    }
    const int64_t cx = L + w / 2, cy = T + h / 2;
    auto index = [&](POINT p) -> int64_t {
        int64_t x = int64_t(p.x) - cx, y = int64_t(p.y) - cy;
        if (ccw) y = -y;
        auto first = [&](auto test) {
            int64_t m = 0;
            while (m < n && !test(px[size_t(m)], py[size_t(m)])) ++m;
            return m;
        };
        if (y >= 0 && x >= 0) return first([&](int64_t a, int64_t b) { return a * y <= b * x; });
        if (y >= 0) return 2 * n - first([&](int64_t a, int64_t b) { return a * y < b * -x; });
        if (x >= 0) return 4 * n - first([&](int64_t a, int64_t b) { return a * -y <= b * x; });
        return 2 * n + first([&](int64_t a, int64_t b) { return a * -y < b * -x; });
    };
    int64_t start = index(from), end = index(to);
    if (end <= start) end += 4 * n;
    out.reserve(size_t(end - start) + 1);
    const int64_t lo = B - 1 - h / 2, hi = T + h / 2;  // the rows of the middle
    for (int64_t i = start; i < end; ++i) {
        int64_t k = (i / n) % 4, m = i % n;
        int64_t x, y;
        switch (k) {
            case 0: x = L + w / 2 + px[size_t(m)]; y = py[size_t(m)]; break;
            case 1: x = R - 1 - w / 2 - px[size_t(n - 1 - m)]; y = py[size_t(n - 1 - m)]; break;
            case 2: x = R - 1 - w / 2 - px[size_t(m)]; y = py[size_t(m)]; break;
            default: x = L + w / 2 + px[size_t(n - 1 - m)]; y = py[size_t(n - 1 - m)]; break;
        }
        bool upper = (k < 2) == ccw;
        y = upper ? lo - y : hi + y;
        out.push_back(POINT{LONG(x), LONG(y)});
    }
    return out;
}

BOOL arc_shape(HDC hdc, ArcKind kind, int l, int top, int r, int b, int xs, int ys, int xe, int ye) {
    DrawCall call(hdc);
    if (!call.ready()) return call.result();
    const std::shared_ptr<DC>& dc = call.dc();
    Target& t = call.target();
    DCState& st = call.dc()->st;
    PenInfo pi = pen_info(st);
    RECT box = shape_device_box(st, pi, l, top, r, b);
    if (box.right <= box.left || box.bottom <= box.top) return TRUE;
    std::vector<POINT> pts =
        arc_points(box, to_device(st, xs, ys), to_device(st, xe, ye), st.arc_dir != AD_CLOCKWISE);
    if (kind == ArcKind::Pie)
        pts.push_back(POINT{LONG(box.left + (int64_t(box.right) - box.left) / 2),
                            LONG(box.top + (int64_t(box.bottom) - box.top) / 2)});
    if (pts.size() < 2) return TRUE;
    RECT vis = rgn_box(t.clip);
    int cnt = kind == ArcKind::Arc ? 0 : int(pts.size());  // an arc has no interior
    RECT inner = polygon_bounds(pts, vis);
    PolygonInterior fill{pts.data(), &cnt, 1, true, vis};
    std::vector<std::vector<POINT>> outline;
    if (pi.visible) outline.push_back(pts);
    paint_shape(t, *dc, pi, inner, fill, outline, kind != ArcKind::Arc);
    return TRUE;
}

}  // namespace

// ---------------------------------------------------------------- rectangles

// FillRect and FrameRect: brush only, covering what PatBlt covers for the
// same logical block (so a mirrored transform keeps the starting column).
// The frame is one logical unit wide on each side: a scale widens it.
static RECT logical_block(const DCState& st, const RECT& r) {
    auto extent = [](LONG a, LONG b) {
        return int(std::max<int64_t>(-(1 << 30), std::min<int64_t>(1 << 30, int64_t(b) - a)));
    };
    return blt_rect(st, r.left, r.top, extent(r.left, r.right), extent(r.top, r.bottom));
}

int WINAPI FillRect(HDC hdc, CONST RECT* lprc, HBRUSH hbr) {
    if (!lprc) return 0;
    auto br = lookup_as<Brush>(hbr, Kind::Brush);
    if (!br) return 0;
    DrawCall call(hdc);
    if (!call.ready()) return call.result();
    const std::shared_ptr<DC>& dc = call.dc();
    Target& t = call.target();
    DCState& st = call.dc()->st;
    if (lprc->left > lprc->right || lprc->top > lprc->bottom) return TRUE;  // inverted rectangles fill nothing
    RECT d = logical_block(st, *lprc);
    fill_rect(t, d.left, d.top, d.right, d.bottom, realise_brush(*dc, br.get()), mix_for_rop2(R2_COPYPEN));
    return TRUE;
}

int WINAPI FrameRect(HDC hdc, CONST RECT* lprc, HBRUSH hbr) {
    if (!lprc) return 0;
    auto br = lookup_as<Brush>(hbr, Kind::Brush);
    if (!br) return 0;
    DrawCall call(hdc);
    if (!call.ready()) return call.result();
    const std::shared_ptr<DC>& dc = call.dc();
    Target& t = call.target();
    DCState& st = call.dc()->st;
    const RECT& r = *lprc;
    if (r.left >= r.right || r.top >= r.bottom) return TRUE;
    Paint p = realise_brush(*dc, br.get());
    Mix m = mix_for_rop2(R2_COPYPEN);
    // Left, right, top and bottom sides; where they overlap the same pixel
    // gets the same brush pixel again.
    const RECT sides[4] = {{r.left, r.top, r.left + 1, r.bottom},
                           {r.right - 1, r.top, r.right, r.bottom},
                           {r.left, r.top, r.right, r.top + 1},
                           {r.left, r.bottom - 1, r.right, r.bottom}};
    for (const RECT& s : sides) {
        RECT d = logical_block(st, s);
        fill_rect(t, d.left, d.top, d.right, d.bottom, p, m);
    }
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

// ---------------------------------------------------------------- polygons

// Polygons: the interior in the DC's fill mode, the pen's outline one
// closed polyline per contour.
static BOOL poly_polygon(HDC hdc, CONST POINT* apt, CONST INT* counts, int ncontours) {
    size_t total = 0;
    for (int c = 0; c < ncontours; ++c) {
        if (counts[c] < 2) return FALSE;
        total += size_t(counts[c]);
    }
    DrawCall call(hdc);
    if (!call.ready()) return call.result();
    const std::shared_ptr<DC>& dc = call.dc();
    Target& t = call.target();
    DCState& st = call.dc()->st;
    std::vector<POINT> pts = device_points(st, apt, total);
    PenInfo pi = pen_info(st);
    RECT vis = rgn_box(t.clip);
    std::vector<std::vector<POINT>> outlines;
    if (pi.visible) {
        size_t k = 0;
        for (int c = 0; c < ncontours; ++c) {
            outlines.emplace_back(pts.begin() + ptrdiff_t(k), pts.begin() + ptrdiff_t(k + size_t(counts[c])));
            k += size_t(counts[c]);
        }
    }
    paint_shape(t, *dc, pi, polygon_bounds(pts, vis),
                PolygonInterior{pts.data(), counts, ncontours, st.polyfill == WINDING, vis}, outlines, true);
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

// ---------------------------------------------------------------- ellipse family

BOOL WINAPI Ellipse(HDC hdc, int left, int top, int right, int bottom) {
    return rounded_shape(hdc, left, top, right, bottom, true, 0, 0);
}

BOOL WINAPI RoundRect(HDC hdc, int left, int top, int right, int bottom, int width, int height) {
    return rounded_shape(hdc, left, top, right, bottom, false, width, height);
}

BOOL WINAPI Arc(HDC hdc, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    return arc_shape(hdc, ArcKind::Arc, x1, y1, x2, y2, x3, y3, x4, y4);
}

BOOL WINAPI Pie(HDC hdc, int left, int top, int right, int bottom, int xr1, int yr1, int xr2, int yr2) {
    return arc_shape(hdc, ArcKind::Pie, left, top, right, bottom, xr1, yr1, xr2, yr2);
}

BOOL WINAPI Chord(HDC hdc, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    return arc_shape(hdc, ArcKind::Chord, x1, y1, x2, y2, x3, y3, x4, y4);
}

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
    DrawCall call(hdc);
    if (!call.ready()) return call.result();
    const std::shared_ptr<DC>& dc = call.dc();
    Target& t = call.target();
    DCState& st = call.dc()->st;
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
