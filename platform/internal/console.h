// console.h — the process's console: its input buffer (kernel), the window
// that stands for it (USER) and the terminal the program was started from.
//
// Key events reach the input buffer from two places, as on Windows they reach
// a console program: key messages posted to the console window (the graphics
// layer forwards its window's keys there) and the terminal, when standard
// input is one and the process is in its foreground. The C runtime's console
// functions (_getch, _kbhit, ...) read the buffer.
#pragma once

#include <functional>

#include "windef.h"
#include "wincon.h"

namespace plat::console {

// ---- input buffer (kernel/console_input.cpp) ----
// Appends a key event; a full buffer drops it. Wakes a blocked reader.
void write_key(const KEY_EVENT_RECORD& key);
// Takes the oldest event. With `wait`, blocks (without spinning) until there
// is one; false when there is none (or, waiting, when the process has no
// console and no terminal to wait on).
bool read_key(KEY_EVENT_RECORD* out, bool wait);
// Visits the waiting events oldest first without taking them, until `visit`
// returns true; returns whether it did.
bool any_key(const std::function<bool(const KEY_EVENT_RECORD&)>& visit);
void flush_keys();
// Most events the buffer holds; later ones are dropped until it is read.
constexpr size_t kMaxEvents = 4096;

// ---- terminal (kernel/console_terminal.cpp) ----
// Standard input's descriptor when it is a terminal this process may read
// (it is in the terminal's foreground process group, or the terminal is not
// its controlling one), else -1. The first success puts the terminal in raw
// mode (no line editing, no echo) until the process ends.
int terminal_fd();
// Reads the bytes waiting on the terminal and turns them into key-down
// events (escape sequences become the keys that send them).
void read_terminal(int fd, const std::function<void(const KEY_EVENT_RECORD&)>& emit);
// Puts the terminal back as it was (at exit, ExitProcess and fatal signals).
void restore_terminal();

// ---- the console window (user/console_window.cpp) ----
// Made on first use, on a thread of its own: a top-level window that never
// appears on the screen. Null once the process has freed its console.
HWND window();
void detach();  // FreeConsole
bool attached();

}  // namespace plat::console
