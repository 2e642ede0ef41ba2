// kernel_internal.h — services of the kernel module shared with USER and the
// headless backend: the virtual clock, blocking-call bookkeeping (for
// headless::WaitIdle) and the thread-exit hook.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "windef.h"

namespace plat::kernel {

// ---- virtual clock ----
// When on, Sleep advances a process-wide millisecond counter instead of
// waiting, and GetTickCount reads that counter.
void set_virtual_clock(bool on);
bool virtual_clock_on();
void advance_virtual_clock(DWORD ms);
// Called after every advance of the virtual clock (USER wakes the threads
// whose timers came due). Must not be called with USER's lock held.
using ClockHook = void (*)();
void set_clock_advance_hook(ClockHook hook);

// ---- blocking-call bookkeeping ----
enum class BlockKind : int {
    None = 0,      // running
    Sleep,         // inside Sleep (sleep_ms says how long)
    InfiniteWait,  // waiting without time limit (an event, a thread, GetMessageA on an empty queue)
    TimedWait,     // waiting with a time limit
    SendWait,      // waiting for the reply to a message sent to another thread (not counted as an entry)
    Waking,        // an unlimited wait whose object was signalled; the thread has not run yet
};

// Marks the calling thread as blocked for the lifetime of the object.
// Every construction counts one entry into a blocking call.
class BlockScope {
public:
    explicit BlockScope(BlockKind kind, DWORD sleep_ms = 0);
    ~BlockScope();
    BlockScope(const BlockScope&) = delete;
    BlockScope& operator=(const BlockScope&) = delete;

private:
    BlockKind previous_;
    DWORD previous_ms_;
};

// Sets the calling thread's kind again without counting an entry (a wait
// that goes back to sleep after a wake-up that was not for it).
void rearm_block(BlockKind kind);
// Called by whoever signals what a thread waits for without time limit:
// until it runs again, the thread no longer counts as idle.
void mark_waking(DWORD thread_id);

struct BlockSnapshot {
    uint64_t entries = 0;  // blocking calls entered so far
    BlockKind kind = BlockKind::None;
    DWORD sleep_ms = 0;
};
// False if the thread has never entered a blocking call.
bool block_snapshot(DWORD thread_id, BlockSnapshot* out);

// ---- thread exit ----
// USER installs a hook that runs on a thread created by CreateThread after
// its start routine returned, before its handle becomes signalled, so that
// the thread's windows and queue are gone when a waiter wakes up.
using ThreadExitHook = void (*)();
void set_thread_exit_hook(ThreadExitHook hook);
void run_thread_exit_hook();

// ---- thread identity (thread_identity.cpp) ----
// A new thread id; CreateThread gives it to the thread it starts.
DWORD allocate_thread_id();
void adopt_thread_id(DWORD id);

// ---- files ----
// A new handle owning an open descriptor (closed with the last reference).
HANDLE add_file_handle(int fd);
// The descriptor of a file handle, kept open while the returned reference
// lives; null for anything else.
std::shared_ptr<void> file_descriptor(HANDLE h, int* fd);
// A handle that refers to a descriptor it does not own (a standard stream).
HANDLE add_stream_handle(int fd);

// ---- file names (files.cpp) ----
// The file system's (UTF-8) name of a narrow name in code page 936 or of a
// wide name. Backslashes are kept as they are, as CreateFile keeps them.
std::string native_name(const char* name);
std::string native_name(const wchar_t* name);
// The Windows error code (GetLastError) for an errno value of a file call.
DWORD error_from_errno(int e);

}  // namespace plat::kernel
