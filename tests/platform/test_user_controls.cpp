// Child windows, input routing inside a window, disabled windows and the
// built-in Static / Edit / Button controls.
#include <gtest/gtest.h>
#include <SDL2/SDL_keycode.h>

#include "user_test_util.h"
#include "window_registry.h"
#include "window_surface.h"

namespace {

using namespace usertest;

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

void pump() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

HWND make_dialog(int w = 200, int h = 100) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = RecordingProc;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "TestDialog";
    RegisterClassExA(&wc);
    RECT r{0, 0, w, h};
    AdjustWindowRectEx(&r, WS_POPUP | WS_CAPTION, FALSE, WS_EX_DLGMODALFRAME);
    HWND d = CreateWindowExA(WS_EX_DLGMODALFRAME, "TestDialog", "dlg", WS_POPUP | WS_CAPTION, 300, 200,
                             r.right - r.left, r.bottom - r.top, nullptr, nullptr, nullptr, nullptr);
    ShowWindow(d, SW_SHOW);
    return d;
}

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

TEST(UserControls, EditTakesTypingWithinItsLimitAndReplacesTheSelection) {
    HWND d = make_dialog();
    HWND e = CreateWindowExA(WS_EX_CLIENTEDGE, "Edit", "abc", kChild | WS_TABSTOP | ES_AUTOHSCROLL, 9, 20, 150, 20,
                             d, reinterpret_cast<HMENU>(1028), nullptr, nullptr);
    ASSERT_NE(e, nullptr);
    SendMessageA(e, EM_LIMITTEXT, 5, 0);
    SendMessageA(e, EM_SETSEL, 0, -1);
    DWORD a = 9, b = 9;
    SendMessageA(e, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
    EXPECT_EQ(a, 0u);
    EXPECT_EQ(b, 3u);
    SetFocus(e);
    pump();
    headless::TypeString("xy", d);
    pump();
    char buf[32];
    GetWindowTextA(e, buf, sizeof buf);
    EXPECT_STREQ(buf, "xy");  // the selected default text was replaced
    headless::TypeString("1234", d);
    pump();
    GetWindowTextA(e, buf, sizeof buf);
    EXPECT_STREQ(buf, "xy123");  // five bytes at most
    headless::TypeString("\b\b", d);
    headless::TypeString(u8"\u4e2d", d);  // two bytes: fits again
    pump();
    GetWindowTextA(e, buf, sizeof buf);
    EXPECT_STREQ(buf, "xy1\xD6\xD0");
    headless::TypeString(u8"\b", d);  // removes the whole character
    pump();
    GetWindowTextA(e, buf, sizeof buf);
    EXPECT_STREQ(buf, "xy1");
    headless::PressKey(SDLK_HOME, 0, d);
    headless::PressKey(SDLK_DELETE, 0, d);
    headless::TypeString("\n", d);  // single-line: Enter adds nothing
    pump();
    GetWindowTextA(e, buf, sizeof buf);
    EXPECT_STREQ(buf, "y1");
    EXPECT_EQ(SendMessageA(e, EM_GETLIMITTEXT, 0, 0), 5);
}

TEST(UserControls, MultilineEditBreaksLinesOnEnter) {
    HWND d = make_dialog();
    HWND e = CreateWindowExA(0, "EDIT", "", kChild | ES_MULTILINE, 0, 0, 150, 60, d, nullptr, nullptr, nullptr);
    SetFocus(e);
    headless::TypeString("a\nb", d);
    pump();
    char buf[16];
    GetWindowTextA(e, buf, sizeof buf);
    EXPECT_STREQ(buf, "a\r\nb");
}

TEST(UserControls, ButtonClickNotifiesTheParent) {
    HWND d = make_dialog();
    HWND ok = CreateWindowExA(0, "Button", "OK", kChild | WS_TABSTOP | BS_DEFPUSHBUTTON, 100, 10, 60, 21, d,
                              reinterpret_cast<HMENU>(IDOK), nullptr, nullptr);
    ASSERT_NE(ok, nullptr);
    pump();
    headless::MouseDown(1, 110, 15, 1, d);
    headless::MouseUp(1, 110, 15, d);
    pump();
    auto cmds = received(WM_COMMAND);
    ASSERT_EQ(cmds.size(), 1u);
    EXPECT_EQ(cmds[0].hwnd, d);
    EXPECT_EQ(LOWORD(cmds[0].wp), IDOK);
    EXPECT_EQ(HIWORD(cmds[0].wp), BN_CLICKED);
    EXPECT_EQ(cmds[0].lp, reinterpret_cast<LPARAM>(ok));
    // Released elsewhere: no click (the button captured the mouse meanwhile).
    headless::MouseDown(1, 110, 15, 1, d);
    headless::MouseUp(1, 10, 90, d);
    pump();
    EXPECT_EQ(received(WM_COMMAND).size(), 1u);
    SendMessageA(ok, BM_CLICK, 0, 0);
    EXPECT_EQ(received(WM_COMMAND).size(), 2u);
}

TEST(UserControls, ControlsPaintTheirFaceIntoTheDialog) {
    HWND d = make_dialog(200, 100);
    HWND e = CreateWindowExA(WS_EX_CLIENTEDGE, "Edit", "", kChild, 10, 10, 100, 24, d, nullptr, nullptr, nullptr);
    HWND s = CreateWindowExA(0, "Static", "Name:", kChild, 10, 50, 100, 20, d, nullptr, nullptr, nullptr);
    ASSERT_NE(e, nullptr);
    ASSERT_NE(s, nullptr);
    std::vector<uint32_t> px;
    int w, h;
    ASSERT_TRUE(headless::ReadClient(d, &px, &w, &h));
    EXPECT_EQ(px[size_t(5 * w + 5)], 0xF0F0F0u);     // dialog face
    EXPECT_EQ(px[size_t(20 * w + 60)], 0xFFFFFFu);   // inside the edit: white
    EXPECT_EQ(px[size_t(10 * w + 10)], 0xA0A0A0u);   // its sunken edge
    bool text = false;                                 // the static shows dark text pixels
    for (int y = 50; y < 70; ++y)
        for (int x = 10; x < 110; ++x)
            if (px[size_t(y * w + x)] == 0) text = true;
    EXPECT_TRUE(text);
}

TEST(UserControls, ControlsMadeBeforeTheDialogIsShownAppearWithIt) {
    // As a dialog does it: the controls are created while the dialog is
    // still hidden (from its WM_CREATE), then the dialog is shown.
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = RecordingProc;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "HiddenDialog";
    RegisterClassExA(&wc);
    hook() = [](HWND h, UINT m, WPARAM, LPARAM, LRESULT*) {
        if (m == WM_CREATE)
            CreateWindowExA(WS_EX_CLIENTEDGE, "Edit", "x", kChild, 10, 10, 100, 24, h, nullptr, nullptr, nullptr);
        return false;
    };
    HWND d = CreateWindowExA(0, "HiddenDialog", "", WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                             nullptr, nullptr, nullptr);
    ASSERT_NE(d, nullptr);
    std::vector<uint32_t> px;
    int w, h;
    ASSERT_TRUE(headless::ReadClient(d, &px, &w, &h));
    EXPECT_EQ(px[size_t(5 * w + 5)], 0xF0F0F0u);
    EXPECT_EQ(px[size_t(20 * w + 60)], 0xFFFFFFu);
}

TEST(UserControls, SystemColoursAndWorkArea) {
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(240, 240, 240));
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));
    HBRUSH b = GetSysColorBrush(COLOR_BTNFACE);
    EXPECT_NE(b, nullptr);
    EXPECT_EQ(GetSysColorBrush(COLOR_BTNFACE), b);
    EXPECT_EQ(GetSysColorBrush(-1), nullptr);
    RECT wa{};
    EXPECT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &wa, 0));
    EXPECT_GT(wa.right, wa.left);
    EXPECT_FALSE(SystemParametersInfoA(0xFFFF, 0, &wa, 0));
}

}  // namespace
