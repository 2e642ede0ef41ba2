// console_input.cpp — the console input buffer: key events from the console
// window and from the terminal, read by the C runtime's console functions.
//
// Locks: the buffer's own mutex, held to add, take or look at events. A
// blocked reader with a terminal waits in poll() on a pipe that every write
// signals, together with the terminal, so it wakes for either source
// without spinning; without a terminal (also in a web page, whose poll()
// does not block) it waits on the buffer's condition variable.
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <condition_variable>
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
    std::condition_variable cv;  // signalled by every write
    std::deque<KEY_EVENT_RECORD> events;
    std::set<DWORD> waiting;  // threads blocked in read_key
    int wake[2] = {-1, -1};   // read end, write end: a byte per write
    Buffer() {
        if (pipe(wake) != 0) wake[0] = wake[1] = -1;
        for (int fd : wake)
            if (fd >= 0) {
                fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
                fcntl(fd, F_SETFD, FD_CLOEXEC);
            }
    }
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
    b.cv.notify_all();
    const char one = 1;
    if (b.wake[1] >= 0) (void)!write(b.wake[1], &one, 1);
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
        if (fd >= 0 && b.wake[0] >= 0) {
            kernel::BlockScope scope(kernel::BlockKind::InfiniteWait);
            pollfd fds[2] = {{b.wake[0], POLLIN, 0}, {fd, POLLIN, 0}};
            poll(fds, 2, -1);
            char drain[64];
            while (read(b.wake[0], drain, sizeof drain) > 0) {
            }  // reset; a write after this wakes the next poll
        } else {
            kernel::BlockScope scope(kernel::BlockKind::InfiniteWait);
            std::unique_lock<std::mutex> lock(b.mu);
            b.cv.wait(lock, [&] { return !b.events.empty(); });
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
