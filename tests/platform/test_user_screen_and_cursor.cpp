// The screen, the frame sizes of GetSystemMetrics, the pointer (position,
// display count, clipping), topmost windows and frames that come and go.
#include <gtest/gtest.h>

#include "user/backends/headless/headless_internal.h"
#include "user_test_util.h"
#include "window_registry.h"

namespace {

using namespace usertest;

bool same(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Each metric against what the calls it describes report, as Windows
// documents them: the frame of a caption window is the fixed frame on every
// side plus the caption above; a full-screen client area is the work area
// under a caption.
TEST(UserSystemMetrics, AgreeWithTheFramesAndTheWorkArea) {
    RECT work{};
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
    auto inset = [](DWORD style) {
        RECT r{100, 100, 200, 200};
        AdjustWindowRectEx(&r, style, FALSE, 0);
        return RECT{100 - r.left, 100 - r.top, r.right - 200, r.bottom - 200};
    };
    const RECT caption = inset(WS_CAPTION), sizing = inset(WS_CAPTION | WS_THICKFRAME), border = inset(WS_BORDER);
    struct Case {
        const char* name;
        int index;
        LONG expect;
    } cases[] = {
        {"SM_CXFIXEDFRAME", SM_CXFIXEDFRAME, caption.left},
        {"SM_CYFIXEDFRAME", SM_CYFIXEDFRAME, caption.bottom},
        {"SM_CYCAPTION", SM_CYCAPTION, caption.top - caption.bottom},
        {"SM_CXSIZEFRAME", SM_CXSIZEFRAME, sizing.left},
        {"SM_CYSIZEFRAME", SM_CYSIZEFRAME, sizing.bottom},
        {"SM_CXBORDER", SM_CXBORDER, border.left},
        {"SM_CYBORDER", SM_CYBORDER, border.top},
        {"SM_CXFULLSCREEN", SM_CXFULLSCREEN, work.right - work.left},
        {"SM_CYFULLSCREEN", SM_CYFULLSCREEN, (work.bottom - work.top) - (caption.top - caption.bottom)},
        {"SM_CXMAXIMIZED", SM_CXMAXIMIZED, (work.right - work.left) + 2 * sizing.left},
        {"SM_CYMAXIMIZED", SM_CYMAXIMIZED, (work.bottom - work.top) + 2 * sizing.bottom},
        {"SM_CXEDGE (the client edge of a control)", SM_CXEDGE, 2},
        {"an index that names nothing", 9999, 0},
        {"a negative index", -1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(GetSystemMetrics(c.index), c.expect);
    }
    // The work area lies on the screen; here there are no panels.
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), work.right - work.left);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), work.bottom - work.top);
    EXPECT_EQ(GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CXSCREEN));
    EXPECT_GT(GetSystemMetrics(SM_CYCAPTION), 0);
}

TEST(UserCursor, PositionFollowsTheMouseAndStaysInTheClipRectangle) {
    HWND w = make_window(200, 100);
    ShowWindow(w, SW_SHOW);
    POINT origin{0, 0};
    ASSERT_TRUE(ClientToScreen(w, &origin));
    headless::MouseMove(10, 20, 0, w);
    POINT p{};
    ASSERT_TRUE(GetCursorPos(&p));
    EXPECT_EQ(p.x, origin.x + 10);
    EXPECT_EQ(p.y, origin.y + 20);
    EXPECT_FALSE(GetCursorPos(nullptr));

    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    const RECT clip{100, 200, 300, 250};
    ASSERT_TRUE(ClipCursor(&clip));
    RECT got{};
    ASSERT_TRUE(GetClipCursor(&got));
    EXPECT_TRUE(same(got, clip));
    struct Case {
        const char* what;
        POINT to, expect;
    } cases[] = {
        {"inside", {150, 220}, {150, 220}},
        {"the last pixel inside", {299, 249}, {299, 249}},
        {"the right and bottom edges are outside", {300, 250}, {299, 249}},
        {"far out on the left and above", {-50, 0}, {100, 200}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(SetCursorPos(c.to.x, c.to.y));
        ASSERT_TRUE(GetCursorPos(&p));
        EXPECT_EQ(p.x, c.expect.x);
        EXPECT_EQ(p.y, c.expect.y);
        plat::headless_backend::PointerState ps = plat::headless_backend::pointer_state();
        EXPECT_EQ(ps.warped.x, c.expect.x);  // the real pointer is moved there too
        EXPECT_EQ(ps.warped.y, c.expect.y);
    }
    // The mouse seen outside the rectangle counts at its edge.
    headless::MouseMove(-5, -5, 0, w);
    ASSERT_TRUE(GetCursorPos(&p));
    EXPECT_TRUE(p.x >= clip.left && p.x < clip.right && p.y >= clip.top && p.y < clip.bottom);
    // A rectangle reaching past the screen is cut to it; none frees the pointer.
    const RECT wide{-100, -100, sw + 100, 50};
    ASSERT_TRUE(ClipCursor(&wide));
    ASSERT_TRUE(GetClipCursor(&got));
    EXPECT_TRUE(same(got, (RECT{0, 0, sw, 50})));
    ASSERT_TRUE(ClipCursor(nullptr));
    EXPECT_FALSE(plat::headless_backend::pointer_state().clipped);
    ASSERT_TRUE(GetClipCursor(&got));
    EXPECT_TRUE(same(got, (RECT{0, 0, sw, sh})));
    ASSERT_TRUE(SetCursorPos(sw + 40, -3));  // kept on the screen
    ASSERT_TRUE(GetCursorPos(&p));
    EXPECT_EQ(p.x, sw - 1);
    EXPECT_EQ(p.y, 0);
    DestroyWindow(w);
}

// The display count starts at 0; the pointer shows while it is 0 or more.
TEST(UserCursor, ShowCursorCountsAndHidesBelowZero) {
    EXPECT_EQ(ShowCursor(FALSE), -1);
    EXPECT_FALSE(plat::headless_backend::pointer_state().shown);
    EXPECT_EQ(ShowCursor(FALSE), -2);
    EXPECT_EQ(ShowCursor(TRUE), -1);
    EXPECT_FALSE(plat::headless_backend::pointer_state().shown);
    EXPECT_EQ(ShowCursor(TRUE), 0);
    EXPECT_TRUE(plat::headless_backend::pointer_state().shown);
    EXPECT_EQ(ShowCursor(TRUE), 1);
    EXPECT_EQ(ShowCursor(FALSE), 0);  // back where it started
    EXPECT_TRUE(plat::headless_backend::pointer_state().shown);
}

TEST(UserWindows, TopmostAndFrameChangesReachTheScreen) {
    HWND w = make_window(200, 100);
    const uint32_t id = plat::backend_id_of(w);
    bool topmost = true, decorated = false;
    ASSERT_TRUE(plat::headless_backend::window_frame(id, &topmost, &decorated));
    EXPECT_FALSE(topmost);
    EXPECT_TRUE(decorated);
    RECT before{};
    GetWindowRect(w, &before);

    const UINT keep = SWP_NOMOVE | SWP_NOSIZE;
    ASSERT_TRUE(SetWindowPos(w, HWND_TOPMOST, 0, 0, 0, 0, keep));
    EXPECT_TRUE(GetWindowLongPtrA(w, GWL_EXSTYLE) & WS_EX_TOPMOST);
    plat::headless_backend::window_frame(id, &topmost, &decorated);
    EXPECT_TRUE(topmost);
    ASSERT_TRUE(SetWindowPos(w, HWND_NOTOPMOST, 0, 0, 0, 0, keep | SWP_NOZORDER));  // NOZORDER: no change
    EXPECT_TRUE(GetWindowLongPtrA(w, GWL_EXSTYLE) & WS_EX_TOPMOST);
    ASSERT_TRUE(SetWindowPos(w, HWND_NOTOPMOST, 0, 0, 0, 0, keep));
    EXPECT_FALSE(GetWindowLongPtrA(w, GWL_EXSTYLE) & WS_EX_TOPMOST);
    plat::headless_backend::window_frame(id, &topmost, &decorated);
    EXPECT_FALSE(topmost);

    // Dropping the caption takes the frame off the screen at once; the
    // client area follows with SWP_FRAMECHANGED and fills the unchanged
    // window rectangle.
    LONG_PTR style = GetWindowLongPtrA(w, GWL_STYLE);
    SetWindowLongPtrA(w, GWL_STYLE, style & ~LONG_PTR(WS_CAPTION));
    plat::headless_backend::window_frame(id, &topmost, &decorated);
    EXPECT_FALSE(decorated);
    RECT rc{};
    GetClientRect(w, &rc);
    EXPECT_EQ(rc.right, 200);  // not until the frame is recomputed
    ASSERT_TRUE(SetWindowPos(w, nullptr, 0, 0, 0, 0, keep | SWP_NOZORDER | SWP_FRAMECHANGED));
    RECT after{};
    GetWindowRect(w, &after);
    EXPECT_TRUE(same(after, before));
    GetClientRect(w, &rc);
    EXPECT_EQ(rc.right, before.right - before.left);
    EXPECT_EQ(rc.bottom, before.bottom - before.top);
    POINT o{0, 0};
    ClientToScreen(w, &o);
    EXPECT_EQ(o.x, before.left);
    EXPECT_EQ(o.y, before.top);
    auto sizes = received(WM_SIZE);
    ASSERT_FALSE(sizes.empty());
    EXPECT_EQ(sizes.back().lp, MAKELPARAM(before.right - before.left, before.bottom - before.top));
    // The caption back.
    SetWindowLongPtrA(w, GWL_STYLE, style);
    plat::headless_backend::window_frame(id, &topmost, &decorated);
    EXPECT_TRUE(decorated);
    DestroyWindow(w);
}

}  // namespace
