// What the backend reports about windows: moves, resizes, focus changes and
// the pointer's position update the window table; then the event is routed to the window that
// should get it (input/routing.cpp), turned into messages
// (input/translate.cpp) and counted as pending until its thread has
// dispatched them (headless::WaitIdle waits for that).
//
// Called by a backend from any thread. Takes State::mutex for each step;
// resizing a surface takes the surface lock first (painting.cpp).
#include <algorithm>

#include "backend.h"
#include "input_translation.h"
#include "user/input/routing.h"
#include "user/user_internal.h"

namespace plat {

using namespace plat::user;

namespace {

// Records a window event in the window table. Returns the window's queue
// (null when the window is unknown or going away) and, for a focus that
// must go to an owned window instead, that window's backend id.
std::shared_ptr<ThreadQueue> track(const BackendEvent& ev, HWND* hwnd, std::shared_ptr<Window>* resized,
                                   uint32_t* redirect) {
    State& st = state();
    std::lock_guard<std::mutex> lock(st.mutex);
    auto it = st.by_backend_id.find(ev.window);
    if (it == st.by_backend_id.end()) return nullptr;
    auto w = find_window(st, it->second);
    if (!w || w->destroying) return nullptr;
    *hwnd = w->hwnd;
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
        *resized = w;
        break;
    }
    case BackendEventKind::FocusGained:
        // A disabled owner cannot be activated: the window it waits
        // for is activated instead.
        if (w->style & WS_DISABLED) *redirect = enabled_owned_window(st, w->hwnd);
        if (*redirect) break;
        // A child that had the focus inside this window keeps it.
        st.active = w->hwnd;
        if (!st.focus || !is_descendant(st, st.focus, w->hwnd)) st.focus = w->hwnd;
        break;
    case BackendEventKind::FocusLost:
        if (st.active == w->hwnd) st.active = nullptr;
        if (st.focus == w->hwnd) st.focus = nullptr;
        break;
    case BackendEventKind::MouseMove:
    case BackendEventKind::MouseDown:
    case BackendEventKind::MouseUp:
    case BackendEventKind::MouseWheel: {
        POINT o = screen_client_origin(st, *w);
        track_cursor(st, POINT{o.x + ev.x, o.y + ev.y});
        break;
    }
    default:
        break;
    }
    return w->queue;
}

}  // namespace

void deliver_backend_event(const BackendEvent& ev) {
    HWND hwnd = nullptr;
    std::shared_ptr<Window> resized;
    uint32_t redirect = 0;  // backend id of an owned window to activate instead
    std::shared_ptr<ThreadQueue> q = track(ev, &hwnd, &resized, &redirect);
    if (!q) return;
    if (resized) sync_surface(*resized);
    if (redirect) {
        plat::backend().activate(redirect);
        return;
    }
    input::Route route = input::route_event(hwnd, ev);
    if (route.redirect) {
        plat::backend().activate(route.redirect);
        return;
    }
    if (!route.target) return;
    input::translate_event(route.target, route.event);
    State& st = state();
    std::lock_guard<std::mutex> lock(st.mutex);
    if (!q->alive) return;
    ++q->pending_events;
    ++st.pending_events;
    q->idle.store(false, std::memory_order_release);
    settle_events(st, *q);
}

}  // namespace plat
