// Vocabulary of a duel: actions, cultivation levels, the cost table, the
// combatant records, the action texts and the random source.
#pragma once

#include <cstdint>
#include <random>
#include <string>

// The ten actions a side can take in a round (column of the cost table).
enum Do : unsigned int {
    xiulian = 0,        // cultivate
    jingangdun = 1,     // shield
    fantandun = 2,      // reflect shield
    fantanbu = 3,       // reflect curtain
    jianzhi = 4,        // sword finger
    huofa = 5,          // fire art
    kaishanzhang = 6,   // mountain palm
    liehuolaolong = 7,  // blazing fire
    tianmindimie = 8,   // annihilation
    tupo = 9            // breakthrough
};

// Cultivation levels (row of the cost table).
enum Xiuwei : unsigned int {
    lianqi = 0,
    zhuji = 1,
    jindan = 2,
    yuanying = 3,
    huashen = 4
};

// Kinds of cultivator; every combatant is `putong`, nothing reads the kind.
enum Xiushi : unsigned int {
    putong = 0,
    xiexiu = 1,
    tixiu = 2,
    faxiu = 3
};

// Cost that marks an action as unavailable at a level (all four bytes 0x3F).
constexpr int kUnavailable = 0x3F3F3F3F;

// Spiritual power each action costs at each level; negative entries are gains.
extern int xiaohao[5][10];

// State of one combatant.
struct a_pl {
    int chu;      // action of the current round
    int xiuwei;   // cultivation level 0..4
    int leixing;  // kind of cultivator, always 0
    int jindun;   // shield-ban counter
    int lingli;   // spiritual power

    a_pl(int nowxiuwei, int plleixing);
    void clear();
};

extern a_pl AI;  // the monster
extern a_pl pl;  // the player

// Announcement texts (GBK): row 0 below huashen, row 1 at huashen; column = action.
extern std::string Doing[2][10];
extern std::string AIDoing[2][10];

// The game's random source.
struct random_32 {
    std::mt19937 rd;

    explicit random_32(unsigned int sd);
    unsigned int operator()();
    unsigned int operator()(unsigned int minn, unsigned int maxn);
};

extern random_32 rd;

// True for an action number the duels know (0..9).
inline bool is_action(int d) { return d >= 0 && d <= 9; }

// Whether side `s` can pay for action `d` (d must be 0..9, s.xiuwei 0..4).
inline bool can_pay(const a_pl& s, int d) { return s.lingli - xiaohao[s.xiuwei][d] >= 0; }

// Text announcing the player's / the monster's current action `chu`.
const std::string& player_action_text();
const std::string& monster_action_text();
