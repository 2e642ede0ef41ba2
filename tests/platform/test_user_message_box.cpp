// MessageBoxA: the answer to Enter, Esc, the close box, the accelerators and
// the focus keys for every button set; the owner disabled while it shows and
// given back after; the box sized to its text and centred on the owner; the
// icon and text drawn; WM_QUIT; GetKeyState on the box's thread afterwards.
//
// The box runs on a "program" thread, its owner on a pumping window thread
// (as the graphics window runs on its own); the test thread presses keys.
#include <SDL2/SDL_keycode.h>
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "user_test_util.h"

using namespace usertest;

namespace {

// MessageBoxA on its own thread; the test drives it.
class ProgramBox {
public:
    ProgramBox(HWND owner, std::string text, std::string caption, UINT type) {
        thread_ = std::thread([=] {
            tid_ = GetCurrentThreadId();
            result_ = MessageBoxA(owner, text.c_str(), caption.c_str(), type);
            after_(tid_);
            done_ = true;
        });
        for (int i = 0; i < 5000 && !dlg_; ++i) {
            HWND h = FindWindowA("#32770", caption.c_str());
            if (h && IsWindowVisible(h)) dlg_ = h;
            else std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        EXPECT_NE(dlg_, nullptr) << "the box did not open";
        Idle();
    }
    ~ProgramBox() {
        if (thread_.joinable()) thread_.join();
    }
    HWND dlg() const { return dlg_; }
    bool done() const { return done_; }
    void Idle() {
        for (int i = 0; i < 100; ++i)
            if (done_ || headless::WaitIdle(tid_, 50)) return;
    }
    void Key(int32_t key, uint16_t mods = 0) {
        if (mods & KMOD_LSHIFT) headless::KeyDown(SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, KMOD_LSHIFT, false, dlg_);
        if (mods & KMOD_LALT) headless::KeyDown(SDL_SCANCODE_LALT, SDLK_LALT, KMOD_LALT, false, dlg_);
        headless::PressKey(key, mods, dlg_);
        if (mods & KMOD_LALT) headless::KeyUp(SDL_SCANCODE_LALT, SDLK_LALT, 0, dlg_);
        if (mods & KMOD_LSHIFT) headless::KeyUp(SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, 0, dlg_);
        Idle();
    }
    // The answer, or -1 while the box is still open after a while.
    int Finish() {
        for (int i = 0; i < 200 && !done_; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (!done_) return -1;
        thread_.join();
        return result_;
    }
    // Runs on the program thread once MessageBoxA has returned.
    std::function<void(DWORD)> after_ = [](DWORD) {};

private:
    std::thread thread_;
    std::atomic<HWND> dlg_{nullptr};
    std::atomic<DWORD> tid_{0};
    std::atomic<bool> done_{false};
    std::atomic<int> result_{0};
};

constexpr int32_t kCloseBox = -1;  // a step that clicks the close box instead of a key

struct KeyStep {
    int32_t key;
    uint16_t mods;
};

// Expectations: the documented MessageBox answers and the dialog keyboard
// interface of Windows (Enter = the focused push button, Esc = IDCANCEL, which
// a box accepts only with a Cancel button or as an OK-only box; Tab and the
// arrow keys move between the buttons; a button's underlined letter, with or
// without Alt, clicks it).
TEST(UserMessageBox, KeysAnswerWithTheButtonsId) {
    struct Case {
        const char* name;
        UINT type;
        std::vector<KeyStep> keys;
        int want;  // -1: still open
    } cases[] = {
        {"OK: Enter", MB_OK, {{SDLK_RETURN, 0}}, IDOK},
        {"OK: Esc answers OK", MB_OK, {{SDLK_ESCAPE, 0}}, IDOK},
        {"OK: the close box answers OK", MB_OK, {{kCloseBox, 0}}, IDOK},
        {"OK/Cancel: Enter", MB_OKCANCEL, {{SDLK_RETURN, 0}}, IDOK},
        {"OK/Cancel: Esc", MB_OKCANCEL, {{SDLK_ESCAPE, 0}}, IDCANCEL},
        {"OK/Cancel: the close box", MB_OKCANCEL, {{kCloseBox, 0}}, IDCANCEL},
        {"OK/Cancel, second default: Enter", MB_OKCANCEL | MB_DEFBUTTON2, {{SDLK_RETURN, 0}}, IDCANCEL},
        {"Yes/No: Y", MB_YESNO | MB_ICONQUESTION, {{SDLK_y, 0}}, IDYES},
        {"Yes/No: N", MB_YESNO, {{SDLK_n, 0}}, IDNO},
        {"Yes/No: Alt+N", MB_YESNO, {{SDLK_n, KMOD_LALT}}, IDNO},
        {"Yes/No: Enter takes Yes", MB_YESNO, {{SDLK_RETURN, 0}}, IDYES},
        {"Yes/No: Esc and the close box do nothing", MB_YESNO, {{SDLK_ESCAPE, 0}, {kCloseBox, 0}}, -1},
        {"Yes/No: Esc ignored, then N", MB_YESNO, {{SDLK_ESCAPE, 0}, {SDLK_n, 0}}, IDNO},
        {"Yes/No, second default: Enter", MB_YESNO | MB_DEFBUTTON2, {{SDLK_RETURN, 0}}, IDNO},
        {"Yes/No: Tab moves to No", MB_YESNO, {{SDLK_TAB, 0}, {SDLK_RETURN, 0}}, IDNO},
        {"Yes/No: Tab twice wraps to Yes", MB_YESNO, {{SDLK_TAB, 0}, {SDLK_TAB, 0}, {SDLK_RETURN, 0}}, IDYES},
        {"Yes/No: Shift+Tab goes back", MB_YESNO, {{SDLK_TAB, KMOD_LSHIFT}, {SDLK_RETURN, 0}}, IDNO},
        {"Yes/No: Right, then Space clicks", MB_YESNO, {{SDLK_RIGHT, 0}, {SDLK_SPACE, 0}}, IDNO},
        {"Yes/No/Cancel: Esc", MB_YESNOCANCEL, {{SDLK_ESCAPE, 0}}, IDCANCEL},
        {"Yes/No/Cancel, third default: Enter", MB_YESNOCANCEL | MB_DEFBUTTON3, {{SDLK_RETURN, 0}}, IDCANCEL},
        {"Abort/Retry/Ignore: Esc ignored, I", MB_ABORTRETRYIGNORE, {{SDLK_ESCAPE, 0}, {SDLK_i, 0}}, IDIGNORE},
        {"Abort/Retry/Ignore: A", MB_ABORTRETRYIGNORE | MB_ICONERROR, {{SDLK_a, 0}}, IDABORT},
        {"Retry/Cancel: R", MB_RETRYCANCEL | MB_ICONWARNING, {{SDLK_r, 0}}, IDRETRY},
        {"Cancel/Try/Continue: T", MB_CANCELTRYCONTINUE, {{SDLK_t, 0}}, IDTRYAGAIN},
        {"Cancel/Try/Continue: C", MB_CANCELTRYCONTINUE, {{SDLK_c, 0}}, IDCONTINUE},
        {"a letter of no button does nothing", MB_YESNO, {{SDLK_x, 0}}, -1},
        {"a default beyond the buttons is the first", MB_OKCANCEL | MB_DEFBUTTON3, {{SDLK_RETURN, 0}}, IDOK},
        {"MB_TOPMOST and MB_SETFOREGROUND are accepted", MB_OK | MB_TOPMOST | MB_SETFOREGROUND, {{SDLK_RETURN, 0}},
         IDOK},
    };
    WindowThread owner;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProgramBox box(owner.hwnd(), "Message", "Box", c.type);
        ASSERT_NE(box.dlg(), nullptr);
        EXPECT_FALSE(IsWindowEnabled(owner.hwnd())) << "the owner is disabled while the box shows";
        for (const KeyStep& k : c.keys) {
            if (k.key == kCloseBox) {
                headless::CloseBox(box.dlg());
                box.Idle();
            } else {
                box.Key(k.key, k.mods);
            }
        }
        int got = box.Finish();
        EXPECT_EQ(got, c.want);
        if (got == -1) {
            EXPECT_TRUE(IsWindowVisible(box.dlg()));
            EXPECT_FALSE(IsWindowEnabled(owner.hwnd()));
            box.Key(SDLK_RETURN);  // every box above that stays open answers Enter
            EXPECT_NE(box.Finish(), -1);
        }
        EXPECT_TRUE(IsWindowEnabled(owner.hwnd())) << "the owner has its input back";
        EXPECT_FALSE(IsWindow(box.dlg())) << "the box is gone";
        EXPECT_EQ(GetActiveWindow(), owner.hwnd()) << "the owner is the active window again";
    }
}

TEST(UserMessageBox, OwnerDisabledBeforeStaysDisabled) {
    WindowThread owner;
    EnableWindow(owner.hwnd(), FALSE);
    ProgramBox box(owner.hwnd(), "Message", "Box", MB_OK);
    box.Key(SDLK_RETURN);
    EXPECT_EQ(box.Finish(), IDOK);
    EXPECT_FALSE(IsWindowEnabled(owner.hwnd())) << "the box enables only what it disabled";
}

TEST(UserMessageBox, BadArgumentsFailWithoutABox) {
    SetLastError(0);
    EXPECT_EQ(MessageBoxA(nullptr, "x", "y", 7), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_MSGBOX_STYLE));
    EXPECT_EQ(MessageBoxA(reinterpret_cast<HWND>(0x7777), "x", "y", MB_OK), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_EQ(FindWindowA("#32770", nullptr), nullptr);
}

// A WM_QUIT that arrives while the box shows ends it with 0 and is posted
// again for the caller's own loop.
TEST(UserMessageBox, QuitEndsTheBoxAndIsPostedAgain) {
    std::atomic<int> code{-1};
    ProgramBox box(nullptr, "Message", "Quit", MB_OKCANCEL);
    box.after_ = [&](DWORD) {
        MSG m;
        if (PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) code = int(m.wParam);
    };
    // No owner: the box is centred on the work area.
    RECT work, r;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(box.dlg(), &r);
    EXPECT_NEAR((r.left + r.right) / 2, (work.left + work.right) / 2, 1);
    EXPECT_NEAR((r.top + r.bottom) / 2, (work.top + work.bottom) / 2, 1);
    PostThreadMessageA(GetWindowThreadProcessId(box.dlg(), nullptr), WM_QUIT, 5, 0);
    EXPECT_EQ(box.Finish(), 0);
    EXPECT_EQ(code, 5);
}

// Counts client pixels of a colour family inside a rectangle.
int count(const std::vector<uint32_t>& px, int w, RECT r, bool (*is)(uint32_t)) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) n += is(px[size_t(y) * w + x]);
    return n;
}
bool bluish(uint32_t p) { return (p & 0xFF) > 150 && ((p >> 16) & 0xFF) < 60; }
bool reddish(uint32_t p) { return ((p >> 16) & 0xFF) > 150 && ((p >> 8) & 0xFF) < 80 && (p & 0xFF) < 80; }
bool yellowish(uint32_t p) { return ((p >> 16) & 0xFF) > 200 && ((p >> 8) & 0xFF) > 150 && (p & 0xFF) < 60; }
bool dark(uint32_t p) { return ((p >> 16) & 0xFF) < 100 && ((p >> 8) & 0xFF) < 100 && (p & 0xFF) < 100; }

// The box grows with its text: wider up to a limit, then taller, one line
// height per wrapped line; the icon is drawn at the top left in its colour,
// the text beside it; the box is centred on its owner.
TEST(UserMessageBox, SizedToItsTextCentredAndDrawn) {
    WindowThread owner;
    struct Size {
        int w, h;
    };
    auto open = [&](const std::string& text, UINT type, std::vector<uint32_t>* px = nullptr) {
        ProgramBox box(owner.hwnd(), text, "Sized", type);
        RECT rc{}, outer{}, own{};
        GetClientRect(box.dlg(), &rc);
        GetWindowRect(box.dlg(), &outer);
        GetWindowRect(owner.hwnd(), &own);
        EXPECT_NEAR((outer.left + outer.right) / 2, (own.left + own.right) / 2, 1) << "centred on the owner";
        EXPECT_NEAR((outer.top + outer.bottom) / 2, (own.top + own.bottom) / 2, 1);
        if (px) {
            int w = 0, h = 0;
            EXPECT_TRUE(headless::ReadClient(box.dlg(), px, &w, &h));
        }
        box.Key(SDLK_RETURN);
        EXPECT_NE(box.Finish(), -1);
        return Size{int(rc.right), int(rc.bottom)};
    };
    Size one = open("Short.", MB_OK);
    Size longer = open("A longer line of text, still one line.", MB_OK);
    Size three = open("one\ntwo\nthree", MB_OK);
    std::string para;
    for (int i = 0; i < 40; ++i) para += "word" + std::to_string(i) + " ";
    Size wrapped = open(para, MB_OK);
    Size gbk = open("\xC4\xE3\xBA\xC3\xA3\xAC\xCA\xC0\xBD\xE7\xA3\xA1 " + para, MB_OK);  // "你好，世界！" first

    EXPECT_GT(longer.w, one.w) << "a wider text makes a wider box";
    EXPECT_EQ(longer.h, one.h);
    int line = three.h - one.h;
    EXPECT_GT(line, 0);
    EXPECT_EQ(line % 2, 0) << "two more lines, each of the same height";
    EXPECT_GT(wrapped.h, one.h + line) << "a long paragraph wraps onto several lines";
    EXPECT_LE(wrapped.w, 12 + 480 + 12 + 16) << "wrapped at the width limit";
    EXPECT_GE(gbk.h, wrapped.h) << "GBK text wraps too";

    struct Icon {
        UINT type;
        bool (*colour)(uint32_t);
    } icons[] = {{MB_ICONINFORMATION, bluish}, {MB_ICONQUESTION, bluish}, {MB_ICONERROR, reddish},
                 {MB_ICONWARNING, yellowish}};
    for (const Icon& ic : icons) {
        SCOPED_TRACE(ic.type);
        std::vector<uint32_t> px;
        Size s = open("Text beside the icon.", MB_OK | ic.type, &px);
        ASSERT_EQ(px.size(), size_t(s.w) * s.h);
        EXPECT_GT(count(px, s.w, RECT{12, 12, 44, 44}, ic.colour), 150) << "the icon's colour at the top left";
        EXPECT_GT(count(px, s.w, RECT{56, 12, s.w - 12, 44}, dark), 20) << "the text beside it";
        EXPECT_EQ(count(px, s.w, RECT{0, 0, 12, s.h}, dark), 0) << "nothing in the left margin";
    }
    Size with_icon = open("Short.", MB_OK | MB_ICONINFORMATION);
    EXPECT_GT(with_icon.w, one.w) << "the icon takes room beside the text";
    EXPECT_GE(with_icon.h, one.h);
}

// The box's thread retrieved the box's keys; afterwards GetKeyState there
// follows the keyboard again (a program polls keys after a box), and nothing
// of the box is left in the thread's queue.
TEST(UserMessageBox, KeyStateOnTheBoxThreadFollowsTheKeyboardAfterwards) {
    WindowThread owner;
    std::atomic<bool> returned{false}, pressed{false};
    std::atomic<SHORT> after{0};
    std::atomic<bool> left{true};
    ProgramBox box(owner.hwnd(), "Message", "Keys", MB_OK);
    box.after_ = [&](DWORD) {
        MSG m;
        left = PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE) != FALSE;
        returned = true;
        while (!pressed) Sleep(1);
        after = GetKeyState(VK_RIGHT);
    };
    box.Key(SDLK_RETURN);
    for (int i = 0; i < 2000 && !returned; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_TRUE(returned) << "the box did not close";
    headless::KeyDown(SDL_SCANCODE_RIGHT, SDLK_RIGHT, 0, false, owner.hwnd());
    EXPECT_FALSE(left) << "the release of Enter, queued for the box, went with it";
    headless::WaitIdle(owner.tid(), 2000);
    pressed = true;
    EXPECT_EQ(box.Finish(), IDOK);
    EXPECT_LT(after, 0) << "the arrow held down on the owner is seen by the box's thread";
    headless::KeyUp(SDL_SCANCODE_RIGHT, SDLK_RIGHT, 0, owner.hwnd());
    headless::WaitIdle(owner.tid(), 2000);
}

}  // namespace
