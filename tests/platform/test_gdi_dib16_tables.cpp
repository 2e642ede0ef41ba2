// 16-bpp DIB sections, colour tables changed on selected sections, and
// curves from the current position. Expected values were read from a
// reference GDI's output for the same calls.
#include <cstring>

#include "gdi_test_util.h"

using namespace gdi_test;

namespace {

enum Format { Rgb555BottomUp, Fields565, Fields555 };

// A w x h 16-bpp DIB section selected into its own memory DC.
struct Dib16 {
    HDC dc = nullptr;
    HBITMAP bm = nullptr;
    HGDIOBJ old = nullptr;
    uint16_t* bits = nullptr;
    int w, h;
    Format f;
    Dib16(Format fmt, int width, int height) : w(width), h(height), f(fmt) {
        struct {
            BITMAPINFOHEADER h;
            DWORD masks[3];
        } bi{};
        bi.h.biSize = sizeof bi.h;
        bi.h.biWidth = width;
        bi.h.biHeight = fmt == Rgb555BottomUp ? height : -height;
        bi.h.biPlanes = 1;
        bi.h.biBitCount = 16;
        bi.h.biCompression = fmt == Rgb555BottomUp ? BI_RGB : BI_BITFIELDS;
        if (fmt == Fields565) bi.masks[0] = 0xF800, bi.masks[1] = 0x07E0, bi.masks[2] = 0x001F;
        if (fmt == Fields555) bi.masks[0] = 0x7C00, bi.masks[1] = 0x03E0, bi.masks[2] = 0x001F;
        dc = CreateCompatibleDC(nullptr);
        void* p = nullptr;
        bm = CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS, &p, nullptr, 0);
        bits = static_cast<uint16_t*>(p);
        if (bm) old = SelectObject(dc, bm);
    }
    ~Dib16() {
        if (old) SelectObject(dc, old);
        DeleteObject(bm);
        DeleteDC(dc);
    }
    uint16_t& at(int x, int y) {
        int stride = (w * 2 + 3) / 4 * 2;
        return bits[(f == Rgb555BottomUp ? h - 1 - y : y) * stride + x];
    }
};

}  // namespace

TEST(GdiDib16, ColoursKeepTheirTopBitsAndWidenByRepeatingThem) {
    // SetPixel of a grey level, then GetPixel, per format.
    struct Case {
        int level;
        uint32_t rgb555, rgb565;
    };
    const Case cases[] = {
        {0, 0x000000, 0x000000},   {3, 0x000000, 0x000000},   {4, 0x000000, 0x000400},   {7, 0x000000, 0x000400},
        {8, 0x080808, 0x080808},   {0x7F, 0x7B7B7B, 0x7B7D7B}, {0x80, 0x848484, 0x848284}, {0x84, 0x848484, 0x848684},
        {0xFB, 0xFFFFFF, 0xFFFBFF}, {0xFC, 0xFFFFFF, 0xFFFFFF}, {0xFF, 0xFFFFFF, 0xFFFFFF},
    };
    for (Format f : {Rgb555BottomUp, Fields565, Fields555}) {
        Dib16 d(f, 4, 2);
        ASSERT_NE(d.bm, nullptr) << f;
        for (const Case& c : cases) {
            uint32_t want = f == Fields565 ? c.rgb565 : c.rgb555;
            COLORREF set = SetPixel(d.dc, 3, 1, RGB(c.level, c.level, c.level));
            EXPECT_EQ(px(set), want) << "format " << f << " level " << c.level;
            EXPECT_EQ(px(GetPixel(d.dc, 3, 1)), want) << "format " << f << " level " << c.level;
        }
        // Raw field values read back: 1 and 31 in each 5-bit field, 1 and 63 in the 6-bit one.
        const int gshift = 5, rshift = f == Fields565 ? 11 : 10;
        struct Raw {
            uint16_t v;
            uint32_t rgb;
        } raws[] = {{1, 0x000008}, {31, 0x0000FF}, {uint16_t(1 << rshift), 0x080000}, {uint16_t(31 << rshift), 0xFF0000},
                    {uint16_t(1 << gshift), f == Fields565 ? 0x000400u : 0x000800u},
                    {uint16_t((f == Fields565 ? 63 : 31) << gshift), 0x00FF00}};
        for (const Raw& r : raws) {
            d.at(0, 0) = r.v;
            EXPECT_EQ(px(GetPixel(d.dc, 0, 0)), r.rgb) << "format " << f << " raw " << r.v;
        }
        // The stored value of a SetPixel: the top bits of each channel.
        SetPixel(d.dc, 1, 0, RGB(0x84, 0x87, 0xFF));
        EXPECT_EQ(d.at(1, 0), f == Fields565 ? uint16_t(0x10 << 11 | 0x21 << 5 | 0x1F) : uint16_t(0x10 << 10 | 0x10 << 5 | 0x1F));
        DIBSECTION ds{};
        ASSERT_EQ(GetObjectA(d.bm, sizeof ds, &ds), int(sizeof ds));
        EXPECT_EQ(ds.dsBm.bmBitsPixel, 16);
        // Described by its fields whichever way it was made.
        EXPECT_EQ(ds.dsBmih.biCompression, DWORD(BI_BITFIELDS));
        EXPECT_EQ(ds.dsBitfields[0], f == Fields565 ? 0xF800u : 0x7C00u);
        EXPECT_EQ(ds.dsBitfields[1], f == Fields565 ? 0x07E0u : 0x03E0u);
        EXPECT_EQ(ds.dsBitfields[2], 0x001Fu);
    }
}

TEST(GdiDib16, DrawingAndBlitsGoThroughTheFields) {
    // Per format: colours blitted in, a solid fill, an XOR line over zero
    // pixels and an inverted fill, then the section blitted out.
    const uint32_t src[4] = {0x00FF00, 0x03FC09, 0x807F80, 0xFF00FD};
    struct Want {
        uint32_t blit[4], fill, xored;
    };
    const Want want[3] = {
        {{0x00FF00, 0x00FF08, 0x847B84, 0xFF00FF}, 0x0808F7, 0x08F784},
        {{0x00FF00, 0x00FF08, 0x847D84, 0xFF00FF}, 0x080CF7, 0x08F384},
        {{0x00FF00, 0x00FF08, 0x847B84, 0xFF00FF}, 0x0808F7, 0x08F784},
    };
    for (Format f : {Rgb555BottomUp, Fields565, Fields555}) {
        Dib16 d(f, 8, 4);
        ASSERT_NE(d.bm, nullptr);
        Canvas in(4, 1), out(8, 4, 0x123456);
        for (int x = 0; x < 4; ++x) in.at(x, 0) = src[x];
        ASSERT_TRUE(BitBlt(d.dc, 0, 0, 4, 1, in.dc, 0, 0, SRCCOPY));
        RECT r{0, 1, 8, 2};
        HBRUSH b = CreateSolidBrush(RGB(8 + 3, 8 + 5, 255 - 8));
        FillRect(d.dc, &r, b);
        r = RECT{0, 3, 8, 4};
        FillRect(d.dc, &r, b);
        DeleteObject(b);
        HPEN pen = CreatePen(PS_SOLID, 1, RGB(0x0F, 0xF3, 0x81));
        HGDIOBJ op = SelectObject(d.dc, pen);
        SetROP2(d.dc, R2_XORPEN);
        MoveToEx(d.dc, 0, 2, nullptr);
        LineTo(d.dc, 8, 2);
        SelectObject(d.dc, op);
        DeleteObject(pen);
        // Inverting keeps only the fields' bits: a second inversion restores the fill.
        PatBlt(d.dc, 0, 3, 8, 1, DSTINVERT);
        PatBlt(d.dc, 4, 3, 4, 1, DSTINVERT);
        ASSERT_TRUE(BitBlt(out.dc, 0, 0, 8, 4, d.dc, 0, 0, SRCCOPY));
        const Want& w = want[f];
        for (int x = 0; x < 4; ++x) EXPECT_EQ(out.at(x, 0), w.blit[x]) << "format " << f << " x " << x;
        EXPECT_EQ(out.at(7, 1), w.fill) << f;
        EXPECT_EQ(out.at(0, 2), w.xored) << f;
        EXPECT_EQ(out.at(7, 2), w.xored) << f;  // the line's last pixel before its end point
        EXPECT_EQ(out.at(0, 3), ~w.fill & 0x00FFFFFFu) << f;
        EXPECT_EQ(out.at(7, 3), w.fill) << f;
    }
}

TEST(GdiDibColorTable, NewTableRecoloursPixelsAndLaterDrawing) {
    // 4 bpp, entry i = (i*255/15, i*37, 255-i); the new table is
    // (255 - i*17, i*13 + 40, i*17).
    IndexedDibInfo bi(4, 64, 16);
    for (int i = 0; i < 16; ++i) bi.pal[i] = RGBQUAD{BYTE(255 - i), BYTE(i * 37), BYTE(i * 255 / 15), 0};
    HDC dc = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    HBITMAP bm = CreateDIBSection(dc, bi.info(), DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(bm, nullptr);
    RGBQUAD q[16], g[20];
    for (int i = 0; i < 16; ++i) q[i] = RGBQUAD{BYTE(i * 17), BYTE(i * 13 + 40), BYTE(255 - i * 17), 0};
    EXPECT_EQ(SetDIBColorTable(dc, 0, 1, q), 0u);  // no DIB section selected
    HGDIOBJ old = SelectObject(dc, bm);
    HBRUSH br = CreateSolidBrush(RGB(200, 0, 0));
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 255));
    HGDIOBJ ob = SelectObject(dc, br), op = SelectObject(dc, pen);
    Rectangle(dc, 2, 2, 30, 14);
    EXPECT_EQ(SetDIBColorTable(dc, 0, 16, q), 16u);
    EXPECT_EQ(SetDIBColorTable(dc, 15, 4, q), 1u);  // cut at the table's end
    EXPECT_EQ(SetDIBColorTable(dc, 16, 1, q), 0u);
    std::memset(g, 0x77, sizeof g);
    EXPECT_EQ(GetDIBColorTable(dc, 0, 20, g), 16u);
    EXPECT_EQ(std::memcmp(&g[15], &q[0], sizeof(RGBQUAD)), 0);
    EXPECT_EQ(g[16].rgbRed, 0x77);  // nothing written past the table
    EXPECT_EQ(GetDIBColorTable(dc, 1, 1, g), 1u);
    EXPECT_EQ(std::memcmp(&g[0], &q[1], sizeof(RGBQUAD)), 0);
    // The same brush and pen, drawn after the change, match the new table.
    Rectangle(dc, 34, 2, 62, 14);
    Canvas out(64, 16);
    ASSERT_TRUE(BitBlt(out.dc, 0, 0, 64, 16, dc, 0, 0, SRCCOPY));
    EXPECT_EQ(out.at(5, 5), 0x11DEEEu);   // old pixels keep their indices
    EXPECT_EQ(out.at(2, 2), 0xFF2800u);
    EXPECT_EQ(out.at(40, 5), 0xEE3511u);  // new drawing in the new table
    EXPECT_EQ(out.at(40, 2), 0x44B7BBu);
    EXPECT_EQ(px(GetPixel(dc, 40, 5)), 0xEE3511u);
    SelectObject(dc, ob);
    SelectObject(dc, op);
    DeleteObject(br);
    DeleteObject(pen);
    SelectObject(dc, old);
    DeleteObject(bm);
    DeleteDC(dc);
}

TEST(GdiCurves, PolyBezierToStartsAtTheCurrentPositionAndMovesIt) {
    Canvas c(80, 40, 0xD8E0E8);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0x10, 0x20, 0x80));
    HGDIOBJ op = SelectObject(c.dc, pen);
    SetGraphicsMode(c.dc, GM_ADVANCED);
    const POINT a[6] = {{20, -4}, {40, 50}, {60, 20}, {70, 0}, {10, 10}, {30, 60}};
    MoveToEx(c.dc, 4, 24, nullptr);
    EXPECT_FALSE(PolyBezierTo(c.dc, a, 4));  // not a multiple of three
    ASSERT_TRUE(PolyBezierTo(c.dc, a, 6));
    POINT cur{};
    GetCurrentPositionEx(c.dc, &cur);
    EXPECT_EQ(cur.x, 30);
    EXPECT_EQ(cur.y, 60);
    // The reference's first 34 rows: 105 pixels inside (4..61, 11..33).
    int n = 0;
    RECT box{80, 40, -1, -1};
    for (int y = 0; y < 34; ++y)
        for (int x = 0; x < 80; ++x)
            if (c.at(x, y) == 0x102080u) {
                ++n;
                box.left = std::min<LONG>(box.left, x), box.right = std::max<LONG>(box.right, x);
                box.top = std::min<LONG>(box.top, y), box.bottom = std::max<LONG>(box.bottom, y);
            }
    EXPECT_EQ(n, 105);
    ExpectBox(box, 4, 11, 61, 33);
    SelectObject(c.dc, op);
    DeleteObject(pen);
}

TEST(GdiDib16, GetDIBitsWidensSixteenBitsAndLooksUpTables) {
    // Row of a 5-6-5 section holding x*1031+7 and of an 8-bpp section
    // holding index x*5 into entries i*0x010307, read as 32 bpp.
    Dib16 d(Fields565, 64, 1);
    ASSERT_NE(d.bm, nullptr);
    for (int x = 0; x < 64; ++x) d.at(x, 0) = uint16_t(x * 1031 + 7);
    struct {
        BITMAPINFOHEADER h;
        DWORD pal[256];
    } bi{};
    bi.h.biSize = sizeof bi.h;
    bi.h.biWidth = 64;
    bi.h.biHeight = -1;
    bi.h.biPlanes = 1;
    bi.h.biBitCount = 8;
    for (int i = 0; i < 256; ++i) bi.pal[i] = DWORD(i * 0x010307);
    void* p8 = nullptr;
    HBITMAP b8 = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS, &p8, nullptr, 0);
    ASSERT_NE(b8, nullptr);
    for (int x = 0; x < 64; ++x) static_cast<uint8_t*>(p8)[x] = uint8_t(x * 5);
    const struct {
        int x;
        uint32_t from16, from8;
    } want[] = {{0, 0x000039, 0x000000},  {9, 0x218A31, 0x2D883B},  {18, 0x4A1029, 0x5B1076},
                {27, 0x6B9A21, 0x8898B1}, {54, 0xDE3008, 0x0E2A62}, {63, 0xFFBA00, 0x3BB29D}};
    Canvas c(1, 1);
    uint32_t row16[64], row8[64];
    BITMAPINFO out{};
    out.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 64, -1, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    EXPECT_EQ(GetDIBits(c.dc, d.bm, 0, 1, row16, &out, DIB_RGB_COLORS), 1);
    EXPECT_EQ(GetDIBits(c.dc, b8, 0, 1, row8, &out, DIB_RGB_COLORS), 1);
    for (const auto& w : want) {
        EXPECT_EQ(row16[w.x] & 0x00FFFFFFu, w.from16) << w.x;
        EXPECT_EQ(row8[w.x] & 0x00FFFFFFu, w.from8) << w.x;
    }
    DeleteObject(b8);
}

TEST(GdiDib16, ToMonochromeMatchesTheBackgroundAsStored) {
    // The source's background colour 0x13579B is compared after it is
    // reduced to the section's fields: the stored 0x10559C counts as
    // background (white), 0xEC_A8_64 does not; a flood fill by the same
    // colour finds the stored pixels too.
    Dib16 d(Fields565, 8, 1);
    ASSERT_NE(d.bm, nullptr);
    for (int x = 0; x < 8; ++x) SetPixel(d.dc, x, 0, x >= 2 && x < 6 ? RGB(0x13, 0x57, 0x9B) : RGB(0xEC, 0xA8, 0x64));
    SetBkColor(d.dc, RGB(0x13, 0x57, 0x9B));
    HDC mdc = CreateCompatibleDC(nullptr);
    HBITMAP mono = CreateBitmap(8, 1, 1, 1, nullptr);
    HGDIOBJ old = SelectObject(mdc, mono);
    ASSERT_TRUE(BitBlt(mdc, 0, 0, 8, 1, d.dc, 0, 0, SRCCOPY));
    for (int x = 0; x < 8; ++x) EXPECT_EQ(GetPixel(mdc, x, 0), x >= 2 && x < 6 ? 0xFFFFFFu : 0u) << x;
    HBRUSH br = CreateSolidBrush(RGB(0x40, 0xC0, 0x40));
    HGDIOBJ ob = SelectObject(d.dc, br);
    EXPECT_TRUE(ExtFloodFill(d.dc, 3, 0, RGB(0x13, 0x57, 0x9B), FLOODFILLSURFACE));
    EXPECT_EQ(px(GetPixel(d.dc, 2, 0)), 0x42C342u);
    EXPECT_EQ(px(GetPixel(d.dc, 5, 0)), 0x42C342u);
    EXPECT_EQ(px(GetPixel(d.dc, 6, 0)), 0xEFAA63u);
    SelectObject(d.dc, ob);
    DeleteObject(br);
    SelectObject(mdc, old);
    DeleteObject(mono);
    DeleteDC(mdc);
}

TEST(GdiCurves, PolyDrawFiguresTypesAndCurrentPosition) {
    Canvas c(80, 127, 0xD8E0E8);
    SetGraphicsMode(c.dc, GM_ADVANCED);
    HPEN thin = CreatePen(PS_SOLID, 1, RGB(0x10, 0x20, 0x80)), wide = CreatePen(PS_SOLID, 5, RGB(0xC0, 0x10, 0x10));
    HGDIOBJ op = SelectObject(c.dc, thin);
    const POINT p1[4] = {{10, 10}, {30, 12}, {0, 0}, {50, 20}};
    const BYTE t1[4] = {PT_LINETO, PT_LINETO, 0x10, PT_LINETO};
    const POINT p2[5] = {{10, 30}, {40, 30}, {60, 50}, {20, 60}, {5, 50}};
    const BYTE t2[5] = {PT_MOVETO, PT_BEZIERTO, PT_BEZIERTO, PT_BEZIERTO | PT_CLOSEFIGURE, PT_LINETO};
    const POINT p3[4] = {{40, 70}, {70, 72}, {60, 95}, {45, 90}};
    const BYTE t3[4] = {PT_LINETO, PT_LINETO, PT_LINETO | PT_CLOSEFIGURE, PT_MOVETO};
    const POINT p4[2] = {{10, 110}, {30, 100}};
    const BYTE t4[2] = {PT_BEZIERTO, PT_BEZIERTO};
    struct Step {
        const POINT* p;
        const BYTE* t;
        int n;
        HPEN pen;
        POINT from;
        BOOL ok;
        POINT cur;
    } steps[] = {
        {p1, t1, 4, thin, {2, 2}, FALSE, {2, 2}},     // an unknown type: nothing drawn or moved
        {p2, t2, 5, thin, {2, 2}, TRUE, {5, 50}},     // a closed curve, then a line from its start
        {p3, t3, 4, wide, {30, 65}, TRUE, {45, 90}},  // a closed wide figure; a last move still moves
        {p4, t4, 2, wide, {45, 90}, FALSE, {45, 90}},  // a curve short of its third point
    };
    for (const Step& s : steps) {
        SelectObject(c.dc, s.pen);
        MoveToEx(c.dc, s.from.x, s.from.y, nullptr);
        EXPECT_EQ(PolyDraw(c.dc, s.p, s.t, s.n), s.ok);
        POINT cur{};
        GetCurrentPositionEx(c.dc, &cur);
        EXPECT_EQ(cur.x, s.cur.x);
        EXPECT_EQ(cur.y, s.cur.y);
    }
    // The reference's pixels: count and bounds per pen colour.
    const struct {
        uint32_t colour;
        int n;
        RECT box;
    } want[] = {{0x102080, 109, {5, 30, 42, 60}}, {0xC01010, 564, {28, 63, 72, 97}}};
    for (const auto& w : want) {
        int n = 0;
        RECT box{80, 127, -1, -1};
        for (int y = 0; y < 127; ++y)
            for (int x = 0; x < 80; ++x)
                if (c.at(x, y) == w.colour) {
                    ++n;
                    box.left = std::min<LONG>(box.left, x), box.right = std::max<LONG>(box.right, x);
                    box.top = std::min<LONG>(box.top, y), box.bottom = std::max<LONG>(box.bottom, y);
                }
        EXPECT_EQ(n, w.n) << w.colour;
        ExpectBox(box, w.box.left, w.box.top, w.box.right, w.box.bottom);
    }
    SelectObject(c.dc, op);
    DeleteObject(thin);
    DeleteObject(wide);
}
