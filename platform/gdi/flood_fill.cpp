// flood_fill.cpp — ExtFloodFill and FloodFill: a span-stack fill into the
// shape canvas, painted once with the DC's brush.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>

#include "gdi/draw_internal.h"

using namespace plat::gdi;

// ---------------------------------------------------------------- flood fill

BOOL WINAPI ExtFloodFill(HDC hdc, int x, int y, COLORREF color, UINT type) {
    if (type != FLOODFILLBORDER && type != FLOODFILLSURFACE) return FALSE;
    BEGIN_DRAW(hdc);
    POINT p = to_device(st, x, y);
    if (!t.in_clip(p.x, p.y)) return FALSE;
    uint32_t key = to_pixel(color);
    auto fillable = [&](int xx, int yy) {
        uint32_t v = t.surf.row(yy)[xx] & 0x00FFFFFFu;
        return type == FLOODFILLSURFACE ? v == key : v != key;
    };
    if (!fillable(p.x, p.y)) return FALSE;
    Canvas cv;
    RECT all{0, 0, t.surf.width, t.surf.height};
    if (!cv.init(all, t.clip)) return FALSE;
    auto ok = [&](int xx, int yy) {
        return xx >= cv.x0 && xx < cv.x0 + cv.w && yy >= cv.y0 && yy < cv.y0 + cv.h && !cv.get(xx, yy) &&
               t.in_clip(xx, yy) && fillable(xx, yy);
    };
    std::vector<POINT> stack{p};
    while (!stack.empty()) {
        POINT q = stack.back();
        stack.pop_back();
        if (!ok(q.x, q.y)) continue;
        int l = q.x, r = q.x;
        while (ok(l - 1, q.y)) --l;
        while (ok(r + 1, q.y)) ++r;
        cv.row(q.y, l, r + 1, 1);
        for (int dy : {-1, 1}) {
            int yy = q.y + dy;
            bool in_run = false;
            for (int xx = l; xx <= r; ++xx) {
                bool o = ok(xx, yy);
                if (o && !in_run) stack.push_back(POINT{xx, yy});
                in_run = o;
            }
        }
    }
    cv.emit(t, brush_paint(*dc), Paint{}, mix_for_rop2(st.rop2));
    return TRUE;
}

BOOL WINAPI FloodFill(HDC hdc, int x, int y, COLORREF color) { return ExtFloodFill(hdc, x, y, color, FLOODFILLBORDER); }
