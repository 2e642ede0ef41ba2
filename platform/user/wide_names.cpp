// wide_names.cpp — the W forms of USER's text-carrying calls, for programs
// built with UNICODE defined.
//
// A wide string is one Unicode code point per WCHAR (wchar_t is 32 bits on
// Linux). Each function converts its text to code page 936 and takes the A
// path; text coming back is converted to wide characters and cut to the
// caller's buffer as the W functions of Windows cut it (count in WCHARs,
// always zero-terminated). Integer resource names and class atoms pass
// through unchanged. Characters without a GBK form become '?'.
//
// Window procedures get the narrow messages whatever the class was
// registered with: USER keeps one (narrow) message path.
#include <cstring>
#include <map>
#include <mutex>
#include <string>

#include "codepage.h"
#include "windows.h"

namespace {

bool is_int_name(const void* p) { return (reinterpret_cast<uintptr_t>(p) >> 16) == 0; }

std::string narrow(LPCWSTR s) {
    if (!s) return {};
    std::u32string cps;
    for (; *s; ++s) cps += char32_t(*s);
    return plat::codepage::utf8_to_936(plat::codepage::utf8_of(cps.data(), cps.size()));
}

std::wstring widen(const std::string& gbk) {
    std::u32string cps = plat::codepage::decode_936(gbk.data(), int(gbk.size()));
    return std::wstring(cps.begin(), cps.end());
}

// A name argument: null, an integer name or atom (passed on as it is), or text.
class Name {
public:
    explicit Name(LPCWSTR s) : raw_(s) {
        if (s && !is_int_name(s)) text_ = narrow(s);
    }
    LPCSTR get() const {
        if (!raw_) return nullptr;
        if (is_int_name(raw_)) return reinterpret_cast<LPCSTR>(raw_);
        return text_.c_str();
    }

private:
    LPCWSTR raw_;
    std::string text_;
};

// Copies `text` into a caller's buffer of `size` WCHARs: at most size - 1
// characters and the terminating zero. Returns the characters copied.
int copy_out(const std::wstring& text, LPWSTR out, int size) {
    if (!out || size <= 0) return 0;
    size_t n = std::min(text.size(), size_t(size - 1));
    std::wmemcpy(out, text.data(), n);
    out[n] = L'\0';
    return int(n);
}

// The window's text as GBK bytes, through the given procedure caller.
template <typename Send>
std::string window_text(Send send) {
    LRESULT len = send(WM_GETTEXTLENGTH, 0, 0);
    if (len <= 0) return {};
    std::string s(size_t(len) + 1, '\0');
    LRESULT got = send(WM_GETTEXT, WPARAM(len + 1), reinterpret_cast<LPARAM>(&s[0]));
    s.resize(size_t(got > 0 ? got : 0));
    return s;
}

// The text messages a program sends with wide text, converted for the
// window's (narrow) procedure.
template <typename Send>
LRESULT text_message(Send send, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_SETTEXT: {
            Name text(reinterpret_cast<LPCWSTR>(lp));
            return send(msg, wp, reinterpret_cast<LPARAM>(text.get()));
        }
        case WM_GETTEXT:
            return copy_out(widen(window_text(send)), reinterpret_cast<LPWSTR>(lp), int(wp));
        case WM_GETTEXTLENGTH:
            return LRESULT(widen(window_text(send)).size());
        default:
            return send(msg, wp, lp);
    }
}

// Wide class and menu names handed out by GetClassInfoExW: kept for the
// life of the process, one per name.
LPCWSTR kept_wide(const char* gbk) {
    if (!gbk || is_int_name(gbk)) return reinterpret_cast<LPCWSTR>(gbk);
    static std::mutex mutex;
    static auto* names = new std::map<std::string, std::wstring>;
    std::lock_guard<std::mutex> lock(mutex);
    auto it = names->find(gbk);
    if (it == names->end()) it = names->emplace(gbk, widen(gbk)).first;
    return it->second.c_str();
}

}  // namespace

int WINAPI MessageBoxW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType) {
    Name text(lpText), caption(lpCaption);
    return MessageBoxA(hWnd, text.get(), caption.get(), uType);
}

int WINAPI MessageBoxExW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType, WORD) {
    return MessageBoxW(hWnd, lpText, lpCaption, uType);
}

ATOM WINAPI RegisterClassExW(const WNDCLASSEXW* lpwcx) {
    if (!lpwcx) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    Name cls(lpwcx->lpszClassName), menu(lpwcx->lpszMenuName);
    WNDCLASSEXA a{};
    std::memcpy(&a, lpwcx, sizeof a);  // the same layout; the two names are replaced below
    a.cbSize = lpwcx->cbSize == sizeof(WNDCLASSEXW) ? UINT(sizeof(WNDCLASSEXA)) : lpwcx->cbSize;
    a.lpszClassName = cls.get();
    a.lpszMenuName = menu.get();
    return RegisterClassExA(&a);
}

ATOM WINAPI RegisterClassW(const WNDCLASSW* lpWndClass) {
    if (!lpWndClass) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    Name cls(lpWndClass->lpszClassName), menu(lpWndClass->lpszMenuName);
    WNDCLASSA a{};
    std::memcpy(&a, lpWndClass, sizeof a);
    a.lpszClassName = cls.get();
    a.lpszMenuName = menu.get();
    return RegisterClassA(&a);
}

BOOL WINAPI UnregisterClassW(LPCWSTR lpClassName, HINSTANCE hInstance) {
    Name cls(lpClassName);
    return UnregisterClassA(cls.get(), hInstance);
}

BOOL WINAPI GetClassInfoExW(HINSTANCE hInstance, LPCWSTR lpszClass, LPWNDCLASSEXW lpwcx) {
    if (!lpwcx) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    Name cls(lpszClass);
    WNDCLASSEXA a{};
    a.cbSize = sizeof a;
    BOOL ok = GetClassInfoExA(hInstance, cls.get(), &a);
    if (!ok) return FALSE;
    std::memcpy(lpwcx, &a, sizeof a);
    lpwcx->cbSize = sizeof(WNDCLASSEXW);
    lpwcx->lpszClassName = kept_wide(a.lpszClassName);
    lpwcx->lpszMenuName = kept_wide(a.lpszMenuName);
    return ok;
}

HWND WINAPI CreateWindowExW(DWORD dwExStyle, LPCWSTR lpClassName, LPCWSTR lpWindowName, DWORD dwStyle, int X, int Y,
                            int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance,
                            LPVOID lpParam) {
    Name cls(lpClassName), title(lpWindowName);
    return CreateWindowExA(dwExStyle, cls.get(), title.get(), dwStyle, X, Y, nWidth, nHeight, hWndParent, hMenu,
                           hInstance, lpParam);
}

BOOL WINAPI SetWindowTextW(HWND hWnd, LPCWSTR lpString) {
    Name text(lpString);
    return SetWindowTextA(hWnd, lpString ? text.get() : nullptr);
}

int WINAPI GetWindowTextW(HWND hWnd, LPWSTR lpString, int nMaxCount) {
    if (!IsWindow(hWnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        if (lpString && nMaxCount > 0) lpString[0] = L'\0';
        return 0;
    }
    int len = GetWindowTextLengthA(hWnd);
    std::string s(size_t(len) + 1, '\0');
    s.resize(size_t(GetWindowTextA(hWnd, &s[0], len + 1)));
    return copy_out(widen(s), lpString, nMaxCount);
}

int WINAPI GetWindowTextLengthW(HWND hWnd) {
    int len = GetWindowTextLengthA(hWnd);
    if (len <= 0) return 0;
    std::string s(size_t(len) + 1, '\0');
    s.resize(size_t(GetWindowTextA(hWnd, &s[0], len + 1)));
    return int(widen(s).size());
}

LONG WINAPI GetWindowLongW(HWND hWnd, int nIndex) { return GetWindowLongA(hWnd, nIndex); }
LONG WINAPI SetWindowLongW(HWND hWnd, int nIndex, LONG dwNewLong) { return SetWindowLongA(hWnd, nIndex, dwNewLong); }
LONG_PTR WINAPI GetWindowLongPtrW(HWND hWnd, int nIndex) { return GetWindowLongPtrA(hWnd, nIndex); }
LONG_PTR WINAPI SetWindowLongPtrW(HWND hWnd, int nIndex, LONG_PTR dwNewLong) {
    return SetWindowLongPtrA(hWnd, nIndex, dwNewLong);
}

HWND WINAPI FindWindowW(LPCWSTR lpClassName, LPCWSTR lpWindowName) {
    Name cls(lpClassName), title(lpWindowName);
    return FindWindowA(cls.get(), title.get());
}

HCURSOR WINAPI LoadCursorW(HINSTANCE hInstance, LPCWSTR lpCursorName) {
    Name name(lpCursorName);
    return LoadCursorA(hInstance, name.get());
}

HICON WINAPI LoadIconW(HINSTANCE hInstance, LPCWSTR lpIconName) {
    Name name(lpIconName);
    return LoadIconA(hInstance, name.get());
}

BOOL WINAPI SystemParametersInfoW(UINT uiAction, UINT uiParam, PVOID pvParam, UINT fWinIni) {
    return SystemParametersInfoA(uiAction, uiParam, pvParam, fWinIni);
}

BOOL WINAPI PeekMessageW(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg) {
    return PeekMessageA(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, wRemoveMsg);
}

BOOL WINAPI GetMessageW(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax) {
    return GetMessageA(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax);
}

LRESULT WINAPI DispatchMessageW(const MSG* lpMsg) { return DispatchMessageA(lpMsg); }

BOOL WINAPI PostMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    return PostMessageA(hWnd, Msg, wParam, lParam);
}

BOOL WINAPI PostThreadMessageW(DWORD idThread, UINT Msg, WPARAM wParam, LPARAM lParam) {
    return PostThreadMessageA(idThread, Msg, wParam, lParam);
}

LRESULT WINAPI SendMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    auto send = [hWnd](UINT m, WPARAM w, LPARAM l) { return SendMessageA(hWnd, m, w, l); };
    return text_message(send, Msg, wParam, lParam);
}

// A window procedure passes on what it received, and it received the narrow
// messages: no conversion here.
LRESULT WINAPI DefWindowProcW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hWnd, Msg, wParam, lParam);
}

LRESULT WINAPI CallWindowProcW(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcA(lpPrevWndFunc, hWnd, Msg, wParam, lParam);
}
