// Renders the input box headlessly and writes its client area as PNG files:
// OUT_DIR/input_box.png (one line, the default text selected) and
// OUT_DIR/input_box_multiline.png (several lines with the scroll bar).
// The window frame and caption are the window manager's and not part of
// the pictures. Usage: render_input_box OUT_DIR
#include <SDL2/SDL_keycode.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "../../glint/src/input_box.h"
#include "glint.h"
#include "platform/headless.h"
#include "png_file.h"

namespace {

// Opens an input box on a program thread, lets `drive` act on it, saves its
// client area to `path` and closes it with Esc.
bool Shoot(const std::string& path, const char* prompt, const char* def, int height,
           void (*drive)(HWND dlg, DWORD tid)) {
    std::atomic<bool> done{false};
    char buf[256] = "";
    std::thread program([&] {
        InputBox(buf, sizeof buf, prompt, "Lumenvale", def, 0, height, false);
        done = true;
    });
    HWND dlg = nullptr;
    for (int i = 0; i < 5000 && !dlg; ++i) {
        HWND h = FindWindowA(Glint::kInputBoxClass, nullptr);
        if (h && IsWindowVisible(h)) dlg = h;
        else std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    bool ok = false;
    if (dlg) {
        DWORD tid = GetWindowThreadProcessId(dlg, nullptr);
        headless::WaitIdle(tid);
        if (drive) drive(dlg, tid);
        std::vector<uint32_t> px;
        int w = 0, h = 0;
        ok = headless::ReadClient(dlg, &px, &w, &h) && tools::WritePng(path, px, w, h);
        headless::PressKey(SDLK_ESCAPE, 0, dlg);
    }
    program.join();
    if (!ok) std::fprintf(stderr, "render_input_box: cannot write %s\n", path.c_str());
    return ok;
}

void TypeLines(HWND dlg, DWORD tid) {
    headless::TypeString(u8"第一行\n第二行：a longer line of text that wraps at a word boundary\n"
                         u8"第三行\n第四行\n第五行\n第六行",
                         dlg);
    headless::WaitIdle(tid);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT_DIR\n", argv[0]);
        return 2;
    }
    headless::Use(true);
    std::string dir = argv[1];
    initgraph(400, 300);
    bool ok = Shoot(dir + "/input_box.png", "请输入你的道号（最多 20 个字）：", "云游散人", 0, nullptr);
    ok = Shoot(dir + "/input_box_multiline.png", "留言（Ctrl+Enter 确定）：", "", 120, TypeLines) && ok;
    closegraph();
    return ok ? 0 : 1;
}
