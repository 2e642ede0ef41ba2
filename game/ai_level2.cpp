// The level-2 monster: a fixed cascade over levels, power and shield bans.
#include "game.h"

int Game_t::AI_Make_Decision() {
    const int X = AI.xiuwei;
    const int P = AI.lingli;
    const int D = AI.xiuwei - pl.xiuwei;
    const int L = AI.lingli - pl.lingli;
    auto cost = [X](int a) { return xiaohao[X][a]; };

    if (X >= 4 && P >= cost(tianmindimie)) return tianmindimie;

    if (D >= 1 || L > 10) {  // advantage
        if (pl.jindun <= 0) {
            if (P >= cost(liehuolaolong)) return liehuolaolong;
            if (P >= cost(huofa)) return huofa;
        }
        if (P >= cost(kaishanzhang) && X >= 2) return kaishanzhang;
        if (P >= cost(jianzhi)) return jianzhi;
        return xiulian;
    }

    if (D == 0 && L >= -10 && L <= 10) {  // balance
        if (AI.jindun > 0) return static_cast<int>(rd(2, 3));
        if (P > cost(tupo)) return tupo;
        return static_cast<int>(rd(0, 1));
    }

    // disadvantage
    if (P >= cost(tupo) && X <= 3) return tupo;
    if (P >= cost(tupo)) return jingangdun;
    return xiulian;
}
