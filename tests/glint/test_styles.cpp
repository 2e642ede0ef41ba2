// Line and fill styles: the records' copy rules and the pens and brushes
// built from them.
#include <cstring>

#include "glint_test_util.h"

using namespace glint_test;

TEST(GlintLineStyle, RecordCopiesOwnTheirDashesOnlyForUserStyle) {
    DWORD dashes[4] = {3, 1, 2, 1};
    LINESTYLE a;
    EXPECT_EQ(a.style, PS_SOLID);
    EXPECT_EQ(a.thickness, 1);
    EXPECT_EQ(a.dashes, nullptr);
    a.style = PS_USERSTYLE | PS_ENDCAP_FLAT;
    a.dashes = new DWORD[4];
    std::memcpy(a.dashes, dashes, sizeof dashes);
    a.dashcount = 4;
    LINESTYLE b(a);
    ASSERT_NE(b.dashes, nullptr);
    EXPECT_NE(b.dashes, a.dashes);
    EXPECT_EQ(b.dashcount, 4u);
    EXPECT_EQ(b.dashes[2], 2u);
    a.style = PS_DASH;  // not user-defined: the copy takes no array
    b = a;
    EXPECT_EQ(b.dashes, nullptr);
    EXPECT_EQ(b.dashcount, 0u);
    b = b;
    EXPECT_EQ(b.style, PS_DASH);
}

TEST(GlintLineStyle, UserStyleWithoutLengthsDrawsNothingAndKeepsTheRecord) {
    IMAGE img(20, 20);
    SetWorkingImage(&img);
    setlinecolor(RED);
    setlinestyle(PS_USERSTYLE, 2, NULL, 0);
    line(0, 10, 19, 10);
    EXPECT_EQ(Count(&img, 0, 0, 19, 19, BGR(RED)), 0);
    LINESTYLE got;
    getlinestyle(&got);
    EXPECT_EQ(got.style, PS_USERSTYLE);
    EXPECT_EQ(got.thickness, 2);
    EXPECT_EQ(got.dashes, nullptr);
    EXPECT_EQ(got.dashcount, 0u);

    DWORD four[4] = {1, 1, 1, 1};
    setlinestyle(PS_DASH, 1, four, 4);  // the array is ignored
    getlinestyle(&got);
    EXPECT_EQ(got.dashes, nullptr);
    EXPECT_EQ(got.dashcount, 0u);
    line(0, 5, 19, 5);
    EXPECT_GT(Count(&img, 0, 5, 19, 5, BGR(RED)), 0);

    setlinestyle(PS_SOLID, 1);
    line(0, 0, 10, 0);
    EXPECT_EQ(Count(&img, 0, 0, 9, 0, BGR(RED)), 10);
    SetWorkingImage(NULL);
}

TEST(GlintLineStyle, UserDashesAreCopiedFromTheCaller) {
    IMAGE img(10, 10);
    SetWorkingImage(&img);
    DWORD dashes[4] = {2, 2, 2, 2};
    setlinestyle(PS_USERSTYLE, 1, dashes, 4);
    dashes[0] = 99;
    LINESTYLE got;
    getlinestyle(&got);
    ASSERT_EQ(got.dashcount, 4u);
    EXPECT_EQ(got.dashes[0], 2u);
    EXPECT_NE(got.dashes, img.m_linestyle.dashes);
    // Re-applying the image's own record (setlinecolor) keeps the array.
    setlinecolor(GREEN);
    ASSERT_NE(img.m_linestyle.dashes, nullptr);
    EXPECT_EQ(img.m_linestyle.dashes[0], 2u);
    line(0, 0, 9, 0);
    EXPECT_GT(Count(&img, 0, 0, 9, 0, BGR(GREEN)), 0);  // a visible pen of the new colour
    SetWorkingImage(NULL);
}

TEST(GlintFillStyle, PatternRecordsOwnTheirImage) {
    IMAGE pat(2, 2);
    IMAGE img(8, 8);
    SetWorkingImage(&img);
    setfillstyle(BS_PATTERN, 0, &pat);
    ASSERT_NE(img.m_fillstyle.pattern, nullptr);
    EXPECT_NE(img.m_fillstyle.pattern, &pat);
    {
        FILLSTYLE copy;
        getfillstyle(&copy);
        ASSERT_NE(copy.pattern, nullptr);
        EXPECT_NE(copy.pattern, img.m_fillstyle.pattern);
        EXPECT_EQ(copy.pattern->getwidth(), 2);
    }  // destroying the copy leaves the image's pattern intact
    ASSERT_NE(img.m_fillstyle.pattern, nullptr);
    EXPECT_EQ(img.m_fillstyle.pattern->getwidth(), 2);

    FILLSTYLE solid;  // style 0 over a pattern record drops the image
    FILLSTYLE withPattern(img.m_fillstyle);
    ASSERT_NE(withPattern.pattern, nullptr);
    withPattern = solid;
    EXPECT_EQ(withPattern.pattern, nullptr);
    EXPECT_EQ(withPattern.style, BS_SOLID);

    graphdefaults();  // the defaults release the pattern image too
    EXPECT_EQ(img.m_fillstyle.pattern, nullptr);
    SetWorkingImage(NULL);
}

TEST(GlintFillStyle, DotPatternPaintsTextColourDotsOnTheBackground) {
    IMAGE img(16, 16);
    SetWorkingImage(&img);
    settextcolor(RED);
    setbkcolor(BLUE);
    setfillstyle(DOT_FILL);
    solidrectangle(0, 0, 15, 15);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            int tx = x % 8, ty = y % 8;
            bool dot = (tx == 0 && (ty == 0 || ty == 4)) || (tx == 4 && (ty == 2 || ty == 6));
            EXPECT_EQ(Pixel(&img, x, y) & 0xFFFFFF, dot ? BGR(RED) : BGR(BLUE)) << x << "," << y;
        }
    // setfillcolor stores the colour but keeps the pattern brush.
    setfillcolor(GREEN);
    EXPECT_EQ(getfillcolor(), GREEN);
    solidrectangle(0, 0, 15, 15);
    EXPECT_EQ(Count(&img, 0, 0, 15, 15, BGR(GREEN)), 0);
    EXPECT_EQ(Count(&img, 0, 0, 15, 15, BGR(RED)), 16);
    SetWorkingImage(NULL);
}

TEST(GlintFillStyle, HatchesUseTheFillColourAndFollowTheBackground) {
    IMAGE img(16, 16);
    SetWorkingImage(&img);
    setbkcolor(WHITE);
    setfillcolor(RED);
    setfillstyle(HORIZONTAL_FILL);
    solidrectangle(0, 0, 15, 15);
    int red = Count(&img, 0, 0, 15, 15, BGR(RED));
    int white = Count(&img, 0, 0, 15, 15, 0xFFFFFF);
    EXPECT_GT(red, 0);
    EXPECT_GT(white, 0);
    EXPECT_EQ(red + white, 256);
    for (int y = 0; y < 16; ++y) {  // horizontal lines: every row one colour
        int r = Count(&img, 0, y, 15, y, BGR(RED));
        EXPECT_TRUE(r == 0 || r == 16) << y;
    }
    // A new fill colour rebuilds the hatch brush.
    setfillcolor(GREEN);
    solidrectangle(0, 0, 15, 15);
    EXPECT_EQ(Count(&img, 0, 0, 15, 15, BGR(GREEN)), red);
    // Transparent mode leaves the gaps alone.
    setbkcolor(BLACK);
    cleardevice();
    setbkmode(TRANSPARENT);
    setfillstyle(VERTICAL_FILL);
    solidrectangle(0, 0, 15, 15);
    EXPECT_GT(Count(&img, 0, 0, 15, 15, BGR(GREEN)), 0);
    EXPECT_EQ(Count(&img, 0, 0, 15, 15, BGR(GREEN)) + Count(&img, 0, 0, 15, 15, 0), 256);
    SetWorkingImage(NULL);
}

TEST(GlintFillStyle, UnknownStyleIsStoredButTheBrushStays) {
    IMAGE img(8, 8);
    SetWorkingImage(&img);
    setfillcolor(RED);
    setfillstyle(4, 0, nullptr);
    FILLSTYLE got;
    getfillstyle(&got);
    EXPECT_EQ(got.style, 4);
    solidrectangle(0, 0, 7, 7);
    EXPECT_EQ(Count(&img, 0, 0, 7, 7, BGR(RED)), 64);
    setfillstyle(NULL_FILL);  // hollow
    setbkcolor(BLACK);
    cleardevice();
    setlinecolor(GREEN);
    fillrectangle(0, 0, 7, 7);
    EXPECT_EQ(Count(&img, 1, 1, 6, 6, 0), 36);
    EXPECT_EQ(Count(&img, 0, 0, 7, 7, BGR(GREEN)), 28);
    SetWorkingImage(NULL);
}

TEST(GlintFillStyle, ColourPatternFromAnImage) {
    IMAGE pat(2, 1);
    pat.m_pBuffer[0] = BGR(RED);
    pat.m_pBuffer[1] = BGR(GREEN);
    IMAGE img(8, 4);
    SetWorkingImage(&img);
    setfillstyle(BS_DIBPATTERN, 0, &pat);
    solidrectangle(0, 0, 7, 3);
    EXPECT_EQ(Count(&img, 0, 0, 7, 3, BGR(RED)), 16);
    EXPECT_EQ(Count(&img, 0, 0, 7, 3, BGR(GREEN)), 16);
    EXPECT_EQ(Pixel(&img, 0, 0) & 0xFFFFFF, BGR(RED));
    EXPECT_EQ(Pixel(&img, 1, 0) & 0xFFFFFF, BGR(GREEN));
    // The packed DIB: 40-byte header, no colour table for 32 bits, then rows.
    HGLOBAL dib = Glint::g_pDrawOnImg->DDBToDIB(&pat, BI_RGB, NULL);
    ASSERT_NE(dib, nullptr);
    auto* bi = static_cast<BITMAPINFOHEADER*>(GlobalLock(dib));
    EXPECT_EQ(bi->biSize, 40u);
    EXPECT_EQ(bi->biWidth, 2);
    EXPECT_EQ(bi->biBitCount, 32);
    EXPECT_GE(GlobalSize(dib), SIZE_T(40 + 8));
    GlobalUnlock(dib);
    GlobalFree(dib);
    EXPECT_EQ(Glint::g_pDrawOnImg->DDBToDIB(&pat, BI_BITFIELDS, NULL), nullptr);
    SetWorkingImage(NULL);
}

// A 1-pixel line never paints its end point, whatever its slope and dash
// kind. The line to twice as far (same steps, same dash phase) shows which
// pixels the shorter one may paint: its first steps, never the end point.
TEST(GlintLineStyle, OnePixelLinesStopShortOfTheirEndPointOnEverySlope) {
    struct Seg {
        const char* name;
        int dx, dy;
    };
    const Seg segs[] = {{"right", 12, 0},         {"left", -12, 0},        {"down", 0, 12},
                        {"up", 0, -12},           {"diag down-right", 9, 9}, {"diag up-left", -9, -9},
                        {"diag down-left", -9, 9}, {"diag up-right", 9, -9}, {"shallow", 12, 5},
                        {"shallow back", -12, -5}, {"steep", 4, 11},        {"steep back", -4, -11},
                        {"tie shallow", 10, 5},    {"tie steep up", 5, -10}};
    const int styles[] = {PS_SOLID,       PS_DASH,      PS_DOT, PS_DASHDOT, PS_DASHDOTDOT,
                          PS_INSIDEFRAME, PS_USERSTYLE, PS_ALTERNATE};
    DWORD user[2] = {2, 1};
    const int ax = 30, ay = 30;
    for (int style : styles) {
        for (const Seg& s : segs) {
            IMAGE shortLine(64, 64), longLine(64, 64);
            IMAGE* imgs[2] = {&shortLine, &longLine};
            for (int k = 0; k < 2; ++k) {
                SetWorkingImage(imgs[k]);
                setlinecolor(RED);
                setlinestyle(style, 1, user, 2);
                line(ax, ay, ax + s.dx * (k + 1), ay + s.dy * (k + 1));
            }
            SetWorkingImage(NULL);
            const int bx = ax + s.dx, by = ay + s.dy;
            SCOPED_TRACE(std::string(s.name) + ", style " + std::to_string(style));
            EXPECT_EQ(Pixel(&shortLine, bx, by), 0u) << "end point painted";
            int painted = 0, stray = 0;
            for (int y = 0; y < 64; ++y)
                for (int x = 0; x < 64; ++x)
                    if (Pixel(&shortLine, x, y) != 0) {
                        ++painted;
                        if (Pixel(&longLine, x, y) == 0) ++stray;
                    }
            EXPECT_EQ(stray, 0);
            if (style == PS_SOLID || style == PS_INSIDEFRAME) {
                // Every step up to the end point, the end point of the longer line's first half included.
                EXPECT_EQ(painted, std::max(std::abs(s.dx), std::abs(s.dy)));
                EXPECT_NE(Pixel(&longLine, bx, by), 0u);
            } else {
                EXPECT_GT(painted, 0);
            }
        }
    }
}

// A scale that widens a 1-pixel pen gives a thick line; back at scale 1 the
// pen is thin again and stops short of its end point.
TEST(GlintLineStyle, AspectRatioWideningAOnePixelPenSwitchesItsKind) {
    IMAGE img(40, 40);
    SetWorkingImage(&img);
    setlinecolor(RED);
    setlinestyle(PS_SOLID, 1);
    setaspectratio(2, 2);
    line(2, 5, 12, 5);  // device row 10, two pixels thick
    EXPECT_EQ(Count(&img, 4, 9, 23, 11, BGR(RED)), 40);
    setaspectratio(1, 1);
    line(0, 30, 8, 38);
    EXPECT_EQ(Count(&img, 0, 30, 7, 37, BGR(RED)), 8);
    EXPECT_EQ(Pixel(&img, 8, 38), 0u);
    SetWorkingImage(NULL);
}
