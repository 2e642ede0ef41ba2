// The input box: sizing, the key filter, the Tab order, the byte limit, the
// ways of closing it, the owner's title, the disabled owner.
//
// InputBox runs on a "program" thread while the test thread types into the
// dialog and waits for that thread to go idle.
#include <SDL2/SDL_keycode.h>

#include <cstring>
#include <functional>
#include <string>

#include "../../glint/src/input_box.h"
#include "glint_test_util.h"

using namespace glint_test;
using Glint::CInputBox;

namespace {

constexpr int kEmptyPromptHeight = 45;

// The height DrawTextA gives a prompt in the dialog's font and prompt width.
int MeasuredPrompt(const char* prompt, int width) {
    LOGFONTA lf = {};
    lf.lfHeight = 14;
    lf.lfCharSet = DEFAULT_CHARSET;
    std::strcpy(lf.lfFaceName, "Arial");
    HFONT font = CreateFontIndirectA(&lf);
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, font);
    RECT rc = {0, 0, width - 90, 10};
    DrawTextA(dc, prompt, -1, &rc, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    DeleteDC(dc);
    DeleteObject(font);
    return rc.bottom - rc.top;
}

TEST(GlintInputBox, ClientSizeFollowsWidthHeightAndPrompt) {
    const char* tall = "one\ntwo\nthree\nfour\nfive";
    const int tallHeight = MeasuredPrompt(tall, 357);
    ASSERT_GT(tallHeight, kEmptyPromptHeight) << "the tall prompt must be taller than the prompt area";
    struct Case {
        int width, height;
        const char* prompt;
        int wantW, wantH;
        bool multiline;
        int promptH;
    } cases[] = {
        {0, 0, "Name:", 357, 93, false, 45},
        {150, 0, nullptr, 200, 93, false, 45},
        {200, 0, "", 200, 93, false, 45},
        {201, 0, "", 201, 93, false, 45},
        {0, 50, "", 357, 93, true, 45},
        {0, 93, "", 357, 93, true, 45},
        {0, 140, "", 357, 140, true, 45},
        {0, 0, tall, 357, 93 + tallHeight - 45, false, tallHeight},
        {0, 140, tall, 357, 140 + tallHeight - 45, true, tallHeight},
    };
    for (const Case& c : cases) {
        char buf[8] = "";
        CInputBox box(nullptr, buf, sizeof buf, c.prompt, nullptr, nullptr, c.width, c.height, false);
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height << " prompt " << (c.prompt ? c.prompt : "(none)"));
        EXPECT_EQ(box.m_nWidth, c.wantW);
        EXPECT_EQ(box.m_nHeight, c.wantH);
        EXPECT_EQ(box.m_bMultiline, c.multiline);
        EXPECT_EQ(box.m_nPromptHeight, c.promptH);
        EXPECT_EQ(CInputBox::pThis, &box);
        EXPECT_NE(box.m_hFont, nullptr);
    }
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    ASSERT_TRUE(GetClassInfoExA(GetModuleHandleA(nullptr), "Glint_InputBox", &wc));
    EXPECT_EQ(wc.style, UINT(CS_HREDRAW | CS_VREDRAW));
    EXPECT_EQ(wc.hbrBackground, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
}

// Runs InputBox on its own thread; the test drives the dialog.
class Box {
public:
    Box(std::string initial, int size, const char* prompt, const char* title, const char* def, int width, int height,
        bool onlyOK)
        : buf_(initial) {
        buf_.resize(64, '\0');
        size_ = size;
        thread_ = std::thread([=] {
            result_ = InputBox(&buf_[0], size_, prompt, title, def, width, height, onlyOK);
            done_ = true;
        });
        for (int i = 0; i < 5000 && !dlg_; ++i) {
            // Found through the window manager's lock: the dialog object is
            // complete once its window is visible.
            HWND h = FindWindowA(Glint::kInputBoxClass, nullptr);
            if (h && IsWindowVisible(h)) dlg_ = h;
            else std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        EXPECT_NE(dlg_, nullptr) << "the dialog did not open";
        tid_ = GetWindowThreadProcessId(dlg_, nullptr);
        Idle();
    }
    ~Box() {
        if (thread_.joinable()) thread_.join();
    }
    HWND dlg() const { return dlg_; }
    CInputBox* box() const { return CInputBox::pThis; }
    // Until the program thread waits for input again, or InputBox returned.
    void Idle() {
        for (int i = 0; i < 200; ++i)
            if (done_ || headless::WaitIdle(tid_, 50)) return;
        ADD_FAILURE() << "the program thread did not go idle";
    }
    void Type(const std::string& s) {
        headless::TypeString(s, dlg_);
        Idle();
    }
    void Key(int32_t key, bool ctrl = false) {
        if (ctrl) headless::KeyDown(SDL_SCANCODE_LCTRL, SDLK_LCTRL, KMOD_LCTRL, false, dlg_);
        headless::PressKey(key, ctrl ? KMOD_LCTRL : 0, dlg_);
        if (ctrl) headless::KeyUp(SDL_SCANCODE_LCTRL, SDLK_LCTRL, 0, dlg_);
        Idle();
    }
    void Click(int x, int y) {
        headless::MouseDown(1, x, y, 1, dlg_);
        headless::MouseUp(1, x, y, dlg_);
        Idle();
    }
    // Waits for InputBox to return; false if it is still open after 5 s.
    bool Finish() {
        Idle();
        if (!done_) return false;
        thread_.join();
        return true;
    }
    bool result() const { return result_; }
    const char* text() const { return buf_.c_str(); }

private:
    std::string buf_;
    int size_ = 0;
    std::thread thread_;
    HWND dlg_ = nullptr;
    DWORD tid_ = 0;
    bool result_ = false;
    std::atomic<bool> done_{false};
};

// Key steps of a scenario: text is typed, the named keys are pressed.
enum Step { kEnter, kCtrlEnter, kEsc, kCloseBox, kCancelClick, kOKClick, kTab };

struct Scenario {
    const char* name;
    bool onlyOK;
    int height;   // > 0: multi-line
    int size;     // buffer size
    const char* def;
    std::vector<std::function<void(Box&)>> steps;
    bool closed, result;
    const char* text;  // the buffer afterwards
};

std::function<void(Box&)> type(const char* s) { return [s](Box& b) { b.Type(s); }; }
// Another program puts UTF-8 text on the clipboard; Ctrl+V pastes it.
std::function<void(Box&)> paste(const char* utf8) {
    return [utf8](Box& b) {
        headless::SetClipboardText(utf8);
        b.Key(SDLK_v, true);
    };
}
std::function<void(Box&)> ctrl(int32_t key) { return [key](Box& b) { b.Key(key, true); }; }
std::function<void(Box&)> press(Step k) {
    return [k](Box& b) {
        const int W = b.box()->m_nWidth;
        switch (k) {
            case kEnter: b.Key(SDLK_RETURN); break;
            case kCtrlEnter: b.Key(SDLK_RETURN, true); break;
            case kEsc: b.Key(SDLK_ESCAPE); break;
            case kTab: b.Key(SDLK_TAB); break;
            case kCloseBox:
                headless::CloseBox(b.dlg());
                b.Idle();
                break;
            case kCancelClick: b.Click(W - 60, 40); break;
            case kOKClick: b.Click(W - 60, 15); break;
        }
    };
}

TEST(GlintInputBox, KeysButtonsAndCloseBoxEndTheDialog) {
    const char* kUntouched = "untouched";
    Scenario scenarios[] = {
        {"Enter confirms a single line, typing replaces the selected default", false, 0, 64, "old",
         {type("new text"), press(kEnter)}, true, true, "new text"},
        {"Ctrl+Enter confirms a single line too", false, 0, 64, "", {type("x"), press(kCtrlEnter)}, true, true, "x"},
        {"Enter adds a line in a multi-line box, Ctrl+Enter confirms", false, 120, 64, "",
         {type("a"), press(kEnter), type("b"), press(kCtrlEnter)}, true, true, "a\r\nb"},
        {"Enter confirms even while Cancel has the focus", false, 0, 64, "d", {press(kTab), press(kTab), press(kEnter)},
         true, true, "d"},
        {"Esc cancels and leaves the buffer", false, 0, 64, "", {type("typed"), press(kEsc)}, true, false, kUntouched},
        {"Esc does nothing with only OK", true, 0, 64, "", {type("k"), press(kEsc)}, false, false, kUntouched},
        {"only OK: Esc, then Enter confirms", true, 0, 64, "", {type("k"), press(kEsc), press(kEnter)}, true, true, "k"},
        {"the close box cancels", false, 0, 64, "", {type("typed"), press(kCloseBox)}, true, false, kUntouched},
        {"only OK has no close box", true, 0, 64, "", {press(kCloseBox)}, false, false, kUntouched},
        {"the Cancel button cancels", false, 0, 64, "", {type("typed"), press(kCancelClick)}, true, false, kUntouched},
        {"the OK button confirms", true, 0, 64, "", {type("ok"), press(kOKClick)}, true, true, "ok"},
        // Buffer of 6: five bytes at most; a Chinese character that would
        // cross the limit is refused whole, a one-byte one still fits.
        {"typing stops at size - 1 bytes", false, 0, 6, "",
         {type(u8"ab\u4e2d\u6587x"), press(kEnter)}, true, true, "ab\xD6\xD0x"},
        // A default longer than the buffer is cut on a character boundary.
        {"OK copies size - 1 bytes without splitting a character", false, 0, 4, "12\xD6\xD0" "45", {press(kEnter)},
         true, true, "12"},
        {"a buffer of one byte gets the empty string", false, 0, 1, "abc", {press(kEnter)}, true, true, ""},
        {"a paste stops at size - 1 bytes without splitting a character", false, 0, 6, "",
         {paste(u8"ab\u4e2d\u6587x"), press(kEnter)}, true, true, "ab\xD6\xD0"},
        {"Ctrl+X then Ctrl+V puts it back", false, 0, 64, "old", {ctrl(SDLK_x), type("<"), ctrl(SDLK_v), press(kEnter)},
         true, true, "<old"},
    };
    initgraph(200, 100);
    for (Scenario& s : scenarios) {
        SCOPED_TRACE(s.name);
        Box b(kUntouched, s.size, "Prompt", "Title", s.def, 0, s.height, s.onlyOK);
        ASSERT_NE(b.dlg(), nullptr);
        for (auto& step : s.steps) step(b);
        bool closed = b.Finish();
        EXPECT_EQ(closed, s.closed);
        if (!closed) {
            b.Key(SDLK_RETURN);  // single line: ends it
            ASSERT_TRUE(b.Finish());
            continue;
        }
        EXPECT_EQ(b.result(), s.result);
        EXPECT_STREQ(b.text(), s.text);
        EXPECT_TRUE(IsWindowEnabled(GetHWnd())) << "the owner is enabled again";
        EXPECT_EQ(GetForegroundWindow(), GetHWnd()) << "the owner is in front again";
    }
    closegraph();
}

TEST(GlintInputBox, TabMovesTheFocusForwardOnly) {
    initgraph(200, 100);
    for (bool onlyOK : {false, true}) {
        SCOPED_TRACE(onlyOK ? "only OK" : "OK and Cancel");
        Box b("", 64, "p", "t", "default", 0, 0, onlyOK);
        CInputBox* box = b.box();
        EXPECT_EQ(GetFocus(), box->m_hEdit);
        DWORD from = 9, to = 9;
        SendMessageA(box->m_hEdit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
        EXPECT_EQ(from, 0u);
        EXPECT_EQ(to, 7u) << "the default text starts selected";
        std::vector<HWND> order = onlyOK ? std::vector<HWND>{box->m_hOK, box->m_hEdit, box->m_hOK}
                                         : std::vector<HWND>{box->m_hOK, box->m_hCancel, box->m_hEdit, box->m_hOK};
        for (HWND want : order) {
            b.Key(SDLK_TAB);
            EXPECT_EQ(GetFocus(), want);
        }
        // Shift+Tab goes the same way.
        headless::KeyDown(SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, KMOD_LSHIFT, false, b.dlg());
        headless::PressKey(SDLK_TAB, KMOD_LSHIFT, b.dlg());
        headless::KeyUp(SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, 0, b.dlg());
        b.Idle();
        EXPECT_EQ(GetFocus(), onlyOK ? box->m_hEdit : box->m_hCancel);
        EXPECT_EQ(box->m_hCancel == nullptr, onlyOK);
        b.Key(SDLK_RETURN);
        ASSERT_TRUE(b.Finish());
    }
    closegraph();
}

TEST(GlintInputBox, DialogIsCentredOnItsOwnerWhichIsDisabledMeanwhile) {
    HWND owner = initgraph(400, 300);
    char ownerTitle[64] = "";
    GetWindowTextA(owner, ownerTitle, sizeof ownerTitle);
    ASSERT_STRNE(ownerTitle, "");
    {
        Box b("", 64, "Prompt", nullptr, nullptr, 250, 0, false);
        HWND dlg = b.dlg();
        CInputBox* box = b.box();
        char title[64] = "";
        GetWindowTextA(dlg, title, sizeof title);
        EXPECT_STREQ(title, ownerTitle) << "no title: the owner's";

        RECT ref, client;
        GetWindowRect(owner, &ref);
        GetClientRect(dlg, &client);
        POINT origin = {0, 0};
        ClientToScreen(dlg, &origin);
        EXPECT_EQ(client.right, 250);
        EXPECT_EQ(client.bottom, 93);
        EXPECT_EQ(origin.x, ref.left + (ref.right - ref.left - 250) / 2);
        EXPECT_EQ(origin.y, ref.top + (ref.bottom - ref.top - 93) / 2);
        LONG_PTR style = GetWindowLongPtrA(dlg, GWL_STYLE), ex = GetWindowLongPtrA(dlg, GWL_EXSTYLE);
        EXPECT_EQ(DWORD(style), DWORD(0x90C80000));
        EXPECT_EQ(ex & WS_EX_DLGMODALFRAME, WS_EX_DLGMODALFRAME);
        EXPECT_EQ(GetWindowLongPtrA(dlg, GWLP_HWNDPARENT), reinterpret_cast<LONG_PTR>(owner));

        // Control layout in the dialog's client area.
        struct Place {
            HWND h;
            int x, y, w, hgt;
        } places[] = {{box->m_hPrompt, 9, 10, 160, 45},
                      {box->m_hEdit, 9, 65, 232, 18},
                      {box->m_hOK, 181, 10, 60, 21},
                      {box->m_hCancel, 181, 34, 60, 21}};
        for (const Place& p : places) {
            RECT r;
            GetWindowRect(p.h, &r);
            EXPECT_EQ(r.left - origin.x, p.x);
            EXPECT_EQ(r.top - origin.y, p.y);
            EXPECT_EQ(r.right - r.left, p.w);
            EXPECT_EQ(r.bottom - r.top, p.hgt);
        }
        EXPECT_EQ(GetDlgCtrlID(box->m_hEdit), 1028);
        EXPECT_EQ(GetDlgCtrlID(box->m_hPrompt), 1032);
        EXPECT_EQ(GetFocus(), box->m_hEdit);
        EXPECT_EQ(GetActiveWindow(), dlg);

        // The owner is disabled: clicks and keys reach neither it nor the
        // program's queue; its thread keeps refreshing it.
        EXPECT_FALSE(IsWindowEnabled(owner));
        flushmessage();
        headless::MouseDown(1, 10, 10, 1, owner);
        headless::MouseUp(1, 10, 10, owner);
        headless::PressKey(SDLK_a, 0, owner);
        Settle(owner);
        EXPECT_FALSE(peekmessage(nullptr, EX_MOUSE | EX_KEY | EX_CHAR));
        EXPECT_EQ(GetActiveWindow(), dlg) << "a click into the owner activates the dialog";
        setfillcolor(RGB(0, 200, 0));
        solidrectangle(0, 0, 399, 299);
        std::vector<uint32_t> px = NextFrame(owner);
        ASSERT_FALSE(px.empty());
        EXPECT_EQ(px[0] & 0xFFFFFF, 0x00C800u);

        b.Key(SDLK_ESCAPE);
        ASSERT_TRUE(b.Finish());
        EXPECT_FALSE(b.result());
    }
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(GetForegroundWindow(), owner);
    // Input reaches the window again.
    headless::MouseDown(1, 10, 10, 1, owner);
    Settle(owner);
    EXPECT_TRUE(peekmessage(nullptr, EX_MOUSE));
    closegraph();
}

// Without a graphics window the console window owns the dialog: centred on
// it, titled with its title; with no console either (freed), on the work area.
TEST(GlintInputBox, WithoutAWindowTheDialogIsCentredOnTheConsole) {
    ASSERT_EQ(GetHWnd(), nullptr);
    HWND con = GetConsoleWindow();
    ASSERT_NE(con, nullptr);
    RECT ref;
    GetWindowRect(con, &ref);
    char conTitle[300] = "";
    GetWindowTextA(con, conTitle, sizeof conTitle);
    Box b("", 16, nullptr, nullptr, "abc", 0, 0, true);
    POINT origin = {0, 0};
    ClientToScreen(b.dlg(), &origin);
    EXPECT_EQ(origin.x, ref.left + (ref.right - ref.left - 357) / 2);
    EXPECT_EQ(origin.y, ref.top + (ref.bottom - ref.top - 93) / 2);
    char title[300] = "x";
    GetWindowTextA(b.dlg(), title, sizeof title);
    EXPECT_STREQ(title, conTitle);
    EXPECT_FALSE(IsWindowEnabled(con)) << "the owner is disabled meanwhile";
    b.Key(SDLK_RETURN);
    ASSERT_TRUE(b.Finish());
    EXPECT_TRUE(b.result());
    EXPECT_TRUE(IsWindowEnabled(con));
}

TEST(GlintInputBox, WithoutAWindowTheDialogIsCentredOnTheWorkArea) {
    ASSERT_EQ(GetHWnd(), nullptr);
    testing::FLAGS_gtest_death_test_style = "threadsafe";
    // In a child process, as freeing the console lasts for the process.
    auto centredOnTheWorkArea = [] {
            FreeConsole();
            Box b("", 16, nullptr, nullptr, "abc", 0, 0, true);
            RECT work;
            SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
            POINT origin = {0, 0};
            ClientToScreen(b.dlg(), &origin);
            int faults = 0;
            faults += origin.x != work.left + (work.right - work.left - 357) / 2;
            faults += origin.y != work.top + (work.bottom - work.top - 93) / 2;
            char title[16] = "x";
            GetWindowTextA(b.dlg(), title, sizeof title);
            faults += title[0] != 0;
            faults += (GetWindowLongPtrA(b.dlg(), GWL_STYLE) & WS_SYSMENU) != 0;  // only OK: no close box
            b.Key(SDLK_RETURN);
            faults += !b.Finish() || !b.result() || std::strcmp(b.text(), "abc") != 0;
            std::exit(faults);
    };
    EXPECT_EXIT(centredOnTheWorkArea(), testing::ExitedWithCode(0), "");
}

}  // namespace
