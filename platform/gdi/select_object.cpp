// select_object.cpp — SelectObject and GetCurrentObject: what a DC draws
// with. Selecting a brush (or a pen painted with one) realises its paint for
// the DC once, here; selecting a region sets the clip; selecting a bitmap
// into a memory DC makes it the surface, in one DC at a time.
//
// Locks: the handle table's, inside reselect (objects.cpp).
#include "gdi/draw_internal.h"

using namespace plat::gdi;

HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h) {
    auto dc = get_dc(hdc);
    auto obj = lookup(h);
    if (!dc || !obj) return nullptr;
    DCState& st = dc->st;
    std::shared_ptr<Object> before;
    switch (obj->kind) {
        case Kind::Pen:
            before = st.pen;
            st.pen = std::static_pointer_cast<Pen>(obj);
            if (st.pen->brush) realise_brush(*dc, st.pen->brush.get());
            break;
        case Kind::Brush:
            before = st.brush;
            st.brush = std::static_pointer_cast<Brush>(obj);
            realise_brush(*dc, st.brush.get());  // prepares a pattern brush's tile once, here
            break;
        case Kind::Font:
            before = st.font;
            st.font = std::static_pointer_cast<FontObj>(obj);
            break;
        case Kind::Bitmap: {
            if (dc->dc_kind != DCKind::Memory) return nullptr;
            auto bm = std::static_pointer_cast<Bitmap>(obj);
            if (bm == st.bitmap) return h;
            // A bitmap can be selected into one DC at a time (the stock
            // default bitmap into any number): checked and taken under one lock.
            if (!reselect(bm.get(), st.bitmap.get(), dc.get(), /*exclusive=*/true)) return nullptr;
            before = st.bitmap;
            st.bitmap = bm;
            st.format = pixel_format_of(bm.get());
            st.layout_width = bm->width;  // a right-to-left layout mirrors within the bitmap
            return before ? before->handle : nullptr;
        }
        case Kind::Region: {
            // Selecting a region sets the clip (a copy), returning the region kind.
            int kind = SelectClipRgn(hdc, static_cast<HRGN>(h));
            return reinterpret_cast<HGDIOBJ>(static_cast<intptr_t>(kind == ERROR ? -1 : kind));
        }
        default: return nullptr;
    }
    if (before == obj) return h;
    reselect(obj.get(), before.get(), dc.get());
    return before ? before->handle : nullptr;
}

HGDIOBJ WINAPI GetCurrentObject(HDC hdc, UINT type) {
    auto dc = get_dc(hdc);
    if (!dc) return nullptr;
    Object* o = nullptr;
    switch (type) {
        case OBJ_PEN:
        case OBJ_EXTPEN: o = dc->st.pen.get(); break;
        case OBJ_BRUSH: o = dc->st.brush.get(); break;
        case OBJ_FONT: o = dc->st.font.get(); break;
        case OBJ_BITMAP: o = dc->st.bitmap.get(); break;
        case OBJ_PAL: o = dc->st.palette.get(); break;
        default: return nullptr;
    }
    return o ? o->handle : nullptr;
}
