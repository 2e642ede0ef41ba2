// scan_convert.cpp — polygon interiors as row spans: an integer active edge list.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>

#include "gdi/draw_internal.h"

using namespace plat::gdi;

// ---------------------------------------------------------------- integer polygons

namespace plat::gdi {

namespace {

// floor(n / d) for d > 0.
int64_t floor_div(int64_t n, int64_t d) { return n >= 0 ? n / d : -((-n + d - 1) / d); }

// ceil(n / d) for d > 0; n is a product of two coordinate differences.
int64_t ceil_div(__int128 n, int64_t d) { return int64_t(n >= 0 ? (n + d - 1) / d : -((-n) / d)); }

// An edge stepped row by row: x = top.x + ceil(k * dx / dy) on row top.y + k,
// kept as x plus the remainder rem = x * dy - (exact crossing) * dy in [0, dy).
struct Edge {
    int ya, yb;  // visible rows [ya, yb)
    int dir;     // +1 downward in vertex order, -1 upward
    int64_t x, rem, q, s, dy;
    int64_t x_last;  // the crossing on the last visible row
    // Branch-free: the carry is as good as random from row to row.
    void step() {
        x += q;
        rem -= s;
        int64_t carry = rem >> 63;  // -1 when the remainder went negative
        rem += dy & carry;
        x -= carry;
    }
};

}  // namespace

// Points of 32-bit (POINT) or 64-bit (Point64) coordinates.
template <class Pt>
void spans_of(const Pt* pts, const int* counts, int ncontours, bool winding, const RECT& box, SpanSink sink,
              void* ctx) {
    if (box.left >= box.right || box.top >= box.bottom) return;
    const int Y0 = box.top, rows = box.bottom - box.top;
    std::vector<Edge> edges;
    size_t total = 0;
    for (int c = 0; c < ncontours; ++c) total += size_t(counts[c]);
    edges.reserve(total);
    // Edges left of the box on every visible row only change the winding
    // number there: a per-row difference list keeps them out of the walk.
    std::vector<int> left_wind;
    size_t k = 0;
    for (int c = 0; c < ncontours; ++c) {
        int n = counts[c];
        const Pt* p = pts + k;
        k += size_t(n);
        for (int i = 0; i < n; ++i) {
            Pt a = p[i], b = p[i + 1 < n ? i + 1 : 0];
            if (a.y == b.y) continue;
            int dir = a.y < b.y ? 1 : -1;
            if (dir < 0) std::swap(a, b);
            int ya = int(std::max<int64_t>(a.y, box.top)), yb = int(std::min<int64_t>(b.y, box.bottom));
            if (ya >= yb) continue;
            Edge e;
            e.ya = ya;
            e.yb = yb;
            e.dir = dir;
            e.dy = int64_t(b.y) - a.y;
            int64_t dx = int64_t(b.x) - a.x;
            e.q = floor_div(dx, e.dy);
            e.s = dx - e.q * e.dy;
            const __int128 num = __int128(int64_t(ya) - a.y) * dx;
            e.x = a.x + ceil_div(num, e.dy);
            e.rem = int64_t(__int128(e.x - a.x) * e.dy - num);
            // Where the edge is on its last visible row.
            int64_t xl = a.x + ceil_div(__int128(int64_t(yb) - 1 - a.y) * dx, e.dy);
            if (std::max(e.x, xl) < box.left) {
                if (left_wind.empty()) left_wind.assign(size_t(rows) + 1, 0);
                left_wind[size_t(ya - Y0)] += dir;
                left_wind[size_t(yb - Y0)] -= dir;
                continue;
            }
            if (std::min(e.x, xl) >= box.right) continue;  // never left of a visible pixel
            e.x_last = xl;
            edges.push_back(e);
        }
    }
    // Rows crossed only by edges left of the box are inside or outside as a
    // whole; without such edges there is nothing before the first edge.
    if (edges.empty() && left_wind.empty()) return;
    std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.ya < b.ya; });
    // The active edges, kept sorted by their crossing on the current row:
    // edges cross rarely, so one insertion pass per row restores the order.
    // A short list that needs too many moves is sorted outright; a long one
    // marks the polygon as tangled (see below) and is left unsorted.
    std::vector<Edge*> active;
    auto by_x = [](const Edge* a, const Edge* b) { return a->x < b->x; };
    auto sort_active = [&active, &by_x]() {
        size_t budget = 8 * active.size() + 64;
        for (size_t i = 1; i < active.size(); ++i) {
            Edge* e = active[i];
            size_t j = i;
            while (j > 0 && active[j - 1]->x > e->x) {
                active[j] = active[j - 1];
                --j;
                if (--budget == 0) {
                    active[j] = e;
                    if (active.size() > 256) return false;
                    std::sort(active.begin(), active.end(), by_x);
                    return true;
                }
            }
            active[j] = e;
        }
        return true;
    };
    auto inside = [winding](int w) { return winding ? w != 0 : (w & 1) != 0; };
    auto emit = [sink, ctx](int y, int64_t x0, int64_t x1) { sink(ctx, y, int(x0), int(x1)); };
    // A tangled polygon (many edges whose order changes a lot from row to
    // row) gathers and sorts only the crossings inside the box, row by row.
    std::vector<std::pair<int64_t, int>> xs;
    bool sorted = true, tangled = false;
    size_t next = 0;
    int base = 0;
    int y = left_wind.empty() ? edges[0].ya : Y0;
    for (; y < box.bottom; ++y) {
        if (!left_wind.empty()) base += left_wind[size_t(y - Y0)];
        if (!tangled && !sorted) {
            tangled = !sort_active();
            sorted = !tangled;
        }
        if (next < edges.size() && edges[next].ya == y) {
            // New edges are sorted among themselves and merged in.
            size_t old = active.size();
            while (next < edges.size() && edges[next].ya == y) active.push_back(&edges[next++]);
            if (!tangled) {
                std::sort(active.begin() + ptrdiff_t(old), active.end(), by_x);
                std::inplace_merge(active.begin(), active.begin() + ptrdiff_t(old), active.end(), by_x);
            }
        }
        if (active.empty()) {
            if (inside(base)) emit(y, box.left, box.right);
            if (next == edges.size() && left_wind.empty()) break;
            continue;
        }
        const bool many = tangled;
        // Crossings left of the box only count; those right of it do not
        // matter. A span runs from where the rule turns inside to where it
        // turns outside, however many crossings lie between.
        int wind = base;
        bool in = inside(wind);
        int64_t start = box.left;
        auto cross = [&](int64_t x, int dir) {
            wind += dir;
            bool now = inside(wind);
            if (now == in) return;
            if (now)
                start = std::max<int64_t>(x, box.left);
            else if (x > start)
                emit(y, start, x);
            in = now;
        };
        if (many) {
            xs.clear();
            for (const Edge* e : active) {
                if (e->x < box.left)
                    wind += e->dir;
                else if (e->x < box.right)
                    xs.emplace_back(e->x, e->dir);
            }
            in = inside(wind);
            std::sort(xs.begin(), xs.end());
            for (const auto& c : xs) cross(c.first, c.second);
        } else {
            for (const Edge* e : active) {
                if (e->x >= box.right) break;
                cross(e->x, e->dir);
            }
        }
        if (in && start < box.right) emit(y, start, box.right);
        // Step the active edges and drop the finished ones. Crossings move
        // monotonically, so an edge left of the box now and on its last row
        // stays left (it only counts from now on); one right of it stays right.
        size_t w = 0;
        for (Edge* e : active) {
            if (y + 1 >= e->yb) continue;
            e->step();
            if (e->x < box.left && e->x_last < box.left) {
                if (left_wind.empty()) left_wind.assign(size_t(rows) + 1, 0);
                left_wind[size_t(y + 1 - Y0)] += e->dir;
                left_wind[size_t(e->yb - Y0)] -= e->dir;
                continue;
            }
            if (e->x >= box.right && e->x_last >= box.right) continue;
            active[w++] = e;
        }
        active.resize(w);
        sorted = false;
    }
}

void polygon_spans(const POINT* pts, const int* counts, int ncontours, bool winding, const RECT& box, SpanSink sink,
                   void* ctx) {
    spans_of(pts, counts, ncontours, winding, box, sink, ctx);
}

void polygon_spans(const Point64* pts, const int* counts, int ncontours, bool winding, const RECT& box, SpanSink sink,
                   void* ctx) {
    spans_of(pts, counts, ncontours, winding, box, sink, ctx);
}

}  // namespace plat::gdi
