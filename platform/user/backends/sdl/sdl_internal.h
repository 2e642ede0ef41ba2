// sdl_internal.h — what the files of the SDL driver share: the state its
// thread and the callers' threads hold in common, and each file's entry
// points.
//
// The files build on each other in this order, each calling only into the
// ones before it: sdl_queue, sdl_hints, sdl_framebuffer, sdl_windows,
// sdl_events, sdl_clipboard, sdl_thread, sdl_backend.
//
// Locks: Shared::mu guards the command queue, start-up state, window
// geometry and pending presents; Shared::frame_mu guards the framebuffers.
// USER hands pixels down while it holds the window's surface lock, so
// frame_mu is taken after that lock and the driver never takes a USER lock.
#pragma once

#include <SDL.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <unordered_map>

#include "backend.h"
#include "user/backends/sdl/frame_shadow.h"

namespace plat::sdl {

// Decorations assumed until a window manager reports its real frame
// (_NET_FRAME_EXTENTS): the size of a fixed caption window on Windows.
constexpr RECT kDefaultCaptionFrame = {3, 26, 3, 3};

struct WindowRecord {
    SDL_Window* sdl = nullptr;   // SDL thread only
    bool no_close = false;
    bool visible = false;
    bool move_unreported = false;  // placed elsewhere than USER assumed, USER not told yet
};

struct Geometry {
    int x = 0, y = 0, w = 0, h = 0;
};

// State shared between the backend object and its thread. It is never freed:
// the thread may outlive the backend object during process exit.
struct Shared {
    std::mutex mu;
    std::condition_variable cv;
    enum class Init { NotStarted, Starting, Ready, Failed } init = Init::NotStarted;
    std::deque<std::function<void()>> commands;
    std::unordered_map<uint32_t, RECT> dirty;          // pending presents
    std::unordered_map<uint32_t, Geometry> geometry;   // client rects as last known
    uint32_t next_id = 1;
    bool promised = false;  // a window id was handed out before SDL was ready
    uint32_t wake_type = 0;
    std::atomic<bool> wake_pending{false};
    RECT display = {0, 0, 1024, 768};
    RECT work = {0, 0, 1024, 768};  // the display without the desktop's panels
    // Every window is shown this many times larger, pixels repeated, and
    // mouse positions are divided back (set once before Init::Ready).
    int scale = 1;
    bool frame_known = false;
    RECT frame = kDefaultCaptionFrame;

    // Each window's pixels as USER last handed them down (sdl_framebuffer.cpp).
    std::mutex frame_mu;
    std::unordered_map<uint32_t, FrameShadow> frames;

    // Delivery to USER stops when the backend object is destroyed (process
    // exit): USER's state may already be gone.
    // A plain mutex taken by polling try_lock: a timed lock goes through
    // pthread_mutex_clocklock, which ThreadSanitizer does not see, so it then
    // reports the unlock as one of an unlocked mutex.
    std::mutex deliver_mu;
    std::atomic<bool> stopped{false};  // also set when a stuck delivery keeps the lock

    // SDL thread only.
    std::unordered_map<uint32_t, WindowRecord> windows;   // backend id -> window
    std::unordered_map<uint32_t, uint32_t> by_sdl_id;     // SDL window id -> backend id
};

// ---- command queue and delivery (sdl_queue.cpp) ----
// Queues a command for the SDL thread (dropped after a failure).
void post(Shared* s, std::function<void()> fn);
// Wakes the SDL thread to run commands and presents.
void wake(Shared* s);
// Hands an event to USER unless delivery has stopped.
void deliver(Shared* s, const BackendEvent& ev);
// Stops delivering events into USER, waiting briefly for a delivery in progress.
void stop_delivery(Shared* s);
// True on the SDL thread (which marks itself).
bool on_sdl_thread();
void mark_sdl_thread();

// ---- hints (sdl_hints.cpp) ----
// True when this SDL was built with the named video driver ("x11", "emscripten").
bool has_video_driver(const char* name);
// The SDL hints set before SDL_Init.
void set_startup_hints();
// _MOTIF_WM_HINTS of a window: which buttons and functions it has.
void set_motif_hints(SDL_Window* w, bool no_close, bool no_minimize, bool resizable);

// A window the SDL thread has made (null if none or not yet). SDL thread only.
inline WindowRecord* find(Shared* s, uint32_t id) {
    auto it = s->windows.find(id);
    return (it == s->windows.end() || !it->second.sdl) ? nullptr : &it->second;
}

// The whole window surface, in SDL pixels.
inline RECT full_rect(SDL_Window* w) {
    int cw = 0, ch = 0;
    SDL_GetWindowSize(w, &cw, &ch);
    return RECT{0, 0, cw, ch};
}

// ---- windows (sdl_windows.cpp) ----
uint32_t create_window(Shared* s, const BackendWindowDesc& desc);
void destroy_window(Shared* s, uint32_t id);
void show_window(Shared* s, uint32_t id, bool show);
void set_client_rect(Shared* s, uint32_t id, int x, int y, int width, int height);
bool get_client_origin(Shared* s, uint32_t id, int* x, int* y);
void set_title(Shared* s, uint32_t id, const std::string& title_utf8);
void set_capture(Shared* s, uint32_t id, bool capture);
void activate(Shared* s, uint32_t id);
void set_text_input_rect(Shared* s, uint32_t id, const RECT& caret);
RECT frame_insets(Shared* s, DWORD style);
void set_topmost(Shared* s, uint32_t id, bool topmost);
void set_decorated(Shared* s, uint32_t id, bool decorated);
// The pointer, in screen coordinates.
void warp_cursor(Shared* s, int x, int y);
void show_cursor(Shared* s, bool show);
void clip_cursor(Shared* s, const RECT* screen);
// Reads the window manager's frame size once a window is on screen.
void learn_frame(Shared* s, SDL_Window* w);

// ---- framebuffers and presenting (sdl_framebuffer.cpp) ----
// USER's changed rectangle, with the window's whole client surface.
void update(Shared* s, uint32_t id, const uint32_t* pixels, int width, int height, const RECT& dirty);
// SDL thread only: copies part of a window's framebuffer to the screen;
// presents what became dirty since the last loop iteration.
void present(Shared* s, uint32_t id, WindowRecord& w, RECT r);
void present_dirty(Shared* s);
// The scale of the windows: GLINT_SCALE if set (1 to 8), else the
// desktop's integer scale where one is published (GDK_SCALE), else 1.
int choose_scale();

// ---- events (sdl_events.cpp), SDL thread only ----
void handle(Shared* s, const SDL_Event& e);

// ---- the SDL thread (sdl_thread.cpp) ----
// Starts the SDL thread on first use. False once SDL has failed; while it
// starts, waits for it only where no display is named. Called before the
// first window is made.
bool start(Shared* s);
// Starts SDL if needed and waits until it is ready; false if it failed.
bool wait_ready(Shared* s);

// ---- clipboard (sdl_clipboard.cpp) ----
void set_clipboard_text(Shared* s, const std::string& utf8);
bool get_clipboard_text(Shared* s, std::string* utf8);

}  // namespace plat::sdl
