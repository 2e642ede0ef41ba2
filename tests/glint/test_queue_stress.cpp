// Message flood through the input queue: a poster thread (mouse moves and
// characters), a sender of synchronous key messages and one reader mixing
// filtered and unfiltered peeks (with and without removal), waits, filtered
// and full flushes. Checks that no record falls outside the reader's filter,
// none is read twice, each channel keeps its order, a peek without removal is
// followed by the same record, and that a queue left unread keeps exactly the
// 63 oldest records. A watchdog turns a lost wake-up or deadlock into an abort.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "glint_test_util.h"

using namespace glint_test;

namespace {

constexpr long kMessages = 1000000;   // recorded by the window procedure, all channels
constexpr int kOverflowRounds = 5;    // spread over the first kMessages records
constexpr long kReads = 10000;        // records read at least, whatever the producers' lead
constexpr int kKeyModulus = 1 << 18;  // key sequence numbers: vkcode, scancode and two flag bits

// A key-down that carries a sequence number (sent keys are not translated, so
// any virtual-key code serves).
void EncodeKey(int seq, WPARAM* wp, LPARAM* lp) {
    int v = seq % kKeyModulus;
    *wp = WPARAM(v & 0xFF);
    *lp = LPARAM(((v >> 8) & 0xFF) << 16) | LPARAM(((v >> 16) & 1) << 24) | LPARAM(((v >> 17) & 1) << 30);
}
int DecodeKey(const ExMessage& m) { return m.vkcode | (m.scancode << 8) | (m.extended << 16) | (m.prevdown << 17); }

// A mouse move carries a 30-bit sequence number in its coordinates.
LPARAM EncodeMouse(int seq) { return MAKELPARAM(seq & 0x7FFF, (seq >> 15) & 0x7FFF); }
int DecodeMouse(const ExMessage& m) { return (m.x & 0x7FFF) | ((m.y & 0x7FFF) << 15); }

std::atomic<long> g_handled{0};
WNDPROC g_original = nullptr;

// Counts the records the window procedure has handled (producer throttle, end of the run).
LRESULT CALLBACK Counting(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT r = CallWindowProcA(g_original, h, msg, wp, lp);
    if (msg == WM_KEYDOWN || msg == WM_CHAR || msg == WM_MOUSEMOVE) g_handled.fetch_add(1, std::memory_order_relaxed);
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

// Handshake that parks a producer between two messages.
struct Pause {
    std::atomic<bool> requested{false};
    std::atomic<int> parked{0};
    void Park(const std::atomic<bool>& done) {
        if (!requested.load()) return;
        ++parked;
        while (requested.load() && !done.load()) std::this_thread::sleep_for(std::chrono::microseconds(100));
        --parked;
    }
};

}  // namespace

TEST(GlintQueueStress, FloodWithEveryReaderMix) {
    HWND hwnd = initgraph(64, 64, 0);
    ASSERT_NE(hwnd, nullptr);
    Settle(hwnd);
    flushmessage();
    g_original = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Counting));

    std::atomic<bool> done{false};
    std::atomic<int> lastKey{-1};            // highest key sequence number read
    std::atomic<bool> readerWaiting{false};  // inside getmessage: never hold a producer back then
    std::atomic<long> posted{0};
    Pause pause;
    std::atomic<int> failures{0};
    long keys = 0, mice = 0, chars = 0, waits = 0, overflows = 0;
    auto fail = [&](const char* what, long a, long b) {
        if (failures.fetch_add(1) < 10) std::fprintf(stderr, "flood: %s (%ld, %ld)\n", what, a, b);
    };

    std::thread poster([&] {
        int mouse = 0;
        for (long i = 0; !done.load(); ++i) {
            pause.Park(done);
            while (posted.load() - g_handled.load(std::memory_order_relaxed) > 4096 && !done.load())
                std::this_thread::yield();
            BOOL ok = (i % 4 == 3) ? PostMessageA(hwnd, WM_CHAR, WPARAM('a' + i % 26), 0)
                                   : PostMessageA(hwnd, WM_MOUSEMOVE, 0, EncodeMouse(mouse));
            if (!ok) {  // refused: the window's queue is at its quota
                std::this_thread::yield();
                --i;
                continue;
            }
            if (i % 4 != 3) ++mouse;
            ++posted;
        }
    });

    std::thread sender([&] {
        for (int seq = 0; !done.load(); ++seq) {
            pause.Park(done);
            while (seq - lastKey.load() > kKeyModulus / 4 && !readerWaiting.load() && !done.load())
                std::this_thread::yield();
            WPARAM wp;
            LPARAM lp;
            EncodeKey(seq, &wp, &lp);
            SendMessageA(hwnd, WM_KEYDOWN, wp, lp);
        }
    });

    std::atomic<bool> readerDone{false};
    std::thread reader([&] {
        Xorshift rnd;
        int lastMouse = -1, lastK = -1;
        // Checks one record read with `filter`.
        auto check = [&](const ExMessage& m, BYTE filter) {
            if (!(Glint::GetMsgType(m.message) & filter)) fail("record outside the filter", m.message, filter);
            if (m.message == WM_KEYDOWN) {
                ++keys;
                int v = DecodeKey(m);
                int step = lastK < 0 ? 1 : ((v - lastK % kKeyModulus) % kKeyModulus + kKeyModulus) % kKeyModulus;
                if (step == 0 || step >= kKeyModulus / 2) fail("key read twice or out of order", lastK, v);
                lastK += step;
                lastKey.store(lastK);
            } else if (m.message == WM_MOUSEMOVE) {
                ++mice;
                int v = DecodeMouse(m);
                if (v <= lastMouse) fail("mouse move read twice or out of order", lastMouse, v);
                lastMouse = v;
            } else if (m.message == WM_CHAR) {
                ++chars;
                if (m.ch < 'a' || m.ch > 'z') fail("bad character", m.ch, 0);
            } else {
                fail("unexpected message", m.message, 0);
            }
        };
        static const BYTE kFilters[] = {EX_KEY, EX_MOUSE, EX_CHAR, EX_KEY | EX_CHAR, EX_MOUSE | EX_KEY, 0xFF};
        ExMessage m, again;
        long nextOverflow = kMessages / (kOverflowRounds + 1);
        while (g_handled.load() < kMessages || keys + mice + chars < kReads) {
            uint32_t r = rnd() % 100;
            BYTE filter = kFilters[rnd() % 6];
            if (r < 35) {
                if (peekmessage(&m, filter, true)) check(m, filter);
            } else if (r < 55) {
                // A peek without removal is followed by the same record.
                if (peekmessage(&m, filter, false)) {
                    BYTE second = (r & 1) ? filter : BYTE(0xFF);
                    if (!peekmessage(&again, second, true) || std::memcmp(&m, &again, sizeof m) != 0)
                        fail("peeked record changed before it was taken", m.message, again.message);
                    else
                        check(again, filter);
                }
            } else if (r < 80) {
                if (filter == EX_CHAR) filter = EX_CHAR | EX_MOUSE;  // characters may be flushed out for long
                ++waits;
                readerWaiting = true;
                getmessage(&m, filter);
                readerWaiting = false;
                check(m, filter);
            } else if (r < 96) {
                flushmessage(filter == 0xFF ? BYTE(EX_CHAR) : filter);
            } else {
                flushmessage(0xFF);
            }

            if (overflows < kOverflowRounds && g_handled.load() >= nextOverflow) {
                // With the producers parked and nobody reading, 70 clicks leave
                // exactly the first 63 in the queue.
                nextOverflow += kMessages / (kOverflowRounds + 1);
                pause.requested = true;
                while (pause.parked.load() < 2) std::this_thread::yield();
                Settle(hwnd);
                flushmessage(0xFF);
                for (int i = 0; i < 70; ++i) PostMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(i, 0));
                Settle(hwnd);
                int n = 0;
                while (peekmessage(&m, 0xFF, true)) {
                    if (m.message != WM_LBUTTONDOWN || m.x != n) fail("overflow kept the wrong record", n, m.x);
                    ++n;
                }
                if (n != 63) fail("overflow kept a wrong number of records", n, 63);
                ++overflows;
                pause.requested = false;
            }
        }
        readerDone = true;
    });

    // Watchdog: a lost wake-up or a deadlock leaves the reader blocked.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(240);
    while (!readerDone.load() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (!readerDone.load()) {
        std::fprintf(stderr, "flood: reader blocked (handled %ld)\n", g_handled.load());
        std::fflush(stderr);
        std::abort();
    }
    done = true;
    reader.join();
    poster.join();
    sender.join();
    std::printf("flood: %ld records, read %ld keys, %ld mouse moves, %ld characters; %ld waits, %ld overflow rounds\n",
                g_handled.load(), keys, mice, chars, waits, overflows);
    EXPECT_EQ(failures.load(), 0);
    EXPECT_GE(g_handled.load(), kMessages);
    EXPECT_GE(keys + mice + chars, kReads);
    EXPECT_GT(keys, 0);
    EXPECT_GT(mice, 0);
    EXPECT_GT(chars, 0);
    EXPECT_EQ(overflows, kOverflowRounds);
    closegraph();
}
