// The SDL driver's events: SDL events become BackendEvents for USER (keys,
// text, the mouse in client coordinates, close requests, moves, resizes and
// focus). A move or resize the driver made itself is not reported back.
// SDL thread only; takes Shared::mu for the geometry.
#include "user/backends/sdl/sdl_internal.h"

namespace plat::sdl {
namespace {

// Mouse positions on a scaled window back to client coordinates (floor
// division, so that positions left of or above the window, seen while
// the mouse is captured, stay negative).
void map_mouse_back(const Shared* s, BackendEvent* ev) {
    const int k = s->scale;
    if (k <= 1) return;
    auto down = [k](int32_t v) { return v >= 0 ? v / k : -((-v + k - 1) / k); };
    ev->x = down(ev->x);
    ev->y = down(ev->y);
}

// Fills *ev for window events that USER must hear about; false otherwise.
bool window_event(Shared* s, const SDL_Event& e, BackendEvent* ev) {
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
            {
                // USER resizes the window's surface the same way on this event.
                std::lock_guard<std::mutex> lock(s->frame_mu);
                auto it = s->frames.find(ev->window);
                if (it != s->frames.end()) it->second.resize(cw, ch);
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

}  // namespace

void handle(Shared* s, const SDL_Event& e) {
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

}  // namespace plat::sdl
