// Window classes, cursors and icons.
//
// Class names are case-insensitive and process-wide: the instance handle a
// class is registered with is recorded but not part of its identity (the
// program is one module here). Cursors and icons are tokens: the backend
// shows its own arrow, and Linux executables carry no icons, so
// ExtractIconA finds none and returns NULL.
#include <atomic>
#include <cctype>

#include "user/user_internal.h"

namespace plat::user {
namespace {

bool is_atom(LPCSTR name) { return (reinterpret_cast<uintptr_t>(name) >> 16) == 0; }
std::string lower(LPCSTR s) { return lower_name(s); }

// System cursors and icons: one static token per resource id.
struct SystemResource {
    WORD id;
    int token;
};
SystemResource g_cursors[] = {{32512, 0}, {32513, 0}, {32514, 0}, {32515, 0}, {32516, 0}, {32642, 0}, {32643, 0},
                              {32644, 0}, {32645, 0}, {32646, 0}, {32648, 0}, {32649, 0}, {32650, 0}, {32651, 0}};
SystemResource g_icons[] = {{32512, 0}, {32513, 0}, {32514, 0}, {32515, 0}, {32516, 0}, {32517, 0}, {32518, 0}};

template <size_t N>
void* find_resource(SystemResource (&table)[N], LPCSTR name) {
    if (!is_atom(name)) return nullptr;  // named resources: the program has none
    WORD id = WORD(reinterpret_cast<uintptr_t>(name));
    for (auto& r : table)
        if (r.id == id) return &r.token;
    return nullptr;
}

template <size_t N>
bool is_token(SystemResource (&table)[N], const void* p) {
    for (auto& r : table)
        if (&r.token == p) return true;
    return false;
}

// Built-in control classes ("Static", "Edit", "Button"), registered on
// first use.
WindowClass* builtin_class(State& st, const std::string& key) {
    WNDPROC proc = key == "static" ? StaticProc : key == "edit" ? EditProc : key == "button" ? ButtonProc : nullptr;
    if (!proc) return nullptr;
    WindowClass cls;
    cls.name = key == "static" ? "Static" : key == "edit" ? "Edit" : "Button";
    cls.atom = st.next_atom++;
    cls.wc.cbSize = sizeof(WNDCLASSEXA);
    cls.wc.lpfnWndProc = proc;
    cls.wc.style = key == "button" ? CS_DBLCLKS : 0;
    return &st.classes.emplace(key, std::move(cls)).first->second;
}

}  // namespace

std::string lower_name(LPCSTR s) {
    std::string r(s);
    for (char& c : r) c = char(std::tolower(static_cast<unsigned char>(c)));
    return r;
}

WindowClass* find_class(State& st, LPCSTR name) {
    if (!name) return nullptr;
    if (is_atom(name)) {
        ATOM atom = ATOM(reinterpret_cast<uintptr_t>(name));
        for (auto& [key, cls] : st.classes)
            if (cls.atom == atom) return &cls;
        return nullptr;
    }
    std::string key = lower(name);
    auto it = st.classes.find(key);
    return it == st.classes.end() ? builtin_class(st, key) : &it->second;
}

}  // namespace plat::user

using namespace plat::user;

ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* lpwcx) {
    if (!lpwcx || lpwcx->cbSize != sizeof(WNDCLASSEXA) || !lpwcx->lpszClassName || !lpwcx->lpfnWndProc ||
        is_atom(lpwcx->lpszClassName) || !*lpwcx->lpszClassName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    State& st = state();
    std::lock_guard<std::mutex> lock(st.mutex);
    std::string key = lower(lpwcx->lpszClassName);
    if (st.classes.count(key)) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    WindowClass cls;
    cls.name = lpwcx->lpszClassName;
    cls.atom = st.next_atom++;
    cls.wc = *lpwcx;
    cls.wc.lpszMenuName = nullptr;
    cls.wc.lpszClassName = nullptr;  // filled in from `name` on the way out
    auto it = st.classes.emplace(key, std::move(cls)).first;
    return it->second.atom;
}

ATOM WINAPI RegisterClassA(const WNDCLASSA* lpWndClass) {
    if (!lpWndClass) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.style = lpWndClass->style;
    wc.lpfnWndProc = lpWndClass->lpfnWndProc;
    wc.cbClsExtra = lpWndClass->cbClsExtra;
    wc.cbWndExtra = lpWndClass->cbWndExtra;
    wc.hInstance = lpWndClass->hInstance;
    wc.hIcon = lpWndClass->hIcon;
    wc.hCursor = lpWndClass->hCursor;
    wc.hbrBackground = lpWndClass->hbrBackground;
    wc.lpszMenuName = lpWndClass->lpszMenuName;
    wc.lpszClassName = lpWndClass->lpszClassName;
    return RegisterClassExA(&wc);
}

BOOL WINAPI UnregisterClassA(LPCSTR lpClassName, HINSTANCE) {
    State& st = state();
    std::lock_guard<std::mutex> lock(st.mutex);
    WindowClass* cls = find_class(st, lpClassName);
    if (!cls) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    if (cls->windows > 0) {
        SetLastError(ERROR_CLASS_HAS_WINDOWS);
        return FALSE;
    }
    st.classes.erase(lower(cls->name.c_str()));
    return TRUE;
}

BOOL WINAPI GetClassInfoExA(HINSTANCE, LPCSTR lpszClass, LPWNDCLASSEXA lpwcx) {
    if (!lpwcx) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    State& st = state();
    std::lock_guard<std::mutex> lock(st.mutex);
    WindowClass* cls = find_class(st, lpszClass);
    if (!cls) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    *lpwcx = cls->wc;
    // The name stays valid while the class is registered.
    lpwcx->lpszClassName = cls->name.c_str();
    return cls->atom;
}

HCURSOR WINAPI LoadCursorA(HINSTANCE hInstance, LPCSTR lpCursorName) {
    void* token = hInstance ? nullptr : find_resource(g_cursors, lpCursorName);
    if (!token) SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return static_cast<HCURSOR>(token);
}

HICON WINAPI LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName) {
    void* token = hInstance ? nullptr : find_resource(g_icons, lpIconName);
    if (!token) SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return static_cast<HICON>(token);
}

// Linux executables have no icon resources: there is never an icon to
// extract, which Windows reports as NULL too.
HICON WINAPI ExtractIconA(HINSTANCE, LPCSTR, UINT) { return nullptr; }

// System icons are shared and never really destroyed; anything else was
// not made here.
BOOL WINAPI DestroyIcon(HICON hIcon) {
    if (hIcon && (is_token(g_icons, hIcon) || is_token(g_cursors, hIcon))) return TRUE;
    SetLastError(ERROR_INVALID_ICON_HANDLE);
    return FALSE;
}

HCURSOR WINAPI SetCursor(HCURSOR hCursor) {
    static std::atomic<HCURSOR> current{nullptr};
    return current.exchange(hCursor);
}
