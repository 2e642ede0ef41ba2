// wide_hello — a Glint program built as a new Visual Studio project builds
// it: with UNICODE and _UNICODE defined (see examples/CMakeLists.txt), so
// TCHAR is a wide character and every text call takes wide strings. It draws
// a wide-string title in a font chosen through LOGFONT, a centred line
// measured with textwidth, a wrapped paragraph, and echoes the typed
// characters, each arriving whole in ExMessage::ch (a Chinese character is
// one record, not two bytes). Esc asks for a name with InputBox.
//
//   wide_hello --png FILE   draws without showing anything and saves the
//                           picture as FILE
#include <graphics.h>

#include <cwchar>
#include <string>

#include "snapshot.h"

namespace {

void DrawPage(const std::wstring& typed) {
    cleardevice();
    LOGFONT font;
    gettextstyle(&font);
    font.lfHeight = 22;
    font.lfWeight = FW_BOLD;
    std::wcscpy(font.lfFaceName, L"SimSun");
    settextstyle(&font);
    settextcolor(RGB(20, 60, 140));
    outtextxy(10, 8, TEXT("\u4F60\u597D\uFF0CGlint"));  // "Hello, Glint", a TCHAR string

    settextstyle(16, 0, L"SimSun");
    settextcolor(BLACK);
    const wchar_t* subtitle = L"\u5BBD\u5B57\u7B26\u7248\u672C";  // "wide-character build"
    outtextxy((getwidth() - textwidth(subtitle)) / 2, 44, subtitle);

    RECT para = {10, 72, 290, 150};
    drawtext(L"\u540C\u4E00\u4E2A\u5E93\u540C\u65F6\u670D\u52A1\u7A84\u5B57\u7B26\u548C\u5BBD\u5B57\u7B26\u7684"
             L"\u7A0B\u5E8F\u3002",
             &para, DT_WORDBREAK);  // "One library serves narrow and wide programs alike."
    setlinecolor(BLUE);
    line(10, 160, 290, 160);
    outtextxy(10, 170, typed.c_str());
    outtextxy(10, 200, L'\u2192');  // a lone character
}

}  // namespace

int main(int argc, char* argv[]) {
    const char* png = snapshot::Requested(argc, argv);
    initgraph(300, 240);
    setbkcolor(WHITE);
    std::wstring typed = L"\u8F93\u5165\uFF1A";  // "input:"
    DrawPage(typed);
    if (png) return snapshot::SaveWindow(png) ? 0 : 1;

    for (;;) {
        ExMessage m = getmessage(EX_CHAR | EX_KEY);
        if (m.message == WM_KEYDOWN && m.vkcode == VK_ESCAPE) {
            wchar_t name[32] = L"";
            if (InputBox(name, 32, L"\u4F60\u7684\u540D\u5B57\uFF1F", L"wide_hello", L"\u5C0F\u660E", 0, 0, false))
                typed = name;
        } else if (m.message == WM_CHAR && m.ch == L'\b') {
            if (typed.size() > 3) typed.pop_back();
        } else if (m.message == WM_CHAR && m.ch >= 0x20) {
            typed += m.ch;
        }
        DrawPage(typed);
    }
}
