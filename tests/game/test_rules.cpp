// Duel vocabulary and judgement: cost table, affordability, action texts,
// the random source and the full outcome tables of killed().
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "game.h"

namespace {

// Outcome of one cell as written in the outcome tables: W the monster dies,
// L the player dies, '-' the duel goes on.
char judge(int P, int p, int A, int a) {
    pl.clear();
    AI.clear();
    pl.chu = P;
    pl.xiuwei = p;
    AI.chu = A;
    AI.xiuwei = a;
    Game_t g;
    int r = g.killed();
    return r == 1 ? 'W' : r == -1 ? 'L' : '-';
}

// Rows: the monster's action 0..9; columns: the player's action 0..9.
const char* const kEqualLevels[10] = {
    "----WWWWW-",  // 0 cultivate
    "----------",  // 1 shield
    "----LWLWW-",  // 2 reflect shield
    "----WLWLW-",  // 3 reflect curtain
    "L-WL-LWWWL",  // 4 sword finger
    "L-LWW-WWWL",  // 5 fire art
    "L-WLLL-LWL",  // 6 mountain palm
    "L-WLLLW-WL",  // 7 blazing fire
    "L-LLLLLL-L",  // 8 annihilation (both at huashen)
    "----WWWWW-",  // 9 breakthrough
};

std::string row_at(int A, int p, int a) {
    std::string s;
    for (int P = 0; P < 10; ++P) s += judge(P, p, A, a);
    return s;
}

}  // namespace

TEST(Killed, EqualLevelTableAtEveryLevel) {
    for (int lv = 0; lv <= 4; ++lv)
        for (int A = 0; A < 10; ++A) {
            if (A == 8 && lv != 4) continue;
            EXPECT_EQ(row_at(A, lv, lv), kEqualLevels[A]) << "A=" << A << " level=" << lv;
        }
    // Below huashen the annihilation kills whatever the player does.
    EXPECT_EQ(row_at(8, 3, 3), "LLLLLLLLLL");
}

TEST(Killed, PlayerOneLevelAbove) {
    const int changed[][2] = {{4, 4}, {4, 5}, {5, 5}, {6, 6}, {6, 7}, {7, 7}};  // {A, P}
    for (int a = 0; a <= 3; ++a) {
        const int p = a + 1;
        for (int A = 0; A < 10; ++A) {
            if (A == 8) continue;
            std::string expected = kEqualLevels[A];
            for (auto& c : changed)
                if (c[0] == A) expected[c[1]] = 'W';
            if (A == 1 && p == 4)  // a huashen player breaks a lower shield
                expected = "----WWWWW-";
            EXPECT_EQ(row_at(A, p, a), expected) << "A=" << A << " p=" << p;
        }
    }
}

TEST(Killed, MonsterOneLevelAbove) {
    const int changed[][2] = {{4, 4}, {5, 4}, {5, 5}, {6, 6}, {7, 6}, {7, 7}};
    for (int p = 0; p <= 3; ++p) {
        const int a = p + 1;
        for (int A = 0; A < 10; ++A) {
            if (A == 8 && a != 4) continue;
            std::string expected = kEqualLevels[A];
            for (auto& c : changed)
                if (c[0] == A) expected[c[1]] = 'L';
            if (A == 8) expected = "LLLLLLLLLL";
            EXPECT_EQ(row_at(A, p, a), expected) << "A=" << A << " p=" << p;
        }
    }
}

TEST(Killed, TwoOrMoreLevelsApart) {
    // The player far above: the monster's attacks kill nobody, every player
    // attack wins except sword finger / fire art against palm / blazing fire.
    const char* const far_above[10] = {
        "----WWWWW-", "----WWWWW-", "----WWWWW-", "----WWWWW-", "--W-WWWWW-",
        "---WWWWWW-", "--W---WWW-", "--W---WWW-", nullptr,      "----WWWWW-",
    };
    for (int d = 2; d <= 4; ++d)
        for (int A = 0; A < 10; ++A)
            if (far_above[A]) {
                EXPECT_EQ(row_at(A, d, 0), far_above[A]) << "A=" << A << " d=" << d;
            }
    // The monster far above has cultivated or broken through: nothing happens.
    // (Its attacks would kill whatever the player does.)
    EXPECT_EQ(row_at(0, 0, 2), "----------");
    EXPECT_EQ(row_at(9, 1, 4), "----------");
    for (int A = 4; A <= 7; ++A) EXPECT_EQ(row_at(A, 0, 2), "LLLLLLLLLL") << "A=" << A;
}

TEST(Killed, ChangesNothing) {
    pl = a_pl(2, 0);
    pl.chu = 4;
    pl.lingli = 7;
    pl.jindun = 3;
    AI = a_pl(1, 0);
    AI.chu = 1;
    AI.lingli = 5;
    Game_t g;
    EXPECT_EQ(g.killed(), 0);
    EXPECT_EQ(pl.chu, 4);
    EXPECT_EQ(pl.lingli, 7);
    EXPECT_EQ(pl.jindun, 3);
    EXPECT_EQ(AI.xiuwei, 1);
    EXPECT_EQ(AI.lingli, 5);
}

TEST(CostTable, AffordabilityByLevel) {
    a_pl s(0, 0);
    // At 0 power: cultivate, shield and reflects only.
    for (int lv = 0; lv <= 4; ++lv) {
        s.xiuwei = lv;
        s.lingli = 0;
        for (int d = 0; d < 10; ++d) EXPECT_EQ(can_pay(s, d), d <= 3) << "lv=" << lv << " d=" << d;
    }
    const int breakthrough[4] = {5, 10, 20, 40};
    for (int lv = 0; lv < 4; ++lv) {
        s.xiuwei = lv;
        s.lingli = breakthrough[lv] - 1;
        EXPECT_FALSE(can_pay(s, tupo));
        s.lingli = breakthrough[lv];
        EXPECT_TRUE(can_pay(s, tupo));
    }
    s.xiuwei = huashen;
    s.lingli = 1000000;
    EXPECT_FALSE(can_pay(s, tupo));
    EXPECT_TRUE(can_pay(s, tianmindimie));
    // Palm and blazing fire from jindan on, annihilation only at huashen.
    s.lingli = 1000000;
    for (int lv = 0; lv <= 4; ++lv) {
        s.xiuwei = lv;
        EXPECT_EQ(can_pay(s, kaishanzhang), lv >= 2);
        EXPECT_EQ(can_pay(s, liehuolaolong), lv >= 2);
        EXPECT_EQ(can_pay(s, tianmindimie), lv == 4);
    }
    EXPECT_EQ(xiaohao[0][6], 1061109567);
    for (int lv = 0; lv <= 4; ++lv) EXPECT_EQ(xiaohao[lv][xiulian], -(lv + 1));
}

TEST(ActionTexts, UpgradedNamesOnlyAtHuashen) {
    pl.clear();
    AI.clear();
    pl.chu = jianzhi;
    pl.xiuwei = yuanying;
    EXPECT_EQ(player_action_text(), "你使用了剑指");
    pl.xiuwei = huashen;
    EXPECT_EQ(player_action_text(), "你使用了一剑破晓");
    AI.chu = liehuolaolong;
    AI.xiuwei = huashen;
    EXPECT_EQ(monster_action_text(), "魔物使用了圣火朱雀");
    AI.xiuwei = lianqi;
    EXPECT_EQ(monster_action_text(), "魔物使用了烈火燎原");
    // Only the attacks 4 to 7 change their names.
    for (int d = 0; d < 10; ++d) {
        bool upgraded = d >= 4 && d <= 7;
        EXPECT_EQ(Doing[0][d] != Doing[1][d], upgraded) << d;
        EXPECT_EQ(AIDoing[0][d] != AIDoing[1][d], upgraded) << d;
        EXPECT_NE(Doing[0][d].back(), ' ');
    }
    // GBK bytes: "你选择突破" is five double-byte characters.
    EXPECT_EQ(Doing[0][9], std::string("\xC4\xE3\xD1\xA1\xD4\xF1\xCD\xBB\xC6\xC6"));
}

TEST(Random, SeededSequencesAndRanges) {
    random_32 a(12345), b(12345), c(54321);
    std::mt19937 ref(12345);
    bool differs = false;
    for (int i = 0; i < 50; ++i) {
        unsigned x = a(), y = b(), z = c();
        EXPECT_EQ(x, y);
        EXPECT_EQ(x, ref());
        differs |= (x != z);
    }
    EXPECT_TRUE(differs);

    std::set<unsigned> seen;
    for (int i = 0; i < 200; ++i) {
        unsigned v = a(2, 3);
        EXPECT_TRUE(v == 2 || v == 3);
        seen.insert(v);
        EXPECT_EQ(a(0, 0), 0u);
        unsigned w = a(0, 100);
        EXPECT_LE(w, 100u);
    }
    EXPECT_EQ(seen.size(), 2u);
}

TEST(Random, ZeroSeedUsesTheClock) {
    random_32 a(0), b(0);
    std::mt19937 zero(0u);
    // Two clock seeds nanoseconds apart and the literal seed 0 all differ.
    unsigned x = a(), y = b();
    EXPECT_NE(x, y);
    EXPECT_NE(x, static_cast<unsigned>(zero()));
}

TEST(Accounts, BuiltInListAndGuest) {
    EXPECT_EQ(user1.name, "YouKeZhangHao");
    EXPECT_EQ(user1.password, "BlankQuill");
    EXPECT_EQ(user1.quanxian, youke);
    EXPECT_EQ(user1.genji, 0);
    const char* names[6] = {"kestrel_v", "morvellan", "tisbrocke", "quellamirth", "dorvasil", "pemberfold"};
    const char* pws[6] = {"_tek4590$", "!QW3)7R>+N", "~p%=MJT2*K", "RUC7F::831", "WOD*&B:6s.", "~k-4mUS-5"};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(defuserlist[i].name, names[i]);
        EXPECT_EQ(defuserlist[i].password, pws[i]);
        EXPECT_EQ(defuserlist[i].quanxian, i == 0 ? guanliyuan : neice);
        EXPECT_EQ(defuserlist[i].genji, i == 0 ? 4 : 0);
        EXPECT_EQ(defuserlist[i].dengji + defuserlist[i].wuxing + defuserlist[i].routi, 0);
    }
    User u("n", "p", 7, 2, 5, 3);
    EXPECT_EQ(u.rating, 7);
    EXPECT_EQ(u.quanxian, 2);
    EXPECT_EQ(u.tianfudian, 5);
    EXPECT_EQ(u.genji, 3);
    User copy = defuserlist[0];
    copy = u;
    EXPECT_EQ(copy.name, "n");
    EXPECT_EQ(copy.rating, 7);
}

TEST(GameObject, ConstructionAndInit) {
    Game_t g;
    EXPECT_EQ(g.history_max_len, 8);
    EXPECT_FLOAT_EQ(g.kill_weight, 0.6f);
    EXPECT_FLOAT_EQ(g.upgrade_weight, 0.05f);
    g.player_history = {4, 5};
    g.behavior_weight[3] = 2.0f;
    g.cur_situation = Game_t::BIG_WIN;
    AI.lingli = 9;
    pl.xiuwei = 3;
    g.init();
    EXPECT_TRUE(g.player_history.empty());
    EXPECT_EQ(g.behavior_weight[3], 0.0f);
    EXPECT_EQ(g.cur_situation, Game_t::BALANCE);
    EXPECT_EQ(AI.lingli, 0);
    EXPECT_EQ(pl.xiuwei, 0);
    ASSERT_EQ(mp.size(), 4u);
    EXPECT_EQ(mp["version-def-0.0.1"], 0);
    EXPECT_EQ(mp["version-def-0.0.3"], 2);
    EXPECT_EQ(mp["version-1.0.0"], 3);
}
