// controls_internal.h — what the built-in controls share: their per-window
// state, a window DC with the control's font, and the 3-D drawing helpers.
#pragma once

#include <string>

#include "user/user_internal.h"
#include "wingdi.h"

namespace plat::user {

struct ControlState {
    HFONT font = nullptr;  // null: the 16-pixel system font
    // Edit
    size_t limit = 0x7FFFFFFE;
    size_t sel_start = 0, sel_end = 0;  // byte offsets; the caret is at sel_end
    int pending_lead = -1;              // a lead byte waiting for its trail byte
    int first_line = 0;                 // multi-line: the top visible line
    int scroll_x = 0;                   // single-line: pixels scrolled out on the left
    bool mouse_focus = false;           // the focus comes from a click: no select-all
    bool dragging = false;              // selecting with the mouse
    bool caret_on = true;               // blink phase: the caret is shown
    bool thumb_drag = false;            // dragging the scroll bar's thumb
    int thumb_grab = 0;                 // where the thumb was grabbed, from its top
    // One level of undo: the text and selection before the last change.
    // Typing (and deleting) at the same place adds to that change.
    bool can_undo = false;
    int undo_kind = 0;                  // what the last change was (edit_control.cpp)
    size_t undo_at = 0;                 // caret after the last change
    std::string undo_text;
    size_t undo_sel_start = 0, undo_sel_end = 0;
    // Button
    bool pressed = false;
};

ControlState get_state(HWND h);
void put_state(HWND h, const ControlState& cs);
std::string text_of(HWND h);

// A window DC of the control with its font selected and transparent text.
struct Dc {
    HWND hwnd;
    HDC hdc;
    RECT rc{};
    Dc(HWND h, HFONT font);
    ~Dc();
    Dc(const Dc&) = delete;
    Dc& operator=(const Dc&) = delete;
};

void fill(HDC hdc, const RECT& rc, COLORREF color);
// Raised 3-D edge (button face): light outside top and left, dark outside
// bottom and right, two pixels thick. Returns the rectangle inside it.
RECT draw_raised_edge(HDC hdc, RECT r);
// A dotted rectangle of alternate pixels, as a focus rectangle.
void draw_focus_rect(HDC hdc, const RECT& r);

// How a control paints its whole face.
using ControlPainter = void (*)(HWND);
// Shared handling of every control (state, font, text, focus repaint with
// `paint`); true when the message is handled, with *result set.
bool control_common(HWND h, UINT m, WPARAM wp, LPARAM lp, LRESULT* result, ControlPainter paint);
// Repaints a control if it is visible.
void paint_control(HWND h, ControlPainter paint);


}  // namespace plat::user
