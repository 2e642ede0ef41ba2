// The level-3 monster: every action gets a weighted score from its chance to
// hit the predicted player action, its cost, its risk and a breakthrough
// bonus; the best scores, with a 20-in-101 chance the second best.
#include <algorithm>
#include <initializer_list>
#include <utility>
#include <vector>

#include "game.h"

namespace {
bool in(int v, std::initializer_list<int> set) {
    for (int s : set)
        if (v == s) return true;
    return false;
}
}  // namespace

float Game_t::calculate_op_benefit(int op) {
    const int cost = xiaohao[AI.xiuwei][op];
    if (AI.lingli - cost < 0 || (op == jingangdun && AI.jindun > 0)) return -1000.0f;

    const int Pr = predict_player_op();
    const int Dl = AI.xiuwei - pl.xiuwei;
    const int El = pl.xiuwei - AI.xiuwei;
    const int p = pl.xiuwei, a = AI.xiuwei;

    float kill_prob = 0.0f;
    switch (op) {
    case xiulian:
    case tupo:
        kill_prob = (Pr <= 3 || Pr == 9 || Dl >= 2) ? 1.0f : 0.0f;
        break;
    case jingangdun:
        if (Pr <= 3 || Pr == 9) kill_prob = 1.0f;
        else if (El >= 2) kill_prob = 0.0f;
        else if (p == 4 && a <= 3) kill_prob = 0.0f;
        else kill_prob = 1.0f;
        break;
    case fantandun:
        if (in(Pr, {5, 7, 8})) kill_prob = 0.0f;
        else if (in(Pr, {4, 6})) kill_prob = El >= 2 ? 0.0f : 1.0f;
        else kill_prob = 0.5f;
        break;
    case fantanbu:
        if (in(Pr, {4, 6, 8})) kill_prob = 0.0f;
        else if (in(Pr, {5, 7})) kill_prob = El >= 2 ? 0.0f : 1.0f;
        else kill_prob = 0.5f;
        break;
    case jianzhi:
        kill_prob = (Dl >= 2 || (El <= 1 && in(Pr, {0, 3, 9})) || (Pr == 4 && p < a) ||
                     (Pr == 5 && p <= a))
                        ? 1.0f
                        : 0.0f;
        break;
    case huofa:
        kill_prob = (Dl >= 2 || (El <= 1 && in(Pr, {0, 2, 9})) || (Pr == 5 && p < a) ||
                     (Pr == 4 && p < a))
                        ? 1.0f
                        : 0.0f;
        break;
    case kaishanzhang:
        kill_prob = (Dl >= 2 || (El <= 1 && in(Pr, {0, 3, 4, 5, 9})) || (Pr == 6 && p < a) ||
                     (Pr == 7 && p <= a))
                        ? 1.0f
                        : 0.0f;
        break;
    case liehuolaolong:
        kill_prob = (Dl >= 2 || (El <= 1 && in(Pr, {0, 3, 4, 5, 9})) || (Pr == 6 && p < a) ||
                     (Pr == 7 && p < a))
                        ? 1.0f
                        : 0.0f;
        break;
    case tianmindimie:
        kill_prob = (p >= 4 && in(Pr, {1, 8})) ? 0.5f : 1.0f;
        break;
    default:
        break;
    }

    const float max_cost = 50.0f;
    float ratio = static_cast<float>(cost) / max_cost;
    if (ratio < 0.0f) ratio = 0.0f;  // cultivating gains power
    const float cost_benefit = 1.0f - std::min(ratio, 1.0f);

    float risk = 0.0f;
    if (AI.lingli - cost <= 0 && op != xiulian) risk += 0.3f;
    if (op == tupo && Pr > 3 && Pr != 9) risk += 0.5f;
    if ((op == liehuolaolong || op == tianmindimie) && (Pr == 2 || Pr == 3)) risk += 0.7f;
    risk = std::min(risk, 1.0f);
    const float risk_benefit = 1.0f - risk;

    const float upgrade_benefit = (op == tupo && AI.xiuwei <= 3) ? 1.0f : 0.0f;

    float total = kill_weight * kill_prob;
    total += cost_weight * cost_benefit;
    total += risk_weight * risk_benefit;
    total += upgrade_weight * upgrade_benefit;

    if (cur_situation == BIG_WIN && op >= 4 && op <= 8) total *= 1.2f;  // the attacks
    else if (cur_situation == BIG_LOSE && (op == xiulian || op == tupo)) total *= 1.5f;
    else if (cur_situation == BALANCE && (op == fantandun || op == fantanbu)) total *= 1.1f;
    return total;
}

int Game_t::AI_Make_Decision_level_3() {
    cur_situation = evaluate_situation();

    if (AI.xiuwei >= 4 && AI.lingli >= xiaohao[AI.xiuwei][tianmindimie]) {
        if (calculate_op_benefit(tianmindimie) >= 0.8f) return tianmindimie;
    }

    std::vector<std::pair<float, int>> op_benefits;
    for (int op = 0; op < 10; ++op) {
        float b = calculate_op_benefit(op);
        if (b >= 0.0f) op_benefits.emplace_back(b, op);
    }
    // Best score first; equal scores put the higher action number first.
    std::sort(op_benefits.rbegin(), op_benefits.rend());

    if (op_benefits.empty()) return xiulian;
    int best = op_benefits[0].second;
    if (op_benefits.size() >= 2 && rd(0, 100) <= 19) best = op_benefits[1].second;
    return best;
}
