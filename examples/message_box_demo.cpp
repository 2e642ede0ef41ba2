// message_box_demo — message boxes over the graphics window, as a game asks
// "play again?".
//
// The first box asks a question (Yes/No, with the question icon, a long
// Chinese text that wraps), the second one a three-way question (Yes, No and
// Cancel, No the default, the warning icon). Each answer is printed on
// standard output as "answer <ID>" (6 IDYES, 7 IDNO, 2 IDCANCEL) and drawn
// in the window. While a box shows, the graphics window takes no input; then
// it has the keyboard again, and the program ends at the next key pressed in it.
//
// This source is compiled with the narrow execution character set GBK.
#include <cstdio>

#include <graphics.h>
#include <windows.h>

namespace {

const char* Name(int id) {
    switch (id) {
        case IDYES: return "Yes";
        case IDNO: return "No";
        case IDCANCEL: return "Cancel";
        default: return "?";
    }
}

void Show(int line, int id) {
    char text[40];
    std::snprintf(text, sizeof text, "answer %d: %s", id, Name(id));
    outtextxy(20, 60 + 24 * line, text);
    std::printf("answer %d\n", id);
    std::fflush(stdout);
}

}  // namespace

int main() {
    initgraph(360, 200);
    setbkcolor(RGB(30, 40, 60));
    cleardevice();
    settextcolor(WHITE);
    setbkmode(TRANSPARENT);
    outtextxy(20, 20, "消息框示例");

    int first = MessageBox(GetHWnd(),
                           "这一局结束了。你赢了三场，输了两场。要不要再来一局？"
                           "选择“是”重新开始，选择“否”回到菜单。",
                           "Question", MB_YESNO | MB_ICONQUESTION);
    Show(0, first);
    int second = MessageBox(GetHWnd(), "Save the game before leaving?", "Leaving",
                            MB_YESNOCANCEL | MB_ICONWARNING | MB_DEFBUTTON2);
    Show(1, second);

    // The key that closed the box is released over the window: wait for a new press.
    while (getmessage(EX_KEY).message != WM_KEYDOWN) {
    }
    closegraph();
    return 0;
}
