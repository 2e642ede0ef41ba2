// objects.cpp — the GDI handle table and object calls: creation of pens,
// brushes, bitmaps and fonts, the selection counts, DeleteObject, GetObjectA,
// stock objects. Selecting into a DC is select_object.cpp's.
#include <algorithm>
#include <cstring>

#include "gdi/gdi_internal.h"
#include "winbase.h"

namespace plat::gdi {
namespace {

// Handle value: bits 0-3 the kind, 4-23 the slot index + 1, 24-30 a
// generation count, so a stale handle of a reused slot is rejected.
constexpr uint32_t kIndexBits = 20;
constexpr uint32_t kMaxSlots = (1u << kIndexBits) - 1;

struct Slot {
    std::shared_ptr<Object> obj;
    uint32_t gen = 1;
};

struct Table {
    std::mutex m;
    std::vector<Slot> slots;
    std::vector<uint32_t> free_list;
};

Table& table() {
    static Table* t = new Table;  // never destroyed: handles may be used during exit
    return *t;
}

bool decode(HGDIOBJ h, uint32_t* index, uint32_t* gen, Kind* kind) {
    uintptr_t v = reinterpret_cast<uintptr_t>(h);
    if (v == 0 || v > 0x7FFFFFFFu) return false;
    uint32_t k = v & 0xF;
    uint32_t i = (v >> 4) & kMaxSlots;
    if (i == 0 || k == 0 || k > uint32_t(Kind::Palette)) return false;
    *index = i - 1;
    *gen = uint32_t(v >> 24) & 0x7F;
    *kind = Kind(k);
    return true;
}

HGDIOBJ encode(uint32_t index, uint32_t gen, Kind kind) {
    uintptr_t v = (uintptr_t(gen & 0x7F) << 24) | (uintptr_t(index + 1) << 4) | uintptr_t(kind);
    return reinterpret_cast<HGDIOBJ>(v);
}

// Removes a slot's object; caller holds the mutex.
void remove_locked(Table& t, HGDIOBJ h) {
    uint32_t index, gen;
    Kind kind;
    if (!decode(h, &index, &gen, &kind) || index >= t.slots.size()) return;
    Slot& s = t.slots[index];
    if (!s.obj || (s.gen & 0x7F) != gen) return;
    s.obj.reset();
    s.gen = (s.gen + 1) & 0x7F;
    if (s.gen == 0) s.gen = 1;
    t.free_list.push_back(index);
}

}  // namespace

HGDIOBJ add_object(std::shared_ptr<Object> obj) {
    Table& t = table();
    std::lock_guard<std::mutex> lock(t.m);
    uint32_t index;
    if (!t.free_list.empty()) {
        index = t.free_list.back();
        t.free_list.pop_back();
    } else {
        if (t.slots.size() >= kMaxSlots) return nullptr;
        index = uint32_t(t.slots.size());
        t.slots.emplace_back();
    }
    Slot& s = t.slots[index];
    HGDIOBJ h = encode(index, s.gen, obj->kind);
    obj->handle = h;
    s.obj = std::move(obj);
    return h;
}

std::shared_ptr<Object> lookup(HGDIOBJ h, Kind kind) {
    uint32_t index, gen;
    Kind k;
    if (!decode(h, &index, &gen, &k)) return nullptr;
    if (kind != Kind::None && k != kind) return nullptr;
    Table& t = table();
    std::lock_guard<std::mutex> lock(t.m);
    if (index >= t.slots.size()) return nullptr;
    const Slot& s = t.slots[index];
    if (!s.obj || (s.gen & 0x7F) != gen || s.obj->kind != k) return nullptr;
    return s.obj;
}

// Selection bookkeeping: `now` becomes selected in one more DC, `before`
// in one fewer; a pending deletion completes when the count reaches zero.
bool reselect(Object* now, Object* before, void* dc, bool exclusive) {
    Table& t = table();
    std::lock_guard<std::mutex> lock(t.m);
    if (exclusive && now && !now->stock && now->selected > 0) return false;
    if (now) {
        now->selected++;
        if (now->kind == Kind::Bitmap) static_cast<Bitmap*>(now)->owner_dc = dc;
    }
    if (before) {
        before->selected--;
        if (before->kind == Kind::Bitmap && before->selected == 0) static_cast<Bitmap*>(before)->owner_dc = nullptr;
        if (before->selected == 0 && before->delete_pending) remove_locked(t, before->handle);
    }
    return true;
}

static void release_state(DCState& st, void* dc) {
    reselect(nullptr, st.pen.get(), dc);
    reselect(nullptr, st.brush.get(), dc);
    reselect(nullptr, st.font.get(), dc);
    reselect(nullptr, st.bitmap.get(), dc);
    reselect(nullptr, st.palette.get(), dc);
}

static void acquire_state(DCState& st, void* dc) {
    reselect(st.pen.get(), nullptr, dc);
    reselect(st.brush.get(), nullptr, dc);
    reselect(st.font.get(), nullptr, dc);
    reselect(st.bitmap.get(), nullptr, dc);
    reselect(st.palette.get(), nullptr, dc);
}

void restore_selection_counts(DC& dc, DCState* released, DCState* acquired) {
    if (released) release_state(*released, &dc);
    if (acquired) acquire_state(*acquired, &dc);
}

// ---------------------------------------------------------------- stock objects

namespace {

constexpr int kStockBitmap = STOCK_LAST + 1;  // the 1x1 mono bitmap of a new memory DC

struct Stock {
    std::shared_ptr<Object> objs[kStockBitmap + 1];
};

std::shared_ptr<Brush> solid_brush(COLORREF c, UINT style = BS_SOLID) {
    auto b = std::make_shared<Brush>();
    b->lb.lbStyle = style;
    b->lb.lbColor = c;
    return b;
}

std::shared_ptr<Pen> simple_pen(int style, COLORREF c) {
    auto p = std::make_shared<Pen>();
    p->style = DWORD(style);
    p->width = 1;
    p->color = c;
    return p;
}

std::shared_ptr<FontObj> stock_font(const char* face, LONG height, BYTE pitch) {
    auto f = std::make_shared<FontObj>();
    f->lf.lfHeight = height;
    f->lf.lfWeight = FW_NORMAL;
    f->lf.lfCharSet = DEFAULT_CHARSET;
    f->lf.lfPitchAndFamily = pitch;
    std::strncpy(f->lf.lfFaceName, face, LF_FACESIZE - 1);
    return f;
}

Stock& stock() {
    static Stock* s = [] {
        auto* st = new Stock;
        st->objs[WHITE_BRUSH] = solid_brush(RGB(255, 255, 255));
        st->objs[LTGRAY_BRUSH] = solid_brush(RGB(192, 192, 192));
        st->objs[GRAY_BRUSH] = solid_brush(RGB(128, 128, 128));
        st->objs[DKGRAY_BRUSH] = solid_brush(RGB(64, 64, 64));
        st->objs[BLACK_BRUSH] = solid_brush(RGB(0, 0, 0));
        st->objs[NULL_BRUSH] = solid_brush(0, BS_NULL);
        st->objs[WHITE_PEN] = simple_pen(PS_SOLID, RGB(255, 255, 255));
        st->objs[BLACK_PEN] = simple_pen(PS_SOLID, RGB(0, 0, 0));
        st->objs[NULL_PEN] = simple_pen(PS_NULL, 0);
        st->objs[OEM_FIXED_FONT] = stock_font("Terminal", 12, FIXED_PITCH | FF_MODERN);
        st->objs[ANSI_FIXED_FONT] = stock_font("Courier", 13, FIXED_PITCH | FF_MODERN);
        st->objs[ANSI_VAR_FONT] = stock_font("MS Sans Serif", 13, VARIABLE_PITCH | FF_SWISS);
        st->objs[SYSTEM_FONT] = stock_font("System", 16, VARIABLE_PITCH | FF_SWISS);
        st->objs[DEVICE_DEFAULT_FONT] = stock_font("System", 16, VARIABLE_PITCH | FF_SWISS);
        auto pal = std::make_shared<Palette>();
        static const BYTE vga[20][3] = {{0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},
                                        {0, 0, 128},     {128, 0, 128},   {0, 128, 128},   {192, 192, 192},
                                        {192, 220, 192}, {166, 202, 240}, {255, 251, 240}, {160, 160, 164},
                                        {128, 128, 128}, {255, 0, 0},     {0, 255, 0},     {255, 255, 0},
                                        {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
        for (auto& e : vga) pal->entries.push_back(PALETTEENTRY{e[0], e[1], e[2], 0});
        st->objs[DEFAULT_PALETTE] = pal;
        st->objs[SYSTEM_FIXED_FONT] = stock_font("Fixedsys", 16, FIXED_PITCH | FF_MODERN);
        st->objs[DEFAULT_GUI_FONT] = stock_font("MS Shell Dlg", -11, VARIABLE_PITCH | FF_SWISS);
        auto dcb = solid_brush(RGB(255, 255, 255));
        dcb->dc_brush = true;
        st->objs[DC_BRUSH] = dcb;
        auto dcp = simple_pen(PS_SOLID, 0);
        dcp->dc_pen = true;
        st->objs[DC_PEN] = dcp;
        auto bm = std::make_shared<Bitmap>();
        bm->width = bm->height = 1;
        bm->bpp = 1;
        bm->stride = 2;
        bm->storage.reset(new uint8_t[2]());
        bm->bits = bm->storage.get();
        st->objs[kStockBitmap] = bm;
        for (auto& o : st->objs) {
            if (!o) continue;
            o->stock = true;
            add_object(o);
        }
        return st;
    }();
    return *s;
}

}  // namespace

std::shared_ptr<Object> stock_object(int index) {
    if (index < 0 || index > kStockBitmap) return nullptr;
    return stock().objs[index];
}

// ---------------------------------------------------------------- DCs

static HDC make_dc(DCKind kind, HWND hwnd) {
    auto dc = std::make_shared<DC>();
    dc->dc_kind = kind;
    dc->hwnd = hwnd;
    DCState& st = dc->st;
    st.pen = std::static_pointer_cast<Pen>(stock_object(BLACK_PEN));
    st.brush = std::static_pointer_cast<Brush>(stock_object(WHITE_BRUSH));
    st.font = std::static_pointer_cast<FontObj>(stock_object(SYSTEM_FONT));
    st.palette = std::static_pointer_cast<Palette>(stock_object(DEFAULT_PALETTE));
    if (kind == DCKind::Memory) {
        st.bitmap = std::static_pointer_cast<Bitmap>(stock_object(kStockBitmap));
        st.format = pixel_format_of(st.bitmap.get());
    }
    HDC h = static_cast<HDC>(add_object(dc));
    if (h) acquire_state(dc->st, dc.get());
    return h;
}

static bool delete_dc(HDC hdc, bool window) {
    auto dc = get_dc(hdc);
    if (!dc || (window != (dc->dc_kind != DCKind::Memory))) return false;
    {
        Table& t = table();
        std::lock_guard<std::mutex> lock(t.m);
        remove_locked(t, hdc);
    }
    release_state(dc->st, dc.get());
    dc->saved.clear();
    return true;
}

}  // namespace plat::gdi

using namespace plat::gdi;

namespace plat {
HDC create_window_dc(HWND hwnd) { return make_dc(hwnd ? DCKind::Window : DCKind::Screen, hwnd); }
void release_window_dc(HDC hdc) { delete_dc(hdc, true); }
}  // namespace plat

HDC WINAPI CreateCompatibleDC(HDC hdc) {
    if (hdc && !get_dc(hdc)) return nullptr;
    return make_dc(DCKind::Memory, nullptr);
}

BOOL WINAPI DeleteDC(HDC hdc) { return delete_dc(hdc, false) ? TRUE : FALSE; }

HGDIOBJ WINAPI GetStockObject(int i) {
    if (i < 0 || i > STOCK_LAST) return nullptr;
    auto o = stock_object(i);
    return o ? o->handle : nullptr;
}

DWORD WINAPI GetObjectType(HGDIOBJ h) {
    auto o = lookup(h);
    if (!o) return 0;
    switch (o->kind) {
        case Kind::Pen: return static_cast<Pen*>(o.get())->extended ? OBJ_EXTPEN : OBJ_PEN;
        case Kind::Brush: return OBJ_BRUSH;
        case Kind::Font: return OBJ_FONT;
        case Kind::Bitmap: return OBJ_BITMAP;
        case Kind::Region: return OBJ_REGION;
        case Kind::Palette: return OBJ_PAL;
        case Kind::DC: return static_cast<DC*>(o.get())->dc_kind == DCKind::Memory ? OBJ_MEMDC : OBJ_DC;
        default: return 0;
    }
}

BOOL WINAPI DeleteObject(HGDIOBJ h) {
    auto obj = lookup(h);
    if (!obj || obj->kind == Kind::DC) return FALSE;
    if (obj->stock) return TRUE;  // stock objects are never freed
    Table& t = table();
    std::lock_guard<std::mutex> lock(t.m);
    if (obj->selected > 0) {
        // A bitmap selected into a DC cannot be deleted; a pen, brush, font or
        // palette is freed once no DC has it selected any more.
        if (obj->kind == Kind::Bitmap) return FALSE;
        obj->delete_pending = true;
        return TRUE;
    }
    remove_locked(t, h);
    return TRUE;
}

// ---------------------------------------------------------------- pens

namespace plat::gdi {
std::shared_ptr<Brush> make_brush(const LOGBRUSH& lb);
}

static bool known_brush_style(UINT s) { return s == BS_SOLID || s == BS_NULL || s == BS_HATCHED; }

HPEN WINAPI CreatePen(int iStyle, int cWidth, COLORREF color) {
    if (iStyle < 0 || iStyle > PS_INSIDEFRAME) return nullptr;
    auto p = std::make_shared<Pen>();
    p->style = DWORD(iStyle);
    p->width = cWidth < 0 ? 0 : DWORD(cWidth);
    p->color = color;
    p->dash_units = make_dash_units(*p);
    return static_cast<HPEN>(add_object(p));
}

HPEN WINAPI CreatePenIndirect(CONST LOGPEN* plpen) {
    if (!plpen) return nullptr;
    return CreatePen(int(plpen->lopnStyle), plpen->lopnWidth.x, plpen->lopnColor);
}

HPEN WINAPI ExtCreatePen(DWORD iPenStyle, DWORD cWidth, CONST LOGBRUSH* plbrush, DWORD cStyle, CONST DWORD* pstyle) {
    if (!plbrush) return nullptr;
    DWORD kind = iPenStyle & PS_STYLE_MASK;
    DWORD type = iPenStyle & PS_TYPE_MASK;
    if (kind > PS_ALTERNATE || (type != PS_COSMETIC && type != PS_GEOMETRIC)) return nullptr;
    if ((iPenStyle & PS_ENDCAP_MASK) > PS_ENDCAP_FLAT || (iPenStyle & PS_JOIN_MASK) > PS_JOIN_MITER) return nullptr;
    if (kind == PS_USERSTYLE) {
        if (cStyle == 0 || cStyle > 16 || !pstyle) return nullptr;
    } else if (cStyle != 0 || pstyle) {
        return nullptr;
    }
    if (type == PS_COSMETIC) {
        // Cosmetic pens are one pixel wide and solid-coloured; keeping a
        // shape's outline inside its frame is for geometric pens only.
        if (cWidth != 1 || plbrush->lbStyle != BS_SOLID || kind == PS_INSIDEFRAME) return nullptr;
    } else if (kind == PS_ALTERNATE) {
        return nullptr;  // PS_ALTERNATE is cosmetic only
    }
    if (!known_brush_style(plbrush->lbStyle) && plbrush->lbStyle != BS_PATTERN &&
        plbrush->lbStyle != BS_DIBPATTERN && plbrush->lbStyle != BS_DIBPATTERNPT)
        return nullptr;
    auto p = std::make_shared<Pen>();
    p->style = iPenStyle;
    p->width = cWidth;
    p->color = plbrush->lbColor;
    p->brush_style = plbrush->lbStyle;
    p->hatch = plbrush->lbHatch;
    p->extended = true;
    if (kind == PS_USERSTYLE) p->dashes.assign(pstyle, pstyle + cStyle);
    if (plbrush->lbStyle != BS_SOLID && plbrush->lbStyle != BS_NULL) {
        // Hatched and pattern pens paint their pixels with that brush.
        p->brush = make_brush(*plbrush);
        if (!p->brush) return nullptr;
    }
    p->dash_units = make_dash_units(*p);
    // A hollow brush makes an invisible pen.
    if (plbrush->lbStyle == BS_NULL) p->style = (iPenStyle & ~PS_STYLE_MASK) | PS_NULL;
    return static_cast<HPEN>(add_object(p));
}

// ---------------------------------------------------------------- brushes

HBRUSH WINAPI CreateSolidBrush(COLORREF color) {
    LOGBRUSH lb{BS_SOLID, color, 0};
    return CreateBrushIndirect(&lb);
}

HBRUSH WINAPI CreateHatchBrush(int iHatch, COLORREF color) {
    LOGBRUSH lb{BS_HATCHED, color, ULONG_PTR(iHatch)};
    return CreateBrushIndirect(&lb);
}

// Copies a bitmap's pixels into a brush tile.
static bool tile_from_bitmap(const Bitmap& bm, Brush* b) {
    if (int64_t(bm.width) * bm.height > (1 << 24)) return false;  // as for packed DIBs: bounded tiles
    b->pw = bm.width;
    b->ph = bm.height;
    size_t n = size_t(bm.width) * size_t(bm.height);
    if (bm.bpp == 1) {
        b->mono.resize(n);
        for (int y = 0; y < bm.height; ++y) {
            const uint8_t* row = bm.row_bytes(y);
            for (int x = 0; x < bm.width; ++x) b->mono[size_t(y) * bm.width + x] = (row[x >> 3] >> (7 - (x & 7))) & 1;
        }
        if (bm.dib && bm.palette.size() >= 2) {
            // A monochrome DIB section draws with its own colour table.
            b->colour.resize(n);
            for (size_t i = 0; i < n; ++i) {
                const RGBQUAD& q = bm.palette[b->mono[i]];
                b->colour[i] = (uint32_t(q.rgbRed) << 16) | (uint32_t(q.rgbGreen) << 8) | q.rgbBlue;
            }
            b->mono.clear();
        }
        return true;
    }
    if (!bm.bits) return false;
    b->colour.resize(n);
    for (int y = 0; y < bm.height; ++y)
        read_bitmap_row(bm, y, 0, bm.width, b->colour.data() + size_t(y) * bm.width, 0, 0);
    return true;
}

// Decodes a packed DIB (header, colour table, bits) into a brush tile.
static bool tile_from_packed_dib(const void* packed, Brush* b, size_t limit = SIZE_MAX) {
    if (!packed || limit < sizeof(BITMAPINFOHEADER)) return false;
    BITMAPINFOHEADER h;
    std::memcpy(&h, packed, sizeof h);
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biSize > 124 || h.biWidth <= 0 || h.biHeight == 0 ||
        h.biHeight == INT32_MIN || h.biPlanes != 1)
        return false;
    if (h.biCompression != BI_RGB && !(h.biCompression == BI_BITFIELDS && h.biBitCount == 32)) return false;
    int bpp = h.biBitCount;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) return false;
    int w = h.biWidth;
    int hh = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    if (int64_t(w) * hh > (1 << 24)) return false;
    const uint8_t* p = static_cast<const uint8_t*>(packed) + h.biSize;
    size_t ncolours = 0;
    if (bpp <= 8) ncolours = (h.biClrUsed && h.biClrUsed < (1u << bpp)) ? h.biClrUsed : (1u << bpp);
    // 32-bpp bit fields: the masks follow the header (or end one that holds them).
    FieldLayout fields = kFields888;
    if (h.biCompression == BI_BITFIELDS) {
        if (limit < size_t(h.biSize) + 12) return false;
        uint32_t masks[3];
        std::memcpy(masks, static_cast<const uint8_t*>(packed) + (h.biSize >= 52 ? 40 : h.biSize), sizeof masks);
        if (!field_layout(masks, &fields)) return false;
        if (h.biSize < 52) p += 12;
    }
    const bool plain32 = std::equal(fields.mask, fields.mask + 3, kFields888.mask);
    const RGBQUAD* table = reinterpret_cast<const RGBQUAD*>(p);
    const uint8_t* bits = p + ncolours * sizeof(RGBQUAD);
    size_t stride = ((size_t(w) * bpp + 31) / 32) * 4;
    // A block that is too small for what its header describes is refused.
    if (size_t(bits - static_cast<const uint8_t*>(packed)) + stride * size_t(hh) > limit) return false;
    b->pw = w;
    b->ph = hh;
    b->colour.resize(size_t(w) * hh);
    for (int y = 0; y < hh; ++y) {
        const uint8_t* row = bits + stride * size_t(h.biHeight < 0 ? y : hh - 1 - y);
        for (int x = 0; x < w; ++x) {
            uint32_t c;
            if (bpp == 32) {
                std::memcpy(&c, row + 4 * x, 4);  // the whole value, top byte included
                if (!plain32) c = expand_fields(fields, c);
            } else if (bpp == 24) {
                c = row[3 * x] | (uint32_t(row[3 * x + 1]) << 8) | (uint32_t(row[3 * x + 2]) << 16);
            } else {
                unsigned idx;
                if (bpp == 8) idx = row[x];
                else if (bpp == 4) idx = (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF;
                else idx = (row[x >> 3] >> (7 - (x & 7))) & 1;
                if (idx >= ncolours) idx = 0;
                RGBQUAD q;
                std::memcpy(&q, table + idx, sizeof q);
                c = (uint32_t(q.rgbRed) << 16) | (uint32_t(q.rgbGreen) << 8) | q.rgbBlue;
            }
            b->colour[size_t(y) * w + x] = c;
        }
    }
    return true;
}

namespace plat::gdi {
// A brush object for a LOGBRUSH (also the paint of hatched and pattern pens);
// null for a style it cannot make.
std::shared_ptr<Brush> make_brush(const LOGBRUSH& lb) {
    auto b = std::make_shared<Brush>();
    b->lb = lb;
    switch (lb.lbStyle) {
        case BS_SOLID:
        case BS_NULL: break;
        case BS_HATCHED:
            if (lb.lbHatch > HS_DIAGCROSS) return nullptr;
            break;
        case BS_PATTERN:
        case BS_PATTERN8X8: {
            auto bm = lookup_as<Bitmap>(reinterpret_cast<HGDIOBJ>(lb.lbHatch), Kind::Bitmap);
            if (!bm || !tile_from_bitmap(*bm, b.get())) return nullptr;
            b->lb.lbStyle = BS_PATTERN;
            break;
        }
        case BS_DIBPATTERN:
        case BS_DIBPATTERN8X8: {
            HGLOBAL mem = reinterpret_cast<HGLOBAL>(lb.lbHatch);
            const void* packed = mem ? GlobalLock(mem) : nullptr;
            bool ok;
            if (packed) {
                ok = tile_from_packed_dib(packed, b.get(), size_t(GlobalSize(mem)));
                GlobalUnlock(mem);
            } else {
                // A fixed block's handle is its address, and programs pass the
                // address of a packed DIB of their own here too: take it as one
                // (small values are never addresses).
                ok = lb.lbHatch >= 0x10000 && tile_from_packed_dib(reinterpret_cast<const void*>(lb.lbHatch), b.get());
            }
            if (!ok) return nullptr;
            break;
        }
        case BS_DIBPATTERNPT:
            if (!tile_from_packed_dib(reinterpret_cast<const void*>(lb.lbHatch), b.get())) return nullptr;
            break;
        default: return nullptr;
    }
    return b;
}
}  // namespace plat::gdi

HBRUSH WINAPI CreateBrushIndirect(CONST LOGBRUSH* plbrush) {
    if (!plbrush) return nullptr;
    auto b = make_brush(*plbrush);
    return b ? static_cast<HBRUSH>(add_object(b)) : nullptr;
}

HBRUSH WINAPI CreatePatternBrush(HBITMAP hbm) {
    LOGBRUSH lb{BS_PATTERN, 0, reinterpret_cast<ULONG_PTR>(hbm)};
    return CreateBrushIndirect(&lb);
}

HBRUSH WINAPI CreateDIBPatternBrushPt(CONST VOID* lpPackedDIB, UINT iUsage) {
    LOGBRUSH lb{BS_DIBPATTERNPT, iUsage, reinterpret_cast<ULONG_PTR>(lpPackedDIB)};
    return CreateBrushIndirect(&lb);
}

// ---------------------------------------------------------------- bitmaps

bool plat::gdi::bitmap_surface(const Bitmap& bm, Surface* out) {
    if (bm.bpp != 32 || bm.masked32() || !bm.bits) return false;
    out->width = bm.width;
    out->height = bm.height;
    ptrdiff_t stride_px = bm.stride / 4;
    if (bm.top_down) {
        out->base = reinterpret_cast<uint32_t*>(bm.bits);
        out->stride = stride_px;
    } else {
        out->base = reinterpret_cast<uint32_t*>(bm.bits) + ptrdiff_t(bm.height - 1) * stride_px;
        out->stride = -stride_px;
    }
    return true;
}

static std::shared_ptr<Bitmap> new_bitmap(int w, int h, int bpp, int row_align_bytes) {
    if (w <= 0 || h <= 0 || w > 65536 || h > 65536) return nullptr;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return nullptr;
    size_t row_bits = size_t(w) * size_t(bpp);
    size_t align_bits = size_t(row_align_bytes) * 8;
    size_t stride = (row_bits + align_bits - 1) / align_bits * row_align_bytes;
    size_t total = stride * size_t(h);
    if (total > (size_t(1) << 31)) return nullptr;
    auto bm = std::make_shared<Bitmap>();
    bm->width = w;
    bm->height = h;
    bm->bpp = bpp;
    bm->stride = int(stride);
    bm->storage.reset(new (std::nothrow) uint8_t[total]());
    if (!bm->storage) return nullptr;
    bm->bits = bm->storage.get();
    // A monochrome bitmap is drawn on as black (0) and white (1); a DIB
    // section replaces this with its own colour table.
    if (bpp == 1) bm->palette = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
    if (bpp == 16) bm->fields = kFields555;
    return bm;
}

HBITMAP WINAPI CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitCount, CONST VOID* lpBits) {
    if (nPlanes != 1) return nullptr;
    if (nWidth == 0 || nHeight == 0) {
        auto o = stock_object(STOCK_LAST + 1);
        return static_cast<HBITMAP>(o->handle);
    }
    auto bm = new_bitmap(nWidth, nHeight, int(nBitCount), 2);
    if (!bm) return nullptr;
    if (lpBits) std::memcpy(bm->bits, lpBits, size_t(bm->stride) * size_t(bm->height));
    return static_cast<HBITMAP>(add_object(bm));
}

HBITMAP WINAPI CreateCompatibleBitmap(HDC hdc, int cx, int cy) {
    auto dc = get_dc(hdc);
    if (!dc) return nullptr;
    // A memory DC with its default mono bitmap makes mono bitmaps, as Windows does.
    int bpp = (dc->dc_kind == DCKind::Memory && dc->st.bitmap && dc->st.bitmap->bpp == 1) ? 1 : 32;
    if (cx == 0 || cy == 0) return static_cast<HBITMAP>(stock_object(STOCK_LAST + 1)->handle);
    auto bm = new_bitmap(cx, cy, bpp, bpp == 1 ? 2 : 4);
    if (!bm) return nullptr;
    return static_cast<HBITMAP>(add_object(bm));
}

HBITMAP WINAPI CreateDIBSection(HDC hdc, CONST BITMAPINFO* pbmi, UINT usage, VOID** ppvBits, HANDLE hSection,
                                DWORD offset) {
    if (ppvBits) *ppvBits = nullptr;
    if (!pbmi || hSection || usage != DIB_RGB_COLORS) return nullptr;
    const BITMAPINFOHEADER& h = pbmi->bmiHeader;
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biPlanes != 1 || h.biWidth <= 0 || h.biHeight == 0 ||
        h.biHeight == INT32_MIN)
        return nullptr;
    int bpp = h.biBitCount;
    FieldLayout fields = bpp == 16 ? kFields555 : kFields888;
    if (h.biCompression == BI_BITFIELDS) {
        // The masks follow the header (or end a header that holds them); a
        // zero mask is refused.
        if (bpp != 16 && bpp != 32) return nullptr;
        uint32_t masks[3];
        std::memcpy(masks, reinterpret_cast<const uint8_t*>(pbmi) + (h.biSize >= 52 ? 40 : h.biSize), sizeof masks);
        if (!field_layout(masks, &fields)) return nullptr;
    } else if (h.biCompression != BI_RGB) {
        return nullptr;
    }
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return nullptr;
    int height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    auto bm = new_bitmap(h.biWidth, height, bpp, 4);
    if (!bm) return nullptr;
    bm->dib = true;
    bm->fields = fields;
    bm->top_down = h.biHeight < 0;
    bm->dib_header = h;
    bm->dib_header.biSize = sizeof(BITMAPINFOHEADER);
    bm->dib_header.biSizeImage = DWORD(bm->stride) * DWORD(height);
    // A 16-bpp section describes itself by its fields, 5-5-5 when made as BI_RGB.
    if (bpp == 16) bm->dib_header.biCompression = BI_BITFIELDS;
    if (bpp <= 8) {
        size_t n = h.biClrUsed ? h.biClrUsed : (size_t(1) << bpp);
        if (n > (size_t(1) << bpp)) n = size_t(1) << bpp;
        bm->palette.assign(pbmi->bmiColors, pbmi->bmiColors + n);
    }
    HBITMAP hb = static_cast<HBITMAP>(add_object(bm));
    if (hb && ppvBits) *ppvBits = bm->bits;
    return hb;
}

// ---------------------------------------------------------------- GetObject

int WINAPI GetObjectA(HANDLE h, int c, LPVOID pv) {
    auto obj = lookup(h);
    if (!obj || c < 0) return 0;
    auto put = [&](const void* data, int size, bool partial_ok) -> int {
        if (!pv) return size;
        if (c < size && !partial_ok) return 0;
        int n = c < size ? c : size;
        std::memcpy(pv, data, size_t(n));
        return n;
    };
    switch (obj->kind) {
        case Kind::Pen: {
            auto* p = static_cast<Pen*>(obj.get());
            if (!p->extended) {
                LOGPEN lp{p->style, POINT{LONG(p->width), 0}, p->color};
                return put(&lp, sizeof lp, false);
            }
            size_t n = p->dashes.size();
            size_t size = offsetof(EXTLOGPEN, elpStyleEntry) + (n ? n : 1) * sizeof(DWORD);
            if (!n) size = sizeof(EXTLOGPEN);
            std::vector<uint8_t> buf(size);
            auto* e = reinterpret_cast<EXTLOGPEN*>(buf.data());
            e->elpPenStyle = p->style;
            e->elpWidth = p->width;
            e->elpBrushStyle = p->brush_style;
            e->elpColor = p->color;
            e->elpHatch = p->hatch;
            e->elpNumEntries = DWORD(n);
            for (size_t i = 0; i < n; ++i) e->elpStyleEntry[i] = p->dashes[i];
            return put(buf.data(), int(size), false);
        }
        case Kind::Brush: return put(&static_cast<Brush*>(obj.get())->lb, sizeof(LOGBRUSH), false);
        case Kind::Font: return put(&static_cast<FontObj*>(obj.get())->lf, sizeof(LOGFONTA), true);
        case Kind::Palette: {
            WORD n = WORD(static_cast<Palette*>(obj.get())->entries.size());
            return put(&n, sizeof n, false);
        }
        case Kind::Bitmap: {
            auto* bm = static_cast<Bitmap*>(obj.get());
            DIBSECTION ds{};
            ds.dsBm.bmType = 0;
            ds.dsBm.bmWidth = bm->width;
            ds.dsBm.bmHeight = bm->height;
            ds.dsBm.bmWidthBytes = bm->dib ? bm->stride : ((bm->width * bm->bpp + 15) / 16) * 2;
            ds.dsBm.bmPlanes = 1;
            ds.dsBm.bmBitsPixel = WORD(bm->bpp);
            ds.dsBm.bmBits = bm->dib ? bm->bits : nullptr;
            if (bm->dib && pv && c >= int(sizeof(DIBSECTION))) {
                ds.dsBmih = bm->dib_header;
                if (ds.dsBmih.biCompression == BI_BITFIELDS) {
                    for (int i = 0; i < 3; ++i) ds.dsBitfields[i] = bm->fields.mask[i];
                }
                return put(&ds, sizeof ds, false);
            }
            return put(&ds.dsBm, sizeof(BITMAP), false);
        }
        default: return 0;
    }
}

// ---------------------------------------------------------------- DIB colour tables

// The colour table of the DIB section selected into a memory DC (8 bpp or
// fewer); null for any other bitmap.
static std::shared_ptr<Bitmap> table_bitmap(HDC hdc) {
    auto dc = get_dc(hdc);
    if (!dc || dc->dc_kind != DCKind::Memory) return nullptr;
    std::shared_ptr<Bitmap> bm = dc->st.bitmap;
    if (!bm || !bm->dib || bm->bpp > 8 || bm->palette.empty()) return nullptr;
    return bm;
}

// Replaces entries from iStart on, as many as the table holds; the pixels
// keep their indices. Returns the number of entries changed.
UINT WINAPI SetDIBColorTable(HDC hdc, UINT iStart, UINT cEntries, CONST RGBQUAD* prgbq) {
    auto bm = table_bitmap(hdc);
    if (!bm || !prgbq || iStart >= bm->palette.size()) return 0;
    UINT n = std::min<UINT>(cEntries, UINT(bm->palette.size()) - iStart);
    std::copy(prgbq, prgbq + n, bm->palette.begin() + iStart);
    ++bm->palette_version;
    return n;
}

UINT WINAPI GetDIBColorTable(HDC hdc, UINT iStart, UINT cEntries, RGBQUAD* prgbq) {
    auto bm = table_bitmap(hdc);
    if (!bm || !prgbq || iStart >= bm->palette.size()) return 0;
    UINT n = std::min<UINT>(cEntries, UINT(bm->palette.size()) - iStart);
    std::copy(bm->palette.begin() + iStart, bm->palette.begin() + iStart + n, prgbq);
    return n;
}
