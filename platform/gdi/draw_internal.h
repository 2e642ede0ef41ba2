// draw_internal.h — what the drawing files share: the drawing prologue,
// device-space helpers, the shape canvas, scan conversion, Bresenham stepping
// and the pen stroker.
//
// A closed shape is first rasterised into a small canvas covering the visible
// part of its bounding box (0 = outside, 1 = interior, 2 = outline) so that
// every pixel is painted exactly once, which keeps the non-idempotent mix
// modes (R2_XORPEN, R2_NOT, ...) correct.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <type_traits>
#include <utility>
#include <vector>

#include "gdi/gdi_internal.h"

namespace plat::gdi {

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
int clamp_sum(int a, int b);
RECT device_rect(const DCState& st, int l, int top, int r, int b);
// Device width of a pen: geometric pens scale with the transform.
int pen_width(const DCState& st, const Pen& pen);
// Transforms logical points to device points.
std::vector<POINT> device_points(const DCState& st, const POINT* apt, size_t n);
// The device box a bounding-rectangle shape covers, right/bottom exclusive.
RECT shape_box(const DCState& st, int l, int top, int r, int b);
Paint brush_paint(const DC& dc);

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
    void emit(Target& t, const Paint& fill, const Paint& pen, const Mix& mix);
};

// One half-open run of pixels [x0, x1) on row y.
struct Span {
    int y, x0, x1;
};

// Interior of polygons (device points; contour c has counts[c] points and
// is closed implicitly) under ALTERNATE or WINDING, limited to `box`. A
// pixel is inside when its top-left corner is: an edge covers its rows
// top..bottom-1 and crosses row y at the first integer x at or right of the
// true crossing. Spans come row by row from the top, disjoint and sorted.
// Spans go to sink(ctx, y, x0, x1) as they are found, so nothing grows with
// the number of spans.
using SpanSink = void (*)(void* ctx, int y, int x0, int x1);
void polygon_spans(const POINT* pts, const int* counts, int ncontours, bool winding, const RECT& box, SpanSink sink,
                   void* ctx);
template <class F>
void polygon_spans(const POINT* pts, const int* counts, int ncontours, bool winding, const RECT& box, F&& f) {
    using Fn = std::remove_reference_t<F>;
    polygon_spans(
        pts, counts, ncontours, winding, box,
        [](void* c, int y, int x0, int x1) { (*static_cast<Fn*>(c))(y, x0, x1); }, &f);
}

// Scan conversion of a polygon (device coordinates, any number of closed
// contours): row y samples at y; spans [ceil(xl), ceil(xr)).
void scan_polygon(Canvas& cv, const std::vector<std::vector<std::pair<double, double>>>& contours, bool winding,
                  uint8_t v);

// A 1-px line from a to b, the last pixel excluded; calls put(x, y). The
// major axis steps every pixel; the error starts at 2m - M and a tie steps the
// minor axis early in the octants where the line runs up or left (y down:
// dy > 0 with dx <= 0 and |dy| >= |dx|, or dy <= 0 except the steep up-right
// octant), late elsewhere.
template <class F>
void bresenham(POINT a, POINT b, F&& put) {
    int64_t dx = int64_t(b.x) - a.x, dy = int64_t(b.y) - a.y;
    int oct;
    if (dy > 0)
        oct = dx > 0 ? (dx > dy ? 1 : 2) : (-dx > dy ? 4 : 3);
    else
        oct = dx < 0 ? (-dx > -dy ? 5 : 6) : (dx > -dy ? 8 : 7);
    bool xmajor = oct == 1 || oct == 4 || oct == 5 || oct == 8;
    int64_t bias = (oct == 3 || oct == 5 || oct == 6 || oct == 8) ? 1 : 0;
    int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    int64_t M = xmajor ? adx : ady, m = xmajor ? ady : adx;
    int sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
    int64_t e = 2 * m - M + bias, x = a.x, y = a.y;
    for (int64_t i = 0; i < M; ++i) {
        put(int(x), int(y));
        if (e > 0) {
            if (xmajor) y += sy;
            else x += sx;
            e += 2 * m - 2 * M;
        } else {
            e += 2 * m;
        }
        if (xmajor) x += sx;
        else y += sy;
    }
}

// The polyline of a run of cubic Béziers (count 3n + 1 logical points):
// the first point, then the end of every flat piece; empty for other counts.
std::vector<POINT> flatten_beziers(const POINT* apt, size_t count);

// Clips segment a-b to box (expanded); false when it misses entirely.
bool clip_segment(POINT& a, POINT& b, const RECT& box);
bool far_out(POINT a, POINT b, const RECT& box);
// A wide pen's stroke of one segment into the canvas.
void wide_segment(Canvas& cv, POINT a, POINT b, int width, DWORD cap, uint8_t v);
// Draws an open or closed polyline (device points) with the DC's pen.
void stroke_polyline(Target& t, const DC& dc, const std::vector<POINT>& pts, bool closed);
// PatBlt's body: a ternary raster operation with the pattern over a device rectangle.
void rop_fill(Target& t, const RECT& d, const Paint& pat, uint8_t rop);

}  // namespace plat::gdi
