// backends.h — factories of the two window backends (see backend.h).
#pragma once

#include <memory>

#include "backend.h"

namespace plat {

// Real windows through SDL2 (user/backends/sdl).
std::unique_ptr<Backend> make_sdl_backend();
// No display: tests inject input and read pixels (user/backends/headless).
std::unique_ptr<Backend> make_headless_backend();

}  // namespace plat
