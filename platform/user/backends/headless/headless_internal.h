// headless_internal.h — the headless backend's hooks for the test API.
#pragma once

#include <cstdint>

#include "windef.h"

namespace plat::headless_backend {

uint32_t focused_window();                  // backend id, 0 if none
void set_focus(uint32_t id, bool focus);    // reports FocusGained / FocusLost
bool move_client(uint32_t id, int x, int y);
bool close_enabled(uint32_t id);            // false for CS_NOCLOSE windows
uint64_t present_count(uint32_t id);
bool text_input_rect(uint32_t id, RECT* out);  // the last caret rectangle reported
// What was asked of a window's frame: kept on top; with a title bar and border.
bool window_frame(uint32_t id, bool* topmost, bool* decorated);
// The pointer as the backend was last told: warped to, shown, kept in.
struct PointerState {
    POINT warped{0, 0};
    bool shown = true;
    bool clipped = false;
    RECT clip{};
};
PointerState pointer_state();

}  // namespace plat::headless_backend
