// frame_shadow.cpp — a window's framebuffer: narrowing a changed rectangle to
// the pixels that differ, and keeping the pixels across a resize.
#include "user/backends/sdl/frame_shadow.h"

#include <algorithm>
#include <cstring>

namespace plat {

RECT FrameShadow::update(const uint32_t* pixels, int width, int height, RECT r) {
    const RECT none{0, 0, 0, 0};
    if (!pixels || width <= 0 || height <= 0) return none;
    if (width != width_ || height != height_ || copy_.empty()) {
        width_ = width;
        height_ = height;
        copy_.assign(pixels, pixels + size_t(width) * size_t(height));
        return RECT{0, 0, width, height};
    }
    r.left = std::max<LONG>(r.left, 0);
    r.top = std::max<LONG>(r.top, 0);
    r.right = std::min<LONG>(r.right, width);
    r.bottom = std::min<LONG>(r.bottom, height);
    if (r.left >= r.right || r.top >= r.bottom) return none;
    RECT out{r.right, r.bottom, r.left, r.top};  // empty until a difference is found
    const size_t row_bytes = size_t(r.right - r.left) * 4;
    for (LONG y = r.top; y < r.bottom; ++y) {
        const uint32_t* src = pixels + size_t(y) * size_t(width);
        uint32_t* dst = copy_.data() + size_t(y) * size_t(width);
        if (std::memcmp(src + r.left, dst + r.left, row_bytes) == 0) continue;
        LONG first = r.left, last = r.right - 1;
        while (src[first] == dst[first]) ++first;
        while (src[last] == dst[last]) --last;
        out.left = std::min(out.left, first);
        out.right = std::max(out.right, last + 1);
        out.top = std::min(out.top, y);
        out.bottom = y + 1;
        std::memcpy(dst + first, src + first, size_t(last + 1 - first) * 4);
    }
    if (out.left >= out.right) return none;
    return out;
}

void FrameShadow::reset(int width, int height) {
    width_ = width > 0 ? width : 0;
    height_ = height > 0 ? height : 0;
    copy_.assign(size_t(width_) * size_t(height_), 0);
}

void FrameShadow::resize(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == width_ && height == height_) return;
    std::vector<uint32_t> copy(size_t(width) * size_t(height), 0);
    const int cw = std::min(width, width_), ch = copy_.empty() ? 0 : std::min(height, height_);
    for (int y = 0; y < ch && cw > 0; ++y)
        std::memcpy(copy.data() + size_t(y) * size_t(width), copy_.data() + size_t(y) * size_t(width_),
                    size_t(cw) * 4);
    copy_.swap(copy);
    width_ = width;
    height_ = height;
}

}  // namespace plat
