// Input routing: a backend event arrives for a top-level window; this picks
// the window inside it that gets it (the focused child for keys, the
// capturing window or the child under the pointer for the mouse) and moves
// mouse positions into that window's client coordinates. Reads the window
// table under State::mutex and changes nothing.
#include "user/input/routing.h"

#include "user/user_internal.h"

namespace plat::input {

using namespace plat::user;

Route route_event(HWND hwnd, const BackendEvent& ev) {
    Route route;
    route.target = hwnd;
    route.event = ev;
    State& st = state();
    std::lock_guard<std::mutex> lock(st.mutex);
    auto top = find_window(st, hwnd);
    if (!top) return Route{};
    switch (ev.kind) {
    case BackendEventKind::KeyDown:
    case BackendEventKind::KeyUp:
    case BackendEventKind::Text:
        if (top->style & WS_DISABLED) return Route{};
        if (st.focus && st.focus != hwnd && is_descendant(st, st.focus, hwnd)) route.target = st.focus;
        break;
    case BackendEventKind::MouseMove:
    case BackendEventKind::MouseDown:
    case BackendEventKind::MouseUp:
    case BackendEventKind::MouseWheel: {
        if (top->style & WS_DISABLED) {
            // A click into a disabled owner brings its owned window to the front.
            Route none;
            if (ev.kind == BackendEventKind::MouseDown) none.redirect = enabled_owned_window(st, hwnd);
            return none;
        }
        POINT screen = screen_client_origin(st, *top);
        screen.x += ev.x;
        screen.y += ev.y;
        HWND target = hwnd;
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
            route.event.x = screen.x - o.x;
            route.event.y = screen.y - o.y;
        }
        route.target = target;
        break;
    }
    case BackendEventKind::CloseRequest:
        if (top->style & WS_DISABLED) return Route{};
        break;
    default:
        break;
    }
    return route;
}

}  // namespace plat::input
