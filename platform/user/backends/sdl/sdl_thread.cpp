// The SDL driver's thread and command queue.
//
// Every SDL call is made on one thread that the driver starts on first use
// (SDL_Init(SDL_INIT_VIDEO) runs there). Other threads never call SDL: their
// requests go into a command queue and the SDL thread is woken with a user
// event, which interrupts SDL_WaitEventTimeout.
//
// Not even the first window waits for SDL_Init (10 to 20 ms, most of it the
// X connection and the input-method bus): commands queue up until SDL is
// ready, so the program's own start (its window thread, its first drawing and
// the first refresh) runs alongside. Only where the environment names no
// display at all does creation wait, for the quick failure, and return 0. If
// SDL fails after windows were handed out, they can never be shown: the
// process ends with status 1 and the reason on standard error, as an X
// client does when its display cannot be opened.
//
// On X11 it is fine that this thread is not the program's main thread: SDL's
// video subsystem only requires that one thread makes all the calls. In a
// web page (SDL's emscripten driver) this thread is a worker too: SDL hands
// drawing to the browser's main thread itself, and the page's input events,
// registered from this thread, are queued to it and run while it waits for
// events.
//
// Takes Shared::mu, never while running a command. The queue itself is in
// sdl_queue.cpp.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "codepage.h"
#include "font_engine.h"
#include "sdl_init_lock.h"
#include "user/backends/sdl/sdl_internal.h"
#include "windows.h"

namespace plat::sdl {
namespace {

std::atomic<Shared*>& exiting_shared() {
    static std::atomic<Shared*> shared{nullptr};
    return shared;
}

// True when the environment names a display SDL could open. Without one
// SDL_Init fails at once, and creation may as well wait for that.
bool display_named() {
    if (has_video_driver("emscripten")) return true;  // a page always has its canvas
    for (const char* name : {"SDL_VIDEODRIVER", "DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* v = SDL_getenv(name);
        if (v && *v) return true;
    }
    return false;
}

// SDL falls back to drivers that show nothing (offscreen) when there is
// no display server; a program would then run with invisible windows.
// Only a driver chosen explicitly with SDL_VIDEODRIVER is trusted blindly.
bool has_display() {
    const char* chosen = SDL_getenv("SDL_VIDEODRIVER");
    if (chosen && *chosen) return true;
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver && (std::strcmp(driver, "x11") == 0 || std::strcmp(driver, "wayland") == 0 ||
                      std::strcmp(driver, "emscripten") == 0);
}

// A program with a window draws text next. Loading fontconfig's
// configuration, the fonts and the code-page converter takes as long as
// starting SDL: do it on a thread of its own while SDL starts, instead of
// after the window is shown, on the way to the first frame.
void warm_text_in_background() {
    std::thread([] {
        text::warm_up();
        codepage::decode_936("\xb0\xa1", 2);
    }).detach();
}

void thread_main(Shared* s) {
    mark_sdl_thread();
    std::unique_lock<std::mutex> init_lock(sdl_init_mutex());  // winmm may be starting SDL's audio
    set_startup_hints();
    bool ok = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    if (ok && !has_display()) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);  // not SDL_Quit: audio may be running
        SDL_SetError("no X11 or Wayland display (is DISPLAY set?)");
        ok = false;
    }
    if (ok) {
        s->wake_type = SDL_RegisterEvents(1);
        ok = s->wake_type != Uint32(-1);
    }
    init_lock.unlock();
    if (!ok) {
        std::fprintf(stderr, "platform: no display for windows (SDL: %s)\n", SDL_GetError());
    }
    bool promised = false;
    {
        std::lock_guard<std::mutex> lock(s->mu);
        promised = s->promised;
        if (!ok) s->commands.clear();
        if (ok) {
            s->scale = choose_scale();
            SDL_Rect b;
            if (SDL_GetDisplayBounds(0, &b) == 0) s->display = RECT{b.x, b.y, b.x + b.w, b.y + b.h};
            s->work = s->display;
            if (SDL_GetDisplayUsableBounds(0, &b) == 0) s->work = RECT{b.x, b.y, b.x + b.w, b.y + b.h};
        }
        s->init = ok ? Shared::Init::Ready : Shared::Init::Failed;
    }
    s->cv.notify_all();
    if (!ok && promised) ExitProcess(1);  // its windows can never be shown
    if (!ok) return;
    SDL_StartTextInput();

    for (;;) {
        s->wake_pending.store(false);
        std::deque<std::function<void()>> cmds;
        {
            std::lock_guard<std::mutex> lock(s->mu);
            cmds.swap(s->commands);
        }
        for (auto& c : cmds) c();
        present_dirty(s);
        // Work from other threads arrives with a wake-up event, and X
        // events wake the wait too; the time-out is only a safety net,
        // long enough that an idle program is not woken for it.
        SDL_Event e;
        if (SDL_WaitEventTimeout(&e, 1000)) {
            do {
                handle(s, e);
            } while (SDL_PollEvent(&e));
        }
    }
}

}  // namespace

bool start(Shared* s) {
    std::unique_lock<std::mutex> lock(s->mu);
    if (s->init == Shared::Init::NotStarted) {
        s->init = Shared::Init::Starting;
        // Once the process is exiting, events are of no use to anyone and
        // the program's objects are being torn down: stop delivering.
        // Registered after USER's state exists, so it runs before USER's
        // static objects are destroyed.
        exiting_shared().store(s);
        std::atexit([] {
            if (Shared* sh = exiting_shared().load()) stop_delivery(sh);
        });
        std::thread(thread_main, s).detach();
        warm_text_in_background();
    }
    if (s->init == Shared::Init::Starting && !display_named())
        s->cv.wait(lock, [&] { return s->init != Shared::Init::Starting; });
    if (s->init == Shared::Init::Failed) return false;
    if (s->init == Shared::Init::Starting) s->promised = true;
    return true;
}

bool wait_ready(Shared* s) {
    if (!start(s)) return false;
    std::unique_lock<std::mutex> lock(s->mu);
    s->cv.wait(lock, [&] { return s->init != Shared::Init::Starting; });
    return s->init == Shared::Init::Ready;
}

}  // namespace plat::sdl
