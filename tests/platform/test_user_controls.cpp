// Child windows, input routing inside a window, disabled windows and the
// built-in Static / Edit / Button controls (the Edit's clipboard keys, undo,
// caret blink and scroll bar included).
#include <gtest/gtest.h>
#include <SDL2/SDL_keycode.h>

#include <functional>
#include <string>

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

namespace {

using namespace usertest;

HWND make_edit(HWND parent, DWORD style, int w, int h, const char* text = "") {
    return CreateWindowExA(WS_EX_CLIENTEDGE, "Edit", text, WS_CHILD | WS_VISIBLE | style, 10, 10, w, h, parent,
                           reinterpret_cast<HMENU>(1028), nullptr, nullptr);
}

std::pair<DWORD, DWORD> selection(HWND e) {
    DWORD a = 0, b = 0;
    SendMessageA(e, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
    return {a, b};
}

TEST(UserControls, EditSelectsAllWhenFocusedExceptByAClick) {
    HWND d = make_dialog();
    HWND e = make_edit(d, ES_AUTOHSCROLL, 150, 22, "hello");
    HWND b = CreateWindowExA(0, "Button", "OK", WS_CHILD | WS_VISIBLE, 170, 10, 20, 20, d, nullptr, nullptr, nullptr);
    pump();
    EXPECT_EQ(selection(e), std::make_pair(DWORD(5), DWORD(5)));  // created: caret at the end
    SetFocus(e);
    EXPECT_EQ(selection(e), std::make_pair(DWORD(0), DWORD(5)));
    SetFocus(b);
    // A click left of the text puts the caret before it, and nothing is selected.
    headless::MouseDown(1, 12, 20, 1, d);
    headless::MouseUp(1, 12, 20, d);
    pump();
    EXPECT_EQ(GetFocus(), e);
    EXPECT_EQ(selection(e), std::make_pair(DWORD(0), DWORD(0)));
    // Far right of the text: after its last character.
    headless::MouseDown(1, 150, 20, 1, d);
    headless::MouseUp(1, 150, 20, d);
    pump();
    EXPECT_EQ(selection(e), std::make_pair(DWORD(5), DWORD(5)));
    // Ctrl+A selects everything.
    SendMessageA(e, WM_CHAR, 0x01, 0);
    EXPECT_EQ(selection(e), std::make_pair(DWORD(0), DWORD(5)));
}

TEST(UserControls, MultilineEditWrapsScrollsAndFollowsTheCaret) {
    HWND d = make_dialog(200, 120);
    // About three lines of the 16-pixel font fit in 52 pixels.
    HWND e = make_edit(d, ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL, 150, 56);
    SetFocus(e);
    headless::TypeString("1\n2\n3\n4\n5\n6", d);
    pump();
    EXPECT_EQ(SendMessageA(e, EM_GETLINECOUNT, 0, 0), 6);
    const LRESULT bottom = SendMessageA(e, EM_GETFIRSTVISIBLELINE, 0, 0);
    EXPECT_EQ(bottom, 3) << "the last line is in view";
    RECT client;
    GetClientRect(e, &client);
    struct Step {
        const char* what;
        std::function<void()> act;
        LRESULT first;
    } steps[] = {
        {"up arrow of the scroll bar", [&] { headless::MouseDown(1, 10 + 2 + client.right - 5, 14, 1, d); }, 2},
        {"EM_LINESCROLL past the top stops at 0", [&] { SendMessageA(e, EM_LINESCROLL, 0, -10); }, 0},
        {"down arrow", [&] { headless::MouseDown(1, 10 + 2 + client.right - 5, 10 + 2 + client.bottom - 3, 1, d); }, 1},
        {"wheel towards the user: three lines, stopped at the end",
         [&] { headless::MouseWheel(-1, 40, 30, d); }, 3},
        {"WM_VSCROLL SB_TOP", [&] { SendMessageA(e, WM_VSCROLL, SB_TOP, 0); }, 0},
        {"typing scrolls the caret back into view", [&] { headless::TypeString("7", d); }, 3},
    };
    for (auto& s : steps) {
        s.act();
        pump();
        EXPECT_EQ(SendMessageA(e, EM_GETFIRSTVISIBLELINE, 0, 0), s.first) << s.what;
    }
    char buf[32];
    GetWindowTextA(e, buf, sizeof buf);
    EXPECT_STREQ(buf, "1\r\n2\r\n3\r\n4\r\n5\r\n67");
    // A line longer than the control wraps at a blank.
    SetWindowTextA(e, "aaaa bbbb cccc dddd eeee ffff gggg hhhh");
    EXPECT_GT(SendMessageA(e, EM_GETLINECOUNT, 0, 0), 1);
    // Up from the second line lands on the first.
    SendMessageA(e, EM_SETSEL, 0, 0);
    headless::PressKey(SDLK_DOWN, 0, d);
    headless::PressKey(SDLK_UP, 0, d);
    pump();
    EXPECT_EQ(selection(e), std::make_pair(DWORD(0), DWORD(0)));
}

TEST(UserControls, TheInputMethodWindowFollowsTheCaret) {
    HWND d = make_dialog();
    HWND e = make_edit(d, ES_AUTOHSCROLL, 150, 22);
    SetFocus(e);
    pump();
    RECT r0{}, r1{};
    ASSERT_TRUE(headless::TextInputRect(d, &r0));
    headless::TypeString(u8"\u4e2d\u6587", d);
    pump();
    ASSERT_TRUE(headless::TextInputRect(d, &r1));
    POINT origin{0, 0};
    ClientToScreen(e, &origin);
    ScreenToClient(d, &origin);
    EXPECT_EQ(r0.left, origin.x + 2) << "at the start of the empty field";
    EXPECT_GT(r1.left, r0.left + 20) << "after two wide characters";
    EXPECT_EQ(r1.top, r0.top);
    EXPECT_GT(r1.bottom, r1.top);
}

TEST(UserControls, SunkenEditEdgeDefaultButtonFrameAndFocusRectangle) {
    HWND d = make_dialog(200, 100);
    HWND e = make_edit(d, 0, 100, 24);
    CreateWindowExA(0, "Button", "", WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 120, 10, 60, 21, d, nullptr,
                              nullptr, nullptr);
    HWND other = CreateWindowExA(0, "Button", "", WS_CHILD | WS_VISIBLE, 120, 40, 60, 21, d, nullptr, nullptr, nullptr);
    SetFocus(other);
    pump();
    ASSERT_NE(e, nullptr);
    std::vector<uint32_t> px;
    int w, h;
    ASSERT_TRUE(headless::ReadClient(d, &px, &w, &h));
    auto at = [&](int x, int y) { return px[size_t(y * w + x)]; };
    struct Expect {
        const char* what;
        int x, y;
        uint32_t colour;
    } expects[] = {
        {"edit: outer edge top-left", 10, 10, 0xA0A0A0}, {"edit: inner edge top-left", 11, 11, 0x000000},
        {"edit: outer edge bottom-right", 109, 33, 0xFFFFFF}, {"edit: inner edge bottom-right", 108, 32, 0xE3E3E3},
        {"edit: inside", 12, 12, 0xFFFFFF},
        {"default button: black frame", 120, 10, 0x000000}, {"default button: frame bottom-right", 179, 30, 0x000000},
        {"default button: light edge inside the frame", 121, 11, 0xFFFFFF},
        {"default button: dark edge inside the frame", 178, 29, 0x000000},
        {"default button: shadow", 177, 28, 0xA0A0A0}, {"default button: face", 150, 15, 0xF0F0F0},
        {"plain button: light edge outside", 120, 40, 0xFFFFFF}, {"plain button: dark edge outside", 179, 60, 0x000000},
        {"focused button: focus dot", 124, 44, 0x000000}, {"focused button: between dots", 125, 44, 0xF0F0F0},
        {"focused button: next dot", 126, 44, 0x000000},
    };
    for (const Expect& x : expects) EXPECT_EQ(at(x.x, x.y), x.colour) << x.what;
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

// ---- Edit: clipboard, undo, caret blink, scroll bar thumb ----

// GBK (code page 936) forms of the Chinese characters used here.
#define ZHONG "\xD6\xD0"  // 中 U+4E2D
#define WEN "\xCE\xC4"    // 文 U+6587
#define LI "\xC0\xEE"     // 李 U+674E
#define BAI "\xB0\xD7"    // 白 U+767D
std::string edit_text(HWND e) {
    char buf[256];
    GetWindowTextA(e, buf, sizeof buf);
    return buf;
}


TEST(UserEditClipboard, PasteKeepsToTheLimitTheLineAndTheStyle) {
    HWND d = make_dialog(240, 120);
    struct Case {
        const char* what;
        DWORD style;
        size_t limit;  // 0: none
        const char* text;
        int sel_from, sel_to;
        std::string clip;  // UTF-8, as another program put it there
        const char* want;
    } cases[] = {
        {"fits exactly, ending in a double-byte character", ES_AUTOHSCROLL, 5, "", 0, 0, u8"abc\u4e2d", "abc" ZHONG},
        {"a double-byte character that would cross the limit is left out", ES_AUTOHSCROLL, 4, "", 0, 0,
         u8"abc\u4e2d", "abc"},
        {"cut short at the limit, counting what stays", ES_AUTOHSCROLL, 6, "xy", 1, 1, u8"\u4e2d\u6587\u674e",
         "x" ZHONG WEN "y"},
        {"single-line: up to the first line break", ES_AUTOHSCROLL, 0, "", 0, 0, "first\nsecond", "first"},
        {"single-line: CRLF too", ES_AUTOHSCROLL, 0, "", 0, 0, u8"\u674e\r\n\u767d", LI},
        {"multi-line: every line end becomes CRLF", ES_MULTILINE, 0, "", 0, 0, "a\nb\r\nc\rd", "a\r\nb\r\nc\r\nd"},
        {"number: digits are pasted", ES_NUMBER, 0, "1", 1, 1, "23", "123"},
        {"number: anything else is refused", ES_NUMBER, 0, "1", 1, 1, "2a", "1"},
        {"read-only: nothing changes", ES_READONLY, 0, "ro", 0, 2, "x", "ro"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HWND e = make_edit(d, c.style, 200, 60, c.text);
        if (c.limit) SendMessageA(e, EM_LIMITTEXT, c.limit, 0);
        SendMessageA(e, EM_SETSEL, c.sel_from, c.sel_to);
        headless::SetClipboardText(c.clip);
        SendMessageA(e, WM_PASTE, 0, 0);
        EXPECT_EQ(edit_text(e), c.want);
        DestroyWindow(e);
    }
}

// A key pressed with a modifier key held, as a person does it.
void chord(HWND d, int32_t mod_key, uint16_t mod, int32_t key) {
    int32_t mod_scan = mod_key == SDLK_LCTRL ? SDL_SCANCODE_LCTRL : SDL_SCANCODE_LSHIFT;
    headless::KeyDown(mod_scan, mod_key, mod, false, d);
    headless::PressKey(key, mod, d);
    headless::KeyUp(mod_scan, mod_key, 0, d);
    pump();
}
void ctrl(HWND d, int32_t key) { chord(d, SDLK_LCTRL, KMOD_LCTRL, key); }
void shift(HWND d, int32_t key) { chord(d, SDLK_LSHIFT, KMOD_LSHIFT, key); }

std::string clipboard() {
    std::string s;
    headless::ClipboardText(&s);
    return s;
}

TEST(UserEditClipboard, KeysCutCopyPasteAndUndo) {
    HWND d = make_dialog(240, 120);
    HWND e = make_edit(d, ES_AUTOHSCROLL, 200, 60, "");
    SetWindowTextA(e, "hello " LI BAI);
    SetFocus(e);  // selects everything
    pump();
    EXPECT_FALSE(SendMessageA(e, EM_CANUNDO, 0, 0)) << "a new text cannot be undone";
    struct Step {
        const char* what;
        std::function<void()> act;
        const char* text;
        std::pair<DWORD, DWORD> sel;
        std::string clip;  // UTF-8 expected on the clipboard
    } steps[] = {
        {"Ctrl+C copies the selection", [&] { ctrl(d, SDLK_c); }, "hello " LI BAI, {0, 10}, u8"hello \u674e\u767d"},
        {"WM_SETSEL then Ctrl+X cuts", [&] { SendMessageA(e, EM_SETSEL, 0, 6); ctrl(d, SDLK_x); }, LI BAI, {0, 0},
         "hello "},
        {"Ctrl+Z brings it back, selected", [&] { ctrl(d, SDLK_z); }, "hello " LI BAI, {0, 6}, "hello "},
        {"Ctrl+Z again undoes the undo", [&] { ctrl(d, SDLK_z); }, LI BAI, {0, 0}, "hello "},
        {"End, then Shift+Insert pastes", [&] { headless::PressKey(SDLK_END, 0, d); pump(); shift(d, SDLK_INSERT); },
         LI BAI "hello ", {10, 10}, "hello "},
        {"Ctrl+Insert copies",
         [&] {
             SendMessageA(e, EM_SETSEL, 2, 4);
             ctrl(d, SDLK_INSERT);
         },
         LI BAI "hello ", {2, 4}, u8"\u767d"},
        {"Shift+Delete cuts", [&] { shift(d, SDLK_DELETE); }, LI "hello ", {2, 2}, u8"\u767d"},
        {"typed characters are one change for undo",
         [&] {
             headless::TypeString("abc", d);
             pump();
         },
         LI "abchello ", {5, 5}, u8"\u767d"},
        {"... undone together", [&] { SendMessageA(e, EM_UNDO, 0, 0); }, LI "hello ", {2, 2}, u8"\u767d"},
        {"WM_CLEAR deletes without copying",
         [&] {
             SendMessageA(e, EM_SETSEL, 0, 2);
             SendMessageA(e, WM_CLEAR, 0, 0);
         },
         "hello ", {0, 0}, u8"\u767d"},
        {"WM_COPY and WM_CUT",
         [&] {
             SendMessageA(e, EM_SETSEL, 0, 2);
             SendMessageA(e, WM_COPY, 0, 0);
             SendMessageA(e, EM_SETSEL, 4, 6);
             SendMessageA(e, WM_CUT, 0, 0);
         },
         "hell", {4, 4}, "o "},
        {"Ctrl+V", [&] { ctrl(d, SDLK_v); }, "hello ", {6, 6}, "o "},
    };
    for (auto& s : steps) {
        s.act();
        EXPECT_EQ(edit_text(e), s.text) << s.what;
        EXPECT_EQ(selection(e), s.sel) << s.what;
        EXPECT_EQ(clipboard(), s.clip) << s.what;
    }
    EXPECT_TRUE(SendMessageA(e, EM_CANUNDO, 0, 0));
    SendMessageA(e, EM_EMPTYUNDOBUFFER, 0, 0);
    EXPECT_FALSE(SendMessageA(e, EM_CANUNDO, 0, 0));
    EXPECT_FALSE(SendMessageA(e, EM_UNDO, 0, 0));
    EXPECT_EQ(edit_text(e), "hello ");
}

// The caret's column: where the control last told the input method it is.
bool caret_shown(HWND d) {
    RECT r{};
    EXPECT_TRUE(headless::TextInputRect(d, &r));
    std::vector<uint32_t> px;
    int w = 0, h = 0;
    EXPECT_TRUE(headless::ReadClient(d, &px, &w, &h));
    return px[size_t((r.top + r.bottom) / 2 * w + r.left)] == 0x000000;
}

TEST(UserEditCaret, BlinksWhileFocusedAndShowsAgainOnEveryKeyOrClick) {
    HWND d = make_dialog(240, 120);
    HWND e = make_edit(d, ES_AUTOHSCROLL, 200, 60, "");
    HWND b = CreateWindowExA(0, "Button", "OK", kChild, 215, 10, 20, 20, d, nullptr, nullptr, nullptr);
    SetFocus(e);
    pump();
    const DWORD period = GetCaretBlinkTime();
    struct Step {
        const char* what;
        std::function<void()> act;
        bool shown;
    } steps[] = {
        {"shown when focused", [] {}, true},
        {"one tick before the period", [&] { headless::AdvanceClock(period - 1); }, true},
        {"hidden after one period", [&] { headless::AdvanceClock(1); }, false},
        {"shown after the next", [&] { headless::AdvanceClock(period); }, true},
        {"hidden again", [&] { headless::AdvanceClock(period); }, false},
        {"a key shows it at once", [&] { headless::PressKey(SDLK_a, 0, d); }, true},
        {"and starts the period again", [&] { headless::AdvanceClock(period - 1); }, true},
        {"... which ends a period after the key", [&] { headless::AdvanceClock(1); }, false},
        {"a click shows it at once", [&] { headless::MouseDown(1, 100, 30, 1, d); headless::MouseUp(1, 100, 30, d); },
         true},
    };
    for (auto& s : steps) {
        s.act();
        pump();
        EXPECT_EQ(caret_shown(d), s.shown) << s.what;
    }
    // About two wake-ups a second while focused, none once the focus left.
    size_t timers = 0;
    auto count = [&](int ms) {
        for (int t = 0; t < ms; t += 10) {
            headless::AdvanceClock(10);
            MSG m;
            while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
                timers += m.message == WM_TIMER;
                DispatchMessageA(&m);
            }
        }
    };
    count(10000);
    EXPECT_GE(timers, 17u);
    EXPECT_LE(timers, 19u);
    SetFocus(b);
    pump();
    timers = 0;
    count(5000);
    EXPECT_EQ(timers, 0u);
}

TEST(UserEditScrollBar, DraggingTheThumbMovesTheFirstVisibleLine) {
    HWND d = make_dialog(240, 120);
    HWND e = make_edit(d, ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL, 200, 60, "");
    std::string text;
    for (int i = 0; i < 20; ++i) text += std::to_string(i) + (i < 19 ? "\r\n" : "");
    SetWindowTextA(e, text.c_str());
    SendMessageA(e, WM_VSCROLL, SB_TOP, 0);
    ASSERT_EQ(SendMessageA(e, EM_GETLINECOUNT, 0, 0), 20);
    RECT c;
    GetClientRect(e, &c);
    const int last = 20 - int(c.bottom / 16);  // lines of the 16-pixel system font that fit
    // Dialog coordinates: the edit's client area starts at (12, 12); the
    // bar is the right 17 pixels, its arrows 17 pixels tall.
    const int x = 12 + c.right - 8, top = 12 + 17, bottom = 12 + c.bottom - 17;
    struct Step {
        const char* what;
        std::function<void()> act;
        int first_min, first_max;
    } steps[] = {
        {"grabbing the thumb does not scroll", [&] { headless::MouseDown(1, x, top + 2, 1, d); }, 0, 0},
        {"to the end of the track: the last page", [&] { headless::MouseMove(x, bottom + 2, 1, d); }, last, last},
        {"past the window, still captured", [&] { headless::MouseMove(x + 100, 300, 1, d); }, last, last},
        {"half way", [&] { headless::MouseMove(x, (top + bottom) / 2, 1, d); }, last / 4, last * 3 / 4},
        {"back to the top", [&] { headless::MouseMove(x, top - 10, 1, d); }, 0, 0},
        {"released: moving no longer scrolls",
         [&] {
             headless::MouseUp(1, x, top, d);
             headless::MouseMove(x, bottom, 0, d);
         },
         0, 0},
    };
    for (auto& s : steps) {
        s.act();
        pump();
        LRESULT first = SendMessageA(e, EM_GETFIRSTVISIBLELINE, 0, 0);
        EXPECT_GE(first, s.first_min) << s.what;
        EXPECT_LE(first, s.first_max) << s.what;
    }
    EXPECT_EQ(GetCapture(), nullptr);
}

}  // namespace
