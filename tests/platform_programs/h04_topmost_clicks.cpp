// h04_topmost_clicks - a borderless window kept on top: the caption is taken
// out of GWL_STYLE, and SetWindowPos with HWND_TOPMOST puts the window in
// the middle of the screen (GetSystemMetrics) at the canvas's size. The left
// button is polled with GetAsyncKeyState; at each press the pointer's place
// (GetCursorPos, then ScreenToClient) gets a dot, and a line joins it to the
// previous one. Bars at the top show what GetSystemMetrics and GetClientRect
// answered. Space ends.
#include <graphics.h>
#include <windows.h>

const int W = 320, H = 220;

int main()
{
    initgraph(W, H);
    setbkcolor(RGB(24, 28, 36));
    cleardevice();
    HWND hwnd = GetHWnd();
    SetWindowText(hwnd, "h04 topmost");
    LONG style = GetWindowLong(hwnd, GWL_STYLE);
    SetWindowLong(hwnd, GWL_STYLE, style & ~WS_CAPTION);
    int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    SetWindowPos(hwnd, HWND_TOPMOST, (sw - W) / 2, (sh - H) / 2, W, H, SWP_SHOWWINDOW | SWP_FRAMECHANGED);

    RECT rc;
    GetClientRect(hwnd, &rc);
    setfillcolor(RGB(90, 160, 230));
    solidrectangle(8, 8, 8 + sw / 16, 14);                     // 64 px on a 1024-wide screen
    solidrectangle(8, 18, 8 + sh / 16, 24);                    // 48 px for 768 rows
    setfillcolor(RGB(230, 160, 60));
    solidrectangle(8, 28, 8 + (rc.right - rc.left) / 4, 34);   // the client: 80 px when it is the canvas
    solidrectangle(8, 38, 8 + (rc.bottom - rc.top) / 4, 44);
    if (GetWindowLong(hwnd, GWL_STYLE) & WS_CAPTION) {         // the caption should be gone
        setfillcolor(RGB(220, 40, 40));
        solidrectangle(W - 20, 8, W - 8, 20);
    }

    bool was = false;
    int px = -1, py = -1;
    for (;;) {
        bool down = (GetAsyncKeyState(VK_LBUTTON) & 0x8000) != 0;
        if (down && !was) {
            POINT p;
            GetCursorPos(&p);
            ScreenToClient(hwnd, &p);
            setfillcolor(RGB(120, 230, 120));
            solidcircle(p.x, p.y, 5);
            if (px >= 0) {
                setlinecolor(RGB(200, 200, 200));
                line(px, py, p.x, p.y);
            }
            px = p.x; py = p.y;
        }
        was = down;
        if (GetAsyncKeyState(VK_SPACE) & 0x8000) break;
        Sleep(10);
    }
    closegraph();
    return 0;
}
