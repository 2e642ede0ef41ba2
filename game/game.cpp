#include "game.h"

Game_t::Game_t()
    : history_max_len(8),
      behavior_weight{},
      kill_weight(0.6f),
      cost_weight(0.2f),
      risk_weight(0.15f),
      upgrade_weight(0.05f) {}

Game_t::~Game_t() {}

void Game_t::init() {
    AI = a_pl(0, 0);
    pl = a_pl(0, 0);
    mp["version-def-0.0.1"] = defv_0_0_1;
    mp["version-def-0.0.2"] = defv_0_0_2;
    mp["version-def-0.0.3"] = defv_0_0_3;
    mp["version-1.0.0"] = v_0_0_1;
    player_history.clear();
    for (float& w : behavior_weight) w = 0.0f;
    cur_situation = BALANCE;
}
