// ellipse_geometry.cpp — the integer midpoint walk of an ellipse quadrant
// and the rounded-box row spans built from the same walk.
//
// Both walks share one error recurrence. For an ew x eh ellipse, with
// a = ew - 1 and b = eh - 1 (the distances between the outermost pixel
// centres), the error of the current point is kept scaled by 4 so that odd
// heights (whose middle falls on a pixel centre) stay integral. Each step
// moves x, y or both, so consecutive points are 8-neighbours.
#include "gdi/ellipse_geometry.h"

#include <algorithm>
#include <cmath>

namespace plat::gdi {

namespace {

struct Walk {
    int64_t e1, e2, err, dx_step, dy_step;
    Walk(int ew, int eh) {
        int64_t a = ew - 1, b = eh - 1, bodd = b & 1;
        e1 = 4 * b * b * (1 - a);
        e2 = 4 * a * a * (1 + bodd);
        err = e1 + e2 + a * a * bodd;
        dx_step = 8 * b * b;
        dy_step = 8 * a * a;
    }
    // One step: which axes move (bit 0: x, bit 1: y).
    int step() {
        int64_t t = 2 * err;
        int moved = 0;
        if (t >= e1) {
            e1 += dx_step;
            err += e1;
            moved |= 1;
        }
        if (t <= e2) {
            e2 += dy_step;
            err += e2;
            moved |= 2;
        }
        return moved;
    }
};

bool walkable(int ew, int eh) { return ellipse_walkable(ew, eh); }

// A quarter of a huge ellipse: points of the true curve through the pixel
// centres, in the same order and coordinates as the walk.
std::vector<POINT> approximate_quadrant(int ew, int eh) {
    std::vector<POINT> pts;
    const int n = 1024;
    double rx = (double(ew) - 1) / 2, ry = (double(eh) - 1) / 2;
    for (int j = 0; j < n; ++j) {
        double th = 1.5707963267948966 * j / (n - 1);
        POINT p{LONG(std::floor(rx + rx * std::cos(th) + 0.5)), LONG(std::floor(ry + ry * std::sin(th) + 0.5))};
        if (j == n - 1) p = POINT{ew / 2, eh - 1};
        if (pts.empty() || pts.back().x != p.x || pts.back().y != p.y) pts.push_back(p);
    }
    return pts;
}

}  // namespace

std::vector<POINT> ellipse_quadrant(int ew, int eh) {
    std::vector<POINT> pts;
    if (ew < 1 || eh < 1) return pts;
    if (!walkable(ew, eh)) return approximate_quadrant(ew, eh);
    Walk w(ew, eh);
    int x = ew - 1, y = eh / 2;
    // Every step moves at least one axis except when the error terms cross;
    // the bound keeps a stalled walk finite.
    long guard = long(ew) + eh + 4;
    pts.reserve(size_t(ew / 2 + eh / 2 + 2));
    while (x >= ew / 2 && guard-- > 0) {
        pts.push_back(POINT{x, y});
        int moved = w.step();
        if (moved & 1) --x;
        if (moved & 2) ++y;
        if (y > eh - 1) break;
    }
    return pts;
}

RoundedBox::RoundedBox(int l, int t, int r, int b, int ew, int eh) : l_(l), t_(t), r_(r), b_(b), eh_(eh) {
    if (r <= l || b <= t) {
        r_ = l_;
        b_ = t_;
        return;
    }
    if (ew < 2 || eh < 2 || !walkable(ew, eh)) {
        // Plain box: every row full width.
        eh_ = 0;
        mid_top_ = t;
        mid_bottom_ = b - 1;
        return;
    }
    int half = eh / 2;
    inset_.assign(size_t(eh - half), -1);
    inset_[0] = 0;
    Walk w(ew, eh);
    int x = 0, y = half;
    long guard = long(ew) + eh + 4;
    while (x <= ew / 2 && guard-- > 0) {
        int moved = w.step();
        if (moved & 1) ++x;
        if (moved & 2) {
            if (++y > eh - 1) break;
            inset_[size_t(y - half)] = x;
        }
    }
    // Corner row k < eh div 2 sits at t + k and mirrors row eh - 1 - k; corner
    // row k >= eh div 2 sits at b - eh + k; between them the box is straight.
    mid_top_ = t + half;
    mid_bottom_ = b - eh + half;
}

bool RoundedBox::row(int y, int* x0, int* x1) const {
    if (y < t_ || y >= b_) return false;
    int inset;
    if (y >= mid_top_ && y <= mid_bottom_) {
        inset = 0;
    } else {
        int half = eh_ / 2;
        int k = y < mid_top_ ? eh_ - 1 - (y - t_) : y - (b_ - eh_);
        inset = inset_[size_t(k - half)];
        if (inset < 0) return false;
    }
    *x0 = l_ + inset;
    *x1 = r_ - inset;
    return *x0 < *x1;
}

}  // namespace plat::gdi
