// Windows: creation and destruction, showing and hiding, enabling.
//
// A window belongs to the thread that created it; its messages go to that
// thread's queue and only that thread may destroy it. The outer rectangle is
// what GetWindowRect reports; the client area is the outer rectangle minus
// the backend's frame insets for the window's style. A window with WS_CHILD
// lives inside its parent's client area; a top-level window created with a
// parent handle is owned by that window: it stays above it, and while the
// owner is disabled, activating the owner activates the owned window instead.
//
// State::mutex is taken for each step and never held while a window
// procedure runs or the backend is called.
#include <algorithm>

#include "backend.h"
#include "user/user_internal.h"

namespace plat::user {
namespace {

constexpr int kDefaultOuterWidth = 640;
constexpr int kDefaultOuterHeight = 480;

// Removes a destroyed window from the table and its queue. Returns its
// backend id.
uint32_t unregister_window(State& st, Window& w) {
    // Messages still queued for it can no longer be dispatched.
    auto& posted = w.queue->posted;
    posted.erase(std::remove_if(posted.begin(), posted.end(), [&](const MSG& m) { return m.hwnd == w.hwnd; }),
                 posted.end());
    abandon_sent_messages(st, *w.queue, w.hwnd);
    remove_window_timers(*w.queue, w.hwnd);
    settle_events(st, *w.queue);
    return erase_window(st, w);
}

}  // namespace

void send_geometry_notifications(HWND hwnd, const ClientGeometry& g, GeometryChange c) {
    if (c.resized) notify(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(g.client_w, g.client_h));
    if (c.moved) notify(hwnd, WM_MOVE, 0, MAKELPARAM(g.origin.x, g.origin.y));
}

}  // namespace plat::user

using namespace plat::user;

HWND WINAPI CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int X, int Y,
                            int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance,
                            LPVOID lpParam) {
    State& st = state();
    auto w = std::make_shared<Window>();
    const bool child = (dwStyle & WS_CHILD) != 0;
    bool offscreen = false;
    {
        std::lock_guard<std::mutex> lock(st.mutex);
        if (child && !find_window(st, hWndParent)) {
            SetLastError(ERROR_TLW_WITH_WSCHILD);
            return nullptr;
        }
        WindowClass* cls = find_class(st, lpClassName);
        if (!cls) {
            SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
            return nullptr;
        }
        w->class_key = lower_name(cls->name.c_str());
        w->proc = cls->wc.lpfnWndProc;
        w->class_style = cls->wc.style;
        offscreen = cls->offscreen && !child;
        ++cls->windows;  // keeps the class registered while we work unlocked
    }
    w->style = dwStyle;
    w->ex_style = dwExStyle;
    w->instance = hInstance;
    w->id = reinterpret_cast<LONG_PTR>(hMenu);
    w->title = lpWindowName ? lpWindowName : "";
    w->thread_id = GetCurrentThreadId();
    HWND owner = nullptr;
    uint32_t owner_id = 0;
    if (!child && hWndParent) {
        std::lock_guard<std::mutex> lock(st.mutex);
        if (auto o = find_window(st, hWndParent)) {
            o = top_level_of(st, o);
            owner = o->hwnd;
            owner_id = o->backend_id;
        }
    }
    w->owner = owner;
    if (child) {
        // Controls draw their own face; a border or a sunken edge is the frame.
        LONG edge = ((dwStyle & (WS_BORDER | WS_DLGFRAME)) ? 1 : 0) + ((dwExStyle & WS_EX_CLIENTEDGE) ? 2 : 0);
        w->insets = RECT{edge, edge, edge, edge};
        w->parent = hWndParent;
    } else if (!offscreen) {
        w->insets = plat::backend().frame_insets(dwStyle);
    }

    bool default_pos = X == CW_USEDEFAULT && !child;
    if (child && X == CW_USEDEFAULT) X = Y = 0;
    if (nWidth == CW_USEDEFAULT) {
        nWidth = kDefaultOuterWidth;
        nHeight = kDefaultOuterHeight;
    }
    nWidth = std::max(0, nWidth);
    nHeight = std::max(0, nHeight);
    if (default_pos) X = Y = 0;
    set_outer(*w, RECT{X, Y, X + nWidth, Y + nHeight});

    uint32_t id = 0;
    if (!child && !offscreen) {
        plat::BackendWindowDesc desc;
        desc.title_utf8 = title_utf8(w->title);
        desc.x = default_pos ? plat::kDefaultPos : X + w->insets.left;
        desc.y = default_pos ? plat::kDefaultPos : Y + w->insets.top;
        desc.width = w->client_w;
        desc.height = w->client_h;
        // Without a system menu a window has no close box at all.
        desc.no_close = (w->class_style & CS_NOCLOSE) != 0 || (dwStyle & WS_SYSMENU) == 0;
        desc.owner = owner_id;
        desc.no_minimize = (dwStyle & WS_MINIMIZEBOX) == 0;
        desc.resizable = (dwStyle & WS_THICKFRAME) != 0;
        desc.topmost = (dwExStyle & WS_EX_TOPMOST) != 0;
        desc.decorated = decorated_style(dwStyle);
        id = plat::backend().create_window(desc);
        if (!id) {
            std::lock_guard<std::mutex> lock(st.mutex);
            auto cit = st.classes.find(w->class_key);
            if (cit != st.classes.end()) --cit->second.windows;
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
    }
    int cx = 0, cy = 0;
    if (plat::backend().get_client_origin(id, &cx, &cy)) {
        LONG ow = w->outer.right - w->outer.left, oh = w->outer.bottom - w->outer.top;
        w->outer.left = cx - w->insets.left;
        w->outer.top = cy - w->insets.top;
        w->outer.right = w->outer.left + ow;
        w->outer.bottom = w->outer.top + oh;
    }
    }
    sync_surface(*w);
    w->backend_id = id;
    const POINT created_at{w->outer.left, w->outer.top};  // read before other threads can move it

    HWND hwnd;
    {
        std::lock_guard<std::mutex> lock(st.mutex);
        hwnd = reinterpret_cast<HWND>(st.next_hwnd);
        st.next_hwnd += 2;
        w->hwnd = hwnd;
        w->queue = own_queue(st);
        st.windows.emplace(reinterpret_cast<uintptr_t>(hwnd), w);
        if (id) st.by_backend_id.emplace(id, hwnd);
    }

    CREATESTRUCTA cs{};
    cs.lpCreateParams = lpParam;
    cs.hInstance = hInstance;
    cs.hMenu = hMenu;
    cs.hwndParent = hWndParent;
    cs.cx = nWidth;
    cs.cy = nHeight;
    cs.x = created_at.x;
    cs.y = created_at.y;
    cs.style = LONG(dwStyle);
    cs.lpszName = lpWindowName;
    cs.lpszClass = lpClassName;
    cs.dwExStyle = dwExStyle;
    if (!SendMessageA(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
        SendMessageA(hwnd, WM_NCDESTROY, 0, 0);
        uint32_t bid;
        {
            std::lock_guard<std::mutex> lock(st.mutex);
            bid = unregister_window(st, *w);
        }
        if (bid) plat::backend().destroy_window(bid);
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (SendMessageA(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow(hwnd);
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (dwStyle & WS_VISIBLE) {
        {
            std::lock_guard<std::mutex> lock(st.mutex);
            w->style &= ~DWORD(WS_VISIBLE);
        }
        ShowWindow(hwnd, SW_SHOW);
    }
    return hwnd;
}

BOOL WINAPI DestroyWindow(HWND hWnd) {
    State& st = state();
    std::shared_ptr<Window> w;
    bool was_visible;
    uint32_t capture_id = 0;  // the backend window whose capture ends
    {
        LockedWindow lw(hWnd);
        if (!lw) return FALSE;
        w = lw.ptr();
        if (w->thread_id != GetCurrentThreadId()) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        if (w->destroying) return TRUE;  // called again from its own WM_DESTROY
        w->destroying = true;
        if (st.capture && is_descendant(st, st.capture, hWnd)) {
            capture_id = top_level_of(st, w)->backend_id;
            st.capture = nullptr;
        }
        was_visible = w->visible;
    }
    if (capture_id) plat::backend().set_capture(capture_id, false);
    if (was_visible && w->backend_id) plat::backend().show_window(w->backend_id, false);
    SendMessageA(hWnd, WM_DESTROY, 0, 0);
    // Then the children, each with its own WM_DESTROY and WM_NCDESTROY.
    for (;;) {
        std::shared_ptr<Window> child;
        {
            std::lock_guard<std::mutex> lock(st.mutex);
            for (auto& [h, c] : st.windows)
                if (c->parent == hWnd && !c->destroying) {
                    child = c;
                    break;
                }
        }
        if (!child) break;
        if (!DestroyWindow(child->hwnd)) {
            // Owned by another thread: it goes without its messages.
            std::lock_guard<std::mutex> lock(st.mutex);
            child->destroying = true;
            unregister_window(st, *child);
        }
    }
    SendMessageA(hWnd, WM_NCDESTROY, 0, 0);
    uint32_t id;
    {
        std::lock_guard<std::mutex> lock(st.mutex);
        w->visible = false;
        id = unregister_window(st, *w);
    }
    if (id) plat::backend().destroy_window(id);
    return TRUE;
}

BOOL WINAPI IsWindow(HWND hWnd) { return LockedWindow(hWnd, LockedWindow::Quiet) ? TRUE : FALSE; }

// Returns whether the window was visible before. Showing a window for the
// first time reports its size and position (WM_SIZE, WM_MOVE) as Windows
// does; activation follows from the backend's focus event.
BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) {
    std::shared_ptr<Window> w;
    bool was_visible, show = nCmdShow != SW_HIDE, first = false;
    ClientGeometry g;
    {
        LockedWindow lw(hWnd);
        if (!lw) return FALSE;
        w = lw.ptr();
        was_visible = w->visible;
        if (was_visible == show) return was_visible;
        w->visible = show;
        if (show) {
            w->style |= WS_VISIBLE;
            first = !w->shown_once;
            w->shown_once = true;
            g = geometry_of(*w);
        } else {
            w->style &= ~DWORD(WS_VISIBLE);
        }
    }
    notify(hWnd, WM_SHOWWINDOW, show, 0);
    if (first) send_geometry_notifications(hWnd, g, GeometryChange{true, true});
    if (w->backend_id) {
        if (show) {
            if (first) paint_class_background(hWnd);
            compose_children(hWnd);  // children made while it was hidden
        }
        plat::backend().show_window(w->backend_id, show);
    } else if (show) {
        compose_child(hWnd, RECT{0, 0, g.client_w, g.client_h});
    }
    return was_visible;
}

BOOL WINAPI IsWindowVisible(HWND hWnd) {
    LockedWindow w(hWnd, LockedWindow::Quiet);
    return w && w->visible;
}

BOOL WINAPI UpdateWindow(HWND hWnd) { return IsWindow(hWnd); }

// Returns whether the window was disabled before. A disabled window gets no
// keyboard or mouse input and cannot be closed by the user.
BOOL WINAPI EnableWindow(HWND hWnd, BOOL bEnable) {
    bool was_disabled;
    {
        LockedWindow w(hWnd);
        if (!w) return FALSE;
        State& st = w.st;
        was_disabled = (w->style & WS_DISABLED) != 0;
        if (was_disabled == !bEnable) return was_disabled;
        if (bEnable)
            w->style &= ~DWORD(WS_DISABLED);
        else
            w->style |= WS_DISABLED;
        if (!bEnable && st.focus && is_descendant(st, st.focus, hWnd)) st.focus = nullptr;
    }
    notify(hWnd, WM_ENABLE, bEnable ? TRUE : FALSE, 0);
    return was_disabled;
}

BOOL WINAPI IsWindowEnabled(HWND hWnd) {
    LockedWindow w(hWnd, LockedWindow::Quiet);
    return w && !(w->style & WS_DISABLED);
}
