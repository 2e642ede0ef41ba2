// row_io.h — destination rows as 32-bit colours for the blending blits
// (AlphaBlend, TransparentBlt, GradientFill): a row is read as 0x00RRGGBB
// colours (a 32-bpp surface keeps its top byte), computed on, and written
// back. Every such blit reaches pixels only through RowIO, so the way rows
// are stored is decided here alone.
#pragma once

#include <cstdint>

#include "gdi/gdi_internal.h"

namespace plat::gdi {

class RowIO {
public:
    RowIO(Target& t, const DCState& st);
    // Row y from column x, n pixels, all inside the surface.
    void read(int y, int x, int n, uint32_t* out) const;
    void write(int y, int x, int n, const uint32_t* in);
    // The colour a pixel value becomes once stored (16 bpp: its fields; a
    // colour table: its nearest entry), compared without the top byte.
    uint32_t stored(uint32_t px) const;
    // The destination keeps a top byte (32 bpp): blends carry alpha there.
    bool has_alpha_byte() const { return alpha_byte_; }
    // The destination's depth: 1, 4, 8, 16, 24 or 32.
    int depth() const { return depth_; }
    // Colours onto a table bitmap are matched as they are, not first reduced
    // to five bits a channel (gradients, whose dither already chose them).
    void match_exactly() { exact_ = true; }

private:
    Target& t_;
    const Bitmap* indexed_ = nullptr;  // the surface holds table indices
    const Bitmap* bm_ = nullptr;
    bool alpha_byte_ = true;
    bool exact_ = false;
    int depth_ = 32;
    uint32_t index_of(uint32_t px) const;
};

}  // namespace plat::gdi

namespace plat::gdi {

// A source rectangle brought to a destination extent: a 32-bpp top-down
// image of w x h pixels, made by StretchBlt (SRCCOPY, the given stretch mode)
// from the source DC's logical rectangle, after `fill` was stored in every
// pixel (what stays where the source rectangle leaves the source bitmap).
struct WorkImage {
    int w = 0, h = 0;
    uint32_t* px = nullptr;  // row y at px + y * w
    HDC dc = nullptr;
    HBITMAP bmp = nullptr;
    HGDIOBJ old = nullptr;
    ~WorkImage();
    bool make(int w, int h, HDC src, int xs, int ys, int ws, int hs, int stretch_mode, uint32_t fill);
    const uint32_t* row(int y) const { return px + size_t(y) * size_t(w); }
};

}  // namespace plat::gdi
