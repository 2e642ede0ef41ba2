// Threads, events, waits and critical sections.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/headless.h"

namespace {

using Clock = std::chrono::steady_clock;

DWORD WINAPI return_code_proc(LPVOID param) {
    auto* seen = static_cast<std::atomic<DWORD>*>(param);
    seen->store(GetCurrentThreadId());
    return 42;
}

TEST(KernelEvents, AutoResetReleasesExactlyOneWaiterPerSignal) {
    HANDLE ev = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    ASSERT_NE(ev, nullptr);
    std::atomic<int> woken{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 2; ++i)
        waiters.emplace_back([&] {
            if (WaitForSingleObject(ev, 5000) == WAIT_OBJECT_0) ++woken;
        });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_TRUE(SetEvent(ev));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(woken.load(), 1);  // the signal was consumed by one waiter
    ASSERT_TRUE(SetEvent(ev));
    for (auto& t : waiters) t.join();
    EXPECT_EQ(woken.load(), 2);
    EXPECT_EQ(WaitForSingleObject(ev, 0), WAIT_TIMEOUT);  // nothing left over
    EXPECT_TRUE(CloseHandle(ev));
}

TEST(KernelEvents, AutoResetSignalStaysPendingUntilOneWait) {
    HANDLE ev = CreateEventA(nullptr, FALSE, TRUE, nullptr);
    EXPECT_EQ(WaitForSingleObject(ev, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(ev, 0), WAIT_TIMEOUT);
    SetEvent(ev);
    SetEvent(ev);  // signalling twice does not count twice
    EXPECT_EQ(WaitForSingleObject(ev, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(ev, 0), WAIT_TIMEOUT);
    SetEvent(ev);
    ResetEvent(ev);
    EXPECT_EQ(WaitForSingleObject(ev, 0), WAIT_TIMEOUT);
    CloseHandle(ev);
}

TEST(KernelEvents, ManualResetReleasesEveryWaiterAndStaysSignalled) {
    HANDLE ev = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::atomic<int> woken{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 3; ++i)
        waiters.emplace_back([&] {
            if (WaitForSingleObject(ev, 5000) == WAIT_OBJECT_0) ++woken;
        });
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    SetEvent(ev);
    for (auto& t : waiters) t.join();
    EXPECT_EQ(woken.load(), 3);
    EXPECT_EQ(WaitForSingleObject(ev, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(ev, 0), WAIT_OBJECT_0);
    ResetEvent(ev);
    EXPECT_EQ(WaitForSingleObject(ev, 0), WAIT_TIMEOUT);
    CloseHandle(ev);
}

TEST(KernelEvents, TimedWaitTimesOutInRealTime) {
    HANDLE ev = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    auto start = Clock::now();
    EXPECT_EQ(WaitForSingleObject(ev, 60), WAIT_TIMEOUT);
    auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    EXPECT_GE(elapsed, 50);
    EXPECT_LT(elapsed, 2000);
    CloseHandle(ev);
}

TEST(KernelThreads, ThreadHandleSignalsOnExitWithItsCode) {
    std::atomic<DWORD> seen{0};
    DWORD tid = 0;
    HANDLE th = CreateThread(nullptr, 0, return_code_proc, &seen, 0, &tid);
    ASSERT_NE(th, nullptr);
    EXPECT_NE(tid, 0u);
    EXPECT_NE(tid, GetCurrentThreadId());
    EXPECT_EQ(WaitForSingleObject(th, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(seen.load(), tid);  // GetCurrentThreadId inside is the id reported
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(th, &code));
    EXPECT_EQ(code, 42u);
    EXPECT_EQ(WaitForSingleObject(th, 0), WAIT_OBJECT_0);  // stays signalled
    EXPECT_TRUE(CloseHandle(th));
}

TEST(KernelThreads, ClosingTheHandleDoesNotStopTheThread) {
    struct Ctx {
        HANDLE go;
        HANDLE done;
    } ctx{CreateEventA(nullptr, FALSE, FALSE, nullptr), CreateEventA(nullptr, FALSE, FALSE, nullptr)};
    HANDLE th = CreateThread(
        nullptr, 0,
        [](LPVOID p) -> DWORD {
            auto* c = static_cast<Ctx*>(p);
            WaitForSingleObject(c->go, INFINITE);
            SetEvent(c->done);
            return 0;
        },
        &ctx, 0, nullptr);
    ASSERT_NE(th, nullptr);
    EXPECT_TRUE(CloseHandle(th));
    EXPECT_EQ(WaitForSingleObject(th, 0), WAIT_FAILED);  // the handle is gone...
    SetEvent(ctx.go);
    EXPECT_EQ(WaitForSingleObject(ctx.done, 5000), WAIT_OBJECT_0);  // ...the thread is not
    CloseHandle(ctx.go);
    CloseHandle(ctx.done);
}

TEST(KernelThreads, ThreadIdsAreDistinctPerThread) {
    DWORD main_id = GetCurrentThreadId();
    EXPECT_EQ(main_id, GetCurrentThreadId());
    std::atomic<DWORD> other{0};
    std::thread([&] { other = GetCurrentThreadId(); }).join();
    EXPECT_NE(other.load(), 0u);
    EXPECT_NE(other.load(), main_id);
}

TEST(KernelHandles, BadHandlesAreRefusedWithoutSideEffects) {
    HANDLE bogus = reinterpret_cast<HANDLE>(uintptr_t(0x12345678));
    for (HANDLE h : {HANDLE(nullptr), bogus, INVALID_HANDLE_VALUE}) {
        SetLastError(0);
        EXPECT_FALSE(SetEvent(h));
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
        EXPECT_FALSE(ResetEvent(h));
        EXPECT_EQ(WaitForSingleObject(h, 0), WAIT_FAILED);
        EXPECT_FALSE(CloseHandle(h));
    }
    HANDLE ev = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    EXPECT_TRUE(CloseHandle(ev));
    SetLastError(0);
    EXPECT_FALSE(CloseHandle(ev));  // closing twice
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(SetEvent(ev));

    // A thread handle is not an event.
    std::atomic<DWORD> seen{0};
    HANDLE th = CreateThread(nullptr, 0, return_code_proc, &seen, 0, nullptr);
    EXPECT_FALSE(SetEvent(th));
    EXPECT_EQ(WaitForSingleObject(th, 5000), WAIT_OBJECT_0);
    DWORD code = 0;
    EXPECT_FALSE(GetExitCodeThread(bogus, &code));
    CloseHandle(th);
    EXPECT_EQ(CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr), nullptr);
}

TEST(KernelErrors, LastErrorIsPerThread) {
    SetLastError(1234);
    std::thread([] {
        EXPECT_EQ(GetLastError(), 0u);
        SetLastError(77);
    }).join();
    EXPECT_EQ(GetLastError(), 1234u);
}

CRITICAL_SECTION g_global_cs;  // lives in static storage, as the graphics layer's lock does

TEST(KernelCriticalSection, RecursiveOwnershipExcludesOtherThreads) {
    InitializeCriticalSection(&g_global_cs);
    EnterCriticalSection(&g_global_cs);
    EnterCriticalSection(&g_global_cs);  // recursion on the owner
    auto other_try = [] {
        BOOL got = FALSE;
        std::thread([&] {
            got = TryEnterCriticalSection(&g_global_cs);
            if (got) LeaveCriticalSection(&g_global_cs);
        }).join();
        return got;
    };
    EXPECT_FALSE(other_try());
    LeaveCriticalSection(&g_global_cs);
    EXPECT_FALSE(other_try());  // still held once
    // A thread that does not own it cannot release it.
    std::thread([] { LeaveCriticalSection(&g_global_cs); }).join();
    EXPECT_FALSE(other_try());
    LeaveCriticalSection(&g_global_cs);
    EXPECT_TRUE(other_try());
    EXPECT_TRUE(TryEnterCriticalSection(&g_global_cs));
    LeaveCriticalSection(&g_global_cs);
    DeleteCriticalSection(&g_global_cs);
}

TEST(KernelCriticalSection, SerialisesIncrementsAcrossThreads) {
    CRITICAL_SECTION cs;
    InitializeCriticalSection(&cs);
    long counter = 0;  // deliberately not atomic: the section protects it
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 5000; ++i) {
                EnterCriticalSection(&cs);
                EnterCriticalSection(&cs);
                ++counter;
                LeaveCriticalSection(&cs);
                LeaveCriticalSection(&cs);
            }
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(counter, 20000);
    DeleteCriticalSection(&cs);
}

TEST(KernelCriticalSection, UninitialisedOrDeletedSectionsAreHarmless) {
    CRITICAL_SECTION cs{};
    EXPECT_FALSE(TryEnterCriticalSection(&cs));
    LeaveCriticalSection(&cs);
    DeleteCriticalSection(&cs);
    InitializeCriticalSection(&cs);
    DeleteCriticalSection(&cs);
    DeleteCriticalSection(&cs);  // twice
    EXPECT_FALSE(TryEnterCriticalSection(&cs));
    EnterCriticalSection(nullptr);
    LeaveCriticalSection(nullptr);
}

}  // namespace
