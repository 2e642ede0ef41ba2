// Judgement of a round from both sides' actions and levels (after this
// round's breakthroughs): 1 the monster dies, -1 the player dies, 0 go on.
#include <initializer_list>

#include "game.h"

namespace {
bool is_attack(int d) { return d >= 4 && d <= 8; }  // jianzhi .. tianmindimie
bool in(int v, std::initializer_list<int> set) {
    for (int s : set)
        if (v == s) return true;
    return false;
}
}  // namespace

int Game_t::killed() {
    const int P = pl.chu, A = AI.chu;
    const int p = pl.xiuwei, a = AI.xiuwei;
    switch (A) {
    case xiulian:
    case tupo:
        return (is_attack(P) && a - p <= 1) ? 1 : 0;
    case jingangdun:
        if (!is_attack(P)) return 0;
        if (p - a >= 2) return 1;
        if (p == 4 && a <= 3) return 1;
        return 0;
    case fantandun:
        if (in(P, {5, 7, 8})) return 1;
        if (in(P, {4, 6})) return p - a >= 2 ? 1 : -1;
        return 0;
    case fantanbu:
        if (in(P, {4, 6, 8})) return 1;
        if (in(P, {5, 7})) return p - a >= 2 ? 1 : -1;
        return 0;
    case jianzhi:
        if (a - p >= 2) return -1;
        if (p - a <= 1 && in(P, {0, 3, 9})) return -1;
        if (P == 4 && p < a) return -1;
        if (P == 5 && p <= a) return -1;
        if (in(P, {2, 6, 7, 8})) return 1;
        if (in(P, {4, 5}) && p > a) return 1;
        return 0;
    case huofa:
        if (a - p >= 2) return -1;
        if (p - a <= 1 && in(P, {0, 2, 9})) return -1;
        if (in(P, {4, 5}) && p < a) return -1;
        if (in(P, {3, 6, 7, 8})) return 1;
        if (P == 4 && p >= a) return 1;
        if (P == 5 && p > a) return 1;
        return 0;
    case kaishanzhang:
        if (a - p >= 2) return -1;
        if (p - a <= 1 && in(P, {0, 3, 4, 5, 9})) return -1;
        if (P == 6 && p < a) return -1;
        if (P == 7 && p <= a) return -1;
        if (P == 2) return 1;
        if (in(P, {6, 7}) && p > a) return 1;
        if (P == 8) return 1;
        return 0;
    case liehuolaolong:
        if (a - p >= 2) return -1;
        if (p - a <= 1 && in(P, {0, 3, 4, 5, 9})) return -1;
        if (in(P, {6, 7}) && p < a) return -1;
        if (P == 2) return 1;
        if (P == 6 && p >= a) return 1;
        if (P == 7 && p > a) return 1;
        if (P == 8) return 1;
        return 0;
    case tianmindimie:
        if (p <= 3) return -1;
        return in(P, {1, 8}) ? 0 : -1;
    default:
        return 0;
    }
}
