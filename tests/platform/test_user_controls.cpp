// The built-in Static, Edit and Button controls in a dialog: typing within the
// limit, line breaks, clicks, faces, focus and selection, system colours.
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
    // Pressed inside and released: a click only when released over the
    // button, whose pixels are 100..159 x 10..30 of the dialog (it captured
    // the mouse meanwhile, so it hears every release).
    const struct {
        int x, y;
        bool click;
    } releases[] = {{10, 90, false}, {160, 15, false}, {110, 31, false}, {99, 15, false},
                    {159, 30, true}, {100, 10, true}};
    size_t clicks = 1;
    for (const auto& r : releases) {
        headless::MouseDown(1, 110, 15, 1, d);
        headless::MouseUp(1, r.x, r.y, d);
        pump();
        clicks += r.click;
        EXPECT_EQ(received(WM_COMMAND).size(), clicks) << r.x << "," << r.y;
    }
    SendMessageA(ok, BM_CLICK, 0, 0);
    EXPECT_EQ(received(WM_COMMAND).size(), clicks + 1);
    // The focused button is clicked by the space bar; Enter is the dialog's
    // business, not the button's.
    ASSERT_EQ(GetFocus(), ok);
    headless::KeyDown(SDL_SCANCODE_SPACE, SDLK_SPACE, 0, false, d);
    headless::KeyUp(SDL_SCANCODE_SPACE, SDLK_SPACE, 0, d);
    pump();
    EXPECT_EQ(received(WM_COMMAND).size(), clicks + 2);
    headless::KeyDown(SDL_SCANCODE_RETURN, SDLK_RETURN, 0, false, d);
    headless::KeyUp(SDL_SCANCODE_RETURN, SDLK_RETURN, 0, d);
    pump();
    EXPECT_EQ(received(WM_COMMAND).size(), clicks + 2);
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

}  // namespace
