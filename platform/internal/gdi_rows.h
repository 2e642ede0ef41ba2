// gdi_rows.h — GDI's call for painting a rectangle of a DC row by row from
// outside GDI (GDI+ draws pictures with it): the rectangle is mapped to
// device pixels and clipped by GDI, the painter computes the pixels.
#pragma once

#include <cstdint>

#include "windows.h"

namespace plat::gdi {

class RowPainter {
public:
    virtual ~RowPainter() = default;
    // Once before any row: the device rectangle, and the bounding box of
    // its part inside the surface and the clip (never empty). False paints nothing.
    virtual bool begin(const RECT& dest, const RECT& visible) = 0;
    // n pixels of device row y from column x, all inside the clip, as
    // 0x00RRGGBB values (a table index on a bitmap with a colour table):
    // changed in place and stored back in the DC's own format.
    virtual void paint(int y, int x, uint32_t* px, int n) = 0;
};

// Paints the logical rectangle (x, y, w, h) of a DC. FALSE for a bad DC or
// a window without pixels; TRUE otherwise (the screen and empty rectangles
// paint nothing).
BOOL paint_rows(HDC hdc, int x, int y, int w, int h, RowPainter& painter);

}  // namespace plat::gdi
