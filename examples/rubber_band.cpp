// rubber_band — drag out rectangles with an XOR rubber band.
//
// Drawing with the XOR raster operation (setrop2(R2_XORPEN)) inverts the
// colours under the pen, and drawing the same outline a second time restores
// them exactly. So while the left button is held, the band is moved by
// drawing the old outline again (erasing it) and then the new one, without
// keeping a copy of the picture underneath. On release the rectangle is drawn
// for good with the normal pen. Esc ends the program.
#include <graphics.h>

int main() {
    initgraph(300, 240, 0);
    setbkcolor(RGB(236, 242, 250));
    cleardevice();
    // Something underneath, to see that the band does not damage it.
    setfillcolor(RGB(250, 200, 60));
    solidcircle(200, 90, 50);
    settextcolor(RGB(60, 60, 60));
    setbkmode(TRANSPARENT);
    outtextxy(8, 8, "Drag with the left button");

    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // the band's corners
    bool dragging = false;
    for (;;) {
        ExMessage m = getmessage(EX_MOUSE | EX_KEY);
        if (m.message == WM_KEYDOWN && m.vkcode == VK_ESCAPE) break;
        if (m.message == WM_LBUTTONDOWN) {
            x0 = x1 = m.x;
            y0 = y1 = m.y;
            dragging = true;
            setrop2(R2_XORPEN);
            setlinecolor(WHITE);  // XOR with white inverts every colour
            setlinestyle(PS_DOT, 1);
            rectangle(x0, y0, x1, y1);
        } else if (m.message == WM_MOUSEMOVE && dragging) {
            rectangle(x0, y0, x1, y1);  // erase the old band...
            x1 = m.x;
            y1 = m.y;
            rectangle(x0, y0, x1, y1);  // ...and draw the new one
        } else if (m.message == WM_LBUTTONUP && dragging) {
            rectangle(x0, y0, x1, y1);  // erase the band
            dragging = false;
            setrop2(R2_COPYPEN);
            setlinestyle(PS_SOLID, 2);
            setlinecolor(RGB(40, 90, 210));
            rectangle(x0, y0, m.x, m.y);
        }
    }
    closegraph();
    return 0;
}
