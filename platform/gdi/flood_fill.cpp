// flood_fill.cpp — ExtFloodFill and FloodFill: a 4-connected scanline fill
// over the surface as it is before the call, limited by the clip, collected
// as row spans and painted once with the DC's brush and mix mode.
#include <algorithm>
#include <cstring>

#include "gdi/draw_internal.h"

using namespace plat::gdi;

BOOL WINAPI ExtFloodFill(HDC hdc, int x, int y, COLORREF color, UINT type) {
    if (type != FLOODFILLBORDER && type != FLOODFILLSURFACE) return FALSE;
    DrawCall call(hdc);
    if (!call.ready()) return call.result();
    const std::shared_ptr<DC>& dc = call.dc();
    Target& t = call.target();
    DCState& st = call.dc()->st;
    POINT p = to_device(st, x, y);
    RECT box = rgn_box(t.clip);
    if (p.x < box.left || p.x >= box.right || p.y < box.top || p.y >= box.bottom || !t.in_clip(p.x, p.y))
        return FALSE;
    // On an indexed bitmap the colour is matched as its nearest table index.
    const bool indexed = indexed_bitmap(st.bitmap.get());
    const uint32_t keep = indexed ? (1u << st.bitmap->bpp) - 1 : 0x00FFFFFFu;
    const uint32_t key = indexed ? nearest_index(*st.bitmap, to_pixel(color)) : device_colour(st, color) & keep;
    const bool surface = type == FLOODFILLSURFACE;
    const int bw = box.right - box.left, bh = box.bottom - box.top;
    // One byte per pixel of the clip box, 1 = fillable and not yet taken,
    // computed in one pass the compiler vectorises; the walk below then only
    // reads and clears bytes.
    std::vector<uint8_t> open(size_t(bw) * size_t(bh), 0);
    const uint8_t match = surface ? 1 : 0;
    std::vector<uint32_t> line(static_cast<size_t>(bw));
    for (const RECT& c : t.clip)
        for (int yy = c.top; yy < c.bottom; ++yy) {
            const int cw = c.right - c.left;
            t.read_row(yy, c.left, cw, line.data());
            uint8_t* m = &open[size_t(yy - box.top) * bw + size_t(c.left - box.left)];
            for (int i = 0; i < cw; ++i) m[i] = uint8_t(((line[size_t(i)] & keep) == key) == match);
        }
    auto row_of = [&](int yy) { return &open[size_t(yy - box.top) * bw]; };
    if (!row_of(p.y)[p.x - box.left]) return FALSE;
    std::vector<Span> spans;
    std::vector<POINT> stack{POINT{p.x - box.left, p.y}};  // x relative to the box
    while (!stack.empty()) {
        POINT q = stack.back();
        stack.pop_back();
        uint8_t* row = row_of(q.y);
        if (!row[q.x]) continue;
        int l = q.x, r = q.x + 1;
        while (l > 0 && row[l - 1]) --l;
        const void* stop = std::memchr(row + r, 0, size_t(bw - r));
        r = stop ? int(static_cast<const uint8_t*>(stop) - row) : bw;
        std::memset(row + l, 0, size_t(r - l));
        spans.push_back(Span{q.y, l + box.left, r + box.left});
        // One seed per run of open pixels in the rows above and below.
        for (int ny : {q.y - 1, q.y + 1}) {
            if (ny < box.top || ny >= box.bottom) continue;
            const uint8_t* next = row_of(ny);
            bool in_run = false;
            for (int xx = l; xx < r; ++xx) {
                bool o = next[xx] != 0;
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
