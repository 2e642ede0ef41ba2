// A program from outside the project, built against the installed Glint.
// It runs headlessly, draws a filled square and checks the window's pixels:
// exit status 0 when they are right.
#include <graphics.h>
#include <platform/headless.h>

#include <cstdio>
#include <vector>

int main() {
    headless::Use();
    initgraph(64, 48, 0);
    setfillcolor(RGB(255, 0, 0));
    solidrectangle(10, 10, 20, 20);
    FlushBatchDraw();
    std::vector<uint32_t> px;
    int w = 0, h = 0;
    bool ok = headless::ReadClient(GetHWnd(), &px, &w, &h) && w == 64 && h == 48;
    // The square's corners (right and bottom inclusive) are red, outside is black.
    ok = ok && px[10 * w + 10] == 0xFF0000 && px[20 * w + 20] == 0xFF0000 && px[21 * w + 21] == 0 &&
         px[9 * w + 9] == 0;
    closegraph();
    std::printf("%s\n", ok ? "outside program: ok" : "outside program: wrong pixels");
    return ok ? 0 : 1;
}
