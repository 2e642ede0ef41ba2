// After each platform test, the state it leaves in the process is put back to
// how a fresh process starts, so that the tests also pass one after another
// in a single process: the windows of the recording procedure that the test
// left on the main thread are destroyed (a window class still in use cannot be
// unregistered, and a left window may hold the focus), the main thread's
// pending input is dispatched (input injected into its windows and never
// pumped would keep every later idle wait busy), the mouse capture is
// released, the recording procedure forgets what it received and its
// behaviour hook, and the virtual clock is on again.
#include <gtest/gtest.h>

#include <set>

#include "user_test_util.h"

namespace {

class FreshUserState : public testing::EmptyTestEventListener {
    void OnTestEnd(const testing::TestInfo&) override {
        usertest::hook() = nullptr;  // no hook of the ended test runs from here on
        std::set<HWND> left;
        {
            std::lock_guard<std::mutex> lock(usertest::log_mutex());
            for (const usertest::Received& r : usertest::log())
                if (r.thread == GetCurrentThreadId()) left.insert(r.hwnd);
        }
        for (HWND w : left)
            if (IsWindow(w) && GetWindowThreadProcessId(w, nullptr) == GetCurrentThreadId()) DestroyWindow(w);
        MSG m;
        // Bounded: a timer left running keeps producing messages.
        for (int i = 0; i < 10000 && PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE); ++i) {
            if (m.message == WM_QUIT) continue;
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
        ReleaseCapture();
        {
            std::lock_guard<std::mutex> lock(usertest::log_mutex());
            usertest::log().clear();
        }
        headless::Use(/*virtual_clock=*/true);
    }
};

const bool kRegistered = [] {
    testing::UnitTest::GetInstance()->listeners().Append(new FreshUserState);
    return true;
}();

}  // namespace
