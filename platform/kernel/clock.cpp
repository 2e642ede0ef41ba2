// Time services: Sleep, tick counts, the performance counter and the virtual
// clock; also the per-thread bookkeeping of blocking calls that lets tests
// wait until the program under test is idle.
#include <time.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_map>

#include "kernel/kernel_internal.h"
#include "winbase.h"

namespace plat::kernel {
namespace {

std::atomic<bool> g_virtual{false};
std::atomic<uint64_t> g_virtual_ms{0};

uint64_t real_ms() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return uint64_t(ts.tv_sec) * 1000u + uint64_t(ts.tv_nsec) / 1000000u;
}

uint64_t real_us() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return uint64_t(ts.tv_sec) * 1000000u + uint64_t(ts.tv_nsec) / 1000u;
}

uint64_t now_ms() { return g_virtual.load(std::memory_order_acquire) ? g_virtual_ms.load() : real_ms(); }

// One record per thread that ever blocked; records are never freed so that a
// snapshot may be taken while the thread exits (they are a few bytes each).
struct BlockState {
    std::atomic<uint64_t> entries{0};
    std::atomic<int> kind{0};
    std::atomic<DWORD> sleep_ms{0};
};

struct BlockRegistry {
    std::mutex mutex;
    std::unordered_map<DWORD, BlockState*> by_thread;
};

BlockRegistry& registry() {
    static BlockRegistry* r = new BlockRegistry;  // outlives static destruction
    return *r;
}

BlockState& own_state() {
    thread_local BlockState* state = nullptr;
    if (!state) {
        DWORD tid = GetCurrentThreadId();
        BlockRegistry& r = registry();
        std::lock_guard<std::mutex> lock(r.mutex);
        BlockState*& slot = r.by_thread[tid];
        if (!slot) slot = new BlockState;
        state = slot;
    }
    return *state;
}

std::atomic<ThreadExitHook> g_exit_hook{nullptr};
std::atomic<ClockHook> g_clock_hook{nullptr};

}  // namespace

void set_virtual_clock(bool on) {
    if (on && !g_virtual.load()) g_virtual_ms.store(real_ms());
    g_virtual.store(on, std::memory_order_release);
}
bool virtual_clock_on() { return g_virtual.load(std::memory_order_acquire); }
void advance_virtual_clock(DWORD ms) {
    g_virtual_ms.fetch_add(ms);
    if (ClockHook hook = g_clock_hook.load()) hook();
}
void set_clock_advance_hook(ClockHook hook) { g_clock_hook.store(hook); }

BlockScope::BlockScope(BlockKind kind, DWORD sleep_ms) {
    BlockState& s = own_state();
    previous_ = BlockKind(s.kind.load());
    previous_ms_ = s.sleep_ms.load();
    s.sleep_ms.store(sleep_ms);
    s.kind.store(int(kind));
    // Waiting for another thread's reply is not an idle state.
    if (kind != BlockKind::SendWait) s.entries.fetch_add(1);
}

BlockScope::~BlockScope() {
    BlockState& s = own_state();
    s.kind.store(int(previous_));
    s.sleep_ms.store(previous_ms_);
}

void rearm_block(BlockKind kind) { own_state().kind.store(int(kind)); }

void mark_waking(DWORD thread_id) {
    BlockRegistry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    auto it = r.by_thread.find(thread_id);
    if (it == r.by_thread.end()) return;
    int expected = int(BlockKind::InfiniteWait);
    it->second->kind.compare_exchange_strong(expected, int(BlockKind::Waking));
}

bool block_snapshot(DWORD thread_id, BlockSnapshot* out) {
    BlockRegistry& r = registry();
    BlockState* s = nullptr;
    {
        std::lock_guard<std::mutex> lock(r.mutex);
        auto it = r.by_thread.find(thread_id);
        if (it == r.by_thread.end()) return false;
        s = it->second;
    }
    // Read the count last so that a kind seen with it was set no later.
    out->kind = BlockKind(s->kind.load());
    out->sleep_ms = s->sleep_ms.load();
    out->entries = s->entries.load();
    return true;
}

void set_thread_exit_hook(ThreadExitHook hook) { g_exit_hook.store(hook); }
void run_thread_exit_hook() {
    if (ThreadExitHook hook = g_exit_hook.load()) hook();
}

}  // namespace plat::kernel

using namespace plat::kernel;

void WINAPI Sleep(DWORD dwMilliseconds) {
    if (dwMilliseconds == INFINITE) {
        // Sleeps for ever, as on Windows.
        BlockScope scope(BlockKind::InfiniteWait);
        for (;;) std::this_thread::sleep_for(std::chrono::hours(24));
    }
    BlockScope scope(BlockKind::Sleep, dwMilliseconds);
    if (virtual_clock_on()) {
        advance_virtual_clock(dwMilliseconds);
        if (dwMilliseconds == 0)
            std::this_thread::yield();
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return;
    }
    if (dwMilliseconds == 0)
        std::this_thread::yield();
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(dwMilliseconds));
}

DWORD WINAPI GetTickCount(void) { return DWORD(now_ms()); }
ULONGLONG WINAPI GetTickCount64(void) { return now_ms(); }

// Microsecond resolution; follows the virtual clock when it is on, so that
// code timing itself with either counter sees the same passage of time.
BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* lpFrequency) {
    if (!lpFrequency) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    lpFrequency->QuadPart = 1000000;
    return TRUE;
}

BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* lpPerformanceCount) {
    if (!lpPerformanceCount) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    lpPerformanceCount->QuadPart =
        LONGLONG(virtual_clock_on() ? g_virtual_ms.load() * 1000u : real_us());
    return TRUE;
}
