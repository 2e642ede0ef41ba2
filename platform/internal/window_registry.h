// window_registry.h — USER's lookups for backends and test hooks.
#pragma once

#include <cstdint>

#include "backend.h"  // window_from_backend_id
#include "windef.h"

namespace plat {

// The backend window id of a window (0 for an invalid window). Safe from any thread.
uint32_t backend_id_of(HWND hwnd);
// Thickness of the frame around the window's client area (the backend's
// frame_insets for the window's style). False for an invalid window.
bool window_frame_insets(HWND hwnd, RECT* insets);
// Backend events delivered to a window whose owning thread has not yet
// dispatched the messages they produced (see headless::WaitIdle).
uint64_t pending_backend_events();

}  // namespace plat
