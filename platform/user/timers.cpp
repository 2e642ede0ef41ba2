// Timers: SetTimer / KillTimer and the caret blink time.
//
// A timer belongs to the thread of its window (or, without a window, to the
// thread that set it) and lives in that thread's queue. Nothing is posted
// when it expires: as on Windows, its WM_TIMER is made when the thread asks
// for a message and finds nothing posted and no quit, so a busy or slow
// thread gets one WM_TIMER however many periods passed. Retrieving it starts
// the next period. A thread waiting in GetMessageA waits no longer than its
// earliest timer; under the virtual clock it waits without time limit and
// is woken when the clock is advanced past that timer.
#include <algorithm>

#include "kernel/kernel_internal.h"
#include "user/user_internal.h"

namespace plat::user {
namespace {

constexpr UINT kDefaultBlink = 530;
std::atomic<UINT> g_blink{kDefaultBlink};

// Queues that hold at least one timer, so that advancing the virtual clock
// costs nothing while there are none.
std::atomic<int> g_timer_queues{0};

void recompute(ThreadQueue& q) {
    uint64_t next = UINT64_MAX;
    for (const Timer& t : q.timers) next = std::min(next, t.due);
    q.next_timer.store(next, std::memory_order_release);
}

void erase_if(ThreadQueue& q, HWND hwnd, bool any_id, UINT_PTR id, bool* found) {
    bool had = !q.timers.empty();
    auto it = std::remove_if(q.timers.begin(), q.timers.end(),
                             [&](const Timer& t) { return t.hwnd == hwnd && (any_id || t.id == id); });
    if (found) *found = it != q.timers.end();
    q.timers.erase(it, q.timers.end());
    if (had && q.timers.empty()) g_timer_queues.fetch_sub(1);
    recompute(q);
}

// Wakes every thread waiting in GetMessageA whose timer came due.
void on_clock_advanced() {
    if (g_timer_queues.load() == 0) return;
    State& st = state();
    uint64_t now = GetTickCount64();
    std::lock_guard<std::mutex> lock(st.mutex);
    for (auto& [tid, q] : st.queues)
        if (q->next_timer.load() <= now) wake(*q);
}

}  // namespace

namespace {

bool passes(const Timer& t, HWND hwnd, UINT first, UINT last) {
    if (!(first == 0 && last == 0) && (WM_TIMER < first || WM_TIMER > last)) return false;
    return hwnd == reinterpret_cast<HWND>(-1) ? t.hwnd == nullptr : (!hwnd || t.hwnd == hwnd);
}

}  // namespace

uint64_t timer_due(const ThreadQueue& q, HWND hwnd, UINT first, UINT last) {
    uint64_t due = UINT64_MAX;
    for (const Timer& t : q.timers)
        if (passes(t, hwnd, first, last)) due = std::min(due, t.due);
    return due;
}

bool take_timer(ThreadQueue& q, LPMSG out, HWND hwnd, UINT first, UINT last, bool remove) {
    uint64_t now = GetTickCount64();
    for (Timer& t : q.timers) {
        if (t.due > now || !passes(t, hwnd, first, last)) continue;
        *out = MSG{};
        out->hwnd = t.hwnd;
        out->message = WM_TIMER;
        out->wParam = t.id;
        out->lParam = reinterpret_cast<LPARAM>(t.proc);
        out->time = DWORD(now);
        if (remove) {
            t.due = now + t.elapse;
            recompute(q);
        }
        return true;
    }
    return false;
}

void remove_window_timers(ThreadQueue& q, HWND hwnd) {
    if (hwnd) erase_if(q, hwnd, true, 0, nullptr);
}

void drop_timers(ThreadQueue& q) {
    if (!q.timers.empty()) g_timer_queues.fetch_sub(1);
    q.timers.clear();
    recompute(q);
}

bool is_timer_proc(const ThreadQueue& q, TIMERPROC proc) {
    for (const Timer& t : q.timers)
        if (t.proc == proc) return true;
    return false;
}

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
    std::shared_ptr<ThreadQueue> q;
    if (hWnd) {
        auto w = find_window(st, hWnd);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        if (w->thread_id != GetCurrentThreadId()) {
            SetLastError(ERROR_ACCESS_DENIED);
            return 0;
        }
        q = w->queue;
    } else {
        q = own_queue(st);
    }
    UINT elapse = std::clamp<UINT>(uElapse, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
    // A thread timer keeps its id when nIDEvent names one of them; else it
    // gets a new one. A window timer is known by its window and id.
    Timer* existing = nullptr;
    for (Timer& t : q->timers)
        if (t.hwnd == hWnd && t.id == nIDEvent && (hWnd || nIDEvent)) existing = &t;
    if (!existing) {
        Timer t;
        t.hwnd = hWnd;
        t.id = nIDEvent;
        if (!hWnd) {
            UINT_PTR id = 1;
            while (std::any_of(q->timers.begin(), q->timers.end(), [&](const Timer& o) { return !o.hwnd && o.id == id; }))
                ++id;
            t.id = id;
        }
        if (q->timers.empty()) g_timer_queues.fetch_add(1);
        q->timers.push_back(t);
        existing = &q->timers.back();
    }
    existing->elapse = elapse;
    existing->proc = lpTimerFunc;
    existing->due = GetTickCount64() + elapse;
    recompute(*q);
    UINT_PTR result = hWnd ? (nIDEvent ? nIDEvent : 1) : existing->id;
    wake(*q);  // a thread waiting in GetMessageA recomputes how long to wait
    return result;
}

BOOL WINAPI KillTimer(HWND hWnd, UINT_PTR uIDEvent) {
    State& st = state();
    std::lock_guard<std::mutex> lock(st.mutex);
    std::shared_ptr<ThreadQueue> q;
    if (hWnd) {
        auto w = find_window(st, hWnd);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        if (w->thread_id != GetCurrentThreadId()) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        q = w->queue;
    } else {
        q = own_queue(st);
    }
    bool found = false;
    erase_if(*q, hWnd, false, uIDEvent, &found);
    if (!found) SetLastError(ERROR_INVALID_PARAMETER);
    return found ? TRUE : FALSE;
}

UINT WINAPI GetCaretBlinkTime(void) { return g_blink.load(); }

BOOL WINAPI SetCaretBlinkTime(UINT uMSeconds) {
    g_blink.store(uMSeconds);
    return TRUE;
}
