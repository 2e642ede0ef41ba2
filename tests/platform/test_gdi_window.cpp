// Drawing on a window DC reaches the window's client surface; blits between
// the back buffer and the window, as the graphics layer does it.
#include "gdi_test_util.h"
#include "platform/headless.h"
#include "window_surface.h"

using namespace gdi_test;

namespace {

LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }

HWND MakeWindow(int cw, int ch) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "GdiTestWnd";
    RegisterClassExA(&wc);
    RECT r{0, 0, cw, ch};
    AdjustWindowRectEx(&r, WS_CAPTION | WS_SYSMENU, FALSE, 0);
    return CreateWindowExA(0, "GdiTestWnd", "gdi", WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT, CW_USEDEFAULT,
                           r.right - r.left, r.bottom - r.top, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

}  // namespace

TEST(GdiWindow, DrawingAndBlitsReachTheClientSurface) {
    HWND hwnd = MakeWindow(40, 30);
    ASSERT_NE(hwnd, nullptr);
    ShowWindow(hwnd, SW_SHOW);
    HDC wdc = GetDC(hwnd);
    ASSERT_NE(wdc, nullptr);
    EXPECT_EQ(GetObjectType(wdc), DWORD(OBJ_DC));
    // A window DC cannot take a bitmap.
    HBITMAP bm = CreateBitmap(2, 2, 1, 32, nullptr);
    EXPECT_EQ(SelectObject(wdc, bm), nullptr);
    DeleteObject(bm);

    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    SelectObject(wdc, red);
    SelectObject(wdc, GetStockObject(NULL_PEN));
    uint64_t presents = headless::PresentCount(hwnd);
    EXPECT_TRUE(Rectangle(wdc, 2, 3, 7, 9));
    EXPECT_EQ(GetPixel(wdc, 2, 3), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(wdc, 40, 0), CLR_INVALID);

    // Back buffer to window, as a refresh does.
    Canvas back(40, 30, 0x0000FF00);
    back.at(39, 29) = 0x00123456;
    EXPECT_TRUE(BitBlt(wdc, 10, 0, 30, 30, back.dc, 10, 0, SRCCOPY));
    // A window DC as source and destination (another DC of the same window).
    HDC wdc2 = GetDC(hwnd);
    EXPECT_TRUE(BitBlt(wdc2, 0, 20, 5, 5, wdc, 2, 3, SRCCOPY));
    ReleaseDC(hwnd, wdc2);

    std::vector<uint32_t> pixels;
    int w = 0, h = 0;
    ASSERT_TRUE(headless::ReadClient(hwnd, &pixels, &w, &h));
    ASSERT_EQ(w, 40);
    ASSERT_EQ(h, 30);
    EXPECT_EQ(pixels[3 * 40 + 2], 0xFF0000u);
    EXPECT_NE(pixels[8 * 40 + 5], 0xFF0000u);  // right and bottom edges excluded
    EXPECT_EQ(pixels[7 * 40 + 5], 0xFF0000u);
    EXPECT_EQ(pixels[29 * 40 + 39], 0x123456u);
    EXPECT_EQ(pixels[0 * 40 + 10], 0x00FF00u);
    EXPECT_EQ(pixels[20 * 40 + 0], 0xFF0000u);
    EXPECT_EQ(pixels[24 * 40 + 3], 0xFF0000u);
    EXPECT_NE(pixels[24 * 40 + 4], 0xFF0000u);
    EXPECT_GE(headless::PresentCount(hwnd), presents);

    SelectObject(wdc, GetStockObject(WHITE_BRUSH));
    DeleteObject(red);
    ReleaseDC(hwnd, wdc);
    DestroyWindow(hwnd);
    // A DC of a destroyed window fails cleanly.
    HDC stale = plat::create_window_dc(hwnd);
    EXPECT_FALSE(Rectangle(stale, 0, 0, 4, 4));
    EXPECT_EQ(GetPixel(stale, 0, 0), CLR_INVALID);
    plat::release_window_dc(stale);
}
