// row_io.cpp — destination rows as 32-bit colours (RowIO) and stretched
// source images (WorkImage) for the blending blits.
#include "gdi/row_io.h"

#include <algorithm>
#include <cstring>

namespace plat::gdi {

RowIO::RowIO(Target& t, const DCState& st) : t_(t) {
    const Bitmap* bm = st.bitmap.get();
    if (t.screen() || !bm) return;  // a window surface: 32 bits
    bm_ = bm;
    depth_ = bm->bpp;
    alpha_byte_ = bm->bpp == 32 && !bm->masked32();
    if (indexed_bitmap(bm)) indexed_ = bm;
}

static uint32_t table_colour(const Bitmap& bm, uint32_t i) {
    if (i >= bm.palette.size()) return 0;
    const RGBQUAD& q = bm.palette[i];
    return (uint32_t(q.rgbRed) << 16) | (uint32_t(q.rgbGreen) << 8) | q.rgbBlue;
}

// On 8 bpp each channel is first reduced to 5 bits and taken at the middle
// of its step, as the other blits onto 8 bpp do; fewer bits match as given.
uint32_t RowIO::index_of(uint32_t px) const {
    if (indexed_->bpp == 8 && !exact_) px = (px & 0x00F8F8F8u) | 0x00040404u;
    return nearest_index(*indexed_, px & 0x00FFFFFFu);
}

void RowIO::read(int y, int x, int n, uint32_t* out) const {
    t_.read_row(y, x, n, out);
    if (!indexed_) return;
    for (int i = 0; i < n; ++i) out[i] = table_colour(*indexed_, out[i]);
}

void RowIO::write(int y, int x, int n, const uint32_t* in) {
    t_.touch(x, y, x + n, y + 1);
    if (!indexed_) {
        t_.write_row(y, x, n, in);
        return;
    }
    // A pixel whose colour is still its entry's keeps its index (matching
    // it again could pick another entry of a nearby colour). Runs of one
    // colour are common (flat sprites, gradient bands): match once per run.
    t_.edit_row(y, x, n, [&](uint32_t* r, int k, int col) {
        const uint32_t* src = in + (col - x);
        uint32_t last = ~0u, idx = 0;
        for (int i = 0; i < k; ++i) {
            uint32_t c = src[i] & 0x00FFFFFFu;
            if (c == table_colour(*indexed_, r[i])) continue;
            if (c != last) last = c, idx = index_of(c);
            r[i] = idx;
        }
    });
}

uint32_t RowIO::stored(uint32_t px) const {
    px &= 0x00FFFFFFu;
    if (indexed_) return table_colour(*indexed_, index_of(px));
    if (bm_ && has_fields(*bm_)) return quantise_fields(*bm_, px);
    return px;
}

WorkImage::~WorkImage() {
    if (dc) {
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    if (bmp) DeleteObject(bmp);
}

bool WorkImage::make(int width, int height, HDC src, int xs, int ys, int ws, int hs, int stretch_mode, uint32_t fill) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    dc = CreateCompatibleDC(nullptr);
    if (!dc) return false;
    bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bmp || !bits) return false;
    old = SelectObject(dc, bmp);
    w = width;
    h = height;
    px = static_cast<uint32_t*>(bits);
    std::fill(px, px + size_t(w) * size_t(h), fill);
    SetStretchBltMode(dc, stretch_mode);
    return StretchBlt(dc, 0, 0, w, h, src, xs, ys, ws, hs, SRCCOPY) != FALSE;
}

}  // namespace plat::gdi
