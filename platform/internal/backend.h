// backend.h — the narrow interface between USER and the thing that shows windows.
//
// Two backends implement it: SDL2 (real windows; every SDL call is made on one
// thread that the backend owns) and headless (no display; tests inject input
// and read pixels). One is chosen at start-up, before the first window exists.
//
// USER calls the backend to create, show, move, resize and present windows.
// The backend reports user input and window events as BackendEvents through
// deliver_backend_event(); USER turns them into Win32 messages (input/).
#pragma once

#include <cstdint>
#include <string>

#include "windef.h"

namespace plat {

enum class BackendEventKind {
    KeyDown,       // scancode, keycode, mods, repeat
    KeyUp,         // scancode, keycode, mods
    Text,          // text: UTF-8, one input-method commit (may hold many characters)
    MouseMove,     // x, y: client coordinates; buttons
    MouseDown,     // x, y, button (1 left, 2 middle, 3 right), clicks (2 = double)
    MouseUp,       // x, y, button
    MouseWheel,    // x, y: client coordinates of the pointer; wheel: notches, + away from user
    CloseRequest,  // the user clicked the close box
    Moved,         // x, y: new screen position of the client area's top-left corner
    Resized,       // width, height: new client size
    FocusGained,
    FocusLost,
};

struct BackendEvent {
    BackendEventKind kind = BackendEventKind::KeyDown;
    uint32_t window = 0;       // backend window id
    // Keys use SDL's numbering (SDL_Scancode, SDL_Keycode, SDL_Keymod values),
    // which headless input uses as well.
    int32_t scancode = 0;
    int32_t keycode = 0;
    uint16_t mods = 0;
    bool repeat = false;
    std::string text;
    int32_t x = 0, y = 0;
    int32_t button = 0;
    int32_t clicks = 1;
    uint32_t buttons = 0;      // held mouse buttons: bit 0 left, bit 1 middle, bit 2 right
    int32_t wheel = 0;
    int32_t width = 0, height = 0;
};

struct BackendWindowDesc {
    std::string title_utf8;
    int x = 0, y = 0;          // screen position of the client area; kDefaultPos: system's choice
    int width = 0, height = 0; // client size
    bool no_close = false;     // close box disabled
    bool no_minimize = false;
    bool resizable = false;
    uint32_t owner = 0;        // backend id of the owner window (kept above it), 0 if none
    bool topmost = false;      // kept above every other window (WS_EX_TOPMOST)
    bool decorated = true;     // a frame with a title bar (WS_CAPTION); else none
};
constexpr int kDefaultPos = INT32_MIN;

class Backend {
public:
    virtual ~Backend() = default;
    // Returns 0 on failure. Safe to call from any thread.
    virtual uint32_t create_window(const BackendWindowDesc& desc) = 0;
    virtual void destroy_window(uint32_t id) = 0;
    virtual void show_window(uint32_t id, bool show) = 0;
    virtual void set_title(uint32_t id, const std::string& title_utf8) = 0;
    virtual void set_client_rect(uint32_t id, int x, int y, int width, int height) = 0;  // screen coords of client
    virtual bool get_client_origin(uint32_t id, int* x, int* y) = 0;                      // screen coords
    virtual void set_capture(uint32_t id, bool capture) = 0;
    // The window's client surface (0x00RRGGBB, top-down, width x height, no
    // row padding) changed inside `dirty`. Called with the surface locked;
    // the backend copies what it needs to show it before returning and never
    // reads USER's surface later (nor calls into USER for it).
    virtual void update(uint32_t id, const uint32_t* pixels, int width, int height, const RECT& dirty) = 0;
    // Size of the decorations the backend adds around a client area (title bar
    // and borders), used by AdjustWindowRectEx.
    virtual RECT frame_insets(DWORD style) = 0;
    // Raises a shown window and gives it the keyboard (SetForegroundWindow,
    // and a disabled owner passing activation on to its dialog).
    virtual void activate(uint32_t id) {}
    // Where text is being typed (the caret, in client coordinates of the
    // window): the input method shows its candidate window next to it.
    virtual void set_text_input_rect(uint32_t id, const RECT& caret) {}
    // The system clipboard's text, UTF-8 with "\n" line ends. Setting
    // returns at once; getting waits for the answer (call it without
    // USER's lock: the backend may be delivering an event meanwhile) and
    // is false when no text can be had.
    virtual void set_clipboard_text(const std::string& utf8) {}
    // The primary display, and the part of it windows may cover (without
    // panels), in screen coordinates.
    virtual RECT screen_rect() { return RECT{0, 0, 1920, 1080}; }
    virtual RECT work_area() { return screen_rect(); }
    // The pointer: moved to a screen position, shown or hidden, kept inside
    // a screen rectangle (null: anywhere).
    virtual void warp_cursor(int x, int y) {}
    virtual void show_cursor(bool show) {}
    virtual void clip_cursor(const RECT* screen) {}
    // What a top-level window's frame asks of the window manager after
    // creation: kept above other windows; a title bar and border or none.
    virtual void set_topmost(uint32_t id, bool topmost) {}
    virtual void set_decorated(uint32_t id, bool decorated) {}
    virtual bool get_clipboard_text(std::string* utf8) { return false; }
};

// The backend in use; created on first use from the choice below (default SDL).
Backend& backend();
// Choose before the first window exists, by a name of the table in
// backend_select.cpp. Returns false if a window already exists or the name
// is unknown.
bool select_backend(const char* name);

// Implemented by USER: called by a backend (from any thread) for each event.
void deliver_backend_event(const BackendEvent& ev);

// Implemented by USER: the window that owns a backend window id (null if
// none, also before CreateWindowExA has registered it).
HWND window_from_backend_id(uint32_t id);

}  // namespace plat
