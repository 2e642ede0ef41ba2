// The SDL backend's frame comparison: a reported rectangle narrowed to the
// pixels that differ from the previous report.
#include <gtest/gtest.h>

#include <algorithm>
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

namespace {

// The framebuffer follows a window's resize as USER's surface does: the
// overlap keeps its pixels, the rest is black, and a report of that same
// picture afterwards shows nothing new.
TEST(FrameShadow, ResizeKeepsTheOverlapAndReportsNothingNewForTheSamePicture) {
    const int W = 6, H = 4;
    std::vector<uint32_t> px(W * H);
    for (int i = 0; i < W * H; ++i) px[i] = uint32_t(0x010101 * (i + 1));
    plat::FrameShadow fb;
    fb.reset(W, H);
    ASSERT_EQ(fb.width(), W);
    EXPECT_EQ(fb.pixels()[W * H - 1], 0u);  // black before the first report
    fb.update(px.data(), W, H, RECT{0, 0, W, H});
    struct Case {
        const char* what;
        int w, h;
    } cases[] = {{"narrower and taller", 4, 7}, {"wider and shorter", 9, 2}, {"empty", 0, 0}, {"back", W, H}};
    std::vector<uint32_t> prev = px;  // the picture before each step
    int pw = W, ph = H;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // What USER's surface holds after the same resize.
        std::vector<uint32_t> expect(size_t(c.w) * size_t(c.h), 0);
        for (int y = 0; y < std::min(c.h, ph); ++y)
            for (int x = 0; x < std::min(c.w, pw); ++x) expect[size_t(y) * c.w + x] = prev[size_t(y) * pw + x];
        fb.resize(c.w, c.h);
        ASSERT_EQ(fb.width(), c.w);
        ASSERT_EQ(fb.height(), c.h);
        prev = expect;
        pw = c.w;
        ph = c.h;
        if (c.w * c.h == 0) {
            EXPECT_EQ(fb.pixels(), nullptr);
            continue;
        }
        EXPECT_EQ(std::vector<uint32_t>(fb.pixels(), fb.pixels() + expect.size()), expect);
        EXPECT_TRUE(same(fb.update(expect.data(), c.w, c.h, RECT{0, 0, c.w, c.h}), (RECT{0, 0, 0, 0})));
    }
}

}  // namespace
