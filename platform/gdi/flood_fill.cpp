// flood_fill.cpp — ExtFloodFill and FloodFill: a 4-connected scanline fill
// over the surface as it is before the call, limited by the clip, collected
// as row spans and painted once with the DC's brush and mix mode.
#include <algorithm>
#include <cstring>

#include "gdi/draw_internal.h"

using namespace plat::gdi;

BOOL WINAPI ExtFloodFill(HDC hdc, int x, int y, COLORREF color, UINT type) {
    if (type != FLOODFILLBORDER && type != FLOODFILLSURFACE) return FALSE;
    BEGIN_DRAW(hdc);
    POINT p = to_device(st, x, y);
    RECT box = rgn_box(t.clip);
    if (p.x < box.left || p.x >= box.right || p.y < box.top || p.y >= box.bottom || !t.in_clip(p.x, p.y))
        return FALSE;
    const uint32_t key = to_pixel(color) & 0x00FFFFFFu;
    const bool surface = type == FLOODFILLSURFACE;
    const int bw = box.right - box.left, bh = box.bottom - box.top;
    // 1 = not fillable any more: outside the clip or already taken.
    std::vector<uint8_t> done(size_t(bw) * size_t(bh), 1);
    for (const RECT& c : t.clip)
        for (int yy = c.top; yy < c.bottom; ++yy)
            std::memset(&done[size_t(yy - box.top) * bw + (c.left - box.left)], 0, size_t(c.right - c.left));
    auto open = [&](int xx, int yy) {
        if (done[size_t(yy - box.top) * bw + (xx - box.left)]) return false;
        uint32_t v = t.surf.row(yy)[xx] & 0x00FFFFFFu;
        return (v == key) == surface;
    };
    if (!open(p.x, p.y)) return FALSE;
    std::vector<Span> spans;
    std::vector<POINT> stack{p};
    while (!stack.empty()) {
        POINT q = stack.back();
        stack.pop_back();
        if (!open(q.x, q.y)) continue;
        int l = q.x, r = q.x + 1;
        while (l > box.left && open(l - 1, q.y)) --l;
        while (r < box.right && open(r, q.y)) ++r;
        std::memset(&done[size_t(q.y - box.top) * bw + (l - box.left)], 1, size_t(r - l));
        spans.push_back(Span{q.y, l, r});
        // One seed per run of open pixels in the rows above and below.
        for (int ny : {q.y - 1, q.y + 1}) {
            if (ny < box.top || ny >= box.bottom) continue;
            bool in_run = false;
            for (int xx = l; xx < r; ++xx) {
                bool o = open(xx, ny);
                if (o && !in_run) stack.push_back(POINT{xx, ny});
                in_run = o;
            }
        }
    }
    Paint fill = brush_paint(*dc);
    Mix mix = mix_for_rop2(st.rop2);
    for (const Span& s : spans) fill_span(t, s.y, s.x0, s.x1, fill, mix);
    return TRUE;
}

BOOL WINAPI FloodFill(HDC hdc, int x, int y, COLORREF color) { return ExtFloodFill(hdc, x, y, color, FLOODFILLBORDER); }
