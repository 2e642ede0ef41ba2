// Game_t, the one game object: menu, log-in, text entry, duels and the AI.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "accounts.h"
#include "vocabulary.h"

// The four rule versions. The fourth enumerator stands for "version-1.0.0".
enum Versions : unsigned int {
    defv_0_0_1 = 0,
    defv_0_0_2 = 1,
    defv_0_0_3 = 2,
    v_0_0_1 = 3
};

// Typed version name -> Versions value; filled by Game_t::init.
extern std::map<std::string, int> mp;

class Game_t {
public:
    // How the duel stands, seen from the monster's side.
    enum Situation : unsigned int {
        BIG_LOSE = 0,
        LITTLE_LOSE = 1,
        BALANCE = 2,
        LITTLE_WIN = 3,
        BIG_WIN = 4
    };

    std::vector<int> player_history;  // the player's last actions, oldest first
    int history_max_len;
    float behavior_weight[10];
    Situation cur_situation;
    const float kill_weight;
    const float cost_weight;
    const float risk_weight;
    const float upgrade_weight;

    Game_t();
    ~Game_t();

    // Player behaviour model.
    void update_player_behavior();
    int predict_player_op();
    Situation evaluate_situation();

    // Monster decisions.
    int AI_Make_Decision();
    float calculate_op_benefit(int op);
    int AI_Make_Decision_level_3();

    // Menu.
    void init();
    bool run();

    // Version entry points.
    void work_v_0_0_3();
    void work_v_0_0_2();
    void work_v_0_0_1();
    void work_v_1_0_0();

    // Text entry on the graphics window.
    int getint();
    std::string getstring(bool yincang);

    // Duels.
    int killed();
    void _do_play_v_1_0_0(int level);
    void _do_play_defv(int level);

    // Steps shared by the entry points and the duels.
    void login(bool is_v_1_0_0);
    void level_loop(bool early_version, bool draw_prompt);
    void prompt_action(bool clear_power_line);
    void practice_duel(bool clear_power_line);
    void monster_duel(int level);
};
