// dash.cpp — what a pen is on a DC: its dash pattern (made once when the pen
// is created), its device width and whether it draws 1-px lines or areas.
#include <algorithm>
#include <cmath>

#include "gdi/pen_internal.h"

namespace plat::gdi {

// Cosmetic patterns are in pixels; geometric ones in pen widths (scaled when
// drawn). A user style's entries are tripled for cosmetic pens and taken as
// given for geometric ones; an odd count is walked twice, on and off swapped.
std::vector<uint64_t> make_dash_units(const Pen& pen) {
    const bool geometric = pen.extended && (pen.style & PS_TYPE_MASK) == PS_GEOMETRIC;
    std::vector<uint64_t> d;
    switch (pen.dash_kind()) {
        case PS_DASH: d = geometric ? std::vector<uint64_t>{3, 1} : std::vector<uint64_t>{18, 6}; break;
        case PS_DOT: d = geometric ? std::vector<uint64_t>{1, 1} : std::vector<uint64_t>{3, 3}; break;
        case PS_DASHDOT:
            d = geometric ? std::vector<uint64_t>{3, 1, 1, 1} : std::vector<uint64_t>{9, 6, 3, 6};
            break;
        case PS_DASHDOTDOT:
            d = geometric ? std::vector<uint64_t>{3, 1, 1, 1, 1, 1} : std::vector<uint64_t>{9, 3, 3, 3, 3, 3};
            break;
        case PS_ALTERNATE: d = {1, 1}; break;
        case PS_USERSTYLE:
            for (DWORD v : pen.dashes) d.push_back(geometric ? uint64_t(v) : uint64_t(v) * 3);
            if (d.size() % 2) d.insert(d.end(), d.begin(), d.end());
            break;
        default: break;
    }
    uint64_t total = 0;
    for (uint64_t v : d) total += v;
    if (total == 0) d.clear();  // nothing but zero lengths: drawn solid
    return d;
}

// Device width of a logical pen width: the distance between the mapped
// points (0,0) and (w,0), each rounded to a pixel, at least 1.
static int mapped_width(const DCState& st, double w) {
    if (!st.mapped) return int(std::min(w, double(1 << 30)));
    const XFORM& m = st.dev;
    double x0 = std::floor(double(m.eDx) + 0.5), y0 = std::floor(double(m.eDy) + 0.5);
    double x1 = std::floor(w * m.eM11 + m.eDx + 0.5), y1 = std::floor(w * m.eM12 + m.eDy + 0.5);
    double d = std::floor(m.eM12 == 0 ? std::fabs(x1 - x0) : std::hypot(x1 - x0, y1 - y0));
    if (!(d >= 1)) return 1;
    return int(std::min(d, double(1 << 30)));
}

PenShape pen_shape(const DCState& st, const Pen& pen) {
    PenShape ps;
    if (!pen.visible()) return ps;
    ps.visible = true;
    const bool geometric = pen.extended && (pen.style & PS_TYPE_MASK) == PS_GEOMETRIC;
    if ((pen.extended && !geometric) || pen.width == 0)
        ps.width = 1;
    else
        ps.width = std::max(1, mapped_width(st, double(pen.width)));
    ps.region = geometric || ps.width > 1;
    if (pen.extended) {
        ps.cap = pen.style & PS_ENDCAP_MASK;
        ps.join = pen.style & PS_JOIN_MASK;
    }
    // A styled pen made by CreatePen draws solid once it is wider than a pixel.
    if (!pen.dash_units.empty() && (pen.extended || !ps.region)) ps.dashes = &pen.dash_units;
    ps.paint_gaps = ps.dashes && !pen.extended && st.bkmode == OPAQUE;
    ps.dash_user = pen.dash_kind() == PS_USERSTYLE;
    ps.miter_limit = st.miter_limit;
    return ps;
}

}  // namespace plat::gdi
