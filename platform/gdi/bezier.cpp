// bezier.cpp — PolyBezier: cubic Bézier curves flattened into one polyline
// and drawn with the selected pen.
#include <algorithm>
#include <cmath>

#include "gdi/draw_internal.h"

using namespace plat::gdi;

BOOL WINAPI PolyBezier(HDC hdc, CONST POINT* apt, DWORD cpt) {
    if (!apt || cpt < 4 || (cpt - 1) % 3 != 0) return FALSE;
    BEGIN_DRAW(hdc);
    // Each cubic flattened into short chords in device space.
    std::vector<POINT> out;
    double dx[4], dy[4];
    for (DWORD i = 0; i + 3 < cpt; i += 3) {
        for (int k = 0; k < 4; ++k) to_device_f(st, apt[i + k].x, apt[i + k].y, &dx[k], &dy[k]);
        double len = 0;
        for (int k = 0; k < 3; ++k) len += std::hypot(dx[k + 1] - dx[k], dy[k + 1] - dy[k]);
        int steps = std::max(1, std::min(1000, int(len / 2)));
        for (int s = (i == 0 ? 0 : 1); s <= steps; ++s) {
            double u = double(s) / steps, v = 1 - u;
            double x = v * v * v * dx[0] + 3 * v * v * u * dx[1] + 3 * v * u * u * dx[2] + u * u * u * dx[3];
            double y = v * v * v * dy[0] + 3 * v * v * u * dy[1] + 3 * v * u * u * dy[2] + u * u * u * dy[3];
            POINT p{LONG(std::floor(x + 0.5)), LONG(std::floor(y + 0.5))};
            if (out.empty() || out.back().x != p.x || out.back().y != p.y) out.push_back(p);
        }
    }
    if (out.size() == 1) out.push_back(out[0]);
    stroke_polyline(t, *dc, out, false);
    return TRUE;
}
