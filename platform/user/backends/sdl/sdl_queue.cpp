// The SDL driver's command queue and its two ways out: commands for the SDL
// thread (run by sdl_thread.cpp's loop, which a user event wakes) and events
// delivered up into USER. Calls no other file of the driver.
//
// Takes Shared::mu to queue, and Shared::deliver_mu around each delivery.
#include <chrono>
#include <thread>

#include "user/backends/sdl/sdl_internal.h"

namespace plat::sdl {
namespace {

thread_local bool t_sdl_thread = false;  // the calling thread is the driver's own

}  // namespace

void mark_sdl_thread() { t_sdl_thread = true; }
bool on_sdl_thread() { return t_sdl_thread; }

// While SDL starts, commands wait in the queue (the thread runs them once it
// is ready); after a failure there is nobody to run them.
void post(Shared* s, std::function<void()> fn) {
    {
        std::lock_guard<std::mutex> lock(s->mu);
        if (s->init == Shared::Init::Starting) {
            s->commands.push_back(std::move(fn));
            return;
        }
        if (s->init != Shared::Init::Ready) return;
        s->commands.push_back(std::move(fn));
    }
    wake(s);
}

void wake(Shared* s) {
    if (s->wake_pending.exchange(true)) return;  // one wake-up event is enough
    SDL_Event e;
    SDL_zero(e);
    e.type = s->wake_type;
    SDL_PushEvent(&e);
}

void deliver(Shared* s, const BackendEvent& ev) {
    std::lock_guard<std::mutex> lock(s->deliver_mu);
    if (s->stopped.load()) return;
    deliver_backend_event(ev);
}

// The thread itself is left to end with the process. Waits up to 200 ms for
// a delivery in progress (one stuck in a program that is exiting must not
// hold up the exit).
void stop_delivery(Shared* s) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
    bool locked = s->deliver_mu.try_lock();
    while (!locked && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        locked = s->deliver_mu.try_lock();
    }
    s->stopped = true;
    if (locked) s->deliver_mu.unlock();
}

}  // namespace plat::sdl
