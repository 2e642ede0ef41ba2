// Focus, capture and activation: which window gets the keyboard (SetFocus),
// which gets the mouse while a button is held (SetCapture), and which
// top-level window is the active one. All three are process-wide, one
// pointer and one keyboard; the backend is told of capture and activation
// after State::mutex is released.
#include "backend.h"
#include "user/user_internal.h"

using namespace plat::user;

// ---- capture and focus ----

HWND WINAPI SetCapture(HWND hWnd) {
    HWND previous;
    uint32_t old_id = 0, new_id = 0;
    {
        LockedWindow w(hWnd);
        if (!w) return nullptr;
        State& st = w.st;
        previous = st.capture;
        if (previous == hWnd) return previous;
        // The backend captures for the top-level window that holds the child.
        if (auto old = find_window(st, previous)) old_id = top_level_of(st, old)->backend_id;
        new_id = top_level_of(st, w.ptr())->backend_id;
        st.capture = hWnd;
    }
    if (old_id && old_id != new_id) plat::backend().set_capture(old_id, false);
    if (new_id) plat::backend().set_capture(new_id, true);
    return previous;
}

BOOL WINAPI ReleaseCapture(void) {
    State& st = state();
    uint32_t id = 0;
    {
        std::lock_guard<std::mutex> lock(st.mutex);
        if (auto w = find_window(st, st.capture)) id = top_level_of(st, w)->backend_id;
        st.capture = nullptr;
    }
    if (id) plat::backend().set_capture(id, false);
    return TRUE;
}

HWND WINAPI GetCapture(void) {
    State& st = state();
    std::lock_guard<std::mutex> lock(st.mutex);
    return st.capture;
}

// The window procedures of both windows learn about the change
// (WM_KILLFOCUS, WM_SETFOCUS); the focused window's top-level window
// becomes the active one.
HWND WINAPI SetFocus(HWND hWnd) {
    State& st = state();
    HWND previous;
    {
        std::lock_guard<std::mutex> lock(st.mutex);
        auto w = find_window(st, hWnd);
        if (hWnd && !w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
        previous = st.focus;
        if (previous == hWnd) return previous;
        st.focus = hWnd;
        if (w) st.active = top_level_of(st, w)->hwnd;
    }
    if (previous) notify(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hWnd), 0);
    if (hWnd) notify(hWnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    return previous;
}

HWND WINAPI GetFocus(void) {
    State& st = state();
    std::lock_guard<std::mutex> lock(st.mutex);
    return st.focus;
}

HWND WINAPI GetActiveWindow(void) {
    State& st = state();
    std::lock_guard<std::mutex> lock(st.mutex);
    return st.active;
}

HWND WINAPI GetForegroundWindow(void) { return GetActiveWindow(); }

HWND WINAPI SetActiveWindow(HWND hWnd) {
    State& st = state();
    std::lock_guard<std::mutex> lock(st.mutex);
    if (hWnd && !find_window(st, hWnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    HWND previous = st.active;
    st.active = hWnd;
    st.focus = hWnd;
    return previous;
}

// Makes the window's top-level window the active one and, once it is
// shown, raises it and gives it the keyboard.
BOOL WINAPI SetForegroundWindow(HWND hWnd) {
    uint32_t id = 0;
    {
        LockedWindow w(hWnd, LockedWindow::Quiet);
        if (!w) return FALSE;
        State& st = w.st;
        auto top = top_level_of(st, w.ptr());
        st.active = top->hwnd;
        if (!st.focus || !is_descendant(st, st.focus, st.active)) st.focus = st.active;
        if (top->visible) id = top->backend_id;
    }
    if (id) plat::backend().activate(id);
    return TRUE;
}
