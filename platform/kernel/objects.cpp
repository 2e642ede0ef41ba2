// Kernel objects behind HANDLEs: threads, events and open files, kept in a handle table
// with type tags so that a stale or made-up handle is rejected, never
// dereferenced. (The thread id and last-error value are in thread_identity.cpp.)
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <chrono>
#include <memory>
#include <mutex>
#include <thread>

#include <unistd.h>
#include <unordered_map>
#include <vector>

#include "kernel/kernel_internal.h"
#include "winbase.h"

namespace {

struct KernelObject {
    enum class Type { Event, Thread, File };
    explicit KernelObject(Type t) : type(t) {}
    virtual ~KernelObject() = default;
    const Type type;
    std::mutex mutex;
    std::condition_variable cv;
    std::vector<DWORD> waiters;  // threads in an unlimited wait on this object

    // With `mutex` held: wakes every waiter (those the signal is not for go
    // back to waiting) and tells the idle bookkeeping they are about to run.
    void wake_all() {
        for (DWORD tid : waiters) plat::kernel::mark_waking(tid);
        cv.notify_all();
    }
};

struct EventObject : KernelObject {
    EventObject(bool manual, bool initial) : KernelObject(Type::Event), manual_reset(manual), signaled(initial) {}
    const bool manual_reset;
    bool signaled;
};

struct ThreadObject : KernelObject {
    ThreadObject() : KernelObject(Type::Thread) {}
    DWORD thread_id = 0;
    bool finished = false;
    DWORD exit_code = STILL_ACTIVE;
};

// An open file: the descriptor is closed with the last reference, unless it
// is a standard stream the handle only refers to.
struct FileObject : KernelObject {
    FileObject(int f, bool own) : KernelObject(Type::File), fd(f), owns(own) {}
    ~FileObject() override {
        if (owns) ::close(fd);
    }
    const int fd;
    const bool owns;
};

// Handle values count up from 0x1000 in steps of 4 and are never reused, so a
// closed handle stays invalid.
struct HandleTable {
    std::mutex mutex;
    std::unordered_map<uintptr_t, std::shared_ptr<KernelObject>> objects;
    uintptr_t next = 0x1000;
};

HandleTable& table() {
    static HandleTable* t = new HandleTable;  // outlives static destruction (detached threads)
    return *t;
}

HANDLE add_object(std::shared_ptr<KernelObject> obj) {
    HandleTable& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    uintptr_t h = t.next;
    t.next += 4;
    t.objects.emplace(h, std::move(obj));
    return reinterpret_cast<HANDLE>(h);
}

std::shared_ptr<KernelObject> find_object(HANDLE h) {
    HandleTable& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    auto it = t.objects.find(reinterpret_cast<uintptr_t>(h));
    if (it == t.objects.end()) return nullptr;
    return it->second;
}

std::shared_ptr<EventObject> find_event(HANDLE h) {
    auto obj = find_object(h);
    if (!obj || obj->type != KernelObject::Type::Event) return nullptr;
    return std::static_pointer_cast<EventObject>(obj);
}

}  // namespace

namespace plat::kernel {
HANDLE add_file_handle(int fd) { return add_object(std::make_shared<FileObject>(fd, true)); }
HANDLE add_stream_handle(int fd) { return add_object(std::make_shared<FileObject>(fd, false)); }

std::shared_ptr<void> file_descriptor(HANDLE h, int* fd) {
    auto obj = find_object(h);
    if (!obj || obj->type != KernelObject::Type::File) return nullptr;
    *fd = static_cast<FileObject*>(obj.get())->fd;
    return obj;
}
}  // namespace plat::kernel

HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE lpStartAddress,
                           LPVOID lpParameter, DWORD dwCreationFlags, LPDWORD lpThreadId) {
    if (!lpStartAddress) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (dwCreationFlags & CREATE_SUSPENDED) {  // there is no ResumeThread here
        SetLastError(ERROR_NOT_SUPPORTED);
        return nullptr;
    }
    auto obj = std::make_shared<ThreadObject>();
    obj->thread_id = plat::kernel::allocate_thread_id();
    try {
        std::thread([obj, lpStartAddress, lpParameter] {
            plat::kernel::adopt_thread_id(obj->thread_id);
            DWORD code = lpStartAddress(lpParameter);
            // The thread's windows and message queue go before waiters wake.
            plat::kernel::run_thread_exit_hook();
            std::lock_guard<std::mutex> lock(obj->mutex);
            obj->exit_code = code;
            obj->finished = true;
            obj->wake_all();
        }).detach();
    } catch (const std::system_error&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (lpThreadId) *lpThreadId = obj->thread_id;
    return add_object(obj);
}

BOOL WINAPI GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode) {
    auto obj = find_object(hThread);
    if (!obj || obj->type != KernelObject::Type::Thread || !lpExitCode) {
        SetLastError(obj ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return FALSE;
    }
    auto* t = static_cast<ThreadObject*>(obj.get());
    std::lock_guard<std::mutex> lock(t->mutex);
    *lpExitCode = t->exit_code;
    return TRUE;
}

BOOL WINAPI CloseHandle(HANDLE hObject) {
    HandleTable& t = table();
    std::shared_ptr<KernelObject> doomed;  // released outside the table lock
    std::lock_guard<std::mutex> lock(t.mutex);
    auto it = t.objects.find(reinterpret_cast<uintptr_t>(hObject));
    if (it == t.objects.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    doomed = std::move(it->second);
    t.objects.erase(it);
    return TRUE;
}

// Named events are not shared between processes here; the name is ignored.
HANDLE WINAPI CreateEventA(LPSECURITY_ATTRIBUTES, BOOL bManualReset, BOOL bInitialState, LPCSTR) {
    SetLastError(ERROR_SUCCESS);
    return add_object(std::make_shared<EventObject>(bManualReset != FALSE, bInitialState != FALSE));
}

namespace {
// Sets or clears an event's state; setting wakes its waiters.
BOOL set_event_state(HANDLE hEvent, bool signaled) {
    auto ev = find_event(hEvent);
    if (!ev) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::lock_guard<std::mutex> lock(ev->mutex);
    ev->signaled = signaled;
    if (signaled) ev->wake_all();
    return TRUE;
}
}  // namespace

BOOL WINAPI SetEvent(HANDLE hEvent) { return set_event_state(hEvent, true); }
BOOL WINAPI ResetEvent(HANDLE hEvent) { return set_event_state(hEvent, false); }

DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
    using plat::kernel::BlockKind;
    using plat::kernel::BlockScope;
    auto obj = find_object(hHandle);
    if (!obj) {
        SetLastError(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    std::unique_lock<std::mutex> lock(obj->mutex);
    auto ready = [&]() -> bool {
        if (obj->type == KernelObject::Type::Event) return static_cast<EventObject*>(obj.get())->signaled;
        if (obj->type == KernelObject::Type::Thread) return static_cast<ThreadObject*>(obj.get())->finished;
        return true;  // a file handle is signalled: its (synchronous) I/O is complete
    };
    auto consume = [&] {
        if (obj->type == KernelObject::Type::Event) {
            auto* ev = static_cast<EventObject*>(obj.get());
            if (!ev->manual_reset) ev->signaled = false;
        }
    };
    if (ready()) {
        consume();
        return WAIT_OBJECT_0;
    }
    if (dwMilliseconds == 0) return WAIT_TIMEOUT;
    // Time limits are real time, also with the virtual clock.
    if (dwMilliseconds == INFINITE) {
        BlockScope scope(BlockKind::InfiniteWait);
        DWORD me = GetCurrentThreadId();
        obj->waiters.push_back(me);
        while (!ready()) {
            plat::kernel::rearm_block(BlockKind::InfiniteWait);
            obj->cv.wait(lock);
        }
        obj->waiters.erase(std::find(obj->waiters.begin(), obj->waiters.end(), me));
    } else {
        BlockScope scope(BlockKind::TimedWait);
        if (!obj->cv.wait_for(lock, std::chrono::milliseconds(dwMilliseconds), ready)) return WAIT_TIMEOUT;
    }
    consume();
    return WAIT_OBJECT_0;
}
