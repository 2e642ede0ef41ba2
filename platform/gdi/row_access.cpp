// row_access.cpp — paint_rows: a rectangle of a DC handed out row by row
// to a painter outside GDI, clipped, in device values, in place.
#include "gdi/draw_internal.h"
#include "gdi_rows.h"

namespace plat::gdi {

BOOL paint_rows(HDC hdc, int x, int y, int w, int h, RowPainter& painter) {
    auto dc = get_dc(hdc);
    if (!dc) return FALSE;
    Target t(*dc);
    if (!t.ok()) return t.screen() ? TRUE : FALSE;
    if (w <= 0 || h <= 0) return TRUE;
    const RECT r = device_rect(dc->st, x, y, clamp_sum(x, w), clamp_sum(y, h));
    if (r.right <= r.left || r.bottom <= r.top) return TRUE;
    RECT box{r.right, r.bottom, r.left, r.top};
    for (const RECT& c : t.clip) {
        const RECT part{std::max(c.left, r.left), std::max(c.top, r.top), std::min(c.right, r.right),
                        std::min(c.bottom, r.bottom)};
        if (part.left >= part.right || part.top >= part.bottom) continue;
        box.left = std::min(box.left, part.left);
        box.top = std::min(box.top, part.top);
        box.right = std::max(box.right, part.right);
        box.bottom = std::max(box.bottom, part.bottom);
    }
    if (box.left >= box.right || box.top >= box.bottom) return TRUE;
    if (!painter.begin(r, box)) return TRUE;
    for (int yy = box.top; yy < box.bottom; ++yy)
        t.for_clipped(yy, box.left, box.right, [&](int a, int b) {
            t.edit_row(yy, a, b - a, [&](uint32_t* px, int n, int col) { painter.paint(yy, col, px, n); });
        });
    return TRUE;
}

}  // namespace plat::gdi
