// shapes.cpp — closed shapes: rectangles, polygons, the ellipse family
// (ellipse, round rectangle, arc, pie, chord) and painting regions.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>

#include "gdi/draw_internal.h"

using namespace plat::gdi;

namespace {

// Ellipse-family shapes (ellipse, round rectangle, arc, pie, chord) by
// per-pixel tests inside the box.
enum class Curve { Ellipse, RoundRect, Arc, Pie, Chord };

struct CurveSpec {
    Curve kind;
    RECT box;          // right/bottom exclusive
    double cw = 0, ch = 0;  // round rectangle corner ellipse size
    double a0 = 0, a1 = 0;  // arc angles (radians, counter-clockwise on screen)
    bool full_turn = false;
};

bool in_round_shape(const CurveSpec& s, double inset, double x, double y) {
    double l = s.box.left + inset, r = s.box.right - inset, t = s.box.top + inset, b = s.box.bottom - inset;
    if (r <= l || b <= t) return false;
    double px = x + 0.5, py = y + 0.5;
    if (px < l || px > r || py < t || py > b) return false;
    if (s.kind != Curve::RoundRect) {
        double cx = (l + r) / 2, cy = (t + b) / 2, ax = (r - l) / 2, ay = (b - t) / 2;
        double ex = (px - cx) / ax, ey = (py - cy) / ay;
        return ex * ex + ey * ey <= 1.0;
    }
    double rx = std::max(0.0, s.cw / 2 - inset), ry = std::max(0.0, s.ch / 2 - inset);
    rx = std::min(rx, (r - l) / 2);
    ry = std::min(ry, (b - t) / 2);
    if (rx <= 0 || ry <= 0) return true;
    double cx = px < l + rx ? l + rx : (px > r - rx ? r - rx : px);
    double cy = py < t + ry ? t + ry : (py > b - ry ? b - ry : py);
    double ex = (px - cx) / rx, ey = (py - cy) / ry;
    return ex * ex + ey * ey <= 1.0;
}

double angle_of(const RECT& box, double x, double y) {
    double cx = (box.left + box.right) / 2.0, cy = (box.top + box.bottom) / 2.0;
    return std::atan2(-(y - cy), x - cx);
}

bool in_sector(const CurveSpec& s, double x, double y) {
    if (s.full_turn) return true;
    double a = angle_of(s.box, x + 0.5, y + 0.5);
    double span_ = std::fmod(s.a1 - s.a0 + 4 * kPi, 2 * kPi);
    double d = std::fmod(a - s.a0 + 4 * kPi, 2 * kPi);
    return d <= span_;
}

// Chord: the side of the chord line (start to end point) that the arc is on.
bool beyond_chord(const CurveSpec& s, double x, double y) {
    if (s.full_turn) return true;
    double cx = (s.box.left + s.box.right) / 2.0, cy = (s.box.top + s.box.bottom) / 2.0;
    double ax = (s.box.right - s.box.left) / 2.0, ay = (s.box.bottom - s.box.top) / 2.0;
    double sx = cx + ax * std::cos(s.a0), sy = cy - ay * std::sin(s.a0);
    double ex = cx + ax * std::cos(s.a1), ey = cy - ay * std::sin(s.a1);
    double px = x + 0.5, py = y + 0.5;
    double cross = (ex - sx) * (py - sy) - (ey - sy) * (px - sx);
    // A counter-clockwise arc (as seen on screen) bulges to the side where the
    // cross product is positive in y-down coordinates.
    return cross >= 0;
}

BOOL draw_curve(HDC hdc, CurveSpec curve, bool fill, bool radii, bool chord_line) {
    BEGIN_DRAW(hdc);
    if (curve.box.right <= curve.box.left || curve.box.bottom <= curve.box.top) return TRUE;
    const Pen* pen = st.pen.get();
    bool pen_vis = pen && pen->visible();
    int pw = pen_vis ? pen_width(st, *pen) : 0;
    // A visible pen is centred on the outline (inside it for PS_INSIDEFRAME).
    double grow = (pen_vis && pen->dash_kind() != PS_INSIDEFRAME) ? (pw - 1) / 2 : 0;
    CurveSpec outer = curve;
    outer.box = RECT{LONG(curve.box.left - grow), LONG(curve.box.top - grow), LONG(curve.box.right + grow),
                     LONG(curve.box.bottom + grow)};
    if (!pen_vis && fill) {
        // An invisible pen leaves one pixel less on the right and bottom.
        outer.box.right -= 1;
        outer.box.bottom -= 1;
    }
    Canvas cv;
    if (!cv.init(outer.box, t.clip)) return TRUE;
    for (int y = cv.y0; y < cv.y0 + cv.h; ++y)
        for (int x = cv.x0; x < cv.x0 + cv.w; ++x) {
            if (!in_round_shape(outer, 0, x, y)) continue;
            bool region = curve.kind == Curve::Pie ? in_sector(outer, x, y)
                          : curve.kind == Curve::Chord ? beyond_chord(outer, x, y)
                          : curve.kind == Curve::Arc ? in_sector(outer, x, y)
                                                    : true;
            if (!region) continue;
            bool ring = pen_vis && !in_round_shape(outer, pw, x, y);
            if (curve.kind == Curve::Arc) {
                if (ring) cv.set(x, y, 2);
            } else {
                cv.set(x, y, ring ? 2 : (fill ? 1 : 0));
            }
        }
    if (pen_vis && (radii || chord_line) && !curve.full_turn) {
        double cx = (outer.box.left + outer.box.right) / 2.0, cy = (outer.box.top + outer.box.bottom) / 2.0;
        double ax = (outer.box.right - outer.box.left) / 2.0, ay = (outer.box.bottom - outer.box.top) / 2.0;
        POINT c{LONG(std::floor(cx)), LONG(std::floor(cy))};
        POINT s{LONG(std::floor(cx + ax * std::cos(curve.a0))), LONG(std::floor(cy - ay * std::sin(curve.a0)))};
        POINT e{LONG(std::floor(cx + ax * std::cos(curve.a1))), LONG(std::floor(cy - ay * std::sin(curve.a1)))};
        auto line = [&](POINT a, POINT b) {
            if (pw <= 1) {
                bresenham(a, b, [&](int x, int y) { cv.set(x, y, 2); });
                cv.set(b.x, b.y, 2);
            } else {
                wide_segment(cv, a, b, pw, PS_ENDCAP_ROUND, 2);
            }
        };
        if (radii) {
            line(c, s);
            line(c, e);
        } else {
            line(s, e);
        }
    }
    Paint fillp = fill ? brush_paint(*dc) : Paint{};
    Paint penp = realise_pen(*dc, pen);
    cv.emit(t, fillp, penp, mix_for_rop2(st.rop2));
    return TRUE;
}

CurveSpec arc_spec(const DCState& st, Curve kind, int l, int top, int r, int b, int xs, int ys, int xe, int ye) {
    CurveSpec s;
    s.kind = kind;
    s.box = shape_box(st, l, top, r, b);
    POINT ps = to_device(st, xs, ys), pe = to_device(st, xe, ye);
    double cx = (s.box.left + s.box.right) / 2.0, cy = (s.box.top + s.box.bottom) / 2.0;
    double ax = std::max(1.0, (s.box.right - s.box.left) / 2.0), ay = std::max(1.0, (s.box.bottom - s.box.top) / 2.0);
    // Angles of the radial points, measured on the ellipse's normalised circle.
    s.a0 = std::atan2(-(ps.y - cy) / ay, (ps.x - cx) / ax);
    s.a1 = std::atan2(-(pe.y - cy) / ay, (pe.x - cx) / ax);
    s.full_turn = std::fabs(s.a0 - s.a1) < 1e-9;
    return s;
}

}  // namespace

// ---------------------------------------------------------------- rectangles

// FillRect and FrameRect: rectangles right/bottom exclusive, brush only.
int WINAPI FillRect(HDC hdc, CONST RECT* lprc, HBRUSH hbr) {
    if (!lprc) return 0;
    auto br = lookup_as<Brush>(hbr, Kind::Brush);
    if (!br) return 0;
    BEGIN_DRAW(hdc);
    RECT d = device_rect(st, lprc->left, lprc->top, lprc->right, lprc->bottom);
    if (lprc->left > lprc->right || lprc->top > lprc->bottom) return TRUE;  // inverted rectangles fill nothing
    fill_rect(t, d.left, d.top, d.right, d.bottom, realise_brush(*dc, br.get()), mix_for_rop2(R2_COPYPEN));
    return TRUE;
}

int WINAPI FrameRect(HDC hdc, CONST RECT* lprc, HBRUSH hbr) {
    if (!lprc) return 0;
    auto br = lookup_as<Brush>(hbr, Kind::Brush);
    if (!br) return 0;
    BEGIN_DRAW(hdc);
    if (lprc->left >= lprc->right || lprc->top >= lprc->bottom) return TRUE;
    RECT d = device_rect(st, lprc->left, lprc->top, lprc->right, lprc->bottom);
    Paint p = realise_brush(*dc, br.get());
    Mix m = mix_for_rop2(R2_COPYPEN);
    fill_rect(t, d.left, d.top, d.right, d.top + 1, p, m);
    if (d.bottom - 1 > d.top) fill_rect(t, d.left, d.bottom - 1, d.right, d.bottom, p, m);
    fill_rect(t, d.left, d.top + 1, d.left + 1, d.bottom - 1, p, m);
    if (d.right - 1 > d.left) fill_rect(t, d.right - 1, d.top + 1, d.right, d.bottom - 1, p, m);
    return TRUE;
}

BOOL WINAPI InvertRect(HDC hdc, CONST RECT* lprc) {
    if (!lprc) return FALSE;
    auto extent = [](LONG a, LONG b) {
        return int(std::max<int64_t>(-(1 << 30), std::min<int64_t>(1 << 30, int64_t(b) - a)));
    };
    return PatBlt(hdc, lprc->left, lprc->top, extent(lprc->left, lprc->right), extent(lprc->top, lprc->bottom),
                  DSTINVERT);
}

// Polygons: the interior by scan conversion in the DC's fill mode, then the
// closed outline with the pen, painted once per pixel through a canvas.
static BOOL poly_polygon(HDC hdc, CONST POINT* apt, CONST INT* counts, int ncontours) {
    BEGIN_DRAW(hdc);
    std::vector<std::vector<POINT>> contours;
    std::vector<std::vector<std::pair<double, double>>> fpoly;
    RECT bounds{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    size_t k = 0;
    for (int c = 0; c < ncontours; ++c) {
        if (counts[c] < 2) return FALSE;
        std::vector<POINT> pts = device_points(st, apt + k, size_t(counts[c]));
        k += size_t(counts[c]);
        std::vector<std::pair<double, double>> f;
        for (POINT p : pts) {
            f.emplace_back(p.x, p.y);
            bounds.left = std::min(bounds.left, p.x);
            bounds.top = std::min(bounds.top, p.y);
            bounds.right = std::max(bounds.right, p.x);
            bounds.bottom = std::max(bounds.bottom, p.y);
        }
        fpoly.push_back(std::move(f));
        contours.push_back(std::move(pts));
    }
    const Pen* pen = st.pen.get();
    bool pen_vis = pen && pen->visible();
    int pw = pen_vis ? pen_width(st, *pen) : 0;
    RECT area{bounds.left - pw - 1, bounds.top - pw - 1, bounds.right + pw + 2, bounds.bottom + pw + 2};
    Canvas cv;
    if (!cv.init(area, t.clip)) return TRUE;
    scan_polygon(cv, fpoly, st.polyfill == WINDING, 1);
    if (pen_vis) {
        for (auto& pts : contours) {
            size_t n = pts.size();
            for (size_t i = 0; i < n; ++i) {
                POINT a = pts[i], b = pts[(i + 1) % n];
                if (pw <= 1)
                    bresenham(a, b, [&](int x, int y) { cv.set(x, y, 2); });
                else
                    wide_segment(cv, a, b, pw, PS_ENDCAP_ROUND, 2);
            }
        }
    }
    cv.emit(t, brush_paint(*dc), realise_pen(*dc, pen), mix_for_rop2(st.rop2));
    return TRUE;
}

BOOL WINAPI Polygon(HDC hdc, CONST POINT* apt, int cpt) {
    if (!apt || cpt < 2) return FALSE;
    INT n = cpt;
    return poly_polygon(hdc, apt, &n, 1);
}

BOOL WINAPI PolyPolygon(HDC hdc, CONST POINT* apt, CONST INT* asz, int csz) {
    if (!apt || !asz || csz <= 0) return FALSE;
    return poly_polygon(hdc, apt, asz, csz);
}

// ---------------------------------------------------------------- ellipse family

BOOL WINAPI Ellipse(HDC hdc, int left, int top, int right, int bottom) {
    auto dc = get_dc(hdc);
    if (!dc) return FALSE;
    CurveSpec s;
    s.kind = Curve::Ellipse;
    s.box = shape_box(dc->st, left, top, right, bottom);
    s.full_turn = true;
    return draw_curve(hdc, s, true, false, false);
}

BOOL WINAPI RoundRect(HDC hdc, int left, int top, int right, int bottom, int width, int height) {
    auto dc = get_dc(hdc);
    if (!dc) return FALSE;
    CurveSpec s;
    s.kind = Curve::RoundRect;
    s.box = shape_box(dc->st, left, top, right, bottom);
    double sx = 1, sy = 1;
    if (dc->st.gm == GM_ADVANCED) {
        sx = std::fabs(dc->st.xf.eM11);
        sy = std::fabs(dc->st.xf.eM22);
    }
    s.cw = std::fabs(width * sx);
    s.ch = std::fabs(height * sy);
    s.full_turn = true;
    return draw_curve(hdc, s, true, false, false);
}

BOOL WINAPI Arc(HDC hdc, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    auto dc = get_dc(hdc);
    if (!dc) return FALSE;
    CurveSpec s = arc_spec(dc->st, Curve::Arc, x1, y1, x2, y2, x3, y3, x4, y4);
    return draw_curve(hdc, s, false, false, false);
}

BOOL WINAPI Pie(HDC hdc, int left, int top, int right, int bottom, int xr1, int yr1, int xr2, int yr2) {
    auto dc = get_dc(hdc);
    if (!dc) return FALSE;
    CurveSpec s = arc_spec(dc->st, Curve::Pie, left, top, right, bottom, xr1, yr1, xr2, yr2);
    return draw_curve(hdc, s, true, true, false);
}

BOOL WINAPI Chord(HDC hdc, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    auto dc = get_dc(hdc);
    if (!dc) return FALSE;
    CurveSpec s = arc_spec(dc->st, Curve::Chord, x1, y1, x2, y2, x3, y3, x4, y4);
    return draw_curve(hdc, s, true, false, true);
}

// ---------------------------------------------------------------- regions

// A region's rectangles (logical units) in device space.
static std::vector<RECT> device_region(const DCState& st, const std::vector<RECT>& rects) {
    std::vector<RECT> out;
    out.reserve(rects.size());
    for (const RECT& r : rects) out.push_back(device_rect(st, r.left, r.top, r.right, r.bottom));
    return out;
}

static BOOL paint_region(HDC hdc, HRGN hrgn, const Brush* brush, int rop2, bool invert) {
    auto rgn = lookup_as<Region>(hrgn, Kind::Region);
    if (!rgn) return FALSE;
    BEGIN_DRAW(hdc);
    std::vector<RECT> rects = device_region(st, rgn->rects);
    if (invert) {
        Paint none;
        for (const RECT& r : rects) rop_fill(t, r, none, 0x55);
        return TRUE;
    }
    Paint p = realise_brush(*dc, brush);
    Mix m = mix_for_rop2(rop2);
    for (const RECT& r : rects) fill_rect(t, r.left, r.top, r.right, r.bottom, p, m);
    return TRUE;
}

BOOL WINAPI FillRgn(HDC hdc, HRGN hrgn, HBRUSH hbr) {
    auto br = lookup_as<Brush>(hbr, Kind::Brush);
    if (!br) return FALSE;
    return paint_region(hdc, hrgn, br.get(), R2_COPYPEN, false);
}

BOOL WINAPI PaintRgn(HDC hdc, HRGN hrgn) {
    auto dc = get_dc(hdc);
    if (!dc) return FALSE;
    std::shared_ptr<Brush> br = dc->st.brush;
    return paint_region(hdc, hrgn, br.get(), dc->st.rop2, false);
}

BOOL WINAPI InvertRgn(HDC hdc, HRGN hrgn) { return paint_region(hdc, hrgn, nullptr, R2_NOT, true); }

BOOL WINAPI FrameRgn(HDC hdc, HRGN hrgn, HBRUSH hbr, int w, int h) {
    auto rgn = lookup_as<Region>(hrgn, Kind::Region);
    auto br = lookup_as<Brush>(hbr, Kind::Brush);
    if (!rgn || !br || w <= 0 || h <= 0) return FALSE;
    // The frame: the region less its part that stays inside when moved by w and h.
    std::vector<RECT> inner = rgn->rects;
    for (auto off : {POINT{w, 0}, POINT{-w, 0}, POINT{0, h}, POINT{0, -h}}) {
        std::vector<RECT> moved = rgn->rects;
        for (RECT& r : moved) {
            r.left += off.x;
            r.right += off.x;
            r.top += off.y;
            r.bottom += off.y;
        }
        inner = rgn_combine(inner, moved, RGN_AND);
    }
    std::vector<RECT> frame = rgn_combine(rgn->rects, inner, RGN_DIFF);
    HRGN tmp = CreateRectRgn(0, 0, 0, 0);
    auto tr = lookup_as<Region>(tmp, Kind::Region);
    if (!tr) return FALSE;
    tr->rects = std::move(frame);
    BOOL ok = paint_region(hdc, tmp, br.get(), R2_COPYPEN, false);
    DeleteObject(tmp);
    return ok;
}
