// mouse_paint — paint with the mouse.
//
// Hold the left button and move to draw; the right button picks the next
// colour from a small palette; Esc ends the program. Mouse messages come from
// getmessage, which waits until there is one, so the program uses no CPU
// while the mouse is still.
#include <graphics.h>

int main() {
    const COLORREF palette[] = {RGB(30, 30, 30), RGB(220, 50, 40), RGB(40, 140, 60), RGB(40, 90, 210)};
    int colour = 0;
    initgraph(300, 240, 0);
    setbkcolor(WHITE);
    cleardevice();
    setlinestyle(PS_SOLID | PS_ENDCAP_ROUND | PS_JOIN_ROUND, 4);  // a round brush 4 pixels wide

    // The current colour, shown in the top-left corner.
    auto showColour = [&] {
        setfillcolor(palette[colour]);
        solidrectangle(4, 4, 20, 20);
    };
    setlinecolor(palette[colour]);
    showColour();

    int lastX = 0, lastY = 0;
    for (;;) {
        ExMessage m = getmessage(EX_MOUSE | EX_KEY);
        if (m.message == WM_KEYDOWN && m.vkcode == VK_ESCAPE) break;
        switch (m.message) {
            case WM_LBUTTONDOWN:
                putpixel(m.x, m.y, palette[colour]);
                lastX = m.x;
                lastY = m.y;
                break;
            case WM_MOUSEMOVE:
                if (m.lbutton) {  // dragging: join the last point to this one
                    line(lastX, lastY, m.x, m.y);
                    lastX = m.x;
                    lastY = m.y;
                }
                break;
            case WM_RBUTTONDOWN:
                colour = (colour + 1) % 4;
                setlinecolor(palette[colour]);
                showColour();
                break;
        }
    }
    closegraph();
    return 0;
}
