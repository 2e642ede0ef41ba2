// image_viewer — shows a picture fitted into a 640 x 480 window and turns it.
//
//   image_viewer [picture [screenshot]]
//
// Without a picture (or with an empty name) it shows the sample picture built into the program as a
// resource (PNG "SAMPLE", see examples/CMakeLists.txt). The picture is scaled
// so that it fits the window at every angle. Left and Right turn it by 15
// degrees with bilinear sampling, Up and Down with nearest-pixel sampling; S
// saves the window as a picture (screenshot.png unless a name is given, the
// format chosen by its extension); Esc ends the program.
#include <graphics.h>

#include <cmath>
#include <cstdio>

namespace {

const int kWidth = 640, kHeight = 480, kStatus = 24;
const double kPi = 3.14159265358979323846;
const COLORREF kBackground = RGB(28, 30, 38);

bool LoadPicture(IMAGE* img, const char* file, int w, int h) {
    return file ? loadimage(img, file, w, h, true) : loadimage(img, "PNG", "SAMPLE", w, h, true);
}

// Loads the picture at a size whose diagonal fits the picture area.
bool LoadFitted(IMAGE* out, const char* file) {
    IMAGE probe;
    if (!LoadPicture(&probe, file, 0, 0)) return false;
    const double w = probe.getwidth(), h = probe.getheight();
    const double diagonal = std::sqrt(w * w + h * h);
    const double room = std::fmin(kWidth - 16, kHeight - kStatus - 16);
    const double scale = room / diagonal;
    int fw = int(w * scale + 0.5), fh = int(h * scale + 0.5);
    if (fw < 1) fw = 1;
    if (fh < 1) fh = 1;
    return LoadPicture(out, file, fw, fh);
}

void Show(const IMAGE& fitted, int steps, bool bilinear, const char* note) {
    setbkcolor(kBackground);
    cleardevice();
    IMAGE turned;
    rotateimage(&turned, const_cast<IMAGE*>(&fitted), steps * kPi / 12, kBackground, true, bilinear);
    putimage((kWidth - turned.getwidth()) / 2, (kHeight - kStatus - turned.getheight()) / 2, &turned, SRCCOPY);
    setfillcolor(RGB(52, 56, 70));
    solidrectangle(0, kHeight - kStatus, kWidth - 1, kHeight - 1);
    char line[160];
    int degrees = ((steps * 15) % 360 + 360) % 360;
    std::snprintf(line, sizeof line, "%3d deg, %s   Left/Right: bilinear  Up/Down: nearest  S: save  Esc: quit  %s",
                  degrees, bilinear ? "bilinear" : "nearest ", note);
    setbkmode(TRANSPARENT);
    settextcolor(RGB(230, 230, 230));
    outtextxy(8, kHeight - kStatus + 4, line);
    FlushBatchDraw();
}

}  // namespace

int main(int argc, char** argv) {
    const char* file = argc > 1 && argv[1][0] ? argv[1] : nullptr;
    const char* shot = argc > 2 ? argv[2] : "screenshot.png";
    initgraph(kWidth, kHeight);
    BeginBatchDraw();
    IMAGE fitted;
    if (!LoadFitted(&fitted, file)) {
        setbkcolor(kBackground);
        cleardevice();
        char line[300];
        std::snprintf(line, sizeof line, "Cannot show \"%s\". Press a key.", file ? file : "the sample");
        outtextxy(8, 8, line);
        FlushBatchDraw();
        getmessage(EX_KEY);
        closegraph();
        return 1;
    }
    int steps = 0;
    bool bilinear = true;
    Show(fitted, steps, bilinear, "");
    for (;;) {
        ExMessage m = getmessage(EX_KEY);
        if (m.message != WM_KEYDOWN) continue;
        const char* note = "";
        switch (m.vkcode) {
            case VK_LEFT: ++steps, bilinear = true; break;
            case VK_RIGHT: --steps, bilinear = true; break;
            case VK_UP: ++steps, bilinear = false; break;
            case VK_DOWN: --steps, bilinear = false; break;
            case 'S':
                saveimage(shot);
                note = "(saved)";
                break;
            case VK_ESCAPE:
                EndBatchDraw();
                closegraph();
                return 0;
            default: continue;
        }
        Show(fitted, steps, bilinear, note);
    }
}
