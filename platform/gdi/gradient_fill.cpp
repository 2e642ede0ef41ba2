// gradient_fill.cpp — GradientFill: rectangles shaded left to right or top
// to bottom, and triangles shaded between their three corners. Channels are
// interpolated from the vertices' 16-bit values. 24 and 32 bpp take the top
// eight bits (32 bpp carries the alpha channel too); 16 bpp adds a 4x4
// ordered dither below its fields; table bitmaps a 16x16 ordered dither onto
// three levels per channel, matched to the table. Rows are written through
// RowIO.
#include <algorithm>
#include <vector>

#include "gdi/draw_internal.h"
#include "gdi/row_io.h"
#include "winbase.h"

using namespace plat::gdi;

namespace {

// Ordered dither thresholds: the recursive Bayer matrix of size 2^k.
struct Bayer {
    uint8_t m4[4][4];
    uint8_t m16[16][16];
    Bayer() {
        auto build = [](int n, int x, int y) {
            int v = 0;
            // The lowest bit pair weighs most: neighbouring pixels differ most.
            for (int bit = 1; bit < n; bit *= 2) {
                int xb = (x & bit) != 0, yb = (y & bit) != 0;
                v = v * 4 + (xb ^ yb ? (yb ? 3 : 2) : (yb ? 1 : 0));
            }
            return v;
        };
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x) m4[y][x] = uint8_t(build(4, x, y));
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) m16[y][x] = uint8_t(build(16, x, y));
    }
};
const Bayer& bayer() {
    static const Bayer b;
    return b;
}

// The colour of one pixel from channel values already divided down to
// 16 bits (r, g, b, a: 0..0xFFFF), by the destination's format.
struct Shader {
    int depth;
    uint32_t colour(int64_t r, int64_t g, int64_t b, int64_t a, int x, int y) const {
        auto clamp16 = [](int64_t v) { return uint32_t(std::min<int64_t>(0xFFFF, std::max<int64_t>(0, v))); };
        uint32_t R = clamp16(r), G = clamp16(g), B = clamp16(b), A = clamp16(a);
        if (depth >= 24) return (A >> 8) << 24 | (R >> 8) << 16 | (G >> 8) << 8 | B >> 8;
        if (depth == 16) {
            uint32_t d = bayer().m4[y & 3][x & 3];
            auto five = [&](uint32_t v) {
                uint32_t f = std::min<uint32_t>(31, (v / 128 + d) / 16);
                return f << 3 | f >> 2;
            };
            // Every channel is dithered to five bits; a 5-6-5 green field
            // then keeps the top six bits of that colour, as the reference
            // stores it.
            return five(R) << 16 | five(G) << 8 | five(B);
        }
        uint32_t d = bayer().m16[y & 15][x & 15];
        auto level = [&](uint32_t v) { return std::min<uint32_t>(2, (v / 128 + d) / 256) * 127; };
        return level(R) << 16 | level(G) << 8 | level(B);
    }
};

void fill_rect_gradient(Target& t, RowIO& io, const Shader& sh, TRIVERTEX v0, TRIVERTEX v1, bool vertical) {
    // Device corners; the shading runs from the vertex with the smaller coordinate.
    RECT box{std::min(v0.x, v1.x), std::min(v0.y, v1.y), std::max(v0.x, v1.x), std::max(v0.y, v1.y)};
    if (box.left >= box.right || box.top >= box.bottom) return;
    if (vertical ? v0.y > v1.y : v0.x > v1.x) std::swap(v0, v1);
    const int64_t len = vertical ? int64_t(v1.y) - v0.y : int64_t(v1.x) - v0.x;
    auto at = [&](int64_t pos, int x, int y) {
        auto ch = [&](COLOR16 a, COLOR16 b) { return (int64_t(a) * (len - pos) + int64_t(b) * pos) / len; };
        return sh.colour(ch(v0.Red, v1.Red), ch(v0.Green, v1.Green), ch(v0.Blue, v1.Blue), ch(v0.Alpha, v1.Alpha), x, y);
    };
    // The dither repeats every `phases` pixels (none on 24 and 32 bpp): a
    // left-to-right row is made once per row phase, a top-to-bottom row
    // from one period of its colours.
    const int phases = sh.depth >= 24 ? 1 : sh.depth == 16 ? 4 : 16;
    std::vector<uint32_t> rows, row;
    for (const RECT& c : t.clip) {
        int x0 = std::max<int>(box.left, c.left), x1 = std::min<int>(box.right, c.right);
        int y0 = std::max<int>(box.top, c.top), y1 = std::min<int>(box.bottom, c.bottom);
        if (x0 >= x1 || y0 >= y1) continue;
        const size_t n = size_t(x1 - x0);
        if (!vertical) {
            rows.resize(n * size_t(phases));
            for (int k = 0; k < phases && y0 + k < y1; ++k) {
                int y = y0 + k;
                uint32_t* r = rows.data() + size_t(y % phases) * n;
                for (int x = x0; x < x1; ++x) r[x - x0] = at(x - v0.x, x, y);
            }
            for (int y = y0; y < y1; ++y) io.write(y, x0, x1 - x0, rows.data() + size_t(y % phases) * n);
            continue;
        }
        row.resize(n);
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1 && x < x0 + phases; ++x) row[size_t(x - x0)] = at(y - v0.y, x, y);
            for (size_t i = size_t(phases); i < n; ++i) row[i] = row[i - size_t(phases)];
            io.write(y, x0, x1 - x0, row.data());
        }
    }
}

void fill_triangle_gradient(Target& t, RowIO& io, const Shader& sh, const TRIVERTEX& a, const TRIVERTEX& b,
                            const TRIVERTEX& c) {
    // Weights of a pixel (x, y) from its two edge functions; det is twice the signed area.
    const int64_t det = (int64_t(a.x) - c.x) * (int64_t(b.y) - c.y) - (int64_t(b.x) - c.x) * (int64_t(a.y) - c.y);
    if (det == 0) return;
    auto at = [&](int x, int y) {
        int64_t l1 = (int64_t(b.y) - c.y) * (x - c.x) - (int64_t(b.x) - c.x) * (y - c.y);
        int64_t l2 = (int64_t(c.y) - a.y) * (x - c.x) - (int64_t(c.x) - a.x) * (y - c.y);
        int64_t l3 = det - l1 - l2;
        auto ch = [&](COLOR16 p, COLOR16 q, COLOR16 r) { return (l1 * p + l2 * q + l3 * r) / det; };
        return sh.colour(ch(a.Red, b.Red, c.Red), ch(a.Green, b.Green, c.Green), ch(a.Blue, b.Blue, c.Blue),
                         ch(a.Alpha, b.Alpha, c.Alpha), x, y);
    };
    POINT pts[3] = {{a.x, a.y}, {b.x, b.y}, {c.x, c.y}};
    int count = 3;
    RECT box = rgn_box(t.clip);
    std::vector<uint32_t> row;
    polygon_spans(pts, &count, 1, false, box, [&](int y, int x0, int x1) {
        t.for_clipped(y, x0, x1, [&](int l, int r) {
            row.resize(size_t(r - l));
            for (int x = l; x < r; ++x) row[size_t(x - l)] = at(x, y);
            io.write(y, l, r - l, row.data());
        });
    });
}

}  // namespace

BOOL WINAPI GdiGradientFill(HDC hdc, PTRIVERTEX pVertex, ULONG nVertex, PVOID pMesh, ULONG nMesh, ULONG ulMode) {
    auto dc = get_dc(hdc);
    if (!dc) return FALSE;
    if (!pVertex || !pMesh || nVertex == 0 || ulMode > GRADIENT_FILL_TRIANGLE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // Every index must name a vertex before anything is drawn.
    const ULONG per = ulMode == GRADIENT_FILL_TRIANGLE ? 3 : 2;
    const ULONG* idx = static_cast<const ULONG*>(pMesh);
    for (ULONG i = 0; i < nMesh * per; ++i)
        if (idx[i] >= nVertex) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
    Target t(*dc);
    if (!t.ok()) return t.screen() ? TRUE : FALSE;
    RowIO io(t, dc->st);
    io.match_exactly();
    const Shader sh{io.depth()};
    // Vertices in device coordinates.
    std::vector<TRIVERTEX> v(pVertex, pVertex + nVertex);
    for (TRIVERTEX& p : v) {
        POINT d = to_device(dc->st, int(std::max<LONG>(-(1 << 27), std::min<LONG>(1 << 27, p.x))),
                            int(std::max<LONG>(-(1 << 27), std::min<LONG>(1 << 27, p.y))));
        p.x = d.x;
        p.y = d.y;
    }
    for (ULONG m = 0; m < nMesh; ++m) {
        const ULONG* e = idx + m * per;
        if (per == 2) fill_rect_gradient(t, io, sh, v[e[0]], v[e[1]], ulMode == GRADIENT_FILL_RECT_V);
        else fill_triangle_gradient(t, io, sh, v[e[0]], v[e[1]], v[e[2]]);
    }
    return TRUE;
}

BOOL WINAPI GradientFill(HDC hdc, PTRIVERTEX pVertex, ULONG nVertex, PVOID pMesh, ULONG nMesh, ULONG ulMode) {
    return GdiGradientFill(hdc, pVertex, nVertex, pMesh, nMesh, ulMode);
}
