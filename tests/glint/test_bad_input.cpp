// Bad input over the public API: extreme coordinates, NaN and infinite angles
// and ratios, zero, negative and enormous sizes, counts and widths, broken
// GBK text, very long texts, images of impossible sizes. Every call must
// return (a watchdog aborts on one that hangs), leave the layer usable, and
// raise no sanitizer report in the sanitizer builds. The slowest call is
// printed for the record.
#include <gtest/gtest.h>

#include <graphics.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Case {
    const char* name;
    std::function<void()> run;              // the timed call
    std::function<void()> prepare = {};     // untimed set-up and clean-up around it
    std::function<void()> finish = {};
};

constexpr int kMin = INT_MIN, kMax = INT_MAX;
std::unique_ptr<IMAGE> g_big;  // the large image of the flood-fill case
const double kNaN = std::nan(""), kInf = HUGE_VAL;

std::vector<Case> DrawingCases() {
    static POINT extreme[5] = {{kMin, kMin}, {kMax, kMin}, {kMax, kMax}, {kMin, kMax}, {0, 0}};
    static POINT few[4] = {{1, 1}, {30, 5}, {12, 25}, {2, 20}};
    static const std::string longText(100000, 'W');
    static const std::string longGbk = [] {
        std::string s;
        while (s.size() < 100000) s += "\xC4\xE3\xBA\xC3 ";  // two GBK characters and a space
        return s;
    }();
    std::vector<Case> c = {
        {"line corners", [] { line(kMin, kMin, kMax, kMax); line(kMax, kMin, kMin, kMax); }},
        {"rectangles at extremes",
         [] {
             rectangle(kMin, kMin, kMax, kMax);
             fillrectangle(kMin, kMin, kMax, kMax);
             clearrectangle(kMax, kMax, kMin, kMin);
         }},
        {"circles at extremes",
         [] {
             circle(kMax, kMax, kMax);
             fillcircle(kMin, kMin, kMax);
             clearcircle(0, 0, kMin);
             circle(10, 10, -5);
         }},
        {"ellipses at extremes",
         [] {
             ellipse(kMin, kMin, kMax, kMax);
             fillellipse(kMax, kMax, kMin, kMin);
             clearellipse(kMin, 0, kMax, 0);
         }},
        {"round rectangles with extreme corners",
         [] {
             roundrect(kMin, kMin, kMax, kMax, kMax, kMax);
             fillroundrect(0, 0, 40, 30, kMin, kMin);
             clearroundrect(0, 0, 40, 30, kMax, 0);
         }},
        {"arcs with NaN and infinite angles",
         [] {
             arc(0, 0, 40, 30, kNaN, kNaN);
             arc(0, 0, 40, 30, kInf, -kInf);
             fillpie(0, 0, 40, 30, kNaN, 1.0);
             clearpie(0, 0, 40, 30, 1e300, -1e300);
             pie(0, 0, 40, 30, -kInf, kNaN);
         }},
        {"arcs at extremes", [] { arc(kMin, kMin, kMax, kMax, 0.5, 2.5); clearpie(kMax, kMax, kMin, kMin, 1, 2); }},
        {"pixels at extremes",
         [] {
             putpixel(kMin, kMax, RED);
             (void)getpixel(kMax, kMin);
             (void)getpixel(-1, -1);
         }},
        {"polygons with bad counts",
         [] {
             polygon(few, 0);
             polygon(few, -7);
             fillpolygon(nullptr, 0);
             polyline(few, 1);
             polyline(few, -1);
             polybezier(few, 2);
             polybezier(few, 0);
             solidpolygon(few, 1);
         }},
        {"filled polygons at extremes", [] { clearpolygon(extreme, 4); solidpolygon(extreme, 5); }},
        {"flood fill at extremes", [] { floodfill(kMin, kMax, RED, 0); floodfill(kMax, kMin, RED, 1); }},
        {"batch flush rectangles",
         [] {
             FlushBatchDraw(kMin, kMin, kMax, kMax);
             FlushBatchDraw(kMax, kMax, kMin, kMin);
             FlushBatchDraw(10, 10, 5, 5);
         }},
        {"text at extremes",
         [] {
             outtextxy(kMin, kMin, "abc");
             outtextxy(kMax, kMax, "abc");
             outtextxy(kMax - 3, 0, "\xC4\xE3");
             outtextxy(kMin + 1, kMax - 1, 'x');
         }},
        {"broken GBK",
         [] {
             outtextxy(0, 0, "ab\x81");  // a lone lead byte at the end
             outtextxy(0, 0, "\x81");
             outtextxy(0, 0, "\xFF\xFF\x80\x7F\x81\x20");
             (void)textwidth("\x81");
             (void)textheight("ab\xFE");
             RECT r = {0, 0, 40, 30};
             drawtext("\x81\x81\x81\x81\x81", &r, DT_WORDBREAK);
         }},
        {"100,000-byte text", [] { outtextxy(0, 0, longText.c_str()); }},
        {"100,000-byte GBK text", [] { outtextxy(-5, 5, longGbk.c_str()); }},
        {"width of a 100,000-byte text", [] { (void)textwidth(longText.c_str()); }},
        {"width of a 100,000-byte GBK text", [] { (void)textwidth(longGbk.c_str()); }},
        {"100,000-byte text drawn into a rectangle",
         [] {
             RECT rect = {0, 0, 40, 30};
             drawtext(longText.c_str(), &rect, DT_LEFT);
         }},
        {"100,000-byte GBK text wrapped into a rectangle",
         [] {
             RECT rect = {0, 0, 40, 30};
             drawtext(longGbk.c_str(), &rect, DT_WORDBREAK);
         }},
        {"extreme fonts",
         [] {
             settextstyle(kMax, kMax, "System");
             outtextxy(0, 0, "ab");
             settextstyle(kMin, kMin, nullptr);
             outtextxy(0, 0, "ab");
             settextstyle(0, -1, "");
             outtextxy(0, 0, "ab");
             settextstyle(16, 0, "System");
         }},
        {"extreme origins",
         [] {
             setorigin(kMax, kMin);
             fillcircle(5, 5, 5);
             outtextxy(kMax, kMax, "a");
             line(kMin, 0, kMax, 0);
             setorigin(0, 0);
         }},
        {"line styles with extreme widths and dashes",
         [] {
             DWORD dashes[2] = {0, 0};
             setlinestyle(PS_USERSTYLE, 1, dashes, 2);
             line(0, 0, 40, 30);
             setlinestyle(PS_SOLID, -5);
             line(0, 0, 40, 30);
             setlinestyle(PS_DASH, 0);
             rectangle(1, 1, 30, 20);
             setlinestyle(PS_USERSTYLE, 1, nullptr, 0);
             line(0, 0, 40, 30);
             setlinestyle(PS_SOLID, 1);
         }},
        {"fill styles with bad values",
         [] {
             setfillstyle(BS_HATCHED, -1);
             fillrectangle(0, 0, 20, 20);
             setfillstyle(BS_HATCHED, 1000);
             fillrectangle(0, 0, 20, 20);
             setfillstyle(12345, 0);
             fillrectangle(0, 0, 20, 20);
             setfillstyle(BS_PATTERN, 0, nullptr);
             fillrectangle(0, 0, 20, 20);
             setfillstyle(BS_SOLID);
         }},
        {"bad modes",
         [] {
             setrop2(0);
             setrop2(1000);
             line(0, 0, 30, 30);
             setrop2(R2_COPYPEN);
             setbkmode(-3);
             outtextxy(0, 0, "a");
             setbkmode(TRANSPARENT);
             setpolyfillmode(99);
             fillpolygon(few, 4);
             setpolyfillmode(ALTERNATE);
         }},
    };
    // Ratios: NaN, infinities, zero, negative and enormous scales, each
    // followed by the shapes and text that go through the transform.
    static const float kRatios[][2] = {{NAN, NAN}, {INFINITY, -INFINITY}, {0, 0}, {-1, -1}, {1, 1e-30f},
                                       {1e30f, 1e30f}, {1, 1e30f}, {1e-30f, 1e30f}};
    for (const auto& r : kRatios) {
        float x = r[0], y = r[1];
        c.push_back({"shapes after an extreme aspect ratio", [x, y] {
                         setaspectratio(x, y);
                         fillpolygon(few, 4);
                         polygon(few, 4);
                         fillcircle(10, 10, 8);
                         fillellipse(0, 0, 40, 30);
                         line(0, 0, 40, 30);
                         outtextxy(2, 2, "ab\xC4\xE3");
                         clearrectangle(0, 0, 40, 30);
                         solidpie(0, 0, 40, 30, 0.5, 2);
                         setaspectratio(1, 1);
                     }});
    }
    return c;
}

// Calls whose cost is the GDI engine's: wide pens, huge point sets and
// pattern floods, each bounded by what can land on the surface.
std::vector<Case> EngineCases() {
    static POINT extreme[5] = {{kMin, kMin}, {kMax, kMin}, {kMax, kMax}, {kMin, kMax}, {0, 0}};
    static std::vector<POINT> many = [] {
        std::vector<POINT> v(100000);
        for (size_t i = 0; i < v.size(); ++i)
            v[i] = {(i & 1) ? kMax : kMin, (i & 2) ? kMax - int(i) : kMin + int(i)};
        return v;
    }();
    return {
        {"outlined polygons at extremes", [] { polygon(extreme, 5); fillpolygon(extreme, 5); polyline(extreme, 5); }},
        {"outlined pie after setaspectratio(1, 1e30)",
         [] {
             setaspectratio(1, 1e30f);
             fillpie(0, 0, 40, 30, 0.5, 2);
             setaspectratio(1, 1);
         }},
        {"fillpolygon with 100,000 extreme points", [] { fillpolygon(many.data(), int(many.size())); }},
        {"polyline with 100,000 extreme points", [] { polyline(many.data(), int(many.size())); }},
        {"pie with the widest line",
         [] {
             setlinestyle(PS_SOLID, kMax);
             pie(0, 0, 40, 30, 0.5, 2);
             line(0, 0, 10, 10);
             setlinestyle(PS_SOLID, 1);
         }},
        {"bezier with line width 10,000",
         [] {
             POINT b[4] = {{0, 0}, {10, 40}, {30, -10}, {40, 30}};
             setlinestyle(PS_SOLID, 10000);
             polybezier(b, 4);
             setlinestyle(PS_SOLID, 1);
         }},
        {"patterned flood fill of 4000 x 4000", [] { floodfill(2000, 2000, WHITE, 0); },
         [] {
             g_big.reset(new IMAGE(4000, 4000));  // 64 MB to clear: not part of the fill's time
             SetWorkingImage(g_big.get());
             setfillstyle(BS_HATCHED, HS_CROSS);
         },
         [] {
             SetWorkingImage(NULL);
             g_big.reset();
         }},
    };
}

// Runs the cases, each under a watchdog; returns the slowest.
struct Timing {
    std::string name;
    double ms = 0;
};

std::atomic<const char*> g_current{nullptr};
std::atomic<long> g_started{0};

void RunAll(const std::vector<Case>& cases, const char* target, Timing* slowest) {
    for (const Case& c : cases) {
        g_current = c.name;
        ++g_started;
        if (c.prepare) c.prepare();
        auto t0 = Clock::now();
        c.run();
        double ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
        if (c.finish) c.finish();
        if (ms > 50) std::printf("bad input: %.1f ms: %s (%s)\n", ms, c.name, target);
        if (ms > slowest->ms) {
            slowest->ms = ms;
            slowest->name = std::string(c.name) + " (" + target + ")";
        }
    }
    g_current = nullptr;
}

// Aborts when one case runs longer than the limit: a hang, not a slow call.
class Watchdog {
public:
    explicit Watchdog(int limit_s) : m_thread([this, limit_s] {
        long seen = -1;
        auto since = Clock::now();
        while (!m_stop.load()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            long now = g_started.load();
            if (now != seen) {
                seen = now;
                since = Clock::now();
            } else if (g_current.load() && Clock::now() - since > std::chrono::seconds(limit_s)) {
                std::fprintf(stderr, "bad input: \"%s\" did not return within %d s\n", g_current.load(), limit_s);
                std::fflush(stderr);
                std::abort();
            }
        }
    }) {}
    ~Watchdog() {
        m_stop = true;
        m_thread.join();
    }

private:
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

}  // namespace

TEST(GlintBadInput, EveryCallReturnsOnTheWindowAndOnAnImage) {
    Watchdog dog(30);
    ASSERT_NE(initgraph(64, 48, 0), nullptr);
    Timing slowest;
    std::vector<Case> cases = DrawingCases();
    std::vector<Case> engine = EngineCases();
    cases.insert(cases.end(), engine.begin(), engine.end());
    RunAll(cases, "window", &slowest);
    IMAGE img(50, 40);
    SetWorkingImage(&img);
    RunAll(cases, "image", &slowest);
    SetWorkingImage(NULL);
    std::printf("bad input: slowest call %.1f ms: %s\n", slowest.ms, slowest.name.c_str());

    // The layer still draws as usual afterwards.
    graphdefaults();
    setfillcolor(RGB(1, 2, 3));
    solidrectangle(0, 0, 3, 3);
    EXPECT_EQ(getpixel(2, 2), RGB(1, 2, 3));
    closegraph();
}

TEST(GlintBadInput, ImagesOfImpossibleSizes) {
    Watchdog dog(30);
    const int sizes[][2] = {{0, 0},     {0, 50},      {-1, -1},         {-100, 20},       {20, -5},
                            {kMin, kMin}, {kMax, kMax}, {5, kMin}, {1, kMax}, {100000, 100000}};
    for (const auto& s : sizes) {
        g_current = "image of an impossible size";
        ++g_started;
        IMAGE img(s[0], s[1]);
        // A negative size gets no pixels, like an empty one.
        if (s[0] <= 0 || s[1] <= 0) {
            EXPECT_EQ(GetImageBuffer(&img), nullptr) << s[0] << " x " << s[1];
        }
        SetWorkingImage(&img);
        cleardevice();
        fillcircle(5, 5, 5);
        outtextxy(0, 0, "ab");
        (void)getpixel(0, 0);
        IMAGE copy(img);  // a copy of it
        IMAGE other(3, 3);
        other = img;
        Resize(&other, s[0], s[1]);
        Resize(&other, 4, 4);
        SetWorkingImage(NULL);
    }
    g_current = nullptr;
    // The layer started by the first image stopped with the last one.
    EXPECT_EQ(GetWorkingImage(), nullptr);
    EXPECT_EQ(getwidth(), 0);
}
