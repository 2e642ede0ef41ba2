// dc.cpp — drawing targets (locked surface + clip) and the DC state calls:
// colours, modes, world transform, brush origin, SaveDC/RestoreDC and
// batching.
#include <algorithm>
#include <atomic>
#include <cmath>

#include "gdi/gdi_internal.h"
#include "window_surface.h"

namespace plat::gdi {

Target::Target(DC& dc) : dc_(dc) {
    switch (dc.dc_kind) {
        case DCKind::Screen: is_screen = true; break;
        case DCKind::Window: {
            SurfaceView v;
            if (plat::lock_window_surface(dc.hwnd, &v)) {
                locked_ = true;
                if (v.pixels && v.width > 0 && v.height > 0) {
                    canvas.row0 = reinterpret_cast<uint8_t*>(v.pixels);
                    canvas.pitch = ptrdiff_t(v.width) * 4;
                    canvas.width = v.width;
                    canvas.height = v.height;
                    canvas.fmt = &format_32bpp();
                }
            }
            break;
        }
        case DCKind::Memory:
            // Drawn in place in the bitmap's own format (chosen when it was selected).
            if (dc.st.bitmap) bitmap_canvas(*dc.st.bitmap, dc.st.format, &canvas);
            break;
    }
    if (!canvas.row0) return;
    if (canvas.fmt == &format_32bpp()) {
        surf.base = reinterpret_cast<uint32_t*>(canvas.row0);
        surf.stride = canvas.pitch / 4;
        surf.width = canvas.width;
        surf.height = canvas.height;
    }
    RECT bounds{0, 0, canvas.width, canvas.height};
    if (!dc.st.has_clip) {
        clip.push_back(bounds);
        return;
    }
    for (const RECT& r : dc.st.clip) {
        RECT c{std::max(r.left, bounds.left), std::max(r.top, bounds.top), std::min(r.right, bounds.right),
               std::min(r.bottom, bounds.bottom)};
        if (c.left < c.right && c.top < c.bottom) clip.push_back(c);
    }
}

Target::~Target() {
    if (!locked_) return;
    plat::unlock_window_surface(dc_.hwnd);
    if (dirty_.left < dirty_.right && dirty_.top < dirty_.bottom) plat::window_surface_changed(dc_.hwnd, dirty_);
}

void Target::grow_dirty(int l, int t, int r, int b) {
    if (dirty_.left >= dirty_.right) {
        dirty_ = RECT{l, t, r, b};
        return;
    }
    dirty_.left = std::min<LONG>(dirty_.left, l);
    dirty_.top = std::min<LONG>(dirty_.top, t);
    dirty_.right = std::max<LONG>(dirty_.right, r);
    dirty_.bottom = std::max<LONG>(dirty_.bottom, b);
}

static inline LONG round_coord(double v) {
    double r = std::floor(v + 0.5);
    if (r > 1e9) return 1000000000;
    if (r < -1e9) return -1000000000;
    return LONG(r);
}

void to_device_f(const DCState& st, double x, double y, double* dx, double* dy) {
    if (!st.mapped) {
        *dx = x;
        *dy = y;
    } else {
        const XFORM& m = st.dev;
        *dx = x * m.eM11 + y * m.eM21 + m.eDx;
        *dy = x * m.eM12 + y * m.eM22 + m.eDy;
    }
    if (st.layout & LAYOUT_RTL) *dx = double(st.layout_width - 1) - *dx;
}

POINT to_device(const DCState& st, int x, int y) {
    // Without a transform a point maps to itself (within the clamp, and
    // mirrored in a right-to-left layout): no trip through floating point.
    if (!st.mapped) {
        auto clamp = [](int64_t v) { return LONG(std::min<int64_t>(std::max<int64_t>(v, -1000000000), 1000000000)); };
        const int64_t mx = st.layout & LAYOUT_RTL ? int64_t(st.layout_width) - 1 - x : x;
        return POINT{clamp(mx), clamp(y)};
    }
    double dx, dy;
    to_device_f(st, x, y, &dx, &dy);
    return POINT{round_coord(dx), round_coord(dy)};
}

}  // namespace plat::gdi

using namespace plat::gdi;

// ---------------------------------------------------------------- single-value attributes

namespace {

// A DC attribute that is one value, set and read the same way: Set checks
// the value, keeps what it stores of it and returns the old one as shown;
// Get returns it as shown; both return `fail` for a bad DC, Set also for a
// rejected value.
template <class T>
struct Attribute {
    T DCState::*field;
    T fail;
    bool (*accepts)(T);
    T (*kept)(T);
    T (*shown)(T);
};

template <class T>
T get_attribute(HDC hdc, const Attribute<T>& a) {
    auto dc = get_dc(hdc);
    return dc ? a.shown(dc->st.*a.field) : a.fail;
}

template <class T>
T set_attribute(HDC hdc, const Attribute<T>& a, T value) {
    auto dc = get_dc(hdc);
    if (!dc || !a.accepts(value)) return a.fail;
    T old = dc->st.*a.field;
    dc->st.*a.field = a.kept(value);
    return a.shown(old);
}

bool valid_color(COLORREF c) { return (c >> 24) <= 2 || c == CLR_INVALID; }
bool any_colour(COLORREF) { return true; }
COLORREF rgb_part(COLORREF c) { return c & 0x00FFFFFF; }
// Text and background colours keep a palette index for drawing (it names
// an entry of the palette selected when drawing); they read back as RGB.
COLORREF palette_or_rgb(COLORREF c) { return (c >> 24) == 0x01 ? c : c & 0x00FFFFFF; }
template <int Lo, int Hi>
bool within(int v) {
    return v >= Lo && v <= Hi;
}
int as_given(int v) { return v; }
COLORREF colour_as_given(COLORREF c) { return c; }
UINT uint_as_given(UINT v) { return v; }
bool any_align(UINT) { return true; }
UINT align_bits(UINT a) { return a & TA_MASK; }

const Attribute<COLORREF> kTextColour{&DCState::text, CLR_INVALID, valid_color, palette_or_rgb, rgb_part};
const Attribute<COLORREF> kBkColour{&DCState::bk, CLR_INVALID, valid_color, palette_or_rgb, rgb_part};
const Attribute<COLORREF> kDCBrushColour{&DCState::dc_brush, CLR_INVALID, any_colour, rgb_part, colour_as_given};
const Attribute<COLORREF> kDCPenColour{&DCState::dc_pen, CLR_INVALID, any_colour, rgb_part, colour_as_given};
const Attribute<int> kBkMode{&DCState::bkmode, 0, within<TRANSPARENT, OPAQUE>, as_given, as_given};
const Attribute<int> kROP2{&DCState::rop2, 0, within<R2_BLACK, R2_WHITE>, as_given, as_given};
const Attribute<int> kPolyFillMode{&DCState::polyfill, 0, within<ALTERNATE, WINDING>, as_given, as_given};
const Attribute<int> kStretchBltMode{&DCState::stretch_mode, 0, within<BLACKONWHITE, HALFTONE>, as_given, as_given};
const Attribute<int> kArcDirection{&DCState::arc_dir, 0, within<AD_COUNTERCLOCKWISE, AD_CLOCKWISE>, as_given, as_given};
const Attribute<UINT> kTextAlign{&DCState::align, GDI_ERROR, any_align, align_bits, uint_as_given};

}  // namespace

COLORREF WINAPI SetTextColor(HDC hdc, COLORREF color) { return set_attribute(hdc, kTextColour, color); }
COLORREF WINAPI GetTextColor(HDC hdc) { return get_attribute(hdc, kTextColour); }
COLORREF WINAPI SetBkColor(HDC hdc, COLORREF color) { return set_attribute(hdc, kBkColour, color); }
COLORREF WINAPI GetBkColor(HDC hdc) { return get_attribute(hdc, kBkColour); }
COLORREF WINAPI SetDCBrushColor(HDC hdc, COLORREF color) { return set_attribute(hdc, kDCBrushColour, color); }
COLORREF WINAPI GetDCBrushColor(HDC hdc) { return get_attribute(hdc, kDCBrushColour); }
COLORREF WINAPI SetDCPenColor(HDC hdc, COLORREF color) { return set_attribute(hdc, kDCPenColour, color); }
COLORREF WINAPI GetDCPenColor(HDC hdc) { return get_attribute(hdc, kDCPenColour); }
int WINAPI SetBkMode(HDC hdc, int mode) { return set_attribute(hdc, kBkMode, mode); }
int WINAPI GetBkMode(HDC hdc) { return get_attribute(hdc, kBkMode); }
int WINAPI SetROP2(HDC hdc, int rop2) { return set_attribute(hdc, kROP2, rop2); }
int WINAPI GetROP2(HDC hdc) { return get_attribute(hdc, kROP2); }
int WINAPI SetPolyFillMode(HDC hdc, int mode) { return set_attribute(hdc, kPolyFillMode, mode); }
int WINAPI GetPolyFillMode(HDC hdc) { return get_attribute(hdc, kPolyFillMode); }
int WINAPI SetStretchBltMode(HDC hdc, int mode) { return set_attribute(hdc, kStretchBltMode, mode); }
int WINAPI GetStretchBltMode(HDC hdc) { return get_attribute(hdc, kStretchBltMode); }
int WINAPI SetArcDirection(HDC hdc, int dir) { return set_attribute(hdc, kArcDirection, dir); }
int WINAPI GetArcDirection(HDC hdc) { return get_attribute(hdc, kArcDirection); }
UINT WINAPI SetTextAlign(HDC hdc, UINT align) { return set_attribute(hdc, kTextAlign, align); }
UINT WINAPI GetTextAlign(HDC hdc) { return get_attribute(hdc, kTextAlign); }

// ---------------------------------------------------------------- modes, transform, positions, saved states

static bool is_identity(const XFORM& x) {
    return x.eM11 == 1 && x.eM12 == 0 && x.eM21 == 0 && x.eM22 == 1 && x.eDx == 0 && x.eDy == 0;
}

int WINAPI SetGraphicsMode(HDC hdc, int iMode) {
    auto dc = get_dc(hdc);
    if (!dc) return 0;
    DCState& st = dc->st;
    if (iMode != GM_COMPATIBLE && iMode != GM_ADVANCED) return 0;
    // Going back to the compatible mode needs the identity transform first.
    if (iMode == GM_COMPATIBLE && !is_identity(st.xf)) return 0;
    int old = st.gm;
    st.gm = iMode;
    refresh_device_xform(st);
    return old;
}
int WINAPI GetGraphicsMode(HDC hdc) {
    auto dc = get_dc(hdc);
    if (!dc) return 0;
    DCState& st = dc->st;
    return st.gm;
}

static bool valid_xform(const XFORM& x) {
    double det = double(x.eM11) * x.eM22 - double(x.eM12) * x.eM21;
    return std::isfinite(det) && det != 0 && std::isfinite(x.eDx) && std::isfinite(x.eDy);
}

BOOL WINAPI SetWorldTransform(HDC hdc, CONST XFORM* lpxf) {
    auto dc = get_dc(hdc);
    if (!dc) return FALSE;
    DCState& st = dc->st;
    if (!lpxf || st.gm != GM_ADVANCED || !valid_xform(*lpxf)) return FALSE;
    st.xf = *lpxf;
    refresh_device_xform(st);
    return TRUE;
}

BOOL WINAPI GetWorldTransform(HDC hdc, LPXFORM lpxf) {
    auto dc = get_dc(hdc);
    if (!dc) return FALSE;
    DCState& st = dc->st;
    if (!lpxf) return FALSE;
    *lpxf = st.xf;
    return TRUE;
}

BOOL WINAPI CombineTransform(LPXFORM out, CONST XFORM* a, CONST XFORM* b) {
    if (!out || !a || !b) return FALSE;
    XFORM r;
    r.eM11 = a->eM11 * b->eM11 + a->eM12 * b->eM21;
    r.eM12 = a->eM11 * b->eM12 + a->eM12 * b->eM22;
    r.eM21 = a->eM21 * b->eM11 + a->eM22 * b->eM21;
    r.eM22 = a->eM21 * b->eM12 + a->eM22 * b->eM22;
    r.eDx = a->eDx * b->eM11 + a->eDy * b->eM21 + b->eDx;
    r.eDy = a->eDx * b->eM12 + a->eDy * b->eM22 + b->eDy;
    *out = r;
    return TRUE;
}

BOOL WINAPI ModifyWorldTransform(HDC hdc, CONST XFORM* lpxf, DWORD mode) {
    auto dc = get_dc(hdc);
    if (!dc) return FALSE;
    DCState& st = dc->st;
    if (st.gm != GM_ADVANCED) return FALSE;
    XFORM r;
    switch (mode) {
        case MWT_IDENTITY: r = XFORM{1, 0, 0, 1, 0, 0}; break;
        case MWT_LEFTMULTIPLY:
            if (!lpxf) return FALSE;
            CombineTransform(&r, lpxf, &st.xf);
            break;
        case MWT_RIGHTMULTIPLY:
            if (!lpxf) return FALSE;
            CombineTransform(&r, &st.xf, lpxf);
            break;
        default: return FALSE;
    }
    if (!valid_xform(r)) return FALSE;
    st.xf = r;
    refresh_device_xform(st);
    return TRUE;
}

BOOL WINAPI SetBrushOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
    auto dc = get_dc(hdc);
    if (!dc) return FALSE;
    DCState& st = dc->st;
    if (lppt) *lppt = st.brush_org;
    st.brush_org = POINT{x, y};
    return TRUE;
}
BOOL WINAPI GetBrushOrgEx(HDC hdc, LPPOINT lppt) {
    auto dc = get_dc(hdc);
    if (!dc) return FALSE;
    DCState& st = dc->st;
    if (!lppt) return FALSE;
    *lppt = st.brush_org;
    return TRUE;
}

BOOL WINAPI MoveToEx(HDC hdc, int x, int y, LPPOINT lppt) {
    auto dc = get_dc(hdc);
    if (!dc) return FALSE;
    DCState& st = dc->st;
    if (lppt) *lppt = st.cur;
    st.cur = POINT{x, y};
    return TRUE;
}
BOOL WINAPI GetCurrentPositionEx(HDC hdc, LPPOINT lppt) {
    auto dc = get_dc(hdc);
    if (!dc) return FALSE;
    DCState& st = dc->st;
    if (!lppt) return FALSE;
    *lppt = st.cur;
    return TRUE;
}

int WINAPI SaveDC(HDC hdc) {
    auto dc = get_dc(hdc);
    if (!dc) return 0;
    DCState& st = dc->st;
    dc->saved.push_back(st);
    restore_selection_counts(*dc, nullptr, &dc->saved.back());
    return int(dc->saved.size());
}

BOOL WINAPI RestoreDC(HDC hdc, int nSavedDC) {
    auto dc = get_dc(hdc);
    if (!dc) return FALSE;
    DCState& st = dc->st;
    int n = int(dc->saved.size());
    int index = nSavedDC > 0 ? nSavedDC - 1 : n + nSavedDC;
    if (nSavedDC == 0 || index < 0 || index >= n) return FALSE;
    DCState restored = dc->saved[size_t(index)];
    // Saved states hold their objects selected; drop the later ones.
    for (int i = n - 1; i >= index; --i) restore_selection_counts(*dc, &dc->saved[size_t(i)], nullptr);
    dc->saved.resize(size_t(index));
    restore_selection_counts(*dc, &st, &restored);
    st = std::move(restored);
    return TRUE;
}

int WINAPI GetDeviceCaps(HDC hdc, int index) {
    auto dc = get_dc(hdc);
    if (!dc) return 0;
    switch (index) {
        case HORZRES:
        case VERTRES: {
            Target t(*dc);
            if (t.screen()) return index == HORZRES ? 1920 : 1080;
            return index == HORZRES ? t.width() : t.height();
        }
        case BITSPIXEL: return 32;
        case PLANES: return 1;
        case LOGPIXELSX:
        case LOGPIXELSY: return 96;
        default: return 0;
    }
}

// ---------------------------------------------------------------- batching

// Every call is carried out at once; the limit is kept only to be reported.
static std::atomic<DWORD> g_batch_limit{1};

DWORD WINAPI GdiSetBatchLimit(DWORD dw) {
    if (dw == 0) dw = 20;  // zero selects the system default
    return g_batch_limit.exchange(dw);
}
DWORD WINAPI GdiGetBatchLimit(void) { return g_batch_limit.load(); }
BOOL WINAPI GdiFlush(void) { return TRUE; }
