// The monster's model of the player: habit weights from the recent actions,
// a prediction of the next action, and a judgement of how the duel stands.
#include "game.h"

void Game_t::update_player_behavior() {
    for (float& w : behavior_weight) w = 0.0f;
    if (player_history.empty()) return;
    const int n = static_cast<int>(player_history.size());
    // Older entries weigh more: the oldest adds 1.0, each newer one a little less.
    for (int i = 0; i < n; ++i) {
        float decay = 1.0f - static_cast<float>(i) / static_cast<float>(2 * n);
        behavior_weight[player_history[i]] += decay;
    }
}

int Game_t::predict_player_op() {
    update_player_behavior();
    int best = xiulian;
    float best_weight = 0.0f;
    for (int a = 0; a < 10; ++a) {
        if (pl.lingli - xiaohao[pl.xiuwei][a] >= 0 && behavior_weight[a] > best_weight) {
            best = a;
            best_weight = behavior_weight[a];
        }
    }
    return best;
}

Game_t::Situation Game_t::evaluate_situation() {
    const int D = AI.xiuwei - pl.xiuwei;
    const int L = AI.lingli - pl.lingli;
    if (D >= 2 || (D >= 1 && L >= 20) || (AI.jindun > 0 && pl.jindun <= 0 && D >= 0)) return BIG_WIN;
    if (D >= 1 || (L >= 10 && D >= 0)) return LITTLE_WIN;
    if (D <= -2 || (D <= -1 && L <= -20) || (AI.jindun <= 0 && pl.jindun > 0 && D <= 0)) return BIG_LOSE;
    if (D <= -1 || (L <= -10 && D <= 0)) return LITTLE_LOSE;
    return BALANCE;
}
