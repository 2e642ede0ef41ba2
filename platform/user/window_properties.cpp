// Window properties: the text, the window longs (GetWindowLongPtrA /
// SetWindowLongPtrA), the owning thread, and relations (parent, dialog
// items, FindWindowA). Each call looks its window up under State::mutex
// (LockedWindow); only SetWindowTextA and the title sent to the backend run
// without it.
#include <algorithm>
#include <cstring>

#include "backend.h"
#include "codepage.h"
#include "user/user_internal.h"

using namespace plat::user;

// Stores the text (DefWindowProcA's WM_SETTEXT) and shows it as the title.
BOOL plat::user::store_window_text(HWND hWnd, LPCSTR lpString) {
    uint32_t id;
    std::string title;
    {
        LockedWindow w(hWnd);
        if (!w) return FALSE;
        w->title = lpString ? lpString : "";
        title = w->title;
        id = w->backend_id;
    }
    if (id) plat::backend().set_title(id, title_utf8(title));
    return TRUE;
}

// On the window's own thread the text goes through WM_SETTEXT, so that a
// control can show it; from another thread it is stored directly rather
// than waiting for that thread.
BOOL WINAPI SetWindowTextA(HWND hWnd, LPCSTR lpString) {
    DWORD owner = GetWindowThreadProcessId(hWnd, nullptr);
    if (!owner) return FALSE;
    if (owner == GetCurrentThreadId()) return SendMessageA(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString)) != 0;
    return store_window_text(hWnd, lpString);
}

int WINAPI GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount) {
    LockedWindow w(hWnd);
    if (!w) {
        if (lpString && nMaxCount > 0) lpString[0] = '\0';
        return 0;
    }
    if (!lpString || nMaxCount <= 0) return 0;
    size_t n = std::min(w->title.size(), size_t(nMaxCount - 1));
    // Do not cut a two-byte character in half.
    size_t i = 0;
    while (i < n) {
        size_t step = plat::codepage::is_lead_byte(static_cast<unsigned char>(w->title[i])) ? 2 : 1;
        if (i + step > n) break;
        i += step;
    }
    std::memcpy(lpString, w->title.data(), i);
    lpString[i] = '\0';
    return int(i);
}

int WINAPI GetWindowTextLengthA(HWND hWnd) {
    LockedWindow w(hWnd);
    if (!w) return 0;
    return int(w->title.size());
}

DWORD WINAPI GetWindowThreadProcessId(HWND hWnd, LPDWORD lpdwProcessId) {
    LockedWindow w(hWnd);
    if (!w) return 0;
    if (lpdwProcessId) *lpdwProcessId = GetCurrentProcessId();
    return w->thread_id;
}

LONG_PTR WINAPI GetWindowLongPtrA(HWND hWnd, int nIndex) {
    LockedWindow w(hWnd);
    if (!w) return 0;
    switch (nIndex) {
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_USERDATA: return w->user_data;
    case GWL_STYLE: return LONG_PTR(w->style);
    case GWL_EXSTYLE: return LONG_PTR(w->ex_style);
    case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(w->instance);
    case GWLP_ID: return w->id;
    case GWLP_HWNDPARENT: return reinterpret_cast<LONG_PTR>(w->parent ? w->parent : w->owner);
    default: SetLastError(ERROR_INVALID_INDEX); return 0;
    }
}

// A style that gains or drops the caption shows a top-level window with or
// without its title bar and border at once; the client area keeps its size
// until SetWindowPos with SWP_FRAMECHANGED, as on Windows, where the frame's
// size is kept until then.
LONG_PTR WINAPI SetWindowLongPtrA(HWND hWnd, int nIndex, LONG_PTR dwNewLong) {
    LockedWindow w(hWnd);
    if (!w) return 0;
    LONG_PTR old;
    uint32_t redecorate = 0;  // the backend window whose frame comes or goes
    switch (nIndex) {
    case GWLP_WNDPROC:
        if (!dwNewLong) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        old = reinterpret_cast<LONG_PTR>(w->proc);
        w->proc = reinterpret_cast<WNDPROC>(dwNewLong);
        break;
    case GWLP_USERDATA: old = w->user_data; w->user_data = dwNewLong; break;
    case GWL_STYLE:
        old = LONG_PTR(w->style);
        w->style = DWORD(dwNewLong);
        if (!w->parent && decorated_style(w->style) != decorated_style(DWORD(old))) redecorate = w->backend_id;
        break;
    case GWL_EXSTYLE: old = LONG_PTR(w->ex_style); w->ex_style = DWORD(dwNewLong); break;
    case GWLP_ID: old = w->id; w->id = dwNewLong; break;
    default: SetLastError(ERROR_INVALID_INDEX); return 0;
    }
    bool decorated = decorated_style(w->style);
    w.unlock();
    if (redecorate) plat::backend().set_decorated(redecorate, decorated);
    SetLastError(ERROR_SUCCESS);
    return old;
}

HWND WINAPI GetParent(HWND hWnd) {
    LockedWindow w(hWnd);
    return w ? w->parent : nullptr;
}

HWND WINAPI GetDlgItem(HWND hDlg, int nIDDlgItem) {
    LockedWindow dlg(hDlg);
    if (!dlg) return nullptr;
    for (auto& [h, c] : dlg.st.windows)
        if (c->parent == hDlg && c->id == nIDDlgItem && !c->destroying) return c->hwnd;
    SetLastError(ERROR_CONTROL_ID_NOT_FOUND);
    return nullptr;
}

int WINAPI GetDlgCtrlID(HWND hWnd) {
    LockedWindow w(hWnd);
    return w && w->parent ? int(w->id) : 0;
}

// The first top-level window (lowest handle) of the class and with the
// title given; a null class or title matches any.
HWND WINAPI FindWindowA(LPCSTR lpClassName, LPCSTR lpWindowName) {
    State& st = state();
    std::lock_guard<std::mutex> lock(st.mutex);
    std::string key;
    if (lpClassName) {
        WindowClass* cls = find_class(st, lpClassName);
        if (!cls) return nullptr;
        key = lower_name(cls->name.c_str());
    }
    HWND found = nullptr;
    for (auto& [h, w] : st.windows) {
        if (w->parent || w->destroying) continue;
        if (lpClassName && w->class_key != key) continue;
        if (lpWindowName && w->title != lpWindowName) continue;
        if (!found || h < reinterpret_cast<uintptr_t>(found)) found = w->hwnd;
    }
    return found;
}
