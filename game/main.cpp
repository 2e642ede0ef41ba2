#include <graphics.h>

#include "game.h"

int main() {
    initgraph(300, 240, 0);
    {
        Game_t game1;
        while (game1.run()) {
        }
        closegraph();
    }
    return 0;
}
