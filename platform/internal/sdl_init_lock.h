// sdl_init_lock.h — one process-wide lock around starting and stopping SDL's
// subsystems. SDL's subsystem counts, its hint list and the event queue that
// both video and audio start are not safe to touch from two threads at once;
// the window backend's SDL thread (video) and winmm (audio, from whichever
// thread first plays a sound) each hold this lock while they set hints and
// start or stop their subsystem, and neither stops the other's.
#pragma once

#include <mutex>

namespace plat {
inline std::mutex& sdl_init_mutex() {
    static std::mutex m;
    return m;
}
}  // namespace plat
