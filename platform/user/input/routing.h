// routing.h — which window inside a top-level window gets a backend event.
#pragma once

#include <cstdint>

#include "backend.h"
#include "windef.h"

namespace plat::input {

struct Route {
    HWND target = nullptr;  // null: nobody gets the event (a disabled window)
    BackendEvent event;     // mouse positions in the target's client coordinates
    uint32_t redirect = 0;  // a click into a disabled owner: activate this owned window instead
};

// Keys go to the focused child, the mouse to the capturing window or the
// deepest child under the pointer; a disabled window gets no input at all.
// Takes State::mutex.
Route route_event(HWND top, const BackendEvent& ev);

}  // namespace plat::input
