// Windows: creation and destruction, geometry, visibility, text, the client
// surface, device contexts, capture and focus, and the events the backend
// reports about windows.
//
// A window belongs to the thread that created it; its messages go to that
// thread's queue and only that thread may destroy it. The outer rectangle is
// what GetWindowRect reports; the client area is the outer rectangle minus
// the backend's frame insets for the window's style. A window with WS_CHILD
// lives inside its parent's client area; a top-level window created with a
// parent handle is owned by that window: it stays above it, and while the
// owner is disabled, activating the owner activates the owned window instead.
#include <algorithm>
#include <cstring>

#include "backend.h"
#include "codepage.h"
#include "input_translation.h"
#include "user/user_internal.h"
#include "window_registry.h"
#include "window_surface.h"

namespace plat::user {
namespace {

constexpr int kDefaultOuterWidth = 640;
constexpr int kDefaultOuterHeight = 480;

bool is_ascii(const std::string& s) {
    for (unsigned char c : s)
        if (c >= 0x80) return false;
    return true;
}

std::string to_utf8(const std::string& cp936) {
    return is_ascii(cp936) ? cp936 : plat::codepage::cp936_to_utf8(cp936.data(), int(cp936.size()));
}

POINT client_origin(const Window& w) { return POINT{w.outer.left + w.insets.left, w.outer.top + w.insets.top}; }

// Surfaces locked by this thread, so that unlock finds the window even if it
// was destroyed meanwhile (the shared_ptr keeps it alive until then).
thread_local std::vector<std::shared_ptr<Window>> t_locked_surfaces;

// Removes a destroyed window from every table. Returns its backend id.
uint32_t unregister_window(State& st, Window& w) {
    if (st.capture == w.hwnd) st.capture = nullptr;
    if (st.focus == w.hwnd) st.focus = nullptr;
    if (st.active == w.hwnd) st.active = nullptr;
    auto cit = st.classes.find(w.class_key);
    if (cit != st.classes.end()) --cit->second.windows;
    // Messages still queued for it can no longer be dispatched.
    auto& posted = w.queue->posted;
    posted.erase(std::remove_if(posted.begin(), posted.end(), [&](const MSG& m) { return m.hwnd == w.hwnd; }),
                 posted.end());
    abandon_sent_messages(st, *w.queue, w.hwnd);
    remove_window_timers(*w.queue, w.hwnd);
    settle_events(st, *w.queue);
    uint32_t id = w.backend_id;
    if (id) st.by_backend_id.erase(id);
    st.windows.erase(reinterpret_cast<uintptr_t>(w.hwnd));
    return id;
}

// Applies a new outer rectangle; returns what changed.
struct Change {
    bool moved = false;
    bool resized = false;
};
Change set_outer(Window& w, const RECT& outer) {
    Change c;
    c.moved = outer.left != w.outer.left || outer.top != w.outer.top;
    int cw = std::max<LONG>(0, outer.right - outer.left - w.insets.left - w.insets.right);
    int ch = std::max<LONG>(0, outer.bottom - outer.top - w.insets.top - w.insets.bottom);
    c.resized = cw != w.client_w || ch != w.client_h;
    w.outer = outer;
    w.client_w = cw;
    w.client_h = ch;
    return c;
}

// What WM_SIZE / WM_MOVE report, taken under the state lock.
struct Geometry {
    int client_w = 0, client_h = 0;
    POINT origin{};
};
Geometry geometry_of(const Window& w) { return Geometry{w.client_w, w.client_h, client_origin(w)}; }

// Backend id of a visible, enabled top-level window owned by `owner`, or 0.
uint32_t enabled_owned_window(State& st, HWND owner) {
    for (auto& [h, c] : st.windows)
        if (c->owner == owner && c->visible && !c->destroying && !(c->style & WS_DISABLED) && c->backend_id)
            return c->backend_id;
    return 0;
}

void send_geometry_notifications(HWND hwnd, const Geometry& g, Change c) {
    if (c.resized) notify(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(g.client_w, g.client_h));
    if (c.moved) notify(hwnd, WM_MOVE, 0, MAKELPARAM(g.origin.x, g.origin.y));
}

}  // namespace

POINT screen_client_origin(State& st, const Window& w) {
    POINT o = client_origin(w);
    if (auto p = w.parent ? find_window(st, w.parent) : nullptr) {
        POINT po = screen_client_origin(st, *p);
        o.x += po.x;
        o.y += po.y;
    }
    return o;
}

RECT screen_outer(State& st, const Window& w) {
    RECT r = w.outer;
    if (auto p = w.parent ? find_window(st, w.parent) : nullptr) {
        POINT po = screen_client_origin(st, *p);
        r.left += po.x;
        r.right += po.x;
        r.top += po.y;
        r.bottom += po.y;
    }
    return r;
}

std::shared_ptr<Window> top_level_of(State& st, std::shared_ptr<Window> w) {
    while (w && w->parent) {
        auto p = find_window(st, w->parent);
        if (!p) break;
        w = p;
    }
    return w;
}

bool is_descendant(State& st, HWND hwnd, HWND ancestor) {
    for (auto w = find_window(st, hwnd); w; w = find_window(st, w->parent))
        if (w->hwnd == ancestor) return true;
    return false;
}

void sync_surface(Window& w) {
    // Surface lock first, then the state lock: the order GDI uses when it
    // reports a change while drawing.
    std::lock_guard<std::recursive_mutex> lock(w.surface_mutex);
    int width, height;
    {
        std::lock_guard<std::mutex> state_lock(state().mutex);
        width = w.client_w;
        height = w.client_h;
    }
    if (width == w.surf_w && height == w.surf_h) return;
    std::vector<uint32_t> pixels(size_t(width) * size_t(height), 0);
    int cw = std::min(width, w.surf_w), ch = std::min(height, w.surf_h);
    // An empty old or new surface has nothing to carry over (and no storage to index).
    if (cw > 0)
        for (int y = 0; y < ch; ++y)
            std::memcpy(pixels.data() + size_t(y) * width, w.pixels.data() + size_t(y) * w.surf_w,
                        size_t(cw) * sizeof(uint32_t));
    w.pixels.swap(pixels);
    w.surf_w = width;
    w.surf_h = height;
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
    desc.title_utf8 = to_utf8(w->title);
    desc.x = default_pos ? plat::kDefaultPos : X + w->insets.left;
    desc.y = default_pos ? plat::kDefaultPos : Y + w->insets.top;
    desc.width = w->client_w;
    desc.height = w->client_h;
    // Without a system menu a window has no close box at all.
    desc.no_close = (w->class_style & CS_NOCLOSE) != 0 || (dwStyle & WS_SYSMENU) == 0;
    desc.owner = owner_id;
    desc.no_minimize = (dwStyle & WS_MINIMIZEBOX) == 0;
    desc.resizable = (dwStyle & WS_THICKFRAME) != 0;
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
        std::lock_guard<std::mutex> lock(st.mutex);
        w = find_window(st, hWnd);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
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

BOOL WINAPI IsWindow(HWND hWnd) {
    State& st = state();
    std::lock_guard<std::mutex> lock(st.mutex);
    return find_window(st, hWnd) != nullptr;
}

// Returns whether the window was visible before. Showing a window for the
// first time reports its size and position (WM_SIZE, WM_MOVE) as Windows
// does; activation follows from the backend's focus event.
BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) {
    State& st = state();
    std::shared_ptr<Window> w;
    bool was_visible, show = nCmdShow != SW_HIDE, first = false;
    Geometry g;
    {
        std::lock_guard<std::mutex> lock(st.mutex);
        w = find_window(st, hWnd);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
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
    if (first) send_geometry_notifications(hWnd, g, Change{true, true});
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
    State& st = state();
    std::lock_guard<std::mutex> lock(st.mutex);
    auto w = find_window(st, hWnd);
    return w && w->visible;
}

BOOL WINAPI UpdateWindow(HWND hWnd) { return IsWindow(hWnd); }

// Grows a client rectangle by the frame the backend draws for the style.
// Menus are not supported, so bMenu adds nothing.
BOOL WINAPI AdjustWindowRectEx(LPRECT lpRect, DWORD dwStyle, BOOL, DWORD) {
    if (!lpRect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    RECT in = plat::backend().frame_insets(dwStyle);
    lpRect->left -= in.left;
    lpRect->top -= in.top;
    lpRect->right += in.right;
    lpRect->bottom += in.bottom;
    return TRUE;
}

BOOL WINAPI AdjustWindowRect(LPRECT lpRect, DWORD dwStyle, BOOL bMenu) {
    return AdjustWindowRectEx(lpRect, dwStyle, bMenu, 0);
}

BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect) {
    State& st = state();
    std::lock_guard<std::mutex> lock(st.mutex);
    auto w = find_window(st, hWnd);
    if (!w || !lpRect) {
        SetLastError(w ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    *lpRect = screen_outer(st, *w);
    return TRUE;
}

BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect) {
    State& st = state();
    std::lock_guard<std::mutex> lock(st.mutex);
    auto w = find_window(st, hWnd);
    if (!w || !lpRect) {
        SetLastError(w ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    *lpRect = RECT{0, 0, w->client_w, w->client_h};
    return TRUE;
}

// Position and size of the outer rectangle. The z-order does not exist
// here (hWndInsertAfter is ignored). Resizing reallocates the client surface
// and keeps the pixels of the overlap. The window gets WM_SIZE / WM_MOVE
// (sent on its own thread, posted when another thread moves it).
BOOL WINAPI SetWindowPos(HWND hWnd, HWND, int X, int Y, int cx, int cy, UINT uFlags) {
    State& st = state();
    std::shared_ptr<Window> w;
    Change change;
    POINT origin;
    int cw, ch;
    DWORD style;
    Geometry g;
    {
        std::lock_guard<std::mutex> lock(st.mutex);
        w = find_window(st, hWnd);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        style = w->style;
    }
    // The frame as AdjustWindowRectEx reports it now (a backend may learn
    // the real decoration sizes only after the first window is shown).
    RECT insets = (style & WS_CHILD) ? RECT{} : plat::backend().frame_insets(style);
    {
        std::lock_guard<std::mutex> lock(st.mutex);
        if (!find_window(st, hWnd)) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        RECT r = w->outer;
        if (w->parent) insets = w->insets;
        if (!(uFlags & SWP_NOSIZE)) {
            // Keep the client origin where it is while the frame changes.
            r.left += insets.left - w->insets.left;
            r.top += insets.top - w->insets.top;
            w->insets = insets;
        }
        if (!(uFlags & SWP_NOMOVE)) {
            r = RECT{X, Y, X + (r.right - r.left), Y + (r.bottom - r.top)};
        }
        if (!(uFlags & SWP_NOSIZE)) {
            r.right = r.left + std::max(0, cx);
            r.bottom = r.top + std::max(0, cy);
        }
        change = set_outer(*w, r);
        origin = client_origin(*w);
        cw = w->client_w;
        ch = w->client_h;
        g = geometry_of(*w);
    }
    if (change.resized) sync_surface(*w);
    if ((change.moved || change.resized) && w->backend_id)
        plat::backend().set_client_rect(w->backend_id, origin.x, origin.y, cw, ch);
    if (uFlags & SWP_SHOWWINDOW) ShowWindow(hWnd, SW_SHOW);
    if (uFlags & SWP_HIDEWINDOW) ShowWindow(hWnd, SW_HIDE);
    send_geometry_notifications(hWnd, g, change);
    return TRUE;
}

BOOL WINAPI MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL) {
    return SetWindowPos(hWnd, nullptr, X, Y, nWidth, nHeight, SWP_NOZORDER);
}

BOOL WINAPI ClientToScreen(HWND hWnd, LPPOINT lpPoint) {
    State& st = state();
    std::lock_guard<std::mutex> lock(st.mutex);
    auto w = find_window(st, hWnd);
    if (!w || !lpPoint) {
        SetLastError(w ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    POINT o = screen_client_origin(st, *w);
    lpPoint->x += o.x;
    lpPoint->y += o.y;
    return TRUE;
}

BOOL WINAPI ScreenToClient(HWND hWnd, LPPOINT lpPoint) {
    State& st = state();
    std::lock_guard<std::mutex> lock(st.mutex);
    auto w = find_window(st, hWnd);
    if (!w || !lpPoint) {
        SetLastError(w ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    POINT o = screen_client_origin(st, *w);
    lpPoint->x -= o.x;
    lpPoint->y -= o.y;
    return TRUE;
}

// Stores the text (DefWindowProcA's WM_SETTEXT) and shows it as the title.
BOOL plat::user::store_window_text(HWND hWnd, LPCSTR lpString) {
    State& st = state();
    uint32_t id;
    std::string title;
    {
        std::lock_guard<std::mutex> lock(st.mutex);
        auto w = find_window(st, hWnd);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        w->title = lpString ? lpString : "";
        title = w->title;
        id = w->backend_id;
    }
    if (id) plat::backend().set_title(id, to_utf8(title));
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
    State& st = state();
    std::lock_guard<std::mutex> lock(st.mutex);
    auto w = find_window(st, hWnd);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
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
    State& st = state();
    std::lock_guard<std::mutex> lock(st.mutex);
    auto w = find_window(st, hWnd);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return int(w->title.size());
}

DWORD WINAPI GetWindowThreadProcessId(HWND hWnd, LPDWORD lpdwProcessId) {
    State& st = state();
    std::lock_guard<std::mutex> lock(st.mutex);
    auto w = find_window(st, hWnd);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (lpdwProcessId) *lpdwProcessId = GetCurrentProcessId();
    return w->thread_id;
}

LONG_PTR WINAPI GetWindowLongPtrA(HWND hWnd, int nIndex) {
    State& st = state();
    std::lock_guard<std::mutex> lock(st.mutex);
    auto w = find_window(st, hWnd);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
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

// Style changes are recorded only (the frame stays as created).
LONG_PTR WINAPI SetWindowLongPtrA(HWND hWnd, int nIndex, LONG_PTR dwNewLong) {
    State& st = state();
    std::lock_guard<std::mutex> lock(st.mutex);
    auto w = find_window(st, hWnd);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    LONG_PTR old;
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
    case GWL_STYLE: old = LONG_PTR(w->style); w->style = DWORD(dwNewLong); break;
    case GWL_EXSTYLE: old = LONG_PTR(w->ex_style); w->ex_style = DWORD(dwNewLong); break;
    case GWLP_ID: old = w->id; w->id = dwNewLong; break;
    default: SetLastError(ERROR_INVALID_INDEX); return 0;
    }
    SetLastError(ERROR_SUCCESS);
    return old;
}

// ---- relations and state ----

HWND WINAPI GetParent(HWND hWnd) {
    State& st = state();
    std::lock_guard<std::mutex> lock(st.mutex);
    auto w = find_window(st, hWnd);
    if (!w) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return w ? w->parent : nullptr;
}

HWND WINAPI GetDlgItem(HWND hDlg, int nIDDlgItem) {
    State& st = state();
    std::lock_guard<std::mutex> lock(st.mutex);
    if (!find_window(st, hDlg)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    for (auto& [h, c] : st.windows)
        if (c->parent == hDlg && c->id == nIDDlgItem && !c->destroying) return c->hwnd;
    SetLastError(ERROR_CONTROL_ID_NOT_FOUND);
    return nullptr;
}

int WINAPI GetDlgCtrlID(HWND hWnd) {
    State& st = state();
    std::lock_guard<std::mutex> lock(st.mutex);
    auto w = find_window(st, hWnd);
    if (!w) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return w && w->parent ? int(w->id) : 0;
}

// Returns whether the window was disabled before. A disabled window gets no
// keyboard or mouse input and cannot be closed by the user.
BOOL WINAPI EnableWindow(HWND hWnd, BOOL bEnable) {
    State& st = state();
    bool was_disabled;
    {
        std::lock_guard<std::mutex> lock(st.mutex);
        auto w = find_window(st, hWnd);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
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
    State& st = state();
    std::lock_guard<std::mutex> lock(st.mutex);
    auto w = find_window(st, hWnd);
    return w && !(w->style & WS_DISABLED);
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

// Makes the window's top-level window the active one and, once it is
// shown, raises it and gives it the keyboard.
BOOL WINAPI SetForegroundWindow(HWND hWnd) {
    State& st = state();
    uint32_t id = 0;
    {
        std::lock_guard<std::mutex> lock(st.mutex);
        auto w = find_window(st, hWnd);
        if (!w) return FALSE;
        auto top = top_level_of(st, w);
        st.active = top->hwnd;
        if (!st.focus || !is_descendant(st, st.focus, st.active)) st.focus = st.active;
        if (top->visible) id = top->backend_id;
    }
    if (id) plat::backend().activate(id);
    return TRUE;
}

// The backends do not report the screen size: the work area is that of a
// fixed 1920 x 1080 screen.
BOOL WINAPI SystemParametersInfoA(UINT uiAction, UINT, PVOID pvParam, UINT) {
    if (uiAction == SPI_GETWORKAREA && pvParam) {
        *static_cast<RECT*>(pvParam) = RECT{0, 0, 1920, 1080};
        return TRUE;
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
}

// ---- painting ----

HDC WINAPI GetDC(HWND hWnd) {
    if (hWnd && !IsWindow(hWnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    return plat::create_window_dc(hWnd);
}

int WINAPI ReleaseDC(HWND, HDC hDC) {
    if (!hDC) return 0;
    plat::release_window_dc(hDC);
    return 1;
}

// Windows are never invalidated by the system here (the surface keeps its
// pixels), so painting is on demand only.
HDC WINAPI BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint) {
    RECT rc{};
    if (!lpPaint || !GetClientRect(hWnd, &rc)) return nullptr;
    *lpPaint = PAINTSTRUCT{};
    lpPaint->hdc = GetDC(hWnd);
    lpPaint->rcPaint = rc;
    return lpPaint->hdc;
}

BOOL WINAPI EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint) {
    if (!lpPaint) return FALSE;
    ReleaseDC(hWnd, lpPaint->hdc);
    return TRUE;
}

BOOL WINAPI InvalidateRect(HWND hWnd, const RECT*, BOOL) {
    if (hWnd && !IsWindow(hWnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI ValidateRect(HWND hWnd, const RECT*) {
    if (hWnd && !IsWindow(hWnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return TRUE;
}

// ---- capture and focus (process-wide: one pointer, one keyboard) ----

HWND WINAPI SetCapture(HWND hWnd) {
    State& st = state();
    HWND previous;
    uint32_t old_id = 0, new_id = 0;
    {
        std::lock_guard<std::mutex> lock(st.mutex);
        auto w = find_window(st, hWnd);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
        previous = st.capture;
        if (previous == hWnd) return previous;
        // The backend captures for the top-level window that holds the child.
        if (auto old = find_window(st, previous)) old_id = top_level_of(st, old)->backend_id;
        new_id = top_level_of(st, w)->backend_id;
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

// ---- surfaces, registry and backend events ----

namespace plat {

bool lock_window_surface(HWND hwnd, SurfaceView* out) {
    State& st = state();
    std::shared_ptr<Window> w;
    {
        std::lock_guard<std::mutex> lock(st.mutex);
        w = find_window(st, hwnd);
    }
    if (!w || !out) return false;
    w->surface_mutex.lock();
    out->pixels = w->pixels.empty() ? nullptr : w->pixels.data();
    out->width = w->surf_w;
    out->height = w->surf_h;
    t_locked_surfaces.push_back(std::move(w));
    return true;
}

void unlock_window_surface(HWND hwnd) {
    for (auto it = t_locked_surfaces.rbegin(); it != t_locked_surfaces.rend(); ++it) {
        if ((*it)->hwnd != hwnd) continue;
        std::shared_ptr<Window> w = std::move(*it);
        t_locked_surfaces.erase(std::next(it).base());
        w->surface_mutex.unlock();
        return;
    }
}

void window_surface_changed(HWND hwnd, const RECT& dirty) {
    State& st = state();
    uint32_t id;
    bool child;
    RECT r = dirty;
    {
        std::lock_guard<std::mutex> lock(st.mutex);
        auto w = find_window(st, hwnd);
        if (!w) return;
        id = w->backend_id;
        child = w->parent != nullptr;
        r.left = std::max<LONG>(r.left, 0);
        r.top = std::max<LONG>(r.top, 0);
        r.right = std::min<LONG>(r.right, w->client_w);
        r.bottom = std::min<LONG>(r.bottom, w->client_h);
    }
    if (r.left >= r.right || r.top >= r.bottom) return;
    if (child)
        user::compose_child(hwnd, r);
    else
        backend().invalidate(id, r);
}

HWND window_from_backend_id(uint32_t id) {
    State& st = state();
    std::lock_guard<std::mutex> lock(st.mutex);
    auto it = st.by_backend_id.find(id);
    return it == st.by_backend_id.end() ? nullptr : it->second;
}

uint32_t backend_id_of(HWND hwnd) {
    State& st = state();
    std::lock_guard<std::mutex> lock(st.mutex);
    auto w = find_window(st, hwnd);
    return w ? w->backend_id : 0;
}

bool window_frame_insets(HWND hwnd, RECT* insets) {
    State& st = state();
    std::lock_guard<std::mutex> lock(st.mutex);
    auto w = find_window(st, hwnd);
    if (!w || !insets) return false;
    *insets = w->insets;
    return true;
}

UINT input::window_class_style(HWND hwnd) {
    State& st = state();
    std::lock_guard<std::mutex> lock(st.mutex);
    auto w = find_window(st, hwnd);
    return w ? w->class_style : 0;
}

uint64_t pending_backend_events() {
    State& st = state();
    std::lock_guard<std::mutex> lock(st.mutex);
    return st.pending_events;
}

// Updates what USER tracks (position, size, focus), lets the input module
// turn the event into messages, then counts the event as pending until its
// thread has dispatched them.
void deliver_backend_event(const BackendEvent& ev) {
    State& st = state();
    HWND hwnd;
    std::shared_ptr<ThreadQueue> q;
    std::shared_ptr<Window> resized;
    uint32_t redirect = 0;  // backend id of an owned window to activate instead
    {
        std::lock_guard<std::mutex> lock(st.mutex);
        auto it = st.by_backend_id.find(ev.window);
        if (it == st.by_backend_id.end()) return;
        auto w = find_window(st, it->second);
        if (!w || w->destroying) return;
        hwnd = w->hwnd;
        q = w->queue;
        switch (ev.kind) {
        case BackendEventKind::Moved: {
            LONG ow = w->outer.right - w->outer.left, oh = w->outer.bottom - w->outer.top;
            w->outer.left = ev.x - w->insets.left;
            w->outer.top = ev.y - w->insets.top;
            w->outer.right = w->outer.left + ow;
            w->outer.bottom = w->outer.top + oh;
            break;
        }
        case BackendEventKind::Resized: {
            RECT r = w->outer;
            r.right = r.left + w->insets.left + w->insets.right + std::max(0, ev.width);
            r.bottom = r.top + w->insets.top + w->insets.bottom + std::max(0, ev.height);
            set_outer(*w, r);
            resized = w;
            break;
        }
        case BackendEventKind::FocusGained:
            // A disabled owner cannot be activated: the window it waits
            // for is activated instead.
            if (w->style & WS_DISABLED) redirect = enabled_owned_window(st, hwnd);
            if (redirect) break;
            // A child that had the focus inside this window keeps it.
            st.active = hwnd;
            if (!st.focus || !is_descendant(st, st.focus, hwnd)) st.focus = hwnd;
            break;
        case BackendEventKind::FocusLost:
            if (st.active == hwnd) st.active = nullptr;
            if (st.focus == hwnd) st.focus = nullptr;
            break;
        default:
            break;
        }
    }
    if (resized) sync_surface(*resized);
    if (redirect) {
        plat::backend().activate(redirect);
        return;
    }
    // Input goes to the window inside the top-level one that should get it:
    // keys to the focused child, the mouse to the capturing window or the
    // child under the pointer. A disabled window gets no input at all.
    HWND target = hwnd;
    BackendEvent routed = ev;
    {
        std::lock_guard<std::mutex> lock(st.mutex);
        auto top = find_window(st, hwnd);
        if (!top) return;
        switch (ev.kind) {
        case BackendEventKind::KeyDown:
        case BackendEventKind::KeyUp:
        case BackendEventKind::Text:
            if (top->style & WS_DISABLED) return;
            if (st.focus && st.focus != hwnd && is_descendant(st, st.focus, hwnd)) target = st.focus;
            break;
        case BackendEventKind::MouseMove:
        case BackendEventKind::MouseDown:
        case BackendEventKind::MouseUp:
        case BackendEventKind::MouseWheel: {
            if (top->style & WS_DISABLED) {
                // A click into a disabled owner brings its owned window to the front.
                uint32_t owned = ev.kind == BackendEventKind::MouseDown ? enabled_owned_window(st, hwnd) : 0;
                if (owned) redirect = owned;
                else return;
                break;
            }
            POINT screen = screen_client_origin(st, *top);
            screen.x += ev.x;
            screen.y += ev.y;
            if (st.capture && is_descendant(st, st.capture, hwnd)) {
                target = st.capture;
            } else {
                // The deepest visible, enabled child under the pointer.
                for (bool descended = true; descended;) {
                    descended = false;
                    for (auto& [h, c] : st.windows) {
                        if (c->parent != target || !c->visible || (c->style & WS_DISABLED)) continue;
                        RECT rc = screen_outer(st, *c);
                        if (screen.x >= rc.left && screen.x < rc.right && screen.y >= rc.top && screen.y < rc.bottom) {
                            target = c->hwnd;
                            descended = true;
                            break;
                        }
                    }
                }
            }
            if (target != hwnd) {
                POINT o = screen_client_origin(st, *find_window(st, target));
                routed.x = screen.x - o.x;
                routed.y = screen.y - o.y;
            }
            break;
        }
        case BackendEventKind::CloseRequest:
            if (top->style & WS_DISABLED) return;
            break;
        default:
            break;
        }
    }
    if (redirect) {
        plat::backend().activate(redirect);
        return;
    }
    input::translate_event(target, routed);
    std::lock_guard<std::mutex> lock(st.mutex);
    if (!q->alive) return;
    ++q->pending_events;
    ++st.pending_events;
    q->idle.store(false, std::memory_order_release);
    settle_events(st, *q);
}

}  // namespace plat
