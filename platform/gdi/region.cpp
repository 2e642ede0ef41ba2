// region.cpp — regions as y-x banded rectangle lists, and the region and
// clipping calls.
#include <algorithm>
#include <cstring>

#include "gdi/draw_internal.h"
#include "gdi/ellipse_geometry.h"

namespace plat::gdi {

namespace {

using Spans = std::vector<std::pair<LONG, LONG>>;  // sorted, disjoint [x0, x1)

// The x-intervals of a banded list covering the band [y0, y1) (which never
// straddles a rectangle edge).
Spans band_spans(const std::vector<RECT>& rs, LONG y0) {
    Spans s;
    for (const RECT& r : rs)
        if (r.top <= y0 && r.bottom > y0) s.emplace_back(r.left, r.right);
    std::sort(s.begin(), s.end());
    Spans merged;
    for (auto& iv : s) {
        if (!merged.empty() && iv.first <= merged.back().second)
            merged.back().second = std::max(merged.back().second, iv.second);
        else
            merged.push_back(iv);
    }
    return merged;
}

bool inside(const Spans& s, LONG x0) {
    for (auto& iv : s)
        if (iv.first <= x0 && x0 < iv.second) return true;
    return false;
}

bool apply(int mode, bool a, bool b) {
    switch (mode) {
        case RGN_AND: return a && b;
        case RGN_OR: return a || b;
        case RGN_XOR: return a != b;
        case RGN_DIFF: return a && !b;
        default: return a;
    }
}

}  // namespace

std::vector<RECT> rgn_combine(const std::vector<RECT>& a, const std::vector<RECT>& b, int mode) {
    std::vector<LONG> ys;
    for (const RECT& r : a) ys.insert(ys.end(), {r.top, r.bottom});
    for (const RECT& r : b) ys.insert(ys.end(), {r.top, r.bottom});
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
    std::vector<RECT> out;
    Spans prev;
    size_t prev_start = 0;  // index in out of the previous band's first rect
    LONG prev_bottom = 0;
    bool have_prev = false;
    for (size_t i = 0; i + 1 < ys.size(); ++i) {
        LONG y0 = ys[i], y1 = ys[i + 1];
        Spans sa = band_spans(a, y0), sb = band_spans(b, y0);
        std::vector<LONG> xs;
        for (auto& iv : sa) xs.insert(xs.end(), {iv.first, iv.second});
        for (auto& iv : sb) xs.insert(xs.end(), {iv.first, iv.second});
        std::sort(xs.begin(), xs.end());
        xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
        Spans res;
        for (size_t j = 0; j + 1 < xs.size(); ++j) {
            if (!apply(mode, inside(sa, xs[j]), inside(sb, xs[j]))) continue;
            if (!res.empty() && res.back().second == xs[j])
                res.back().second = xs[j + 1];
            else
                res.emplace_back(xs[j], xs[j + 1]);
        }
        if (res.empty()) {
            have_prev = false;
            continue;
        }
        if (have_prev && prev_bottom == y0 && res == prev) {
            for (size_t k = prev_start; k < out.size(); ++k) out[k].bottom = y1;
        } else {
            prev_start = out.size();
            for (auto& iv : res) out.push_back(RECT{iv.first, y0, iv.second, y1});
        }
        prev = res;
        prev_bottom = y1;
        have_prev = true;
    }
    return out;
}

std::vector<RECT> rgn_from_rect(int l, int t, int r, int b) {
    if (l > r) std::swap(l, r);
    if (t > b) std::swap(t, b);
    if (l == r || t == b) return {};
    return {RECT{l, t, r, b}};
}

RECT rgn_box(const std::vector<RECT>& rects) { return rgn_box(rects.data(), rects.size()); }

RECT rgn_box(const RECT* rects, size_t n) {
    if (n == 0) return RECT{0, 0, 0, 0};
    RECT box = rects[0];
    for (size_t i = 1; i < n; ++i) {
        const RECT& r = rects[i];
        box.left = std::min(box.left, r.left);
        box.top = std::min(box.top, r.top);
        box.right = std::max(box.right, r.right);
        box.bottom = std::max(box.bottom, r.bottom);
    }
    return box;
}

int rgn_kind(const std::vector<RECT>& rects) {
    if (rects.empty()) return NULLREGION;
    return rects.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

}  // namespace plat::gdi

using namespace plat::gdi;

static std::shared_ptr<Region> get_rgn(HRGN h) { return lookup_as<Region>(h, Kind::Region); }

HRGN WINAPI CreateRectRgn(int x1, int y1, int x2, int y2) {
    auto r = std::make_shared<Region>();
    r->rects = rgn_from_rect(x1, y1, x2, y2);
    return static_cast<HRGN>(add_object(r));
}

HRGN WINAPI CreateRectRgnIndirect(CONST RECT* lprect) {
    if (!lprect) return nullptr;
    return CreateRectRgn(lprect->left, lprect->top, lprect->right, lprect->bottom);
}

// Rows of single spans (or span lists) become a banded list: a row equal
// to the one above it extends that band instead of starting a new one.
namespace {
struct RowBuilder {
    std::vector<RECT> out;
    std::vector<std::pair<LONG, LONG>> row, prev;
    LONG row_y = 0, prev_y = 0;
    size_t prev_start = 0;
    bool have_prev = false, open = false;
    void add(int y, int x0, int x1) {
        if (x0 >= x1) return;
        if (open && y != row_y) end_row();
        open = true;
        row_y = y;
        if (!row.empty() && row.back().second >= x0) row.back().second = std::max<LONG>(row.back().second, x1);
        else row.emplace_back(x0, x1);
    }
    void end_row() {
        if (!open) return;
        open = false;
        if (have_prev && prev_y == row_y && row == prev) {
            for (size_t k = prev_start; k < out.size(); ++k) out[k].bottom = row_y + 1;
        } else {
            prev_start = out.size();
            for (auto& iv : row) out.push_back(RECT{iv.first, row_y, iv.second, row_y + 1});
        }
        prev.swap(row);
        row.clear();
        prev_y = row_y + 1;
        have_prev = true;
    }
};
}  // namespace

// A round-rectangle region leaves out the box's last column and row: it is
// the rounded box (the rows a RoundRect fill has) of [x1, x2 - 1) x
// [y1, y2 - 1) with the corner ellipse limited to that box, without the
// small-size fallback. An elliptic region is the same with the corner
// ellipse as large as the box, so an 8x8 request covers 7x7 pixels.
HRGN WINAPI CreateRoundRectRgn(int x1, int y1, int x2, int y2, int w, int h) {
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    x2 = std::max(x1, x2 - 1);
    y2 = std::max(y1, y2 - 1);
    int ew = std::min(x2 - x1, std::abs(w)), eh = std::min(y2 - y1, std::abs(h));
    RoundedBox box(x1, y1, x2, y2, ew, eh);
    RowBuilder rows;
    for (int y = box.top(); y < box.bottom(); ++y) {
        int a, b;
        if (box.row(y, &a, &b)) rows.add(y, a, b);
    }
    rows.end_row();
    auto r = std::make_shared<Region>();
    r->rects = std::move(rows.out);
    return static_cast<HRGN>(add_object(r));
}

HRGN WINAPI CreateEllipticRgn(int x1, int y1, int x2, int y2) {
    return CreateRoundRectRgn(x1, y1, x2, y2, x2 - x1, y2 - y1);
}

HRGN WINAPI CreateEllipticRgnIndirect(CONST RECT* lprect) {
    if (!lprect) return nullptr;
    return CreateEllipticRgn(lprect->left, lprect->top, lprect->right, lprect->bottom);
}

// Polygon regions hold the pixels Polygon fills in the same mode.
HRGN WINAPI CreatePolyPolygonRgn(CONST POINT* pptl, CONST INT* pc, int cPoly, int iMode) {
    if (!pptl || !pc || cPoly <= 0 || (iMode != ALTERNATE && iMode != WINDING)) return nullptr;
    size_t total = 0;
    for (int i = 0; i < cPoly; ++i) {
        if (pc[i] < 0) return nullptr;
        total += size_t(pc[i]);
    }
    RowBuilder rows;
    if (total > 0) {
        RECT box{pptl[0].x, pptl[0].y, pptl[0].x, pptl[0].y};
        for (size_t i = 0; i < total; ++i) {
            box.left = std::min(box.left, pptl[i].x);
            box.top = std::min(box.top, pptl[i].y);
            box.right = std::max(box.right, pptl[i].x);
            box.bottom = std::max(box.bottom, pptl[i].y);
        }
        polygon_spans(pptl, pc, cPoly, iMode == WINDING, box, [&](int y, int x0, int x1) { rows.add(y, x0, x1); });
        rows.end_row();
    }
    auto r = std::make_shared<Region>();
    r->rects = std::move(rows.out);
    return static_cast<HRGN>(add_object(r));
}

HRGN WINAPI CreatePolygonRgn(CONST POINT* pptl, int cPoint, int iMode) {
    if (cPoint <= 0) return nullptr;
    INT n = cPoint;
    return CreatePolyPolygonRgn(pptl, &n, 1, iMode);
}

BOOL WINAPI SetRectRgn(HRGN hrgn, int left, int top, int right, int bottom) {
    auto r = get_rgn(hrgn);
    if (!r) return FALSE;
    r->rects = rgn_from_rect(left, top, right, bottom);
    return TRUE;
}

int WINAPI CombineRgn(HRGN hrgnDst, HRGN hrgnSrc1, HRGN hrgnSrc2, int iMode) {
    auto d = get_rgn(hrgnDst);
    auto a = get_rgn(hrgnSrc1);
    if (!d || !a || iMode < RGN_AND || iMode > RGN_COPY) return ERROR;
    if (iMode == RGN_COPY) {
        std::vector<RECT> copy = a->rects;
        d->rects = std::move(copy);
        return rgn_kind(d->rects);
    }
    auto b = get_rgn(hrgnSrc2);
    if (!b) return ERROR;
    std::vector<RECT> ra = a->rects, rb = b->rects;  // sources may be the destination
    d->rects = rgn_combine(ra, rb, iMode);
    return rgn_kind(d->rects);
}

int WINAPI OffsetRgn(HRGN hrgn, int x, int y) {
    auto r = get_rgn(hrgn);
    if (!r) return ERROR;
    for (RECT& rc : r->rects) {
        rc.left += x;
        rc.right += x;
        rc.top += y;
        rc.bottom += y;
    }
    return rgn_kind(r->rects);
}

int WINAPI GetRgnBox(HRGN hrgn, LPRECT lprc) {
    auto r = get_rgn(hrgn);
    if (!r || !lprc) return ERROR;
    *lprc = rgn_box(r->rects);
    return rgn_kind(r->rects);
}

BOOL WINAPI PtInRegion(HRGN hrgn, int x, int y) {
    auto r = get_rgn(hrgn);
    if (!r) return FALSE;
    for (const RECT& rc : r->rects)
        if (x >= rc.left && x < rc.right && y >= rc.top && y < rc.bottom) return TRUE;
    return FALSE;
}

BOOL WINAPI RectInRegion(HRGN hrgn, CONST RECT* lprect) {
    auto r = get_rgn(hrgn);
    if (!r || !lprect) return FALSE;
    RECT q = *lprect;
    if (q.left > q.right) std::swap(q.left, q.right);
    if (q.top > q.bottom) std::swap(q.top, q.bottom);
    for (const RECT& rc : r->rects)
        if (q.left < rc.right && q.right > rc.left && q.top < rc.bottom && q.bottom > rc.top) return TRUE;
    return FALSE;
}

BOOL WINAPI EqualRgn(HRGN hrgn1, HRGN hrgn2) {
    auto a = get_rgn(hrgn1), b = get_rgn(hrgn2);
    if (!a || !b) return ERROR;
    if (a->rects.size() != b->rects.size()) return FALSE;
    for (size_t i = 0; i < a->rects.size(); ++i)
        if (std::memcmp(&a->rects[i], &b->rects[i], sizeof(RECT)) != 0) return FALSE;
    return TRUE;
}

DWORD WINAPI GetRegionData(HRGN hrgn, DWORD nCount, LPRGNDATA lpRgnData) {
    auto r = get_rgn(hrgn);
    if (!r) return 0;
    DWORD size = DWORD(sizeof(RGNDATAHEADER) + r->rects.size() * sizeof(RECT));
    if (!lpRgnData) return size;
    if (nCount < size) return 0;
    lpRgnData->rdh.dwSize = sizeof(RGNDATAHEADER);
    lpRgnData->rdh.iType = 1;  // RDH_RECTANGLES
    lpRgnData->rdh.nCount = DWORD(r->rects.size());
    lpRgnData->rdh.nRgnSize = DWORD(r->rects.size() * sizeof(RECT));
    lpRgnData->rdh.rcBound = rgn_box(r->rects);
    if (!r->rects.empty()) std::memcpy(lpRgnData->Buffer, r->rects.data(), r->rects.size() * sizeof(RECT));
    return size;
}

// ---------------------------------------------------------------- clipping

int WINAPI ExtSelectClipRgn(HDC hdc, HRGN hrgn, int mode) {
    auto dc = get_dc(hdc);
    if (!dc) return ERROR;
    DCState& st = dc->st;
    if (!hrgn) {
        if (mode != RGN_COPY) return ERROR;
        st.has_clip = false;
        st.clip.clear();
        return SIMPLEREGION;
    }
    auto r = get_rgn(hrgn);
    if (!r || mode < RGN_AND || mode > RGN_COPY) return ERROR;
    std::vector<RECT> src = r->rects;
    if (mode == RGN_COPY) {
        st.clip = std::move(src);
    } else {
        // Combining with "no clip" means combining with the whole surface.
        std::vector<RECT> cur = st.clip;
        if (!st.has_clip) cur = {RECT{-(1 << 27), -(1 << 27), 1 << 27, 1 << 27}};
        st.clip = rgn_combine(cur, src, mode);
    }
    st.has_clip = true;
    return rgn_kind(st.clip);
}

int WINAPI SelectClipRgn(HDC hdc, HRGN hrgn) { return ExtSelectClipRgn(hdc, hrgn, RGN_COPY); }

int WINAPI GetClipRgn(HDC hdc, HRGN hrgn) {
    auto dc = get_dc(hdc);
    auto r = get_rgn(hrgn);
    if (!dc || !r) return -1;
    if (!dc->st.has_clip) return 0;
    r->rects = dc->st.clip;
    return 1;
}

int WINAPI IntersectClipRect(HDC hdc, int left, int top, int right, int bottom) {
    auto dc = get_dc(hdc);
    if (!dc) return ERROR;
    POINT a = to_device(dc->st, left, top), b = to_device(dc->st, right, bottom);
    std::vector<RECT> r = rgn_from_rect(a.x, a.y, b.x, b.y);
    std::vector<RECT> cur = dc->st.has_clip ? dc->st.clip : std::vector<RECT>{RECT{-(1 << 27), -(1 << 27), 1 << 27, 1 << 27}};
    dc->st.clip = rgn_combine(cur, r, RGN_AND);
    dc->st.has_clip = true;
    return rgn_kind(dc->st.clip);
}

int WINAPI ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom) {
    auto dc = get_dc(hdc);
    if (!dc) return ERROR;
    POINT a = to_device(dc->st, left, top), b = to_device(dc->st, right, bottom);
    std::vector<RECT> r = rgn_from_rect(a.x, a.y, b.x, b.y);
    std::vector<RECT> cur = dc->st.has_clip ? dc->st.clip : std::vector<RECT>{RECT{-(1 << 27), -(1 << 27), 1 << 27, 1 << 27}};
    dc->st.clip = rgn_combine(cur, r, RGN_DIFF);
    dc->st.has_clip = true;
    return rgn_kind(dc->st.clip);
}

int WINAPI GetClipBox(HDC hdc, LPRECT lprect) {
    auto dc = get_dc(hdc);
    if (!dc || !lprect) return ERROR;
    Target t(*dc);
    if (t.clip.empty()) {
        *lprect = RECT{0, 0, 0, 0};
        return NULLREGION;
    }
    RECT box = rgn_box(t.clip);
    // In logical coordinates: undo the translation and scale of the transform.
    const XFORM& x = dc->st.dev;
    if (dc->st.mapped && x.eM11 != 0 && x.eM22 != 0 && x.eM12 == 0 && x.eM21 == 0) {
        double l = (box.left - x.eDx) / x.eM11, r = (box.right - x.eDx) / x.eM11;
        double tt = (box.top - x.eDy) / x.eM22, b = (box.bottom - x.eDy) / x.eM22;
        box = RECT{LONG(std::min(l, r)), LONG(std::min(tt, b)), LONG(std::max(l, r)), LONG(std::max(tt, b))};
    }
    *lprect = box;
    return rgn_kind(t.clip);
}
