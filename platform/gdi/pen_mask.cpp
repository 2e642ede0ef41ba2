// pen_mask.cpp — the pixel set a region pen's outline is built in: one byte
// per pixel of a box cut to the clip, plus the touched extent of each row.
//
// The bytes live in a per-thread scratch buffer that is cleared only where a
// stroke touched it, so a thin stroke across a large box costs its own
// pixels. A mask made while another one holds the scratch gets its own.
#include <algorithm>
#include <cstring>

#include "gdi/pen_internal.h"

namespace plat::gdi {

namespace {

struct Scratch {
    std::vector<uint8_t> bytes;  // all zero outside a mask's lifetime
    std::vector<int> extents;
    bool busy = false;
};

thread_local Scratch g_scratch;

constexpr size_t kKeepScratch = size_t(64) << 20;  // larger buffers are released after use

}  // namespace

bool PenMask::init(const RECT& bounds, const ClipList& clip) {
    RECT box = rgn_box(clip);
    int x0 = std::max(bounds.left, box.left), y0 = std::max(bounds.top, box.top);
    int x1 = std::min(bounds.right, box.right), y1 = std::min(bounds.bottom, box.bottom);
    if (x0 >= x1 || y0 >= y1) return false;
    x0_ = x0;
    y0_ = y0;
    w_ = x1 - x0;
    h_ = y1 - y0;
    size_t n = size_t(w_) * size_t(h_);
    if (!g_scratch.busy) {
        g_scratch.busy = owns_scratch_ = true;
        if (g_scratch.bytes.size() < n) g_scratch.bytes.resize(n, 0);
        g_scratch.extents.resize(size_t(h_) * 3);
        m_ = g_scratch.bytes.data();
        lo_ = g_scratch.extents.data();
    } else {
        own_m_.assign(n, 0);
        own_lohi_.resize(size_t(h_) * 3);
        m_ = own_m_.data();
        lo_ = own_lohi_.data();
    }
    hi_ = lo_ + h_;
    split_ = hi_ + h_;
    full_rows_ = 0;
    for (int j = 0; j < h_; ++j) {
        lo_[j] = w_;
        hi_[j] = 0;
        split_[j] = 0;
    }
    return true;
}

PenMask::~PenMask() {
    if (!owns_scratch_) return;
    for (int j = 0; j < h_; ++j)
        if (split_[j]) std::memset(m_ + size_t(j) * size_t(w_) + lo_[j], 0, size_t(hi_[j] - lo_[j]));
    if (g_scratch.bytes.size() > kKeepScratch) std::vector<uint8_t>().swap(g_scratch.bytes);
    g_scratch.busy = false;
}

void PenMask::add(int64_t y, int64_t xa, int64_t xb) {
    int64_t j = y - y0_;
    if (j < 0 || j >= h_) return;
    int64_t a = std::max<int64_t>(xa - x0_, 0), b = std::min<int64_t>(xb - x0_, w_);
    if (a >= b) return;
    int& lo = lo_[j];
    int& hi = hi_[j];
    uint8_t* row = m_ + size_t(j) * size_t(w_);
    if (!split_[j]) {
        // A row stays one run [lo, hi) without bytes while the runs added
        // to it meet or overlap; its bytes are written once it splits.
        if (lo >= hi) {
            lo = int(a);
            hi = int(b);
            full_rows_ += lo == 0 && hi == w_;
            return;
        }
        if (a <= hi && b >= lo) {
            bool was_full = lo == 0 && hi == w_;
            lo = std::min(lo, int(a));
            hi = std::max(hi, int(b));
            full_rows_ += !was_full && lo == 0 && hi == w_;
            return;
        }
        split_[j] = 1;
        std::memset(row + lo, 1, size_t(hi - lo));
    }
    std::memset(row + a, 1, size_t(b - a));
    if (a < lo) lo = int(a);
    if (b > hi) hi = int(b);
}

bool PenMask::test(int x, int y) const {
    int j = y - y0_, i = x - x0_;
    if (j < 0 || j >= h_ || i < lo_[j] || i >= hi_[j]) return false;
    return !split_[j] || m_[size_t(j) * size_t(w_) + size_t(i)] != 0;
}

void PenMask::paint(Target& t, const Paint& p, const Mix& mix) const {
    if (p.type == Paint::Type::None) return;
    if (t.clip.size() == 1) {
        // The box lies inside the only clip rectangle: spans go straight to the surface.
        int l = w_, r = 0, tp = -1, b = -1;
        for (int j = 0; j < h_; ++j)
            if (lo_[j] < hi_[j]) {
                l = std::min(l, lo_[j]);
                r = std::max(r, hi_[j]);
                if (tp < 0) tp = j;
                b = j + 1;
            }
        if (tp < 0) return;
        t.touch(x0_ + l, y0_ + tp, x0_ + r, y0_ + b);
        if (p.type == Paint::Type::Solid && !t.direct()) {
            const uint32_t a = mix.and_for(p.color), x = mix.xor_for(p.color);
            for_each_run([&](int y, int xa, int xb) { t.mix_span(y, xa, xb - xa, a, x); });
            return;
        }
        if (p.type == Paint::Type::Solid) {
            const uint32_t a = mix.and_for(p.color), x = mix.xor_for(p.color);
            if (a == 0) {
                for_each_run([&](int y, int xa, int xb) {
                    if (xb - xa > 32) {
                        span(t, y, xa, xb, p, mix);
                        return;
                    }
                    uint32_t* d = t.surf.row(y);
                    for (int i = xa; i < xb; ++i) d[i] = x;
                });
            } else {
                for_each_run([&](int y, int xa, int xb) {
                    uint32_t* d = t.surf.row(y);
                    for (int i = xa; i < xb; ++i) d[i] = (d[i] & a) ^ x;
                });
            }
            return;
        }
        for_each_run([&](int y, int xa, int xb) { span(t, y, xa, xb, p, mix); });
        return;
    }
    for_each_run([&](int y, int xa, int xb) { fill_span(t, y, xa, xb, p, mix); });
}

}  // namespace plat::gdi
