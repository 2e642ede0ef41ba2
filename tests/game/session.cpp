#include "session.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>

#include <graphics.h>

#include "platform/headless.h"

namespace session {

LineImage Render(const std::string& text) {
    const int W = 300, H = 16;
    LineImage out;
    HDC dc = CreateCompatibleDC(NULL);
    BITMAPINFO bi;
    std::memset(&bi, 0, sizeof bi);
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = W;
    bi.bmiHeader.biHeight = -H;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ old_bmp = SelectObject(dc, bmp);
    // The font every Glint image starts with.
    HFONT font = CreateFontA(16, 0, 0, 0, 0, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0,
                             NONANTIALIASED_QUALITY, 0, "System");
    HGDIOBJ old_font = SelectObject(dc, font);
    PatBlt(dc, 0, 0, W, H, WHITENESS);
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, RGB(255, 255, 255));
    SetTextColor(dc, RGB(0, 0, 0));
    if (!text.empty()) {
        TextOutA(dc, 0, 0, text.c_str(), static_cast<int>(text.size()));
        SIZE size{};
        GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
        out.text_width = size.cx;
    }
    GdiFlush();
    const uint32_t* px = static_cast<const uint32_t*>(bits);
    out.pixels.resize(W * H);
    for (int i = 0; i < W * H; ++i) out.pixels[i] = px[i] & 0x00FFFFFFu;
    SelectObject(dc, old_font);
    DeleteObject(font);
    SelectObject(dc, old_bmp);
    DeleteObject(bmp);
    DeleteDC(dc);
    return out;
}

void WhiteScreen() {
    setbkcolor(WHITE);
    settextcolor(BLACK);
    cleardevice();
}

Program::Program(std::function<void()> body, bool real_clock) {
    if (real_clock) headless::Use(false);
    thread_ = std::thread([this, body] {
        tid_ = GetCurrentThreadId();
        hwnd_ = initgraph(300, 240, 0);
        body();
        closegraph();
        done_ = true;
    });
    auto start = std::chrono::steady_clock::now();
    while (!hwnd_.load() && std::chrono::steady_clock::now() - start < std::chrono::seconds(20))
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_NE(hwnd_.load(), nullptr) << "the window did not open";
    Idle();
}

Program::~Program() {
    if (!Finish()) {
        ADD_FAILURE() << "the program was still running at the end of the test";
        thread_.detach();
    }
}

bool Program::Finish(DWORD timeout_ms) {
    if (!thread_.joinable()) return true;
    auto start = std::chrono::steady_clock::now();
    while (!done_.load()) {
        if (std::chrono::steady_clock::now() - start > std::chrono::milliseconds(timeout_ms)) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    thread_.join();
    return true;
}

bool Program::Idle() {
    // Short waits in a loop, so that a program that has just finished is
    // noticed at once.
    auto start = std::chrono::steady_clock::now();
    for (;;) {
        if (done_.load()) return true;
        if (headless::WaitIdle(tid_.load(), 250)) return true;
        if (std::chrono::steady_clock::now() - start > std::chrono::seconds(30)) {
            ADD_FAILURE() << "the program did not become idle";
            return false;
        }
    }
}

// getint acts on one key per poll and drops the keys queued behind it, as
// keys typed faster than the program polls would be; so a person's typing is
// modelled one key at a time, each followed by a wait until the program has
// taken it.
void Program::Type(const std::string& text) {
    Send(text);
    Idle();
}

void Program::Send(const std::string& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        if (i > 0) Idle();
        headless::TypeString(text.substr(i, 1), hwnd_.load());
    }
}

void Program::SendKey(int32_t sdl_keycode) { headless::PressKey(sdl_keycode, 0, hwnd_.load()); }

void Program::Key(int32_t sdl_keycode) {
    headless::PressKey(sdl_keycode, 0, hwnd_.load());
    Idle();
}

bool Program::Match(int y, const LineImage& want, bool exact, DWORD timeout_ms) {
    const int W = 300, H = 16;
    const int width = exact ? W : want.text_width;
    auto start = std::chrono::steady_clock::now();
    std::vector<uint32_t> px;
    for (;;) {
        int w = 0, h = 0;
        if (headless::ReadClient(hwnd_.load(), &px, &w, &h) && w == W && h >= y + H) {
            bool same = true;
            for (int row = 0; row < H && same; ++row)
                for (int x = 0; x < width; ++x)
                    if ((px[(y + row) * W + x] & 0x00FFFFFFu) != want.pixels[row * W + x]) {
                        same = false;
                        break;
                    }
            if (same) return true;
        }
        if (std::chrono::steady_clock::now() - start > std::chrono::milliseconds(timeout_ms)) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

bool Program::Shows(int y, const std::string& text, DWORD timeout_ms) {
    return Match(y, Render(text), false, timeout_ms);
}

bool Program::ShowsExactly(int y, const std::string& text, DWORD timeout_ms) {
    return Match(y, Render(text), true, timeout_ms);
}

}  // namespace session
