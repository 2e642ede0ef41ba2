// Play levels of version 1.0.0: practice (0), rules (-1), duels against the
// monster (1: random choices, 2: rule-based AI); higher levels are refused.
#include <graphics.h>

#include "game.h"
#include "screen.h"

namespace {
void loss_ending() {
    show_message("你输了！");
    show_message("还好有宗门之人来接应你，否则你就死了");
}
}  // namespace

void Game_t::_do_play_v_1_0_0(int level) {
    pl.clear();
    AI.clear();
    player_history.clear();
    if (user1.name != kGuestName) pl.xiuwei = user1.genji;
    outtextxy(0, 0, kTitle);

    if (level == 0) {
        practice_duel(true);
    } else if (level > 2) {
        // Level 3 (the scoring AI) is not open yet; monster_duel(3) plays it.
        refuse_level();
    } else if (level == -1) {
        show_rules();
    } else if (level == 1 || level == 2) {
        monster_duel(level);
    }
}

// One duel against the monster. Level 1 draws the monster's action at random,
// level 2 asks AI_Make_Decision, level 3 asks AI_Make_Decision_level_3 and
// records the player's actions for its behaviour model.
void Game_t::monster_duel(int level) {
    for (;;) {
        prompt_action(true);
        const int P = pl.chu;
        // Numbers outside 0..9 (27 from Esc included) are refused like an
        // action the player cannot pay for; nothing else changes.
        if (!is_action(P) || !can_pay(pl, P)) {
            show_message("该方案不可行！！！");
            continue;
        }
        clear_message_line();

        int A = xiulian;
        if (AI.lingli != 0) {
            if (AI.xiuwei - pl.xiuwei > 1) {
                // Pre-emptive strike: two levels above, the monster strikes first.
                AI.chu = jianzhi;
                show_message(player_action_text());
                show_message("魔物使用了剑指！      ");
                loss_ending();
                return;
            }
            if (AI.jindun != 0) --AI.jindun;
            if (level == 1) {
                do {
                    A = static_cast<int>(rd() % 10u);
                } while (!can_pay(AI, A) || (A == jingangdun && AI.jindun != 0));
            } else if (level == 2) {
                A = AI_Make_Decision();
            } else {
                A = AI_Make_Decision_level_3();
            }
        }
        AI.chu = A;

        AI.lingli -= xiaohao[AI.xiuwei][A];
        if (A == tupo) ++AI.xiuwei;
        pl.lingli -= xiaohao[pl.xiuwei][P];
        if (P == tupo) ++pl.xiuwei;
        if (P == huofa && A == jingangdun) AI.jindun += 1;
        if (P == liehuolaolong && A == jingangdun) AI.jindun += 3;
        if (A == huofa && P == jingangdun) pl.jindun += 1;
        if (A == liehuolaolong && P == jingangdun) pl.jindun += 3;

        show_message(player_action_text());
        show_message(monster_action_text());

        const int verdict = killed();
        if (verdict == 1) {
            show_message("你赢了！");
            return;
        }
        if (verdict == -1) {
            loss_ending();
            return;
        }
        if (level == 3) {
            player_history.push_back(P);
            if (static_cast<int>(player_history.size()) > history_max_len)
                player_history.erase(player_history.begin());
        }
    }
}
