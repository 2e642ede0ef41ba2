#include <graphics.h>

#include "game.h"

int main() {
    // Without a window (no display to open it on) no key can ever arrive:
    // end with status 1 instead of waiting for input for ever. The platform
    // has already said why on standard error.
    if (!initgraph(300, 240, 0)) {
        closegraph();
        return 1;
    }
    {
        Game_t game1;
        while (game1.run()) {
        }
        closegraph();
    }
    return 0;
}
