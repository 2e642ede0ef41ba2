// input_box_demo — asks for a name in an input box over the graphics window.
//
// While the dialog is open, a second thread of the program keeps drawing a
// moving bar into the window (drawing from any thread is allowed), so one
// can see that the window goes on refreshing although it takes no input.
// The answer is printed on standard output as "ok <text>" (the text in
// code page 936) or "cancelled", followed by "clicks <n>": the number of
// left clicks the window's message queue received meanwhile (a disabled
// window receives none). Then the window has the keyboard again, and the
// program ends at the next key pressed in it.
//
// This source is compiled with the narrow execution character set GBK.
#include <atomic>
#include <cstdio>

#include <graphics.h>

namespace {

std::atomic<bool> g_asking{true};

// Moves a bar along the bottom of the window until the question is answered.
DWORD WINAPI Painter(void*) {
    for (int x = 0; g_asking; x = (x + 7) % 300) {
        setfillcolor(WHITE);
        solidrectangle(0, 200, 299, 219);
        setfillcolor(BLUE);
        solidrectangle(x, 200, x + 20, 219);
        Sleep(30);
    }
    return 0;
}

}  // namespace

int main() {
    initgraph(300, 240);
    setbkcolor(WHITE);
    cleardevice();
    settextcolor(BLACK);
    outtextxy(0, 0, "输入框示例");

    HANDLE painter = CreateThread(NULL, 0, Painter, NULL, 0, NULL);

    flushmessage();
    char name[21] = "unchanged";
    bool ok = InputBox(name, sizeof name, "请输入你的名字：", "Your name", "guest", 0, 0, false);
    g_asking = false;
    if (painter) {
        WaitForSingleObject(painter, INFINITE);
        CloseHandle(painter);
    }

    int clicks = 0;
    ExMessage m;
    while (peekmessage(&m, EX_MOUSE))
        if (m.message == WM_LBUTTONDOWN) ++clicks;
    if (ok)
        std::printf("ok %s\n", name);
    else
        std::printf("cancelled %s\n", name);
    std::printf("clicks %d\n", clicks);
    std::fflush(stdout);
    outtextxy(0, 20, "按任意键结束");
    for (;;)
        if (getmessage(EX_KEY).message == WM_KEYDOWN) break;
    closegraph();
    return 0;
}
