// Window classes, window creation and geometry, surfaces, text, bad handles.
#include <gtest/gtest.h>

#include "user_test_util.h"
#include "window_registry.h"
#include "window_surface.h"

namespace {

using namespace usertest;

TEST(UserClasses, RegisterTwiceFailsAndNamesIgnoreCase) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = RecordingProc;
    wc.lpszClassName = "MyClass";
    ATOM atom = RegisterClassExA(&wc);
    EXPECT_NE(atom, 0);
    SetLastError(0);
    wc.lpszClassName = "MYCLASS";
    EXPECT_EQ(RegisterClassExA(&wc), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CLASS_ALREADY_EXISTS));

    WNDCLASSEXA info{};
    info.cbSize = sizeof info;
    EXPECT_TRUE(GetClassInfoExA(nullptr, "myclass", &info));
    EXPECT_EQ(info.lpfnWndProc, &RecordingProc);
    EXPECT_EQ(info.style, UINT(CS_DBLCLKS));
    EXPECT_STREQ(info.lpszClassName, "MyClass");
    EXPECT_TRUE(GetClassInfoExA(nullptr, MAKEINTATOM(atom), &info));  // by atom

    HWND w = CreateWindowExA(0, "myCLASS", "", kStyle, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(w, nullptr);
    SetLastError(0);
    EXPECT_FALSE(UnregisterClassA("MyClass", nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CLASS_HAS_WINDOWS));
    DestroyWindow(w);
    EXPECT_TRUE(UnregisterClassA("MyClass", nullptr));
    EXPECT_FALSE(GetClassInfoExA(nullptr, "MyClass", &info));
    EXPECT_FALSE(UnregisterClassA("MyClass", nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CLASS_DOES_NOT_EXIST));
    wc.lpszClassName = "MyClass";
    EXPECT_NE(RegisterClassExA(&wc), 0);  // can be registered again
}

TEST(UserClasses, InvalidRegistrationsAndUnknownClasses) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc - 1;
    wc.lpfnWndProc = RecordingProc;
    wc.lpszClassName = "X";
    EXPECT_EQ(RegisterClassExA(&wc), 0);  // wrong cbSize
    wc.cbSize = sizeof wc;
    wc.lpszClassName = nullptr;
    EXPECT_EQ(RegisterClassExA(&wc), 0);
    EXPECT_EQ(RegisterClassExA(nullptr), 0);
    SetLastError(0);
    EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CANNOT_FIND_WND_CLASS));
}

TEST(UserWindows, CreationSendsNcCreateThenCreateWithTheParameter) {
    register_class();
    int param = 5;
    void* seen = nullptr;
    hook() = [&](HWND, UINT m, WPARAM, LPARAM l, LRESULT*) {
        if (m == WM_CREATE) seen = reinterpret_cast<CREATESTRUCTA*>(l)->lpCreateParams;
        return false;
    };
    HWND w = CreateWindowExA(0, kClass, "t", kStyle, 10, 20, 200, 100, nullptr, nullptr, nullptr, &param);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(seen, &param);
    std::vector<UINT> order;
    {
        std::lock_guard<std::mutex> lock(log_mutex());
        for (auto& r : log()) order.push_back(r.msg);
    }
    ASSERT_GE(order.size(), 2u);
    EXPECT_EQ(order[0], UINT(WM_NCCREATE));
    EXPECT_EQ(order[1], UINT(WM_CREATE));
    EXPECT_FALSE(IsWindowVisible(w));  // not WS_VISIBLE
}

TEST(UserWindows, FailingCreateMessagesCancelCreation) {
    register_class();
    hook() = [](HWND, UINT m, WPARAM, LPARAM, LRESULT* r) {
        if (m != WM_CREATE) return false;
        *r = -1;
        return true;
    };
    EXPECT_EQ(CreateWindowExA(0, kClass, "", kStyle, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr), nullptr);
    ASSERT_EQ(received(WM_DESTROY).size(), 1u);
    EXPECT_FALSE(IsWindow(received(WM_DESTROY)[0].hwnd));
    hook() = [](HWND, UINT m, WPARAM, LPARAM, LRESULT* r) {
        if (m != WM_NCCREATE) return false;
        *r = FALSE;
        return true;
    };
    EXPECT_EQ(CreateWindowExA(0, kClass, "", kStyle, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr), nullptr);
    // The class is free again: no window of it is left.
    EXPECT_TRUE(UnregisterClassA(kClass, nullptr));
}

TEST(UserWindows, AdjustedOuterSizeGivesExactlyTheRequestedClientArea) {
    const DWORD styles[] = {WS_CAPTION | WS_SYSMENU, WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, WS_OVERLAPPEDWINDOW,
                            WS_POPUP, WS_POPUP | WS_BORDER};
    for (DWORD style : styles) {
        RECT r{0, 0, 300, 240};
        ASSERT_TRUE(AdjustWindowRectEx(&r, style, FALSE, 0));
        EXPECT_LE(r.left, 0);
        EXPECT_LE(r.top, 0);
        HWND w = CreateWindowExA(0, (register_class(), kClass), "", style, 40, 50, r.right - r.left,
                                 r.bottom - r.top, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(w, nullptr);
        RECT client{}, outer{};
        GetClientRect(w, &client);
        GetWindowRect(w, &outer);
        EXPECT_EQ(client.right, 300) << std::hex << style;
        EXPECT_EQ(client.bottom, 240) << std::hex << style;
        EXPECT_EQ(outer.left, 40);
        EXPECT_EQ(outer.top, 50);
        EXPECT_EQ(outer.right - outer.left, r.right - r.left);
        POINT origin{0, 0};
        ClientToScreen(w, &origin);
        EXPECT_EQ(origin.x, 40 - r.left);
        EXPECT_EQ(origin.y, 50 - r.top);
        std::vector<uint32_t> px;
        int pw = 0, ph = 0;
        ASSERT_TRUE(headless::ReadClient(w, &px, &pw, &ph));
        EXPECT_EQ(pw, 300);
        EXPECT_EQ(ph, 240);
        ASSERT_EQ(px.size(), 300u * 240u);
        EXPECT_EQ(std::count(px.begin(), px.end(), 0u), 300 * 240);  // starts black
        DestroyWindow(w);
    }
    // A caption adds a title bar.
    RECT cap{0, 0, 10, 10}, pop{0, 0, 10, 10};
    AdjustWindowRectEx(&cap, WS_CAPTION, FALSE, 0);
    AdjustWindowRectEx(&pop, WS_POPUP, FALSE, 0);
    EXPECT_LT(cap.top, pop.top);
    EXPECT_FALSE(AdjustWindowRectEx(nullptr, WS_CAPTION, FALSE, 0));
}

TEST(UserWindows, DefaultPositionAndScreenClientConversions) {
    HWND w = make_window(300, 240);
    RECT outer;
    GetWindowRect(w, &outer);
    EXPECT_EQ(outer.left, 100);  // the headless default for a captioned window
    EXPECT_EQ(outer.top, 100);
    POINT p{5, 7};
    ASSERT_TRUE(ClientToScreen(w, &p));
    EXPECT_EQ(p.x, 101 + 5);
    EXPECT_EQ(p.y, 124 + 7);
    ASSERT_TRUE(ScreenToClient(w, &p));
    EXPECT_EQ(p.x, 5);
    EXPECT_EQ(p.y, 7);
    POINT q{0, 0};
    ScreenToClient(w, &q);  // left of and above the client area
    EXPECT_EQ(q.x, -101);
    EXPECT_EQ(q.y, -124);
}

void paint(HWND w, uint32_t value) {
    plat::SurfaceView v;
    ASSERT_TRUE(plat::lock_window_surface(w, &v));
    for (int i = 0; i < v.width * v.height; ++i) v.pixels[i] = value + uint32_t(i);
    plat::unlock_window_surface(w);
}

TEST(UserWindows, ResizingKeepsTheOverlappingPixels) {
    HWND w = make_window(4, 3);
    paint(w, 100);  // pixel (x, y) = 100 + y * 4 + x
    RECT before;
    GetWindowRect(w, &before);
    RECT grow{0, 0, 6, 5};
    AdjustWindowRectEx(&grow, kStyle, FALSE, 0);
    ASSERT_TRUE(SetWindowPos(w, nullptr, 999, 999, grow.right - grow.left, grow.bottom - grow.top,
                             SWP_NOMOVE | SWP_NOZORDER));
    RECT after;
    GetWindowRect(w, &after);
    EXPECT_EQ(after.left, before.left);  // SWP_NOMOVE
    EXPECT_EQ(after.top, before.top);
    std::vector<uint32_t> px;
    int pw, ph;
    ASSERT_TRUE(headless::ReadClient(w, &px, &pw, &ph));
    ASSERT_EQ(pw, 6);
    ASSERT_EQ(ph, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) {
            uint32_t expect = (x < 4 && y < 3) ? 100u + uint32_t(y * 4 + x) : 0u;
            EXPECT_EQ(px[size_t(y * 6 + x)], expect) << x << "," << y;
        }
    // The window learnt its new size.
    auto sizes = received(WM_SIZE);
    ASSERT_FALSE(sizes.empty());
    EXPECT_EQ(LOWORD(sizes.back().lp), 6);
    EXPECT_EQ(HIWORD(sizes.back().lp), 5);

    RECT shrink{0, 0, 2, 2};
    AdjustWindowRectEx(&shrink, kStyle, FALSE, 0);
    MoveWindow(w, 7, 8, shrink.right - shrink.left, shrink.bottom - shrink.top, TRUE);
    ASSERT_TRUE(headless::ReadClient(w, &px, &pw, &ph));
    EXPECT_EQ(px, (std::vector<uint32_t>{100, 101, 104, 105}));
    GetWindowRect(w, &after);
    EXPECT_EQ(after.left, 7);
    EXPECT_EQ(after.top, 8);

    // SWP_NOSIZE only moves.
    SetWindowPos(w, nullptr, 30, 40, 1, 1, SWP_NOSIZE | SWP_NOZORDER);
    RECT client;
    GetClientRect(w, &client);
    EXPECT_EQ(client.right, 2);
    GetWindowRect(w, &after);
    EXPECT_EQ(after.left, 30);
}

TEST(UserWindows, ResizeFromAnotherThreadPostsTheNotification) {
    WindowThread wt;
    RECT r{0, 0, 50, 60};
    AdjustWindowRectEx(&r, kStyle, FALSE, 0);
    ASSERT_TRUE(SetWindowPos(wt.hwnd(), nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE));
    RECT client;
    GetClientRect(wt.hwnd(), &client);  // applied at once
    EXPECT_EQ(client.right, 50);
    EXPECT_EQ(client.bottom, 60);
    ASSERT_TRUE(headless::WaitIdle(wt.tid(), 5000));
    for (int i = 0; i < 1000 && received(WM_SIZE).empty(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    auto sizes = received(WM_SIZE);
    ASSERT_FALSE(sizes.empty());
    EXPECT_EQ(sizes.back().thread, wt.tid());  // handled by the owner
    EXPECT_EQ(sizes.back().lp, MAKELPARAM(50, 60));
}

TEST(UserWindows, SurfaceChangesArePresentedOnlyInsideTheClientArea) {
    HWND w = make_window(20, 10);
    uint64_t base = headless::PresentCount(w);
    plat::window_surface_changed(w, RECT{0, 0, 5, 5});
    EXPECT_EQ(headless::PresentCount(w), base + 1);
    plat::window_surface_changed(w, RECT{30, 30, 40, 40});  // outside
    plat::window_surface_changed(w, RECT{5, 5, 5, 9});      // empty
    EXPECT_EQ(headless::PresentCount(w), base + 1);
    plat::window_surface_changed(nullptr, RECT{0, 0, 1, 1});
    EXPECT_EQ(headless::PresentCount(nullptr), 0u);
}

TEST(UserWindows, ShowingFocusesAndFirstShowReportsGeometry) {
    HWND a = make_window(), b = make_window();
    EXPECT_FALSE(ShowWindow(a, SW_SHOW));  // was hidden
    EXPECT_TRUE(IsWindowVisible(a));
    EXPECT_TRUE(ShowWindow(a, SW_SHOWNORMAL));
    EXPECT_EQ(headless::FocusedWindow(), a);
    EXPECT_EQ(GetActiveWindow(), a);
    ASSERT_EQ(received(WM_SIZE).size(), 1u);
    EXPECT_EQ(received(WM_SIZE)[0].lp, MAKELPARAM(300, 240));
    ASSERT_EQ(received(WM_MOVE).size(), 1u);
    EXPECT_EQ(received(WM_MOVE)[0].lp, MAKELPARAM(101, 124));
    ShowWindow(b, SW_SHOW);
    EXPECT_EQ(headless::FocusedWindow(), b);
    EXPECT_TRUE(ShowWindow(b, SW_HIDE));
    EXPECT_FALSE(IsWindowVisible(b));
    EXPECT_EQ(headless::FocusedWindow(), nullptr);
    ShowWindow(b, SW_SHOW);
    EXPECT_EQ(received(WM_SIZE).size(), 2u);  // once per window
}

TEST(UserWindows, UserDraggingTheWindowUpdatesItsPosition) {
    HWND w = make_window();
    ShowWindow(w, SW_SHOW);
    headless::MoveWindowTo(300, 200);  // the focused window
    RECT r;
    GetWindowRect(w, &r);
    EXPECT_EQ(r.left, 300);
    EXPECT_EQ(r.top, 200);
    POINT p{0, 0};
    ClientToScreen(w, &p);
    EXPECT_EQ(p.x, 301);
    EXPECT_EQ(p.y, 224);
    RECT c;
    GetClientRect(w, &c);
    EXPECT_EQ(c.right, 300);
}

TEST(UserWindows, WindowTextRoundTripsAndTruncatesOnCharacterBoundaries) {
    HWND w = make_window();
    ASSERT_TRUE(SetWindowTextA(w, "ab\xC4\xE3\xBA\xC3"));  // "ab" + two GBK characters
    EXPECT_EQ(GetWindowTextLengthA(w), 6);
    char buf[16];
    EXPECT_EQ(GetWindowTextA(w, buf, sizeof buf), 6);
    EXPECT_STREQ(buf, "ab\xC4\xE3\xBA\xC3");
    EXPECT_EQ(GetWindowTextA(w, buf, 4), 2);  // room for 3 bytes: the lead byte alone is dropped
    EXPECT_STREQ(buf, "ab");
    EXPECT_EQ(GetWindowTextA(w, buf, 5), 4);
    EXPECT_STREQ(buf, "ab\xC4\xE3");
    EXPECT_EQ(GetWindowTextA(w, buf, 0), 0);
}

TEST(UserWindows, WindowLongsSwapProcedureAndUserData) {
    HWND w = make_window();
    EXPECT_EQ(GetWindowLongPtrA(w, GWLP_USERDATA), 0);
    SetWindowLongPtrA(w, GWLP_USERDATA, 1234);
    EXPECT_EQ(GetWindowLongPtrA(w, GWLP_USERDATA), 1234);
    EXPECT_EQ(GetWindowLongPtrA(w, GWL_STYLE), LONG_PTR(kStyle));
    static int calls = 0;
    WNDPROC other = [](HWND h, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
        ++calls;
        return DefWindowProcA(h, m, wp, lp);
    };
    LONG_PTR old = SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(other));
    EXPECT_EQ(old, reinterpret_cast<LONG_PTR>(&RecordingProc));
    SendMessageA(w, WM_USER, 0, 0);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(GetWindowLongPtrA(w, 12345), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_INDEX));
}

TEST(UserWindows, DestroyBelongsToTheOwnerThread) {
    HWND w = make_window();
    BOOL other = TRUE;
    DWORD err = 0;
    std::thread([&] {
        other = DestroyWindow(w);
        err = GetLastError();
    }).join();
    EXPECT_FALSE(other);
    EXPECT_EQ(err, DWORD(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(IsWindow(w));
    EXPECT_EQ(GetWindowThreadProcessId(w, nullptr), GetCurrentThreadId());
    EXPECT_TRUE(DestroyWindow(w));
    EXPECT_FALSE(IsWindow(w));
    EXPECT_FALSE(DestroyWindow(w));
    HWND w2 = make_window();
    EXPECT_NE(w2, w);  // handles are not reused
}

TEST(UserWindows, BadWindowHandlesAreIgnored) {
    HWND dead = make_window();
    DestroyWindow(dead);
    for (HWND h : {HWND(nullptr), reinterpret_cast<HWND>(uintptr_t(0x31337)), dead}) {
        RECT r{1, 2, 3, 4};
        POINT p{5, 6};
        SetLastError(0);
        EXPECT_FALSE(GetWindowRect(h, &r));
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
        EXPECT_EQ(r.left, 1);
        EXPECT_FALSE(GetClientRect(h, &r));
        EXPECT_FALSE(SetWindowPos(h, nullptr, 0, 0, 10, 10, 0));
        EXPECT_FALSE(MoveWindow(h, 0, 0, 10, 10, TRUE));
        EXPECT_FALSE(ClientToScreen(h, &p));
        EXPECT_FALSE(ScreenToClient(h, &p));
        EXPECT_EQ(p.x, 5);
        EXPECT_FALSE(ShowWindow(h, SW_SHOW));
        EXPECT_FALSE(IsWindowVisible(h));
        EXPECT_FALSE(IsWindow(h));
        EXPECT_FALSE(DestroyWindow(h));
        EXPECT_FALSE(SetWindowTextA(h, "x"));
        char buf[4] = "abc";
        EXPECT_EQ(GetWindowTextA(h, buf, 4), 0);
        EXPECT_EQ(SetCapture(h), nullptr);
        EXPECT_EQ(GetWindowLongPtrA(h, GWLP_USERDATA), 0);
        plat::SurfaceView v;
        EXPECT_FALSE(plat::lock_window_surface(h, &v));
        plat::unlock_window_surface(h);  // not locked: nothing happens
        std::vector<uint32_t> px;
        EXPECT_FALSE(headless::ReadClient(h, &px, nullptr, nullptr));
        if (h) {
            EXPECT_EQ(GetDC(h), nullptr);
        }
    }
    EXPECT_EQ(ReleaseDC(nullptr, nullptr), 0);
}

TEST(UserWindows, SurfaceLockSurvivesDestructionOfTheWindow) {
    HWND w = make_window(8, 8);
    plat::SurfaceView v;
    ASSERT_TRUE(plat::lock_window_surface(w, &v));
    ASSERT_NE(v.pixels, nullptr);
    EXPECT_TRUE(DestroyWindow(w));
    v.pixels[63] = 1;  // still valid until unlocked
    plat::unlock_window_surface(w);
    EXPECT_FALSE(plat::lock_window_surface(w, &v));
}

TEST(UserWindows, EmptyClientAreaHasNoPixels) {
    HWND w = make_window(0, 0);
    ASSERT_NE(w, nullptr);
    plat::SurfaceView v;
    ASSERT_TRUE(plat::lock_window_surface(w, &v));
    EXPECT_EQ(v.pixels, nullptr);
    EXPECT_EQ(v.width, 0);
    plat::unlock_window_surface(w);
    // An outer size smaller than the frame leaves an empty client area.
    register_class();
    HWND tiny = CreateWindowExA(0, kClass, "", kStyle, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    RECT c;
    GetClientRect(tiny, &c);
    EXPECT_EQ(c.right, 0);
    EXPECT_EQ(c.bottom, 0);
}

TEST(UserWindows, CaptureAndFocusFollowTheirWindows) {
    HWND a = make_window(), b = make_window();
    EXPECT_EQ(SetCapture(a), nullptr);
    EXPECT_EQ(GetCapture(), a);
    EXPECT_EQ(SetCapture(b), a);
    EXPECT_TRUE(ReleaseCapture());
    EXPECT_EQ(GetCapture(), nullptr);
    SetCapture(a);
    SetFocus(a);
    DestroyWindow(a);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(GetFocus(), nullptr);
}

TEST(UserWindows, ConcurrentResizeDrawReadAndMoveStayConsistent) {
    WindowThread wt;
    HWND w = wt.hwnd();
    std::atomic<bool> stop{false};
    std::thread resizer([&] {
        for (int i = 0; i < 300; ++i) {
            RECT r{0, 0, 10 + i % 37, 5 + i % 23};
            AdjustWindowRectEx(&r, kStyle, FALSE, 0);
            SetWindowPos(w, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER);
        }
        stop = true;
    });
    std::thread painter([&] {
        while (!stop) {
            plat::SurfaceView v;
            if (!plat::lock_window_surface(w, &v)) continue;
            for (int i = 0; i < v.width * v.height; ++i) v.pixels[i] = 0x00ABCDEFu;
            plat::unlock_window_surface(w);
            plat::window_surface_changed(w, RECT{0, 0, v.width, v.height});
        }
    });
    std::thread mover([&] {
        for (int i = 0; !stop; ++i) headless::MoveWindowTo(i % 50, i % 30, w);
    });
    int reads = 0;
    do {
        std::vector<uint32_t> px;
        int pw = -1, ph = -1;
        ASSERT_TRUE(headless::ReadClient(w, &px, &pw, &ph));
        ASSERT_EQ(px.size(), size_t(pw) * size_t(ph));
        ++reads;
    } while (!stop);
    resizer.join();
    painter.join();
    mover.join();
    RECT c;
    GetClientRect(w, &c);
    EXPECT_EQ(c.right, 10 + 299 % 37);
    EXPECT_EQ(c.bottom, 5 + 299 % 23);
    int pw, ph;
    ASSERT_TRUE(headless::ReadClient(w, nullptr, &pw, &ph));
    EXPECT_EQ(pw, c.right);  // the surface followed the last resize
    EXPECT_EQ(ph, c.bottom);
    EXPECT_GT(reads, 0);
}

TEST(UserResources, CursorsAndIcons) {
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    EXPECT_NE(arrow, nullptr);
    EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), arrow);
    EXPECT_NE(LoadCursorA(nullptr, IDC_IBEAM), arrow);
    EXPECT_EQ(LoadCursorA(nullptr, MAKEINTRESOURCEA(1)), nullptr);
    EXPECT_NE(LoadIconA(nullptr, IDI_APPLICATION), nullptr);
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    EXPECT_EQ(ExtractIconA(GetModuleHandleA(nullptr), exe, 0), nullptr);  // no icons in Linux executables
    EXPECT_FALSE(DestroyIcon(nullptr));
    EXPECT_TRUE(DestroyIcon(LoadIconA(nullptr, IDI_APPLICATION)));
}

}  // namespace
