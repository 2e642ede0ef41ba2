// The window table: every window by handle and by backend id, the lookups
// every USER call starts with (LockedWindow), where windows are on the
// screen, and the lookups backends and tests make (window_registry.h).
//
// Everything here works on State under State::mutex and calls no other file
// of USER: the queues, the lifecycle, painting and input all build on it.
#include <algorithm>

#include "codepage.h"
#include "input_translation.h"
#include "user/user_internal.h"
#include "window_registry.h"

namespace plat::user {

State& state() {
    static State* s = new State;  // outlives static destruction: threads may still run
    return *s;
}

std::shared_ptr<Window> find_window(State& st, HWND hwnd) {
    if (!hwnd) return nullptr;
    auto it = st.windows.find(reinterpret_cast<uintptr_t>(hwnd));
    return it == st.windows.end() ? nullptr : it->second;
}

LockedWindow::LockedWindow(HWND hwnd, Missing missing)
    : st(state()), lock_(st.mutex), window_(find_window(st, hwnd)) {
    if (!window_ && missing == Report) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
}

POINT client_origin(const Window& w) { return POINT{w.outer.left + w.insets.left, w.outer.top + w.insets.top}; }

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

uint32_t enabled_owned_window(State& st, HWND owner) {
    for (auto& [h, c] : st.windows)
        if (c->owner == owner && c->visible && !c->destroying && !(c->style & WS_DISABLED) && c->backend_id)
            return c->backend_id;
    return 0;
}

GeometryChange set_outer(Window& w, const RECT& outer) {
    GeometryChange c;
    c.moved = outer.left != w.outer.left || outer.top != w.outer.top;
    int cw = std::max<LONG>(0, outer.right - outer.left - w.insets.left - w.insets.right);
    int ch = std::max<LONG>(0, outer.bottom - outer.top - w.insets.top - w.insets.bottom);
    c.resized = cw != w.client_w || ch != w.client_h;
    w.outer = outer;
    w.client_w = cw;
    w.client_h = ch;
    return c;
}

ClientGeometry geometry_of(const Window& w) { return ClientGeometry{w.client_w, w.client_h, client_origin(w)}; }

uint32_t erase_window(State& st, Window& w) {
    if (st.capture == w.hwnd) st.capture = nullptr;
    if (st.focus == w.hwnd) st.focus = nullptr;
    if (st.active == w.hwnd) st.active = nullptr;
    auto cit = st.classes.find(w.class_key);
    if (cit != st.classes.end()) --cit->second.windows;
    uint32_t id = w.backend_id;
    if (id) st.by_backend_id.erase(id);
    st.windows.erase(reinterpret_cast<uintptr_t>(w.hwnd));
    return id;
}

void track_cursor(State& st, POINT screen) {
    if (st.cursor_clipped) {
        // The right and bottom edges are outside, as for every RECT.
        screen.x = std::clamp<LONG>(screen.x, st.cursor_clip.left, st.cursor_clip.right - 1);
        screen.y = std::clamp<LONG>(screen.y, st.cursor_clip.top, st.cursor_clip.bottom - 1);
    }
    st.cursor = screen;
}

std::string title_utf8(const std::string& cp936) {
    for (unsigned char c : cp936)
        if (c >= 0x80) return plat::codepage::cp936_to_utf8(cp936.data(), int(cp936.size()));
    return cp936;
}

}  // namespace plat::user

namespace plat {

using namespace plat::user;

HWND window_from_backend_id(uint32_t id) {
    State& st = state();
    std::lock_guard<std::mutex> lock(st.mutex);
    auto it = st.by_backend_id.find(id);
    return it == st.by_backend_id.end() ? nullptr : it->second;
}

uint32_t backend_id_of(HWND hwnd) {
    LockedWindow w(hwnd, LockedWindow::Quiet);
    return w ? w->backend_id : 0;
}

bool window_frame_insets(HWND hwnd, RECT* insets) {
    LockedWindow w(hwnd, LockedWindow::Quiet);
    if (!w || !insets) return false;
    *insets = w->insets;
    return true;
}

UINT input::window_class_style(HWND hwnd) {
    LockedWindow w(hwnd, LockedWindow::Quiet);
    return w ? w->class_style : 0;
}

uint64_t pending_backend_events() {
    State& st = state();
    std::lock_guard<std::mutex> lock(st.mutex);
    return st.pending_events;
}

}  // namespace plat
