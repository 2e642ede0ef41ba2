// rectangle.cpp — Rectangle. In the advanced graphics mode it is the polygon
// of its four mapped corners: the outline covers both edge columns and rows,
// the fill is the half-open box, a region pen's outline has the pen's joins
// and PS_INSIDEFRAME does not shrink it. The compatible mode leaves out the
// right and bottom edges and keeps an inside-frame pen within the box.
#include <algorithm>

#include "gdi/pen_internal.h"

using namespace plat::gdi;

namespace {

// The box with device corners c (an upright rectangle) drawn with a region
// pen: the outline with the pen's joins is one pixel set, the half-open fill
// [left, right) x [top, bottom) of the corners leaves it out.
void region_pen_box(Target& t, const DC& dc, const PenShape& ps, const POINT* c, const Paint& fill, const Mix& mix) {
    int l = std::min(c[0].x, c[2].x), r = std::max(c[0].x, c[2].x);
    int tp = std::min(c[0].y, c[2].y), b = std::max(c[0].y, c[2].y);
    PenMask mask;
    RECT bounds = stroke_bounds(c, 4, stroke_margin(ps));
    if (!mask.init(bounds, t.clip)) return;
    pen_outline(ps, c, 4, true, mask);
    if (fill.type != Paint::Type::None) {
        int y0 = std::max(tp, mask.top()), y1 = std::min(b, mask.bottom());
        for (int y = y0; y < y1; ++y) {
            int x = l;
            mask.for_each_run_in_row(y, [&](int xa, int xb) {
                if (xa > x) fill_span(t, y, x, std::min(xa, r), fill, mix);
                x = std::max(x, xb);
            });
            if (x < r) fill_span(t, y, x, r, fill, mix);
        }
    }
    mask.paint(t, realise_pen(dc, dc.st.pen.get()), mix);
}

// Rectangle in the advanced mode without rotation or shear.
BOOL advanced_rectangle(HDC hdc, int left, int top, int right, int bottom) {
    DrawCall call(hdc);
    if (!call.ready()) return call.result();
    const std::shared_ptr<DC>& dc = call.dc();
    Target& t = call.target();
    DCState& st = call.dc()->st;
    POINT c[4] = {to_device(st, left, top), to_device(st, right, top), to_device(st, right, bottom),
                  to_device(st, left, bottom)};
    int l = std::min(c[0].x, c[2].x), r = std::max(c[0].x, c[2].x);
    int tp = std::min(c[0].y, c[2].y), b = std::max(c[0].y, c[2].y);
    Mix mix = mix_for_rop2(st.rop2);
    Paint fill = brush_paint(*dc);
    const Pen* pen = st.pen.get();
    PenShape ps = pen ? pen_shape(st, *pen) : PenShape{};
    if (!ps.visible) {
        fill_rect(t, l, tp, r, b, fill, mix);
        return TRUE;
    }
    if (!ps.region) {
        // The inside first, then the outline over it.
        fill_rect(t, l, tp, r, b, fill, mix);
        stroke_points(t, *dc, c, 4, true);
        return TRUE;
    }
    region_pen_box(t, *dc, ps, c, fill, mix);
    return TRUE;
}

}  // namespace

BOOL WINAPI Rectangle(HDC hdc, int left, int top, int right, int bottom) {
    {
        // Under a rotating or shearing transform the rectangle is a polygon.
        auto d = get_dc(hdc);
        if (d && d->st.gm == GM_ADVANCED && (d->st.xf.eM12 != 0 || d->st.xf.eM21 != 0)) {
            POINT corners[4] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
            return Polygon(hdc, corners, 4);
        }
        if (d && d->st.gm == GM_ADVANCED) return advanced_rectangle(hdc, left, top, right, bottom);
    }
    DrawCall call(hdc);
    if (!call.ready()) return call.result();
    const std::shared_ptr<DC>& dc = call.dc();
    Target& t = call.target();
    DCState& st = call.dc()->st;
    RECT d = device_rect(st, left, top, right, bottom);
    const Pen* pen = st.pen.get();
    bool pen_vis = pen && pen->visible();
    // Right/bottom exclusive area: the compatible mode leaves out the right
    // and bottom edges; an invisible pen takes one more pixel off each.
    int r = d.right - (pen_vis ? 0 : 1);
    int b = d.bottom - (pen_vis ? 0 : 1);
    int l = d.left, tp = d.top;
    if (r <= l || b <= tp) return TRUE;
    Mix mix = mix_for_rop2(st.rop2);
    Paint fill = brush_paint(*dc);
    if (!pen_vis) {
        fill_rect(t, l, tp, r, b, fill, mix);
        return TRUE;
    }
    int w = pen_width(st, *pen);
    const int kind = pen->dash_kind();
    if (kind != PS_INSIDEFRAME) {
        // The outline is centred on the edge pixels.
        int e0 = (w - 1) / 2, e1 = w - 1 - e0;
        l -= e0;
        tp -= e0;
        r += e1;
        b += e1;
    }
    Paint pp = realise_pen(*dc, pen);
    if (kind != PS_SOLID && kind != PS_INSIDEFRAME) {
        // Styled pens: the inside, then the outline as a dashed closed path.
        int half = w / 2;
        fill_rect(t, l + w, tp + w, r - w, b - w, fill, mix);
        std::vector<POINT> path{{l + half, tp + half}, {r - 1 - (w - 1 - half), tp + half},
                                {r - 1 - (w - 1 - half), b - 1 - (w - 1 - half)}, {l + half, b - 1 - (w - 1 - half)}};
        stroke_polyline(t, *dc, path, true);
        return TRUE;
    }
    PenShape ps = pen_shape(st, *pen);
    if (ps.region && (kind == PS_SOLID || kind == PS_INSIDEFRAME)) {
        // A region pen follows the closed path through the last pixel of
        // each edge, (left, top) to (right - 1, bottom - 1), with its joins
        // (round for CreatePen pens, so the outer corners are cut). The path
        // runs down the left side first and back along the top, which decides
        // how bevel joins fall on the pixel grid at each corner; an
        // inside-frame pen's path is moved in so that its band stays in the box.
        // A pen wider than the box moves the path's sides past each other;
        // the path is followed as it comes out, so the shape is the pen run
        // along a short segment across the box's middle.
        int in0 = kind == PS_INSIDEFRAME ? w / 2 : 0, in1 = kind == PS_INSIDEFRAME ? (w - 1) / 2 : 0;
        int x0 = d.left + in0, y0 = d.top + in0, x1 = d.right - 1 - in1, y1 = d.bottom - 1 - in1;
        POINT c[4] = {{x0, y0}, {x0, y1}, {x1, y1}, {x1, y0}};
        region_pen_box(t, *dc, ps, c, fill, mix);
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

