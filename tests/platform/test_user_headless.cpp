// The headless test API: input injection, focus, and WaitIdle.
#include <gtest/gtest.h>
#include <SDL2/SDL_keycode.h>

#include <chrono>

#include "user_test_util.h"
#include "kernel/kernel_internal.h"
#include "window_registry.h"
#include "windowsx.h"

namespace {

using namespace usertest;
using namespace std::chrono_literals;

std::vector<MSG> drain(HWND w) {
    std::vector<MSG> out;
    MSG m;
    while (PeekMessageA(&m, w, 0, 0, PM_REMOVE)) out.push_back(m);
    return out;
}

TEST(UserHeadless, TypeStringPressesUsKeysAndCommitsOtherText) {
    HWND w = make_window();
    drain(w);
    headless::TypeString(u8"aB!\n\u4e2d\u6587x", w);
    std::vector<WPARAM> downs, ups;
    std::string chars;
    for (const MSG& m : drain(w)) {
        if (m.message == WM_KEYDOWN) downs.push_back(m.wParam);
        if (m.message == WM_KEYUP) ups.push_back(m.wParam);
        if (m.message == WM_CHAR) chars.push_back(char(m.wParam));
    }
    EXPECT_EQ(downs, (std::vector<WPARAM>{'A', 'B', '1', VK_RETURN, 'X'}));
    EXPECT_EQ(ups, downs);
    EXPECT_EQ(chars, "aB!\xD6\xD0\xCE\xC4x");  // the Chinese run arrives as GBK bytes
}

TEST(UserHeadless, PressKeyTypesNoTextWithControlHeld) {
    HWND w = make_window();
    drain(w);
    headless::PressKey(SDLK_c, KMOD_LCTRL, w);
    headless::PressKey(SDLK_SLASH, KMOD_LSHIFT, w);
    std::string chars;
    int downs = 0;
    for (const MSG& m : drain(w)) {
        if (m.message == WM_KEYDOWN) ++downs;
        if (m.message == WM_CHAR) chars.push_back(char(m.wParam));
    }
    EXPECT_EQ(downs, 2);
    EXPECT_EQ(chars, "?");
}

TEST(UserHeadless, InputGoesToTheFocusedWindowWhenNoTargetIsGiven) {
    HWND a = make_window(), b = make_window();
    ShowWindow(a, SW_SHOW);
    ShowWindow(b, SW_SHOW);
    drain(nullptr);
    headless::MouseDown(1, 3, 4);
    auto msgs = drain(nullptr);
    ASSERT_FALSE(msgs.empty());
    EXPECT_EQ(msgs.back().hwnd, b);
    EXPECT_EQ(msgs.back().message, UINT(WM_LBUTTONDOWN));
    EXPECT_EQ(msgs.back().lParam, MAKELPARAM(3, 4));
    headless::Focus(b, false);
    EXPECT_EQ(headless::FocusedWindow(), nullptr);
    drain(nullptr);
    headless::MouseDown(1, 3, 4);  // nobody focused: dropped
    EXPECT_TRUE(drain(nullptr).empty());
    headless::Focus(a, true);
    EXPECT_EQ(headless::FocusedWindow(), a);
    EXPECT_EQ(GetActiveWindow(), a);
}

TEST(UserHeadless, WheelAndMoveCarryClientCoordinates) {
    HWND w = make_window();
    drain(w);
    headless::MouseWheel(1, 10, 20, w);
    headless::MouseMove(-5, 7, 1, w);
    auto msgs = drain(w);
    ASSERT_EQ(msgs.size(), 2u);
    EXPECT_EQ(msgs[0].message, UINT(WM_MOUSEWHEEL));
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(msgs[0].wParam), 120);
    POINT p{GET_X_LPARAM(msgs[0].lParam), GET_Y_LPARAM(msgs[0].lParam)};
    ScreenToClient(w, &p);  // the message carries screen coordinates, as on Windows
    EXPECT_EQ(p.x, 10);
    EXPECT_EQ(p.y, 20);
    EXPECT_EQ(GET_X_LPARAM(msgs[1].lParam), -5);
}

TEST(UserHeadless, CloseBoxHonoursADisabledCloseCommand) {
    HWND w = make_window();
    drain(w);
    headless::CloseBox(w);
    auto msgs = drain(w);
    ASSERT_EQ(msgs.size(), 1u);
    EXPECT_EQ(msgs[0].message, UINT(WM_CLOSE));

    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_NOCLOSE;
    wc.lpfnWndProc = RecordingProc;
    wc.lpszClassName = "NoCloseWnd";
    RegisterClassExA(&wc);
    HWND n = CreateWindowExA(0, "NoCloseWnd", "", kStyle, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
    drain(n);
    headless::CloseBox(n);
    EXPECT_TRUE(drain(n).empty());
}

TEST(UserHeadless, ReadClientAndPresentCountOfUnknownWindows) {
    std::vector<uint32_t> px{1, 2, 3};
    int wdt = -1;
    EXPECT_FALSE(headless::ReadClient(reinterpret_cast<HWND>(uintptr_t(0x99)), &px, &wdt, nullptr));
    EXPECT_EQ(wdt, -1);
    EXPECT_EQ(headless::PresentCount(reinterpret_cast<HWND>(uintptr_t(0x99))), 0u);
    // Injection into a bad target is dropped without harm.
    headless::KeyDown(4, 'a', 0, false, reinterpret_cast<HWND>(uintptr_t(0x99)));
    EXPECT_EQ(plat::pending_backend_events(), 0u);
}

TEST(UserHeadless, WaitIdleNeedsABlockedThread) {
    // Unknown thread: never idle.
    EXPECT_FALSE(headless::WaitIdle(0xFFFFFF00u, 100));
    // A thread in a short polling sleep is idle; one in long sleeps is not.
    std::atomic<bool> stop{false};
    std::atomic<DWORD> poller{0}, sleeper{0}, spinner{0};
    std::thread p([&] {
        poller = GetCurrentThreadId();
        while (!stop) Sleep(10);
    });
    std::thread s([&] {
        sleeper = GetCurrentThreadId();
        while (!stop) Sleep(1000);
    });
    std::thread b([&] {
        spinner = GetCurrentThreadId();
        Sleep(1);  // known, then busy
        while (!stop) std::this_thread::yield();
    });
    while (!poller || !sleeper || !spinner) std::this_thread::yield();
    EXPECT_TRUE(headless::WaitIdle(poller, 5000));
    EXPECT_FALSE(headless::WaitIdle(sleeper, 200));
    EXPECT_FALSE(headless::WaitIdle(spinner, 200));
    stop = true;
    p.join();
    s.join();
    b.join();
}

TEST(UserHeadless, WaitIdleCountsAnInfiniteWaitAsIdle) {
    HANDLE ev = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    std::atomic<DWORD> tid{0};
    std::thread t([&] {
        tid = GetCurrentThreadId();
        Sleep(1);
        WaitForSingleObject(ev, INFINITE);
    });
    while (!tid) std::this_thread::yield();
    EXPECT_TRUE(headless::WaitIdle(tid, 5000));
    SetEvent(ev);
    t.join();
    CloseHandle(ev);
}

TEST(UserHeadless, WaitIdleWaitsUntilInjectedInputIsDispatched) {
    std::atomic<bool> handled{false};
    hook() = [&](HWND, UINT m, WPARAM, LPARAM, LRESULT*) {
        if (m == WM_KEYDOWN) {
            // Short sleeps inside the handler look like an idle polling loop;
            // only the dispatch bookkeeping tells them apart.
            for (int i = 0; i < 5; ++i) {
                Sleep(1);
                std::this_thread::sleep_for(2ms);
            }
            handled = true;
        }
        return false;
    };
    WindowThread wt;
    ASSERT_TRUE(headless::WaitIdle(wt.tid(), 5000));
    headless::PressKey(SDLK_q, 0, wt.hwnd());
    ASSERT_TRUE(headless::WaitIdle(wt.tid(), 5000));
    EXPECT_TRUE(handled.load());
    EXPECT_EQ(plat::pending_backend_events(), 0u);
    EXPECT_FALSE(received(WM_KEYUP).empty());  // the whole press was dispatched
}

TEST(UserHeadless, WaitIdleLetsAWokenReaderFinishBeforeReportingIdle) {
    // The program thread waits for input on an event that the window's
    // procedure signals (how a blocking read of input works).
    HANDLE ev = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    hook() = [&](HWND, UINT m, WPARAM, LPARAM, LRESULT*) {
        if (m == WM_KEYDOWN) SetEvent(ev);
        return false;
    };
    WindowThread wt;
    std::atomic<int> handled{0};
    std::atomic<bool> stop{false};
    std::atomic<DWORD> reader{0};
    std::thread t([&] {
        reader = GetCurrentThreadId();
        for (;;) {
            WaitForSingleObject(ev, INFINITE);
            if (stop) break;
            std::this_thread::sleep_for(30ms);  // work that is not a blocking call
            ++handled;
        }
    });
    while (!reader) std::this_thread::yield();
    ASSERT_TRUE(headless::WaitIdle(reader, 5000));
    EXPECT_EQ(handled.load(), 0);
    headless::KeyDown(SDL_SCANCODE_A, SDLK_a, 0, false, wt.hwnd());
    ASSERT_TRUE(headless::WaitIdle(reader, 5000));
    EXPECT_EQ(handled.load(), 1);
    headless::KeyDown(SDL_SCANCODE_A, SDLK_a, 0, true, wt.hwnd());
    ASSERT_TRUE(headless::WaitIdle(reader, 5000));
    EXPECT_EQ(handled.load(), 2);
    stop = true;
    SetEvent(ev);
    t.join();
    CloseHandle(ev);
}

// A thread whose wait was just satisfied must not look idle before it runs.
TEST(UserHeadless, SignallingAWaiterMarksItBusyAtOnce) {
    using plat::kernel::BlockKind;
    HANDLE ev = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    std::atomic<DWORD> tid{0};
    std::atomic<HWND> w{nullptr};
    std::thread t([&] {
        tid = GetCurrentThreadId();
        w = make_window();
        WaitForSingleObject(ev, INFINITE);
        std::this_thread::sleep_for(50ms);  // busy, but not in a blocking call
        MSG m;
        GetMessageA(&m, nullptr, 0, 0);
        std::this_thread::sleep_for(50ms);
    });
    auto kind = [&] {
        plat::kernel::BlockSnapshot snap;
        plat::kernel::block_snapshot(tid, &snap);
        return snap.kind;
    };
    while (!tid || kind() != BlockKind::InfiniteWait) std::this_thread::yield();
    SetEvent(ev);
    EXPECT_NE(kind(), BlockKind::InfiniteWait);
    for (int i = 0; i < 5000 && !(kind() == BlockKind::InfiniteWait); ++i) std::this_thread::sleep_for(1ms);
    ASSERT_EQ(kind(), BlockKind::InfiniteWait);  // now in GetMessageA
    PostMessageA(w, WM_USER, 0, 0);
    EXPECT_NE(kind(), BlockKind::InfiniteWait);
    t.join();
    CloseHandle(ev);
}

TEST(UserHeadless, WaitIdleIsNotFooledByAThreadBlockedInGetMessage) {
    // The window's thread blocks in GetMessageA; input for it must still be
    // dispatched before the program thread counts as idle.
    std::atomic<HWND> w{nullptr};
    std::atomic<DWORD> owner{0};
    std::thread t([&] {
        w = make_window();
        owner = GetCurrentThreadId();
        MSG m;
        while (GetMessageA(&m, nullptr, 0, 0) > 0) DispatchMessageA(&m);
    });
    while (!w || !owner) std::this_thread::yield();  // owner is set after w
    ASSERT_TRUE(headless::WaitIdle(owner, 5000));
    headless::MouseMove(1, 2, 0, w);
    headless::MouseMove(3, 4, 0, w);
    ASSERT_TRUE(headless::WaitIdle(owner, 5000));
    EXPECT_EQ(plat::pending_backend_events(), 0u);
    EXPECT_EQ(received(WM_MOUSEMOVE).size(), 2u);
    PostMessageA(w, WM_QUIT, 0, 0);
    t.join();
}

TEST(UserHeadless, PendingInputOfAThreadThatEndsIsForgotten) {
    std::atomic<HWND> w{nullptr};
    std::atomic<bool> leave{false};
    std::thread owner([&] {
        w = make_window();
        while (!leave) std::this_thread::sleep_for(1ms);  // never pumps
    });
    while (!w) std::this_thread::yield();
    headless::KeyDown(4, 'a', 0, false, w);
    EXPECT_EQ(plat::pending_backend_events(), 1u);
    std::atomic<DWORD> poller{0};
    std::atomic<bool> stop{false};
    std::thread p([&] {
        poller = GetCurrentThreadId();
        while (!stop) Sleep(5);
    });
    while (!poller) std::this_thread::yield();
    EXPECT_FALSE(headless::WaitIdle(poller, 150));  // input still undispatched
    leave = true;
    owner.join();
    EXPECT_EQ(plat::pending_backend_events(), 0u);
    EXPECT_TRUE(headless::WaitIdle(poller, 5000));
    stop = true;
    p.join();
}

}  // namespace
