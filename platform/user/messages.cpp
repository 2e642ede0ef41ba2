// Per-thread message queues: posting, sending (also across threads),
// retrieving and dispatching messages.
//
// Every thread that uses USER gets a queue. Posted messages wait in it until
// the thread retrieves them with PeekMessageA / GetMessageA. A message sent
// to a window of another thread waits in that thread's queue as a "sent
// message": the owner runs it inside its next PeekMessageA / GetMessageA (or
// while it is itself waiting in SendMessageA) and the sender blocks until
// the reply. When a thread ends, its windows are destroyed and every sender
// still waiting on it gets 0.
#include <algorithm>
#include <chrono>

#include "backend.h"
#include "kernel/kernel_internal.h"
#include "user/input/key_state.h"
#include "user/user_internal.h"

namespace plat::user {
namespace {

void cleanup_thread(DWORD tid);

// Runs when a thread that used USER ends (also for threads not made by
// CreateThread, through the thread_local destructor).
struct QueueHolder {
    DWORD tid = 0;
    ~QueueHolder();
};
thread_local QueueHolder t_holder;
// This thread's queue while it lives (owned by State::queues).
thread_local ThreadQueue* t_queue = nullptr;

QueueHolder::~QueueHolder() {
    t_queue = nullptr;
    if (tid) cleanup_thread(tid);
}

void exit_hook() {
    t_queue = nullptr;
    if (t_holder.tid) {
        DWORD tid = t_holder.tid;
        t_holder.tid = 0;
        cleanup_thread(tid);
    }
}

void complete(SentMessage& sm, LRESULT result) {
    sm.result = result;
    sm.done = true;
    if (sm.sender) wake(*sm.sender);
}

void cleanup_thread(DWORD tid) {
    State& st = state();
    std::vector<uint32_t> backend_ids;
    {
        std::lock_guard<std::mutex> lock(st.mutex);
        auto it = st.queues.find(tid);
        if (it == st.queues.end()) return;
        std::shared_ptr<ThreadQueue> q = it->second;
        st.queues.erase(it);
        q->alive = false;
        for (auto& sm : q->sent) complete(*sm, 0);
        q->sent.clear();
        q->posted.clear();
        drop_timers(*q);
        st.pending_events -= q->pending_events;
        q->pending_events = 0;
        // The thread's windows go with it (their procedures are not called:
        // the thread is gone).
        std::vector<std::shared_ptr<Window>> gone;
        for (auto& [h, w] : st.windows)
            if (w->thread_id == tid) gone.push_back(w);
        for (auto& w : gone)
            if (uint32_t id = erase_window(st, *w)) backend_ids.push_back(id);
    }
    for (uint32_t id : backend_ids) backend().destroy_window(id);
}

// Runs the sent messages waiting for this thread. Called and returns with
// the lock held; the lock is released around each window procedure.
void process_sent(std::unique_lock<std::mutex>& lock, State& st, ThreadQueue& q) {
    while (!q.sent.empty()) {
        std::shared_ptr<SentMessage> sm = q.sent.front();
        q.sent.pop_front();
        auto w = find_window(st, sm->hwnd);
        WNDPROC proc = (w && w->thread_id == q.thread_id) ? w->proc : nullptr;
        LRESULT result = 0;
        if (proc) {
            ++q.handling_sent;
            lock.unlock();
            try {
                result = proc(sm->hwnd, sm->message, sm->wparam, sm->lparam);
            } catch (...) {
                lock.lock();
                --q.handling_sent;
                complete(*sm, 0);
                throw;
            }
            lock.lock();
            --q.handling_sent;
        }
        complete(*sm, result);
    }
}

bool matches(const MSG& m, HWND hwnd, UINT first, UINT last) {
    if (hwnd == reinterpret_cast<HWND>(-1)) {
        if (m.hwnd) return false;
    } else if (hwnd && m.hwnd != hwnd) {
        return false;
    }
    if (first == 0 && last == 0) return true;
    return m.message >= first && m.message <= last;
}

// Takes (or looks at) the first matching posted message, or WM_QUIT when
// PostQuitMessage was called and no matching posted message is left, or
// else the WM_TIMER of a due timer.
bool take_message(ThreadQueue& q, LPMSG out, HWND hwnd, UINT first, UINT last, bool remove) {
    for (auto it = q.posted.begin(); it != q.posted.end(); ++it) {
        if (!matches(*it, hwnd, first, last)) continue;
        *out = *it;
        if (remove) {
            plat::input::keys_note_retrieved(it->message, it->wParam, it->lParam);
            if (it->hwnd) q.retrieved_undispatched = true;
            q.posted.erase(it);
        }
        return true;
    }
    if (q.quit) {
        *out = MSG{};
        out->message = WM_QUIT;
        out->wParam = WPARAM(q.quit_code);
        out->time = GetTickCount();
        if (remove) q.quit = false;
        return true;
    }
    return take_timer(q, out, hwnd, first, last, remove);
}

bool valid_filter(State& st, HWND hwnd) {
    return !hwnd || hwnd == reinterpret_cast<HWND>(-1) || find_window(st, hwnd);
}

}  // namespace

std::shared_ptr<ThreadQueue> own_queue(State& st) {
    DWORD tid = GetCurrentThreadId();
    auto it = st.queues.find(tid);
    if (it != st.queues.end()) {
        t_queue = it->second.get();
        return it->second;
    }
    auto q = std::make_shared<ThreadQueue>();
    q->thread_id = tid;
    st.queues.emplace(tid, q);
    t_queue = q.get();
    t_holder.tid = tid;
    plat::kernel::set_thread_exit_hook(&exit_hook);
    return q;
}

void settle_events(State& st, ThreadQueue& q) {
    if (q.pending_events == 0) return;
    if (!q.posted.empty() || q.dispatch_depth > 0 || q.retrieved_undispatched) return;
    st.pending_events -= q.pending_events;
    q.pending_events = 0;
}

void abandon_sent_messages(State& st, ThreadQueue& q, HWND hwnd) {
    for (auto it = q.sent.begin(); it != q.sent.end();) {
        if ((*it)->hwnd == hwnd) {
            complete(**it, 0);
            it = q.sent.erase(it);
        } else {
            ++it;
        }
    }
}

namespace {

// Posted messages a queue accepts from PostMessageA / PostThreadMessageA; a
// post beyond it is refused, so a flood cannot grow a queue without bound.
constexpr size_t kPostQuota = 10000;

// Posts unless the queue is at its quota; sets the error of a refusal.
bool post_within_quota(ThreadQueue& q, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (q.posted.size() >= kPostQuota) {
        SetLastError(ERROR_NOT_ENOUGH_QUOTA);
        return false;
    }
    post_locked(q, hwnd, msg, wp, lp);
    return true;
}

}  // namespace

void post_locked(ThreadQueue& q, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    MSG m{};
    m.hwnd = hwnd;
    m.message = msg;
    m.wParam = wp;
    m.lParam = lp;
    m.time = GetTickCount();
    q.posted.push_back(m);
    wake(q);
}

void wake(ThreadQueue& q) {
    q.idle.store(false, std::memory_order_release);
    if (q.blocked_in_get) plat::kernel::mark_waking(q.thread_id);
    q.cv.notify_all();
}

void notify(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    State& st = state();
    std::unique_lock<std::mutex> lock(st.mutex);
    auto w = find_window(st, hwnd);
    if (!w) return;
    if (w->thread_id == GetCurrentThreadId()) {
        WNDPROC proc = w->proc;
        lock.unlock();
        if (proc) proc(hwnd, msg, wp, lp);
        return;
    }
    if (w->queue->alive) post_locked(*w->queue, hwnd, msg, wp, lp);
}

}  // namespace plat::user

using namespace plat::user;

BOOL WINAPI PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg) {
    // A polling loop asks about a thousand times a second: when the last
    // look found nothing and nobody has given the thread work since, answer
    // without the lock. Work arriving during this look is seen by the next.
    // A thread with timers also reads the clock: a timer coming due is work.
    if (lpMsg && !hWnd && t_queue && t_queue->idle.load(std::memory_order_acquire)) {
        uint64_t due = t_queue->next_timer.load(std::memory_order_acquire);
        if (due == UINT64_MAX || GetTickCount64() < due) return FALSE;
    }
    State& st = state();
    std::unique_lock<std::mutex> lock(st.mutex);
    auto q = own_queue(st);
    if (!lpMsg) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!valid_filter(st, hWnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    q->retrieved_undispatched = false;
    process_sent(lock, st, *q);
    if (take_message(*q, lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, (wRemoveMsg & PM_REMOVE) != 0)) return TRUE;
    settle_events(st, *q);
    if (q->posted.empty() && q->sent.empty() && !q->quit && q->pending_events == 0 && q->alive)
        q->idle.store(true, std::memory_order_release);
    return FALSE;
}

BOOL WINAPI GetMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax) {
    State& st = state();
    std::unique_lock<std::mutex> lock(st.mutex);
    auto q = own_queue(st);
    if (!lpMsg) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    q->retrieved_undispatched = false;
    for (;;) {
        if (!valid_filter(st, hWnd)) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return -1;
        }
        process_sent(lock, st, *q);
        if (take_message(*q, lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, true))
            return lpMsg->message == WM_QUIT ? FALSE : TRUE;
        settle_events(st, *q);
        // With a timer, wait no longer than until it is due; under the
        // virtual clock time passes only when the clock is advanced, which
        // wakes this thread (timers.cpp), so that wait has no time limit.
        uint64_t due = timer_due(*q, hWnd, wMsgFilterMin, wMsgFilterMax);
        bool timed = due != UINT64_MAX && !plat::kernel::virtual_clock_on();
        plat::kernel::BlockScope scope(timed ? plat::kernel::BlockKind::TimedWait
                                             : plat::kernel::BlockKind::InfiniteWait);
        q->blocked_in_get = true;
        if (timed) {
            uint64_t now = GetTickCount64();
            q->cv.wait_for(lock, std::chrono::milliseconds(due > now ? due - now : 0));
        } else {
            q->cv.wait(lock);
        }
        q->blocked_in_get = false;
    }
}

LRESULT WINAPI DispatchMessageA(const MSG* lpMsg) {
    if (!lpMsg) return 0;
    State& st = state();
    std::unique_lock<std::mutex> lock(st.mutex);
    auto q = own_queue(st);
    q->retrieved_undispatched = false;
    if (lpMsg->message == WM_TIMER && lpMsg->lParam) {
        // The timer's procedure instead of the window's, and only a
        // procedure that one of the thread's timers names: a WM_TIMER
        // posted by anyone must not make this call an arbitrary address.
        auto proc = reinterpret_cast<TIMERPROC>(lpMsg->lParam);
        bool known = is_timer_proc(*q, proc) && (!lpMsg->hwnd || find_window(st, lpMsg->hwnd));
        settle_events(st, *q);
        lock.unlock();
        if (known) proc(lpMsg->hwnd, WM_TIMER, lpMsg->wParam, GetTickCount());
        return 0;
    }
    if (!lpMsg->hwnd) {
        settle_events(st, *q);
        return 0;
    }
    auto w = find_window(st, lpMsg->hwnd);
    if (!w || w->thread_id != q->thread_id) {
        SetLastError(w ? ERROR_MESSAGE_SYNC_ONLY : ERROR_INVALID_WINDOW_HANDLE);
        settle_events(st, *q);
        return 0;
    }
    WNDPROC proc = w->proc;
    ++q->dispatch_depth;
    lock.unlock();
    LRESULT result = 0;
    try {
        if (proc) result = proc(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
    } catch (...) {
        lock.lock();
        --q->dispatch_depth;
        throw;
    }
    lock.lock();
    --q->dispatch_depth;
    settle_events(st, *q);
    return result;
}

BOOL WINAPI PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (!hWnd) return PostThreadMessageA(GetCurrentThreadId(), Msg, wParam, lParam);
    State& st = state();
    std::lock_guard<std::mutex> lock(st.mutex);
    if (hWnd == HWND_BROADCAST) {
        for (auto& [h, w] : st.windows)
            if (w->queue->alive) post_within_quota(*w->queue, w->hwnd, Msg, wParam, lParam);
        return TRUE;
    }
    auto w = find_window(st, hWnd);
    if (!w || !w->queue->alive) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return post_within_quota(*w->queue, hWnd, Msg, wParam, lParam) ? TRUE : FALSE;
}

BOOL WINAPI PostThreadMessageA(DWORD idThread, UINT Msg, WPARAM wParam, LPARAM lParam) {
    State& st = state();
    std::lock_guard<std::mutex> lock(st.mutex);
    std::shared_ptr<ThreadQueue> q;
    if (idThread == GetCurrentThreadId()) {
        q = own_queue(st);
    } else {
        auto it = st.queues.find(idThread);
        if (it != st.queues.end()) q = it->second;
    }
    if (!q || !q->alive) {
        SetLastError(ERROR_INVALID_THREAD_ID);
        return FALSE;
    }
    return post_within_quota(*q, nullptr, Msg, wParam, lParam) ? TRUE : FALSE;
}

void WINAPI PostQuitMessage(int nExitCode) {
    State& st = state();
    std::lock_guard<std::mutex> lock(st.mutex);
    auto q = own_queue(st);
    q->quit = true;
    q->quit_code = nExitCode;
    wake(*q);
}

LRESULT WINAPI SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    State& st = state();
    std::unique_lock<std::mutex> lock(st.mutex);
    auto w = find_window(st, hWnd);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    DWORD me = GetCurrentThreadId();
    if (w->thread_id == me) {
        WNDPROC proc = w->proc;
        lock.unlock();
        return proc ? proc(hWnd, Msg, wParam, lParam) : 0;
    }
    std::shared_ptr<ThreadQueue> target = w->queue;
    if (!target->alive) return 0;
    auto own = own_queue(st);
    auto sm = std::make_shared<SentMessage>();
    sm->hwnd = hWnd;
    sm->message = Msg;
    sm->wparam = wParam;
    sm->lparam = lParam;
    sm->sender = own;
    target->sent.push_back(sm);
    wake(*target);
    plat::kernel::BlockScope scope(plat::kernel::BlockKind::SendWait);
    while (!sm->done) {
        // Messages sent to this thread meanwhile are handled here, so two
        // threads sending to each other do not deadlock.
        if (!own->sent.empty()) {
            process_sent(lock, st, *own);
            continue;
        }
        own->cv.wait(lock);
    }
    return sm->result;
}

BOOL WINAPI InSendMessage(void) {
    State& st = state();
    std::lock_guard<std::mutex> lock(st.mutex);
    return own_queue(st)->handling_sent > 0;
}
