// The timers of one thread's queue: setting, killing, finding the next due
// one and making its WM_TIMER. Works on a ThreadQueue under State::mutex and
// calls no other file of USER (SetTimer and KillTimer are in timers.cpp).
//
// Nothing is posted when a timer expires: as on Windows, its WM_TIMER is
// made when the thread asks for a message and finds nothing posted and no
// quit, so a busy or slow thread gets one WM_TIMER however many periods
// passed. Retrieving it starts the next period.
#include <algorithm>

#include "user/user_internal.h"

namespace plat::user {
namespace {

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

bool passes(const Timer& t, HWND hwnd, UINT first, UINT last) {
    if (!(first == 0 && last == 0) && (WM_TIMER < first || WM_TIMER > last)) return false;
    return hwnd == reinterpret_cast<HWND>(-1) ? t.hwnd == nullptr : (!hwnd || t.hwnd == hwnd);
}

}  // namespace

bool any_timers() { return g_timer_queues.load() != 0; }

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

UINT_PTR add_timer(ThreadQueue& q, HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc) {
    // A thread timer keeps its id when `id` names one of them; else it gets
    // a new one. A window timer is known by its window and id.
    Timer* existing = nullptr;
    for (Timer& t : q.timers)
        if (t.hwnd == hwnd && t.id == id && (hwnd || id)) existing = &t;
    if (!existing) {
        Timer t;
        t.hwnd = hwnd;
        t.id = id;
        if (!hwnd) {
            UINT_PTR next = 1;
            while (std::any_of(q.timers.begin(), q.timers.end(), [&](const Timer& o) { return !o.hwnd && o.id == next; }))
                ++next;
            t.id = next;
        }
        if (q.timers.empty()) g_timer_queues.fetch_add(1);
        q.timers.push_back(t);
        existing = &q.timers.back();
    }
    existing->elapse = elapse;
    existing->proc = proc;
    existing->due = GetTickCount64() + elapse;
    UINT_PTR result = hwnd ? (id ? id : 1) : existing->id;
    recompute(q);
    return result;
}

bool kill_timer(ThreadQueue& q, HWND hwnd, UINT_PTR id) {
    bool found = false;
    erase_if(q, hwnd, false, id, &found);
    return found;
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
