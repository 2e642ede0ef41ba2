// gallery_shot — runs an example program on the headless backend, plays a
// few input steps into its window and writes the window's pixels to a PNG.
//
//   shot_<example> OUT.png [STEP...]
//
// Steps (coordinates are client coordinates; buttons 1 left, 2 middle, 3 right):
//   wait=MS              let MS milliseconds pass (on the virtual clock)
//   click=B,X,Y          press and release a button
//   path=X,Y;X,Y;...     press the left button at the first point, move
//                        through the others, release at the last
//   move=X,Y[,BUTTONS]   move the pointer (BUTTONS: bit 0 left, 1 middle, 2 right)
//   down=B,X,Y  up=B,X,Y press or release a button without moving
//   type=TEXT            type TEXT (ASCII as key presses)
//   key=NAME             press and release a key: Left, Right, Up, Down,
//                        Escape, Return, or one letter or digit
// After every step the example is given time to take in its input. The
// example's own main runs on a thread of its own and never returns here; the
// process ends when the picture is written.
#include <png.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/headless.h"

int gallery_run(int argc, char** argv);  // the example's main (see CMakeLists.txt)

namespace {

std::atomic<DWORD> g_example_thread{0};

void settle() {
    DWORD tid = g_example_thread.load();
    if (tid) headless::WaitIdle(tid, 5000);
}

// The backend's key codes (SDL's): letters and digits are their lower-case
// ASCII, the arrows and a few others have codes of their own.
int32_t key_code(const std::string& name) {
    static const struct { const char* name; int32_t code; } kNamed[] = {
        {"Left", 0x40000050}, {"Right", 0x4000004F}, {"Up", 0x40000052}, {"Down", 0x40000051},
        {"Escape", 27}, {"Return", 13},
    };
    for (const auto& k : kNamed)
        if (name == k.name) return k.code;
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0])))
        return std::tolower(static_cast<unsigned char>(name[0]));
    return 0;
}

std::vector<int> numbers(const std::string& s) {
    std::vector<int> out;
    std::stringstream in(s);
    std::string item;
    while (std::getline(in, item, ',')) out.push_back(std::atoi(item.c_str()));
    return out;
}

bool play(const std::string& step) {
    size_t eq = step.find('=');
    if (eq == std::string::npos) return false;
    std::string verb = step.substr(0, eq), arg = step.substr(eq + 1);
    std::vector<int> n = numbers(arg);
    if (verb == "wait" && n.size() == 1) {
        Sleep(DWORD(n[0]));
    } else if (verb == "click" && n.size() == 3) {
        headless::MouseDown(n[0], n[1], n[2]);
        settle();
        headless::MouseUp(n[0], n[1], n[2]);
    } else if (verb == "down" && n.size() == 3) {
        headless::MouseDown(n[0], n[1], n[2]);
    } else if (verb == "up" && n.size() == 3) {
        headless::MouseUp(n[0], n[1], n[2]);
    } else if (verb == "move" && (n.size() == 2 || n.size() == 3)) {
        headless::MouseMove(n[0], n[1], n.size() == 3 ? uint32_t(n[2]) : 0);
    } else if (verb == "path") {
        std::vector<std::vector<int>> pts;
        std::stringstream in(arg);
        std::string p;
        while (std::getline(in, p, ';')) pts.push_back(numbers(p));
        if (pts.empty()) return false;
        for (auto& p : pts)
            if (p.size() != 2) return false;
        headless::MouseMove(pts[0][0], pts[0][1]);
        headless::MouseDown(1, pts[0][0], pts[0][1]);
        for (size_t i = 1; i < pts.size(); ++i) {
            settle();
            headless::MouseMove(pts[i][0], pts[i][1], 1);
        }
        settle();
        headless::MouseUp(1, pts.back()[0], pts.back()[1]);
    } else if (verb == "type") {
        headless::TypeString(arg);
    } else if (verb == "key") {
        int32_t code = key_code(arg);
        if (!code) return false;
        headless::PressKey(code);
    } else {
        return false;
    }
    settle();
    return true;
}

bool write_png(const char* path, const std::vector<uint32_t>& px, int w, int h) {
    std::vector<unsigned char> rgb(size_t(w) * size_t(h) * 3);
    for (size_t i = 0; i < px.size(); ++i) {
        rgb[i * 3] = (px[i] >> 16) & 0xFF;
        rgb[i * 3 + 1] = (px[i] >> 8) & 0xFF;
        rgb[i * 3 + 2] = px[i] & 0xFF;
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(w);
    image.height = png_uint_32(h);
    image.format = PNG_FORMAT_RGB;
    return png_image_write_to_file(&image, path, 0, rgb.data(), 0, nullptr) != 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUT.png [STEP...]\n", argv[0]);
        return 2;
    }
    headless::Use(/*virtual_clock=*/true);
    std::thread([prog = argv[0]] {
        g_example_thread = GetCurrentThreadId();
        char* args[] = {prog, nullptr};
        gallery_run(1, args);
        for (;;) Sleep(INFINITE);  // keep the window as the example left it
    }).detach();
    HWND window = nullptr;
    for (int i = 0; i < 5000 && !window; ++i) {
        Sleep(1);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        window = headless::FocusedWindow();
    }
    if (!window) {
        std::fprintf(stderr, "%s: the example opened no window\n", argv[0]);
        return 1;
    }
    settle();
    for (int i = 2; i < argc; ++i) {
        if (!play(argv[i])) {
            std::fprintf(stderr, "%s: bad step '%s'\n", argv[0], argv[i]);
            _exit(2);
        }
    }
    // Let the window's periodic refresh copy the last drawing.
    for (int i = 0; i < 3; ++i) {
        Sleep(20);
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        settle();
    }
    std::vector<uint32_t> px;
    int w = 0, h = 0;
    if (!headless::ReadClient(window, &px, &w, &h) || w <= 0 || h <= 0 || !write_png(argv[1], px, w, h)) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        _exit(1);
    }
    _exit(0);  // the example's threads are still running
}
