// platform/headless.h — test hooks of the Linux stand-in (not part of Win32).
//
// Tests run every window on the headless backend: no display server, input is
// injected here exactly as the SDL backend would deliver it (SDL key numbering,
// UTF-8 text commits, client-coordinate mouse events), and the window's client
// pixels can be read back. The virtual clock makes Sleep and GetTickCount cost
// no real time, so long pauses in the program under test run instantly.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "windows.h"

namespace headless {

// Selects the headless backend; call before the first window is created.
// With virtual_clock, Sleep(ms) advances a process-wide virtual tick count by
// ms and really sleeps at most 1 ms, and GetTickCount reads the virtual count.
bool Use(bool virtual_clock = true);
void AdvanceClock(DWORD ms);

// ---- input, delivered to `target` or, when null, to the focused window ----
// (the last window shown or activated). SDL_Scancode / SDL_Keycode / SDL_Keymod values.
void KeyDown(int32_t scancode, int32_t keycode, uint16_t mods = 0, bool repeat = false, HWND target = nullptr);
void KeyUp(int32_t scancode, int32_t keycode, uint16_t mods = 0, HWND target = nullptr);
void Text(const std::string& utf8, HWND target = nullptr);  // one text-input commit
// Down, its text (for keys that type a printable ASCII character), up — as a
// person pressing the key with the given modifiers would produce.
void PressKey(int32_t keycode, uint16_t mods = 0, HWND target = nullptr);
// Types a UTF-8 string: ASCII characters as key presses (with Shift where a
// US keyboard needs it, '\n' or '\r' as Enter, '\b' as Backspace, '\t' as Tab,
// '\x1b' as Esc), anything else as text commits.
void TypeString(const std::string& utf8, HWND target = nullptr);
void MouseMove(int x, int y, uint32_t buttons = 0, HWND target = nullptr);   // buttons: bit0 L, bit1 M, bit2 R
void MouseDown(int button, int x, int y, int clicks = 1, HWND target = nullptr);  // 1 L, 2 M, 3 R
void MouseUp(int button, int x, int y, HWND target = nullptr);
void MouseWheel(int notches, int x, int y, HWND target = nullptr);  // client coordinates of the pointer
void CloseBox(HWND target = nullptr);
void MoveWindowTo(int screen_x, int screen_y, HWND target = nullptr);  // as if the user dragged it
void Focus(HWND target, bool focused);

// ---- inspection ----
HWND FocusedWindow();
// Copies the client pixels (0x00RRGGBB, top-down) of a window's surface.
bool ReadClient(HWND hwnd, std::vector<uint32_t>* pixels, int* width, int* height);
// Number of times the window's surface was presented (changed by a blit).
uint64_t PresentCount(HWND hwnd);
// The caret rectangle (client coordinates of the top-level window) that the
// window's focused edit control last gave the input method.
bool TextInputRect(HWND hwnd, RECT* caret);

// The system clipboard as another program sees it: UTF-8 text with "\n"
// line ends. ClipboardText is false while nobody has put text there.
void SetClipboardText(const std::string& utf8);
bool ClipboardText(std::string* utf8);

// Waits until the program is idle: every injected event has been dispatched
// by the thread that owns its window (that thread's queue is empty), and then
// the thread `thread_id` has entered a blocking call (Sleep, a wait, or
// GetMessageA on an empty queue) at least twice and is now inside either a
// wait without time limit or a Sleep of at most 16 ms (a polling loop).
// Returns false on timeout (real milliseconds).
bool WaitIdle(DWORD thread_id, DWORD timeout_ms = 10000);

}  // namespace headless
