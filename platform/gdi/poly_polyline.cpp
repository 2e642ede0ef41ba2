// poly_polyline.cpp — PolyPolyline: several open polylines drawn with the
// selected pen in one call, each stroked on its own (joins and dashes start
// afresh at each), the current position untouched.
#include "gdi/pen_internal.h"

using namespace plat::gdi;

// Every polyline needs two points or more; nothing is drawn otherwise.
// No polylines at all is a call that succeeds.
BOOL WINAPI PolyPolyline(HDC hdc, CONST POINT* apt, CONST DWORD* asz, DWORD csz) {
    if (csz > 0 && (!apt || !asz)) return FALSE;
    uint64_t total = 0;
    for (DWORD i = 0; i < csz; ++i) {
        if (asz[i] < 2) return FALSE;
        total += asz[i];
    }
    if (total > 0x7FFFFFFFu) return FALSE;
    DrawCall call(hdc);
    if (!call.ready()) return call.result();
    const std::shared_ptr<DC>& dc = call.dc();
    Target& t = call.target();
    const POINT* p = apt;
    for (DWORD i = 0; i < csz; ++i) {
        stroke_polyline(t, *dc, device_points(dc->st, p, size_t(asz[i])), false);
        p += asz[i];
    }
    return TRUE;
}
