// Helpers of the control tests: a dialog-like top-level window whose
// procedure records what it receives, an Edit control in it, and a pump that
// dispatches everything queued.
#pragma once

#include <utility>

#include "user_test_util.h"

namespace ctltest {

using namespace usertest;

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

inline void pump() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

inline HWND make_dialog(int w = 200, int h = 100) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = RecordingProc;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "TestDialog";
    RegisterClassExA(&wc);
    RECT r{0, 0, w, h};
    AdjustWindowRectEx(&r, WS_POPUP | WS_CAPTION, FALSE, WS_EX_DLGMODALFRAME);
    HWND d = CreateWindowExA(WS_EX_DLGMODALFRAME, "TestDialog", "dlg", WS_POPUP | WS_CAPTION, 300, 200,
                             r.right - r.left, r.bottom - r.top, nullptr, nullptr, nullptr, nullptr);
    ShowWindow(d, SW_SHOW);
    return d;
}

inline HWND make_edit(HWND parent, DWORD style, int w, int h, const char* text = "") {
    return CreateWindowExA(WS_EX_CLIENTEDGE, "Edit", text, WS_CHILD | WS_VISIBLE | style, 10, 10, w, h, parent,
                           reinterpret_cast<HMENU>(1028), nullptr, nullptr);
}

inline std::pair<DWORD, DWORD> selection(HWND e) {
    DWORD a = 0, b = 0;
    SendMessageA(e, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
    return {a, b};
}

}  // namespace ctltest
