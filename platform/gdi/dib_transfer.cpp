// dib_transfer.cpp — StretchDIBits, SetDIBitsToDevice and GetDIBits: pixels handed over
// in a DIB (1, 4, 8, 16, 24 or 32 bpp, top-down or bottom-up, a colour table
// of RGBQUADs or of indices into the DC's palette, BI_BITFIELDS masks, RLE8
// and RLE4) are decoded to 32-bit pixels and blitted with StretchBlt's rules
// (stretch modes, raster operations, mapping, clip). Pixels an RLE image
// skips are left unchanged: its runs become part of the clip for the blit.
// GetDIBits reads a bitmap's pixels out in a DIB format.
#include <algorithm>
#include <cstring>
#include <vector>

#include "gdi/draw_internal.h"
#include "winbase.h"

using namespace plat::gdi;

namespace {

struct Decoded {
    int w = 0, h = 0;  // h rows, row 0 the top one
    std::vector<uint32_t> px;
    std::vector<uint8_t> written;  // RLE: 1 where a run stored a pixel
    bool rle = false;
};

// One channel of a bit field widened to 8 bits (its top bits repeated below).
struct Field {
    uint32_t mask = 0;
    int shift = 0, bits = 0;
    explicit Field(uint32_t m) : mask(m) {
        if (!m) return;
        while (!((m >> shift) & 1)) ++shift;
        while (bits < 32 && ((m >> (shift + bits)) & 1)) ++bits;
    }
    uint32_t get(uint32_t v) const {
        if (!bits) return 0;
        uint32_t f = (v & mask) >> shift;
        if (bits >= 8) return f >> (bits - 8) & 0xFF;
        uint32_t r = 0;
        for (int have = 0; have < 8; have += bits) r = r << bits | f;
        return r >> (((8 + bits - 1) / bits) * bits - 8) & 0xFF;
    }
};

bool decode_rle(const BITMAPINFOHEADER& h, const uint8_t* p, const std::vector<uint32_t>& table, Decoded* out) {
    const bool four = h.biCompression == BI_RLE4;
    const size_t size = h.biSizeImage;
    const int w = out->w, rows = out->h;
    out->written.assign(size_t(w) * size_t(rows), 0);
    auto put = [&](int x, int line, uint32_t index) {
        // line counts from the bottom: RLE images are always bottom-up.
        if (x < 0 || x >= w || line < 0 || line >= rows) return;
        size_t i = size_t(rows - 1 - line) * size_t(w) + size_t(x);
        out->px[i] = index < table.size() ? table[index] : 0;
        out->written[i] = 1;
    };
    size_t i = 0;
    int x = 0, line = 0;
    while (i + 1 < size && line < rows) {
        uint8_t n = p[i], c = p[i + 1];
        i += 2;
        if (n > 0) {
            for (int k = 0; k < n; ++k, ++x) put(x, line, four ? ((k & 1) ? c & 15 : c >> 4) : c);
            continue;
        }
        if (c == 0) {
            x = 0, ++line;
        } else if (c == 1) {
            break;
        } else if (c == 2) {
            if (i + 1 >= size) break;
            x += p[i], line += p[i + 1];
            i += 2;
        } else {
            size_t bytes = four ? (size_t(c) + 1) / 2 : c;
            if (i + bytes > size) break;  // a run past the end of the data: stop there
            for (int k = 0; k < c; ++k, ++x) {
                uint8_t b = p[i + (four ? size_t(k) / 2 : size_t(k))];
                put(x, line, four ? ((k & 1) ? b & 15 : b >> 4) : b);
            }
            i += (bytes + 1) & ~size_t(1);
        }
    }
    return true;
}

// The DIB's rows decoded to 0x00RRGGBB pixels (a 32-bpp BI_RGB DIB keeps
// its top byte), top row first; false when the format is not one GDI knows.
bool decode_dib(const DC& dc, const BITMAPINFO* bmi, const void* bits, UINT usage, UINT lines, Decoded* out) {
    if (!bmi || !bits || bmi->bmiHeader.biSize < sizeof(BITMAPINFOHEADER)) return false;
    if (usage != DIB_RGB_COLORS && usage != DIB_PAL_COLORS) return false;
    const BITMAPINFOHEADER& h = bmi->bmiHeader;
    const int bpp = h.biBitCount;
    const DWORD comp = h.biCompression;
    if (h.biWidth <= 0 || h.biHeight == 0 || h.biWidth > (1 << 16)) return false;
    if (!(bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32)) return false;
    if (comp == BI_BITFIELDS ? bpp != 16 && bpp != 32
                             : comp == BI_RLE8 ? bpp != 8 : comp == BI_RLE4 ? bpp != 4 : comp != BI_RGB)
        return false;
    const bool rle = comp == BI_RLE8 || comp == BI_RLE4;
    // RLE data is bottom-up and needs its byte count to be read safely.
    if (rle && (h.biHeight < 0 || h.biSizeImage == 0)) return false;
    const int rows = int(std::min<int64_t>(lines, h.biHeight < 0 ? -int64_t(h.biHeight) : h.biHeight));
    if (rows <= 0 || int64_t(h.biWidth) * rows > (int64_t(1) << 28)) return false;
    const uint8_t* after_header = reinterpret_cast<const uint8_t*>(bmi) + h.biSize;
    std::vector<uint32_t> table;
    if (bpp <= 8) {
        size_t n = h.biClrUsed ? std::min<size_t>(h.biClrUsed, size_t(1) << bpp) : size_t(1) << bpp;
        table.resize(n);
        if (usage == DIB_PAL_COLORS) {
            const WORD* idx = reinterpret_cast<const WORD*>(after_header);
            std::vector<PALETTEENTRY> pal;  // a copy: SetPaletteEntries may change the palette meanwhile
            if (dc.st.palette) {
                std::lock_guard<std::mutex> lock(dc.st.palette->m);
                pal = dc.st.palette->entries;
            }
            for (size_t k = 0; k < n; ++k) {
                const PALETTEENTRY e = idx[k] < pal.size() ? pal[idx[k]] : (pal.empty() ? PALETTEENTRY{} : pal[0]);
                table[k] = uint32_t(e.peRed) << 16 | uint32_t(e.peGreen) << 8 | e.peBlue;
            }
        } else {
            const RGBQUAD* q = reinterpret_cast<const RGBQUAD*>(after_header);
            for (size_t k = 0; k < n; ++k)
                table[k] = uint32_t(q[k].rgbRed) << 16 | uint32_t(q[k].rgbGreen) << 8 | q[k].rgbBlue;
        }
    }
    out->w = h.biWidth;
    out->h = rows;
    out->rle = rle;
    out->px.assign(size_t(out->w) * size_t(rows), 0);
    const uint8_t* data = static_cast<const uint8_t*>(bits);
    if (rle) return decode_rle(h, data, table, out);

    // Masks: given after the header (BI_BITFIELDS), else 5-5-5 and 8-8-8.
    uint32_t masks[3] = {bpp == 16 ? 0x7C00u : 0x00FF0000u, bpp == 16 ? 0x03E0u : 0x0000FF00u,
                         bpp == 16 ? 0x001Fu : 0x000000FFu};
    if (comp == BI_BITFIELDS) std::memcpy(masks, after_header - h.biSize + 40, sizeof masks);
    const Field fr(masks[0]), fg(masks[1]), fb(masks[2]);
    const bool plain32 = bpp == 32 && comp == BI_RGB;
    const size_t stride = ((size_t(out->w) * size_t(bpp) + 31) / 32) * 4;
    auto entry = [&](uint32_t i) { return i < table.size() ? table[i] : 0u; };
    for (int r = 0; r < rows; ++r) {
        const uint8_t* s = data + stride * size_t(h.biHeight < 0 ? r : rows - 1 - r);
        uint32_t* o = out->px.data() + size_t(r) * size_t(out->w);
        for (int x = 0; x < out->w; ++x) {
            switch (bpp) {
                case 1: o[x] = entry(s[x >> 3] >> (7 - (x & 7)) & 1); break;
                case 4: o[x] = entry(s[x >> 1] >> ((x & 1) ? 0 : 4) & 15); break;
                case 8: o[x] = entry(s[x]); break;
                case 24: o[x] = uint32_t(s[3 * x]) | uint32_t(s[3 * x + 1]) << 8 | uint32_t(s[3 * x + 2]) << 16; break;
                default: {
                    uint32_t v;
                    if (bpp == 16) {
                        v = uint32_t(s[2 * x]) | uint32_t(s[2 * x + 1]) << 8;
                    } else {
                        std::memcpy(&v, s + 4 * size_t(x), 4);
                        if (plain32) {
                            o[x] = v;
                            break;
                        }
                    }
                    o[x] = fr.get(v) << 16 | fg.get(v) << 8 | fb.get(v);
                }
            }
        }
    }
    return true;
}

// A decoded image as a 32-bpp DIB section selected into a memory DC.
struct ImageDC {
    HDC dc = nullptr;
    HBITMAP bmp = nullptr;
    HGDIOBJ old = nullptr;
    explicit ImageDC(const Decoded& d) {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bi.bmiHeader.biWidth = d.w;
        bi.bmiHeader.biHeight = -d.h;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        dc = CreateCompatibleDC(nullptr);
        if (dc) bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!bmp || !bits) return;
        std::memcpy(bits, d.px.data(), d.px.size() * 4);
        old = SelectObject(dc, bmp);
    }
    ~ImageDC() {
        if (dc) {
            if (old) SelectObject(dc, old);
            DeleteDC(dc);
        }
        if (bmp) DeleteObject(bmp);
    }
    bool ok() const { return old != nullptr; }
};

// Limits the DC's clip to the destination pixels an RLE image's runs cover
// (the image's rows [top, top + hs) and columns [xs, xs + ws) placed on the
// device rectangle dr, scaled as the blit scales them). SaveDC'd by the caller.
void clip_to_runs(HDC hdc, const Decoded& d, int xs, int top, int ws, int hs, const RECT& dr) {
    HRGN runs = CreateRectRgn(0, 0, 0, 0);
    const int64_t dw = int64_t(dr.right) - dr.left, dh = int64_t(dr.bottom) - dr.top;
    auto dx = [&](int64_t sx) { return LONG(dr.left + (sx - xs) * dw / ws); };
    auto dy = [&](int64_t sy) { return LONG(dr.top + (sy - top) * dh / hs); };
    for (int y = std::max(0, top); y < std::min(d.h, top + hs); ++y) {
        const uint8_t* wr = d.written.data() + size_t(y) * size_t(d.w);
        for (int x = std::max(0, xs); x < std::min(d.w, xs + ws);) {
            if (!wr[x]) {
                ++x;
                continue;
            }
            int e = x;
            while (e < std::min(d.w, xs + ws) && wr[e]) ++e;
            HRGN r = CreateRectRgn(dx(x), dy(y), dx(e), dy(y + 1));
            CombineRgn(runs, runs, r, RGN_OR);
            DeleteObject(r);
            x = e;
        }
    }
    ExtSelectClipRgn(hdc, runs, RGN_AND);
    DeleteObject(runs);
}

}  // namespace

int WINAPI StretchDIBits(HDC hdc, int xDest, int yDest, int DestWidth, int DestHeight, int xSrc, int ySrc,
                         int SrcWidth, int SrcHeight, CONST VOID* lpBits, CONST BITMAPINFO* lpbmi, UINT iUsage,
                         DWORD rop) {
    auto dc = get_dc(hdc);
    if (!dc) return 0;
    Decoded d;
    if (!decode_dib(*dc, lpbmi, lpBits, iUsage, ~0u, &d)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    ImageDC img(d);
    if (!img.ok()) return 0;
    // A bottom-up DIB's source rectangle is placed from its lower-left corner.
    const int top = lpbmi->bmiHeader.biHeight > 0 ? d.h - ySrc - SrcHeight : ySrc;
    BOOL ok;
    if (d.rle && SrcWidth > 0 && SrcHeight > 0) {
        // Device rectangle of the destination, for the runs' clip.
        POINT a = to_device(dc->st, xDest, yDest),
              b = to_device(dc->st, clamp_sum(xDest, DestWidth), clamp_sum(yDest, DestHeight));
        RECT dr{a.x, a.y, b.x, b.y};
        int saved = SaveDC(hdc);
        clip_to_runs(hdc, d, xSrc, top, SrcWidth, SrcHeight, dr);
        ok = StretchBlt(hdc, xDest, yDest, DestWidth, DestHeight, img.dc, xSrc, top, SrcWidth, SrcHeight, rop);
        RestoreDC(hdc, saved);
    } else {
        ok = StretchBlt(hdc, xDest, yDest, DestWidth, DestHeight, img.dc, xSrc, top, SrcWidth, SrcHeight, rop);
    }
    // The reference answers a copy with the number of lines, any other
    // operation with the header's height as given (negative when top-down).
    if (!ok) return 0;
    return rop == SRCCOPY ? d.h : int(lpbmi->bmiHeader.biHeight);
}

// The bits hold lines [StartScan, StartScan + cLines) of the whole image
// (counted from the bottom for a bottom-up DIB, from the top otherwise). The
// rectangle (xSrc, ySrc, w, h) of the whole image, placed at the device
// point that (xDest, yDest) maps to, is copied where those lines supply it.
int WINAPI SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD w, DWORD h, int xSrc, int ySrc, UINT StartScan,
                             UINT cLines, CONST VOID* lpvBits, CONST BITMAPINFO* lpbmi, UINT ColorUse) {
    auto dc = get_dc(hdc);
    if (!dc) return 0;
    Decoded d;
    if (cLines == 0 || !decode_dib(*dc, lpbmi, lpvBits, ColorUse, cLines, &d)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const bool bottom_up = lpbmi->bmiHeader.biHeight > 0;
    const int64_t W = std::min<int64_t>(w, 1 << 28), H = std::min<int64_t>(h, 1 << 28);
    // Lines of the whole image both the rectangle and the bits cover.
    const int64_t lo = std::max<int64_t>(ySrc, StartScan), hi = std::min<int64_t>(int64_t(ySrc) + H, int64_t(StartScan) + d.h);
    if (lo >= hi || W == 0) return int(d.h);
    ImageDC img(d);
    if (!img.ok()) return 0;
    POINT p = to_device(dc->st, xDest, yDest);
    // Rows of the part, top first, and where the first lands below the rectangle's top.
    int64_t part_top, dest_off;
    if (bottom_up) {
        part_top = int64_t(d.h) - (hi - StartScan);
        dest_off = int64_t(ySrc) + H - hi;
    } else {
        part_top = lo - StartScan;
        dest_off = lo - ySrc;
    }
    // Sizes are in device pixels: blit with the world transform set aside.
    int saved = SaveDC(hdc);
    SetGraphicsMode(hdc, GM_ADVANCED);
    ModifyWorldTransform(hdc, nullptr, MWT_IDENTITY);
    int n = int(hi - lo);
    if (d.rle) {
        RECT dr{p.x, LONG(p.y + dest_off), LONG(p.x + W), LONG(p.y + dest_off + n)};
        clip_to_runs(hdc, d, xSrc, int(part_top), int(W), n, dr);
    }
    BOOL ok = StretchBlt(hdc, p.x, int(p.y + dest_off), int(W), n, img.dc, xSrc, int(part_top), int(W), n, SRCCOPY);
    RestoreDC(hdc, saved);
    return ok ? int(d.h) : 0;
}

int WINAPI GetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT cLines, LPVOID lpvBits, LPBITMAPINFO lpbmi, UINT usage) {
    auto dc = get_dc(hdc);
    auto bm = lookup_as<Bitmap>(hbm, Kind::Bitmap);
    if (!dc || !bm || !lpbmi || lpbmi->bmiHeader.biSize < sizeof(BITMAPINFOHEADER)) return 0;
    if (usage != DIB_RGB_COLORS && usage != DIB_PAL_COLORS) return 0;
    BITMAPINFOHEADER& h = lpbmi->bmiHeader;
    if (h.biBitCount == 0) {
        // Describe the bitmap's own format.
        if (lpvBits) return 0;
        h.biWidth = bm->width;
        h.biHeight = bm->height;
        h.biPlanes = 1;
        h.biBitCount = WORD(bm->bpp);
        h.biCompression = BI_RGB;
        h.biSizeImage = DWORD(((bm->width * bm->bpp + 31) / 32) * 4) * DWORD(bm->height);
        h.biXPelsPerMeter = h.biYPelsPerMeter = 0;
        h.biClrUsed = h.biClrImportant = 0;
        return 1;
    }
    if (h.biPlanes != 1 || (h.biCompression != BI_RGB && h.biCompression != BI_BITFIELDS)) return 0;
    int bpp = h.biBitCount;
    if (bpp != 32 && bpp != 24 && !(bpp == 1 && bm->bpp == 1)) return 0;
    if (h.biCompression == BI_BITFIELDS && bpp != 32) return 0;
    int w = bm->width, hh = bm->height;
    size_t stride = ((size_t(w) * bpp + 31) / 32) * 4;
    bool top_down = h.biHeight < 0;
    h.biWidth = w;
    h.biHeight = top_down ? -hh : hh;
    h.biSizeImage = DWORD(stride * size_t(hh));
    if (bpp == 1) {
        // Monochrome: black and white colour table.
        lpbmi->bmiColors[0] = RGBQUAD{0, 0, 0, 0};
        RGBQUAD* table = lpbmi->bmiColors;
        table[1] = RGBQUAD{255, 255, 255, 0};
        if (bm->dib && bm->palette.size() >= 2) {
            table[0] = bm->palette[0];
            table[1] = bm->palette[1];
        }
    } else if (h.biCompression == BI_BITFIELDS) {
        DWORD* masks = reinterpret_cast<DWORD*>(lpbmi->bmiColors);
        masks[0] = 0x00FF0000;
        masks[1] = 0x0000FF00;
        masks[2] = 0x000000FF;
    }
    if (!lpvBits) return hh;
    if (start >= UINT(hh)) return 0;
    UINT lines = std::min<UINT>(cLines, UINT(hh) - start);
    Surface s;
    bool colour = bitmap_surface(*bm, &s);
    uint8_t* out = static_cast<uint8_t*>(lpvBits);
    for (UINT i = 0; i < lines; ++i) {
        // Line `start + i` of the DIB: counted from the bottom for bottom-up DIBs.
        int dib_line = int(start + i);
        int y = top_down ? dib_line : hh - 1 - dib_line;
        uint8_t* o = out + stride * i;
        if (bpp == 1) {
            std::memcpy(o, bm->row_bytes(y), std::min<size_t>(stride, size_t((w + 7) / 8)));
            continue;
        }
        for (int x = 0; x < w; ++x) {
            uint32_t px;
            if (colour) {
                px = s.row(y)[x] & 0x00FFFFFFu;
            } else if (bm->bpp == 1) {
                bool bit = (bm->row_bytes(y)[x >> 3] >> (7 - (x & 7))) & 1;
                px = bit ? 0x00FFFFFFu : 0;
                if (bm->dib && bm->palette.size() >= 2) {
                    const RGBQUAD& q = bm->palette[bit];
                    px = (uint32_t(q.rgbRed) << 16) | (uint32_t(q.rgbGreen) << 8) | q.rgbBlue;
                }
            } else {
                read_bitmap_row(*bm, y, x, 1, &px, 0, 0x00FFFFFF);
            }
            if (bpp == 32) {
                std::memcpy(o + 4 * x, &px, 4);
            } else {
                o[3 * x] = uint8_t(px);
                o[3 * x + 1] = uint8_t(px >> 8);
                o[3 * x + 2] = uint8_t(px >> 16);
            }
        }
    }
    return int(lines);
}
