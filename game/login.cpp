// Version entry points: optional log-in, then the loop of play levels.
#include <string>

#include <graphics.h>

#include "game.h"
#include "screen.h"

namespace {
void common_start() {
    cleardevice();
    setbkcolor(0xFFFFFF);
    settextcolor(0x000000);
    cleardevice();
}
}  // namespace

void Game_t::level_loop(bool early_version, bool draw_prompt) {
    for (;;) {
        cleardevice();
        if (draw_prompt) outtextxy(0, 20, "请输入玩法等级，-1为规则说明，Esc退出");
        const int level = getint();
        if (level == 27) return;
        if (early_version)
            _do_play_defv(level);
        else
            _do_play_v_1_0_0(level);
    }
}

// Asks for a name and password until the name is unknown or the password
// matches. Only version 1.0.0 makes the account the logged-in one.
void Game_t::login(bool is_v_1_0_0) {
    for (;;) {
        outtextxy(0, 20, "请输入大侠道号");
        const std::string name = getstring(false);
        int index = 0;
        while (index < 6 && defuserlist[index].name != name) ++index;

        clearrectangle(0, 20, 300, 40);
        outtextxy(0, 20, "请输入暗号");
        const std::string password = getstring(true);

        if (index == 6) {
            outtextxy(0, 20, "欢迎您，无名侠客");
            Sleep(1111);
            return;
        }
        const User& account = defuserlist[index];
        if (password != account.password) {
            outtextxy(0, 20, "道号或暗号错误！");
            Sleep(1111);
            continue;
        }
        std::string greeting;
        if (account.quanxian == youke)
            greeting = is_v_1_0_0 ? "欢迎您，侠客家" : "欢迎您，侠客";
        else if (account.quanxian == neice)
            greeting = "欢迎您，尊敬的大侠";
        else
            greeting = "欢迎您，造世者";
        greeting += account.name;
        if (is_v_1_0_0) user1 = account;
        outtextxy(0, 20, greeting.c_str());
        Sleep(1111);
        clearrectangle(0, 20, 300, 40);
        return;
    }
}

void Game_t::work_v_0_0_1() {
    common_start();
    level_loop(true, false);
}

void Game_t::work_v_0_0_2() {
    common_start();
    level_loop(true, true);
}

void Game_t::work_v_0_0_3() {
    common_start();
    login(false);
    level_loop(true, true);
}

void Game_t::work_v_1_0_0() {
    common_start();
    login(true);
    level_loop(false, true);
}
