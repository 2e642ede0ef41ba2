// Stopping the layer while another thread draws: every drawing call either
// completes on a live target or does nothing; none runs on a freed target.
// The sanitizer builds turn a use after free or a data race into a failure.
#include <atomic>
#include <thread>

#include "glint_test_util.h"

TEST(GlintStopRace, ClosegraphWhileAnotherThreadDraws) {
    constexpr int kRounds = 1000;
    std::atomic<bool> stop{false};
    std::atomic<long> calls{0};
    std::thread drawer([&] {
        const POINT star[5] = {{30, 2}, {42, 40}, {10, 14}, {50, 14}, {18, 40}};
        for (int i = 0; !stop.load(); ++i) {
            setfillcolor(RGB(i & 255, 40, 200));
            fillcircle(20, 20, 12);
            solidrectangle(2, 2, 40, 30);
            clearrectangle(5, 5, 10, 10);
            line(0, 0, 63, 47);
            setlinestyle(PS_DASH, 3);
            fillpolygon(star, 5);
            outtextxy(1, 1, "ab");
            (void)getpixel(3, 3);
            (void)textwidth("abc");
            if (i % 8 == 0) cleardevice();
            if (i % 16 == 0) FlushBatchDraw();
            calls.fetch_add(1);
        }
    });
    for (int round = 0; round < kRounds; ++round) {
        HWND hwnd = initgraph(64, 48, 0);
        ASSERT_NE(hwnd, nullptr) << round;
        // Let the drawer reach the new target before the stop races it.
        long seen = calls.load();
        while (calls.load() == seen) std::this_thread::yield();
        closegraph();
    }
    stop = true;
    drawer.join();
    // Calls after the stop do nothing.
    fillcircle(20, 20, 12);
    EXPECT_EQ(getwidth(), 0);
    EXPECT_EQ(Glint::g_pGraphWnd, nullptr);
}
