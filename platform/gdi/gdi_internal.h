// gdi_internal.h — the GDI engine's objects, handle table, device contexts
// and the span-level raster primitives every drawing call is built on.
//
// Layering: a public call looks its handles up (the table mutex is held only
// for the lookup), takes a Target for the DC — the locked surface plus the
// clip rectangles in device coordinates — maps its coordinates through the
// world transform once, and then emits spans through the primitives below.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "wingdi.h"

namespace plat::text {
class Font;
}

namespace plat::gdi {

enum class Kind : uint8_t { None = 0, DC = 1, Pen, Brush, Font, Bitmap, Region, Palette };

struct Object {
    static uint64_t next_serial() {
        static std::atomic<uint64_t> n{0};
        return ++n;
    }
    explicit Object(Kind k) : kind(k) {}
    virtual ~Object() = default;
    const Kind kind;
    const uint64_t serial = next_serial();  // unique for the life of the process
    HGDIOBJ handle = nullptr;
    bool stock = false;
    // Guarded by the handle table mutex.
    int selected = 0;             // number of DCs that have it selected
    bool delete_pending = false;  // DeleteObject while selected: freed when deselected
};

struct Tile;
struct Brush;

struct Pen : Object {
    Pen() : Object(Kind::Pen) {}
    DWORD style = PS_SOLID;  // full style word: dash kind, cap, join, type
    DWORD width = 1;
    COLORREF color = 0;
    UINT brush_style = BS_SOLID;
    ULONG_PTR hatch = 0;
    std::vector<DWORD> dashes;  // PS_USERSTYLE entries
    std::vector<uint64_t> dash_units;  // prepared on creation: on, off, ... (even count); empty when solid
    bool extended = false;      // made by ExtCreatePen (GetObject gives EXTLOGPEN)
    bool dc_pen = false;        // stock DC_PEN: colour from the DC
    std::shared_ptr<Brush> brush;  // hatched and pattern pens: what the pen's pixels are painted with
    int dash_kind() const { return int(style & PS_STYLE_MASK); }
    bool visible() const { return dash_kind() != PS_NULL; }
};

// A pen's dash lengths in its own units, made once when it is created (dash.cpp).
std::vector<uint64_t> make_dash_units(const Pen& pen);

struct Brush : Object {
    Brush() : Object(Kind::Brush) {}
    LOGBRUSH lb{};       // as created (for GetObject)
    bool dc_brush = false;
    // BS_PATTERN: mono tile, one byte per pixel (0/1); colour tile when mono is empty.
    int pw = 0, ph = 0;
    std::vector<uint8_t> mono;
    std::vector<uint32_t> colour;  // 32-bit pixel values (a 32-bpp pattern keeps its top byte)
    // The tile prepared for drawing, made on selection or first use and kept
    // while the DC colours it depends on (text, background, mode) stay the same.
    mutable std::mutex prepared_m;
    mutable std::shared_ptr<const Tile> prepared;
    mutable uint64_t prepared_key = 0;
};

// Where each colour channel sits in a 16- or 32-bpp pixel.
struct FieldLayout {
    uint32_t mask[3];  // red, green, blue, as given
    int shift[3], len[3];  // the field: the mask's lowest run of set bits
};
inline uint32_t field_bits(const FieldLayout& f, int c) {
    return uint32_t((uint64_t(1) << f.len[c]) - 1) << f.shift[c];
}
// The layout of three masks; false when one of them is zero.
bool field_layout(const uint32_t masks[3], FieldLayout* out);
inline constexpr FieldLayout kFields888{{0x00FF0000u, 0x0000FF00u, 0x000000FFu}, {16, 8, 0}, {8, 8, 8}};
inline constexpr FieldLayout kFields555{{0x7C00u, 0x03E0u, 0x001Fu}, {10, 5, 0}, {5, 5, 5}};

struct Bitmap : Object {
    Bitmap() : Object(Kind::Bitmap) {}
    int width = 0, height = 0;  // height > 0
    int bpp = 32;
    int stride = 0;             // bytes per row in memory
    bool top_down = true;       // row 0 of memory is the top row
    bool dib = false;           // DIB section (has user-visible bits)
    uint8_t* bits = nullptr;
    std::unique_ptr<uint8_t[]> storage;
    std::vector<RGBQUAD> palette;  // colour table of <= 8-bpp DIBs
    // 16 and 32 bpp: the red, green and blue fields of a pixel (contiguous,
    // not overlapping); 5-5-5 and 8-8-8 unless made with other masks.
    FieldLayout fields = kFields888;
    bool has_masks(uint32_t r, uint32_t g, uint32_t b) const {
        return fields.mask[0] == r && fields.mask[1] == g && fields.mask[2] == b;
    }
    // A 32-bpp bitmap whose pixels are not plain 0x00RRGGBB.
    bool masked32() const { return bpp == 32 && !has_masks(0x00FF0000u, 0x0000FF00u, 0x000000FFu); }
    uint32_t palette_version = 0;   // counts SetDIBColorTable changes (tiles made in indices go stale)
    BITMAPINFOHEADER dib_header{};  // for GetObject(DIBSECTION)
    void* owner_dc = nullptr;       // DC it is selected into (table mutex)
    uint8_t* row_bytes(int y) const { return bits + size_t(top_down ? y : height - 1 - y) * size_t(stride); }
};

struct Region : Object {
    Region() : Object(Kind::Region) {}
    std::vector<RECT> rects;  // y-x banded, non-overlapping, non-empty
};

struct FontObj : Object {
    FontObj() : Object(Kind::Font) {}
    LOGFONTA lf{};
    std::mutex m;
    std::shared_ptr<plat::text::Font> engine;  // made on first use
    // The font at device size under a scaling world transform (last scale used).
    std::shared_ptr<plat::text::Font> scaled;
    double scaled_x = 1, scaled_y = 1;
    plat::text::Font& get();
    std::shared_ptr<plat::text::Font> get_scaled(double sx, double sy);
};

struct Palette : Object {
    Palette() : Object(Kind::Palette) {}
    mutable std::mutex m;                // guards entries
    std::vector<PALETTEENTRY> entries;
    std::atomic<uint32_t> version{0};    // counts SetPaletteEntries changes
};

// A brush pattern prepared for drawing: each row repeated to a stored width
// that is a multiple of the pattern width, so a span is a few block copies.
struct Tile {
    int w = 0, h = 0;  // pattern size
    int ew = 0;        // stored row length (a multiple of w)
    std::vector<uint32_t> px;    // h rows of ew pixels
    std::vector<uint32_t> mask;  // same layout: ~0 paints, 0 leaves the destination; empty: all paint
    const uint32_t* row(int y) const { return px.data() + size_t(y) * size_t(ew); }
    const uint32_t* mask_row(int y) const { return mask.empty() ? nullptr : mask.data() + size_t(y) * size_t(ew); }
};

// What a brush or pen paints, realised against the DC's colours.
struct Paint {
    enum class Type : uint8_t { None, Solid, Tiled } type = Type::None;
    uint32_t color = 0;
    int w = 0, h = 0;
    std::shared_ptr<const Tile> tile;  // Tiled
    POINT org{0, 0};                   // device position of tile pixel (0, 0)
};

// What a DC's brush or pen paint was last realised from: the object (by
// serial number, never reused) and the DC state it depends on. The paint is
// kept on the DC and realised again only when one of them changes.
struct PaintInputs {
    uint64_t object = 0, bitmap = 0;
    uint32_t palette_version = 0;
    uint64_t logical_palette = 0;  // the selected palette and its version (palette_stamp)
    COLORREF text = 0, bk = 0, dc_colour = 0;
    int bkmode = 0;
    POINT org{0, 0};
    bool operator==(const PaintInputs& o) const {
        return object == o.object && bitmap == o.bitmap && palette_version == o.palette_version &&
               logical_palette == o.logical_palette && text == o.text &&
               bk == o.bk && dc_colour == o.dc_colour && bkmode == o.bkmode && org.x == o.org.x && org.y == o.org.y;
    }
};
struct RealisedPaint {
    PaintInputs from;
    Paint paint;
};

enum class DCKind : uint8_t { Memory, Window, Screen };
struct PixelFormat;

struct DCState {
    std::shared_ptr<Pen> pen;
    std::shared_ptr<Brush> brush;
    std::shared_ptr<FontObj> font;
    std::shared_ptr<Bitmap> bitmap;
    std::shared_ptr<Palette> palette;
    const PixelFormat* format = nullptr;  // the selected bitmap's, chosen when it is selected
    COLORREF text = RGB(0, 0, 0);
    COLORREF bk = RGB(255, 255, 255);
    COLORREF dc_brush = RGB(255, 255, 255);
    COLORREF dc_pen = RGB(0, 0, 0);
    int bkmode = OPAQUE;
    int rop2 = R2_COPYPEN;
    int polyfill = ALTERNATE;
    int stretch_mode = BLACKONWHITE;  // how StretchBlt merges the source pixels of a shrunk row or column
    int arc_dir = AD_COUNTERCLOCKWISE;
    float miter_limit = 10.0f;  // longest miter join, in pen widths
    int gm = GM_COMPATIBLE;
    XFORM xf{1, 0, 0, 1, 0, 0};  // the world transform
    // The page transform: window to viewport.
    int map_mode = MM_TEXT;
    POINT wnd_org{0, 0}, vp_org{0, 0};
    SIZE wnd_ext{1, 1}, vp_ext{1, 1};
    // Logical to device: the world transform (advanced mode only) then the
    // page transform, made by refresh_device_xform whenever either changes.
    XFORM dev{1, 0, 0, 1, 0, 0};
    bool mapped = false;  // false: dev is the identity
    POINT brush_org{0, 0};
    POINT cur{0, 0};
    UINT align = TA_TOP | TA_LEFT;
    DWORD layout = 0;       // LAYOUT_RTL: device x becomes layout_width - 1 - x
    LONG layout_width = 0;  // the surface's width, kept for the mirror
    bool has_clip = false;
    std::vector<RECT> clip;  // device coordinates, banded
};

struct DC : Object {
    DC() : Object(Kind::DC) {}
    DCKind dc_kind = DCKind::Memory;
    HWND hwnd = nullptr;
    DCState st;
    std::vector<DCState> saved;
    // The brush and pen paints last realised (a DC is drawn on by one thread at a time).
    mutable RealisedPaint brush_paint, pen_paint;
};

// ---- handle table (objects.cpp) ----
std::shared_ptr<Object> lookup(HGDIOBJ h, Kind kind = Kind::None);
template <class T>
std::shared_ptr<T> lookup_as(HGDIOBJ h, Kind kind) {
    return std::static_pointer_cast<T>(lookup(h, kind));
}
inline std::shared_ptr<DC> get_dc(HDC h) { return lookup_as<DC>(h, Kind::DC); }
HGDIOBJ add_object(std::shared_ptr<Object> obj);
std::shared_ptr<Object> stock_object(int index);

// ---- regions (region.cpp) ----
std::vector<RECT> rgn_combine(const std::vector<RECT>& a, const std::vector<RECT>& b, int mode);
std::vector<RECT> rgn_from_rect(int l, int t, int r, int b);
RECT rgn_box(const std::vector<RECT>& rects);
int rgn_kind(const std::vector<RECT>& rects);

// The rectangles of a call's clip: a few held in place, more on the heap,
// so that a call with a simple clip allocates nothing.
class ClipList {
public:
    static constexpr size_t kInline = 8;
    ClipList() = default;
    ClipList(const ClipList&) = delete;
    ClipList& operator=(const ClipList&) = delete;
    void push_back(const RECT& r) {
        if (n_ < kInline) {
            inline_[n_] = r;
        } else {
            if (n_ == kInline) heap_.assign(inline_, inline_ + kInline);
            heap_.push_back(r);
        }
        ++n_;
    }
    // Keeps the first n rectangles.
    void truncate(size_t n) {
        if (n >= n_) return;
        if (n_ > kInline && n <= kInline) std::copy(heap_.begin(), heap_.begin() + ptrdiff_t(n), inline_);
        if (n > kInline) heap_.resize(n);
        n_ = n;
    }
    RECT* begin() { return n_ <= kInline ? inline_ : heap_.data(); }
    RECT* end() { return begin() + n_; }
    const RECT* begin() const { return n_ <= kInline ? inline_ : heap_.data(); }
    const RECT* end() const { return begin() + n_; }
    size_t size() const { return n_; }
    bool empty() const { return n_ == 0; }
    const RECT& operator[](size_t i) const { return begin()[i]; }

private:
    RECT inline_[kInline];
    std::vector<RECT> heap_;
    size_t n_ = 0;
};
RECT rgn_box(const RECT* rects, size_t n);
inline RECT rgn_box(const ClipList& c) { return rgn_box(c.begin(), c.size()); }
inline int rgn_kind(const ClipList& c) { return c.empty() ? NULLREGION : c.size() == 1 ? SIMPLEREGION : COMPLEXREGION; }

// ---- colours ----
inline uint32_t to_pixel(COLORREF c) {
    return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
inline COLORREF to_colorref(uint32_t p) {
    return ((p & 0xFFu) << 16) | (p & 0xFF00u) | ((p >> 16) & 0xFFu);
}

// ---- surfaces and targets ----
struct Surface {
    uint32_t* base = nullptr;  // row 0 (the top row)
    ptrdiff_t stride = 0;      // in pixels; negative for bottom-up bitmaps
    int width = 0, height = 0;
    uint32_t* row(int y) const { return base + ptrdiff_t(y) * stride; }
};

// 32-bpp view of a bitmap; false for other formats.
bool bitmap_surface(const Bitmap& bm, Surface* out);
// Row y (0 = top) of any bitmap from column x, n pixels (all inside the
// bitmap), as 32-bit pixels: colour tables and 24 bits expand to 0x00RRGGBB;
// a monochrome bitmap without a colour table gives c0 for 0 bits, c1 for 1.
void read_bitmap_row(const Bitmap& bm, int y, int x, int n, uint32_t* out, uint32_t c0, uint32_t c1);

// ---- pixel formats (pixel_formats.cpp) ----
//
// Device values: what a drawing call computes with, one uint32_t per pixel.
// 32, 24 and 16 bpp hold 0x00RRGGBB colours (16 bpp widened from its
// fields; a 32-bpp pixel keeps its top byte); 8, 4 and 1 bpp hold table
// indices (only their low bits are stored).
// Rows of pixels of one storage format.
struct Canvas {
    uint8_t* row0 = nullptr;  // the top row
    ptrdiff_t pitch = 0;      // bytes from a row to the one below; negative for bottom-up bitmaps
    int width = 0, height = 0;
    const PixelFormat* fmt = nullptr;
    uint8_t* row(int y) const { return row0 + ptrdiff_t(y) * pitch; }
};

// A 0x00RRGGBB colour packed into the fields (each keeps its channel's top
// bits) and a stored value widened back (the field's bits, then its top bits
// once more below them).
uint32_t pack_fields(const FieldLayout& f, uint32_t px);
uint32_t expand_fields(const FieldLayout& f, uint32_t v);

// The pixels of a 1-px line, all inside the canvas: n pixels from (x, y);
// each step moves (major_dx, major_dy), and also (minor_dx, minor_dy) when
// f > 0 before the step (f then grows by diag, else by straight).
struct LineRun {
    int64_t x, y, n, f, diag, straight;
    int major_dx, major_dy, minor_dx, minor_dy;
};

// The primitives of one storage format; columns and counts lie inside the row.
// Every primitive is handed its own format (the fields of a format made
// for a bitmap's masks).
struct PixelFormat {
    int bpp;
    // n device values of a row from column x.
    void (*read)(const PixelFormat& f, const uint8_t* row, int x, int n, uint32_t* out);
    // Stores n device values into a row from column x (the bits the format
    // keeps; a pixel whose kept bits stay the same is left untouched).
    void (*write)(const PixelFormat& f, uint8_t* row, int x, int n, const uint32_t* in);
    // Solid span under a mix: d = (d & a) ^ x for n pixels from column x.
    void (*mix)(const PixelFormat& f, uint8_t* row, int x, int n, uint32_t a, uint32_t x_mask);
    // A 1-px line's pixels under the same mix.
    void (*mix_line)(const Canvas& c, const LineRun& run, uint32_t a, uint32_t x_mask);
    // Glyph coverage cov[0..n) (0 to 255) in colour c from column x.
    void (*glyph)(const PixelFormat& f, uint8_t* row, int x, int n, const uint8_t* cov, uint32_t c);
    FieldLayout fields{};  // formats made for masks: where the channels sit
    void read_row(const uint8_t* row, int x, int n, uint32_t* out) const { read(*this, row, x, n, out); }
    void write_row(uint8_t* row, int x, int n, const uint32_t* in) const { write(*this, row, x, n, in); }
};
const PixelFormat& format_32bpp();
// The format a bitmap is drawn on in, chosen when it is selected into a DC;
// null for a bitmap that cannot be drawn on (no bits, a device-dependent
// bitmap of 4 to 24 bpp).
const PixelFormat* pixel_format_of(const Bitmap* bm);
// A bitmap's rows in the given format; false without bits or format.
bool bitmap_canvas(const Bitmap& bm, const PixelFormat* fmt, Canvas* out);

// One drawing call's access to a DC's pixels: locks a window surface for its
// lifetime, holds the clip (region ∩ surface bounds) in device coordinates and
// reports the changed area of a window surface when it ends. Pixels are
// drawn in place in the bitmap's own format; `surf` is also set when that
// format is 32 bpp, for the passes that address 32-bit pixels directly.
class Target {
public:
    explicit Target(DC& dc);
    ~Target();
    Target(const Target&) = delete;
    Target& operator=(const Target&) = delete;
    bool ok() const { return canvas.row0 != nullptr; }
    bool screen() const { return is_screen; }
    // 32-bit pixels addressed in place through `surf`.
    bool direct() const { return surf.base != nullptr; }
    int width() const { return canvas.width; }
    int height() const { return canvas.height; }
    // Grows the changed area; only a window surface keeps one, so drawing
    // into a bitmap pays no call per span.
    void touch(int l, int t, int r, int b) {
        if (locked_) grow_dirty(l, t, r, b);
    }
    Canvas canvas;
    Surface surf;
    ClipList clip;
    // Row y from column x, n pixels (inside the canvas, not clipped), as device values.
    void read_row(int y, int x, int n, uint32_t* out) const { canvas.fmt->read_row(canvas.row(y), x, n, out); }
    void write_row(int y, int x, int n, const uint32_t* in) const { canvas.fmt->write_row(canvas.row(y), x, n, in); }
    // Solid span under a mix (not clipped): d = (d & a) ^ x_mask.
    void mix_span(int y, int x, int n, uint32_t a, uint32_t x_mask);
    // Edits row y from column x, n pixels (inside the canvas, not clipped) as
    // device values: f(px, k, col) is called for runs of k pixels starting at
    // device column col, in place on 32 bpp, else on a short buffer read
    // before and written back after.
    template <class F>
    void edit_row(int y, int x, int n, F&& f) {
        if (n <= 0) return;
        if (surf.base) {
            f(surf.row(y) + x, n, x);
            return;
        }
        constexpr int kChunk = 256;
        uint32_t buf[kChunk];
        uint8_t* r = canvas.row(y);
        for (int done = 0; done < n;) {
            const int k = n - done < kChunk ? n - done : kChunk;
            canvas.fmt->read_row(r, x + done, k, buf);
            f(buf, k, x + done);
            canvas.fmt->write_row(r, x + done, k, buf);
            done += k;
        }
    }
    // Calls f(x0, x1) (x1 exclusive) for the parts of row y between x0 and x1 inside the clip.
    template <class F>
    void for_clipped(int y, int x0, int x1, F&& f) {
        if (x0 >= x1) return;
        for (const RECT& c : clip) {
            if (y < c.top || y >= c.bottom) continue;
            int a = x0 > c.left ? x0 : c.left;
            int b = x1 < c.right ? x1 : c.right;
            if (a < b) {
                touch(a, y, b, y + 1);
                f(a, b);
            }
        }
    }
    bool in_clip(int x, int y) const {
        for (const RECT& c : clip)
            if (x >= c.left && x < c.right && y >= c.top && y < c.bottom) return true;
        return false;
    }

private:
    DC& dc_;
    void grow_dirty(int l, int t, int r, int b);
    bool locked_ = false;
    bool is_screen = false;
    RECT dirty_{0, 0, 0, 0};
};
// Pixels of a bitmap with fields (16 bpp, 32 bpp with masks other than
// 8-8-8): a 0x00RRGGBB colour packed into the bitmap's fields (each channel
// keeps its top bits) and a stored value widened back to 0x00RRGGBB.
inline bool has_fields(const Bitmap& bm) { return bm.bpp == 16 || bm.masked32(); }
inline uint32_t pack_fields(const Bitmap& bm, uint32_t px) { return pack_fields(bm.fields, px); }
inline uint32_t expand_fields(const Bitmap& bm, uint32_t v) { return expand_fields(bm.fields, v); }
// The colour a pixel value becomes once stored in a bitmap with fields.
inline uint32_t quantise_fields(const Bitmap& bm, uint32_t px) { return expand_fields(bm, pack_fields(bm, px)); }
// A 16- or 24-bpp DIB section, or a 32-bpp one with other masks than 8-8-8:
// drawn on in 0x00RRGGBB device values that are not its stored pixels.
inline bool direct_dib(const Bitmap* bm) {
    return bm && bm->dib && bm->bits && (bm->bpp == 16 || bm->bpp == 24 || bm->masked32());
}
// A bitmap of 8 bpp or fewer with a colour table (a DIB section's own, or
// black and white for a monochrome bitmap): drawn on in table indices
// (raster operations then combine indices, as bits).
bool indexed_bitmap(const Bitmap* bm);
// The table entry nearest to a pixel by squared RGB distance, the lowest
// index on ties.
uint32_t nearest_index(const Bitmap& bm, uint32_t px);
// Stores pixels into row y (0 = top) of a bitmap of 24 bpp or fewer from
// column x: 24 bpp takes 0x00RRGGBB values, fewer bits table indices (their
// low bits).
void write_bitmap_row(const Bitmap& bm, int y, int x, int n, const uint32_t* in);

// ---- raster primitives (raster.cpp) ----
//
// Raster operations work on all 32 bits of a pixel. A pen or brush colour
// has a zero top byte, a source pixel or a 32-bpp pattern pixel keeps its
// own, so e.g. R2_NOT or DSTINVERT also invert the top byte.

// A mix mode reduced to masks: for pen bits 1 the destination becomes
// (d & a1) ^ x1, for pen bits 0 (d & a0) ^ x0 (masks are 0 or all ones).
struct Mix {
    uint32_t a1, x1, a0, x0;
    bool copy;  // R2_COPYPEN: plain stores
    uint32_t and_for(uint32_t p) const { return (p & a1) | (~p & a0); }
    uint32_t xor_for(uint32_t p) const { return (p & x1) | (~p & x0); }
};
Mix mix_for_rop2(int rop2);

// Builds a tile from w x h pixels (row 0 = top) and an optional per-pixel
// paint flag (nullptr: every pixel paints).
std::shared_ptr<const Tile> make_tile(int w, int h, const uint32_t* px, const uint8_t* on);

// Kept on the DC (see RealisedPaint): made again only when the object or
// the DC state it depends on changed.
Paint realise_brush(const DC& dc, const Brush* br);
// A colour as the DC's surface stores it: a 0x00RRGGBB pixel, or a table
// index on an indexed bitmap (see device_colour in raster.cpp); palette
// colours resolved first (DIBINDEX(i) is index i on an indexed bitmap).
uint32_t device_colour(const DCState& st, COLORREF c);

// ---- palette colours (palette.cpp) ----
// DIBINDEX(i): 0x10FF0000 | i.
bool is_dib_index(COLORREF c);
// A COLORREF as the plain colour it names on the DC: PALETTEINDEX(i) is
// entry i of the selected palette (the first entry past its end), DIBINDEX
// black (meant for a colour table, which the caller handles), the flag
// byte of any other colour dropped.
COLORREF palette_colour(const DCState& st, COLORREF c);
// Changes whenever the DC's palette or its entries change (realised paints are kept against it).
uint64_t palette_stamp(const DCState& st);
Paint realise_pen(const DC& dc, const Pen* pen);

// Paints row y from x0 to x1 (exclusive, already clipped) with a paint and mix.
void span(Target& t, int y, int x0, int x1, const Paint& p, const Mix& m);
// Paints a clipped span list: row y from x0 to x1 (exclusive) within the target's clip.
void fill_span(Target& t, int y, int x0, int x1, const Paint& p, const Mix& m);
void fill_rect(Target& t, int l, int top, int r, int b, const Paint& p, const Mix& m);
// Glyph coverage (0..255) drawn in colour c at device (x, y), clipped.
void masked_glyph(Target& t, int x, int y, int w, int h, const uint8_t* coverage, uint32_t c);

// A ternary raster operation prepared once per call: the code reduced to
// masks so that every row is one branch-free pass (or a copy / XOR / fill).
// Per bit, with the destination split out: result = (D & A) ^ X where A and
// X are functions of the pattern and source bits; for a fixed pattern bit
// each is (S & a) ^ x.
struct Rop3Plan {
    enum class Kind : uint8_t { Nop, Copy, Xor, And, Or, Mix, Solid, Tiled } kind = Kind::Nop;
    uint8_t code = 0xAA;
    bool src = false;  // the operation reads the source
    Paint pat;
    // Solid pattern (or none): A = (S & aa) ^ ax, X = (S & xa) ^ xx.
    uint32_t aa = 0, ax = 0, xa = 0, xx = 0;
    // Tiled pattern: the same four masks for pattern bit 1 ([0..3]) and 0 ([4..7]).
    uint32_t m[8] = {};
};
Rop3Plan plan_rop3(uint8_t rop, const Paint& pat);
// One destination row of n pixels starting at device (dev_x, dev_y); src
// may be null when the plan does not read it.
void rop3_row(const Rop3Plan& plan, uint32_t* dst, const uint32_t* src, int n, int dev_x, int dev_y);
// Ternary raster operation on one row (plans it first; for single calls).
void rop3_span(uint32_t* dst, const uint32_t* src, int n, int dev_x, int dev_y, const Paint& pat, uint8_t rop);
bool rop_uses_src(uint8_t rop);
bool rop_uses_pat(uint8_t rop);

// ---- transform and state helpers (dc.cpp) ----
// Recomputes DCState::dev and ::mapped (page_transform.cpp).
void refresh_device_xform(DCState& st);
POINT to_device(const DCState& st, int x, int y);
void to_device_f(const DCState& st, double x, double y, double* dx, double* dy);
// Selection bookkeeping (objects.cpp): the objects of `released` lose one
// selection, those of `acquired` gain one (either may be null).
void restore_selection_counts(DC& dc, DCState* released, DCState* acquired);
// `now` becomes selected in one more DC (with `exclusive`, only if it is in
// none: a bitmap), `before` in one fewer. False when `now` may not be taken.
bool reselect(Object* now, Object* before, void* dc, bool exclusive = false);

}  // namespace plat::gdi
