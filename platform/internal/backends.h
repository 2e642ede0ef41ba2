// backends.h — the window backends there are (see backend.h), each named
// once, in the table of backend_select.cpp.
#pragma once

#include <memory>

#include "backend.h"

namespace plat {

struct BackendEntry {
    const char* name;                      // what select_backend knows it by
    std::unique_ptr<Backend> (*make)();    // null when it cannot run here
};

// Real windows through SDL2 (user/backends/sdl).
std::unique_ptr<Backend> make_sdl_backend();
// No display: tests inject input and read pixels (user/backends/headless).
std::unique_ptr<Backend> make_headless_backend();

}  // namespace plat
