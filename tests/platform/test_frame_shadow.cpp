// The SDL backend's frame comparison: a reported rectangle narrowed to the
// pixels that differ from the previous report.
#include <gtest/gtest.h>

#include <vector>

#include "user/backends/sdl/frame_shadow.h"

namespace {

bool same(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(FrameShadow, NarrowsToTheDifferingPixels) {
    const int W = 300, H = 240;
    std::vector<uint32_t> px(W * H, 0xFFFFFF);
    plat::FrameShadow shadow;
    const RECT whole{0, 0, W, H}, none{0, 0, 0, 0};
    EXPECT_TRUE(same(shadow.update(px.data(), W, H, whole), whole));  // first report: everything
    EXPECT_TRUE(same(shadow.update(px.data(), W, H, whole), none));   // the same frame again: nothing
    struct Case {
        const char* what;
        std::vector<POINT> changed;
        RECT reported, expect;
    } cases[] = {
        {"last pixel of the last row", {{W - 1, H - 1}}, whole, {W - 1, H - 1, W, H}},
        {"first pixel", {{0, 0}}, whole, {0, 0, 1, 1}},
        {"two corners span the box", {{5, 7}, {200, 30}}, whole, {5, 7, 201, 31}},
        {"a change outside the reported part is not seen", {{10, 10}}, {20, 20, 40, 40}, none},
        {"reported part beyond the surface is clipped", {{W - 1, 0}}, {W - 2, -5, W + 50, 3}, {W - 1, 0, W, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (POINT p : c.changed) px[p.y * W + p.x] ^= 0x123456;
        EXPECT_TRUE(same(shadow.update(px.data(), W, H, c.reported), c.expect));
    }
    // The change left unseen above is found when its part is reported.
    EXPECT_TRUE(same(shadow.update(px.data(), W, H, whole), (RECT{10, 10, 11, 11})));
    EXPECT_TRUE(same(shadow.update(px.data(), W, H, whole), none));
    // Another size: the whole new surface.
    std::vector<uint32_t> small(10 * 4, 0xFFFFFF);
    EXPECT_TRUE(same(shadow.update(small.data(), 10, 4, whole), (RECT{0, 0, 10, 4})));
}

}  // namespace
