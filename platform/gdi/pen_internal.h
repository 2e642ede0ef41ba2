// pen_internal.h — what the pen files share: a pen's shape on a DC (device
// width, region or cosmetic), dash patterns, the cosmetic line walker and the
// pixel set a region pen's outline is built in before it is painted once.
//
// Shape code strokes outlines with these too: `stroke_polyline` paints a
// device polyline with the DC's pen; for a region pen, `pen_outline` builds
// the outline into a `PenMask` first so that a fill can leave its pixels out.
#pragma once

#include <cstdint>
#include <vector>

#include "gdi/draw_internal.h"

namespace plat::gdi {

// ---------------------------------------------------------------- pen shape

// How the DC's pen draws: cosmetic pens are 1-px lines walked pixel by pixel;
// region pens (geometric, or wider than one device pixel) are filled areas.
struct PenShape {
    bool visible = false;
    bool region = false;
    int width = 1;            // device pixels
    DWORD cap = PS_ENDCAP_ROUND, join = PS_JOIN_ROUND;
    const std::vector<uint64_t>* dashes = nullptr;  // null: solid
    bool paint_gaps = false;  // cosmetic dash gaps take the background colour
    bool dash_user = false;   // geometric user style: lengths as given, not in pen widths
    double miter_limit = 10;
};
PenShape pen_shape(const DCState& st, const Pen& pen);

// ---------------------------------------------------------------- cosmetic lines

// What a cosmetic line paints in one call.
struct LineInk {
    Paint on, gap;  // gap.type None: gaps stay untouched
    Mix mix{};
    const std::vector<uint64_t>* dashes = nullptr;
    uint64_t dash_total = 0;
};
LineInk line_ink(const DC& dc, const PenShape& ps);

// One segment from a to b, end point excluded; *phase counts the plotted
// pixels of the call so far (the dash position) and advances by the
// segment's length. Clipping only hides pixels.
void cosmetic_segment(Target& t, POINT a, POINT b, const LineInk& ink, uint64_t* phase);

// ---------------------------------------------------------------- region pens

// A set of pixels inside a box (the clip's bounds cut to the shape), kept as
// one byte per pixel plus the touched extent of every row, so building and
// painting cost what the pen covers, not the box.
class PenMask {
public:
    PenMask() = default;
    ~PenMask();
    PenMask(const PenMask&) = delete;
    PenMask& operator=(const PenMask&) = delete;
    // False when the box misses the clip.
    bool init(const RECT& bounds, const ClipList& clip);
    void add(int64_t y, int64_t xa, int64_t xb);  // [xa, xb) of row y
    bool test(int x, int y) const;
    // Every pixel of the box is in the set: nothing more can be added.
    bool full() const { return full_rows_ == h_; }
    // Calls f(y, x0, x1) for every run, top to bottom, left to right.
    template <class F>
    void for_each_run(F&& f) const {
        for (int j = 0; j < h_; ++j) {
            if (lo_[j] >= hi_[j]) continue;
            if (!split_[j]) {
                f(y0_ + j, x0_ + lo_[j], x0_ + hi_[j]);
                continue;
            }
            const uint8_t* r = m_ + size_t(j) * size_t(w_);
            int i = lo_[j], e = hi_[j];
            while (i < e) {
                while (i < e && !r[i]) ++i;
                int k = i;
                while (k < e && r[k]) ++k;
                if (k > i) f(y0_ + j, x0_ + i, x0_ + k);
                i = k;
            }
        }
    }
    // Calls f(x0, x1) for the runs of row y, left to right.
    template <class F>
    void for_each_run_in_row(int y, F&& f) const {
        int j = y - y0_;
        if (j < 0 || j >= h_ || lo_[j] >= hi_[j]) return;
        if (!split_[j]) {
            f(x0_ + lo_[j], x0_ + hi_[j]);
            return;
        }
        const uint8_t* r = m_ + size_t(j) * size_t(w_);
        int i = lo_[j], e = hi_[j];
        while (i < e) {
            while (i < e && !r[i]) ++i;
            int k = i;
            while (k < e && r[k]) ++k;
            if (k > i) f(x0_ + i, x0_ + k);
            i = k;
        }
    }
    void paint(Target& t, const Paint& p, const Mix& mix) const;
    int left() const { return x0_; }
    int top() const { return y0_; }
    int right() const { return x0_ + w_; }
    int bottom() const { return y0_ + h_; }

private:
    int x0_ = 0, y0_ = 0, w_ = 0, h_ = 0;
    uint8_t* m_ = nullptr;
    int* lo_ = nullptr;
    int* hi_ = nullptr;
    int* split_ = nullptr;  // nonzero: the row may hold more than one run
    int full_rows_ = 0;
    bool owns_scratch_ = false;
    std::vector<uint8_t> own_m_;
    std::vector<int> own_lohi_;
};

// The pixels of a 1-px line from a to b (end point excluded unless
// with_end) that fall inside the mask.
void line_into_mask(PenMask& mk, POINT a, POINT b, bool with_end);

// The "on" pixels of a dashed 1-px line from a to b (end point excluded)
// that fall inside the mask; the pattern advances one unit per pixel from
// *phase, which moves on by the segment's length.
void dashed_line_into_mask(PenMask& mk, POINT a, POINT b, const std::vector<uint64_t>& dashes, uint64_t total,
                           uint64_t* phase);

// The device box a polyline's stroke of this width can cover.
RECT stroke_bounds(const POINT* pts, size_t n, int width);

// How far a region pen's outline can reach from its points: the width, or
// half the miter limit's length for miter joins.
int stroke_margin(const PenShape& ps);

// The outline of a device polyline drawn with a region pen, added to mask.
// Repeated consecutive points are dropped; closed figures join at the first point.
void pen_outline(const PenShape& ps, const POINT* pts, size_t n, bool closed, PenMask& mask);

// Draws a device polyline with the DC's pen onto the target.
void stroke_points(Target& t, const DC& dc, const POINT* pts, size_t n, bool closed);

}  // namespace plat::gdi
