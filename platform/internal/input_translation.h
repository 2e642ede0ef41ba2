// input_translation.h — turns backend events into Win32 messages.
#pragma once

#include "backend.h"
#include "windef.h"

namespace plat::input {

// Called by USER (deliver_backend_event) for each backend event of a window,
// after USER has updated what it tracks itself (position, client size). Posts
// the matching messages (WM_KEYDOWN, WM_CHAR, WM_MOUSEMOVE, WM_CLOSE, WM_MOVE,
// WM_SIZE, WM_ACTIVATE, ...) to the window's queue.
void translate_event(HWND hwnd, const BackendEvent& ev);

// Implemented by USER: the style (CS_*) of the window's class, 0 for an
// invalid window. A second click becomes a double-click message only for
// classes with CS_DBLCLKS.
UINT window_class_style(HWND hwnd);

}  // namespace plat::input
