// Details of the window core: monochrome pattern rows, the text style forms,
// the refresh interval, clip regions under a transform, the queue while no
// window is open, image copies and the defaults of a new drawing context.
#include <cstring>

#include "glint_test_util.h"

using namespace glint_test;

// A monochrome pattern of any width: black pixels show the background colour,
// all others the text colour, row after row (rows of the 1-bit bitmap are
// padded to an even number of bytes).
TEST(GlintDetails, MonochromePatternOfOddWidths) {
    for (int w : {3, 9, 17, 25}) {
        IMAGE pat(w, 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < w; ++x) pat.m_pBuffer[y * w + x] = ((x + 2 * y) % 3 == 0) ? 0 : 0x123456;
        IMAGE img(w * 2, 6);
        SetWorkingImage(&img);
        settextcolor(RED);
        setbkcolor(BLUE);
        setfillstyle(BS_PATTERN, 0, &pat);
        solidrectangle(0, 0, w * 2 - 1, 5);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < w * 2; ++x) {
                bool black = ((x % w) + 2 * (y % 3)) % 3 == 0;
                ASSERT_EQ(Pixel(&img, x, y) & 0xFFFFFF, black ? BGR(BLUE) : BGR(RED)) << w << ": " << x << "," << y;
            }
        SetWorkingImage(NULL);
    }
}

TEST(GlintDetails, TextStyleForms) {
    IMAGE img(50, 50);
    SetWorkingImage(&img);
    LOGFONTA f;

    // Nine parameters start from the current font.
    settextstyle(20, 8, "Courier", 0, 0, FW_BOLD, true, false, true);
    gettextstyle(&f);
    EXPECT_EQ(f.lfHeight, 20);
    EXPECT_EQ(f.lfWidth, 8);
    EXPECT_EQ(f.lfWeight, FW_BOLD);
    EXPECT_TRUE(f.lfItalic);
    EXPECT_FALSE(f.lfUnderline);
    EXPECT_TRUE(f.lfStrikeOut);
    EXPECT_EQ(f.lfQuality, NONANTIALIASED_QUALITY);
    EXPECT_STREQ(f.lfFaceName, "Courier");

    // Three parameters keep everything else; a null face keeps the face; a
    // long face is cut to 31 characters.
    settextstyle(24, 0, NULL);
    gettextstyle(&f);
    EXPECT_EQ(f.lfHeight, 24);
    EXPECT_EQ(f.lfWidth, 0);
    EXPECT_EQ(f.lfWeight, FW_BOLD);
    EXPECT_TRUE(f.lfItalic);
    EXPECT_STREQ(f.lfFaceName, "Courier");
    settextstyle(24, 0, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghij");
    gettextstyle(&f);
    EXPECT_STREQ(f.lfFaceName, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcde");

    // Fourteen parameters build the description from their arguments alone.
    settextstyle(12, 5, "Mono", 0, 0, FW_NORMAL, false, true, false, ANSI_CHARSET, 0, 0, DEFAULT_QUALITY, 0);
    gettextstyle(&f);
    EXPECT_EQ(f.lfHeight, 12);
    EXPECT_EQ(f.lfWidth, 5);
    EXPECT_EQ(f.lfWeight, FW_NORMAL);
    EXPECT_FALSE(f.lfItalic);
    EXPECT_TRUE(f.lfUnderline);
    EXPECT_FALSE(f.lfStrikeOut);
    EXPECT_EQ(f.lfCharSet, ANSI_CHARSET);
    EXPECT_EQ(f.lfQuality, DEFAULT_QUALITY);
    EXPECT_STREQ(f.lfFaceName, "Mono");

    SetWorkingImage(NULL);
}

// With nothing else sleeping, the window thread's 1 ms naps drive the virtual
// clock: consecutive refreshes are 17 ms apart.
TEST(GlintDetails, RefreshEverySeventeenMilliseconds) {
    HWND hwnd = initgraph(20, 20, 0);
    Settle(hwnd);
    uint64_t n = WaitPresent(hwnd, headless::PresentCount(hwnd));
    DWORD t0 = GetTickCount();
    for (int i = 0; i < 20; ++i) {
        uint64_t next = WaitPresent(hwnd, n);
        ASSERT_GT(next, n);
        n = next;
    }
    DWORD elapsed = GetTickCount() - t0;
    // Each reading comes a little after its refresh; twenty intervals of 17 ms
    // (a refresh at 16 ms would give 320).
    EXPECT_GE(elapsed, 20u * 17 - 10);
    EXPECT_LE(elapsed, 20u * 17 + 10);
    closegraph();
}

// The clip region is in pixels: clearcliprgn fills it there whatever the origin.
TEST(GlintDetails, ClearcliprgnFillsTheRegionInPixelsAndKeepsIt) {
    IMAGE img(20, 20);
    SetWorkingImage(&img);
    HRGN rgn = CreateRectRgn(2, 3, 6, 8);
    setcliprgn(rgn);
    DeleteObject(rgn);
    setorigin(5, 5);
    setbkcolor(GREEN);
    clearcliprgn();
    EXPECT_EQ(Count(&img, 2, 3, 5, 7, BGR(GREEN)), 20);
    EXPECT_EQ(Count(&img, 0, 0, 19, 19, BGR(GREEN)), 20);
    float xa = 0, ya = 0;
    getaspectratio(&xa, &ya);
    EXPECT_EQ(xa, 1.0f);
    // The clip region stays: drawing elsewhere is cut off.
    setfillcolor(RED);
    solidrectangle(-5, -5, 14, 14);  // the whole image, in logical units
    EXPECT_EQ(Count(&img, 0, 0, 19, 19, BGR(RED)), 20);
    SetWorkingImage(NULL);
}

// The queue belongs to the window object: while images keep the layer running
// after closegraph, what was queued can still be looked at and flushed, and a
// reader with no window takes a queued message at once.
TEST(GlintDetails, QueueIsReadableWhileNoWindowIsOpen) {
    IMAGE keep(2, 2);
    HWND hwnd = initgraph(50, 50, 0);
    Settle(hwnd);
    flushmessage();
    PostMessageA(hwnd, WM_CHAR, 'a', 0);
    PostMessageA(hwnd, WM_KEYDOWN, 'B', 0);
    PostMessageA(hwnd, WM_CHAR, 'c', 0);
    PostMessageA(hwnd, WM_KEYDOWN, 'D', 0);
    Settle(hwnd);
    closegraph();
    ASSERT_NE(Glint::g_pGraphWnd, nullptr);
    ExMessage m;
    ASSERT_TRUE(peekmessage(&m, EX_CHAR, false));
    EXPECT_EQ(m.ch, 'a');
    flushmessage(EX_CHAR);
    ASSERT_TRUE(peekmessage(&m, 0xFF, false));
    EXPECT_EQ(m.message, WM_KEYDOWN);
    EXPECT_EQ(m.vkcode, 'B');
    m = getmessage(EX_KEY);
    EXPECT_EQ(m.vkcode, 'B');
    getmessage(&m, EX_KEY);
    EXPECT_EQ(m.vkcode, 'D');
    std::memset(&m, 0x5A, sizeof m);
    getmessage(&m, EX_KEY);  // nothing left: answered at once
    EXPECT_EQ(m.message, 0);
    EXPECT_FALSE(peekmessage(nullptr));
}

TEST(GlintDetails, CopyConstructedImageHasPixelsAndDefaults) {
    IMAGE src(6, 4);
    SetWorkingImage(&src);
    setbkcolor(RED);
    cleardevice();
    settextcolor(GREEN);
    int before = Glint::g_iDeviceCount;
    {
        IMAGE copy(src);
        EXPECT_EQ(Glint::g_iDeviceCount, before + 1);
        EXPECT_EQ(copy.getwidth(), 6);
        EXPECT_EQ(copy.getheight(), 4);
        EXPECT_EQ(Count(&copy, 0, 0, 5, 3, BGR(RED)), 24);
        EXPECT_EQ(copy.m_bkcolor, BLACK);
        EXPECT_EQ(copy.m_textcolor, WHITE);
    }
    EXPECT_EQ(Glint::g_iDeviceCount, before);
    SetWorkingImage(NULL);
}

// A full-colour pattern keeps the image's row order: the top row of the
// pattern paints the top row of each tile.
TEST(GlintDetails, ColourPatternRowsStayInOrder) {
    IMAGE pat(2, 2);
    pat.m_pBuffer[0] = BGR(RED);
    pat.m_pBuffer[1] = BGR(GREEN);
    pat.m_pBuffer[2] = BGR(BLUE);
    pat.m_pBuffer[3] = BGR(YELLOW);
    IMAGE img(4, 4);
    SetWorkingImage(&img);
    setfillstyle(BS_DIBPATTERN, 0, &pat);
    solidrectangle(0, 0, 3, 3);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(Pixel(&img, x, y) & 0xFFFFFF, pat.m_pBuffer[(y % 2) * 2 + x % 2]) << x << "," << y;
    HGLOBAL dib = Glint::g_pDrawOnImg->DDBToDIB(&pat, BI_RGB, NULL);
    ASSERT_NE(dib, nullptr);
    auto* bi = static_cast<BITMAPINFOHEADER*>(GlobalLock(dib));
    EXPECT_EQ(bi->biPlanes, 1);
    EXPECT_EQ(bi->biCompression, DWORD(BI_RGB));
    EXPECT_EQ(bi->biSizeImage, 16u);
    GlobalUnlock(dib);
    GlobalFree(dib);
    SetWorkingImage(NULL);
}

// Resizing the window copies the back buffer at once only when the new client
// area outgrows the old outer size; smaller steps wait for the next refresh.
TEST(GlintDetails, WindowResizeFlushesOnlyWhenItOutgrowsTheOldFrame) {
    HWND hwnd = initgraph(100, 80, 0);
    Settle(hwnd);
    BeginBatchDraw();  // no periodic refresh: only explicit copies present
    Settle(hwnd);
    RECT outer;
    GetWindowRect(hwnd, &outer);
    int frameW = (outer.right - outer.left) - 100;
    uint64_t n = headless::PresentCount(hwnd);
    Resize(NULL, 100 + frameW + 2, 90);  // wider than the old outer width + 1
    Settle(hwnd);
    uint64_t grown = headless::PresentCount(hwnd);
    EXPECT_GT(grown, n);
    Resize(NULL, 100 + frameW + 3, 91);  // a small step: no copy
    Settle(hwnd);
    EXPECT_EQ(headless::PresentCount(hwnd), grown);
    RECT rc;
    GetClientRect(hwnd, &rc);
    EXPECT_EQ(rc.right, 100 + frameW + 3);
    EXPECT_EQ(rc.bottom, 91);
    EndBatchDraw();
    closegraph();
}

// Destroying the working image makes the window the working image again, so
// later drawing never reaches the destroyed image.
TEST(GlintDetails, DestroyedWorkingImageFallsBackToTheWindow) {
    initgraph(30, 20, 0);
    {
        IMAGE img(10, 10);
        SetWorkingImage(&img);
        EXPECT_EQ(GetWorkingImage(), &img);
    }
    EXPECT_EQ(GetWorkingImage(), nullptr);
    EXPECT_EQ(getwidth(), 30);
    setbkcolor(RED);
    cleardevice();
    EXPECT_EQ(Count(nullptr, 0, 0, 29, 19, BGR(RED)), 600);
    closegraph();
}
