// A polling loop that has found its queue empty (and so answers its next
// empty PeekMessageA without the lock) still sees every kind of work that
// arrives afterwards, from its own thread or another.
#include <gtest/gtest.h>

#include "user_test_util.h"

namespace {

using namespace usertest;

constexpr UINT kPing = WM_USER + 20;

// Peeks (with removal) until a message comes or about a second passes.
bool poll_for(MSG* m) {
    for (int i = 0; i < 1000; ++i) {
        if (PeekMessageA(m, nullptr, 0, 0, PM_REMOVE)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

TEST(UserIdlePoll, WorkArrivingAfterAnEmptyPeekIsSeen) {
    HWND w = make_window();
    ASSERT_NE(w, nullptr);
    MSG m{};
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);  // creation's own messages
    struct Case {
        const char* what;
        std::function<void()> give;
        UINT expect;  // 0: nothing is returned, the work is done inside PeekMessageA
    } cases[] = {
        {"post from another thread", [&] { std::thread([&] { PostMessageA(w, kPing, 0, 0); }).join(); }, kPing},
        {"thread message to itself", [] { PostThreadMessageA(GetCurrentThreadId(), kPing + 1, 0, 0); }, kPing + 1},
        {"post to itself", [&] { PostMessageA(w, kPing + 2, 0, 0); }, kPing + 2},
        {"key from the display", [&] { headless::KeyDown(4, 'a', 0, false, w); }, WM_KEYDOWN},
        {"quit", [] { PostQuitMessage(3); }, WM_QUIT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));  // empty: the cheap path from now on
        ASSERT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
        c.give();
        ASSERT_TRUE(poll_for(&m));
        EXPECT_EQ(m.message, c.expect);
        DispatchMessageA(&m);
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);  // a key brings more
    }
    // A message sent from another thread runs inside the idle loop's peek.
    ASSERT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    std::atomic<LRESULT> reply{-1};
    hook() = [](HWND, UINT msg, WPARAM, LPARAM, LRESULT* r) {
        if (msg != kPing + 3) return false;
        *r = 42;
        return true;
    };
    std::thread sender([&] { reply = SendMessageA(w, kPing + 3, 0, 0); });
    for (int i = 0; i < 1000 && reply == -1; ++i) {
        EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    sender.join();
    EXPECT_EQ(reply, 42);
    DestroyWindow(w);
}

}  // namespace
