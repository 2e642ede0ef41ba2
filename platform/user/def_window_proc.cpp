// The default window procedure (DefWindowProcA) and CallWindowProcA: what a
// window does with a message its own procedure passes on. Built on the
// lifecycle (WM_CLOSE destroys), the queues (WM_SYSCOMMAND sends WM_CLOSE)
// and the window text.
#include "user/user_internal.h"

using namespace plat::user;

LRESULT WINAPI CallWindowProcA(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    return lpPrevWndFunc ? lpPrevWndFunc(hWnd, Msg, wParam, lParam) : 0;
}

LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    switch (Msg) {
    case WM_NCCREATE:
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(hWnd);
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) SendMessageA(hWnd, WM_CLOSE, 0, 0);
        return 0;
    case WM_PAINT:
        ValidateRect(hWnd, nullptr);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_GETTEXTLENGTH:
        return GetWindowTextLengthA(hWnd);
    case WM_GETTEXT:
        return GetWindowTextA(hWnd, reinterpret_cast<LPSTR>(lParam), int(wParam));
    case WM_SETTEXT:
        return store_window_text(hWnd, reinterpret_cast<LPCSTR>(lParam));
    default:
        return 0;
    }
}
