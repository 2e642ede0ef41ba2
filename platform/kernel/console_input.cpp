// console_input.cpp — the console input buffer: key events from the console
// window and from the terminal, read by the C runtime's console functions.
//
// Locks: the buffer's own mutex, held only to add, take or look at events
// (never while waiting). A blocked reader waits in poll() on an eventfd that
// every write signals, together with the terminal when there is one, so it
// wakes for either source without spinning.
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <deque>
#include <mutex>
#include <set>

#include "console.h"
#include "kernel/kernel_internal.h"
#include "winbase.h"

namespace plat::console {
namespace {

struct Buffer {
    std::mutex mu;
    std::deque<KEY_EVENT_RECORD> events;
    std::set<DWORD> waiting;  // threads blocked in read_key
    int wake_fd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
};

// Never destroyed: the console window's thread may write while the process ends.
Buffer& buffer() {
    static Buffer* b = new Buffer;
    return *b;
}

void push_locked(Buffer& b, const KEY_EVENT_RECORD& key) {
    if (b.events.size() >= kMaxEvents) return;
    b.events.push_back(key);
}

// Moves whatever the terminal has sent into the buffer.
void pump_terminal(Buffer& b, int fd) {
    if (fd < 0) return;
    read_terminal(fd, [&b](const KEY_EVENT_RECORD& key) {
        std::lock_guard<std::mutex> lock(b.mu);
        push_locked(b, key);
    });
}

}  // namespace

void write_key(const KEY_EVENT_RECORD& key) {
    Buffer& b = buffer();
    std::set<DWORD> waiting;
    {
        std::lock_guard<std::mutex> lock(b.mu);
        push_locked(b, key);
        waiting = b.waiting;
    }
    for (DWORD tid : waiting) kernel::mark_waking(tid);
    uint64_t one = 1;
    if (b.wake_fd >= 0) (void)!write(b.wake_fd, &one, sizeof one);
}

bool read_key(KEY_EVENT_RECORD* out, bool wait) {
    Buffer& b = buffer();
    for (;;) {
        int fd = terminal_fd();
        pump_terminal(b, fd);
        {
            std::lock_guard<std::mutex> lock(b.mu);
            if (!b.events.empty()) {
                *out = b.events.front();
                b.events.pop_front();
                return true;
            }
            if (!wait) return false;
            if (!attached() && fd < 0) return false;  // nothing could ever arrive
            b.waiting.insert(GetCurrentThreadId());
        }
        {
            kernel::BlockScope scope(kernel::BlockKind::InfiniteWait);
            pollfd fds[2] = {{b.wake_fd, POLLIN, 0}, {fd, POLLIN, 0}};
            poll(fds, fd >= 0 ? 2 : 1, -1);
            uint64_t n;
            (void)!read(b.wake_fd, &n, sizeof n);  // reset; a write after this wakes the next poll
        }
        std::lock_guard<std::mutex> lock(b.mu);
        b.waiting.erase(GetCurrentThreadId());
    }
}

bool any_key(const std::function<bool(const KEY_EVENT_RECORD&)>& visit) {
    Buffer& b = buffer();
    pump_terminal(b, terminal_fd());
    std::lock_guard<std::mutex> lock(b.mu);
    for (const KEY_EVENT_RECORD& k : b.events)
        if (visit(k)) return true;
    return false;
}

void flush_keys() {
    Buffer& b = buffer();
    pump_terminal(b, terminal_fd());
    std::lock_guard<std::mutex> lock(b.mu);
    b.events.clear();
}

}  // namespace plat::console
