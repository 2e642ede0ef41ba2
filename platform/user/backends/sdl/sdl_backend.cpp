// sdl_backend.cpp — real windows through SDL2.
//
// Every SDL call is made on one thread that the backend starts on first use
// (SDL_Init(SDL_INIT_VIDEO) runs there). Other threads never call SDL: their
// requests go into a command queue and the SDL thread is woken with a user
// event, which interrupts SDL_WaitEventTimeout. Window creation does not wait
// for the SDL thread: the backend hands out its own window ids at once and the
// creation command is queued ahead of every later command for that id. This
// keeps a caller that holds USER's locks from ever waiting on the SDL thread
// while that thread is delivering an event into USER (which may need the same
// locks).
//
// Not even the first window waits for SDL_Init (10 to 20 ms, most of it the
// X connection and the input-method bus): commands queue up until SDL is
// ready, so the program's own start (its window thread, its first drawing and
// the first refresh) runs alongside. A window of default position is placed
// on an assumed display until SDL knows the real one, and USER hears of the
// real position as a move. Only where the environment names no display at
// all does creation wait, for the quick failure, and return 0. If SDL fails
// after windows were handed out, they can never be shown: the process ends
// with status 1 and the reason on standard error, as an X client does when
// its display cannot be opened.
//
// On X11 it is fine that this thread is not the program's main thread: SDL's
// video subsystem only requires that one thread makes all the calls.
//
// Presenting copies the window's client surface (0x00RRGGBB, which is
// SDL_PIXELFORMAT_RGB888) into the SDL window surface pixel for pixel and
// updates the changed rectangle; invalidations are first narrowed to the
// pixels that differ from the previous report (a redrawn but identical frame
// is dropped), then merged and presented at most once per loop iteration. No renderer and no OpenGL are used, so it
// works on Xvfb.
//
// The clipboard is SDL's (UTF-8): setting it is one more command; reading
// it is a command whose answer the caller waits for (at most 2 s: on X11
// the owner of the selection is another program, which may not answer).
//
// Window-manager limits (X11): a disabled close box cannot be removed on
// every window manager; the backend asks for it through _MOTIF_WM_HINTS
// (together with the minimise button for no_minimize) and, whatever the
// window manager shows, drops close requests of such windows.
#include <SDL.h>
#include <SDL_syswm.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <unordered_map>

#include "backends.h"
#include "codepage.h"
#include "font_engine.h"
#include "sdl_init_lock.h"
#include "user/backends/sdl/frame_shadow.h"
#include "window_surface.h"
#include "windows.h"

namespace plat {
namespace {

thread_local bool t_sdl_thread = false;  // the calling thread is the backend's own

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
    // What each window last reported (callers' threads, under shadow_mu,
    // taken after the window's surface lock).
    std::mutex shadow_mu;
    std::unordered_map<uint32_t, FrameShadow> shadows;
    uint32_t next_id = 1;
    bool promised = false;  // a window id was handed out before SDL was ready
    uint32_t wake_type = 0;
    std::atomic<bool> wake_pending{false};
    RECT display = {0, 0, 1024, 768};
    // Every window is shown this many times larger, pixels repeated, and
    // mouse positions are divided back (set once before Init::Ready).
    int scale = 1;
    bool frame_known = false;
    RECT frame = kDefaultCaptionFrame;

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

void union_rect(RECT* into, const RECT& r) {
    if (r.left >= r.right || r.top >= r.bottom) return;
    if (into->left >= into->right || into->top >= into->bottom) {
        *into = r;
        return;
    }
    if (r.left < into->left) into->left = r.left;
    if (r.top < into->top) into->top = r.top;
    if (r.right > into->right) into->right = r.right;
    if (r.bottom > into->bottom) into->bottom = r.bottom;
}

// _MOTIF_WM_HINTS through libX11, which SDL has loaded already; the stand-in
// does not link X11 itself.
void set_motif_hints(SDL_Window* w, bool no_close, bool no_minimize, bool resizable) {
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
}

class SdlBackend final : public Backend {
public:
    SdlBackend() : s_(new Shared) {}

    ~SdlBackend() override { stop_delivery(s_); }

    const char* name() const override { return "sdl"; }

    uint32_t create_window(const BackendWindowDesc& desc) override {
        if (!start()) return 0;  // waits only where no display is named
        uint32_t id;
        {
            std::lock_guard<std::mutex> lock(s_->mu);
            id = s_->next_id++;
            Geometry g;
            g.w = desc.width;
            g.h = desc.height;
            if (desc.x == kDefaultPos || desc.y == kDefaultPos) {
                // SDL centres windows of undefined position on the display.
                g.x = s_->display.left + (s_->display.right - s_->display.left - desc.width * s_->scale) / 2;
                g.y = s_->display.top + (s_->display.bottom - s_->display.top - desc.height * s_->scale) / 2;
            } else {
                g.x = desc.x;
                g.y = desc.y;
            }
            s_->geometry[id] = g;
        }
        BackendWindowDesc d = desc;
        post([s = s_, id, d] { create_on_thread(s, id, d); });
        return id;
    }

    void destroy_window(uint32_t id) override {
        {
            std::lock_guard<std::mutex> lock(s_->mu);
            s_->geometry.erase(id);
            s_->dirty.erase(id);
        }
        {
            std::lock_guard<std::mutex> lock(s_->shadow_mu);
            s_->shadows.erase(id);
        }
        post([s = s_, id] {
            auto it = s->windows.find(id);
            if (it == s->windows.end()) return;
            if (it->second.sdl) {
                s->by_sdl_id.erase(SDL_GetWindowID(it->second.sdl));
                SDL_DestroyWindow(it->second.sdl);
            }
            s->windows.erase(it);
        });
    }

    void show_window(uint32_t id, bool show) override {
        post([s = s_, id, show] {
            WindowRecord* w = find(s, id);
            if (!w) return;
            if (show) {
                report_placement(s, id, *w);
                SDL_ShowWindow(w->sdl);
                // Showing a window activates it, as on Windows. Without a
                // window manager nobody else would give it the keyboard.
                SDL_RaiseWindow(w->sdl);
                SDL_SetWindowInputFocus(w->sdl);
                w->visible = true;
                learn_frame(s, w->sdl);
                present(s, id, *w, full_rect(w->sdl));
            } else {
                SDL_HideWindow(w->sdl);
                w->visible = false;
            }
        });
    }

    void set_title(uint32_t id, const std::string& title_utf8) override {
        post([s = s_, id, title_utf8] {
            if (WindowRecord* w = find(s, id)) SDL_SetWindowTitle(w->sdl, title_utf8.c_str());
        });
    }

    void set_client_rect(uint32_t id, int x, int y, int width, int height) override {
        {
            std::lock_guard<std::mutex> lock(s_->mu);
            auto it = s_->geometry.find(id);
            if (it == s_->geometry.end()) return;
            it->second = Geometry{x, y, width, height};
        }
        post([s = s_, id, x, y, width, height] {
            WindowRecord* w = find(s, id);
            if (!w) return;
            SDL_SetWindowPosition(w->sdl, x, y);
            SDL_SetWindowSize(w->sdl, (width > 0 ? width : 1) * s->scale, (height > 0 ? height : 1) * s->scale);
            present(s, id, *w, full_rect(w->sdl));
        });
    }

    bool get_client_origin(uint32_t id, int* x, int* y) override {
        std::lock_guard<std::mutex> lock(s_->mu);
        auto it = s_->geometry.find(id);
        if (it == s_->geometry.end()) return false;
        if (x) *x = it->second.x;
        if (y) *y = it->second.y;
        return true;
    }

    void set_capture(uint32_t id, bool capture) override {
        post([s = s_, id, capture] {
            if (find(s, id)) SDL_CaptureMouse(capture ? SDL_TRUE : SDL_FALSE);
        });
    }

    void invalidate(uint32_t id, const RECT& dirty) override {
        {
            std::lock_guard<std::mutex> lock(s_->mu);
            if (s_->init != Shared::Init::Ready || !s_->geometry.count(id)) return;
        }
        RECT r = dirty;
        if (!narrow_to_changes(s_, id, &r)) return;  // an identical frame: nothing to show
        {
            std::lock_guard<std::mutex> lock(s_->mu);
            if (!s_->geometry.count(id)) return;
            auto it = s_->dirty.find(id);
            if (it == s_->dirty.end()) s_->dirty.emplace(id, r);
            else union_rect(&it->second, r);
        }
        wake(s_);
    }

    RECT frame_insets(DWORD style) override {
        bool caption = (style & WS_CAPTION) == WS_CAPTION;
        if (caption) {
            std::lock_guard<std::mutex> lock(s_->mu);
            return s_->frame_known ? s_->frame : kDefaultCaptionFrame;
        }
        if (style & (WS_BORDER | WS_DLGFRAME | WS_THICKFRAME)) return RECT{1, 1, 1, 1};
        return RECT{0, 0, 0, 0};
    }

    void activate(uint32_t id) override {
        post([s = s_, id] {
            WindowRecord* w = find(s, id);
            if (!w || !w->visible) return;
            SDL_RaiseWindow(w->sdl);
            SDL_SetWindowInputFocus(w->sdl);
        });
    }

    // SDL keeps one rectangle, used for the window that has the keyboard.
    void set_text_input_rect(uint32_t id, const RECT& caret) override {
        post([s = s_, id, caret] {
            if (!find(s, id)) return;
            SDL_Rect r{caret.left, caret.top, caret.right - caret.left, caret.bottom - caret.top};
            SDL_SetTextInputRect(&r);
        });
    }

    void set_clipboard_text(const std::string& utf8) override {
        post([utf8] { SDL_SetClipboardText(utf8.c_str()); });
    }

    bool get_clipboard_text(std::string* utf8) override {
        if (!utf8) return false;
        if (t_sdl_thread) return read_clipboard(utf8);
        struct Reply {
            std::mutex mu;
            std::condition_variable cv;
            bool done = false, ok = false;
            std::string text;
        };
        auto reply = std::make_shared<Reply>();
        {
            std::lock_guard<std::mutex> lock(s_->mu);
            if (s_->init != Shared::Init::Ready && s_->init != Shared::Init::Starting) return false;
        }
        post([reply] {
            std::string text;
            bool ok = read_clipboard(&text);
            {
                std::lock_guard<std::mutex> lock(reply->mu);
                reply->text = std::move(text);
                reply->ok = ok;
                reply->done = true;
            }
            reply->cv.notify_all();
        });
        std::unique_lock<std::mutex> lock(reply->mu);
        if (!reply->cv.wait_for(lock, std::chrono::seconds(2), [&] { return reply->done; }) || !reply->ok)
            return false;
        *utf8 = std::move(reply->text);
        return true;
    }

private:
    // SDL thread only. No text and empty text are alike to a paste.
    static bool read_clipboard(std::string* out) {
        char* text = SDL_GetClipboardText();
        bool ok = text && *text;
        if (ok) *out = text;
        SDL_free(text);
        return ok;
    }

    // Stops delivering events into USER, waiting briefly for a delivery in
    // progress. The thread itself is left to end with the process.
    // Waits up to 200 ms for a delivery in progress (one stuck in a program
    // that is exiting must not hold up the exit).
    static void stop_delivery(Shared* s) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
        bool locked = s->deliver_mu.try_lock();
        while (!locked && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            locked = s->deliver_mu.try_lock();
        }
        s->stopped = true;
        if (locked) s->deliver_mu.unlock();
    }

    static std::atomic<Shared*>& exiting_shared() {
        static std::atomic<Shared*> shared{nullptr};
        return shared;
    }

    // True when the environment names a display SDL could open. Without one
    // SDL_Init fails at once, and creation may as well wait for that.
    static bool display_named() {
        for (const char* name : {"SDL_VIDEODRIVER", "DISPLAY", "WAYLAND_DISPLAY"}) {
            const char* v = SDL_getenv(name);
            if (v && *v) return true;
        }
        return false;
    }

    // Starts the SDL thread on first use. False once SDL has failed; while
    // it starts, waits for it only where no display is named.
    bool start() {
        std::unique_lock<std::mutex> lock(s_->mu);
        if (s_->init == Shared::Init::NotStarted) {
            s_->init = Shared::Init::Starting;
            // Once the process is exiting, events are of no use to anyone and
            // the program's objects are being torn down: stop delivering.
            // Registered after USER's state exists, so it runs before USER's
            // static objects are destroyed.
            exiting_shared().store(s_);
            std::atexit([] {
                if (Shared* s = exiting_shared().load()) stop_delivery(s);
            });
            std::thread(thread_main, s_).detach();
            warm_text_in_background();
        }
        if (s_->init == Shared::Init::Starting && !display_named())
            s_->cv.wait(lock, [&] { return s_->init != Shared::Init::Starting; });
        if (s_->init == Shared::Init::Failed) return false;
        if (s_->init == Shared::Init::Starting) s_->promised = true;
        return true;
    }

    // A program with a window draws text next. Loading fontconfig's
    // configuration, the fonts and the code-page converter takes as long as
    // starting SDL: do it on a thread of its own while SDL starts, instead of
    // after the window is shown, on the way to the first frame.
    static void warm_text_in_background() {
        std::thread([] {
            text::warm_up();
            codepage::decode_936("\xb0\xa1", 2);
        }).detach();
    }

    // Queues a command for the SDL thread. While SDL starts, commands wait
    // in the queue (the thread runs them once it is ready); after a failure
    // there is nobody to run them.
    void post(std::function<void()> fn) {
        {
            std::lock_guard<std::mutex> lock(s_->mu);
            if (s_->init == Shared::Init::Starting) {
                s_->commands.push_back(std::move(fn));
                return;
            }
            if (s_->init != Shared::Init::Ready) return;
            s_->commands.push_back(std::move(fn));
        }
        wake(s_);
    }

    static void wake(Shared* s) {
        if (s->wake_pending.exchange(true)) return;  // one wake-up event is enough
        SDL_Event e;
        SDL_zero(e);
        e.type = s->wake_type;
        SDL_PushEvent(&e);
    }

    // Narrows *r to the pixels that differ from what the window reported
    // before; false when none do. Runs on the reporting thread, so an
    // unchanged refresh does not even wake the SDL thread.
    static bool narrow_to_changes(Shared* s, uint32_t id, RECT* r) {
        HWND hwnd = window_from_backend_id(id);
        if (!hwnd) return true;
        SurfaceView view;
        if (!lock_window_surface(hwnd, &view)) return true;
        bool changed = true;
        if (view.pixels) {
            std::lock_guard<std::mutex> lock(s->shadow_mu);
            *r = s->shadows[id].update(view.pixels, view.width, view.height, *r);
            changed = r->left < r->right && r->top < r->bottom;
        }
        unlock_window_surface(hwnd);
        return changed;
    }

    static WindowRecord* find(Shared* s, uint32_t id) {
        auto it = s->windows.find(id);
        return (it == s->windows.end() || !it->second.sdl) ? nullptr : &it->second;
    }

    static RECT full_rect(SDL_Window* w) {
        int cw = 0, ch = 0;
        SDL_GetWindowSize(w, &cw, &ch);
        return RECT{0, 0, cw, ch};
    }

    static void create_on_thread(Shared* s, uint32_t id, const BackendWindowDesc& d) {
        Uint32 flags = SDL_WINDOW_HIDDEN;
        if (d.resizable) flags |= SDL_WINDOW_RESIZABLE;
        int x = (d.x == kDefaultPos || d.y == kDefaultPos) ? int(SDL_WINDOWPOS_UNDEFINED) : d.x;
        int y = (d.x == kDefaultPos || d.y == kDefaultPos) ? int(SDL_WINDOWPOS_UNDEFINED) : d.y;
        // SDL cannot make a window with an empty client area.
        SDL_Window* w = SDL_CreateWindow(d.title_utf8.c_str(), x, y, (d.width > 0 ? d.width : 1) * s->scale,
                                         (d.height > 0 ? d.height : 1) * s->scale, flags);
        if (!w) {
            std::fprintf(stderr, "platform: cannot create a window: %s\n", SDL_GetError());
            return;
        }
        if (d.no_close || d.no_minimize) set_motif_hints(w, d.no_close, d.no_minimize, d.resizable);
        // An owned window (a dialog) is transient for its owner: a window
        // manager keeps it above the owner.
        if (d.owner)
            if (WindowRecord* owner = find(s, d.owner)) SDL_SetWindowModalFor(w, owner->sdl);
        WindowRecord rec;
        rec.sdl = w;
        rec.no_close = d.no_close;
        s->windows[id] = rec;
        s->by_sdl_id[SDL_GetWindowID(w)] = id;
        int wx = 0, wy = 0;
        SDL_GetWindowPosition(w, &wx, &wy);
        {
            std::lock_guard<std::mutex> lock(s->mu);
            auto it = s->geometry.find(id);
            if (it != s->geometry.end() && (it->second.x != wx || it->second.y != wy)) {
                it->second.x = wx;
                it->second.y = wy;
                s->windows[id].move_unreported = true;
            }
        }
        report_placement(s, id, s->windows[id]);
    }

    // Tells USER where a window really is when that differs from where it
    // was assumed to be at creation (the display was not known yet). USER
    // learns of the window's id only when CreateWindowExA returns, so until
    // then the report waits, at the latest for the window being shown.
    static void report_placement(Shared* s, uint32_t id, WindowRecord& w) {
        if (!w.move_unreported || !window_from_backend_id(id)) return;
        w.move_unreported = false;
        BackendEvent ev;
        ev.kind = BackendEventKind::Moved;
        ev.window = id;
        {
            std::lock_guard<std::mutex> lock(s->mu);
            auto it = s->geometry.find(id);
            if (it == s->geometry.end()) return;
            ev.x = it->second.x;
            ev.y = it->second.y;
        }
        deliver(s, ev);
    }

    // Reads the window manager's frame size once a window is on screen.
    static void learn_frame(Shared* s, SDL_Window* w) {
        {
            std::lock_guard<std::mutex> lock(s->mu);
            if (s->frame_known) return;
        }
        int top = 0, left = 0, bottom = 0, right = 0;
        if (SDL_GetWindowBordersSize(w, &top, &left, &bottom, &right) != 0 || top <= 0) return;
        std::lock_guard<std::mutex> lock(s->mu);
        if (s->frame_known) return;
        s->frame = RECT{left, top, right, bottom};
        s->frame_known = true;
    }

    // Copies the dirty part of the window's surface to the screen.
    static void present(Shared* s, uint32_t id, WindowRecord& w, RECT r) {
        if (!w.visible) return;
        HWND hwnd = window_from_backend_id(id);
        if (!hwnd) return;
        SDL_Surface* dst = SDL_GetWindowSurface(w.sdl);
        if (!dst) return;
        SurfaceView view;
        if (!lock_window_surface(hwnd, &view)) return;
        if (r.left < 0) r.left = 0;
        if (r.top < 0) r.top = 0;
        if (r.right > view.width) r.right = view.width;
        if (r.bottom > view.height) r.bottom = view.height;
        if (r.right > dst->w / s->scale) r.right = dst->w / s->scale;
        if (r.bottom > dst->h / s->scale) r.bottom = dst->h / s->scale;
        bool copied = false;
        if (s->scale > 1) {
            if (view.pixels && r.left < r.right && r.top < r.bottom) copied = copy_scaled(view, r, dst, s->scale);
            unlock_window_surface(hwnd);
            if (copied) {
                const int k = s->scale;
                SDL_Rect sr{r.left * k, r.top * k, (r.right - r.left) * k, (r.bottom - r.top) * k};
                SDL_UpdateWindowSurfaceRects(w.sdl, &sr, 1);
            }
            return;
        }
        if (view.pixels && r.left < r.right && r.top < r.bottom) {
            if (SDL_MUSTLOCK(dst)) SDL_LockSurface(dst);
            const uint32_t* src = view.pixels + size_t(r.top) * size_t(view.width) + size_t(r.left);
            uint8_t* out = static_cast<uint8_t*>(dst->pixels) + size_t(r.top) * size_t(dst->pitch) +
                           size_t(r.left) * dst->format->BytesPerPixel;
            int w_px = r.right - r.left, h_px = r.bottom - r.top;
            if (dst->format->format == SDL_PIXELFORMAT_RGB888 || dst->format->format == SDL_PIXELFORMAT_ARGB8888) {
                for (int row = 0; row < h_px; ++row)
                    std::memcpy(out + size_t(row) * size_t(dst->pitch), src + size_t(row) * size_t(view.width),
                                size_t(w_px) * 4);
            } else {
                SDL_ConvertPixels(w_px, h_px, SDL_PIXELFORMAT_RGB888, src, view.width * 4, dst->format->format,
                                  out, dst->pitch);
            }
            if (SDL_MUSTLOCK(dst)) SDL_UnlockSurface(dst);
            copied = true;
        }
        unlock_window_surface(hwnd);
        if (copied) {
            SDL_Rect sr{r.left, r.top, r.right - r.left, r.bottom - r.top};
            SDL_UpdateWindowSurfaceRects(w.sdl, &sr, 1);
        }
    }

    // Copies rectangle r of the client surface into the window surface k
    // times larger, each pixel repeated k x k times (nearest neighbour), as
    // Windows shows a program that is not DPI-aware on a scaled desktop.
    static bool copy_scaled(const SurfaceView& view, const RECT& r, SDL_Surface* dst, int k) {
        if (dst->format->BytesPerPixel != 4) return false;
        if (SDL_MUSTLOCK(dst)) SDL_LockSurface(dst);
        const bool same_layout =
            dst->format->format == SDL_PIXELFORMAT_RGB888 || dst->format->format == SDL_PIXELFORMAT_ARGB8888;
        const size_t out_w = size_t(r.right - r.left) * size_t(k);
        for (LONG y = r.top; y < r.bottom; ++y) {
            const uint32_t* src = view.pixels + size_t(y) * size_t(view.width);
            auto* first = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(dst->pixels) +
                                                      size_t(y) * size_t(k) * size_t(dst->pitch)) +
                          size_t(r.left) * size_t(k);
            uint32_t* out = first;
            for (LONG x = r.left; x < r.right; ++x) {
                uint32_t p = src[x] & 0xFFFFFF;
                if (!same_layout) p = SDL_MapRGB(dst->format, Uint8(p >> 16), Uint8(p >> 8), Uint8(p));
                for (int i = 0; i < k; ++i) *out++ = p;
            }
            for (int i = 1; i < k; ++i)  // the other k - 1 rows repeat the first
                std::memcpy(reinterpret_cast<uint8_t*>(first) + size_t(i) * size_t(dst->pitch), first, out_w * 4);
        }
        if (SDL_MUSTLOCK(dst)) SDL_UnlockSurface(dst);
        return true;
    }

    // Mouse positions on a scaled window back to client coordinates (floor
    // division, so that positions left of or above the window, seen while
    // the mouse is captured, stay negative).
    static void map_mouse_back(const Shared* s, BackendEvent* ev) {
        const int k = s->scale;
        if (k <= 1) return;
        auto down = [k](int32_t v) { return v >= 0 ? v / k : -((-v + k - 1) / k); };
        ev->x = down(ev->x);
        ev->y = down(ev->y);
    }

    // The scale of the windows: GLINT_SCALE if set (1 to 8), else the
    // desktop's integer scale where one is published (GDK_SCALE), else 1.
    static int choose_scale() {
        for (const char* name : {"GLINT_SCALE", "GDK_SCALE"}) {
            const char* v = SDL_getenv(name);
            if (!v || !*v) continue;
            int k = std::atoi(v);
            return k >= 1 && k <= 8 ? k : 1;
        }
        return 1;
    }

    static void present_dirty(Shared* s) {
        std::unordered_map<uint32_t, RECT> dirty;
        {
            std::lock_guard<std::mutex> lock(s->mu);
            dirty.swap(s->dirty);
        }
        for (auto& [id, r] : dirty)
            if (WindowRecord* w = find(s, id)) present(s, id, *w, r);
    }

    static void deliver(Shared* s, const BackendEvent& ev) {
        std::lock_guard<std::mutex> lock(s->deliver_mu);
        if (s->stopped.load()) return;
        deliver_backend_event(ev);
    }

    static void handle(Shared* s, const SDL_Event& e) {
        if (e.type == s->wake_type) return;  // the loop runs commands and presents next
        auto id_of = [&](Uint32 sdl_id) -> uint32_t {
            auto it = s->by_sdl_id.find(sdl_id);
            return it == s->by_sdl_id.end() ? 0 : it->second;
        };
        BackendEvent ev;
        switch (e.type) {
            case SDL_KEYDOWN:
            case SDL_KEYUP:
                ev.kind = e.type == SDL_KEYDOWN ? BackendEventKind::KeyDown : BackendEventKind::KeyUp;
                ev.window = id_of(e.key.windowID);
                ev.scancode = e.key.keysym.scancode;
                ev.keycode = e.key.keysym.sym;
                ev.mods = e.key.keysym.mod;
                ev.repeat = e.key.repeat != 0;
                break;
            case SDL_TEXTINPUT:
                ev.kind = BackendEventKind::Text;
                ev.window = id_of(e.text.windowID);
                ev.text = e.text.text;
                ev.mods = uint16_t(SDL_GetModState());
                break;
            case SDL_MOUSEMOTION:
                ev.kind = BackendEventKind::MouseMove;
                ev.window = id_of(e.motion.windowID);
                ev.x = e.motion.x;
                ev.y = e.motion.y;
                ev.buttons = e.motion.state & 7;  // SDL's L, M, R mask bits are ours
                ev.mods = uint16_t(SDL_GetModState());
                break;
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP:
                if (e.button.button < 1 || e.button.button > 3) return;
                ev.kind = e.type == SDL_MOUSEBUTTONDOWN ? BackendEventKind::MouseDown : BackendEventKind::MouseUp;
                ev.window = id_of(e.button.windowID);
                ev.x = e.button.x;
                ev.y = e.button.y;
                ev.button = e.button.button;
                ev.clicks = e.button.clicks;
                ev.mods = uint16_t(SDL_GetModState());
                break;
            case SDL_MOUSEWHEEL: {
                int notches = e.wheel.y;
                if (e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
                if (notches == 0) return;
                ev.kind = BackendEventKind::MouseWheel;
                ev.window = id_of(e.wheel.windowID);
                ev.x = e.wheel.mouseX;
                ev.y = e.wheel.mouseY;
                ev.wheel = notches;
                ev.mods = uint16_t(SDL_GetModState());
                break;
            }
            case SDL_WINDOWEVENT:
                ev.window = id_of(e.window.windowID);
                if (!ev.window) return;
                if (!window_event(s, e, &ev)) return;
                break;
            default:
                return;
        }
        if (ev.kind == BackendEventKind::MouseMove || ev.kind == BackendEventKind::MouseDown ||
            ev.kind == BackendEventKind::MouseUp || ev.kind == BackendEventKind::MouseWheel)
            map_mouse_back(s, &ev);
        if (ev.window) deliver(s, ev);
    }

    // Fills *ev for window events that USER must hear about; false otherwise.
    static bool window_event(Shared* s, const SDL_Event& e, BackendEvent* ev) {
        WindowRecord* w = find(s, ev->window);
        if (!w) return false;
        switch (e.window.event) {
            case SDL_WINDOWEVENT_CLOSE:
                if (w->no_close) return false;  // the close box is disabled
                ev->kind = BackendEventKind::CloseRequest;
                return true;
            case SDL_WINDOWEVENT_MOVED: {
                std::lock_guard<std::mutex> lock(s->mu);
                Geometry& g = s->geometry[ev->window];
                if (g.x == e.window.data1 && g.y == e.window.data2) return false;  // our own move
                g.x = e.window.data1;
                g.y = e.window.data2;
                ev->kind = BackendEventKind::Moved;
                ev->x = g.x;
                ev->y = g.y;
                return true;
            }
            case SDL_WINDOWEVENT_SIZE_CHANGED: {
                const int cw = e.window.data1 / s->scale, ch = e.window.data2 / s->scale;  // client units
                {
                    std::lock_guard<std::mutex> lock(s->mu);
                    Geometry& g = s->geometry[ev->window];
                    // Our own resize (an empty client area is shown as 1 x 1).
                    if ((g.w > 0 ? g.w : 1) == cw && (g.h > 0 ? g.h : 1) == ch) return false;
                    g.w = cw;
                    g.h = ch;
                }
                ev->kind = BackendEventKind::Resized;
                ev->width = cw;
                ev->height = ch;
                return true;
            }
            case SDL_WINDOWEVENT_FOCUS_GAINED:
                SDL_StartTextInput();
                ev->kind = BackendEventKind::FocusGained;
                return true;
            case SDL_WINDOWEVENT_FOCUS_LOST:
                ev->kind = BackendEventKind::FocusLost;
                return true;
            case SDL_WINDOWEVENT_EXPOSED:
            case SDL_WINDOWEVENT_SHOWN:
            case SDL_WINDOWEVENT_RESTORED:
                // A window manager may set its frame extents only after mapping.
                learn_frame(s, w->sdl);
                present(s, ev->window, *w, full_rect(w->sdl));
                return false;
            default:
                return false;
        }
    }

    // SDL falls back to drivers that show nothing (offscreen) when there is
    // no display server; a program would then run with invisible windows.
    // Only a driver chosen explicitly with SDL_VIDEODRIVER is trusted blindly.
    static bool has_display() {
        const char* chosen = SDL_getenv("SDL_VIDEODRIVER");
        if (chosen && *chosen) return true;
        const char* driver = SDL_GetCurrentVideoDriver();
        return driver && (std::strcmp(driver, "x11") == 0 || std::strcmp(driver, "wayland") == 0);
    }

    static void thread_main(Shared* s) {
        t_sdl_thread = true;
        std::unique_lock<std::mutex> init_lock(sdl_init_mutex());  // winmm may be starting SDL's audio
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");  // window surface without OpenGL
        SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
        SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
        SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
        SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
        const char* chosen = SDL_getenv("SDL_VIDEODRIVER");
        if (!chosen || !*chosen) {
            // X11 first (as SDL prefers); Wayland only where a compositor runs.
            const char* wl = SDL_getenv("WAYLAND_DISPLAY");
            SDL_SetHint(SDL_HINT_VIDEODRIVER, (wl && *wl) ? "x11,wayland" : "x11");
        }
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

    Shared* s_;  // intentionally never freed (see Shared)
};

}  // namespace

std::unique_ptr<Backend> make_sdl_backend() { return std::make_unique<SdlBackend>(); }

}  // namespace plat
