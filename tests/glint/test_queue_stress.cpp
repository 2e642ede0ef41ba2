// Stress of the input queue shared by the window thread (recording) and one
// reader thread mixing peeks, waits, filtered and full flushes. Checks that
// no record is replayed or torn (key sequence numbers strictly increase),
// that nothing deadlocks and that no wake-up is lost (a watchdog).
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "glint_test_util.h"

using namespace glint_test;

namespace {

#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
constexpr int kMessages = 300000;
#else
constexpr int kMessages = 2000000;
#endif
constexpr int kKeys = kMessages / 4 * 3;  // every fourth message is a character
constexpr int kModulus = 24 * 1024;  // sequence numbers carried by a key record

// A key-down that carries a sequence number in its virtual key (one of the
// 24 function keys, which make no character), scan code and two flag bits.
void Encode(int seq, WPARAM* wp, LPARAM* lp) {
    int v = seq % kModulus;
    *wp = WPARAM(VK_F1 + (v >> 10));
    *lp = LPARAM((v & 0xFF) << 16) | LPARAM(((v >> 8) & 1) << 24) | LPARAM(((v >> 9) & 1) << 30);
}

int Decode(const ExMessage& m) {
    return ((m.vkcode - VK_F1) << 10) | (m.prevdown << 9) | (m.extended << 8) | m.scancode;
}

std::atomic<long> g_handled{0};
WNDPROC g_original = nullptr;

// Counts the messages the window procedure has handled (producer throttle).
LRESULT CALLBACK Counting(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT r = CallWindowProcA(g_original, h, msg, wp, lp);
    if (msg == WM_KEYDOWN || msg == WM_CHAR) g_handled.fetch_add(1, std::memory_order_relaxed);
    return r;
}

struct Xorshift {
    uint32_t s = 0x9E3779B9u;
    uint32_t operator()() {
        s ^= s << 13;
        s ^= s >> 17;
        s ^= s << 5;
        return s;
    }
};

}  // namespace

TEST(GlintQueueStress, OneRecorderOneReaderNoReplayNoTearNoLostWakeUp) {
    HWND hwnd = initgraph(64, 64, 0);
    ASSERT_NE(hwnd, nullptr);
    Settle(hwnd);
    flushmessage();
    g_original = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Counting));

    std::atomic<int> lastSeen{-1};  // highest key sequence number read
    std::atomic<bool> readerDone{false};
    std::atomic<bool> readerWaiting{false};  // the reader is inside getmessage
    std::atomic<long> keysRead{0}, charsRead{0}, waits{0};
    std::atomic<int> failures{0};
    auto fail = [&](const char* what, int a, int b) {
        if (failures.fetch_add(1) < 10) std::fprintf(stderr, "stress: %s (%d, %d)\n", what, a, b);
    };

    std::thread producer([&] {
        long posted = 0;
        int seq = 0;
        for (int i = 0; !readerDone.load(); ++i) {
            // Bounded lead over the window thread and over the reader (keeps the
            // sequence numbers within their modulus); a reader blocked in
            // getmessage is never held up, it waits for the next message.
            while ((posted - g_handled.load(std::memory_order_relaxed) > 2048 ||
                    (seq - lastSeen.load() > 8192 && !readerWaiting.load())) &&
                   !readerDone.load())
                std::this_thread::yield();
            if (seq >= kKeys) std::this_thread::sleep_for(std::chrono::microseconds(500));  // tail: keep waking
            if (i % 4 == 3) {
                PostMessageA(hwnd, WM_CHAR, WPARAM('a' + i % 26), 0);
            } else {
                WPARAM wp;
                LPARAM lp;
                Encode(seq++, &wp, &lp);
                PostMessageA(hwnd, WM_KEYDOWN, wp, lp);
            }
            ++posted;
        }
    });

    std::thread reader([&] {
        Xorshift rnd;
        int last = -1;
        auto check = [&](const ExMessage& m) {
            if (m.message == WM_CHAR) {
                ++charsRead;
                if (m.ch < 'a' || m.ch > 'z') fail("bad character", m.ch, 0);
                return;
            }
            if (m.message != WM_KEYDOWN) {
                fail("unexpected message", m.message, 0);
                return;
            }
            ++keysRead;
            int v = Decode(m);
            if (m.vkcode < VK_F1 || m.vkcode > VK_F24) fail("torn key record", m.vkcode, v);
            int step = last < 0 ? 1 : ((v - last % kModulus) % kModulus + kModulus) % kModulus;
            if (step == 0 || step >= kModulus / 2) fail("sequence went back or repeated", last, v);
            last += step;
            lastSeen.store(last);
        };
        ExMessage m, again;
        while (last < kKeys) {
            uint32_t r = rnd() % 100;
            if (r < 30) {
                if (peekmessage(&m, 0xFF, true)) check(m);
            } else if (r < 45) {
                BYTE filter = (r & 1) ? EX_KEY : EX_CHAR;
                if (peekmessage(&m, filter, false)) {
                    if (!peekmessage(&again, 0xFF, true) || std::memcmp(&m, &again, sizeof m) != 0)
                        fail("peeked record changed before it was taken", m.message, again.message);
                    else
                        check(again);
                }
            } else if (r < 85) {
                BYTE filter = r < 65 ? EX_KEY : r < 75 ? 0xFF : EX_CHAR;
                ++waits;
                readerWaiting = true;
                getmessage(&m, filter);
                readerWaiting = false;
                check(m);
            } else if (r < 93) {
                flushmessage(EX_CHAR);
            } else if (r < 97) {
                flushmessage(EX_KEY);
            } else {
                flushmessage(0xFF);
            }
        }
        readerDone = true;
    });

    // Watchdog: a lost wake-up or a deadlock leaves the reader blocked.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (!readerDone.load() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (!readerDone.load()) {
        std::fprintf(stderr, "stress: reader blocked at sequence %d (keys %ld, chars %ld)\n", lastSeen.load(),
                     keysRead.load(), charsRead.load());
        std::fflush(stderr);
        std::abort();
    }
    reader.join();
    producer.join();
    std::printf("stress: %ld messages recorded, %ld keys and %ld characters read, %ld waits\n", g_handled.load(),
                keysRead.load(), charsRead.load(), waits.load());
    EXPECT_EQ(failures.load(), 0);
    EXPECT_GT(keysRead.load(), kMessages / 200);
    EXPECT_GT(charsRead.load(), 0);
    closegraph();
}
