// The test API of platform/headless.h: selecting the headless backend and the
// virtual clock, injecting input as the SDL backend would deliver it, reading
// window pixels back, and waiting until the program under test is idle.
//
// Key injection uses SDL's key numbering. TypeString presses one key per
// ASCII character (with Shift held in the modifiers where a US keyboard needs
// it) and commits each run of other characters as one text event. PressKey
// produces no text while Ctrl, Alt or the GUI key is held, as SDL does not.
#include <SDL2/SDL_keycode.h>
#include <SDL2/SDL_scancode.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "backend.h"
#include "kernel/kernel_internal.h"
#include "platform/headless.h"
#include "user/backends/headless/headless_internal.h"
#include "window_registry.h"
#include "window_surface.h"

namespace {

using plat::BackendEvent;
using plat::BackendEventKind;

// The backend id an injected event goes to: the target, else the focused window.
uint32_t resolve(HWND target) {
    if (target) return plat::backend_id_of(target);
    return plat::headless_backend::focused_window();
}

void deliver(BackendEvent ev, HWND target) {
    ev.window = resolve(target);
    if (ev.window) plat::deliver_backend_event(ev);
}

struct KeyInfo {
    int32_t scancode;
    int32_t keycode;
    bool shift;
};

// US layout: the key that types an ASCII character, and whether Shift is needed.
bool key_for_char(char c, KeyInfo* out) {
    static const char* const kShiftedDigits = ")!@#$%^&*(";
    static const struct {
        char plain, shifted;
        int32_t scancode;
    } kPunct[] = {
        {'-', '_', SDL_SCANCODE_MINUS},      {'=', '+', SDL_SCANCODE_EQUALS},
        {'[', '{', SDL_SCANCODE_LEFTBRACKET}, {']', '}', SDL_SCANCODE_RIGHTBRACKET},
        {'\\', '|', SDL_SCANCODE_BACKSLASH}, {';', ':', SDL_SCANCODE_SEMICOLON},
        {'\'', '"', SDL_SCANCODE_APOSTROPHE}, {'`', '~', SDL_SCANCODE_GRAVE},
        {',', '<', SDL_SCANCODE_COMMA},      {'.', '>', SDL_SCANCODE_PERIOD},
        {'/', '?', SDL_SCANCODE_SLASH},
    };
    if (c >= 'a' && c <= 'z') {
        *out = {SDL_Scancode(SDL_SCANCODE_A + (c - 'a')), c, false};
        return true;
    }
    if (c >= 'A' && c <= 'Z') {
        *out = {SDL_Scancode(SDL_SCANCODE_A + (c - 'A')), c - 'A' + 'a', true};
        return true;
    }
    if (c >= '1' && c <= '9') {
        *out = {SDL_Scancode(SDL_SCANCODE_1 + (c - '1')), c, false};
        return true;
    }
    if (c == '0') {
        *out = {SDL_SCANCODE_0, '0', false};
        return true;
    }
    if (const char* p = c ? std::strchr(kShiftedDigits, c) : nullptr) {
        int digit = int(p - kShiftedDigits);
        *out = {digit == 0 ? SDL_SCANCODE_0 : SDL_Scancode(SDL_SCANCODE_1 + digit - 1), '0' + digit, true};
        return true;
    }
    for (const auto& k : kPunct) {
        if (c == k.plain || c == k.shifted) {
            *out = {k.scancode, k.plain, c == k.shifted};
            return true;
        }
    }
    switch (c) {
    case ' ': *out = {SDL_SCANCODE_SPACE, SDLK_SPACE, false}; return true;
    case '\n':
    case '\r': *out = {SDL_SCANCODE_RETURN, SDLK_RETURN, false}; return true;
    case '\b': *out = {SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE, false}; return true;
    case '\t': *out = {SDL_SCANCODE_TAB, SDLK_TAB, false}; return true;
    case '\x1b': *out = {SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, false}; return true;
    default: return false;
    }
}

// The scancode of a key given by its keycode (0 if not on the table).
int32_t scancode_for_keycode(int32_t keycode) {
    if (keycode >= 0 && keycode < 128) {
        KeyInfo k;
        if (key_for_char(char(keycode), &k) && k.keycode == keycode) return k.scancode;
        if (keycode == SDLK_DELETE) return SDL_SCANCODE_DELETE;
        return 0;
    }
    if (keycode & SDLK_SCANCODE_MASK) return keycode & ~SDLK_SCANCODE_MASK;
    return 0;
}

// The character a key types with the given modifiers, or 0.
char typed_char(int32_t keycode, uint16_t mods) {
    if (mods & (KMOD_CTRL | KMOD_ALT | KMOD_GUI)) return 0;
    if (keycode < 0x20 || keycode >= 0x7F) return 0;
    char c = char(keycode);
    bool shift = (mods & KMOD_SHIFT) != 0;
    if (c >= 'a' && c <= 'z') {
        bool upper = shift != ((mods & KMOD_CAPS) != 0);
        return upper ? char(c - 'a' + 'A') : c;
    }
    if (!shift) return c;
    for (int ch = 0x20; ch < 0x7F; ++ch) {
        KeyInfo k;
        if (key_for_char(char(ch), &k) && k.keycode == keycode && k.shift) return char(ch);
    }
    return c;
}

}  // namespace

namespace headless {

bool Use(bool virtual_clock) {
    bool ok = plat::select_backend("headless");
    plat::kernel::set_virtual_clock(virtual_clock);
    return ok;
}

void AdvanceClock(DWORD ms) { plat::kernel::advance_virtual_clock(ms); }

void KeyDown(int32_t scancode, int32_t keycode, uint16_t mods, bool repeat, HWND target) {
    BackendEvent ev;
    ev.kind = BackendEventKind::KeyDown;
    ev.scancode = scancode;
    ev.keycode = keycode;
    ev.mods = mods;
    ev.repeat = repeat;
    deliver(ev, target);
}

void KeyUp(int32_t scancode, int32_t keycode, uint16_t mods, HWND target) {
    BackendEvent ev;
    ev.kind = BackendEventKind::KeyUp;
    ev.scancode = scancode;
    ev.keycode = keycode;
    ev.mods = mods;
    deliver(ev, target);
}

void Text(const std::string& utf8, HWND target) {
    if (utf8.empty()) return;
    BackendEvent ev;
    ev.kind = BackendEventKind::Text;
    ev.text = utf8;
    deliver(ev, target);
}

void PressKey(int32_t keycode, uint16_t mods, HWND target) {
    int32_t scancode = scancode_for_keycode(keycode);
    KeyDown(scancode, keycode, mods, false, target);
    if (char c = typed_char(keycode, mods)) Text(std::string(1, c), target);
    KeyUp(scancode, keycode, mods, target);
}

void TypeString(const std::string& utf8, HWND target) {
    size_t i = 0;
    while (i < utf8.size()) {
        unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            KeyInfo k;
            if (key_for_char(char(c), &k)) {
                uint16_t mods = k.shift ? KMOD_LSHIFT : KMOD_NONE;
                KeyDown(k.scancode, k.keycode, mods, false, target);
                if (c >= 0x20 && c < 0x7F) Text(std::string(1, char(c)), target);
                KeyUp(k.scancode, k.keycode, mods, target);
            } else {
                Text(std::string(1, char(c)), target);  // other control characters
            }
            ++i;
            continue;
        }
        size_t j = i;
        while (j < utf8.size() && static_cast<unsigned char>(utf8[j]) >= 0x80) ++j;
        Text(utf8.substr(i, j - i), target);
        i = j;
    }
}

void MouseMove(int x, int y, uint32_t buttons, HWND target) {
    BackendEvent ev;
    ev.kind = BackendEventKind::MouseMove;
    ev.x = x;
    ev.y = y;
    ev.buttons = buttons;
    deliver(ev, target);
}

void MouseDown(int button, int x, int y, int clicks, HWND target) {
    BackendEvent ev;
    ev.kind = BackendEventKind::MouseDown;
    ev.button = button;
    ev.x = x;
    ev.y = y;
    ev.clicks = clicks;
    deliver(ev, target);
}

void MouseUp(int button, int x, int y, HWND target) {
    BackendEvent ev;
    ev.kind = BackendEventKind::MouseUp;
    ev.button = button;
    ev.x = x;
    ev.y = y;
    deliver(ev, target);
}

void MouseWheel(int notches, int x, int y, HWND target) {
    BackendEvent ev;
    ev.kind = BackendEventKind::MouseWheel;
    ev.wheel = notches;
    ev.x = x;
    ev.y = y;
    deliver(ev, target);
}

// A window whose close box is disabled (CS_NOCLOSE) cannot be closed this way.
void CloseBox(HWND target) {
    uint32_t id = resolve(target);
    if (!id || !plat::headless_backend::close_enabled(id)) return;
    BackendEvent ev;
    ev.kind = BackendEventKind::CloseRequest;
    ev.window = id;
    plat::deliver_backend_event(ev);
}

// (screen_x, screen_y) is the new top-left corner of the whole window (what
// GetWindowRect reports), as when the user drags it by its title bar.
void MoveWindowTo(int screen_x, int screen_y, HWND target) {
    uint32_t id = resolve(target);
    HWND hwnd = plat::window_from_backend_id(id);
    RECT insets{};
    if (!id || !hwnd || !plat::window_frame_insets(hwnd, &insets)) return;
    int cx = screen_x + insets.left, cy = screen_y + insets.top;
    if (!plat::headless_backend::move_client(id, cx, cy)) return;
    BackendEvent ev;
    ev.kind = BackendEventKind::Moved;
    ev.window = id;
    ev.x = cx;
    ev.y = cy;
    plat::deliver_backend_event(ev);
}

void Focus(HWND target, bool focused) {
    if (uint32_t id = plat::backend_id_of(target)) plat::headless_backend::set_focus(id, focused);
}

HWND FocusedWindow() {
    uint32_t id = plat::headless_backend::focused_window();
    return id ? plat::window_from_backend_id(id) : nullptr;
}

bool ReadClient(HWND hwnd, std::vector<uint32_t>* pixels, int* width, int* height) {
    plat::SurfaceView view;
    if (!plat::lock_window_surface(hwnd, &view)) return false;
    if (pixels) {
        if (view.pixels)
            pixels->assign(view.pixels, view.pixels + size_t(view.width) * size_t(view.height));
        else
            pixels->clear();
    }
    if (width) *width = view.width;
    if (height) *height = view.height;
    plat::unlock_window_surface(hwnd);
    return true;
}

bool TextInputRect(HWND hwnd, RECT* caret) {
    uint32_t id = plat::backend_id_of(hwnd);
    return id && plat::headless_backend::text_input_rect(id, caret);
}

void SetClipboardText(const std::string& utf8) { plat::backend().set_clipboard_text(utf8); }
bool ClipboardText(std::string* utf8) { return plat::backend().get_clipboard_text(utf8); }

uint64_t PresentCount(HWND hwnd) {
    uint32_t id = plat::backend_id_of(hwnd);
    return id ? plat::headless_backend::present_count(id) : 0;
}

// Polls (in real time). Idle means: no injected event is left undispatched,
// and then the thread either sits in a wait without time limit whose object
// has not been signalled (a thread blocked for good, e.g. waiting for a key,
// enters no further blocking calls), or has entered two more blocking calls
// since and is now in a Sleep of at most 16 ms (it went once around its
// polling loop). A newly pending event starts the count again.
bool WaitIdle(DWORD thread_id, DWORD timeout_ms) {
    using namespace plat::kernel;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    bool counting = false;
    uint64_t base = 0;
    for (;;) {
        if (plat::pending_backend_events() != 0) {
            counting = false;
        } else {
            BlockSnapshot snap;
            if (block_snapshot(thread_id, &snap)) {
                if (!counting) {
                    counting = true;
                    base = snap.entries;
                }
                if (snap.kind == BlockKind::InfiniteWait) return true;
                if (snap.kind == BlockKind::Sleep && snap.sleep_ms <= 16 && snap.entries >= base + 2) return true;
            }
        }
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
}

}  // namespace headless
