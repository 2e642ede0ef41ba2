// Drawing on the window and on images: clearing, rectangles, text position,
// the working image, batch drawing, images' copy and resize.
#include <cstring>

#include <climits>

#include "glint_test_util.h"

using namespace glint_test;

namespace {
class GlintDraw : public testing::Test {
protected:
    void SetUp() override { hwnd = initgraph(300, 240, 0); }
    void TearDown() override { closegraph(); }
    HWND hwnd = nullptr;
};
}  // namespace

TEST_F(GlintDraw, CleardeviceWhiteSetsAllFourBytesAndReachesTheWindow) {
    setbkcolor(WHITE);
    settextcolor(BLACK);
    cleardevice();
    DWORD* buf = GetImageBuffer(NULL);
    for (int i = 0; i < 300 * 240; ++i) ASSERT_EQ(buf[i], 0xFFFFFFFFu) << i;
    std::vector<uint32_t> px = NextFrame(hwnd);
    ASSERT_EQ(px.size(), 300u * 240u);
    for (uint32_t p : px) ASSERT_EQ(p & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(GlintDraw, CleardeviceLightBlueIsStoredRedBlueSwapped) {
    setbkcolor(LIGHTBLUE);
    cleardevice();
    EXPECT_EQ(Count(nullptr, 0, 0, 299, 239, 0x5555FF), 300 * 240);
    EXPECT_EQ(getbkcolor(), LIGHTBLUE);
    // The transform and the raster operation do not apply.
    setorigin(50, 50);
    setrop2(R2_XORPEN);
    setbkcolor(GREEN);
    cleardevice();
    EXPECT_EQ(Count(nullptr, 0, 0, 299, 239, BGR(GREEN)), 300 * 240);
}

TEST_F(GlintDraw, ClearrectangleClearsRowsInclusiveAndRestoresState) {
    setbkcolor(BLACK);
    cleardevice();
    setbkcolor(WHITE);
    setfillcolor(RED);
    setfillstyle(BS_HATCHED, HS_CROSS);
    setrop2(R2_XORPEN);
    clearrectangle(0, 20, 300, 40);
    EXPECT_EQ(Count(nullptr, 0, 20, 299, 40, 0xFFFFFF), 300 * 21);
    EXPECT_EQ(Count(nullptr, 0, 19, 299, 19, 0), 300);
    EXPECT_EQ(Count(nullptr, 0, 41, 299, 41, 0), 300);
    EXPECT_EQ(getfillcolor(), RED);
    EXPECT_EQ(getrop2(), R2_XORPEN);
    FILLSTYLE fs;
    getfillstyle(&fs);
    EXPECT_EQ(fs.style, BS_HATCHED);
    EXPECT_EQ(fs.hatch, HS_CROSS);
    EXPECT_EQ(Glint::g_pGraphWnd->m_linestyle.style, PS_SOLID);  // the pen is back too
}

TEST_F(GlintDraw, SwappedCornersClearAndFillTheSamePixels) {
    setbkcolor(BLUE);
    clearrectangle(10, 10, 5, 5);
    EXPECT_EQ(Count(nullptr, 0, 0, 20, 20, BGR(BLUE)), 36);
    EXPECT_EQ(Count(nullptr, 5, 5, 10, 10, BGR(BLUE)), 36);
    setfillcolor(GREEN);
    solidrectangle(30, 30, 25, 25);
    EXPECT_EQ(Count(nullptr, 20, 20, 40, 40, BGR(GREEN)), 36);
    EXPECT_EQ(Count(nullptr, 25, 25, 30, 30, BGR(GREEN)), 36);
}

TEST_F(GlintDraw, FillrectangleWithDefaultStateBlanksTheEchoLine) {
    fillrectangle(0, 20, 300, 40);
    // Outline and inside white alike; nothing outside the strip.
    EXPECT_EQ(Count(nullptr, 0, 20, 299, 40, 0xFFFFFF), 300 * 21);
    EXPECT_EQ(Count(nullptr, 0, 0, 299, 18, 0), 300 * 19);
    EXPECT_EQ(Count(nullptr, 0, 42, 299, 239, 0), 300 * 198);
}

TEST_F(GlintDraw, SolidrectangleCoversItsCornersInclusiveWithoutOutline) {
    setlinecolor(RED);
    setfillcolor(YELLOW);
    solidrectangle(5, 5, 10, 10);
    EXPECT_EQ(Count(nullptr, 0, 0, 20, 20, BGR(YELLOW)), 36);
    EXPECT_EQ(Count(nullptr, 0, 0, 20, 20, BGR(RED)), 0);
    fillrectangle(40, 40, 45, 45);  // with the pen: outline red, same area
    EXPECT_EQ(Count(nullptr, 40, 40, 45, 45, BGR(RED)), 20);
    EXPECT_EQ(Count(nullptr, 41, 41, 44, 44, BGR(YELLOW)), 16);
    EXPECT_EQ(getlinecolor(), RED);
}

TEST_F(GlintDraw, TextTopLeftCornerIsTheGivenPointAndCellsAreOpaque) {
    setbkcolor(WHITE);
    settextcolor(BLACK);
    cleardevice();
    setbkcolor(YELLOW);  // opaque cells in the background colour
    outtextxy(0, 20, "Hello");
    int w = textwidth("Hello"), h = textheight("Hello");
    EXPECT_GT(w, 0);
    EXPECT_EQ(h, 16);
    EXPECT_EQ(Count(nullptr, 0, 0, 299, 19, 0xFFFFFF), 300 * 20);
    EXPECT_EQ(Count(nullptr, 0, 20 + h, 299, 239, 0xFFFFFF), 300 * (220 - h));
    int ink = Count(nullptr, 0, 20, w - 1, 20 + h - 1, 0);
    int cell = Count(nullptr, 0, 20, w - 1, 20 + h - 1, BGR(YELLOW));
    EXPECT_GT(ink, 10);
    EXPECT_EQ(ink + cell, w * h);
    EXPECT_EQ(Count(nullptr, w, 20, 299, 20 + h - 1, 0xFFFFFF), (300 - w) * h);
    // One-character forms equal the string forms.
    EXPECT_EQ(textwidth('H'), textwidth("H"));
    EXPECT_EQ(textheight('H'), textheight("H"));
}

TEST_F(GlintDraw, DrawingStateAndDefaults) {
    setrop2(R2_XORPEN);
    setpolyfillmode(WINDING);
    setlinecolor(RED);
    setbkmode(TRANSPARENT);
    setaspectratio(2.0f, 3.0f);
    graphdefaults();
    EXPECT_EQ(getrop2(), R2_XORPEN);  // not reset
    EXPECT_EQ(getpolyfillmode(), WINDING);
    EXPECT_EQ(getlinecolor(), WHITE);
    EXPECT_EQ(getbkmode(), OPAQUE);
    float x = 0, y = 0;
    getaspectratio(&x, &y);
    EXPECT_EQ(x, 1.0f);
    EXPECT_EQ(y, 1.0f);
    LOGFONTA font;
    gettextstyle(&font);
    EXPECT_EQ(font.lfHeight, 16);
    EXPECT_STREQ(font.lfFaceName, "System");
    EXPECT_EQ(font.lfQuality, NONANTIALIASED_QUALITY);
    settextstyle(24, 0, "Courier");
    gettextstyle(&font);
    EXPECT_EQ(font.lfHeight, 24);
    EXPECT_STREQ(font.lfFaceName, "Courier");
    EXPECT_EQ(font.lfQuality, NONANTIALIASED_QUALITY);  // kept from the current font
}

TEST_F(GlintDraw, OriginMovesDrawingButNotCleardevice) {
    setorigin(100, 50);
    setfillcolor(RED);
    solidrectangle(0, 0, 9, 9);
    EXPECT_EQ(Count(nullptr, 100, 50, 109, 59, BGR(RED)), 100);
    EXPECT_EQ(Count(nullptr, 0, 0, 9, 9, BGR(RED)), 0);
}

TEST_F(GlintDraw, SetlinecolorRebuildsThePen) {
    setlinecolor(GREEN);
    line(0, 100, 50, 100);
    EXPECT_EQ(Count(nullptr, 0, 100, 49, 100, BGR(GREEN)), 50);
    EXPECT_EQ(Pixel(nullptr, 50, 100), 0u);  // LineTo leaves the end point
}

TEST_F(GlintDraw, WorkingImageDrawingLeavesTheWindowAlone) {
    IMAGE img(40, 30);
    SetWorkingImage(&img);
    EXPECT_EQ(GetWorkingImage(), &img);
    EXPECT_EQ(getwidth(), 40);
    setbkcolor(RED);
    cleardevice();
    setfillcolor(GREEN);
    solidrectangle(0, 0, 9, 9);
    EXPECT_EQ(Count(&img, 0, 0, 9, 9, BGR(GREEN)), 100);
    EXPECT_EQ(Count(&img, 0, 0, 39, 29, BGR(RED)), 1200 - 100);
    SetWorkingImage(NULL);
    EXPECT_EQ(GetWorkingImage(), nullptr);
    EXPECT_EQ(getwidth(), 300);
    EXPECT_EQ(getbkcolor(), BLACK);  // the window's own state
    EXPECT_EQ(getfillcolor(), WHITE);
    EXPECT_EQ(Count(nullptr, 0, 0, 299, 239, 0), 300 * 240);
    std::vector<uint32_t> px = NextFrame(hwnd);
    for (uint32_t p : px) ASSERT_EQ(p & 0xFFFFFF, 0u);
    SetWorkingImage(&img);
    EXPECT_EQ(getbkcolor(), RED);  // the image's state came back with it
    SetWorkingImage(NULL);
}

TEST_F(GlintDraw, BatchDrawingHoldsTheWindowUntilFlushedAndFlushesARectangle) {
    NextFrame(hwnd);
    BeginBatchDraw();
    BeginBatchDraw();  // does not nest
    setbkcolor(WHITE);
    cleardevice();
    uint64_t before = headless::PresentCount(hwnd);
    // Several refresh periods pass without a refresh.
    EXPECT_EQ(WaitPresent(hwnd, before, 200), before);
    std::vector<uint32_t> px;
    int w, h;
    headless::ReadClient(hwnd, &px, &w, &h);
    for (uint32_t p : px) ASSERT_EQ(p & 0xFFFFFF, 0u);

    FlushBatchDraw(10, 10, 19, 19);
    headless::ReadClient(hwnd, &px, &w, &h);
    int white = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if ((px[y * w + x] & 0xFFFFFF) == 0xFFFFFF) {
                ++white;
                EXPECT_TRUE(x >= 10 && x <= 19 && y >= 10 && y <= 19) << x << "," << y;
            }
    EXPECT_EQ(white, 100);

    // A rectangle past every edge updates the whole window, the last row and
    // column included; an inverted one updates nothing.
    setfillcolor(RGB(0, 0, 255));
    solidrectangle(0, 0, w - 1, h - 1);
    FlushBatchDraw(INT_MAX, INT_MAX, INT_MIN, INT_MIN);
    headless::ReadClient(hwnd, &px, &w, &h);
    EXPECT_EQ(px[(h - 1) * w + w - 1] & 0xFFFFFF, 0u);
    FlushBatchDraw(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    headless::ReadClient(hwnd, &px, &w, &h);
    for (uint32_t p : px) ASSERT_EQ(p & 0xFFFFFF, 0x0000FFu);
    setfillcolor(WHITE);
    solidrectangle(0, 0, w - 1, h - 1);

    EndBatchDraw();
    headless::ReadClient(hwnd, &px, &w, &h);
    for (uint32_t p : px) ASSERT_EQ(p & 0xFFFFFF, 0xFFFFFFu);
    // The periodic refresh runs again.
    uint64_t n = headless::PresentCount(hwnd);
    EXPECT_GT(WaitPresent(hwnd, n), n);
}

TEST(GlintImage, ResizeKeepsOldPixelsAndFillsTheRestWithTheBackground) {
    IMAGE img(4, 3);
    SetWorkingImage(&img);
    setbkcolor(RED);
    cleardevice();
    Resize(&img, 0, 50);  // ignored
    EXPECT_EQ(img.getwidth(), 4);
    EXPECT_EQ(img.getheight(), 3);
    SetWorkingImage(&img);
    setbkcolor(BLUE);  // existing pixels stay red
    Resize(&img, 6, 5);
    EXPECT_EQ(img.getwidth(), 6);
    EXPECT_EQ(img.getheight(), 5);
    EXPECT_EQ(Count(&img, 0, 0, 3, 2, BGR(RED)), 12);
    EXPECT_EQ(Count(&img, 0, 0, 5, 4, BGR(BLUE)), 30 - 12);
    EXPECT_EQ(GetImageBuffer(&img), img.m_pBuffer);
    EXPECT_EQ(GetImageHDC(&img), img.m_hDC);
    // Shrinking keeps the top-left part.
    Resize(&img, 2, 2);
    EXPECT_EQ(Count(&img, 0, 0, 1, 1, BGR(RED)), 4);
}

TEST(GlintImage, AssignmentCopiesSizeAndPixelsButNotState) {
    IMAGE src(20, 10);
    SetWorkingImage(&src);
    setbkcolor(GREEN);
    cleardevice();
    putpixel(19, 9, RED);
    IMAGE dst(5, 5);
    SetWorkingImage(&dst);
    setbkcolor(YELLOW);
    setfillcolor(MAGENTA);
    dst = src;
    EXPECT_EQ(dst.getwidth(), 20);
    EXPECT_EQ(dst.getheight(), 10);
    EXPECT_EQ(Pixel(&dst, 0, 0), BGR(GREEN));
    EXPECT_EQ(Pixel(&dst, 19, 9), BGR(RED));
    EXPECT_EQ(dst.m_bkcolor, YELLOW);
    EXPECT_EQ(dst.m_fillcolor, MAGENTA);
    dst = dst;  // self-assignment changes nothing
    EXPECT_EQ(Pixel(&dst, 19, 9), BGR(RED));

    IMAGE copy(src);  // copy construction: pixels, default state
    EXPECT_EQ(copy.getwidth(), 20);
    EXPECT_EQ(Pixel(&copy, 19, 9), BGR(RED));
    EXPECT_EQ(copy.m_bkcolor, BLACK);
    EXPECT_NE(copy.m_hDC, src.m_hDC);
    EXPECT_NE(copy.m_pBuffer, src.m_pBuffer);
    SetWorkingImage(NULL);
}

TEST(GlintHelpers, FillMemory4) {
    DWORD buf[5] = {0, 0, 0, 0, 0x12345678};
    Glint::Common::Memory::FillMemory4(buf, 4, 0x00070707);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(buf[i], 0x07070707u);  // byte-wise fill
    EXPECT_EQ(buf[4], 0x12345678u);
    Glint::Common::Memory::FillMemory4(buf, 4, 0x00010203);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(buf[i], 0x00010203u);
}

TEST_F(GlintDraw, ClipRegionLimitsDrawingAndClearcliprgnFillsIt) {
    HRGN rgn = CreateRectRgn(10, 10, 20, 20);
    setcliprgn(rgn);
    DeleteObject(rgn);  // the context keeps its own copy
    setfillcolor(RED);
    solidrectangle(0, 0, 299, 239);
    EXPECT_EQ(Count(nullptr, 0, 0, 299, 239, BGR(RED)), 100);
    EXPECT_EQ(Count(nullptr, 10, 10, 19, 19, BGR(RED)), 100);
    setbkcolor(BLUE);
    setorigin(5, 5);  // the region is in pixels: the origin does not move it
    clearcliprgn();
    EXPECT_EQ(Count(nullptr, 10, 10, 19, 19, BGR(BLUE)), 100);
    EXPECT_EQ(Count(nullptr, 0, 0, 299, 239, BGR(BLUE)), 100);
    setcliprgn(NULL);  // no clip region: clearcliprgn clears everything
    clearcliprgn();
    EXPECT_EQ(Count(nullptr, 0, 0, 299, 239, BGR(BLUE)), 300 * 240);
}
