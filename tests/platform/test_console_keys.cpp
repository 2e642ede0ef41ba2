// Console keys: key messages posted to the console window (as the graphics
// layer forwards its window's keys) and bytes from a terminal, read with
// _getch / _kbhit / _ungetch. Expected codes are the Windows C runtime's:
// a character key gives its character, a key without one 0 or 0xE0 and then
// its BIOS code.
#include <gtest/gtest.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#include <vector>

#include <conio.h>
#include <windows.h>

#include "console.h"
#include "window_registry.h"

namespace {

// lParam of a key message: repeat 1, scan code, extended flag, key-up bits.
LPARAM KeyLParam(int scan, bool extended, bool up) {
    DWORD lp = 1u | (DWORD(scan) << 16) | (extended ? 1u << 24 : 0);
    if (up) lp |= (1u << 30) | (1u << 31);
    return LPARAM(lp);
}

struct Key {
    UINT vk;
    int scan;
    bool extended;
};
const Key kShift{VK_SHIFT, 0x2A, false}, kCtrl{VK_CONTROL, 0x1D, false}, kAlt{VK_MENU, 0x38, false};

void Post(UINT msg, const Key& k) {
    const bool up = msg == WM_KEYUP || msg == WM_SYSKEYUP;
    ASSERT_TRUE(PostMessageA(GetConsoleWindow(), msg, k.vk, KeyLParam(k.scan, k.extended, up)));
}

// Presses a key with modifiers held, as the layer forwards it.
void Press(const Key& k, std::vector<Key> mods = {}) {
    bool alt = false;
    for (const Key& m : mods) alt |= m.vk == VK_MENU;
    for (const Key& m : mods) Post(alt ? WM_SYSKEYDOWN : WM_KEYDOWN, m);
    Post(alt ? WM_SYSKEYDOWN : WM_KEYDOWN, k);
    Post(alt ? WM_SYSKEYUP : WM_KEYUP, k);
    for (auto it = mods.rbegin(); it != mods.rend(); ++it) Post(WM_KEYUP, *it);
}

// Until the console window's thread has handled what was posted.
bool WaitKbhit(bool want) {
    for (int i = 0; i < 400; ++i) {
        if ((_kbhit() != 0) == want) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

class ConsoleKeys : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(GetConsoleWindow(), nullptr);
        while (_kbhit()) _getch();
        plat::console::flush_keys();
    }
};

TEST_F(ConsoleKeys, PostedKeysGiveTheRuntimesCodes) {
    struct Case {
        const char* what;
        Key key;
        std::vector<Key> mods;
        std::vector<int> codes;
    } cases[] = {
        {"Left (grey)", {VK_LEFT, 0x4B, true}, {}, {0xE0, 75}},
        {"Left (keypad, Num Lock off)", {VK_LEFT, 0x4B, false}, {}, {0, 75}},
        {"Up", {VK_UP, 0x48, true}, {}, {0xE0, 72}},
        {"Ctrl+Up", {VK_UP, 0x48, true}, {kCtrl}, {0xE0, 141}},
        {"Alt+Up", {VK_UP, 0x48, true}, {kAlt}, {0, 152}},
        {"Delete", {VK_DELETE, 0x53, true}, {}, {0xE0, 83}},
        {"F1", {VK_F1, 0x3B, false}, {}, {0, 59}},
        {"Shift+F1", {VK_F1, 0x3B, false}, {kShift}, {0, 84}},
        {"Alt+F4", {VK_F4, 0x3E, false}, {kAlt}, {0, 107}},
        {"F11", {VK_F11, 0x57, false}, {}, {0xE0, 133}},
        {"Enter", {VK_RETURN, 0x1C, false}, {}, {13}},
        {"keypad Enter", {VK_RETURN, 0x1C, true}, {}, {13}},
        {"Esc", {VK_ESCAPE, 0x01, false}, {}, {27}},
        {"Backspace", {VK_BACK, 0x0E, false}, {}, {8}},
        {"Tab", {VK_TAB, 0x0F, false}, {}, {9}},
        {"Shift+Tab", {VK_TAB, 0x0F, false}, {kShift}, {0, 15}},
        {"a", {'A', 0x1E, false}, {}, {'a'}},
        {"Shift+a", {'A', 0x1E, false}, {kShift}, {'A'}},
        {"Shift+1", {'1', 0x02, false}, {kShift}, {'!'}},
        {"Ctrl+C", {'C', 0x2E, false}, {kCtrl}, {3}},
        {"space", {VK_SPACE, 0x39, false}, {}, {' '}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Press(c.key, c.mods);
        for (int code : c.codes) EXPECT_EQ(_getch(), code);
        // Modifiers alone and key releases gave nothing more.
        EXPECT_TRUE(WaitKbhit(false));
    }
}

TEST_F(ConsoleKeys, KbhitTakesNothingAndUngetchComesFirst) {
    Post(WM_KEYDOWN, kShift);  // a modifier alone is not a key for _kbhit
    Post(WM_KEYUP, kShift);
    EXPECT_TRUE(WaitKbhit(false));
    Press({VK_RIGHT, 0x4D, true});
    ASSERT_TRUE(WaitKbhit(true));
    EXPECT_NE(_kbhit(), 0) << "asking again still finds it";
    EXPECT_EQ(_getch(), 0xE0);
    EXPECT_NE(_kbhit(), 0) << "the second code waits";
    EXPECT_EQ(_ungetch('x'), EOF) << "one code can be pushed back at a time";
    EXPECT_EQ(_getch(), 77);
    EXPECT_EQ(_kbhit(), 0);

    EXPECT_EQ(_ungetch('x'), 'x');
    EXPECT_NE(_kbhit(), 0);
    Press({'B', 0x30, false});
    EXPECT_EQ(_getch(), 'x');
    EXPECT_EQ(getch(), 'b');  // the old name
}

TEST_F(ConsoleKeys, ConsoleWindowStaysOffTheScreen) {
    HWND con = GetConsoleWindow();
    EXPECT_EQ(FindWindowA("ConsoleWindowClass", nullptr), con);
    EXPECT_TRUE(IsWindowVisible(con));
    EXPECT_EQ(plat::backend_id_of(con), 0u) << "no window of the backend";
    RECT rc;
    ASSERT_TRUE(GetWindowRect(con, &rc));
    EXPECT_EQ(rc.left, 0);
    EXPECT_EQ(rc.top, 0);
    // A process that has a console cannot allocate another.
    SetLastError(0);
    EXPECT_FALSE(AllocConsole());
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_EQ(GetConsoleWindow(), con);
}

TEST_F(ConsoleKeys, TerminalBytesBecomeKeysInRawMode) {
    int master, slave;
    ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    int saved = dup(STDIN_FILENO);
    ASSERT_EQ(dup2(slave, STDIN_FILENO), STDIN_FILENO);
    EXPECT_EQ(_kbhit(), 0);  // the first look puts the terminal in raw mode
    // Arrows (normal and application mode), F1, Ctrl+Right, Delete, a
    // character, Enter as CR, Backspace as DEL, a lone Esc.
    const char typed[] = "\x1b[A\x1bOB\x1bOP\x1b[1;5C\x1b[3~q\r\x7f";
    ASSERT_EQ(write(master, typed, sizeof typed - 1), ssize_t(sizeof typed - 1));
    const int want[] = {0xE0, 72, 0xE0, 80, 0, 59, 0xE0, 116, 0xE0, 83, 'q', 13, 8};
    for (int w : want) EXPECT_EQ(_getch(), w);
    struct termios t;
    ASSERT_EQ(tcgetattr(STDIN_FILENO, &t), 0);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO), 0u) << "raw while the program reads keys";
    ASSERT_EQ(write(master, "\x1b", 1), 1);
    EXPECT_EQ(_getch(), 27) << "Esc alone, once no sequence follows";
    plat::console::restore_terminal();
    ASSERT_EQ(tcgetattr(STDIN_FILENO, &t), 0);
    EXPECT_NE(t.c_lflag & ICANON, 0u) << "restored";
    dup2(saved, STDIN_FILENO);
    close(saved);
    close(slave);
    close(master);
}

}  // namespace
