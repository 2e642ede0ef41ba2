// Input messages: recording, the bounded queue, category filters, waiting
// readers and the record fields.
#include <SDL2/SDL_keycode.h>
#include <SDL2/SDL_scancode.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "glint_test_util.h"

using namespace glint_test;

namespace {
class GlintMsg : public testing::Test {
protected:
    void SetUp() override { Open(0); }
    void TearDown() override { closegraph(); }
    void Open(int flag) {
        hwnd = initgraph(300, 240, flag);
        ASSERT_NE(hwnd, nullptr);
        Settle(hwnd);
        flushmessage();  // the window messages of the opening
    }
    // Every queued record, oldest first, without removing them for good.
    std::vector<ExMessage> Drain() {
        std::vector<ExMessage> out;
        ExMessage m;
        while (peekmessage(&m, 0xFF, true)) out.push_back(m);
        return out;
    }
    void Post(UINT message, WPARAM wp, LPARAM lp) { ASSERT_TRUE(PostMessageA(hwnd, message, wp, lp)); }
    HWND hwnd = nullptr;
};
}  // namespace

// Function keys make no character messages: one record per posted key-down.
TEST_F(GlintMsg, SeventyKeyDownsLeaveTheFirstSixtyThree) {
    for (int i = 0; i < 70; ++i) Post(WM_KEYDOWN, VK_F5, LPARAM(i) << 16);
    Settle(hwnd);
    std::vector<ExMessage> got = Drain();
    ASSERT_EQ(got.size(), 63u);
    for (int i = 0; i < 63; ++i) {
        EXPECT_EQ(got[i].message, WM_KEYDOWN);
        EXPECT_EQ(got[i].vkcode, VK_F5);
        EXPECT_EQ(got[i].scancode, i);
    }
    // Room again once messages are taken out.
    Post(WM_KEYDOWN, VK_F6, 0);
    Settle(hwnd);
    got = Drain();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].vkcode, VK_F6);
}

TEST_F(GlintMsg, RealKeyPressesFillTheQueueToSixtyThree) {
    for (int i = 0; i < 70; ++i) headless::PressKey(SDLK_a, 0, hwnd);
    Settle(hwnd);
    std::vector<ExMessage> got = Drain();
    ASSERT_EQ(got.size(), 63u);
    EXPECT_EQ(got[0].message, WM_KEYDOWN);
    EXPECT_EQ(got[0].vkcode, 'A');
    EXPECT_EQ(got[0].scancode, 0x1E);
    EXPECT_EQ(got[1].message, WM_CHAR);
    EXPECT_EQ(got[1].ch, 'a');
    EXPECT_EQ(got[2].message, WM_KEYUP);
}

TEST_F(GlintMsg, PeekDiscardsOtherCategoriesInFront) {
    Post(WM_MOUSEMOVE, 0, MAKELPARAM(5, 6));
    Post(WM_CHAR, 'x', 0);
    Post(WM_KEYDOWN, VK_F7, 0);
    Settle(hwnd);
    ExMessage m;
    // Null record, all categories, not removed: true and nothing changes.
    EXPECT_TRUE(peekmessage(nullptr, 0xFF, false));
    EXPECT_EQ(Glint::g_pGraphWnd->m_MsgQueue.Size(), 3u);

    ASSERT_TRUE(peekmessage(&m, EX_KEY, false));
    EXPECT_EQ(m.message, WM_KEYDOWN);
    EXPECT_EQ(m.vkcode, VK_F7);
    ASSERT_TRUE(peekmessage(&m, 0xFF, false));  // the key-down stayed in front
    EXPECT_EQ(m.message, WM_KEYDOWN);

    ASSERT_TRUE(peekmessage(&m, EX_KEY, true));
    EXPECT_EQ(m.vkcode, VK_F7);
    EXPECT_FALSE(peekmessage(&m, 0xFF, false));
    EXPECT_FALSE(peekmessage(&m, EX_KEY, true));
}

TEST_F(GlintMsg, FilteredFlushKeepsTheRestInOrder) {
    Post(WM_KEYDOWN, VK_F1, 0);
    Post(WM_CHAR, 'a', 0);
    Post(WM_MOUSEMOVE, 0, MAKELPARAM(1, 2));
    Post(WM_KEYUP, VK_F1, 0);
    Post(WM_CHAR, 'b', 0);
    Post(WM_SIZE, 0, MAKELPARAM(300, 240));
    Settle(hwnd);
    flushmessage(EX_KEY);
    std::vector<ExMessage> got = Drain();
    ASSERT_EQ(got.size(), 4u);
    EXPECT_EQ(got[0].message, WM_CHAR);
    EXPECT_EQ(got[0].ch, 'a');
    EXPECT_EQ(got[1].message, WM_MOUSEMOVE);
    EXPECT_EQ(got[2].message, WM_CHAR);
    EXPECT_EQ(got[2].ch, 'b');
    EXPECT_EQ(got[3].message, WM_SIZE);
    EXPECT_EQ(got[3].lParam, MAKELPARAM(300, 240));

    // Filters whose four low bits are set mean every category.
    Post(WM_KEYDOWN, VK_F1, 0);
    Post(WM_CHAR, 'a', 0);
    Settle(hwnd);
    flushmessage(0x0F);
    EXPECT_FALSE(peekmessage(nullptr, 0xFF, false));
    // A flushed queue accepts new records behind the kept ones.
    Post(WM_CHAR, 'c', 0);
    Post(WM_KEYDOWN, VK_F2, 0);
    Settle(hwnd);
    flushmessage(EX_MOUSE | EX_KEY);
    Post(WM_CHAR, 'd', 0);
    Settle(hwnd);
    got = Drain();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].ch, 'c');
    EXPECT_EQ(got[1].ch, 'd');
}

TEST_F(GlintMsg, WaitingReaderIgnoresOtherCategoriesAndWakesOnItsOwn) {
    DWORD reader = GetCurrentThreadId();
    std::thread user([&] {
        ASSERT_TRUE(headless::WaitIdle(reader, 10000));
        headless::MouseMove(10, 10, 0, hwnd);
        headless::MouseMove(20, 20, 0, hwnd);
        headless::PressKey(SDLK_b, 0, hwnd);
    });
    ExMessage m = getmessage(EX_KEY);
    user.join();
    EXPECT_EQ(m.message, WM_KEYDOWN);
    EXPECT_EQ(m.vkcode, 'B');
    Settle(hwnd);
    // The character and key-up that follow were recorded (the filter is back
    // to every category); the mouse moves were not.
    ExMessage next;
    ASSERT_TRUE(peekmessage(&next, 0xFF, false));
    EXPECT_EQ(next.message, WM_CHAR);
    EXPECT_EQ(Glint::g_pGraphWnd->m_MsgQueue.Size(), 2u);
    getmessage(&m, EX_KEY);  // discards the character
    EXPECT_EQ(m.message, WM_KEYUP);
    EXPECT_EQ(m.vkcode, 'B');
    EXPECT_FALSE(peekmessage(nullptr));
}

TEST_F(GlintMsg, ReaderTakesAQueuedMessageWithoutWaiting) {
    Post(WM_MOUSEMOVE, 0, 0);
    Post(WM_CHAR, 'z', 0);
    Post(WM_CHAR, 'y', 0);
    Settle(hwnd);
    ExMessage m;
    getmessage(&m, EX_CHAR);
    EXPECT_EQ(m.message, WM_CHAR);
    EXPECT_EQ(m.ch, 'z');
    getmessage(nullptr, 0xFF);  // a null record takes a message too
    EXPECT_FALSE(peekmessage(nullptr));
}

TEST_F(GlintMsg, ReaderIsWokenEveryTime) {
    std::atomic<int> taken{0};
    std::atomic<bool> stop{false};
    std::thread poster([&] {
        for (int i = 0; i < 300 && !stop; ++i) {
            while (taken.load() < i && !stop) std::this_thread::yield();
            if (i % 3 == 0) std::this_thread::sleep_for(std::chrono::microseconds(200));
            PostMessageA(hwnd, WM_KEYDOWN, VK_F3, LPARAM(i & 0xFF) << 16);
        }
    });
    for (int i = 0; i < 300; ++i) {
        ExMessage m = getmessage(EX_KEY);
        ASSERT_EQ(m.scancode, i & 0xFF);
        taken = i + 1;
    }
    stop = true;
    poster.join();
}

TEST_F(GlintMsg, AltXGivesKeyDownAndKeyUpRecordsOnly) {
    headless::KeyDown(SDL_SCANCODE_LALT, SDLK_LALT, KMOD_LALT, false, hwnd);
    headless::KeyDown(SDL_SCANCODE_X, SDLK_x, KMOD_LALT, false, hwnd);
    headless::KeyUp(SDL_SCANCODE_X, SDLK_x, KMOD_LALT, hwnd);
    headless::KeyUp(SDL_SCANCODE_LALT, SDLK_LALT, 0, hwnd);
    Settle(hwnd);
    std::vector<ExMessage> got = Drain();
    ASSERT_EQ(got.size(), 4u);
    EXPECT_EQ(got[0].message, WM_KEYDOWN);
    EXPECT_EQ(got[0].vkcode, VK_MENU);
    EXPECT_EQ(got[1].message, WM_KEYDOWN);
    EXPECT_EQ(got[1].vkcode, 'X');
    EXPECT_EQ(got[2].message, WM_KEYUP);
    EXPECT_EQ(got[2].vkcode, 'X');
    EXPECT_EQ(got[3].message, WM_KEYUP);
    EXPECT_EQ(got[3].vkcode, VK_MENU);
    EXPECT_TRUE(IsWindow(hwnd));
}

TEST_F(GlintMsg, KeyRecordFields) {
    // lParam: repeat 1, scan code 0x4B, extended, previously down.
    Post(WM_KEYDOWN, VK_LEFT, LPARAM(1 | (0x4B << 16) | (1 << 24) | (1 << 30)));
    Post(WM_SYSKEYUP, VK_F10, LPARAM(1 | (0x44 << 16) | (1u << 31)));
    Settle(hwnd);
    std::vector<ExMessage> got = Drain();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].vkcode, VK_LEFT);
    EXPECT_EQ(got[0].scancode, 0x4B);
    EXPECT_TRUE(got[0].extended);
    EXPECT_TRUE(got[0].prevdown);
    EXPECT_EQ(got[1].message, WM_KEYUP);
    EXPECT_EQ(got[1].vkcode, VK_F10);
    EXPECT_FALSE(got[1].extended);
    EXPECT_FALSE(got[1].prevdown);
}

TEST_F(GlintMsg, MouseRecordsAndWheelInClientCoordinates) {
    headless::MoveWindowTo(200, 150, hwnd);
    Settle(hwnd);
    flushmessage();
    headless::MouseMove(12, 34, 1, hwnd);
    headless::MouseWheel(1, 30, 40, hwnd);
    headless::MouseWheel(-2, 7, 8, hwnd);
    Settle(hwnd);
    std::vector<ExMessage> got = Drain();
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0].message, WM_MOUSEMOVE);
    EXPECT_EQ(got[0].x, 12);
    EXPECT_EQ(got[0].y, 34);
    EXPECT_TRUE(got[0].lbutton);
    EXPECT_FALSE(got[0].rbutton);
    EXPECT_EQ(got[0].wheel, 0);
    EXPECT_EQ(got[1].message, WM_MOUSEWHEEL);
    EXPECT_EQ(got[1].wheel, 120);
    EXPECT_EQ(got[1].x, 30);
    EXPECT_EQ(got[1].y, 40);
    EXPECT_EQ(got[2].wheel, -240);
    EXPECT_EQ(got[2].x, 7);
}

TEST_F(GlintMsg, CaptureGivesCoordinatesOutsideTheClientArea) {
    setcapture();
    headless::MouseMove(-15, 10, 0, hwnd);
    Settle(hwnd);
    releasecapture();
    ExMessage m;
    ASSERT_TRUE(peekmessage(&m, EX_MOUSE));
    EXPECT_EQ(m.x, -15);
    EXPECT_EQ(m.y, 10);
}

TEST_F(GlintMsg, DoubleClicksOnlyWithTheFlag) {
    headless::MouseDown(1, 5, 5, 1, hwnd);
    headless::MouseUp(1, 5, 5, hwnd);
    headless::MouseDown(1, 5, 5, 2, hwnd);
    Settle(hwnd);
    std::vector<ExMessage> got = Drain();
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[2].message, WM_LBUTTONDOWN);
    closegraph();

    Open(EX_DBLCLKS);
    headless::MouseDown(1, 5, 5, 1, hwnd);
    headless::MouseUp(1, 5, 5, hwnd);
    headless::MouseDown(1, 5, 5, 2, hwnd);
    Settle(hwnd);
    got = Drain();
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[2].message, WM_LBUTTONDBLCLK);
}

TEST_F(GlintMsg, WindowMessagesAndTheQueueAcrossReopening) {
    headless::MoveWindowTo(40, 50, hwnd);
    Settle(hwnd);
    ExMessage m;
    ASSERT_TRUE(peekmessage(&m, EX_WINDOW));
    EXPECT_EQ(m.message, WM_MOVE);
    flushmessage();
    Post(WM_CHAR, 'k', 0);
    Settle(hwnd);
    // A second initgraph reuses the window object and its queue.
    hwnd = initgraph(100, 100, 0);
    Settle(hwnd);
    ASSERT_TRUE(peekmessage(&m, EX_CHAR));
    EXPECT_EQ(m.ch, 'k');
}

TEST(GlintQueue, DequeueOnEmptyThrows4306AndCapacityIs63) {
    Glint::Common::Collections::FixedQueue<ExMessage> q;
    try {
        q.Dequeue();
        FAIL() << "no exception";
    } catch (long e) {
        EXPECT_EQ(e, 4306);
    }
    ExMessage m;
    std::memset(&m, 0, sizeof m);
    for (int i = 0; i < 100; ++i) {
        m.message = USHORT(i);
        q.Enqueue(m);
    }
    EXPECT_TRUE(q.IsFull());
    EXPECT_EQ(q.Size(), 63u);
    EXPECT_EQ(q.Front().message, 0);
    // Clearing moves the head to the tail: the indices keep going round.
    q.Clear();
    EXPECT_TRUE(q.IsEmpty());
    for (int i = 0; i < 10; ++i) {
        m.message = USHORT(200 + i);
        q.Enqueue(m);
    }
    EXPECT_EQ(q.Size(), 10u);
    EXPECT_EQ(q.Front().message, 200);
}

TEST(GlintQueue, MessageCategories) {
    EXPECT_EQ(Glint::GetMsgType(WM_MOUSEMOVE), EX_MOUSE);
    EXPECT_EQ(Glint::GetMsgType(WM_MOUSEWHEEL), EX_MOUSE);
    EXPECT_EQ(Glint::GetMsgType(0x020B), 0);
    EXPECT_EQ(Glint::GetMsgType(WM_KEYDOWN), EX_KEY);
    EXPECT_EQ(Glint::GetMsgType(WM_SYSKEYDOWN), 0);
    EXPECT_EQ(Glint::GetMsgType(WM_CHAR), EX_CHAR);
    EXPECT_EQ(Glint::GetMsgType(WM_ACTIVATE), EX_WINDOW);
    EXPECT_EQ(Glint::GetMsgType(WM_PAINT), 0);
}

// Arming the wake-up and testing for a queued message are one step on the
// window thread: a wanted message that arrived before the request is found
// there, nothing is armed, and other categories go on being recorded.
TEST_F(GlintMsg, ArmingFindsAMessageThatArrivedFirst) {
    Post(WM_MOUSEMOVE, 0, 0);
    Post(WM_KEYDOWN, VK_F9, 0);
    Settle(hwnd);
    EXPECT_EQ(SendMessageA(hwnd, MSG_WAITMSG, EX_KEY, 0), 1);
    Post(WM_CHAR, 'q', 0);
    Settle(hwnd);
    std::vector<ExMessage> got = Drain();
    ASSERT_EQ(got.size(), 2u);  // the mouse move in front was dropped by the filter
    EXPECT_EQ(got[0].vkcode, VK_F9);
    EXPECT_EQ(got[1].message, WM_CHAR);

    // With nothing queued it arms: other categories are not recorded until
    // the next wanted one, which signals the event.
    ResetEvent(Glint::g_pGraphWnd->m_hEvent);
    EXPECT_EQ(SendMessageA(hwnd, MSG_WAITMSG, EX_KEY, 0), 0);
    Post(WM_CHAR, 'r', 0);
    Post(WM_KEYUP, VK_F9, 0);
    Post(WM_CHAR, 's', 0);
    Settle(hwnd);
    EXPECT_EQ(WaitForSingleObject(Glint::g_pGraphWnd->m_hEvent, 0), WAIT_OBJECT_0);
    got = Drain();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].message, WM_KEYUP);
    EXPECT_EQ(got[1].ch, 's');
}
