// Images made and destroyed on several threads at once: every image counts
// one device, so the count after the threads is what it was before, the layer
// is neither started twice nor stopped while an image is alive, and it stops
// with the last image. The sanitizer builds turn a lost count (a use after
// free, a leak) or an unguarded count (a data race) into a failure.
#include <atomic>
#include <thread>
#include <vector>

#include "glint_test_util.h"

namespace {

#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
constexpr int kIterations = 150;
#else
constexpr int kIterations = 5000;
#endif
constexpr int kThreads = 4;

// One thread's work: images made, copied, assigned, resized and written
// while the layer must stay up; returns how often the layer was seen down
// while this thread held an image.
int Churn(int seed) {
    int down = 0;
    for (int i = 0; i < kIterations; ++i) {
        IMAGE a(3 + (i + seed) % 5, 2);
        {
            Glint::GdiLock lock;
            if (!Glint::g_pGraphWnd || Glint::g_iDeviceCount < 2) ++down;
        }
        IMAGE b(a);  // copy construction counts one more
        IMAGE c;
        c = b;
        c.Resize(6, 6);
        GetImageBuffer(&c)[35] = DWORD(i);
        if (i % 3 == 0) {
            IMAGE* d = new IMAGE(1, 1);
            delete d;
        }
    }
    return down;
}

int RunThreads() {
    std::atomic<int> down{0};
    std::atomic<int> ready{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            ready.fetch_add(1);
            while (ready.load() < kThreads) std::this_thread::yield();  // start together
            down.fetch_add(Churn(t));
        });
    for (std::thread& th : threads) th.join();
    return down.load();
}

}  // namespace

// An image of the main thread keeps the layer up: the threads' images come
// and go on top of it, and the layer object is the same one afterwards.
TEST(GlintDeviceCount, ImagesOnSeveralThreadsWhileTheLayerIsKept) {
    {
        IMAGE keep(2, 2);
        Glint::GraphWnd* wnd = Glint::g_pGraphWnd;
        ASSERT_NE(wnd, nullptr);
        ASSERT_EQ(Glint::g_iDeviceCount, 2);  // the image and the back buffer
        EXPECT_EQ(RunThreads(), 0);
        EXPECT_EQ(Glint::g_iDeviceCount, 2);
        EXPECT_EQ(Glint::g_pGraphWnd, wnd);  // never stopped and started again
        GetImageBuffer(&keep)[3] = 7;      // still a live surface
    }
    EXPECT_EQ(Glint::g_iDeviceCount, 0);
    EXPECT_EQ(Glint::g_pGraphWnd, nullptr);
}

// Nothing else alive: the threads' own images start and stop the layer over
// and over, racing one another; no image ever finds the layer down, and the
// last one stops it. The same with the window open.
TEST(GlintDeviceCount, ImagesOnSeveralThreadsStartAndStopTheLayer) {
    EXPECT_EQ(RunThreads(), 0);
    EXPECT_EQ(Glint::g_iDeviceCount, 0);
    EXPECT_EQ(Glint::g_pGraphWnd, nullptr);

    HWND hwnd = initgraph(40, 30, 0);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(RunThreads(), 0);
    EXPECT_EQ(Glint::g_iDeviceCount, 2);  // initgraph and the back buffer
    EXPECT_TRUE(IsWindow(hwnd));
    closegraph();
    EXPECT_EQ(Glint::g_iDeviceCount, 0);
    EXPECT_EQ(Glint::g_pGraphWnd, nullptr);
}
