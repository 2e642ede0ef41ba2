// The window and the console: the graphics window opens where the console
// window is and hides it, the window's keys reach the console (read with
// _getch as two codes for an arrow), and closegraph shows the console again
// where the window was.
#include <SDL2/SDL_keycode.h>
#include <gtest/gtest.h>

#include <conio.h>

#include "glint_test_util.h"
#include "graphics.h"

namespace {

TEST(GlintConsole, WindowTakesTheConsolesPlaceAndForwardsItsKeys) {
    HWND con = GetConsoleWindow();
    ASSERT_NE(con, nullptr);
    RECT conRect;
    GetWindowRect(con, &conRect);
    while (_kbhit()) _getch();

    HWND hwnd = initgraph(200, 100);
    RECT win;
    GetWindowRect(hwnd, &win);
    EXPECT_EQ(win.left, conRect.left < 0 ? 0 : conRect.left);
    EXPECT_EQ(win.top, conRect.top < 0 ? 0 : conRect.top);
    EXPECT_FALSE(IsWindowVisible(con)) << "hidden while the window has its place";

    headless::PressKey(SDLK_LEFT, 0, hwnd);
    headless::PressKey(SDLK_RETURN, 0, hwnd);
    headless::PressKey(SDLK_x, 0, hwnd);
    glint_test::Settle(hwnd);
    EXPECT_EQ(_getch(), 0xE0);
    EXPECT_EQ(_getch(), 75);
    EXPECT_EQ(_getch(), 13);
    EXPECT_EQ(_getch(), 'x');
    // The layer's own queue has the key messages too.
    ExMessage m;
    ASSERT_TRUE(peekmessage(&m, EX_KEY));
    EXPECT_EQ(m.vkcode, VK_LEFT);

    // Moved by the user, then closed by the program: the console comes back at the window's place.
    headless::MoveWindowTo(150, 90, hwnd);
    glint_test::Settle(hwnd);
    GetWindowRect(hwnd, &win);
    closegraph();
    EXPECT_TRUE(IsWindowVisible(con));
    RECT after;
    GetWindowRect(con, &after);
    EXPECT_EQ(after.left, win.left);
    EXPECT_EQ(after.top, win.top);
    EXPECT_EQ(after.right - after.left, conRect.right - conRect.left) << "size unchanged";

    // A second window opens where the first one was.
    hwnd = initgraph(50, 50);
    RECT again;
    GetWindowRect(hwnd, &again);
    EXPECT_EQ(again.left, win.left);
    EXPECT_EQ(again.top, win.top);
    closegraph();
}

}  // namespace
