// The version menu, the entry points and the log-in dialogue.
#include <gtest/gtest.h>

#include <SDL2/SDL_keycode.h>

#include <string>

#include <graphics.h>

#include "game.h"
#include "session.h"

using session::Program;

namespace {
const char* const kLevelPrompt = "请输入玩法等级，-1为规则说明，Esc退出";

void ExpectMenu(Program& prog) {
    EXPECT_TRUE(prog.ShowsExactly(0, "Lumenvale"));
    EXPECT_TRUE(prog.Blank(20));
    EXPECT_TRUE(prog.ShowsExactly(40, "请选择版本，如没有版本则默认最新"));
    EXPECT_TRUE(prog.ShowsExactly(60, "Exit退出"));
}

// What the echo line shows after `text` is drawn over `echo` without a wipe:
// the text, then the part of the echo beyond its width.
std::string Over(const std::string& text, const std::string& echo) {
    const int cell = session::Render(echo.substr(0, 1)).text_width;
    const int width = session::Render(text).text_width;
    EXPECT_EQ(width % cell, 0) << text;
    const size_t covered = static_cast<size_t>(width / cell);
    return covered < echo.size() ? text + echo.substr(covered) : text;
}
}  // namespace

TEST(Menu, ExitEndsTheLoopAndEscReturnsToTheMenu) {
    int passes = 0;
    {
        Program prog([&] {
            Game_t game1;
            while (game1.run()) ++passes;
        });
        ExpectMenu(prog);
        prog.Type("version-1.0.0\n");
        EXPECT_TRUE(prog.ShowsExactly(20, "请输入大侠道号"));
        prog.Type("nobody\n");
        EXPECT_TRUE(prog.ShowsExactly(20, "请输入暗号"));
        prog.Type("x\n");
        EXPECT_TRUE(prog.ShowsExactly(20, kLevelPrompt));
        prog.Type("27\n");  // a typed 27 leaves like Esc
        ExpectMenu(prog);  // white, cleared, no stale keys
        prog.Type("Exit\n");
        EXPECT_TRUE(prog.Finish());
    }
    EXPECT_EQ(passes, 1);
    EXPECT_EQ(user1.name, "YouKeZhangHao");  // a nameless log-in changes nothing
}

TEST(Menu, UnlistedNamesAndEscStartVersion100) {
    bool first = false, second = false;
    {
        Program prog(
            [&] {
                Game_t g;
                first = g.run();
                second = g.run();
            },
            /*real_clock=*/true);
        // "Exit" followed by a blank is not "Exit".
        prog.Send("Exit \n");
        EXPECT_TRUE(prog.ShowsExactly(20, "正在启动version-1.0.0"));
        prog.Idle();
        EXPECT_TRUE(prog.ShowsExactly(20, "请输入大侠道号"));
        prog.Key(SDLK_ESCAPE);  // an empty name is not in the list
        EXPECT_TRUE(prog.ShowsExactly(20, "请输入暗号"));
        prog.SendKey(SDLK_ESCAPE);
        EXPECT_TRUE(prog.ShowsExactly(20, "欢迎您，无名侠客"));
        prog.Idle();
        EXPECT_TRUE(prog.ShowsExactly(20, kLevelPrompt));
        prog.Key(SDLK_ESCAPE);

        // Esc at the menu with text typed ends the entry like Enter.
        ExpectMenu(prog);
        // The start message is drawn over the echo of a longer name.
        const std::string name = "exit-by-a-name-longer-than-the-text";
        prog.Type(name);
        prog.SendKey(SDLK_ESCAPE);
        EXPECT_TRUE(prog.ShowsExactly(20, Over("正在启动version-1.0.0", name)));
        prog.Idle();
        prog.Key(SDLK_ESCAPE);
        prog.Key(SDLK_ESCAPE);
        EXPECT_TRUE(prog.ShowsExactly(20, kLevelPrompt));
        prog.Key(SDLK_ESCAPE);
    }
    EXPECT_TRUE(first);
    EXPECT_TRUE(second);
}

TEST(Menu, EarlyVersionEntries) {
    {
        Program prog(
            [&] {
                Game_t g;
                for (int i = 0; i < 3; ++i) g.run();
            },
            /*real_clock=*/true);
        prog.Send("version-def-0.0.2\n");
        EXPECT_TRUE(prog.ShowsExactly(20, "正在启动version-def-0.0.2"));
        prog.Idle();
        EXPECT_TRUE(prog.ShowsExactly(0, "Lumenvale"));
        EXPECT_TRUE(prog.ShowsExactly(20, kLevelPrompt));
        EXPECT_TRUE(prog.Blank(40));
        prog.Key(SDLK_ESCAPE);

        // version-def-0.0.1 shows only the title until a key is pressed.
        prog.Type("version-def-0.0.1\n");
        EXPECT_TRUE(prog.ShowsExactly(0, "Lumenvale"));
        EXPECT_TRUE(prog.Blank(20));
        prog.Key(SDLK_ESCAPE);

        // version-def-0.0.3 logs in; the greeting, but user1 stays the guest.
        prog.Type("version-def-0.0.3\n");
        EXPECT_TRUE(prog.ShowsExactly(20, "请输入大侠道号"));
        prog.Type("morvellan\n");
        prog.Send("!QW3)7R>+N\n");
        EXPECT_TRUE(prog.ShowsExactly(20, "欢迎您，尊敬的大侠morvellan"));
        prog.Idle();
        EXPECT_TRUE(prog.ShowsExactly(20, kLevelPrompt));
        prog.Key(SDLK_ESCAPE);
        EXPECT_TRUE(prog.Finish());
    }
    EXPECT_EQ(user1.name, "YouKeZhangHao");
}

TEST(Login, WrongPasswordRetriesThenAdministratorGreeting) {
    {
        Program prog(
            [&] {
                Game_t g;
                g.work_v_1_0_0();
            },
            /*real_clock=*/true);
        EXPECT_TRUE(prog.ShowsExactly(20, "请输入大侠道号"));
        prog.Type("kestrel_v\n");
        prog.Type("_tek");
        EXPECT_TRUE(prog.ShowsExactly(20, "****"));
        // The message is drawn over the masked echo without wiping it.
        prog.Type("4590$-and-some-more-letters");
        prog.Send("\n");
        EXPECT_TRUE(prog.ShowsExactly(20, Over("道号或暗号错误！", std::string(31, '*'))));
        prog.Idle();
        // The name prompt is drawn over the message without wiping the line.
        EXPECT_TRUE(prog.Shows(20, "请输入大侠道号"));
        prog.Type("kestrel_v\n");
        prog.Send("_tek4590$\n");
        EXPECT_TRUE(prog.ShowsExactly(20, "欢迎您，造世者kestrel_v"));
        prog.Idle();
        EXPECT_TRUE(prog.ShowsExactly(20, kLevelPrompt));
        prog.Key(SDLK_ESCAPE);
        EXPECT_TRUE(prog.Finish());
    }
    EXPECT_EQ(user1.name, "kestrel_v");
    EXPECT_EQ(user1.genji, 4);
    EXPECT_EQ(user1.quanxian, guanliyuan);
}

TEST(Login, GuestNameIsNotAnAccountAndNeiceGreetingInVersion100) {
    {
        Program prog(
            [&] {
                Game_t g;
                g.work_v_1_0_0();
                flushmessage(0xFF);  // the Esc's character message, as run() does
                g.work_v_1_0_0();
            },
            /*real_clock=*/true);
        prog.Type("YouKeZhangHao\n");
        prog.Send("BlankQuill-with-a-long-tail-1234\n");
        EXPECT_TRUE(prog.ShowsExactly(20, Over("欢迎您，无名侠客", std::string(32, '*'))));
        prog.Idle();
        prog.Key(SDLK_ESCAPE);
        prog.Type("pemberfold\n");
        prog.Send("~k-4mUS-5\n");
        EXPECT_TRUE(prog.ShowsExactly(20, "欢迎您，尊敬的大侠pemberfold"));
        prog.Idle();
        prog.Key(SDLK_ESCAPE);
        EXPECT_TRUE(prog.Finish());
    }
    EXPECT_EQ(user1.name, "pemberfold");
    EXPECT_EQ(user1.genji, 0);
}
