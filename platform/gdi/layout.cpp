// layout.cpp — SetLayout and GetLayout: a right-to-left DC mirrors its x
// axis within its surface (device x becomes width - 1 - x) for every
// drawing call; blits then mirror the source image too unless the layout
// keeps bitmaps' orientation (LAYOUT_BITMAPORIENTATIONPRESERVED, or
// NOMIRRORBITMAP in the raster operation).
#include "gdi/draw_internal.h"

using namespace plat::gdi;

namespace plat::gdi {
bool blit_keeps_orientation(const DCState& st, DWORD rop) {
    return (st.layout & LAYOUT_RTL) && ((st.layout & LAYOUT_BITMAPORIENTATIONPRESERVED) || (rop & NOMIRRORBITMAP));
}
}  // namespace plat::gdi

DWORD WINAPI SetLayout(HDC hdc, DWORD l) {
    auto dc = get_dc(hdc);
    if (!dc) return GDI_ERROR;
    const DWORD old = dc->st.layout;
    dc->st.layout = l;
    if (dc->dc_kind != DCKind::Memory) {
        Target t(*dc);  // a window's width, as its surface has it now
        dc->st.layout_width = t.width();
    } else if (dc->st.bitmap) {
        dc->st.layout_width = dc->st.bitmap->width;
    }
    return old;
}

DWORD WINAPI GetLayout(HDC hdc) {
    auto dc = get_dc(hdc);
    return dc ? dc->st.layout : GDI_ERROR;
}
