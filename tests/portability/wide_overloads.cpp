// wide_overloads — built with UNICODE and _UNICODE defined, as a Visual
// Studio project is: every text, font, input-box, picture and message call in
// its wide form, with narrow strings and LOGFONTA beside them, and the null
// pointers and numbers a program passes. Building and linking it (here and
// for Windows) shows that one library serves such a program and that the
// calls resolve without ambiguity. Run without arguments it does nothing.
#include <graphics.h>

#include <cstdio>

int main(int argc, char**) {
    if (argc < 2) return 0;
    initgraph(100, 100);
    char s[40];
    std::snprintf(s, sizeof s, "n=%d", 3);
    outtextxy(1, 2, s);
    outtextxy(1, 2, "narrow");
    outtextxy(1, 2, L"wide");
    outtextxy(1, 2, TEXT("tchar"));
    outtextxy(1, 2, 'c');
    outtextxy(1, 2, L'c');
    outtextxy(1, 2, 'A' + 1);
    settextstyle(16, 0, NULL);
    settextstyle(16, 0, "SimSun");
    settextstyle(16, 0, L"SimSun");
    settextstyle(16, 0, nullptr, 0, 0, 400, false, false, false);
    settextstyle(16, 0, "SimSun", 0, 0, 400, false, false, false, DEFAULT_CHARSET, 0, 0, 0, 0);
    LOGFONT f;
    gettextstyle(&f);
    settextstyle(&f);
    LOGFONTA fa;
    gettextstyle(&fa);
    settextstyle(&fa);
    int w = textwidth("x") + textwidth(L"x") + textwidth('x') + textwidth(L'x') + textheight("a") + textheight(L'a');
    RECT r = {0, 0, 10, 10};
    drawtext("a", &r, 0);
    drawtext(L"a", &r, 0);
    drawtext('a', &r, 0);
    drawtext(L'a', &r, 0);
    wchar_t wb[10];
    char nb[10];
    InputBox(wb, 10);
    InputBox(nb, 10, "p");
    InputBox(wb, 10, L"p", NULL, L"d");
    IMAGE img;
    loadimage(&img, "a.png");
    loadimage(&img, L"a.png");
    loadimage(&img, L"PNG", L"X");
    loadimage(&img, "PNG", "X", 0, 0);
    saveimage("a.bmp");
    saveimage(L"a.bmp", &img);
    ExMessage m = getmessage(EX_CHAR);
    getmessage(&m);
    peekmessage(&m);
    peekmessage(NULL, EX_KEY);
    peekmessage(nullptr);
    flushmessage(EX_CHAR);
    wchar_t c = m.ch;
    ExMessage m2 = getmessage();
    closegraph();
    return int(c) + m2.message + w;
}
