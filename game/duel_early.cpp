// Play levels of the early versions: practice (0) and rules (-1) only.
#include <graphics.h>

#include "game.h"
#include "screen.h"

void Game_t::_do_play_defv(int level) {
    AI.clear();
    pl.clear();
    if (user1.name != kGuestName) pl.xiuwei = user1.genji;
    outtextxy(0, 0, kTitle);

    if (level == 0) {
        practice_duel(false);
    } else if (level > 0) {
        refuse_level();
    } else if (level == -1) {
        show_rules();
    }
}
