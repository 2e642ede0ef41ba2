// draw_picture.cpp — a picture drawn scaled into a rectangle of a DC.
//
// Unscaled drawing copies (opaque pictures) or blends pixel by pixel. Scaled
// drawing is separable tent filtering on premultiplied colour: a tent one
// source pixel wide on each side when enlarging (bilinear), as wide as the
// reduction when reducing (so every source pixel counts and nothing
// shimmers); source positions beyond the edge repeat the edge pixel. The
// result is blended over the destination (source-over), within the DC's
// clip. An opaque picture is written with top byte 0; one with transparency
// composes its alpha into the top byte (premultiplied colour over a cleared
// image, what AlphaBlend with per-pixel alpha expects).
#include <algorithm>
#include <cmath>

#include "gdi/draw_internal.h"
#include "gdiplus/picture.h"

namespace plat::gdiplus {

namespace {

using plat::gdi::Target;

// Filter taps of one axis for output positions [first, last).
struct Axis {
    std::vector<int> start, count;
    std::vector<size_t> offset;
    std::vector<float> weight;
    int lo = 0, hi = 0;  // source range the taps reach, inclusive
};

Axis make_axis(int src, int dst, int first, int last) {
    Axis a;
    const double scale = double(src) / dst;
    const double radius = std::max(1.0, scale);
    a.lo = src - 1;
    a.hi = 0;
    for (int i = first; i < last; ++i) {
        const double c = (i + 0.5) * scale - 0.5;
        const int k0 = int(std::floor(c - radius)) + 1, k1 = int(std::ceil(c + radius)) - 1;
        a.start.push_back(k0);
        a.offset.push_back(a.weight.size());
        double sum = 0;
        for (int k = k0; k <= k1; ++k) sum += std::max(0.0, 1.0 - std::fabs(k - c) / radius);
        for (int k = k0; k <= k1; ++k)
            a.weight.push_back(float(std::max(0.0, 1.0 - std::fabs(k - c) / radius) / (sum > 0 ? sum : 1)));
        a.count.push_back(k1 - k0 + 1);
        a.lo = std::min(a.lo, std::clamp(k0, 0, src - 1));
        a.hi = std::max(a.hi, std::clamp(k1, 0, src - 1));
    }
    return a;
}

// A pixel of a picture with transparency over the destination: colours
// blended by the pixel's alpha, and the alpha composed into the top byte
// (a + da·(255 − a) / 255), so a picture loaded onto a cleared image keeps
// its alpha there with the colours premultiplied, as AlphaBlend reads them.
inline uint32_t blend(uint32_t s, uint32_t d) {
    const uint32_t a = s >> 24;
    if (a == 255) return s;
    if (a == 0) return d;
    uint32_t out = (a + ((d >> 24) * (255 - a) + 127) / 255) << 24;
    for (int sh = 0; sh <= 16; sh += 8) {
        const uint32_t c = (((s >> sh) & 0xFF) * a + ((d >> sh) & 0xFF) * (255 - a) + 127) / 255;
        out |= c << sh;
    }
    return out;
}

void draw_unscaled(Target& t, const Picture& pic, const RECT& r) {
    for (int y = std::max<int>(r.top, 0); y < std::min<int>(r.bottom, t.surf.height); ++y) {
        const uint32_t* src = pic.pixels.data() + size_t(y - r.top) * pic.width;
        uint32_t* dst = t.surf.row(y);
        t.for_clipped(y, r.left, r.right, [&](int a, int b) {
            const uint32_t* s = src + (a - r.left);
            uint32_t* d = dst + a;
            const int n = b - a;
            if (pic.opaque) {
                for (int i = 0; i < n; ++i) d[i] = s[i] & 0xFFFFFFu;
            } else {
                for (int i = 0; i < n; ++i) d[i] = blend(s[i], d[i]);
            }
        });
    }
}

void draw_scaled(Target& t, const Picture& pic, const RECT& r) {
    // The part of the rectangle that can be seen.
    RECT box{r.right, r.bottom, r.left, r.top};
    for (const RECT& c : t.clip) {
        box.left = std::min(box.left, std::max(c.left, r.left));
        box.top = std::min(box.top, std::max(c.top, r.top));
        box.right = std::max(box.right, std::min(c.right, r.right));
        box.bottom = std::max(box.bottom, std::min(c.bottom, r.bottom));
    }
    if (box.left >= box.right || box.top >= box.bottom) return;
    const int W = int(pic.width), H = int(pic.height);
    const int dw = r.right - r.left, dh = r.bottom - r.top;
    const Axis ax = make_axis(W, dw, box.left - r.left, box.right - r.left);
    const Axis ay = make_axis(H, dh, box.top - r.top, box.bottom - r.top);
    const int vw = box.right - box.left;
    // Horizontal pass over the source rows the vertical taps reach.
    const int rows = ay.hi - ay.lo + 1;
    std::vector<float> hrow(size_t(rows) * size_t(vw) * 4);
    for (int sy = ay.lo; sy <= ay.hi; ++sy) {
        const uint32_t* src = pic.pixels.data() + size_t(sy) * size_t(W);
        float* o = hrow.data() + size_t(sy - ay.lo) * size_t(vw) * 4;
        for (int i = 0; i < vw; ++i, o += 4) {
            float acc[4] = {0, 0, 0, 0};
            const float* w = ax.weight.data() + ax.offset[size_t(i)];
            for (int k = 0; k < ax.count[size_t(i)]; ++k) {
                const uint32_t p = src[std::clamp(ax.start[size_t(i)] + k, 0, W - 1)];
                const float alpha = float(p >> 24), f = w[k] * alpha * (1.0f / 255.0f);
                acc[0] += f * float(p & 0xFF);
                acc[1] += f * float((p >> 8) & 0xFF);
                acc[2] += f * float((p >> 16) & 0xFF);
                acc[3] += w[k] * alpha;
            }
            std::copy(acc, acc + 4, o);
        }
    }
    for (int y = box.top; y < box.bottom; ++y) {
        const size_t j = size_t(y - box.top);
        const float* wv = ay.weight.data() + ay.offset[j];
        uint32_t* dst = t.surf.row(y);
        t.for_clipped(y, box.left, box.right, [&](int a, int b) {
            for (int x = a; x < b; ++x) {
                float acc[4] = {0, 0, 0, 0};
                for (int k = 0; k < ay.count[j]; ++k) {
                    const int sy = std::clamp(ay.start[j] + k, 0, H - 1);
                    const float* h = hrow.data() + (size_t(sy - ay.lo) * size_t(vw) + size_t(x - box.left)) * 4;
                    for (int c = 0; c < 4; ++c) acc[c] += wv[k] * h[c];
                }
                const float keep = 1.0f - std::clamp(acc[3], 0.0f, 255.0f) / 255.0f;
                uint32_t out = 0;
                for (int c = 0; c < 3; ++c) {
                    const float d = float((dst[x] >> (8 * c)) & 0xFF);
                    const float v = std::clamp(acc[c] + d * keep + 0.5f, 0.0f, 255.0f);
                    out |= uint32_t(v) << (8 * c);
                }
                if (!pic.opaque) {
                    // Transparency composes into the top byte, as in blend().
                    const float da = float(dst[x] >> 24);
                    out |= uint32_t(std::clamp(acc[3] + da * keep + 0.5f, 0.0f, 255.0f)) << 24;
                }
                dst[x] = out;
            }
        });
    }
}

}  // namespace

bool draw_picture(HDC hdc, const Picture& pic, int x, int y, int w, int h) {
    auto dc = plat::gdi::get_dc(hdc);
    if (!dc) return false;
    Target t(*dc);
    if (!t.ok()) return t.screen();
    if (w <= 0 || h <= 0 || pic.width == 0 || pic.height == 0) return true;  // nothing to draw
    const RECT r = plat::gdi::device_rect(dc->st, x, y, plat::gdi::clamp_sum(x, w), plat::gdi::clamp_sum(y, h));
    if (r.right <= r.left || r.bottom <= r.top) return true;
    if (r.right - r.left == int(pic.width) && r.bottom - r.top == int(pic.height)) draw_unscaled(t, pic, r);
    else draw_scaled(t, pic, r);
    return true;
}

}  // namespace plat::gdiplus
