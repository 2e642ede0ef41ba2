// A reader blocked in getmessage while another thread closes the window (with
// or without stopping the layer) or opens it again: the reader returns an
// empty record, the other thread's call returns, and the next window serves
// readers as usual. Every wait here is bounded; a hang is reported and ends
// the test process, since a thread stuck inside the layer cannot be undone.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "glint_test_util.h"

namespace {

using Clock = std::chrono::steady_clock;

void Hung(const char* what, int round) {
    ADD_FAILURE() << what << " did not return (round " << round << ")";
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(1);
}

// Waits (real time) until `flag` is set.
void Await(const std::atomic<bool>& flag, const char* what, int round) {
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (!flag.load()) {
        if (Clock::now() > deadline) Hung(what, round);
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
}

// Waits until the thread sits in a wait without time limit: a reader there
// has found the queue empty and waits for the window thread's signal.
void AwaitBlocked(const std::atomic<DWORD>& tid, int round) {
    while (!tid.load()) std::this_thread::yield();
    if (!headless::WaitIdle(tid.load(), 10000)) Hung("the reader never blocked", round);
}

enum class Closing { StopTheLayer, ImageKeepsTheLayer, OpenAgain };

}  // namespace

TEST(GlintReaderClose, BlockedReaderReturnsEmptyWhenAnotherThreadCloses) {
    struct Case {
        const char* name;
        Closing how;
    };
    const Case cases[] = {
        {"closegraph stops the layer", Closing::StopTheLayer},
        {"closegraph with an image alive", Closing::ImageKeepsTheLayer},
        {"initgraph again", Closing::OpenAgain},
    };
    constexpr int kRounds = 8;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (int round = 0; round < kRounds; ++round) {
            IMAGE* keep = c.how == Closing::ImageKeepsTheLayer ? new IMAGE(2, 2) : nullptr;
            HWND hwnd = initgraph(64, 48, 0);
            ASSERT_NE(hwnd, nullptr);
            glint_test::Settle(hwnd);
            flushmessage();

            std::atomic<DWORD> readerTid{0};
            std::atomic<bool> readerDone{false};
            ExMessage got;
            got.message = 0xFFFF;
            std::thread reader([&] {
                readerTid = GetCurrentThreadId();
                got = getmessage(EX_KEY);
                readerDone = true;
            });
            AwaitBlocked(readerTid, round);

            std::atomic<bool> closerDone{false};
            HWND reopened = nullptr;
            std::thread closer([&] {
                if (c.how == Closing::OpenAgain)
                    reopened = initgraph(64, 48, 0);
                else
                    closegraph();
                closerDone = true;
            });
            Await(closerDone, "the closing call", round);
            Await(readerDone, "the blocked reader", round);
            closer.join();
            reader.join();
            EXPECT_EQ(got.message, 0) << round;  // the empty record of a closed window
            EXPECT_FALSE(IsWindow(hwnd)) << round;

            if (c.how == Closing::OpenAgain) {
                // The new window wakes a new reader as usual.
                ASSERT_NE(reopened, nullptr);
                std::atomic<bool> done{false};
                ExMessage key;
                std::thread r2([&] {
                    key = getmessage(EX_KEY);
                    done = true;
                });
                PostMessageA(reopened, WM_KEYDOWN, VK_F2, 0);
                Await(done, "a reader of the new window", round);
                r2.join();
                EXPECT_EQ(key.message, WM_KEYDOWN);
                EXPECT_EQ(key.vkcode, VK_F2);
                closegraph();
            }
            delete keep;
            EXPECT_EQ(Glint::g_iDeviceCount, 0) << round;
        }
    }
}

// A reader that keeps calling getmessage while the program opens and closes
// the window again and again: neither the opening's handshake nor the
// closing may be disturbed by the reader's wake-up requests, and each key
// posted to an open window reaches the reader.
TEST(GlintReaderClose, ReaderLoopingAcrossOpenAndClose) {
#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
    constexpr int kRounds = 40;
#else
    constexpr int kRounds = 150;
#endif
    std::atomic<bool> stop{false};
    std::atomic<int> keys{0};
    std::atomic<int> wrong{0};
    std::thread reader([&] {
        while (!stop.load()) {
            ExMessage m = getmessage(EX_KEY);
            if (m.message == WM_KEYDOWN)
                keys.fetch_add(1);
            else if (m.message == 0)
                std::this_thread::yield();  // no window: answered at once
            else
                wrong.fetch_add(1);
        }
    });
    std::atomic<bool> finished{false};
    std::atomic<int> round{0};
    std::thread program([&] {
        for (int r = 0; r < kRounds; ++r) {
            round = r;
            HWND hwnd = initgraph(32, 24, 0);
            if (!hwnd) break;
            int before = keys.load();
            PostMessageA(hwnd, WM_KEYDOWN, VK_F4, 0);
            // The key is taken by the reader before the window goes (bounded:
            // a lost key shows as a count below the number of rounds).
            const auto deadline = Clock::now() + std::chrono::seconds(5);
            while (keys.load() == before && Clock::now() < deadline) std::this_thread::yield();
            if (r % 2) {
                closegraph();
            } else {
                IMAGE keep(1, 1);  // this time the layer survives the close
                closegraph();
            }
        }
        finished = true;
    });
    const auto deadline = Clock::now() + std::chrono::seconds(120);
    while (!finished.load()) {
        if (Clock::now() > deadline) Hung("opening or closing with a looping reader", round.load());
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    program.join();
    stop = true;
    reader.join();
    EXPECT_EQ(keys.load(), kRounds);
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_EQ(Glint::g_iDeviceCount, 0);
}
