// draw_common.cpp — device-space helpers shared by the drawing calls.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>

#include "gdi/pen_internal.h"

using namespace plat::gdi;

namespace plat::gdi {

// x + w without overflow, kept within +-2^30.
int clamp_sum(int a, int b) {
    int64_t v = int64_t(a) + b;
    return int(std::max<int64_t>(INT32_MIN / 2, std::min<int64_t>(INT32_MAX / 2, v)));
}

RECT device_rect(const DCState& st, int l, int top, int r, int b) {
    POINT a = to_device(st, l, top), c = to_device(st, r, b);
    RECT d{std::min(a.x, c.x), std::min(a.y, c.y), std::max(a.x, c.x), std::max(a.y, c.y)};
    // Mirrored, the box keeps its pixels: columns [l, r) become [w - r, w - l).
    if (st.layout & LAYOUT_RTL) ++d.left, ++d.right;
    return d;
}

// Rectangle (x, y, w, h) in logical units to a right/bottom exclusive device
// rect. A negative device extent keeps the starting column (or row) and runs
// back from it: (x + w, x] rather than [x + w, x).
RECT blt_rect(const DCState& st, int x, int y, int w, int h) {
    POINT a = to_device(st, x, y), c = to_device(st, clamp_sum(x, w), clamp_sum(y, h));
    RECT r{a.x, a.y, c.x, c.y};
    // A mirrored layout that keeps bitmaps' orientation takes the mirrored corners as they are.
    if (r.right < r.left && blit_keeps_orientation(st, 0)) r = RECT{r.right, r.top, r.left, r.bottom};
    if (r.right < r.left) r = RECT{r.right + 1, r.top, r.left + 1, r.bottom};
    if (r.bottom < r.top) r = RECT{r.left, r.bottom + 1, r.right, r.top + 1};
    return r;
}

// Device width of a pen: (0,0) and (w,0) mapped, their distance.
int pen_width(const DCState& st, const Pen& pen) { return pen_shape(st, pen).width; }

Paint brush_paint(const DC& dc) { return realise_brush(dc, dc.st.brush.get()); }

// Transforms logical points to device points.
std::vector<POINT> device_points(const DCState& st, const POINT* apt, size_t n) {
    std::vector<POINT> v(n);
    if (!st.mapped && !(st.layout & LAYOUT_RTL)) {
        // Identity mapping: only the clamp to the coordinate range applies.
        auto clamp = [](LONG c) { return std::min<LONG>(std::max<LONG>(c, -1000000000), 1000000000); };
        for (size_t i = 0; i < n; ++i) v[i] = POINT{clamp(apt[i].x), clamp(apt[i].y)};
        return v;
    }
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

}  // namespace plat::gdi
