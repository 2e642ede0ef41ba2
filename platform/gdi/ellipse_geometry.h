// ellipse_geometry.h — integer geometry of ellipses and rounded boxes:
// the outline points of one quadrant and the row spans of a box whose
// corners are quarters of an ellipse. Pure arithmetic, no drawing; used by
// the ellipse family and by the round caps and joins of wide pens.
#pragma once

#include <cstdint>
#include <vector>

#include "wingdi.h"

namespace plat::gdi {

// Largest ellipse side walked point by point; larger boxes are approximated
// (the walk is linear in the size and its error terms grow with its cube).
constexpr int kMaxExactEllipse = 1 << 17;

// Whether an ew x eh ellipse is walked pixel by pixel.
inline bool ellipse_walkable(int ew, int eh) {
    return ew >= 1 && eh >= 1 && ew <= kMaxExactEllipse && eh <= kMaxExactEllipse;
}

// Outline points of one quadrant of an ew x eh ellipse by the integer
// midpoint method, relative to the ellipse's own box: x runs from ew - 1
// down to ew div 2 while y runs from eh div 2 up to eh - 1. Drawn at
// (right - ew + x, top + eh - 1 - y) they form the upper-right quarter,
// from the right middle toward the top. Consecutive points are
// 8-neighbours. Beyond kMaxExactEllipse the quarter is approximated by at
// most 1024 points on the true curve (then not neighbours); empty for a
// side < 1.
std::vector<POINT> ellipse_quadrant(int ew, int eh);

// The box [l, r) x [t, b) with its corners cut by quarters of an ew x eh
// ellipse, as one half-open span per row. A side below 2 gives the plain
// box; so does a corner ellipse that is not walkable (see ellipse_walkable).
class RoundedBox {
public:
    RoundedBox() = default;
    RoundedBox(int l, int t, int r, int b, int ew, int eh);
    int left() const { return l_; }
    int top() const { return t_; }
    int right() const { return r_; }
    int bottom() const { return b_; }
    // The span [*x0, *x1) of row y; false when the row has none.
    bool row(int y, int* x0, int* x1) const;

private:
    int l_ = 0, t_ = 0, r_ = 0, b_ = 0, eh_ = 0;
    int mid_top_ = 0, mid_bottom_ = 0;  // rows [mid_top_, mid_bottom_] are full width
    std::vector<int> inset_;            // inset_[j]: inset of corner row eh div 2 + j (-1: empty)
};

}  // namespace plat::gdi
