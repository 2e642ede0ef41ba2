// Backend input events -> the Win32 messages a window receives: key messages
// and their lParam bits, system keys, characters from TranslateMessage and
// from text input (code page 936), mouse and window messages.
#include <SDL2/SDL_keycode.h>
#include <SDL2/SDL_scancode.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <windows.h>
#include <windowsx.h>

#include "platform/headless.h"

namespace {

struct Msg {
    UINT message;
    WPARAM wp;
    LPARAM lp;
};

LRESULT CALLBACK test_proc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }

HWND make_window(UINT class_style = 0, const char* class_name = "InputTestWindow") {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = class_style;
    wc.lpfnWndProc = test_proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = class_name;
    RegisterClassExA(&wc);
    HWND h = CreateWindowExA(0, class_name, "input", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 100, 50, 320, 240,
                             nullptr, nullptr, wc.hInstance, nullptr);
    EXPECT_NE(h, nullptr);
    ShowWindow(h, SW_SHOW);
    return h;
}

bool is_input_message(UINT m) {
    return (m >= WM_KEYFIRST && m <= WM_KEYLAST) || (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST) || m == WM_CLOSE ||
           m == WM_MOVE || m == WM_SIZE || m == WM_ACTIVATE || m == WM_SETFOCUS || m == WM_KILLFOCUS;
}

// Takes every queued message of the window (translating key-downs, as a
// message loop does) and returns the input-related ones in order.
std::vector<Msg> drain(HWND h, bool translate = true) {
    std::vector<Msg> out;
    MSG m;
    while (PeekMessageA(&m, h, 0, 0, PM_REMOVE)) {
        if (is_input_message(m.message)) out.push_back({m.message, m.wParam, m.lParam});
        if (translate) TranslateMessage(&m);
    }
    return out;
}

std::vector<Msg> only(const std::vector<Msg>& v, UINT a, UINT b = 0xFFFF, UINT c = 0xFFFF, UINT d = 0xFFFF) {
    std::vector<Msg> out;
    for (const Msg& m : v)
        if (m.message == a || m.message == b || m.message == c || m.message == d) out.push_back(m);
    return out;
}

int scan_of(LPARAM lp) { return int((lp >> 16) & 0xFF); }
bool extended(LPARAM lp) { return (lp >> 24) & 1; }
bool alt_context(LPARAM lp) { return (lp >> 29) & 1; }
bool was_down(LPARAM lp) { return (lp >> 30) & 1; }
bool going_up(LPARAM lp) { return (lp >> 31) & 1; }
int repeat_count(LPARAM lp) { return int(lp & 0xFFFF); }

class InputMessages : public testing::Test {
protected:
    void SetUp() override {
        hwnd = make_window();
        // Start from a released keyboard even when tests share a process.
        headless::Focus(hwnd, false);
        headless::Focus(hwnd, true);
        drain(hwnd);
    }
    void TearDown() override { DestroyWindow(hwnd); }
    void down(int32_t sc, int32_t kc, uint16_t mods = 0, bool repeat = false) {
        headless::KeyDown(sc, kc, mods, repeat, hwnd);
    }
    void up(int32_t sc, int32_t kc, uint16_t mods = 0) { headless::KeyUp(sc, kc, mods, hwnd); }
    HWND hwnd = nullptr;
};

TEST_F(InputMessages, KeyDownAndUpCarryVirtualKeyAndScanCode) {
    struct Case {
        int32_t sc, kc;
        int vk, scan;
        bool ext;
    } cases[] = {
        {SDL_SCANCODE_A, SDLK_a, 'A', 0x1E, false},
        {SDL_SCANCODE_7, SDLK_7, '7', 0x08, false},
        {SDL_SCANCODE_MINUS, SDLK_MINUS, VK_OEM_MINUS, 0x0C, false},
        {SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE, VK_BACK, 0x0E, false},
        {SDL_SCANCODE_RETURN, SDLK_RETURN, VK_RETURN, 0x1C, false},
        {SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, VK_ESCAPE, 0x01, false},
        {SDL_SCANCODE_TAB, SDLK_TAB, VK_TAB, 0x0F, false},
        {SDL_SCANCODE_SPACE, SDLK_SPACE, VK_SPACE, 0x39, false},
        {SDL_SCANCODE_LEFT, SDLK_LEFT, VK_LEFT, 0x4B, true},
        {SDL_SCANCODE_DOWN, SDLK_DOWN, VK_DOWN, 0x50, true},
        {SDL_SCANCODE_KP_0, SDLK_KP_0, VK_NUMPAD0, 0x52, false},
        {SDL_SCANCODE_KP_9, SDLK_KP_9, VK_NUMPAD9, 0x49, false},
        {SDL_SCANCODE_RCTRL, SDLK_RCTRL, VK_CONTROL, 0x1D, true},
    };
    for (const Case& c : cases) {
        down(c.sc, c.kc);
        up(c.sc, c.kc);
        std::vector<Msg> m = only(drain(hwnd, false), WM_KEYDOWN, WM_KEYUP);
        ASSERT_EQ(m.size(), 2u) << "vk " << c.vk;
        EXPECT_EQ(m[0].message, UINT(WM_KEYDOWN));
        EXPECT_EQ(m[0].wp, WPARAM(c.vk));
        EXPECT_EQ(scan_of(m[0].lp), c.scan) << "vk " << c.vk;
        EXPECT_EQ(extended(m[0].lp), c.ext) << "vk " << c.vk;
        EXPECT_EQ(repeat_count(m[0].lp), 1);
        EXPECT_FALSE(was_down(m[0].lp)) << "vk " << c.vk;
        EXPECT_FALSE(going_up(m[0].lp));
        EXPECT_EQ(m[1].message, UINT(WM_KEYUP));
        EXPECT_EQ(m[1].wp, WPARAM(c.vk));
        EXPECT_EQ(scan_of(m[1].lp), c.scan);
        EXPECT_EQ(extended(m[1].lp), c.ext);
        EXPECT_TRUE(was_down(m[1].lp));
        EXPECT_TRUE(going_up(m[1].lp));
    }
}

TEST_F(InputMessages, AutoRepeatSetsPreviousStateButNotRepeatCount) {
    down(SDL_SCANCODE_LEFT, SDLK_LEFT);
    down(SDL_SCANCODE_LEFT, SDLK_LEFT, 0, true);
    down(SDL_SCANCODE_LEFT, SDLK_LEFT, 0, true);
    up(SDL_SCANCODE_LEFT, SDLK_LEFT);
    down(SDL_SCANCODE_LEFT, SDLK_LEFT);
    std::vector<Msg> m = only(drain(hwnd), WM_KEYDOWN, WM_KEYUP);
    ASSERT_EQ(m.size(), 5u);
    EXPECT_FALSE(was_down(m[0].lp));
    EXPECT_TRUE(was_down(m[1].lp));
    EXPECT_TRUE(was_down(m[2].lp));
    EXPECT_EQ(repeat_count(m[2].lp), 1);
    EXPECT_EQ(m[3].message, UINT(WM_KEYUP));
    EXPECT_FALSE(was_down(m[4].lp)) << "a fresh press after the release";
}

TEST_F(InputMessages, AltCombinationsAreSystemKeys) {
    down(SDL_SCANCODE_LALT, SDLK_LALT, KMOD_LALT);
    down(SDL_SCANCODE_X, SDLK_x, KMOD_LALT);
    headless::Text("x", hwnd);  // a text event during Alt must not become WM_CHAR
    up(SDL_SCANCODE_X, SDLK_x, KMOD_LALT);
    up(SDL_SCANCODE_LALT, SDLK_LALT);
    std::vector<Msg> m = drain(hwnd);
    EXPECT_TRUE(only(m, WM_CHAR).empty());
    m = only(m, WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP);
    ASSERT_EQ(m.size(), 4u);
    EXPECT_EQ(m[0].message, UINT(WM_SYSKEYDOWN));
    EXPECT_EQ(m[0].wp, WPARAM(VK_MENU));
    EXPECT_TRUE(alt_context(m[0].lp));
    EXPECT_EQ(m[1].message, UINT(WM_SYSKEYDOWN));
    EXPECT_EQ(m[1].wp, WPARAM('X'));
    EXPECT_TRUE(alt_context(m[1].lp));
    EXPECT_EQ(m[2].message, UINT(WM_SYSKEYUP));
    EXPECT_EQ(m[2].wp, WPARAM('X'));
    EXPECT_TRUE(alt_context(m[2].lp));
    // Alt released after being used in a combination: an ordinary key-up.
    EXPECT_EQ(m[3].message, UINT(WM_KEYUP));
    EXPECT_EQ(m[3].wp, WPARAM(VK_MENU));
    EXPECT_FALSE(alt_context(m[3].lp));
}

TEST_F(InputMessages, AltAloneAndF10AreSystemKeysAndCtrlAltIsNot) {
    down(SDL_SCANCODE_LALT, SDLK_LALT, KMOD_LALT);
    up(SDL_SCANCODE_LALT, SDLK_LALT);
    down(SDL_SCANCODE_F10, SDLK_F10);
    up(SDL_SCANCODE_F10, SDLK_F10);
    down(SDL_SCANCODE_LCTRL, SDLK_LCTRL, KMOD_LCTRL);
    down(SDL_SCANCODE_LALT, SDLK_LALT, KMOD_LCTRL | KMOD_LALT);
    down(SDL_SCANCODE_Q, SDLK_q, KMOD_LCTRL | KMOD_LALT);
    std::vector<Msg> m = only(drain(hwnd), WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP);
    ASSERT_EQ(m.size(), 7u);
    EXPECT_EQ(m[0].message, UINT(WM_SYSKEYDOWN));
    EXPECT_EQ(m[1].message, UINT(WM_SYSKEYUP));
    EXPECT_EQ(m[1].wp, WPARAM(VK_MENU));
    EXPECT_EQ(m[2].message, UINT(WM_SYSKEYDOWN));
    EXPECT_EQ(m[2].wp, WPARAM(VK_F10));
    EXPECT_FALSE(alt_context(m[2].lp)) << "F10 without Alt";
    EXPECT_EQ(m[3].message, UINT(WM_SYSKEYUP));
    EXPECT_EQ(m[4].message, UINT(WM_KEYDOWN));
    EXPECT_EQ(m[5].message, UINT(WM_KEYDOWN)) << "Alt with Ctrl held";
    EXPECT_EQ(m[6].message, UINT(WM_KEYDOWN)) << "Ctrl+Alt+Q";
    EXPECT_EQ(m[6].wp, WPARAM('Q'));
}

TEST_F(InputMessages, AltLetterMakesMenuCharacterOnly) {
    down(SDL_SCANCODE_LALT, SDLK_LALT, KMOD_LALT);
    down(SDL_SCANCODE_F, SDLK_f, KMOD_LALT);
    headless::Text("f", hwnd);
    up(SDL_SCANCODE_F, SDLK_f, KMOD_LALT);
    std::vector<Msg> m = only(drain(hwnd), WM_CHAR, WM_SYSCHAR, WM_SYSKEYDOWN, WM_SYSKEYUP);
    ASSERT_EQ(m.size(), 4u);
    EXPECT_EQ(m[1].message, UINT(WM_SYSKEYDOWN));
    EXPECT_EQ(m[2].message, UINT(WM_SYSCHAR));
    EXPECT_EQ(m[2].wp, WPARAM('f'));
    EXPECT_EQ(m[3].message, UINT(WM_SYSKEYUP));
}

TEST_F(InputMessages, TranslateMessageMakesControlCharacters) {
    struct Case {
        int32_t sc, kc;
        uint16_t mods;
        WPARAM ch;
    } cases[] = {
        {SDL_SCANCODE_RETURN, SDLK_RETURN, 0, 0x0D},
        {SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE, 0, 0x08},
        {SDL_SCANCODE_TAB, SDLK_TAB, 0, 0x09},
        {SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, 0, 0x1B},
        {SDL_SCANCODE_C, SDLK_c, KMOD_LCTRL, 0x03},
        {SDL_SCANCODE_Z, SDLK_z, KMOD_RCTRL, 0x1A},
    };
    for (const Case& c : cases) {
        down(c.sc, c.kc, c.mods);
        up(c.sc, c.kc, c.mods);
        // Both key messages are queued before the program translates the
        // key-down; the character still comes between them, as on Windows.
        std::vector<Msg> m = only(drain(hwnd), WM_KEYDOWN, WM_CHAR, WM_KEYUP);
        ASSERT_EQ(m.size(), 3u) << "key " << c.kc;
        EXPECT_EQ(m[0].message, UINT(WM_KEYDOWN));
        EXPECT_EQ(m[1].message, UINT(WM_CHAR));
        EXPECT_EQ(m[1].wp, c.ch);
        EXPECT_EQ(m[1].lp, m[0].lp) << "the character carries its key's lParam";
        EXPECT_EQ(m[2].message, UINT(WM_KEYUP));
    }
}

TEST_F(InputMessages, CtrlLetterUsesTheModifiersOfItsOwnKeyDown) {
    // Ctrl is released before the program gets round to TranslateMessage:
    // the character is still Ctrl+C, and the later plain C types no control
    // character.
    down(SDL_SCANCODE_LCTRL, SDLK_LCTRL, KMOD_LCTRL);
    down(SDL_SCANCODE_C, SDLK_c, KMOD_LCTRL);
    up(SDL_SCANCODE_C, SDLK_c, KMOD_LCTRL);
    up(SDL_SCANCODE_LCTRL, SDLK_LCTRL);
    down(SDL_SCANCODE_C, SDLK_c);
    up(SDL_SCANCODE_C, SDLK_c);
    std::vector<Msg> chars = only(drain(hwnd), WM_CHAR);
    ASSERT_EQ(chars.size(), 1u);
    EXPECT_EQ(chars[0].wp, WPARAM(0x03));
}

TEST_F(InputMessages, PrintableKeyGetsItsCharacterOnceFromTextInput) {
    headless::PressKey(SDLK_q, 0, hwnd);
    std::vector<Msg> m = drain(hwnd);
    ASSERT_EQ(m.size(), 3u);
    EXPECT_EQ(m[0].message, UINT(WM_KEYDOWN));
    EXPECT_EQ(m[1].message, UINT(WM_CHAR));
    EXPECT_EQ(m[1].wp, WPARAM('q'));
    EXPECT_EQ(m[1].lp, m[0].lp);
    EXPECT_EQ(m[2].message, UINT(WM_KEYUP));
}

TEST_F(InputMessages, KeyDownPostedByTheProgramIsTranslated) {
    PostMessageA(hwnd, WM_KEYDOWN, 'K', 0x00250001);
    std::vector<Msg> chars = only(drain(hwnd), WM_CHAR);
    ASSERT_EQ(chars.size(), 1u);
    EXPECT_EQ(chars[0].wp, WPARAM('k'));
    MSG up_msg = {hwnd, WM_KEYUP, 'K', LPARAM(0xC0250001u), 0, {0, 0}};
    EXPECT_TRUE(TranslateMessage(&up_msg)) << "key messages report TRUE";
    MSG other = {hwnd, WM_MOUSEMOVE, 0, 0, 0, {0, 0}};
    EXPECT_FALSE(TranslateMessage(&other));
    EXPECT_FALSE(TranslateMessage(nullptr));
}

TEST_F(InputMessages, ChineseTextBecomesGbkBytesLeadByteFirst) {
    down(SDL_SCANCODE_SPACE, SDLK_SPACE);
    headless::Text(u8"中文abc", hwnd);
    up(SDL_SCANCODE_SPACE, SDLK_SPACE);
    std::vector<Msg> m = drain(hwnd);
    ASSERT_EQ(m.size(), 9u);
    EXPECT_EQ(m[0].message, UINT(WM_KEYDOWN));
    const WPARAM expected[] = {0xD6, 0xD0, 0xCE, 0xC4, 'a', 'b', 'c'};  // 中 = D6 D0, 文 = CE C4
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(m[1 + i].message, UINT(WM_CHAR)) << i;
        EXPECT_EQ(m[1 + i].wp, expected[i]) << i;
        EXPECT_EQ(m[1 + i].lp, m[0].lp) << i;
    }
    EXPECT_EQ(m[8].message, UINT(WM_KEYUP));
}

TEST_F(InputMessages, TextWithoutGbkFormOrWithControlCharacters) {
    // An input-method commit with no key: lParam of repeat count 1.
    headless::Text(u8"é\t😀", hwnd);
    std::vector<Msg> m = only(drain(hwnd), WM_CHAR);
    ASSERT_EQ(m.size(), 3u);
    EXPECT_EQ(m[0].wp, WPARAM(0xA8));  // é is A8 A6 in GBK
    EXPECT_EQ(m[1].wp, WPARAM(0xA6));
    EXPECT_EQ(m[2].wp, WPARAM('?')) << "no GBK form; the tab is dropped";
    EXPECT_EQ(m[0].lp, LPARAM(1));
}

TEST_F(InputMessages, MouseButtonsMoveAndModifierFlags) {
    headless::MouseMove(10, 20, 0, hwnd);
    headless::MouseDown(1, 11, 21, 1, hwnd);
    down(SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, KMOD_LSHIFT);
    headless::MouseMove(-5, -7, 1, hwnd);  // captured drag outside the client area
    headless::MouseUp(1, -5, -7, hwnd);
    headless::MouseDown(3, 1, 2, 1, hwnd);
    headless::MouseUp(3, 1, 2, hwnd);
    headless::MouseDown(2, 3, 4, 1, hwnd);
    std::vector<Msg> m = only(drain(hwnd), WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN);
    ASSERT_EQ(m.size(), 5u);
    EXPECT_EQ(m[0].message, UINT(WM_MOUSEMOVE));
    EXPECT_EQ(m[0].wp, WPARAM(0));
    EXPECT_EQ(GET_X_LPARAM(m[0].lp), 10);
    EXPECT_EQ(GET_Y_LPARAM(m[0].lp), 20);
    EXPECT_EQ(m[1].message, UINT(WM_LBUTTONDOWN));
    EXPECT_EQ(m[1].wp, WPARAM(MK_LBUTTON));
    EXPECT_EQ(m[2].message, UINT(WM_MOUSEMOVE));
    EXPECT_EQ(m[2].wp, WPARAM(MK_LBUTTON | MK_SHIFT));
    EXPECT_EQ(GET_X_LPARAM(m[2].lp), -5);
    EXPECT_EQ(GET_Y_LPARAM(m[2].lp), -7);
    EXPECT_EQ(m[3].message, UINT(WM_LBUTTONUP));
    EXPECT_EQ(m[3].wp, WPARAM(MK_SHIFT)) << "the released button is no longer held";
    EXPECT_EQ(m[4].message, UINT(WM_RBUTTONDOWN));
    EXPECT_EQ(m[4].wp, WPARAM(MK_RBUTTON | MK_SHIFT));
    EXPECT_LT(GetKeyState(VK_MBUTTON), 0);
}

TEST_F(InputMessages, MiddleButtonMessages) {
    headless::MouseDown(2, 3, 4, 1, hwnd);
    headless::MouseUp(2, 3, 4, hwnd);
    std::vector<Msg> m = only(drain(hwnd), WM_MBUTTONDOWN, WM_MBUTTONUP);
    ASSERT_EQ(m.size(), 2u);
    EXPECT_EQ(m[0].message, UINT(WM_MBUTTONDOWN));
    EXPECT_EQ(m[0].wp, WPARAM(MK_MBUTTON));
    EXPECT_EQ(m[1].message, UINT(WM_MBUTTONUP));
}

TEST_F(InputMessages, WheelDeltaAndScreenCoordinates) {
    headless::MouseWheel(1, 30, 40, hwnd);
    headless::MouseWheel(-2, 0, 0, hwnd);
    std::vector<Msg> m = only(drain(hwnd), WM_MOUSEWHEEL);
    ASSERT_EQ(m.size(), 2u);
    POINT origin = {0, 0};
    ASSERT_TRUE(ClientToScreen(hwnd, &origin));
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(m[0].wp), 120);
    EXPECT_EQ(GET_KEYSTATE_WPARAM(m[0].wp), 0);
    EXPECT_EQ(GET_X_LPARAM(m[0].lp), origin.x + 30);
    EXPECT_EQ(GET_Y_LPARAM(m[0].lp), origin.y + 40);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(m[1].wp), -240);
    EXPECT_EQ(GET_X_LPARAM(m[1].lp), origin.x);
}

TEST(InputDoubleClicks, OnlyForClassesThatAskForThem) {
    HWND plain = make_window(0, "PlainClicks");
    HWND dbl = make_window(CS_DBLCLKS, "DoubleClicks");
    drain(plain);
    drain(dbl);
    for (HWND h : {plain, dbl}) {
        headless::MouseDown(1, 5, 5, 1, h);
        headless::MouseUp(1, 5, 5, h);
        headless::MouseDown(1, 5, 5, 2, h);
        headless::MouseUp(1, 5, 5, h);
        headless::MouseDown(3, 5, 5, 2, h);
    }
    std::vector<Msg> p = only(drain(plain), WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONDBLCLK);
    std::vector<Msg> d = only(drain(dbl), WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONDBLCLK);
    ASSERT_EQ(p.size(), 3u);
    EXPECT_EQ(p[1].message, UINT(WM_LBUTTONDOWN));
    EXPECT_EQ(p[2].message, UINT(WM_RBUTTONDOWN));
    ASSERT_EQ(d.size(), 3u);
    EXPECT_EQ(d[0].message, UINT(WM_LBUTTONDOWN));
    EXPECT_EQ(d[1].message, UINT(WM_LBUTTONDBLCLK));
    EXPECT_EQ(d[2].message, UINT(WM_RBUTTONDBLCLK));
}

TEST_F(InputMessages, FocusLossReleasesKeysSilently) {
    down(SDL_SCANCODE_A, SDLK_a);
    down(SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, KMOD_LSHIFT);
    EXPECT_LT(GetKeyState('A'), 0);
    headless::Focus(hwnd, false);
    std::vector<Msg> m = drain(hwnd);
    EXPECT_TRUE(only(m, WM_KEYUP, WM_SYSKEYUP).empty()) << "no key-up for keys released elsewhere";
    std::vector<Msg> act = only(m, WM_ACTIVATE, WM_KILLFOCUS);
    ASSERT_EQ(act.size(), 2u);
    EXPECT_EQ(act[0].message, UINT(WM_ACTIVATE));
    EXPECT_EQ(LOWORD(act[0].wp), WA_INACTIVE);
    EXPECT_EQ(act[1].message, UINT(WM_KILLFOCUS));
    EXPECT_GE(GetKeyState('A'), 0);
    EXPECT_GE(GetKeyState(VK_SHIFT), 0);

    headless::Focus(hwnd, true);
    down(SDL_SCANCODE_A, SDLK_a);
    m = drain(hwnd);
    std::vector<Msg> gained = only(m, WM_ACTIVATE, WM_SETFOCUS);
    ASSERT_EQ(gained.size(), 2u);
    EXPECT_EQ(LOWORD(gained[0].wp), WA_ACTIVE);
    std::vector<Msg> keys = only(m, WM_KEYDOWN);
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_FALSE(was_down(keys[0].lp));
}

TEST_F(InputMessages, CloseBoxAndMove) {
    headless::CloseBox(hwnd);
    std::vector<Msg> m = only(drain(hwnd), WM_CLOSE);
    EXPECT_EQ(m.size(), 1u);
    headless::MoveWindowTo(200, 150, hwnd);
    m = only(drain(hwnd), WM_MOVE);
    ASSERT_EQ(m.size(), 1u);
    POINT origin = {0, 0};
    ClientToScreen(hwnd, &origin);
    EXPECT_EQ(GET_X_LPARAM(m[0].lp), origin.x);
    EXPECT_EQ(GET_Y_LPARAM(m[0].lp), origin.y);
    RECT wr;
    GetWindowRect(hwnd, &wr);
    EXPECT_EQ(wr.left, 200);
    EXPECT_EQ(wr.top, 150);
}

}  // namespace
