// Polling messages (peekmessage, flushmessage, capture) on one thread while
// another thread opens and closes the window, stopping the layer each time:
// every call either works on a live window object or finds none and does
// nothing; none touches a freed one. The sanitizer builds turn a use after
// free or a data race into a failure.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "glint_test_util.h"

namespace {

using Clock = std::chrono::steady_clock;

}  // namespace

TEST(GlintMessageStop, PollingWhileAnotherThreadOpensAndStops) {
#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
    constexpr int kRounds = 60;
#else
    constexpr int kRounds = 150;
#endif
    std::atomic<bool> stop{false};
    std::atomic<long> calls{0};
    std::atomic<int> wrong{0};
    std::thread poller([&] {
        for (int i = 0; !stop.load(); ++i) {
            ExMessage m;
            std::memset(&m, 0, sizeof m);
            if (peekmessage(&m, EX_KEY, i % 2 == 0) && m.message != WM_KEYDOWN && m.message != WM_KEYUP)
                wrong.fetch_add(1);  // only key records pass this filter
            (void)peekmessage(nullptr, 0xFF, false);
            flushmessage(i % 3 == 0 ? 0xFF : EX_MOUSE);
            if (i % 64 == 0) {
                setcapture();
                releasecapture();
            }
            calls.fetch_add(1);
        }
    });
    std::atomic<bool> finished{false};
    std::atomic<int> round{0};
    std::thread program([&] {
        for (int r = 0; r < kRounds; ++r) {
            round = r;
            HWND hwnd = initgraph(32, 24, 0);
            if (!hwnd) break;
            PostMessageA(hwnd, WM_KEYDOWN, 'A', 0);
            PostMessageA(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(3, 4));
            // Let the poller reach the new window object before the stop races it.
            long seen = calls.load();
            while (calls.load() == seen) std::this_thread::yield();
            closegraph();  // no image: the layer stops and the window object goes
        }
        finished = true;
    });
    const auto deadline = Clock::now() + std::chrono::seconds(120);
    while (!finished.load()) {
        if (Clock::now() > deadline) {
            ADD_FAILURE() << "opening or stopping with a polling thread hung in round " << round.load();
            std::fflush(stdout);
            std::_Exit(1);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    program.join();
    stop = true;
    poller.join();
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_GT(calls.load(), kRounds);
    EXPECT_EQ(Glint::g_iDeviceCount, 0);
}

// With the layer stopped there is no queue: a peek finds nothing and leaves
// the record alone, a flush and the capture calls do nothing. While an image
// keeps the layer running the queue outlives the closed window.
TEST(GlintMessageStop, CallsWithoutAWindowObject) {
    ExMessage m;
    std::memset(&m, 0x5A, sizeof m);
    EXPECT_FALSE(peekmessage(&m, 0xFF, true));
    EXPECT_EQ(m.message, 0x5A5A);
    flushmessage(0xFF);
    flushmessage(EX_KEY);
    setcapture();
    releasecapture();
    EXPECT_EQ(Glint::g_iDeviceCount, 0);

    IMAGE keep(1, 1);
    HWND hwnd = initgraph(32, 24, 0);
    ASSERT_NE(hwnd, nullptr);
    glint_test::Settle(hwnd);
    flushmessage();
    PostMessageA(hwnd, WM_KEYDOWN, 'Q', 0);
    glint_test::Settle(hwnd);
    closegraph();
    EXPECT_TRUE(peekmessage(&m, EX_KEY, true));
    EXPECT_EQ(m.message, WM_KEYDOWN);
    EXPECT_EQ(m.vkcode, 'Q');
    EXPECT_FALSE(peekmessage(&m, EX_KEY, false));  // only the one key was queued
}
