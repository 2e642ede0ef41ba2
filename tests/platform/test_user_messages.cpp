// Message queues: posting across threads, synchronous sends across threads,
// WM_QUIT, filters, dispatching.
#include <gtest/gtest.h>

#include <chrono>

#include "user_test_util.h"

namespace {

using namespace usertest;
using namespace std::chrono_literals;

constexpr UINT kPing = WM_USER + 10;

TEST(UserMessages, PostFromAnotherThreadLandsInTheOwnersQueue) {
    HWND w = make_window();
    ASSERT_NE(w, nullptr);
    BOOL other_saw = TRUE;
    std::thread([&] {
        EXPECT_TRUE(PostMessageA(w, kPing, 1, 2));
        MSG m;
        other_saw = PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE);  // not in the poster's queue
    }).join();
    EXPECT_FALSE(other_saw);
    MSG m{};
    ASSERT_TRUE(PeekMessageA(&m, w, kPing, kPing, PM_REMOVE));
    EXPECT_EQ(m.hwnd, w);
    EXPECT_EQ(m.wParam, 1u);
    EXPECT_EQ(m.lParam, 2);
    EXPECT_EQ(DispatchMessageA(&m), 0);
    EXPECT_EQ(received(kPing).size(), 1u);
    EXPECT_EQ(received(kPing)[0].thread, GetCurrentThreadId());
}

TEST(UserMessages, CrossThreadSendRunsOnTheOwnerInsideItsPeekAndReturnsTheReply) {
    hook() = [](HWND, UINT m, WPARAM w, LPARAM l, LRESULT* r) {
        if (m != kPing) return false;
        *r = LRESULT(w * 100 + l);
        return true;
    };
    WindowThread wt;
    EXPECT_EQ(SendMessageA(wt.hwnd(), kPing, 4, 2), 402);
    auto got = received(kPing);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].thread, wt.tid());  // ran on the window's thread
    EXPECT_NE(got[0].thread, GetCurrentThreadId());
    // Sent messages are not handed to the owner's PeekMessageA caller.
    wt.stop();
}

TEST(UserMessages, SentMessageIsNotReturnedByPeekAndComesBeforePosted) {
    HWND w = nullptr;
    std::atomic<bool> created{false}, go{false};
    std::vector<UINT> peeked;
    std::vector<UINT> order;
    hook() = [&](HWND, UINT m, WPARAM, LPARAM, LRESULT*) {
        if (m == kPing || m == kPing + 1) order.push_back(m);
        return false;
    };
    std::thread owner([&] {
        w = make_window();
        created = true;
        while (!go) std::this_thread::sleep_for(1ms);
        MSG m;
        for (int i = 0; i < 200 && order.size() < 2; ++i) {
            while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
                peeked.push_back(m.message);
                DispatchMessageA(&m);
            }
            std::this_thread::sleep_for(1ms);
        }
    });
    while (!created) std::this_thread::yield();
    PostMessageA(w, kPing + 1, 0, 0);
    std::thread sender([&] { SendMessageA(w, kPing, 0, 0); });
    std::this_thread::sleep_for(50ms);  // the sent message is queued by now
    go = true;
    sender.join();
    owner.join();
    ASSERT_EQ(order.size(), 2u);
    EXPECT_EQ(order[0], kPing);      // the sent one first
    EXPECT_EQ(order[1], kPing + 1);
    for (UINT m : peeked) EXPECT_NE(m, kPing);
}

TEST(UserMessages, TwoThreadsSendingToEachOtherDoNotDeadlock) {
    std::atomic<HWND> wa{nullptr}, wb{nullptr};
    std::atomic<int> ready{0};
    hook() = [](HWND, UINT m, WPARAM w, LPARAM, LRESULT* r) {
        if (m != kPing) return false;
        *r = LRESULT(w + 1);
        return true;
    };
    LRESULT ra = 0, rb = 0;
    std::atomic<int> done{0};
    // Each keeps its window (and serves it) until both sends are answered.
    auto linger = [&] {
        ++done;
        MSG m;
        while (done < 2) {
            PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE);
            std::this_thread::sleep_for(1ms);
        }
    };
    std::thread a([&] {
        wa = make_window();
        ++ready;
        while (ready < 2) std::this_thread::yield();
        ra = SendMessageA(wb, kPing, 10, 0);  // b is blocked sending to us meanwhile
        linger();
    });
    std::thread b([&] {
        wb = make_window();
        ++ready;
        while (ready < 2) std::this_thread::yield();
        rb = SendMessageA(wa, kPing, 20, 0);
        linger();
    });
    a.join();
    b.join();
    EXPECT_EQ(ra, 11);
    EXPECT_EQ(rb, 21);
}

TEST(UserMessages, NestedSendBackToTheSenderIsServedWhileItWaits) {
    // The window procedure on thread B sends back to A's window while A waits
    // for B's reply.
    HWND wa = make_window();
    std::atomic<HWND> wb{nullptr};
    hook() = [&](HWND h, UINT m, WPARAM w, LPARAM, LRESULT* r) {
        if (m != kPing) return false;
        if (h == wb.load())
            *r = SendMessageA(wa, kPing, w * 2, 0) + 1;
        else
            *r = LRESULT(w);
        return true;
    };
    WindowThread wt;
    wb = wt.hwnd();
    EXPECT_EQ(SendMessageA(wt.hwnd(), kPing, 21, 0), 43);
}

struct DyingOwner {
    HANDLE created, exit_now;
    HWND hwnd;
};

DWORD WINAPI dying_owner_proc(LPVOID p) {
    auto* d = static_cast<DyingOwner*>(p);
    d->hwnd = make_window();
    SetEvent(d->created);
    WaitForSingleObject(d->exit_now, INFINITE);  // never pumps messages
    return 0;
}

TEST(UserMessages, SendToAWindowWhoseThreadExitsReturnsZero) {
    DyingOwner d{CreateEventA(nullptr, FALSE, FALSE, nullptr), CreateEventA(nullptr, FALSE, FALSE, nullptr), nullptr};
    HANDLE th = CreateThread(nullptr, 0, dying_owner_proc, &d, 0, nullptr);
    WaitForSingleObject(d.created, INFINITE);
    std::atomic<bool> returned{false};
    LRESULT result = -1;
    std::thread sender([&] {
        result = SendMessageA(d.hwnd, kPing, 0, 0);
        returned = true;
    });
    std::this_thread::sleep_for(50ms);
    EXPECT_FALSE(returned.load());  // blocked: the owner does not pump
    SetEvent(d.exit_now);
    sender.join();
    EXPECT_EQ(result, 0);
    EXPECT_EQ(WaitForSingleObject(th, 5000), WAIT_OBJECT_0);
    EXPECT_FALSE(IsWindow(d.hwnd));  // the thread's windows went with it
    EXPECT_TRUE(received(kPing).empty());
    EXPECT_FALSE(PostMessageA(d.hwnd, kPing, 0, 0));
    CloseHandle(th);
    CloseHandle(d.created);
    CloseHandle(d.exit_now);
}

TEST(UserMessages, SendToAWindowDestroyedMeanwhileReturnsZero) {
    std::atomic<HWND> w{nullptr};
    std::atomic<bool> destroy{false}, done{false};
    std::thread owner([&] {
        w = make_window();
        while (!destroy) std::this_thread::sleep_for(1ms);
        DestroyWindow(w);  // without pumping: the pending send is abandoned
        done = true;
    });
    while (!w) std::this_thread::yield();
    std::thread sender([&] { EXPECT_EQ(SendMessageA(w, kPing, 0, 0), 0); });
    std::this_thread::sleep_for(50ms);
    destroy = true;
    sender.join();
    owner.join();
    EXPECT_TRUE(received(kPing).empty());
    EXPECT_EQ(received(WM_DESTROY).size(), 1u);
}

TEST(UserMessages, SendToAStdThreadOwnerThatEndsReturnsZero) {
    std::atomic<HWND> w{nullptr};
    std::atomic<bool> leave{false};
    std::thread owner([&] {
        w = make_window();
        while (!leave) std::this_thread::sleep_for(1ms);
    });
    while (!w) std::this_thread::yield();
    std::thread sender([&] { EXPECT_EQ(SendMessageA(w, kPing, 0, 0), 0); });
    std::this_thread::sleep_for(30ms);
    leave = true;
    owner.join();
    sender.join();
    EXPECT_FALSE(IsWindow(w));
}

TEST(UserMessages, QuitComesAfterThePostedMessages) {
    HWND w = make_window();
    PostMessageA(w, kPing, 1, 0);
    PostQuitMessage(7);
    PostMessageA(w, kPing, 2, 0);  // posted after the quit request, still first
    MSG m;
    ASSERT_EQ(GetMessageA(&m, nullptr, 0, 0), TRUE);
    EXPECT_EQ(m.wParam, 1u);
    ASSERT_EQ(GetMessageA(&m, nullptr, 0, 0), TRUE);
    EXPECT_EQ(m.wParam, 2u);
    ASSERT_EQ(GetMessageA(&m, nullptr, 0, 0), FALSE);
    EXPECT_EQ(m.message, UINT(WM_QUIT));
    EXPECT_EQ(m.wParam, 7u);
    EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));  // delivered once
}

TEST(UserMessages, GetMessageBlocksUntilAPostFromAnotherThread) {
    HWND w = make_window();
    std::thread poster([&] {
        std::this_thread::sleep_for(30ms);
        PostMessageA(w, kPing, 5, 0);
    });
    MSG m;
    EXPECT_EQ(GetMessageA(&m, nullptr, 0, 0), TRUE);
    EXPECT_EQ(m.message, kPing);
    EXPECT_EQ(m.wParam, 5u);
    poster.join();
}

TEST(UserMessages, GetMessageWakesForPostQuitFromItsOwnThreadsSentMessage) {
    // A sent message handled inside GetMessageA may end the loop.
    hook() = [](HWND, UINT m, WPARAM, LPARAM, LRESULT*) {
        if (m == kPing) PostQuitMessage(3);
        return false;
    };
    HWND w = make_window();
    std::thread sender([&] { SendMessageA(w, kPing, 0, 0); });
    MSG m;
    EXPECT_EQ(GetMessageA(&m, nullptr, 0, 0), FALSE);
    EXPECT_EQ(m.wParam, 3u);
    sender.join();
}

TEST(UserMessages, PeekFiltersByWindowRangeAndRemoval) {
    HWND w1 = make_window(), w2 = make_window();
    PostMessageA(w1, kPing + 1, 0, 0);
    PostMessageA(w2, kPing + 2, 0, 0);
    PostThreadMessageA(GetCurrentThreadId(), kPing + 3, 0, 0);
    MSG m;
    ASSERT_TRUE(PeekMessageA(&m, w2, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(m.message, kPing + 2);
    ASSERT_TRUE(PeekMessageA(&m, w2, 0, 0, PM_REMOVE));
    EXPECT_FALSE(PeekMessageA(&m, w2, 0, 0, PM_REMOVE));
    ASSERT_TRUE(PeekMessageA(&m, nullptr, kPing + 3, kPing + 3, PM_NOREMOVE));
    EXPECT_EQ(m.hwnd, nullptr);
    ASSERT_TRUE(PeekMessageA(&m, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE));  // thread messages only
    EXPECT_EQ(m.message, kPing + 3);
    EXPECT_FALSE(PeekMessageA(&m, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE));
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, kPing + 1);
    EXPECT_EQ(m.hwnd, w1);
    // An invalid window as filter is an error.
    HWND bogus = reinterpret_cast<HWND>(uintptr_t(0x777));
    SetLastError(0);
    EXPECT_FALSE(PeekMessageA(&m, bogus, 0, 0, PM_REMOVE));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_EQ(GetMessageA(&m, bogus, 0, 0), -1);
}

TEST(UserMessages, DispatchReturnsTheProceduresResultOnlyOnTheOwner) {
    hook() = [](HWND, UINT m, WPARAM, LPARAM, LRESULT* r) {
        if (m != kPing) return false;
        *r = 99;
        return true;
    };
    HWND w = make_window();
    MSG m{};
    m.hwnd = w;
    m.message = kPing;
    EXPECT_EQ(DispatchMessageA(&m), 99);
    LRESULT other = -1;
    std::thread([&] { other = DispatchMessageA(&m); }).join();
    EXPECT_EQ(other, 0);  // another thread cannot run this window's procedure
    EXPECT_EQ(received(kPing).size(), 1u);
    EXPECT_EQ(DispatchMessageA(nullptr), 0);
}

TEST(UserMessages, DefWindowProcClosesByDestroying) {
    HWND w = make_window();
    EXPECT_EQ(SendMessageA(w, WM_CLOSE, 0, 0), 0);
    EXPECT_FALSE(IsWindow(w));
    std::vector<UINT> tail;
    {
        std::lock_guard<std::mutex> lock(log_mutex());
        for (auto& r : log())
            if (r.msg == WM_DESTROY || r.msg == WM_NCDESTROY) tail.push_back(r.msg);
    }
    EXPECT_EQ(tail, (std::vector<UINT>{WM_DESTROY, WM_NCDESTROY}));
    EXPECT_EQ(DefWindowProcA(nullptr, WM_NCCREATE, 0, 0), TRUE);
}

TEST(UserMessages, DestroyingAWindowDropsItsQueuedMessages) {
    HWND w = make_window(), keep = make_window();
    PostMessageA(w, kPing, 0, 0);
    PostMessageA(keep, kPing, 1, 0);
    EXPECT_TRUE(DestroyWindow(w));
    MSG m;
    ASSERT_TRUE(PeekMessageA(&m, nullptr, kPing, kPing, PM_REMOVE));
    EXPECT_EQ(m.hwnd, keep);
    EXPECT_FALSE(PeekMessageA(&m, nullptr, kPing, kPing, PM_REMOVE));
}

TEST(UserMessages, PostingToBadTargetsFails) {
    HWND bogus = reinterpret_cast<HWND>(uintptr_t(0x4242));
    SetLastError(0);
    EXPECT_FALSE(PostMessageA(bogus, kPing, 0, 0));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_EQ(SendMessageA(bogus, kPing, 0, 0), 0);
    EXPECT_FALSE(PostThreadMessageA(0xFFFFFFF0u, kPing, 0, 0));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_THREAD_ID));
    // PostMessageA(NULL) posts a thread message to the caller.
    EXPECT_TRUE(PostMessageA(nullptr, kPing, 0, 0));
    MSG m;
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.hwnd, nullptr);
    EXPECT_EQ(m.message, kPing);
}

TEST(UserMessages, PostThreadMessageReachesAnotherThreadsGetMessage) {
    std::atomic<DWORD> tid{0};
    UINT got = 0;
    std::thread t([&] {
        MSG m;
        PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE);  // creates the queue, as on Windows
        tid = GetCurrentThreadId();
        if (GetMessageA(&m, nullptr, 0, 0) > 0) got = m.message;
    });
    while (!tid) std::this_thread::yield();
    EXPECT_TRUE(PostThreadMessageA(tid, kPing, 0, 0));
    t.join();
    EXPECT_EQ(got, kPing);
}

TEST(UserMessages, PostsBeyondTenThousandPerQueueAreRefused) {
    HWND w = make_window();
    ASSERT_NE(w, nullptr);
    // Window posts and thread posts share the quota of the owner's queue; the
    // first 10,000 are accepted, the next one is refused with its error set.
    for (int i = 0; i < 9999; ++i) ASSERT_TRUE(PostMessageA(w, kPing, WPARAM(i), 0)) << i;
    EXPECT_TRUE(PostThreadMessageA(GetCurrentThreadId(), kPing, 9999, 0));
    SetLastError(0);
    EXPECT_FALSE(PostMessageA(w, kPing, 10000, 0));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_ENOUGH_QUOTA));
    EXPECT_FALSE(PostThreadMessageA(GetCurrentThreadId(), kPing, 10000, 0));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_ENOUGH_QUOTA));
    EXPECT_TRUE(PostMessageA(HWND_BROADCAST, kPing, 10000, 0));  // a broadcast skips a full queue
    // Taking one out makes room for exactly one more; nothing accepted was lost.
    MSG m;
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.wParam, 0u);
    EXPECT_TRUE(PostMessageA(w, kPing, 10000, 0));
    EXPECT_FALSE(PostMessageA(w, kPing, 10001, 0));
    WPARAM expect = 1;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) EXPECT_EQ(m.wParam, expect++);
    EXPECT_EQ(expect, 10001u);
}

}  // namespace
