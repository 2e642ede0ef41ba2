// draw_internal.h — what the drawing files share: the drawing prologue,
// device-space helpers, polygon spans, Bézier flattening and the pen stroker.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <type_traits>
#include <utility>
#include <vector>

#include "gdi/gdi_internal.h"

namespace plat::gdi {

constexpr double kPi = 3.14159265358979323846;

// A drawing call's DC and its pixels, looked up once at the top of the
// call. A DC without pixels (the screen, an empty window) accepts drawing
// and changes nothing: when ready() is false, result() is what the call returns.
class DrawCall {
public:
    explicit DrawCall(HDC hdc) : dc_(get_dc(hdc)) {
        if (dc_) target_.emplace(*dc_);
    }
    bool ready() const { return target_ && target_->ok(); }
    BOOL result() const { return target_ && target_->screen() ? TRUE : FALSE; }
    const std::shared_ptr<DC>& dc() const { return dc_; }
    Target& target() { return *target_; }

private:
    std::shared_ptr<DC> dc_;
    std::optional<Target> target_;
};

// x + w without overflow, kept within +-2^30.
int clamp_sum(int a, int b);
RECT device_rect(const DCState& st, int l, int top, int r, int b);
// Block (x, y, w, h) in logical units as the block transfers cover it in
// device space: a negative device extent keeps the starting column or row.
RECT blt_rect(const DCState& st, int x, int y, int w, int h);
// Device width of a pen: geometric pens scale with the transform.
int pen_width(const DCState& st, const Pen& pen);
// Transforms logical points to device points.
std::vector<POINT> device_points(const DCState& st, const POINT* apt, size_t n);
// The device box a bounding-rectangle shape covers, right/bottom exclusive.
RECT shape_box(const DCState& st, int l, int top, int r, int b);
Paint brush_paint(const DC& dc);
// A blit onto a right-to-left DC that keeps the source's orientation (layout.cpp).
bool blit_keeps_orientation(const DCState& st, DWORD rop);

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
// The one polygon filler: shapes pass device points, wide pens the 64-bit
// corners of their segment and join polygons.
struct Point64 {
    int64_t x, y;
};
using SpanSink = void (*)(void* ctx, int y, int x0, int x1);
void polygon_spans(const POINT* pts, const int* counts, int ncontours, bool winding, const RECT& box, SpanSink sink,
                   void* ctx);
void polygon_spans(const Point64* pts, const int* counts, int ncontours, bool winding, const RECT& box, SpanSink sink,
                   void* ctx);
template <class Pt, class F>
void polygon_spans(const Pt* pts, const int* counts, int ncontours, bool winding, const RECT& box, F&& f) {
    using Fn = std::remove_reference_t<F>;
    polygon_spans(
        pts, counts, ncontours, winding, box,
        [](void* c, int y, int x0, int x1) { (*static_cast<Fn*>(c))(y, x0, x1); }, &f);
}

// The polyline of a run of cubic Béziers (count 3n + 1 logical points):
// the first point, then the end of every flat piece; empty for other counts.
std::vector<POINT> flatten_beziers(const POINT* apt, size_t count);

// Draws an open or closed polyline (device points) with the DC's pen.
void stroke_polyline(Target& t, const DC& dc, const std::vector<POINT>& pts, bool closed);
// PatBlt's body: a ternary raster operation with the pattern over a device rectangle.
void rop_fill(Target& t, const RECT& d, const Paint& pat, uint8_t rop);

}  // namespace plat::gdi
