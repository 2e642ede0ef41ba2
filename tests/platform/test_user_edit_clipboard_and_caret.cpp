// The Edit control's clipboard keys and undo, its caret blink and its scroll
// bar thumb.
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
