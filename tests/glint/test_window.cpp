// The window and its thread: opening, size, title, the black first frame,
// device counting, closing by the program and by the user.
#include <cstring>

#include "glint_test_util.h"

using namespace glint_test;

TEST(GlintWindow, OpensWithClientSizeTitleAndBlackFrame) {
    EXPECT_STREQ(GetGlintVer(), "1.0.0");
    HWND hwnd = initgraph(300, 240, 0);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(GetHWnd(), hwnd);
    EXPECT_TRUE(IsWindowVisible(hwnd));

    RECT rc;
    ASSERT_TRUE(GetClientRect(hwnd, &rc));
    EXPECT_EQ(rc.right - rc.left, 300);
    EXPECT_EQ(rc.bottom - rc.top, 240);

    // The executable's file name, without directory and extension.
    char title[256] = {0};
    GetWindowTextA(hwnd, title, sizeof title);
    EXPECT_STREQ(title, "glint_tests");

    // The back buffer is the working image, 300 x 240 and black.
    EXPECT_EQ(GetWorkingImage(), nullptr);
    EXPECT_EQ(getwidth(), 300);
    EXPECT_EQ(getheight(), 240);
    EXPECT_EQ(Count(nullptr, 0, 0, 299, 239, 0), 300 * 240);

    int w = 0, h = 0;
    std::vector<uint32_t> px = NextFrame(hwnd, &w, &h);
    ASSERT_EQ(w, 300);
    ASSERT_EQ(h, 240);
    for (uint32_t p : px) ASSERT_EQ(p & 0xFFFFFF, 0u);
    closegraph();
}

TEST(GlintWindow, FlagsChangeClassAndStyle) {
    HWND hwnd = initgraph(100, 80, EX_NOCLOSE | EX_NOMINIMIZE | EX_DBLCLKS);
    ASSERT_NE(hwnd, nullptr);
    LONG_PTR style = GetWindowLongPtrA(hwnd, GWL_STYLE);
    EXPECT_EQ(style & WS_MINIMIZEBOX, 0);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU), WS_CAPTION | WS_SYSMENU);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0);
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    ASSERT_TRUE(GetClassInfoExA(GetModuleHandleA(nullptr), "GlintWnd", &wc));
    EXPECT_EQ(wc.style & (CS_NOCLOSE | CS_DBLCLKS), UINT(CS_NOCLOSE | CS_DBLCLKS));
    // The close box is disabled.
    headless::CloseBox(hwnd);
    Settle(hwnd);
    EXPECT_TRUE(IsWindow(hwnd));
    closegraph();

    // A flag of 16 behaves like 0: minimise box, plain class (registered anew).
    hwnd = initgraph(100, 80, 16);
    style = GetWindowLongPtrA(hwnd, GWL_STYLE);
    EXPECT_NE(style & WS_MINIMIZEBOX, 0);
    ASSERT_TRUE(GetClassInfoExA(GetModuleHandleA(nullptr), "GlintWnd", &wc));
    EXPECT_EQ(wc.style & (CS_NOCLOSE | CS_DBLCLKS), 0u);
    closegraph();
}

TEST(GlintWindow, DeviceCountingWithTwoInitgraphAndOneClosegraph) {
    HWND first = initgraph(200, 100, 0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(Glint::g_iDeviceCount, 2);  // the open window and its back buffer
    HWND second = initgraph(120, 90, 0);
    ASSERT_NE(second, nullptr);
    EXPECT_FALSE(IsWindow(first));  // the first window was closed
    EXPECT_EQ(Glint::g_iDeviceCount, 2);
    RECT rc;
    GetClientRect(second, &rc);
    EXPECT_EQ(rc.right, 120);
    EXPECT_EQ(rc.bottom, 90);
    EXPECT_EQ(getwidth(), 120);

    closegraph();  // one call stops the layer
    EXPECT_FALSE(IsWindow(second));
    EXPECT_EQ(Glint::g_iDeviceCount, 0);
    EXPECT_EQ(Glint::g_pGraphWnd, nullptr);
    EXPECT_EQ(Glint::g_pDrawOnWnd, nullptr);
    EXPECT_EQ(GetHWnd(), nullptr);
    closegraph();  // stopped: nothing happens
    EXPECT_EQ(Glint::g_iDeviceCount, 0);
}

TEST(GlintWindow, ImagesAloneStartAndStopTheLayer) {
    EXPECT_EQ(Glint::g_pGraphWnd, nullptr);
    {
        IMAGE a(10, 10);
        EXPECT_NE(Glint::g_pGraphWnd, nullptr);
        EXPECT_EQ(Glint::g_iDeviceCount, 2);
        {
            IMAGE b(a);
            EXPECT_EQ(Glint::g_iDeviceCount, 3);
        }
        EXPECT_EQ(Glint::g_iDeviceCount, 2);
        EXPECT_NE(Glint::g_pGraphWnd, nullptr);
    }
    EXPECT_EQ(Glint::g_iDeviceCount, 0);
    EXPECT_EQ(Glint::g_pGraphWnd, nullptr);

    // An image alive across closegraph keeps the layer; the window goes.
    HWND hwnd = initgraph(50, 50, 0);
    {
        IMAGE keep(4, 4);
        closegraph();
        EXPECT_FALSE(IsWindow(hwnd));
        EXPECT_NE(Glint::g_pGraphWnd, nullptr);
        EXPECT_EQ(GetHWnd(), nullptr);
        // A second closegraph has no initgraph to match: the image's count stays.
        closegraph();
        EXPECT_EQ(Glint::g_iDeviceCount, 2);
        EXPECT_NE(Glint::g_pGraphWnd, nullptr);
        SetWorkingImage(&keep);
        setbkcolor(RED);
        cleardevice();
        EXPECT_EQ(Pixel(&keep, 3, 3), BGR(RED));
        // And the window can be opened again with the image still alive.
        hwnd = initgraph(60, 40, 0);
        EXPECT_EQ(Glint::g_iDeviceCount, 3);
        closegraph();
        EXPECT_EQ(Glint::g_iDeviceCount, 2);
    }
    EXPECT_EQ(Glint::g_iDeviceCount, 0);
    EXPECT_EQ(Glint::g_pGraphWnd, nullptr);
}

// The back buffer's own pattern image counts as a device but belongs to the
// back buffer: closegraph still stops the layer, and dropping the pattern with
// a style change while the window is open neither stops the layer nor frees
// the window object under the call.
TEST(GlintWindow, BackBufferPatternNeitherKeepsNorStopsTheLayer) {
    BYTE dots[8] = {0x80, 0, 0x08, 0, 0x80, 0, 0x08, 0};
    initgraph(40, 30, 0);
    setfillstyle(dots);
    EXPECT_EQ(Glint::g_iDeviceCount, 3);  // window, back buffer, its pattern
    closegraph();
    EXPECT_EQ(Glint::g_iDeviceCount, 0);
    EXPECT_EQ(Glint::g_pGraphWnd, nullptr);

    HWND hwnd = initgraph(40, 30, 0);
    setfillstyle(dots);
    FILLSTYLE solid;  // a record without a pattern: assigning it destroys the image
    setfillstyle(&solid);
    EXPECT_EQ(Glint::g_iDeviceCount, 2);
    EXPECT_TRUE(IsWindow(hwnd));
    ASSERT_NE(Glint::g_pGraphWnd, nullptr);
    setfillcolor(RED);
    solidrectangle(0, 0, 3, 3);
    EXPECT_EQ(Pixel(nullptr, 2, 2) & 0xFFFFFF, BGR(RED));
    closegraph();
    EXPECT_EQ(Glint::g_iDeviceCount, 0);

    // An image of the program's own still keeps the layer after closegraph.
    initgraph(40, 30, 0);
    setfillstyle(dots);
    {
        IMAGE keep(2, 2);
        closegraph();
        EXPECT_NE(Glint::g_pGraphWnd, nullptr);
    }
    EXPECT_EQ(Glint::g_iDeviceCount, 0);
    EXPECT_EQ(Glint::g_pGraphWnd, nullptr);
}

TEST(GlintWindow, EmptyClientAreaKeepsNoPixels) {
    HWND hwnd = initgraph(0, 0, 0);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(GetImageBuffer(NULL), nullptr);
    cleardevice();  // changes nothing, and does not crash
    FlushBatchDraw();
    closegraph();
    EXPECT_EQ(Glint::g_iDeviceCount, 0);
}

TEST(GlintWindow, ClosegraphLetsTheProgramGoOnAndOpenAgain) {
    for (int round = 0; round < 3; ++round) {
        HWND hwnd = initgraph(160, 120, 0);
        ASSERT_NE(hwnd, nullptr);
        setbkcolor(WHITE);
        cleardevice();
        std::vector<uint32_t> px = NextFrame(hwnd);
        ASSERT_FALSE(px.empty());
        EXPECT_EQ(px[0] & 0xFFFFFF, 0xFFFFFFu);
        closegraph();
        EXPECT_FALSE(IsWindow(hwnd));
    }
    // Reading input with no window open answers at once.
    ExMessage m = getmessage(EX_KEY);
    EXPECT_EQ(m.message, 0);
    EXPECT_FALSE(peekmessage(&m));
    flushmessage(EX_KEY);
}

TEST(GlintWindow, NoWindowReadersAnswerAtOnceWhileImagesKeepTheLayer) {
    IMAGE img(8, 8);  // layer started, no window
    ExMessage m;
    std::memset(&m, 0x5A, sizeof m);
    getmessage(&m, 0xFF);
    EXPECT_EQ(m.message, 0);
    EXPECT_FALSE(peekmessage(nullptr, 0xFF, false));
    flushmessage(EX_CHAR);
}

TEST(GlintWindowDeathTest, CloseBoxEndsTheProcessWithStatusZero) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            HWND hwnd = initgraph(300, 240, 0);
            headless::CloseBox(hwnd);
            // The program's thread keeps drawing while the window thread ends the process.
            for (int i = 0;; ++i) {
                setbkcolor(i & 1 ? WHITE : BLACK);
                cleardevice();
                outtextxy(0, 0, "drawing");
                Sleep(1);
            }
        },
        testing::ExitedWithCode(0), "");
}

TEST(GlintWindowDeathTest, CloseBoxEndsTheProcessWhileTheReaderWaits) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            HWND hwnd = initgraph(300, 240, 0);
            std::thread closer([hwnd] {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                headless::CloseBox(hwnd);
            });
            closer.detach();
            getmessage(EX_KEY);  // never returns: the close ends the process
            std::exit(3);
        },
        testing::ExitedWithCode(0), "");
}

TEST(GlintWindow, AltF4DoesNotCloseTheWindow) {
    HWND hwnd = initgraph(100, 100, 0);
    headless::PressKey(0x4000003D /* SDLK_F4 */, 0x0100 /* KMOD_LALT */, hwnd);
    Settle(hwnd);
    EXPECT_TRUE(IsWindow(hwnd));
    EXPECT_EQ(GetHWnd(), hwnd);
    closegraph();
}

TEST(GlintWindow, ResizeOfTheWindowChangesClientAndBuffer) {
    HWND hwnd = initgraph(100, 80, 0);
    setbkcolor(RED);
    cleardevice();
    Resize(nullptr, 150, 120);
    RECT rc;
    GetClientRect(hwnd, &rc);
    EXPECT_EQ(rc.right, 150);
    EXPECT_EQ(rc.bottom, 120);
    EXPECT_EQ(getwidth(), 150);
    EXPECT_EQ(Pixel(nullptr, 99, 79), BGR(RED));    // old contents kept
    EXPECT_EQ(Pixel(nullptr, 149, 119), BGR(RED));  // new area in the background colour
    Resize(nullptr, 0, 50);                         // ignored
    EXPECT_EQ(getwidth(), 150);
    closegraph();
}

TEST(GlintWindow, EntryPointsAreLookedUpAtEveryStart) {
    for (int round = 0; round < 2; ++round) {
        IMAGE img(2, 2);  // starts the layer
#define GLINT_EXPECT_ENTRY(name) EXPECT_NE(Glint::_Gdi::name, nullptr) << #name;
        GLINT_GDI_FUNCTIONS(GLINT_EXPECT_ENTRY)
#undef GLINT_EXPECT_ENTRY
        EXPECT_NE(Glint::_GdiPlus::gdiplusDll, nullptr);
        EXPECT_NE(Glint::_GdiPlus::GdiplusStartup, nullptr);
        EXPECT_NE(Glint::_GdiPlus::GdiplusShutdown, nullptr);
        EXPECT_NE(Glint::_GdiPlus::gdiplusToken, ULONG_PTR(0));  // GDI+ was started
        EXPECT_NE(Glint::_Ole::CoInitialize, nullptr);
        EXPECT_NE(Glint::_Ole::CoUninitialize, nullptr);
        EXPECT_NE(Glint::_Ole::CreateStreamOnHGlobal, nullptr);
    }
    EXPECT_EQ(Glint::_GdiPlus::gdiplusToken, ULONG_PTR(0));  // and shut down with the layer
}
