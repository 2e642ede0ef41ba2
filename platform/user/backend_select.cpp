// The backend in use: chosen by select_backend before the first window
// exists, created on first use (SDL unless the headless backend was chosen).
// It is never destroyed: threads may still use it while the process ends.
#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>

#include "backends.h"
#include "user/user_internal.h"

namespace plat {
namespace {

std::mutex g_backend_mutex;
std::string g_choice = "sdl";
std::atomic<Backend*> g_backend{nullptr};

std::unique_ptr<Backend> make(const std::string& name) {
    if (name == "headless") return make_headless_backend();
    std::unique_ptr<Backend> b = make_sdl_backend();
    if (!b) {
        std::fprintf(stderr, "platform: the SDL backend is unavailable; running without a display\n");
        b = make_headless_backend();
    }
    return b;
}

}  // namespace

Backend& backend() {
    if (Backend* b = g_backend.load(std::memory_order_acquire)) return *b;
    std::lock_guard<std::mutex> lock(g_backend_mutex);
    if (!g_backend.load()) g_backend.store(make(g_choice).release(), std::memory_order_release);
    return *g_backend.load();
}

bool select_backend(const char* name) {
    if (!name || (std::strcmp(name, "sdl") != 0 && std::strcmp(name, "headless") != 0)) return false;
    std::lock_guard<std::mutex> lock(g_backend_mutex);
    {
        user::State& st = user::state();
        std::lock_guard<std::mutex> state_lock(st.mutex);
        for (auto& [h, w] : st.windows)
            if (w->backend_id || w->parent) return false;  // the console's window is never on the screen
    }
    g_choice = name;
    Backend* current = g_backend.load();
    if (current && std::strcmp(current->name(), name) != 0) {
        // Made before the choice (e.g. for AdjustWindowRectEx) and never used
        // for a window: replaced. The old one is left alive, as another
        // thread may still hold a reference to it.
        g_backend.store(make(g_choice).release(), std::memory_order_release);
    }
    return true;
}

}  // namespace plat
