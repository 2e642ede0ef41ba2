// The practice duel (play level 0): the monster only cultivates or shields,
// pays nothing and never changes level; the player cannot lose.
#include <cstdio>
#include <string>

#include <graphics.h>

#include "game.h"
#include "screen.h"

namespace {
std::string padded(const char* text, int spaces) { return std::string(text) + std::string(spaces, ' '); }
}  // namespace

void Game_t::prompt_action(bool clear_power_line) {
    outtextxy(0, 20, "请选择你要出什么  ");
    // The early versions redraw the power line without wiping it first.
    if (clear_power_line) clearrectangle(0, 40, 300, 60);
    // Room for the 10-byte label, sign and digits of any int, and the zero.
    char lingli_str[32];
    std::snprintf(lingli_str, sizeof lingli_str, "剩余灵力：%d", pl.lingli);
    outtextxy(0, 40, lingli_str);
    pl.chu = getint();
}

void Game_t::practice_duel(bool clear_power_line) {
    for (;;) {
        prompt_action(clear_power_line);
        const int P = pl.chu;

        // Numbers outside 0..9 (27 from Esc included) are refused like an
        // action the player cannot pay for.
        if (!is_action(P) || !can_pay(pl, P)) {
            show_message("该方案不可行！！！");
            continue;
        }
        pl.lingli -= xiaohao[pl.xiuwei][P];

        const int A = AI.jindun != 0 ? 0 : static_cast<int>(rd() & 1u);
        if (AI.jindun > 0) --AI.jindun;
        const char* monster = A == 1 ? "魔物选择防御" : "魔物选择修炼";
        const std::string M10 = padded(monster, 10);
        const std::string M8 = padded(monster, 8);
        const std::string win = padded("你赢了！", 10);

        switch (P) {
        case xiulian:
            show_message(padded("你选择修炼...", 10));
            show_message(M10);
            break;
        case jianzhi:
        case kaishanzhang: {
            const std::string attack =
                P == jianzhi ? padded("你使用了剑指！", 6) : padded("你使用了开山掌！", 4);
            show_message(attack);
            show_message(M8);
            if (pl.xiuwei > 1 || A == 0) {
                show_message(win);
                return;
            }
            show_message("你的攻击被挡住了！");
            break;
        }
        case huofa:
        case liehuolaolong: {
            const std::string attack =
                P == huofa ? padded("你使用了火法！", 6) : padded("你使用了烈火燎原！", 2);
            show_message(attack);
            show_message(M8);
            if (pl.xiuwei > 1 || A == 0) {
                show_message(win);
                return;
            }
            post_message("你禁用了魔物的盾牌！");
            AI.jindun = P == huofa ? 1 : 3;
            clear_message_line();
            break;
        }
        case tupo:
            post_message(padded("你开始突破...", 5));
            ++pl.xiuwei;
            clear_message_line();
            show_message(M8);
            break;
        case tianmindimie:
            show_message("你使用了究极湮灭！");
            show_message(M8);
            show_message(win);
            return;
        default:  // shield and both reflects
            show_message(padded("你啥也没反弹到...", 1));
            show_message(M10);
            break;
        }
    }
}
