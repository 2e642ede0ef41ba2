// The monster's decisions: behaviour model, situation, level-2 cascade and
// the level-3 benefit scores, with the examples worked out by hand.
#include <gtest/gtest.h>

#include "game.h"

namespace {

void reset(int ai_level, int ai_power, int pl_level, int pl_power) {
    AI = a_pl(ai_level, 0);
    AI.lingli = ai_power;
    pl = a_pl(pl_level, 0);
    pl.lingli = pl_power;
}

}  // namespace

TEST(Behavior, WeightsAndPrediction) {
    Game_t g;
    reset(0, 0, 0, 0);
    EXPECT_EQ(g.predict_player_op(), 0);  // empty history
    for (float w : g.behavior_weight) EXPECT_EQ(w, 0.0f);

    g.player_history = {5, 5, 4};
    pl.lingli = 1;
    EXPECT_EQ(g.predict_player_op(), 5);
    EXPECT_NEAR(g.behavior_weight[5], 1.8333f, 1e-4);
    EXPECT_NEAR(g.behavior_weight[4], 0.6667f, 1e-4);
    EXPECT_EQ(g.behavior_weight[0], 0.0f);
    // Unaffordable actions are never predicted.
    pl.lingli = 0;
    EXPECT_EQ(g.predict_player_op(), 0);

    g.player_history = {4, 5};
    pl.lingli = 1;
    EXPECT_EQ(g.predict_player_op(), 4);  // the older one weighs more
    EXPECT_FLOAT_EQ(g.behavior_weight[4], 1.0f);
    EXPECT_FLOAT_EQ(g.behavior_weight[5], 0.75f);

    // Equal weights: the lower action number wins.
    g.player_history = {6, 2, 2, 6};  // 6: 1 + 0.625, 2: 0.875 + 0.75
    pl.xiuwei = 2;
    pl.lingli = 3;
    EXPECT_EQ(g.predict_player_op(), 2);
    // Palm unaffordable at lianqi however often chosen.
    g.player_history = {6, 6, 6, 1};
    pl.xiuwei = 0;
    pl.lingli = 100;
    EXPECT_EQ(g.predict_player_op(), 1);
}

TEST(Behavior, FullHistoryWeights) {
    Game_t g;
    reset(0, 0, 0, 0);
    g.player_history = {0, 1, 2, 3, 4, 5, 6, 7};
    g.update_player_behavior();
    EXPECT_FLOAT_EQ(g.behavior_weight[7], 0.5625f);
    EXPECT_FLOAT_EQ(g.behavior_weight[0], 1.0f);
}

TEST(Situation, Classification) {
    Game_t g;
    struct Case { int ai_lv, ai_pw, pl_lv, pl_pw, ai_jd, pl_jd; Game_t::Situation want; };
    const Case cases[] = {
        {1, 20, 0, 0, 0, 0, Game_t::BIG_WIN},     {1, 19, 0, 0, 0, 0, Game_t::LITTLE_WIN},
        {0, 10, 0, 0, 0, 0, Game_t::LITTLE_WIN},  {0, 9, 0, 0, 0, 0, Game_t::BALANCE},
        {0, 0, 0, 10, 0, 0, Game_t::LITTLE_LOSE}, {0, 0, 1, 20, 0, 0, Game_t::BIG_LOSE},
        {2, 0, 0, 0, 0, 0, Game_t::BIG_WIN},      {0, 0, 2, 0, 0, 0, Game_t::BIG_LOSE},
        {0, 0, 1, 19, 0, 0, Game_t::LITTLE_LOSE}, {0, 0, 0, 0, 1, 0, Game_t::BIG_WIN},
        {0, 0, 0, 0, 0, 1, Game_t::BIG_LOSE},     {0, 0, 0, 0, 1, 1, Game_t::BALANCE},
        {0, 0, 0, 0, 0, 0, Game_t::BALANCE},
    };
    for (const Case& c : cases) {
        reset(c.ai_lv, c.ai_pw, c.pl_lv, c.pl_pw);
        AI.jindun = c.ai_jd;
        pl.jindun = c.pl_jd;
        EXPECT_EQ(g.evaluate_situation(), c.want)
            << c.ai_lv << "/" << c.ai_pw << " vs " << c.pl_lv << "/" << c.pl_pw;
    }
}

TEST(Level2, Cascade) {
    Game_t g;
    // Balance at level 0, power 1: one draw of rd(0, 1).
    reset(0, 1, 0, 0);
    rd = random_32(777);
    unsigned expect = random_32(777)(0, 1);
    EXPECT_EQ(g.AI_Make_Decision(), static_cast<int>(expect));

    reset(1, 1, 0, 0);
    EXPECT_EQ(g.AI_Make_Decision(), huofa);
    pl.jindun = 1;
    EXPECT_EQ(g.AI_Make_Decision(), jianzhi);

    reset(0, 1, 0, 12);  // D = 0, L = -11, cannot break through
    EXPECT_EQ(g.AI_Make_Decision(), xiulian);
    reset(0, 11, 1, 0);  // one level below, 11 ahead: advantage rules
    EXPECT_EQ(g.AI_Make_Decision(), huofa);
    reset(0, 11, 1, 0);
    pl.jindun = 2;
    EXPECT_EQ(g.AI_Make_Decision(), jianzhi);
    reset(2, 3, 1, 0);  // jindan with the fire ban: the palm
    pl.jindun = 1;
    EXPECT_EQ(g.AI_Make_Decision(), kaishanzhang);
    reset(2, 3, 1, 0);
    EXPECT_EQ(g.AI_Make_Decision(), liehuolaolong);

    // Balance with power exactly the breakthrough cost: rd(0, 1); one more: tupo.
    reset(0, 5, 0, 0);
    rd = random_32(99);
    EXPECT_EQ(g.AI_Make_Decision(), static_cast<int>(random_32(99)(0, 1)));
    reset(0, 6, 0, 0);
    EXPECT_EQ(g.AI_Make_Decision(), tupo);
    // Ten ahead in power at the same level is still balance; eleven is an advantage.
    reset(0, 10, 0, 0);
    EXPECT_EQ(g.AI_Make_Decision(), tupo);
    reset(0, 11, 0, 0);
    EXPECT_EQ(g.AI_Make_Decision(), huofa);

    // Balance with the shield banned: a reflect, never the shield.
    for (unsigned seed = 1; seed <= 40; ++seed) {
        reset(0, 3, 0, 0);
        AI.jindun = 1;
        rd = random_32(seed);
        int d = g.AI_Make_Decision();
        EXPECT_TRUE(d == fantandun || d == fantanbu) << d;
        EXPECT_EQ(d, static_cast<int>(random_32(seed)(2, 3)));
    }

    reset(4, 5, 4, 100);
    EXPECT_EQ(g.AI_Make_Decision(), tianmindimie);
    // Disadvantage: break through when affordable below huashen.
    reset(0, 5, 1, 0);
    EXPECT_EQ(g.AI_Make_Decision(), tupo);
    reset(0, 4, 1, 0);
    EXPECT_EQ(g.AI_Make_Decision(), xiulian);
}

TEST(Level3, ScoresAtJindanWithPowerThree) {
    Game_t g;
    g.init();
    reset(2, 3, 2, 0);
    const float expected[10] = {0.95f, 0.95f, 0.715f, 0.715f, 0.946f, 0.946f, 0.893f, 0.893f, -1000.0f, -1000.0f};
    for (int op = 0; op < 10; ++op) EXPECT_NEAR(g.calculate_op_benefit(op), expected[op], 1e-5) << op;
    // Equal scores must be bit-identical for the tie order to hold.
    EXPECT_EQ(g.calculate_op_benefit(0), g.calculate_op_benefit(1));
}

TEST(Level3, TieGoesToHigherActionAndSecondChoiceDraw) {
    Game_t g;
    int seen_first = 0, seen_second = 0;
    for (unsigned seed = 1; seed <= 60; ++seed) {
        g.init();
        reset(2, 3, 2, 0);
        rd = random_32(seed);
        bool second = random_32(seed)(0, 100) <= 19;
        int d = g.AI_Make_Decision_level_3();
        EXPECT_EQ(d, second ? xiulian : jingangdun) << seed;
        (second ? seen_second : seen_first)++;
        EXPECT_EQ(g.cur_situation, Game_t::BALANCE);
    }
    EXPECT_GT(seen_first, 0);
    EXPECT_GT(seen_second, 0);
    // At the boundary: a draw of exactly 19 still takes the second choice
    // (20 chances in 101), a draw of exactly 20 keeps the first.
    for (unsigned draw : {19u, 20u}) {
        unsigned seed = 1;
        while (random_32(seed)(0, 100) != draw) ++seed;
        g.init();
        reset(2, 3, 2, 0);
        rd = random_32(seed);
        EXPECT_EQ(g.AI_Make_Decision_level_3(), draw <= 19 ? xiulian : jingangdun) << "draw " << draw;
    }
}

TEST(Level3, BreakthroughScores) {
    Game_t g;
    g.init();
    reset(0, 6, 0, 0);
    EXPECT_NEAR(g.calculate_op_benefit(tupo), 0.98f, 1e-5);
    for (unsigned seed = 1; seed <= 30; ++seed) {
        rd = random_32(seed);
        if (random_32(seed)(0, 100) > 19) {
            EXPECT_EQ(g.AI_Make_Decision_level_3(), tupo);
            break;
        }
    }
    reset(0, 5, 0, 0);
    float t = g.calculate_op_benefit(tupo);
    EXPECT_NEAR(t, 0.935f, 1e-5);
    for (int op : {0, 1, 4, 5}) EXPECT_GT(g.calculate_op_benefit(op), t) << op;
}

TEST(Level3, AnnihilationAndShieldBan) {
    Game_t g;
    g.init();
    reset(4, 5, 4, 0);
    rd = random_32(5);
    const unsigned before = random_32(5)();
    EXPECT_EQ(g.AI_Make_Decision_level_3(), tianmindimie);
    EXPECT_EQ(rd(), before);  // no draw was made

    reset(1, 2, 1, 0);
    AI.jindun = 1;
    EXPECT_EQ(g.calculate_op_benefit(jingangdun), -1000.0f);
    for (unsigned seed = 1; seed <= 40; ++seed) {
        rd = random_32(seed);
        EXPECT_NE(g.AI_Make_Decision_level_3(), jingangdun);
    }
}

TEST(Level3, SituationMultipliersAndPrediction) {
    Game_t g;
    g.init();
    // Player predicted to reflect (history of reflect curtains): blazing fire risky.
    reset(2, 5, 2, 0);
    g.player_history = {3, 3};
    g.cur_situation = Game_t::BALANCE;
    // h: Pr 3 is harmless for blazing fire -> 1.0; cost 3/50; risk 0.7.
    EXPECT_NEAR(g.calculate_op_benefit(liehuolaolong), 0.6f + 0.2f * 0.94f + 0.15f * 0.3f, 1e-5);
    // The reflect shield scores 0.5 hit against a predicted curtain, times 1.1.
    EXPECT_NEAR(g.calculate_op_benefit(fantandun), (0.3f + 0.2f + 0.15f) * 1.1f, 1e-5);
    g.cur_situation = Game_t::BIG_WIN;
    EXPECT_NEAR(g.calculate_op_benefit(jianzhi), (0.6f + 0.2f * 0.98f + 0.15f) * 1.2f, 1e-5);
    g.cur_situation = Game_t::BIG_LOSE;
    EXPECT_NEAR(g.calculate_op_benefit(xiulian), 0.95f * 1.5f, 1e-5);
    // Blazing fire predicted at equal levels: the palm still hits it (the
    // player's level at most the monster's), blazing fire does not (below needed).
    reset(2, 10, 2, 3);
    g.player_history = {7};
    g.cur_situation = Game_t::BALANCE;
    EXPECT_NEAR(g.calculate_op_benefit(kaishanzhang), 0.6f + 0.2f * 0.94f + 0.15f, 1e-5);
    EXPECT_NEAR(g.calculate_op_benefit(liehuolaolong), 0.2f * 0.94f + 0.15f, 1e-5);
}
