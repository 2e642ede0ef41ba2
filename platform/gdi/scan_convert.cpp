// scan_convert.cpp — the shape canvas's output and polygon scan conversion.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>

#include "gdi/draw_internal.h"

using namespace plat::gdi;

namespace plat::gdi {

void Canvas::emit(Target& t, const Paint& fill, const Paint& pen, const Mix& mix) {
    for (int j = 0; j < h; ++j) {
        const uint8_t* r = &m[size_t(j) * w];
        int i = 0;
        while (i < w) {
            uint8_t v = r[i];
            int k = i + 1;
            while (k < w && r[k] == v) ++k;
            if (v == 1) fill_span(t, y0 + j, x0 + i, x0 + k, fill, mix);
            else if (v == 2) fill_span(t, y0 + j, x0 + i, x0 + k, pen, mix);
            i = k;
        }
    }
}

// Scan conversion of a polygon (device coordinates, any number of closed
// contours): row y samples at y; spans [ceil(xl), ceil(xr)).
void scan_polygon(Canvas& cv, const std::vector<std::vector<std::pair<double, double>>>& contours, bool winding,
                  uint8_t v) {
    struct Edge {
        double xa, ya, xb, yb;
        int dir;
    };
    std::vector<Edge> edges;
    for (auto& c : contours) {
        size_t n = c.size();
        for (size_t i = 0; i < n; ++i) {
            auto a = c[i], b = c[(i + 1) % n];
            if (a.second == b.second) continue;
            if (a.second < b.second) edges.push_back({a.first, a.second, b.first, b.second, 1});
            else edges.push_back({b.first, b.second, a.first, a.second, -1});
        }
    }
    std::vector<std::pair<double, int>> xs;
    for (int y = cv.y0; y < cv.y0 + cv.h; ++y) {
        xs.clear();
        for (const Edge& e : edges) {
            if (y < e.ya || y >= e.yb) continue;
            double x = e.xa + (y - e.ya) * (e.xb - e.xa) / (e.yb - e.ya);
            xs.emplace_back(x, e.dir);
        }
        if (xs.size() < 2) continue;
        std::sort(xs.begin(), xs.end());
        int wind = 0;
        for (size_t i = 0; i + 1 < xs.size(); ++i) {
            wind += xs[i].second;
            bool in = winding ? wind != 0 : (i % 2) == 0;
            if (!in) continue;
            double xa = std::ceil(xs[i].first), xb = std::ceil(xs[i + 1].first);
            xa = std::max(xa, double(cv.x0) - 1);
            xb = std::min(xb, double(cv.x0 + cv.w) + 1);
            if (xa < xb) cv.row(y, int(xa), int(xb), v);
        }
    }
}

}  // namespace plat::gdi
