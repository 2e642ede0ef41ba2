// Hints the SDL driver gives: SDL's own before SDL_Init, and the window
// manager's _MOTIF_WM_HINTS of a window (which buttons and functions its
// frame offers). SDL thread only.
//
// Window-manager limits (X11): a disabled close box cannot be removed on
// every window manager; the driver asks for it through _MOTIF_WM_HINTS
// (together with the minimise button for no_minimize) and, whatever the
// window manager shows, drops close requests of such windows.
#include <SDL_syswm.h>

#include "user/backends/sdl/sdl_internal.h"

namespace plat::sdl {

bool has_video_driver(const char* name) {
    for (int i = 0, n = SDL_GetNumVideoDrivers(); i < n; ++i)
        if (const char* d = SDL_GetVideoDriver(i); d && SDL_strcmp(d, name) == 0) return true;
    return false;
}

void set_startup_hints() {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");  // window surface without OpenGL
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    const char* chosen = SDL_getenv("SDL_VIDEODRIVER");
    if ((!chosen || !*chosen) && has_video_driver("x11")) {
        // X11 first (as SDL prefers); Wayland only where a compositor runs.
        const char* wl = SDL_getenv("WAYLAND_DISPLAY");
        SDL_SetHint(SDL_HINT_VIDEODRIVER, (wl && *wl) ? "x11,wayland" : "x11");
    }
}

// Through libX11, which SDL has loaded already; the stand-in does not link
// X11 itself.
// Nothing to do where SDL has no X11 driver (a web page has no frame).
void set_motif_hints(SDL_Window* w, bool no_close, bool no_minimize, bool resizable) {
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(w, &info) || info.subsystem != SDL_SYSWM_X11) return;
    static void* lib = SDL_LoadObject("libX11.so.6");
    if (!lib) return;
    using InternAtomFn = unsigned long (*)(Display*, const char*, int);
    using ChangePropertyFn = int (*)(Display*, unsigned long, unsigned long, unsigned long, int, int,
                                     const unsigned char*, int);
    using FlushFn = int (*)(Display*);
    auto intern = reinterpret_cast<InternAtomFn>(SDL_LoadFunction(lib, "XInternAtom"));
    auto change = reinterpret_cast<ChangePropertyFn>(SDL_LoadFunction(lib, "XChangeProperty"));
    auto flush = reinterpret_cast<FlushFn>(SDL_LoadFunction(lib, "XFlush"));
    if (!intern || !change || !flush) return;
    enum : long { kFuncResize = 2, kFuncMove = 4, kFuncMinimize = 8, kFuncMaximize = 16, kFuncClose = 32 };
    enum : long { kDecorBorder = 2, kDecorResize = 4, kDecorTitle = 8, kDecorMenu = 16, kDecorMinimize = 32,
                  kDecorMaximize = 64 };
    long hints[5] = {1 | 2, kFuncMove, kDecorBorder | kDecorTitle | kDecorMenu, 0, 0};
    if (!no_close) hints[1] |= kFuncClose;
    if (!no_minimize) {
        hints[1] |= kFuncMinimize;
        hints[2] |= kDecorMinimize;
    }
    if (resizable) {
        hints[1] |= kFuncResize | kFuncMaximize;
        hints[2] |= kDecorResize | kDecorMaximize;
    }
    Display* d = info.info.x11.display;
    unsigned long atom = intern(d, "_MOTIF_WM_HINTS", 0);
    change(d, info.info.x11.window, atom, atom, 32, /*PropModeReplace*/ 0,
           reinterpret_cast<const unsigned char*>(hints), 5);
    flush(d);
#else
    (void)w, (void)no_close, (void)no_minimize, (void)resizable;
#endif
}

}  // namespace plat::sdl
