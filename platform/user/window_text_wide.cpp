// window_text_wide.cpp — the W forms of the window-text calls. The window
// text is kept in code page 936; these convert and call the A forms, which do
// the work (and take USER's lock). Characters without a GBK form become '?'.
#include <algorithm>
#include <string>

#include "codepage.h"
#include "winbase.h"
#include "winuser.h"

namespace {

// The window's whole text as wide characters; false for a bad window.
bool wide_window_text(HWND hWnd, std::wstring* out) {
    if (!IsWindow(hWnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    int n = GetWindowTextLengthA(hWnd);
    std::string gbk(size_t(std::max(n, 0)) + 1, '\0');
    int got = GetWindowTextA(hWnd, &gbk[0], int(gbk.size()));
    *out = plat::codepage::wide_of(gbk.data(), got);
    return true;
}

}  // namespace

BOOL WINAPI SetWindowTextW(HWND hWnd, LPCWSTR lpString) {
    std::string gbk = plat::codepage::narrow_of(lpString, -1);
    return SetWindowTextA(hWnd, gbk.c_str());
}

int WINAPI GetWindowTextW(HWND hWnd, LPWSTR lpString, int nMaxCount) {
    if (lpString && nMaxCount > 0) lpString[0] = 0;
    std::wstring text;
    if (!wide_window_text(hWnd, &text)) return 0;
    if (!lpString || nMaxCount <= 0) return 0;
    size_t n = std::min(text.size(), size_t(nMaxCount - 1));
    std::copy(text.begin(), text.begin() + long(n), lpString);
    lpString[n] = 0;
    return int(n);
}

int WINAPI GetWindowTextLengthW(HWND hWnd) {
    std::wstring text;
    return wide_window_text(hWnd, &text) ? int(text.size()) : 0;
}
