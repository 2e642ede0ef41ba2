// Every game test starts from the state the game has when its process starts:
// the process-wide objects (combatants, accounts, cost table, texts, random
// source) as built before main, and the virtual clock. Tests change these
// (log in as another account, seed the random source, switch to the real
// clock for a session), so without this a test run after them in the same
// process would see their leftovers.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "accounts.h"
#include "game.h"
#include "platform/headless.h"
#include "vocabulary.h"

namespace {

// Copies of the game's process-wide objects, taken and put back whole.
struct GameState {
    std::vector<int> costs{&xiaohao[0][0], &xiaohao[0][0] + 5 * 10};
    a_pl monster = AI;
    a_pl player = pl;
    User user = user1;
    std::vector<User> accounts{std::begin(defuserlist), std::end(defuserlist)};
    std::map<std::string, int> versions = mp;
    std::vector<std::string> doing{&Doing[0][0], &Doing[0][0] + 2 * 10};
    std::vector<std::string> aiDoing{&AIDoing[0][0], &AIDoing[0][0] + 2 * 10};
    random_32 random = rd;

    void Restore() const {
        std::copy(costs.begin(), costs.end(), &xiaohao[0][0]);
        AI = monster;
        pl = player;
        user1 = user;
        std::copy(accounts.begin(), accounts.end(), std::begin(defuserlist));
        mp = versions;
        std::copy(doing.begin(), doing.end(), &Doing[0][0]);
        std::copy(aiDoing.begin(), aiDoing.end(), &AIDoing[0][0]);
        rd = random;
    }
};

class FreshGameState : public testing::EmptyTestEventListener {
    // Taken when the tests begin: by then every object has been built.
    void OnTestProgramStart(const testing::UnitTest&) override { initial_ = std::make_unique<GameState>(); }
    void OnTestStart(const testing::TestInfo&) override {
        initial_->Restore();
        headless::Use(/*virtual_clock=*/true);
    }

    std::unique_ptr<GameState> initial_;
};

const bool kRegistered = [] {
    testing::UnitTest::GetInstance()->listeners().Append(new FreshGameState);
    return true;
}();

}  // namespace
