// bouncing_ball — a ball bouncing inside the window, drawn with batch drawing.
//
// Without batch drawing, the window's refresh may copy the back buffer in the
// middle of a frame (after cleardevice, before the ball): the ball flickers.
// BeginBatchDraw stops the periodic refresh; each frame is drawn completely
// and then shown at once with FlushBatchDraw. Any key ends the program.
#include <graphics.h>

int main() {
    const int W = 300, H = 240, R = 14;
    initgraph(W, H, 0);
    setbkcolor(RGB(250, 246, 236));
    BeginBatchDraw();

    int x = 60, y = 50, dx = 3, dy = 2;  // position and speed in pixels per frame
    int trailX[8] = {}, trailY[8] = {};  // a position every fourth frame, for a fading trail
    int next = 0;                         // the oldest entry, overwritten next
    for (int i = 0; i < 8; ++i) trailX[i] = x, trailY[i] = y;
    for (int frame = 0;; ++frame) {
        ExMessage m;
        if (peekmessage(&m, EX_KEY) && m.message == WM_KEYDOWN) break;

        // Move, and turn round at the walls (put back inside if it went past).
        x += dx;
        y += dy;
        if (x - R < 0) x = R, dx = -dx;
        if (x + R >= W) x = W - 1 - R, dx = -dx;
        if (y - R < 0) y = R, dy = -dy;
        if (y + R >= H) y = H - 1 - R, dy = -dy;
        if (frame % 4 == 0) {
            trailX[next] = x;
            trailY[next] = y;
            next = (next + 1) % 8;
        }

        // Draw the whole frame into the back buffer...
        cleardevice();
        for (int i = 0; i < 8; ++i) {  // oldest first: the older, the lighter and smaller
            int k = (next + i) % 8;
            int shade = 235 - i * 15;
            setfillcolor(RGB(255, shade, shade));
            solidcircle(trailX[k], trailY[k], R * (i + 2) / 10);
        }
        setlinecolor(RGB(120, 20, 20));
        setfillcolor(RGB(220, 50, 40));
        fillcircle(x, y, R);
        settextcolor(RGB(90, 90, 90));
        outtextxy(8, H - 22, "Press any key to stop");

        // ...then show it in one piece.
        FlushBatchDraw();
        Sleep(16);
    }
    EndBatchDraw();
    closegraph();
    return 0;
}
