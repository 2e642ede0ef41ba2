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

}  // namespace plat::headless_backend
