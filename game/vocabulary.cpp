#include "vocabulary.h"

#include <chrono>

a_pl::a_pl(int nowxiuwei, int plleixing)
    : chu(0), xiuwei(nowxiuwei), leixing(plleixing), jindun(0), lingli(0) {}

void a_pl::clear() {
    chu = 0;
    xiuwei = 0;
    leixing = 0;
    jindun = 0;
    lingli = 0;
}

random_32::random_32(unsigned int sd) {
    if (sd == 0) {
        // A zero seed asks for a fresh one: the steady clock's nanosecond count.
        uint64_t seed = static_cast<uint64_t>(
            std::chrono::duration_cast<std::chrono::nanoseconds>(
                std::chrono::steady_clock::now().time_since_epoch())
                .count());
        rd.seed(static_cast<uint32_t>(seed));
    } else {
        rd.seed(sd);
    }
}

unsigned int random_32::operator()() { return static_cast<unsigned int>(rd()); }

unsigned int random_32::operator()(unsigned int minn, unsigned int maxn) {
    std::uniform_int_distribution<unsigned int> dist(minn, maxn);
    return dist(rd);
}

const std::string& player_action_text() {
    return Doing[pl.xiuwei == huashen ? 1 : 0][pl.chu];
}

const std::string& monster_action_text() {
    return AIDoing[AI.xiuwei == huashen ? 1 : 0][AI.chu];
}
