// Scripted sessions: the game runs on its own "program" thread in a headless
// window; the test types on the keyboard and checks text lines by pixels.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <windows.h>

namespace session {

// Pixels of one 300 x 16 text line: `text` (GBK) drawn at (0, 0) in black on
// white with the window's default font, the rest of the line white.
struct LineImage {
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, 300 x 16, top-down
    int text_width = 0;
};
LineImage Render(const std::string& text);

// White background and black text, as the game sets them before it draws.
void WhiteScreen();

class Program {
public:
    // Runs initgraph(300, 240, 0), `body`, closegraph on a new thread and
    // waits until the window is open. `real_clock` makes Sleep take real
    // time, so messages shown for 1111 ms can be watched.
    explicit Program(std::function<void()> body, bool real_clock = false);
    // Waits (up to 20 s) for the program to finish; a test that leaves it
    // running fails.
    ~Program();

    DWORD thread_id() const { return tid_; }
    bool finished() const { return done_.load(); }
    bool Finish(DWORD timeout_ms = 20000);

    // Input (ASCII, one key at a time), each key followed by a wait until the
    // program is idle again.
    void Type(const std::string& text);
    void Key(int32_t sdl_keycode);
    bool Idle();
    // The same without waiting after the last key, for watching the
    // messages that follow it.
    void Send(const std::string& text);
    void SendKey(int32_t sdl_keycode);

    // Whether the line at y shows `text` from x = 0 over the width of the text
    // (later characters of a longer old text may follow), or exactly `text`
    // with the rest of the line white. Both wait up to `timeout_ms` for it.
    bool Shows(int y, const std::string& text, DWORD timeout_ms = 3000);
    bool ShowsExactly(int y, const std::string& text, DWORD timeout_ms = 3000);
    bool Blank(int y, DWORD timeout_ms = 3000) { return ShowsExactly(y, "", timeout_ms); }

private:
    bool Match(int y, const LineImage& want, bool exact, DWORD timeout_ms);

    std::thread thread_;
    std::atomic<DWORD> tid_{0};
    std::atomic<HWND> hwnd_{nullptr};
    std::atomic<bool> done_{false};
};

}  // namespace session
