// h01_tchar_keys - a TCHAR program (builds narrow and with UNICODE): a box
// that GetAsyncKeyState moves one step per press (the "pressed since the last
// call" bit counts presses that came and went between two polls), a clock
// line formatted with _stprintf_s from GetLocalTime, the step count shown
// with _itot_s, and the window title set with SetWindowText. Esc ends.
#include <graphics.h>
#include <windows.h>
#include <tchar.h>
#include <stdio.h>

int bx = 8, by = 5, steps = 0;

void draw()
{
    cleardevice();
    setlinecolor(RGB(90, 90, 120));
    for (int i = 0; i <= 16; i++) line(i * 24 + 8, 8, i * 24 + 8, 10 * 24 + 8);
    for (int j = 0; j <= 10; j++) line(8, j * 24 + 8, 16 * 24 + 8, j * 24 + 8);
    setfillcolor(RGB(230, 120, 30));
    solidrectangle(bx * 24 + 10, by * 24 + 10, bx * 24 + 30, by * 24 + 30);
    for (int i = 0; i < steps && i < 20; i++) {          // one dot per step
        setfillcolor(RGB(60, 170, 220));
        solidcircle(14 + i * 12, 268, 4);
    }
    SYSTEMTIME st;
    GetLocalTime(&st);
    TCHAR clock[40];
    _stprintf_s(clock, _T("%02d:%02d:%02d"), st.wHour, st.wMinute, st.wSecond);
    TCHAR count[12];
    _itot_s(steps, count, 10);
    TCHAR line2[64];
    _tcscpy_s(line2, _T("steps "));
    _tcscat_s(line2, count);
    settextcolor(RGB(220, 220, 230));
    outtextxy(8, 282, clock);
    outtextxy(200, 282, line2);
}

int _tmain()
{
    initgraph(400, 310);
    setbkcolor(RGB(30, 30, 45));
    SetWindowText(GetHWnd(), _T("h01 tchar keys"));
    BeginBatchDraw();
    draw();
    FlushBatchDraw();
    const int vks[4] = {VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN};
    const int dx[4] = {-1, 0, 1, 0}, dy[4] = {0, -1, 0, 1};
    for (int k = 0; k < 4; k++) GetAsyncKeyState(vks[k]);   // forget presses before the start
    for (;;) {
        bool moved = false;
        for (int k = 0; k < 4; k++) {
            if (GetAsyncKeyState(vks[k]) & 1) {
                int nx = bx + dx[k], ny = by + dy[k];
                if (nx >= 0 && nx < 16 && ny >= 0 && ny < 10) { bx = nx; by = ny; }
                steps++;
                moved = true;
            }
        }
        if (GetAsyncKeyState(VK_ESCAPE) & 0x8000) break;
        if (moved) { draw(); FlushBatchDraw(); }
        Sleep(15);
    }
    EndBatchDraw();
    closegraph();
    return 0;
}
