// page_transform.cpp — the page transform (map mode, window and viewport
// origins and extents), LPtoDP/DPtoLP, and the logical-to-device matrix that
// combines it with the world transform.
#include <algorithm>
#include <cmath>

#include "gdi/gdi_internal.h"

namespace plat::gdi {

// The window-to-viewport matrix and the world transform (advanced mode
// only) combined into one single-precision matrix, the form in which the
// drawing calls map every point.
void refresh_device_xform(DCState& st) {
    const double sx = double(st.vp_ext.cx) / st.wnd_ext.cx, sy = double(st.vp_ext.cy) / st.wnd_ext.cy;
    XFORM page{float(sx), 0, 0, float(sy), float(st.vp_org.x - sx * st.wnd_org.x),
               float(st.vp_org.y - sy * st.wnd_org.y)};
    const XFORM world = st.gm == GM_ADVANCED ? st.xf : XFORM{1, 0, 0, 1, 0, 0};
    CombineTransform(&st.dev, &world, &page);
    const XFORM& d = st.dev;
    st.mapped = !(d.eM11 == 1 && d.eM12 == 0 && d.eM21 == 0 && d.eM22 == 1 && d.eDx == 0 && d.eDy == 0);
}

}  // namespace plat::gdi

using namespace plat::gdi;

namespace {

// Physical size of the device in millimetres at 96 pixels an inch.
int device_mm(HDC hdc, int res_index) { return int(std::lround(GetDeviceCaps(hdc, res_index) * 25.4 / 96)); }

// The fixed extents of the metric map modes: window in the mode's units,
// viewport in pixels with y growing upward.
void metric_extents(HDC hdc, DCState& st) {
    const int w_mm = device_mm(hdc, HORZRES), h_mm = device_mm(hdc, VERTRES);
    double per_mm = 1;
    switch (st.map_mode) {
        case MM_LOMETRIC: per_mm = 10; break;
        case MM_HIMETRIC: per_mm = 100; break;
        case MM_LOENGLISH: per_mm = 100 / 25.4; break;
        case MM_HIENGLISH: per_mm = 1000 / 25.4; break;
        case MM_TWIPS: per_mm = 1440 / 25.4; break;
        default: return;
    }
    st.wnd_ext = SIZE{LONG(std::lround(w_mm * per_mm)), LONG(std::lround(h_mm * per_mm))};
    st.vp_ext = SIZE{GetDeviceCaps(hdc, HORZRES), -GetDeviceCaps(hdc, VERTRES)};
    if (st.wnd_ext.cx == 0 || st.wnd_ext.cy == 0 || st.vp_ext.cx == 0 || st.vp_ext.cy == 0) {
        st.wnd_ext = SIZE{1, 1};
        st.vp_ext = SIZE{1, 1};
    }
}

// MM_ISOTROPIC keeps one unit the same length on both axes (pixels are
// square here): the viewport extent of the axis with the larger unit shrinks.
void fix_isotropic(DCState& st) {
    double ux = std::fabs(double(st.vp_ext.cx) / st.wnd_ext.cx), uy = std::fabs(double(st.vp_ext.cy) / st.wnd_ext.cy);
    if (ux == uy) return;
    LONG& e = ux > uy ? st.vp_ext.cx : st.vp_ext.cy;
    double v = std::max(1.0, std::floor(std::fabs(double(e)) * std::min(ux, uy) / std::max(ux, uy) + 0.5));
    e = LONG(e < 0 ? -v : v);
}

bool scalable(const DCState& st) { return st.map_mode == MM_ISOTROPIC || st.map_mode == MM_ANISOTROPIC; }

// Applies `change` to the DC's state and remakes the device matrix.
template <class F>
BOOL change_page(HDC hdc, F change) {
    auto dc = get_dc(hdc);
    if (!dc) return FALSE;
    if (!change(dc->st)) return FALSE;
    refresh_device_xform(dc->st);
    return TRUE;
}

}  // namespace

int WINAPI SetMapMode(HDC hdc, int iMode) {
    auto dc = get_dc(hdc);
    if (!dc || iMode < MM_TEXT || iMode > MM_ANISOTROPIC) return 0;
    DCState& st = dc->st;
    int old = st.map_mode;
    if (iMode == old && scalable(st)) return old;
    st.map_mode = iMode;
    if (iMode == MM_TEXT) {
        st.wnd_ext = st.vp_ext = SIZE{1, 1};
    } else if (iMode == MM_ISOTROPIC) {
        // Starts from the extents of MM_LOMETRIC.
        st.map_mode = MM_LOMETRIC;
        metric_extents(hdc, st);
        st.map_mode = iMode;
        fix_isotropic(st);
    } else if (iMode == MM_ANISOTROPIC) {
        // Keeps the extents of the mode before.
    } else {
        metric_extents(hdc, st);
    }
    refresh_device_xform(st);
    return old;
}

int WINAPI GetMapMode(HDC hdc) {
    auto dc = get_dc(hdc);
    return dc ? dc->st.map_mode : 0;
}

// Sets (or, relative, moves) the viewport or window origin, answering the old one.
static BOOL move_origin(HDC hdc, POINT DCState::*org, int x, int y, bool relative, LPPOINT lppt) {
    return change_page(hdc, [&](DCState& st) {
        POINT& o = st.*org;
        if (lppt) *lppt = o;
        o = relative ? POINT{LONG(int64_t(o.x) + x), LONG(int64_t(o.y) + y)} : POINT{x, y};
        return true;
    });
}

BOOL WINAPI SetViewportOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
    return move_origin(hdc, &DCState::vp_org, x, y, false, lppt);
}

BOOL WINAPI OffsetViewportOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
    return move_origin(hdc, &DCState::vp_org, x, y, true, lppt);
}

BOOL WINAPI GetViewportOrgEx(HDC hdc, LPPOINT lppt) {
    auto dc = get_dc(hdc);
    if (!dc || !lppt) return FALSE;
    *lppt = dc->st.vp_org;
    return TRUE;
}

BOOL WINAPI SetWindowOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
    return move_origin(hdc, &DCState::wnd_org, x, y, false, lppt);
}

BOOL WINAPI OffsetWindowOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
    return move_origin(hdc, &DCState::wnd_org, x, y, true, lppt);
}

BOOL WINAPI GetWindowOrgEx(HDC hdc, LPPOINT lppt) {
    auto dc = get_dc(hdc);
    if (!dc || !lppt) return FALSE;
    *lppt = dc->st.wnd_org;
    return TRUE;
}

// The extents change only in the two scalable map modes (elsewhere the call
// is accepted and ignored); a zero extent is refused.
BOOL WINAPI SetViewportExtEx(HDC hdc, int x, int y, LPSIZE lpsz) {
    return change_page(hdc, [&](DCState& st) {
        if (lpsz) *lpsz = st.vp_ext;
        if (!scalable(st)) return true;
        if (x == 0 || y == 0) return false;
        st.vp_ext = SIZE{x, y};
        if (st.map_mode == MM_ISOTROPIC) fix_isotropic(st);
        return true;
    });
}

BOOL WINAPI SetWindowExtEx(HDC hdc, int x, int y, LPSIZE lpsz) {
    return change_page(hdc, [&](DCState& st) {
        if (lpsz) *lpsz = st.wnd_ext;
        if (!scalable(st)) return true;
        if (x == 0 || y == 0) return false;
        st.wnd_ext = SIZE{x, y};
        if (st.map_mode == MM_ISOTROPIC) fix_isotropic(st);
        return true;
    });
}

BOOL WINAPI GetViewportExtEx(HDC hdc, LPSIZE lpsz) {
    auto dc = get_dc(hdc);
    if (!dc || !lpsz) return FALSE;
    *lpsz = dc->st.vp_ext;
    return TRUE;
}

BOOL WINAPI GetWindowExtEx(HDC hdc, LPSIZE lpsz) {
    auto dc = get_dc(hdc);
    if (!dc || !lpsz) return FALSE;
    *lpsz = dc->st.wnd_ext;
    return TRUE;
}

BOOL WINAPI LPtoDP(HDC hdc, LPPOINT lppt, int c) {
    auto dc = get_dc(hdc);
    if (!dc || (c > 0 && !lppt)) return FALSE;
    for (int i = 0; i < c; ++i) lppt[i] = to_device(dc->st, lppt[i].x, lppt[i].y);
    return TRUE;
}

// Device to logical: the inverse of the combined matrix, rounded the same way.
BOOL WINAPI DPtoLP(HDC hdc, LPPOINT lppt, int c) {
    auto dc = get_dc(hdc);
    if (!dc || (c > 0 && !lppt)) return FALSE;
    const XFORM& m = dc->st.dev;
    double det = double(m.eM11) * m.eM22 - double(m.eM12) * m.eM21;
    if (!(det != 0) || !std::isfinite(det)) return FALSE;
    for (int i = 0; i < c; ++i) {
        double x = lppt[i].x - double(m.eDx), y = lppt[i].y - double(m.eDy);
        double lx = (x * m.eM22 - y * m.eM21) / det, ly = (y * m.eM11 - x * m.eM12) / det;
        lppt[i] = POINT{LONG(std::floor(lx + 0.5)), LONG(std::floor(ly + 0.5))};
    }
    return TRUE;
}
