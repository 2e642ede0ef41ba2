// The look-up every USER call on one window starts with: a handle that names
// no window (never made, or destroyed) fails the call and leaves
// ERROR_INVALID_WINDOW_HANDLE as the last error, as on Windows.
#include <gtest/gtest.h>

#include <functional>

#include "user_test_util.h"

namespace {

using namespace usertest;

TEST(UserWindowTable, EveryCallOnAMissingWindowReportsAnInvalidHandle) {
    HWND dead = make_window();
    ASSERT_TRUE(DestroyWindow(dead));
    RECT r{};
    POINT p{};
    PAINTSTRUCT ps{};
    char text[8];
    struct Call {
        const char* name;
        std::function<bool(HWND)> failed;
    } calls[] = {
        {"GetWindowRect", [&](HWND h) { return !GetWindowRect(h, &r); }},
        {"GetClientRect", [&](HWND h) { return !GetClientRect(h, &r); }},
        {"SetWindowPos", [](HWND h) { return !SetWindowPos(h, nullptr, 0, 0, 10, 10, SWP_NOZORDER); }},
        {"MoveWindow", [](HWND h) { return !MoveWindow(h, 0, 0, 10, 10, TRUE); }},
        {"ClientToScreen", [&](HWND h) { return !ClientToScreen(h, &p); }},
        {"ScreenToClient", [&](HWND h) { return !ScreenToClient(h, &p); }},
        {"ShowWindow", [](HWND h) { return !ShowWindow(h, SW_SHOW); }},
        {"EnableWindow", [](HWND h) { return !EnableWindow(h, FALSE); }},
        {"DestroyWindow", [](HWND h) { return !DestroyWindow(h); }},
        {"SetWindowTextA", [](HWND h) { return !SetWindowTextA(h, "x"); }},
        {"GetWindowTextA", [&](HWND h) { return GetWindowTextA(h, text, sizeof text) == 0; }},
        {"GetWindowTextLengthA", [](HWND h) { return GetWindowTextLengthA(h) == 0; }},
        {"GetWindowLongPtrA", [](HWND h) { return GetWindowLongPtrA(h, GWL_STYLE) == 0; }},
        {"SetWindowLongPtrA", [](HWND h) { return SetWindowLongPtrA(h, GWLP_USERDATA, 7) == 0; }},
        {"GetWindowThreadProcessId", [](HWND h) { return GetWindowThreadProcessId(h, nullptr) == 0; }},
        {"GetParent", [](HWND h) { return GetParent(h) == nullptr; }},
        {"GetDlgItem", [](HWND h) { return GetDlgItem(h, 1) == nullptr; }},
        {"GetDlgCtrlID", [](HWND h) { return GetDlgCtrlID(h) == 0; }},
        {"SetCapture", [](HWND h) { return SetCapture(h) == nullptr; }},
        {"SetFocus", [](HWND h) { return SetFocus(h) == nullptr; }},
        {"GetDC", [](HWND h) { return GetDC(h) == nullptr; }},
        {"BeginPaint", [&](HWND h) { return BeginPaint(h, &ps) == nullptr; }},
        {"InvalidateRect", [](HWND h) { return !InvalidateRect(h, nullptr, TRUE); }},
        {"ValidateRect", [](HWND h) { return !ValidateRect(h, nullptr); }},
        {"SetTimer", [](HWND h) { return SetTimer(h, 1, 10, nullptr) == 0; }},
        {"KillTimer", [](HWND h) { return !KillTimer(h, 1); }},
        {"PostMessageA", [](HWND h) { return !PostMessageA(h, WM_USER, 0, 0); }},
        {"SendMessageA", [](HWND h) { return SendMessageA(h, WM_USER, 0, 0) == 0; }},
    };
    for (HWND h : {dead, reinterpret_cast<HWND>(uintptr_t(0x7FFF0))}) {
        for (const Call& c : calls) {
            SCOPED_TRACE(c.name);
            SetLastError(ERROR_SUCCESS);
            EXPECT_TRUE(c.failed(h));
            EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
        }
    }
}

}  // namespace
