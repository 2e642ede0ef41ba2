// The version menu: one pass per call of run().
#include <string>

#include <graphics.h>

#include "game.h"
#include "screen.h"

bool Game_t::run() {
    init();
    setbkcolor(0xFFFFFF);
    settextcolor(0x000000);
    cleardevice();
    // Keys pressed during the previous game must not reach the menu.
    flushmessage(0xFF);

    outtextxy(0, 0, kTitle);
    outtextxy(0, 40, "请选择版本，如没有版本则默认最新");
    outtextxy(0, 60, "Exit退出");

    std::string name = getstring(false);
    if (mp.count(name)) {
        outtextxy(0, 20, ("正在启动" + name).c_str());
    } else if (name == "Exit") {
        return false;
    } else {
        outtextxy(0, 20, "正在启动version-1.0.0");
        name = "version-1.0.0";
    }
    Sleep(1111);

    switch (mp[name]) {
    case defv_0_0_1:
        work_v_0_0_1();
        break;
    case defv_0_0_2:
        work_v_0_0_2();
        break;
    case defv_0_0_3:
        work_v_0_0_3();
        break;
    default:
        work_v_1_0_0();
        break;
    }
    return true;
}
