// Helpers for the USER tests: a window class whose procedure records what it
// receives, and a thread that owns a window and pumps its messages.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/headless.h"

namespace usertest {

struct Received {
    HWND hwnd;
    UINT msg;
    WPARAM wp;
    LPARAM lp;
    DWORD thread;
};

// Everything any window of the test class received, in order.
inline std::mutex& log_mutex() {
    static std::mutex m;
    return m;
}
inline std::vector<Received>& log() {
    static std::vector<Received> v;
    return v;
}
inline std::vector<Received> received(UINT msg) {
    std::lock_guard<std::mutex> lock(log_mutex());
    std::vector<Received> out;
    for (auto& r : log())
        if (r.msg == msg) out.push_back(r);
    return out;
}

// Per-test behaviour hook: return true to answer with *result.
inline std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT*)>& hook() {
    static std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT*)> h;
    return h;
}

inline LRESULT CALLBACK RecordingProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    {
        std::lock_guard<std::mutex> lock(log_mutex());
        log().push_back(Received{h, m, w, l, GetCurrentThreadId()});
    }
    LRESULT r = 0;
    if (hook() && hook()(h, m, w, l, &r)) return r;
    return DefWindowProcA(h, m, w, l);
}

inline const char* kClass = "UserTestWnd";

inline void register_class(UINT style = 0) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = RecordingProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = kClass;
    RegisterClassExA(&wc);
}

constexpr DWORD kStyle = WS_CAPTION | WS_SYSMENU;

inline HWND make_window(int client_w = 300, int client_h = 240, DWORD style = kStyle, int x = CW_USEDEFAULT,
                        int y = CW_USEDEFAULT) {
    register_class();
    RECT r{0, 0, client_w, client_h};
    AdjustWindowRectEx(&r, style, FALSE, 0);
    return CreateWindowExA(0, kClass, "test", style, x, y, r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

// A thread that creates a window and runs a PeekMessageA / Sleep(1) loop
// (the graphics layer's loop) until stop() or WM_QUIT.
class WindowThread {
public:
    WindowThread() {
        thread_ = std::thread([this] {
            tid_ = GetCurrentThreadId();
            hwnd_ = make_window();
            ready_ = true;
            MSG msg;
            while (!stop_) {
                if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                    if (msg.message == WM_QUIT) break;
                    TranslateMessage(&msg);
                    DispatchMessageA(&msg);
                    continue;
                }
                Sleep(1);
            }
        });
        while (!ready_) std::this_thread::yield();
    }
    ~WindowThread() {
        stop_ = true;
        thread_.join();
    }
    HWND hwnd() const { return hwnd_; }
    DWORD tid() const { return tid_; }
    void stop() { stop_ = true; }

private:
    std::thread thread_;
    std::atomic<bool> ready_{false}, stop_{false};
    std::atomic<HWND> hwnd_{nullptr};
    std::atomic<DWORD> tid_{0};
};

}  // namespace usertest
