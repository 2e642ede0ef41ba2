// Timers: SetTimer / KillTimer and the caret blink time.
//
// A timer belongs to the thread of its window (or, without a window, to the
// thread that set it) and lives in that thread's queue (timer_list.cpp keeps
// the list). A thread waiting in GetMessageA waits no longer than its
// earliest timer; under the virtual clock it waits without time limit and
// is woken when the clock is advanced past that timer. Takes State::mutex.
#include <algorithm>

#include "kernel/kernel_internal.h"
#include "user/user_internal.h"

namespace plat::user {
namespace {

constexpr UINT kDefaultBlink = 530;
std::atomic<UINT> g_blink{kDefaultBlink};

// Wakes every thread waiting in GetMessageA whose timer came due.
void on_clock_advanced() {
    if (!any_timers()) return;
    State& st = state();
    uint64_t now = GetTickCount64();
    std::lock_guard<std::mutex> lock(st.mutex);
    for (auto& [tid, q] : st.queues)
        if (q->next_timer.load() <= now) wake(*q);
}

// The queue a timer of hwnd (null: of this thread) lives in; null, with the
// last error set, for a window that is not there or not this thread's.
std::shared_ptr<ThreadQueue> timer_queue(State& st, HWND hwnd) {
    if (!hwnd) return own_queue(st);
    auto w = find_window(st, hwnd);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if (w->thread_id != GetCurrentThreadId()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    return w->queue;
}

}  // namespace
}  // namespace plat::user

using namespace plat::user;

UINT_PTR WINAPI SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc) {
    static const bool hooked = [] {
        plat::kernel::set_clock_advance_hook(&on_clock_advanced);
        return true;
    }();
    (void)hooked;
    State& st = state();
    std::lock_guard<std::mutex> lock(st.mutex);
    std::shared_ptr<ThreadQueue> q = timer_queue(st, hWnd);
    if (!q) return 0;
    UINT elapse = std::clamp<UINT>(uElapse, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
    UINT_PTR result = add_timer(*q, hWnd, nIDEvent, elapse, lpTimerFunc);
    wake(*q);  // a thread waiting in GetMessageA recomputes how long to wait
    return result;
}

BOOL WINAPI KillTimer(HWND hWnd, UINT_PTR uIDEvent) {
    State& st = state();
    std::lock_guard<std::mutex> lock(st.mutex);
    std::shared_ptr<ThreadQueue> q = timer_queue(st, hWnd);
    if (!q) return FALSE;
    if (kill_timer(*q, hWnd, uIDEvent)) return TRUE;
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
}

UINT WINAPI GetCaretBlinkTime(void) { return g_blink.load(); }

BOOL WINAPI SetCaretBlinkTime(UINT uMSeconds) {
    g_blink.store(uMSeconds);
    return TRUE;
}
