// h02_winmain_quiz - a program with WinMain and no main: three yes/no
// questions in message boxes (MB_YESNO with an icon, one with the second
// button as the default), each answer drawn as a green or red bar; then a
// score box (MB_OKCANCEL) whose answer picks the closing picture, and a key
// or a click ends. What MessageBox returned is printed too.
#include <graphics.h>
#include <windows.h>
#include <stdio.h>

int WINAPI WinMain(HINSTANCE hInst, HINSTANCE hPrev, LPSTR cmdLine, int show)
{
    (void)hInst; (void)hPrev; (void)cmdLine; (void)show;
    initgraph(360, 240);
    setbkcolor(RGB(235, 235, 240));
    cleardevice();
    HWND hwnd = GetHWnd();
    SetWindowText(hwnd, "Quiz");

    const char* questions[3] = { "Is 7 a prime number?", "Is the sun a planet?", "Is 2 + 2 = 4?" };
    const UINT styles[3] = { MB_YESNO | MB_ICONQUESTION, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2,
                             MB_YESNO | MB_ICONINFORMATION };
    const bool truth[3] = { true, false, true };
    int score = 0;
    for (int i = 0; i < 3; i++) {
        int r = MessageBox(hwnd, questions[i], "Question", styles[i]);
        printf("answer %d: %d\n", i + 1, r);
        bool right = (r == IDYES) == truth[i];
        if (right) score++;
        setfillcolor(right ? RGB(50, 170, 70) : RGB(200, 50, 50));
        solidrectangle(30, 30 + i * 50, 30 + (r == IDYES ? 280 : 140), 60 + i * 50);
    }
    char msg[64];
    sprintf_s(msg, "You scored %d of 3.\nShow the medal?", score);
    int r = MessageBox(hwnd, msg, "Score", MB_OKCANCEL | MB_ICONINFORMATION);
    printf("score box: %d\n", r);
    fflush(stdout);
    if (r == IDOK) {
        setfillcolor(RGB(240, 190, 40));
        solidcircle(180, 200, 24);
    } else {
        setlinecolor(RGB(90, 90, 90));
        line(150, 180, 210, 220);
        line(150, 220, 210, 180);
    }
    ExMessage m;
    do m = getmessage(EX_KEY | EX_MOUSE); while (m.message != WM_KEYDOWN && m.message != WM_LBUTTONDOWN);
    closegraph();
    return 0;
}
