// getint and getstring driven by key presses in the headless window.
#include <gtest/gtest.h>

#include <SDL2/SDL_keycode.h>

#include <graphics.h>

#include <climits>
#include <string>
#include <vector>

#include "game.h"
#include "platform/headless.h"
#include "session.h"

using session::Program;

TEST(GetInt, NumbersSignsAndFinishingKeys) {
    std::vector<int> got;
    const int kEntries = 10;
    {
        Program prog([&] {
            session::WhiteScreen();
            Game_t g;
            for (int i = 0; i < kEntries; ++i) got.push_back(g.getint());
        });
        EXPECT_TRUE(prog.ShowsExactly(0, "Lumenvale"));
        prog.Type("\n");         // empty: 0
        prog.Type("\t");         // Tab finishes too
        prog.Type(" ");          // and Space
        prog.Type("27\n");       // 27, the callers' Esc
        prog.Type("-5");
        EXPECT_TRUE(prog.ShowsExactly(20, "-5"));
        prog.Type("-");          // minus after a digit does nothing
        EXPECT_TRUE(prog.ShowsExactly(20, "-5"));
        prog.Type("\n");
        prog.Type("007\n");
        prog.Type("12\b3\n");    // Backspace removes the 2
        prog.Key(SDLK_INSERT);   // Insert types a minus sign too
        prog.Type("4\n");
        prog.Key(SDLK_ESCAPE);
        prog.Type("-\n");        // a lone minus sign counts as empty
    }
    EXPECT_EQ(got, (std::vector<int>{0, 0, 0, 27, -5, 7, 13, -4, 27, 0}));
}

TEST(GetInt, KeypadIgnoredAndIntRangeKept) {
    std::vector<int> got;
    {
        Program prog([&] {
            session::WhiteScreen();
            Game_t g;
            for (int i = 0; i < 4; ++i) got.push_back(g.getint());
        });
        prog.Key(SDLK_KP_5);
        prog.Key(SDLK_KP_9);
        prog.Type("3\n");
        // A digit that would leave the int range is ignored.
        prog.Type("2147483648");
        EXPECT_TRUE(prog.ShowsExactly(20, "214748364"));
        prog.Type("7");
        EXPECT_TRUE(prog.ShowsExactly(20, "2147483647"));
        prog.Type("9\n");
        prog.Type("-21474836489");
        EXPECT_TRUE(prog.ShowsExactly(20, "-2147483648"));
        prog.Type("\n");
        prog.Type("00000000000000000000012\n");  // leading zeros do not count
    }
    EXPECT_EQ(got, (std::vector<int>{3, INT_MAX, INT_MIN, 12}));
}

TEST(GetInt, PromptStaysUntilFirstKey) {
    int got = -1;
    Program prog([&] {
        session::WhiteScreen();
        outtextxy(0, 20, "请选择你要出什么  ");
        Game_t g;
        got = g.getint();
    });
    EXPECT_TRUE(prog.ShowsExactly(20, "请选择你要出什么  "));
    // The line check tells texts apart.
    EXPECT_FALSE(prog.Shows(20, "请选择你要出么", 50));
    EXPECT_FALSE(prog.ShowsExactly(20, "请选择你要出什", 50));
    EXPECT_FALSE(prog.Blank(20, 50));
    prog.Key(SDLK_KP_1);  // not a digit for getint, but the echo is redrawn
    EXPECT_TRUE(prog.Blank(20));
    prog.Type("8\n");
    EXPECT_TRUE(prog.Finish());
    EXPECT_EQ(got, 8);
}

TEST(GetString, EscEndsLikeEnterAndOtherInputIsIgnored) {
    std::vector<std::string> got;
    {
        Program prog([&] {
            session::WhiteScreen();
            Game_t g;
            for (int i = 0; i < 3; ++i) got.push_back(g.getstring(false));
        });
        prog.Type("abc\x1b");
        prog.Type("\x1b");
        headless::MouseMove(10, 10);
        headless::MouseDown(1, 10, 10);
        headless::MouseUp(1, 10, 10);
        prog.Type("Exit ");
        prog.Key(SDLK_LEFT);
        EXPECT_TRUE(prog.ShowsExactly(20, "Exit "));
        headless::Text(u8"你");
        prog.Idle();
        EXPECT_TRUE(prog.ShowsExactly(20, "Exit 你"));
        prog.Type("\n");
    }
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0], "abc");
    EXPECT_EQ(got[1], "");
    EXPECT_EQ(got[2], "Exit 你");  // GBK bytes
}

TEST(GetString, MaskedEchoAndBackspaceRemovesWholeCharacters) {
    std::vector<std::string> got;
    {
        Program prog([&] {
            session::WhiteScreen();
            Game_t g;
            for (int i = 0; i < 3; ++i) got.push_back(g.getstring(true));
        });
        // A GBK character is two bytes, two asterisks; one Backspace removes both.
        prog.Type("ab");
        headless::Text(u8"你");
        prog.Idle();
        EXPECT_TRUE(prog.ShowsExactly(20, "****"));
        prog.Type("\b");
        EXPECT_TRUE(prog.ShowsExactly(20, "**"));
        prog.Type("\n");

        // 丂 is 0x81 0x40: its second byte is printable ASCII, yet Backspace
        // still removes the whole character and nothing before it.
        prog.Type("x");
        headless::Text(u8"丂");
        prog.Idle();
        EXPECT_TRUE(prog.ShowsExactly(20, "***"));
        prog.Type("\b");
        EXPECT_TRUE(prog.ShowsExactly(20, "*"));
        prog.Type("\n");

        // A control byte (Tab) is one character of its own.
        prog.Type("pq\t");
        EXPECT_TRUE(prog.ShowsExactly(20, "***"));
        prog.Type("\b");
        EXPECT_TRUE(prog.ShowsExactly(20, "**"));
        prog.Type("\b\b\b");  // Backspace on an empty entry does nothing
        EXPECT_TRUE(prog.Blank(20));
        prog.Type("z\n");
    }
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0], "ab");
    EXPECT_EQ(got[1], "x");
    EXPECT_EQ(got[2], "z");
}
