// The SDL driver's windows: creating, showing, moving, titling, capturing
// and activating them, and the frame the window manager draws around them.
//
// Window creation does not wait for the SDL thread: the driver hands out its
// own window ids at once and the creation command is queued ahead of every
// later command for that id. This keeps a caller that holds USER's locks
// from ever waiting on the SDL thread while that thread is delivering an
// event into USER (which may need the same locks). A window of default
// position is placed on an assumed display until SDL knows the real one, and
// USER hears of the real position as a move.
//
// The geometry of each window as last known is kept under Shared::mu so that
// callers' threads can answer get_client_origin without the SDL thread.
#include <algorithm>
#include <cstdio>

#include "user/backends/sdl/sdl_internal.h"
#include "winuser.h"

namespace plat::sdl {
namespace {

// Tells USER where a window really is when that differs from where it
// was assumed to be at creation (the display was not known yet). USER
// learns of the window's id only when CreateWindowExA returns, so until
// then the report waits, at the latest for the window being shown.
void report_placement(Shared* s, uint32_t id, WindowRecord& w) {
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

void create_on_thread(Shared* s, uint32_t id, const BackendWindowDesc& d) {
    Uint32 flags = SDL_WINDOW_HIDDEN;
    if (d.resizable) flags |= SDL_WINDOW_RESIZABLE;
    if (d.topmost) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
    if (!d.decorated) flags |= SDL_WINDOW_BORDERLESS;
    int x = (d.x == kDefaultPos || d.y == kDefaultPos) ? int(SDL_WINDOWPOS_UNDEFINED) : d.x;
    int y = (d.x == kDefaultPos || d.y == kDefaultPos) ? int(SDL_WINDOWPOS_UNDEFINED) : d.y;
    // SDL cannot make a window with an empty client area.
    SDL_Window* w = SDL_CreateWindow(d.title_utf8.c_str(), x, y, (d.width > 0 ? d.width : 1) * s->scale,
                                     (d.height > 0 ? d.height : 1) * s->scale, flags);
    if (!w) {
        std::fprintf(stderr, "platform: cannot create a window: %s\n", SDL_GetError());
        return;
    }
    if (d.decorated && (d.no_close || d.no_minimize)) set_motif_hints(w, d.no_close, d.no_minimize, d.resizable);
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

}  // namespace

uint32_t create_window(Shared* s, const BackendWindowDesc& desc) {
    uint32_t id;
    {
        std::lock_guard<std::mutex> lock(s->mu);
        id = s->next_id++;
        Geometry g;
        g.w = desc.width;
        g.h = desc.height;
        if (desc.x == kDefaultPos || desc.y == kDefaultPos) {
            // SDL centres windows of undefined position on the display.
            g.x = s->display.left + (s->display.right - s->display.left - desc.width * s->scale) / 2;
            g.y = s->display.top + (s->display.bottom - s->display.top - desc.height * s->scale) / 2;
        } else {
            g.x = desc.x;
            g.y = desc.y;
        }
        s->geometry[id] = g;
    }
    {
        // A new client surface is black until USER hands pixels down.
        std::lock_guard<std::mutex> lock(s->frame_mu);
        s->frames[id].reset(desc.width, desc.height);
    }
    BackendWindowDesc d = desc;
    post(s, [s, id, d] { create_on_thread(s, id, d); });
    return id;
}

void destroy_window(Shared* s, uint32_t id) {
    {
        std::lock_guard<std::mutex> lock(s->mu);
        s->geometry.erase(id);
        s->dirty.erase(id);
    }
    {
        std::lock_guard<std::mutex> lock(s->frame_mu);
        s->frames.erase(id);
    }
    post(s, [s, id] {
        auto it = s->windows.find(id);
        if (it == s->windows.end()) return;
        if (it->second.sdl) {
            s->by_sdl_id.erase(SDL_GetWindowID(it->second.sdl));
            SDL_DestroyWindow(it->second.sdl);
        }
        s->windows.erase(it);
    });
}

void show_window(Shared* s, uint32_t id, bool show) {
    post(s, [s, id, show] {
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

void set_title(Shared* s, uint32_t id, const std::string& title_utf8) {
    post(s, [s, id, title_utf8] {
        if (WindowRecord* w = find(s, id)) SDL_SetWindowTitle(w->sdl, title_utf8.c_str());
    });
}

void set_client_rect(Shared* s, uint32_t id, int x, int y, int width, int height) {
    {
        std::lock_guard<std::mutex> lock(s->mu);
        auto it = s->geometry.find(id);
        if (it == s->geometry.end()) return;
        it->second = Geometry{x, y, width, height};
    }
    {
        std::lock_guard<std::mutex> lock(s->frame_mu);
        auto it = s->frames.find(id);
        if (it != s->frames.end()) it->second.resize(width, height);
    }
    post(s, [s, id, x, y, width, height] {
        WindowRecord* w = find(s, id);
        if (!w) return;
        SDL_SetWindowPosition(w->sdl, x, y);
        SDL_SetWindowSize(w->sdl, (width > 0 ? width : 1) * s->scale, (height > 0 ? height : 1) * s->scale);
        present(s, id, *w, full_rect(w->sdl));
    });
}

bool get_client_origin(Shared* s, uint32_t id, int* x, int* y) {
    std::lock_guard<std::mutex> lock(s->mu);
    auto it = s->geometry.find(id);
    if (it == s->geometry.end()) return false;
    if (x) *x = it->second.x;
    if (y) *y = it->second.y;
    return true;
}

void set_capture(Shared* s, uint32_t id, bool capture) {
    post(s, [s, id, capture] {
        if (find(s, id)) SDL_CaptureMouse(capture ? SDL_TRUE : SDL_FALSE);
    });
}

void activate(Shared* s, uint32_t id) {
    post(s, [s, id] {
        WindowRecord* w = find(s, id);
        if (!w || !w->visible) return;
        SDL_RaiseWindow(w->sdl);
        SDL_SetWindowInputFocus(w->sdl);
    });
}

// SDL keeps one rectangle, used for the window that has the keyboard.
void set_text_input_rect(Shared* s, uint32_t id, const RECT& caret) {
    post(s, [s, id, caret] {
        if (!find(s, id)) return;
        SDL_Rect r{caret.left, caret.top, caret.right - caret.left, caret.bottom - caret.top};
        SDL_SetTextInputRect(&r);
    });
}

void set_topmost(Shared* s, uint32_t id, bool topmost) {
    post(s, [s, id, topmost] {
        if (WindowRecord* w = find(s, id)) SDL_SetWindowAlwaysOnTop(w->sdl, topmost ? SDL_TRUE : SDL_FALSE);
    });
}

void set_decorated(Shared* s, uint32_t id, bool decorated) {
    post(s, [s, id, decorated] {
        if (WindowRecord* w = find(s, id)) SDL_SetWindowBordered(w->sdl, decorated ? SDL_TRUE : SDL_FALSE);
    });
}

void warp_cursor(Shared* s, int x, int y) {
    post(s, [x, y] { SDL_WarpMouseGlobal(x, y); });
}

void show_cursor(Shared* s, bool show) {
    post(s, [show] { SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE); });
}

// SDL keeps the pointer inside a rectangle of one window while that window
// has the keyboard: each window gets the part of the screen rectangle that
// covers its client area.
void clip_cursor(Shared* s, const RECT* screen) {
    bool clipped = screen != nullptr;
    RECT r = clipped ? *screen : RECT{};
    post(s, [s, clipped, r] {
        for (auto& [id, rec] : s->windows) {
            if (!rec.sdl) continue;
            if (!clipped) {
                SDL_SetWindowMouseRect(rec.sdl, nullptr);
                continue;
            }
            int x = 0, y = 0, cw = 0, ch = 0;
            SDL_GetWindowPosition(rec.sdl, &x, &y);
            SDL_GetWindowSize(rec.sdl, &cw, &ch);
            SDL_Rect part{std::max<int>(r.left - x, 0), std::max<int>(r.top - y, 0), 0, 0};
            part.w = std::min<int>(r.right - x, cw) - part.x;
            part.h = std::min<int>(r.bottom - y, ch) - part.y;
            SDL_SetWindowMouseRect(rec.sdl, part.w > 0 && part.h > 0 ? &part : nullptr);
        }
    });
}

RECT frame_insets(Shared* s, DWORD style) {
    bool caption = (style & WS_CAPTION) == WS_CAPTION;
    if (caption) {
        std::lock_guard<std::mutex> lock(s->mu);
        return s->frame_known ? s->frame : kDefaultCaptionFrame;
    }
    if (style & (WS_BORDER | WS_DLGFRAME | WS_THICKFRAME)) return RECT{1, 1, 1, 1};
    return RECT{0, 0, 0, 0};
}

void learn_frame(Shared* s, SDL_Window* w) {
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

}  // namespace plat::sdl
