// analog_clock — an analogue clock with arcs and text.
//
// The face is a circle with the hour numbers drawn as text; an arc around it
// fills up as the minute goes by; the hands are thick lines. The clock is
// redrawn once a second in batch mode, so each new face appears at once.
// Any key ends the program.
#include <graphics.h>

#include <cmath>
#include <cstdio>
#include <ctime>

namespace {

const double kPi = 3.14159265358979323846;
const int CX = 150, CY = 125, R = 95;  // centre and radius of the face

// The end of a hand `length` long pointing at `fraction` of a full turn
// (0 = twelve o'clock, clockwise; screen y grows downwards).
void hand(double fraction, int length, int thickness, COLORREF colour) {
    double a = fraction * 2 * kPi;
    setlinecolor(colour);
    setlinestyle(PS_SOLID | PS_ENDCAP_ROUND, thickness);
    line(CX, CY, CX + int(std::lround(length * std::sin(a))), CY - int(std::lround(length * std::cos(a))));
}

void drawClock(const std::tm& t) {
    cleardevice();
    // The seconds arc: angles are counter-clockwise from three o'clock, so
    // the arc runs from twelve o'clock back by the elapsed part of the minute.
    setlinecolor(RGB(230, 120, 40));
    setlinestyle(PS_SOLID | PS_ENDCAP_FLAT, 5);
    double start = kPi / 2 - t.tm_sec / 60.0 * 2 * kPi;
    if (t.tm_sec > 0) arc(CX - R - 6, CY - R - 6, CX + R + 6, CY + R + 6, start, kPi / 2);
    // The face and its numbers.
    setlinecolor(RGB(60, 60, 70));
    setlinestyle(PS_SOLID, 2);
    setfillcolor(WHITE);
    fillcircle(CX, CY, R);
    settextcolor(RGB(40, 40, 50));
    setbkmode(TRANSPARENT);
    for (int h = 1; h <= 12; ++h) {
        char num[3];
        std::snprintf(num, sizeof num, "%d", h);
        double a = h / 12.0 * 2 * kPi;
        int x = CX + int(std::lround((R - 16) * std::sin(a))) - textwidth(num) / 2;
        int y = CY - int(std::lround((R - 16) * std::cos(a))) - textheight(num) / 2;
        outtextxy(x, y, num);
    }
    // The hands: hours, minutes, seconds.
    hand((t.tm_hour % 12 + t.tm_min / 60.0) / 12.0, R / 2, 6, RGB(40, 40, 50));
    hand((t.tm_min + t.tm_sec / 60.0) / 60.0, R - 24, 4, RGB(40, 40, 50));
    hand(t.tm_sec / 60.0, R - 12, 1, RGB(200, 40, 40));
    setfillcolor(RGB(200, 40, 40));
    solidcircle(CX, CY, 4);
    // The time as text above the face.
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", t.tm_hour, t.tm_min, t.tm_sec);
    outtextxy(CX - textwidth(text) / 2, 4, text);
}

}  // namespace

int main() {
    initgraph(300, 240, 0);
    setbkcolor(RGB(232, 236, 240));
    BeginBatchDraw();
    std::time_t shown = 0;
    for (;;) {
        ExMessage m;
        if (peekmessage(&m, EX_KEY) && m.message == WM_KEYDOWN) break;
        std::time_t now = std::time(nullptr);
        if (now != shown) {  // a new second: redraw
            shown = now;
            drawClock(*std::localtime(&now));
            FlushBatchDraw();
        }
        Sleep(10);
    }
    EndBatchDraw();
    closegraph();
    return 0;
}
