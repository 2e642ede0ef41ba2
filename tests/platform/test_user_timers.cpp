// Timers: WM_TIMER comes after everything posted, once however many periods
// passed, restarts its period when retrieved, ends with KillTimer or the
// window; timer procedures; a thread waiting in GetMessageA is woken when
// its timer comes due.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "user_test_util.h"

namespace {

using namespace usertest;

// The messages of the calling thread that PeekMessageA hands out now.
std::vector<MSG> drain() {
    std::vector<MSG> out;
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) out.push_back(m);
    return out;
}

size_t timers_in(const std::vector<MSG>& ms, UINT_PTR id) {
    size_t n = 0;
    for (const MSG& m : ms) n += m.message == WM_TIMER && m.wParam == id;
    return n;
}

TEST(UserTimers, TimerMessagesFollowThePostedOnesAndCoalesce) {
    HWND w = make_window();
    drain();
    EXPECT_EQ(GetCaretBlinkTime(), 530u);
    ASSERT_EQ(SetTimer(w, 7, 100, nullptr), UINT_PTR(7));
    struct Step {
        const char* what;
        DWORD advance;
        bool post;
        size_t timers;
    } steps[] = {
        {"not yet due", 99, false, 0},
        {"due at its period", 1, false, 1},
        {"the period starts again when retrieved", 99, false, 0},
        {"five periods late: still one message", 500, false, 1},
        {"a posted message comes first", 100, true, 1},
    };
    for (const Step& s : steps) {
        headless::AdvanceClock(s.advance);
        if (s.post) PostMessageA(w, WM_USER + 1, 0, 0);
        std::vector<MSG> got = drain();
        EXPECT_EQ(timers_in(got, 7), s.timers) << s.what;
        if (s.post) {
            ASSERT_EQ(got.size(), 2u) << s.what;
            EXPECT_EQ(got[0].message, UINT(WM_USER + 1)) << s.what;
            EXPECT_EQ(got[1].hwnd, w) << s.what;
        }
    }
    // A filter that leaves WM_TIMER out does not see it.
    headless::AdvanceClock(100);
    MSG m;
    EXPECT_FALSE(PeekMessageA(&m, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE));
    EXPECT_TRUE(KillTimer(w, 7));
    EXPECT_FALSE(KillTimer(w, 7));
    headless::AdvanceClock(1000);
    EXPECT_EQ(timers_in(drain(), 7), 0u) << "killed";
    // A destroyed window's timers go with it.
    SetTimer(w, 8, 10, nullptr);
    DestroyWindow(w);
    headless::AdvanceClock(50);
    EXPECT_EQ(timers_in(drain(), 8), 0u);
    EXPECT_FALSE(KillTimer(w, 8));
}

std::atomic<int> g_proc_calls{0};
void CALLBACK CountingProc(HWND, UINT msg, UINT_PTR, DWORD) {
    if (msg == WM_TIMER) ++g_proc_calls;
}

TEST(UserTimers, ThreadTimersAndTimerProcedures) {
    HWND w = make_window();
    drain();
    g_proc_calls = 0;
    UINT_PTR a = SetTimer(nullptr, 0, 5, CountingProc);  // below the minimum: 10 ms
    ASSERT_NE(a, 0u);
    headless::AdvanceClock(10);
    std::vector<MSG> got = drain();
    ASSERT_EQ(timers_in(got, a), 1u);
    EXPECT_EQ(got.back().hwnd, nullptr);
    DispatchMessageA(&got.back());
    EXPECT_EQ(g_proc_calls.load(), 1);
    // A WM_TIMER whose lParam is no timer's procedure calls nothing.
    MSG forged{};
    forged.hwnd = w;
    forged.message = WM_TIMER;
    forged.lParam = reinterpret_cast<LPARAM>(&forged);
    EXPECT_EQ(DispatchMessageA(&forged), 0);
    EXPECT_TRUE(KillTimer(nullptr, a));
    // Another thread's window cannot be given a timer.
    UINT_PTR other = 1;
    std::thread([&] { other = SetTimer(w, 1, 10, nullptr); }).join();
    EXPECT_EQ(other, 0u);
}

TEST(UserTimers, AWaitingGetMessageWakesWhenItsTimerIsDue) {
    std::atomic<DWORD> tid{0};
    std::atomic<UINT_PTR> seen{0};
    std::thread t([&] {
        HWND w = make_window();
        SetTimer(w, 42, 1000, nullptr);
        tid = GetCurrentThreadId();
        MSG m;
        while (GetMessageA(&m, nullptr, 0, 0))
            if (m.message == WM_TIMER) {
                seen = m.wParam;
                break;
            }
        DestroyWindow(w);
    });
    while (!tid) std::this_thread::yield();
    ASSERT_TRUE(headless::WaitIdle(tid));
    EXPECT_EQ(seen.load(), 0u) << "the virtual clock has not moved";
    headless::AdvanceClock(1000);
    t.join();
    EXPECT_EQ(seen.load(), UINT_PTR(42));
}

}  // namespace
