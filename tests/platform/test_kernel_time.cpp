// Virtual clock, tick counts and MulDiv.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/headless.h"

namespace {

using Clock = std::chrono::steady_clock;

TEST(KernelClock, VirtualSleepCostsNoRealTimeAndAdvancesTicks) {
    DWORD before = GetTickCount();
    ULONGLONG before64 = GetTickCount64();
    auto start = Clock::now();
    Sleep(100000);
    auto real_ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    EXPECT_LT(real_ms, 1000);
    EXPECT_GE(GetTickCount() - before, 100000u);
    EXPECT_GE(GetTickCount64() - before64, 100000u);
    // Only sleeping moves the virtual clock, not real time passing.
    DWORD now = GetTickCount();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(GetTickCount(), now);
}

TEST(KernelClock, AdvanceClockAndShortSleepsAddUp) {
    DWORD before = GetTickCount();
    headless::AdvanceClock(500);
    EXPECT_EQ(GetTickCount() - before, 500u);
    for (int i = 0; i < 17; ++i) Sleep(1);
    EXPECT_EQ(GetTickCount() - before, 517u);
    Sleep(0);
    EXPECT_EQ(GetTickCount() - before, 517u);
}

TEST(KernelClock, ConcurrentSleepsLoseNoTime) {
    DWORD before = GetTickCount();
    std::thread a([] { for (int i = 0; i < 50; ++i) Sleep(10); });
    std::thread b([] { for (int i = 0; i < 50; ++i) Sleep(10); });
    a.join();
    b.join();
    EXPECT_EQ(GetTickCount() - before, 1000u);
}

TEST(KernelClock, PerformanceCounterFollowsTheVirtualClock) {
    LARGE_INTEGER f, a, b;
    ASSERT_TRUE(QueryPerformanceFrequency(&f));
    ASSERT_TRUE(QueryPerformanceCounter(&a));
    Sleep(250);
    ASSERT_TRUE(QueryPerformanceCounter(&b));
    EXPECT_EQ((b.QuadPart - a.QuadPart) * 1000 / f.QuadPart, 250);
    EXPECT_FALSE(QueryPerformanceCounter(nullptr));
}

TEST(KernelMath, MulDivRoundsAndReportsFailure) {
    EXPECT_EQ(MulDiv(10, 3, 4), 8);    // 7.5 rounds away from zero
    EXPECT_EQ(MulDiv(-10, 3, 4), -8);
    EXPECT_EQ(MulDiv(10, -3, -4), 8);
    EXPECT_EQ(MulDiv(9, 1, 4), 2);     // 2.25
    EXPECT_EQ(MulDiv(1 << 30, 8, 16), 1 << 29);  // intermediate beyond 32 bits
    EXPECT_EQ(MulDiv(5, 5, 0), -1);
    EXPECT_EQ(MulDiv(1 << 30, 1 << 30, 1), -1);  // result overflows
    EXPECT_EQ(MulDiv(-(1 << 30), 2, 1), INT32_MIN);
}

}  // namespace
