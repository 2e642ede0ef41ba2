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
#include <vector>

#include "gdi_rows.h"
#include "gdiplus/picture.h"

namespace plat::gdiplus {

namespace {

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

// An unscaled picture: copied (opaque) or blended pixel by pixel.
class UnscaledPainter : public plat::gdi::RowPainter {
public:
    explicit UnscaledPainter(const Picture& pic) : pic_(pic) {}
    bool begin(const RECT& dest, const RECT&) override {
        dest_ = dest;
        return true;
    }
    void paint(int y, int x, uint32_t* d, int n) override {
        const uint32_t* s = pic_.pixels.data() + size_t(y - dest_.top) * pic_.width + size_t(x - dest_.left);
        if (pic_.opaque) {
            for (int i = 0; i < n; ++i) d[i] = s[i] & 0xFFFFFFu;
        } else {
            for (int i = 0; i < n; ++i) d[i] = blend(s[i], d[i]);
        }
    }

private:
    const Picture& pic_;
    RECT dest_{};
};

// A scaled picture: the horizontal pass over the source rows the visible
// part reaches is made in begin, the vertical pass and the blend per row.
class ScaledPainter : public plat::gdi::RowPainter {
public:
    explicit ScaledPainter(const Picture& pic) : pic_(pic) {}
    bool begin(const RECT& r, const RECT& box) override {
        box_ = box;
        const int W = int(pic_.width), H = int(pic_.height);
        const int dw = r.right - r.left, dh = r.bottom - r.top;
        const Axis ax = make_axis(W, dw, box.left - r.left, box.right - r.left);
        ay_ = make_axis(H, dh, box.top - r.top, box.bottom - r.top);
        vw_ = box.right - box.left;
        const int rows = ay_.hi - ay_.lo + 1;
        hrow_.assign(size_t(rows) * size_t(vw_) * 4, 0.0f);
        for (int sy = ay_.lo; sy <= ay_.hi; ++sy) {
            const uint32_t* src = pic_.pixels.data() + size_t(sy) * size_t(W);
            float* o = hrow_.data() + size_t(sy - ay_.lo) * size_t(vw_) * 4;
            for (int i = 0; i < vw_; ++i, o += 4) {
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
        return true;
    }
    void paint(int y, int x0, uint32_t* dst, int n) override {
        const int H = int(pic_.height);
        const size_t j = size_t(y - box_.top);
        const float* wv = ay_.weight.data() + ay_.offset[j];
        for (int i = 0; i < n; ++i) {
            const int x = x0 + i;
            float acc[4] = {0, 0, 0, 0};
            for (int k = 0; k < ay_.count[j]; ++k) {
                const int sy = std::clamp(ay_.start[j] + k, 0, H - 1);
                const float* h = hrow_.data() + (size_t(sy - ay_.lo) * size_t(vw_) + size_t(x - box_.left)) * 4;
                for (int c = 0; c < 4; ++c) acc[c] += wv[k] * h[c];
            }
            const float keep = 1.0f - std::clamp(acc[3], 0.0f, 255.0f) / 255.0f;
            uint32_t out = 0;
            for (int c = 0; c < 3; ++c) {
                const float d = float((dst[i] >> (8 * c)) & 0xFF);
                const float v = std::clamp(acc[c] + d * keep + 0.5f, 0.0f, 255.0f);
                out |= uint32_t(v) << (8 * c);
            }
            if (!pic_.opaque) {
                // Transparency composes into the top byte, as in blend().
                const float da = float(dst[i] >> 24);
                out |= uint32_t(std::clamp(acc[3] + da * keep + 0.5f, 0.0f, 255.0f)) << 24;
            }
            dst[i] = out;
        }
    }

private:
    const Picture& pic_;
    RECT box_{};
    Axis ay_;
    int vw_ = 0;
    std::vector<float> hrow_;  // horizontal pass: rows x visible width x 4 channels
};

}  // namespace

bool draw_picture(HDC hdc, const Picture& pic, int x, int y, int w, int h) {
    // The size the rectangle has on the device decides between copying and filtering.
    class Painter : public plat::gdi::RowPainter {
    public:
        explicit Painter(const Picture& p) : pic_(p), plain_(p), filtered_(p) {}
        bool begin(const RECT& dest, const RECT& visible) override {
            if (pic_.width == 0 || pic_.height == 0) return false;  // nothing to draw
            use_plain_ = dest.right - dest.left == int(pic_.width) && dest.bottom - dest.top == int(pic_.height);
            return use_plain_ ? plain_.begin(dest, visible) : filtered_.begin(dest, visible);
        }
        void paint(int y, int x, uint32_t* px, int n) override {
            if (use_plain_) plain_.paint(y, x, px, n);
            else filtered_.paint(y, x, px, n);
        }

    private:
        const Picture& pic_;
        UnscaledPainter plain_;
        ScaledPainter filtered_;
        bool use_plain_ = false;
    } painter(pic);
    return plat::gdi::paint_rows(hdc, x, y, w, h, painter) != FALSE;
}

}  // namespace plat::gdiplus
