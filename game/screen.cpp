#include "screen.h"

#include <graphics.h>

const char* const kTitle = "Lumenvale";

void post_message(const std::string& text) {
    outtextxy(0, 20, text.c_str());
    Sleep(1111);
}

void show_message(const std::string& text) {
    post_message(text);
    clear_message_line();
}

void clear_message_line() { clearrectangle(0, 20, 300, 40); }

void refuse_level() {
    outtextxy(0, 20, "更高等级玩法暂未开放！");
    Sleep(1111);
    outtextxy(0, 20, std::string(22, ' ').c_str());
}

void show_rules() {
    static const char* const lines[7] = {
        "以下为规则：",
        "1.初始输入一个数代表等级",
        "2.之后输入数字代表操作： 0代表",
        "  修炼，1代表防御，2为反弹之盾，",
        "  3为反弹幕布，4为剑指，5为火法",
        "  ，6为开山掌，7为烈火燎原，8为",
        "  究极湮灭，9为突破。",
    };
    for (int i = 0; i < 7; ++i) outtextxy(0, 20 + 20 * i, lines[i]);
    // A key's press and its release are two messages.
    getmessage(EX_KEY);
    getmessage(EX_KEY);
}
