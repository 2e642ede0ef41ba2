// key_state.h — the process-wide keyboard and mouse-button state table.
//
// One byte per virtual key, as Windows keeps it: 0x80 = down, 0x01 = toggled
// (flips on every press; meaningful for Caps, Num and Scroll Lock). Modifier
// keys are kept per side (VK_LSHIFT, VK_RSHIFT, ...) and the generic code
// (VK_SHIFT) is down while either side is. The table is updated from backend
// events by the input translator; GetKeyState and GetAsyncKeyState read it.
// Every access is atomic, so any thread may read while the backend writes.
//
// GetKeyState answers, as on Windows, with the state as of the keyboard
// message the calling thread retrieved last: a thread that has retrieved key
// messages keeps its own copy of the key entries, updated as it takes each
// one from its queue. A program that reads Ctrl while handling Enter thus
// sees Ctrl down even when the key was released meanwhile. Threads that never
// took a key message, threads whose window lost the focus since, and the
// mouse buttons read the process-wide table.
#pragma once

#include <cstdint>

#include "user/input/keymap.h"

namespace plat::input {

// Marks the key down; returns true if it was down already (auto-repeat or
// a duplicate press), in which case the toggle bit does not flip.
bool keys_press(const KeyInfo& k);
// Marks the key up; returns true if it was down.
bool keys_release(const KeyInfo& k);
// Releases every key and mouse button without any message (focus loss).
void keys_release_all();
// Mouse buttons live in the same table (VK_LBUTTON, VK_RBUTTON, VK_MBUTTON).
void keys_set_button(uint8_t vk, bool down);

// Called by USER on the retrieving thread for every key message it removes
// from its queue (WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP), and
// for WM_KILLFOCUS, which drops the thread's copy.
void keys_note_retrieved(unsigned message, uint64_t wparam, int64_t lparam);

bool key_is_down(uint8_t vk);
bool key_is_toggled(uint8_t vk);

}  // namespace plat::input
