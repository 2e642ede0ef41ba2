// The backend in use: chosen by select_backend before the first window
// exists, made on first use from the table below (the first entry unless
// another was chosen; the last, which needs no display, when the chosen one
// cannot run). It is never destroyed: threads may still use it while the
// process ends.
#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "backends.h"
#include "user/user_internal.h"

namespace plat {
namespace {

// Every backend, by name. The last one must always work.
const BackendEntry kBackends[] = {
    {"sdl", make_sdl_backend},
    {"headless", make_headless_backend},
};

std::mutex g_backend_mutex;
const BackendEntry* g_choice = &kBackends[0];
const BackendEntry* g_made = nullptr;  // the entry the backend in use was made from
std::atomic<Backend*> g_backend{nullptr};

const BackendEntry* entry_named(const char* name) {
    if (!name) return nullptr;
    for (const BackendEntry& e : kBackends)
        if (std::strcmp(e.name, name) == 0) return &e;
    return nullptr;
}

// With g_backend_mutex held.
Backend* make_chosen() {
    std::unique_ptr<Backend> b = g_choice->make();
    g_made = g_choice;
    if (!b) {
        const BackendEntry& last = kBackends[sizeof kBackends / sizeof kBackends[0] - 1];
        std::fprintf(stderr, "platform: the %s backend is unavailable; running with the %s backend\n",
                     g_choice->name, last.name);
        b = last.make();
        g_made = &last;
    }
    return b.release();
}

}  // namespace

Backend& backend() {
    if (Backend* b = g_backend.load(std::memory_order_acquire)) return *b;
    std::lock_guard<std::mutex> lock(g_backend_mutex);
    if (!g_backend.load()) g_backend.store(make_chosen(), std::memory_order_release);
    return *g_backend.load();
}

bool select_backend(const char* name) {
    const BackendEntry* entry = entry_named(name);
    if (!entry) return false;
    std::lock_guard<std::mutex> lock(g_backend_mutex);
    {
        user::State& st = user::state();
        std::lock_guard<std::mutex> state_lock(st.mutex);
        for (auto& [h, w] : st.windows)
            if (w->backend_id || w->parent) return false;  // the console's window is never on the screen
    }
    g_choice = entry;
    if (g_backend.load() && g_made != entry) {
        // Made before the choice (e.g. for AdjustWindowRectEx) and never used
        // for a window: replaced. The old one is left alive, as another
        // thread may still hold a reference to it.
        g_backend.store(make_chosen(), std::memory_order_release);
    }
    return true;
}

}  // namespace plat
