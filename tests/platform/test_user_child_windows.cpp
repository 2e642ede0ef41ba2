// Child windows: geometry relative to the parent, destruction order, their
// pixels in the parent, input routed to the child under the pointer or with
// the focus, disabled and owned windows, and the key state as of the last
// retrieved key message.
#include <gtest/gtest.h>
#include <SDL2/SDL_keycode.h>

#include <functional>
#include <string>

#include "user_test_util.h"
#include "window_registry.h"
#include "window_surface.h"
#include "control_test_util.h"

namespace {

using namespace ctltest;

TEST(UserChildren, GeometryIsRelativeToTheParentsClientArea) {
    HWND d = make_dialog();
    register_class();
    HWND c = CreateWindowExA(0, kClass, "", kChild, 10, 20, 50, 30, d, reinterpret_cast<HMENU>(77), nullptr,
                             nullptr);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(GetParent(c), d);
    EXPECT_EQ(GetParent(d), nullptr);
    EXPECT_EQ(GetDlgItem(d, 77), c);
    EXPECT_EQ(GetDlgItem(d, 78), nullptr);
    EXPECT_EQ(GetDlgCtrlID(c), 77);
    EXPECT_EQ(plat::backend_id_of(c), 0u);  // no window of its own on the screen
    POINT origin{0, 0};
    ClientToScreen(d, &origin);
    RECT r;
    GetWindowRect(c, &r);
    EXPECT_EQ(r.left, origin.x + 10);
    EXPECT_EQ(r.top, origin.y + 20);
    EXPECT_EQ(r.right - r.left, 50);
    POINT p{0, 0};
    ClientToScreen(c, &p);
    EXPECT_EQ(p.x, origin.x + 10);
    // Moving the parent moves the child along.
    SetWindowPos(d, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    POINT q{0, 0};
    ClientToScreen(c, &q);
    POINT o2{0, 0};
    ClientToScreen(d, &o2);
    EXPECT_EQ(q.x, o2.x + 10);
    EXPECT_EQ(q.y, o2.y + 20);

    SetLastError(0);
    EXPECT_EQ(CreateWindowExA(0, kClass, "", kChild, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_TLW_WITH_WSCHILD));
}

TEST(UserChildren, DestroyingTheParentDestroysTheChildrenInWindowsOrder) {
    HWND d = make_dialog();
    register_class();
    HWND c = CreateWindowExA(0, kClass, "", kChild, 0, 0, 5, 5, d, nullptr, nullptr, nullptr);
    {
        std::lock_guard<std::mutex> lock(log_mutex());
        log().clear();
    }
    EXPECT_TRUE(DestroyWindow(d));
    EXPECT_FALSE(IsWindow(c));
    std::vector<std::pair<HWND, UINT>> seq;
    {
        std::lock_guard<std::mutex> lock(log_mutex());
        for (auto& r : log())
            if (r.msg == WM_DESTROY || r.msg == WM_NCDESTROY) seq.emplace_back(r.hwnd, r.msg);
    }
    std::vector<std::pair<HWND, UINT>> expect{{d, WM_DESTROY}, {c, WM_DESTROY}, {c, WM_NCDESTROY}, {d, WM_NCDESTROY}};
    EXPECT_EQ(seq, expect);
}

TEST(UserChildren, ChildPixelsAppearInTheParentAtTheChildsPlace) {
    HWND d = make_dialog(40, 30);
    register_class();
    HWND c = CreateWindowExA(0, kClass, "", kChild, 5, 6, 4, 3, d, nullptr, nullptr, nullptr);
    uint64_t presents = headless::PresentCount(d);
    plat::SurfaceView v;
    ASSERT_TRUE(plat::lock_window_surface(c, &v));
    for (int i = 0; i < 12; ++i) v.pixels[i] = 0x123456;
    plat::unlock_window_surface(c);
    plat::window_surface_changed(c, RECT{0, 0, 4, 3});
    std::vector<uint32_t> px;
    int w, h;
    ASSERT_TRUE(headless::ReadClient(d, &px, &w, &h));
    EXPECT_EQ(px[size_t(6 * w + 5)], 0x123456u);
    EXPECT_EQ(px[size_t(8 * w + 8)], 0x123456u);
    EXPECT_EQ(px[size_t(9 * w + 8)], 0xF0F0F0u);  // below it: the dialog's background
    EXPECT_EQ(px[size_t(6 * w + 9)], 0xF0F0F0u);
    EXPECT_GT(headless::PresentCount(d), presents);
    // A hidden child is not shown.
    ShowWindow(c, SW_HIDE);
    ASSERT_TRUE(plat::lock_window_surface(c, &v));
    v.pixels[0] = 0x00FF00;
    plat::unlock_window_surface(c);
    plat::window_surface_changed(c, RECT{0, 0, 1, 1});
    ASSERT_TRUE(headless::ReadClient(d, &px, &w, &h));
    EXPECT_EQ(px[size_t(6 * w + 5)], 0x123456u);
}

TEST(UserChildren, MouseGoesToTheChildUnderThePointerAndKeysToTheFocus) {
    HWND d = make_dialog();
    register_class();
    HWND c = CreateWindowExA(0, kClass, "", kChild, 10, 20, 50, 30, d, nullptr, nullptr, nullptr);
    pump();
    headless::MouseDown(1, 15, 25, 1, d);
    headless::MouseDown(1, 100, 90, 1, d);
    pump();
    auto clicks = received(WM_LBUTTONDOWN);
    ASSERT_EQ(clicks.size(), 2u);
    EXPECT_EQ(clicks[0].hwnd, c);
    EXPECT_EQ(clicks[0].lp, MAKELPARAM(5, 5));  // child client coordinates
    EXPECT_EQ(clicks[1].hwnd, d);
    EXPECT_EQ(clicks[1].lp, MAKELPARAM(100, 90));

    EXPECT_EQ(SetFocus(c), d);
    pump();
    EXPECT_EQ(GetFocus(), c);
    EXPECT_EQ(GetActiveWindow(), d);
    ASSERT_FALSE(received(WM_SETFOCUS).empty());
    EXPECT_EQ(received(WM_SETFOCUS).back().hwnd, c);
    EXPECT_EQ(received(WM_KILLFOCUS).back().hwnd, d);
    headless::PressKey(SDLK_k, 0, d);
    pump();
    ASSERT_FALSE(received(WM_KEYDOWN).empty());
    EXPECT_EQ(received(WM_KEYDOWN).back().hwnd, c);
}

TEST(UserChildren, DisabledWindowsGetNoInput) {
    HWND d = make_dialog();
    pump();
    EXPECT_FALSE(EnableWindow(d, FALSE));  // was enabled
    EXPECT_FALSE(IsWindowEnabled(d));
    EXPECT_TRUE(EnableWindow(d, FALSE));  // was disabled
    headless::MouseDown(1, 5, 5, 1, d);
    headless::PressKey(SDLK_a, 0, d);
    headless::CloseBox(d);
    pump();
    EXPECT_TRUE(received(WM_LBUTTONDOWN).empty());
    EXPECT_TRUE(received(WM_KEYDOWN).empty());
    EXPECT_TRUE(received(WM_CLOSE).empty());
    EXPECT_TRUE(IsWindow(d));
    EnableWindow(d, TRUE);
    EXPECT_TRUE(IsWindowEnabled(d));
    headless::MouseDown(1, 5, 5, 1, d);
    pump();
    EXPECT_EQ(received(WM_LBUTTONDOWN).size(), 1u);
    ASSERT_FALSE(received(WM_ENABLE).empty());
    EXPECT_EQ(received(WM_ENABLE).back().wp, WPARAM(TRUE));
}


TEST(UserOwnedWindows, ADisabledOwnerPassesActivationToItsDialog) {
    register_class();
    HWND owner = make_window(200, 100);
    ShowWindow(owner, SW_SHOW);
    HWND dlg = CreateWindowExA(WS_EX_DLGMODALFRAME, kClass, "dlg", WS_POPUP | WS_CAPTION | WS_VISIBLE, 10, 10, 100,
                               60, owner, nullptr, nullptr, nullptr);
    pump();
    EXPECT_EQ(GetWindowLongPtrA(dlg, GWLP_HWNDPARENT), reinterpret_cast<LONG_PTR>(owner));
    EXPECT_EQ(GetParent(dlg), nullptr) << "owned, not a child";
    EXPECT_EQ(headless::FocusedWindow(), dlg);
    EnableWindow(owner, FALSE);
    headless::Focus(owner, true);  // the user activates the owner
    pump();
    EXPECT_EQ(headless::FocusedWindow(), dlg);
    EXPECT_EQ(GetActiveWindow(), dlg);
    headless::MouseDown(1, 5, 5, 1, owner);
    pump();
    EXPECT_TRUE(received(WM_LBUTTONDOWN).empty());
    // Without a system menu there is no close box.
    headless::CloseBox(dlg);
    pump();
    EXPECT_TRUE(received(WM_CLOSE).empty());
    EnableWindow(owner, TRUE);
    headless::Focus(owner, true);
    pump();
    EXPECT_EQ(headless::FocusedWindow(), owner);
}

TEST(UserKeyState, GetKeyStateIsTheStateAsOfTheLastRetrievedKeyMessage) {
    HWND d = make_dialog();
    pump();
    headless::KeyDown(SDL_SCANCODE_LCTRL, SDLK_LCTRL, KMOD_LCTRL, false, d);
    headless::KeyDown(SDL_SCANCODE_RETURN, SDLK_RETURN, KMOD_LCTRL, false, d);
    headless::KeyUp(SDL_SCANCODE_RETURN, SDLK_RETURN, 0, d);
    headless::KeyUp(SDL_SCANCODE_LCTRL, SDLK_LCTRL, 0, d);
    EXPECT_GE(GetAsyncKeyState(VK_CONTROL), 0) << "released by now";
    std::vector<std::pair<WPARAM, bool>> seen;  // key-downs and whether Ctrl was down then
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
        if (m.message == WM_KEYDOWN || m.message == WM_KEYUP)
            seen.emplace_back(m.wParam | (m.message == WM_KEYUP ? 0x100 : 0), GetKeyState(VK_CONTROL) < 0);
    std::vector<std::pair<WPARAM, bool>> want{
        {VK_CONTROL, true}, {VK_RETURN, true}, {VK_RETURN | 0x100, true}, {VK_CONTROL | 0x100, false}};
    EXPECT_EQ(seen, want);
    EXPECT_GE(GetKeyState(VK_LCONTROL), 0);
}

}  // namespace
