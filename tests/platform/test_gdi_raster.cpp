// Raster operations and brushes against their definitions: every ternary
// code bit by bit, the top byte of 32-bit pixels, pattern alignment to the
// brush origin and its placement in blits that read a source, pens painted
// with a brush, and hostile blit extents.
#include <climits>
#include <cstring>
#include <thread>
#include <vector>

#include "gdi_test_util.h"

using namespace gdi_test;

namespace {

uint32_t Lcg(uint32_t& s) {
    s = s * 1103515245u + 12345u;
    return (s >> 8) ^ (s << 20);
}

// The ternary operation from its definition: result bit = bit (4P + 2S + D) of the code.
uint32_t Rop3ByBits(uint8_t code, uint32_t p, uint32_t s, uint32_t d) {
    uint32_t r = 0;
    for (int i = 0; i < 32; ++i) {
        unsigned idx = (((p >> i) & 1) << 2) | (((s >> i) & 1) << 1) | ((d >> i) & 1);
        r |= uint32_t((code >> idx) & 1) << i;
    }
    return r;
}

// A packed bottom-up 32-bpp DIB of W x H pixels given top row first.
template <int W, int H>
struct PackedDib {
    BITMAPINFOHEADER h{};
    uint32_t px[W * H];
    explicit PackedDib(const uint32_t (&top_first)[H][W]) {
        h.biSize = sizeof h;
        h.biWidth = W;
        h.biHeight = H;  // bottom-up: the top row is stored last
        h.biPlanes = 1;
        h.biBitCount = 32;
        h.biCompression = BI_RGB;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) px[(H - 1 - y) * W + x] = top_first[y][x];
    }
};

const uint32_t kTile[2][3] = {{0xFF102030, 0x00405060, 0x7F708090}, {0x01A0B0C0, 0x80D0E0F0, 0x00112233}};

}  // namespace

// All 256 codes through BitBlt (which hands source-less codes to PatBlt),
// with a solid brush and with a 3x2 32-bpp pattern at a brush origin, over
// 9-pixel rows (vector passes and their scalar tail) whose every byte varies.
TEST(GdiRaster, EveryTernaryCodeFollowsItsBitDefinition) {
    constexpr int W = 9, H = 3;
    Canvas src(W, H);
    uint32_t seed = 7, dst0[W * H];
    for (int i = 0; i < W * H; ++i) src.bits[i] = Lcg(seed);
    for (uint32_t& v : dst0) v = Lcg(seed);
    PackedDib<3, 2> dib(kTile);
    HBRUSH solid = CreateSolidBrush(RGB(0x3C, 0xC3, 0x5A));
    HBRUSH pattern = CreateDIBPatternBrushPt(&dib, DIB_RGB_COLORS);
    ASSERT_NE(pattern, nullptr);
    for (int use_pattern = 0; use_pattern < 2; ++use_pattern) {
        Canvas dst(W, H);
        SelectObject(dst.dc, use_pattern ? pattern : solid);
        SetBrushOrgEx(dst.dc, 2, 1, nullptr);
        for (int code = 0; code < 256; ++code) {
            std::memcpy(dst.bits, dst0, sizeof dst0);
            ASSERT_TRUE(BitBlt(dst.dc, 0, 0, W, H, src.dc, 0, 0, DWORD(code) << 16 | 0x0000));
            for (int y = 0; y < H; ++y)
                for (int x = 0; x < W; ++x) {
                    uint32_t p = use_pattern ? kTile[(y + 1) % 2][(x + 1) % 3] : 0x003CC35Au;
                    uint32_t want = Rop3ByBits(uint8_t(code), p, src.at(x, y), dst0[y * W + x]);
                    ASSERT_EQ(dst.at(x, y), want) << std::hex << "code " << code << " pattern " << use_pattern
                                                  << " at " << std::dec << x << "," << y;
                }
        }
        SelectObject(dst.dc, GetStockObject(WHITE_BRUSH));
    }
    // StretchBlt takes the same passes: a 2x mirror of SRCINVERT (a negative
    // width runs back from its starting column: 2W - 1 down to 0).
    Canvas big(2 * W, H);
    big.clear(0xAA55AA55);
    ASSERT_TRUE(StretchBlt(big.dc, 2 * W - 1, 0, -2 * W, H, src.dc, 0, 0, W, H, SRCINVERT));
    for (int x = 0; x < 2 * W; ++x) EXPECT_EQ(big.at(x, 1), 0xAA55AA55u ^ src.at(W - 1 - x / 2, 1)) << x;
    DeleteObject(solid);
    DeleteObject(pattern);
}

// What lands in the top byte: operations act on all 32 bits, colours from a
// COLORREF carry a zero top byte, source and 32-bpp pattern pixels their own.
TEST(GdiRaster, TopByteOfFillsPensAndPixels) {
    const uint32_t D = 0xAAD8E0E8;
    struct Case {
        const char* what;
        void (*draw)(HDC);
        uint32_t want;  // at (1, 1)
    } cases[] = {
        {"FillRect copies the colour", [](HDC dc) { RECT r{0, 0, 4, 4}; FillRect(dc, &r, (HBRUSH)GetStockObject(WHITE_BRUSH)); },
         0x00FFFFFF},
        {"R2_NOT inverts every bit",
         [](HDC dc) { SetROP2(dc, R2_NOT); SelectObject(dc, GetStockObject(NULL_PEN)); Rectangle(dc, 0, 0, 5, 5); },
         ~D},
        {"R2_WHITE", [](HDC dc) { SetROP2(dc, R2_WHITE); SelectObject(dc, GetStockObject(NULL_PEN)); Rectangle(dc, 0, 0, 5, 5); },
         0xFFFFFFFF},
        {"R2_XORPEN keeps the top byte",
         [](HDC dc) { SetROP2(dc, R2_XORPEN); SelectObject(dc, GetStockObject(NULL_PEN)); Rectangle(dc, 0, 0, 5, 5); },
         D ^ 0x00FFFFFF},
        {"DSTINVERT", [](HDC dc) { PatBlt(dc, 0, 0, 4, 4, DSTINVERT); }, ~D},
        {"SetPixel stores the colour", [](HDC dc) { SetPixel(dc, 1, 1, RGB(1, 2, 3)); }, 0x00010203},
        {"InvertRect", [](HDC dc) { RECT r{0, 0, 4, 4}; InvertRect(dc, &r); }, ~D},
        {"cosmetic pen under R2_NOT",
         [](HDC dc) { SetROP2(dc, R2_NOT); MoveToEx(dc, 0, 1, nullptr); LineTo(dc, 4, 1); }, ~D},
        {"hatch gap in the background colour (top byte 0)",
         [](HDC dc) {
             SelectObject(dc, CreateHatchBrush(HS_CROSS, RGB(9, 9, 9)));
             SetBkColor(dc, RGB(0x10, 0x20, 0x30));
             PatBlt(dc, 0, 0, 4, 4, PATCOPY);
             DeleteObject(SelectObject(dc, GetStockObject(WHITE_BRUSH)));
         },
         0x00102030},
        {"hatch gap under PATINVERT",
         [](HDC dc) {
             SelectObject(dc, CreateHatchBrush(HS_CROSS, RGB(9, 9, 9)));
             SetBkColor(dc, RGB(0x10, 0x20, 0x30));
             PatBlt(dc, 0, 0, 4, 4, PATINVERT);
             DeleteObject(SelectObject(dc, GetStockObject(WHITE_BRUSH)));
         },
         D ^ 0x00102030},
    };
    for (const Case& c : cases) {
        Canvas cv(4, 4, D);
        c.draw(cv.dc);
        EXPECT_EQ(cv.at(1, 1), c.want) << c.what;
        SelectObject(cv.dc, GetStockObject(BLACK_PEN));
    }
}

// A 32-bpp DIB pattern: row 0 is the image's top row, tiles start at the
// brush origin, values are copied whole; also through BS_DIBPATTERN with a
// global handle and with the block's own address.
TEST(GdiRaster, DibPatternAlignsToBrushOriginAndTopRow) {
    PackedDib<3, 2> dib(kTile);
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, sizeof dib);
    std::memcpy(GlobalLock(mem), &dib, sizeof dib);
    GlobalUnlock(mem);
    LOGBRUSH by_handle{BS_DIBPATTERN, DIB_RGB_COLORS, reinterpret_cast<ULONG_PTR>(mem)};
    LOGBRUSH by_address{BS_DIBPATTERN, DIB_RGB_COLORS, reinterpret_cast<ULONG_PTR>(&dib)};
    HBRUSH brushes[] = {CreateDIBPatternBrushPt(&dib, DIB_RGB_COLORS), CreateBrushIndirect(&by_handle),
                        CreateBrushIndirect(&by_address)};
    for (HBRUSH br : brushes) {
        ASSERT_NE(br, nullptr);
        Canvas cv(11, 5, 0x11111111);
        SetBrushOrgEx(cv.dc, 4, 3, nullptr);
        SelectObject(cv.dc, br);
        SelectObject(cv.dc, GetStockObject(NULL_PEN));
        Rectangle(cv.dc, 1, 0, 12, 6);  // fills columns 1..10, rows 0..4
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 11; ++x) {
                uint32_t want = x == 0 ? 0x11111111u : kTile[(y + 1) % 2][(x + 2) % 3];  // (y-3) mod 2, (x-4) mod 3
                ASSERT_EQ(cv.at(x, y), want) << x << "," << y;
            }
        SelectObject(cv.dc, GetStockObject(WHITE_BRUSH));
        DeleteObject(br);
    }
    GlobalFree(mem);
    LOGBRUSH small{BS_DIBPATTERN, DIB_RGB_COLORS, 0x1234};  // neither a handle nor an address
    EXPECT_EQ(CreateBrushIndirect(&small), nullptr);
    // A 1 x 1048576 pattern: prepared without repeating its rows sideways.
    std::vector<uint32_t> tall(sizeof(BITMAPINFOHEADER) / 4 + (1 << 20), 0x00ABCDEF);
    BITMAPINFOHEADER h{sizeof h, 1, -(1 << 20), 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::memcpy(tall.data(), &h, sizeof h);
    HBRUSH tb = CreateDIBPatternBrushPt(tall.data(), DIB_RGB_COLORS);
    ASSERT_NE(tb, nullptr);
    Canvas cv(4, 4, 0);
    RECT r{0, 0, 4, 4};
    FillRect(cv.dc, &r, tb);
    EXPECT_EQ(cv.at(3, 3), 0x00ABCDEFu);
    DeleteObject(tb);
}

// Hatched and pattern pens paint their pixels with that brush; a 1-bpp
// pattern pen uses the text (0 bits) and background (1 bits) colours.
TEST(GdiRaster, HatchedAndPatternPensPaintWithTheirBrush) {
    const uint8_t cross[8] = {0x08, 0x08, 0x08, 0xFF, 0x08, 0x08, 0x08, 0x08};
    const BYTE bits[16] = {0xF0, 0, 0x0F, 0, 0xAA, 0, 0x55, 0, 0xF0, 0, 0x0F, 0, 0xAA, 0, 0x55, 0};
    HBITMAP mono = CreateBitmap(8, 8, 1, 1, bits);
    LOGBRUSH hatch{BS_HATCHED, RGB(0x20, 0x40, 0xF0), HS_CROSS};
    LOGBRUSH pattern{BS_PATTERN, 0, reinterpret_cast<ULONG_PTR>(mono)};
    for (int kind = 0; kind < 2; ++kind) {
        HPEN pen = ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT, 6, kind ? &pattern : &hatch, 0, nullptr);
        ASSERT_NE(pen, nullptr);
        Canvas cv(24, 16, 0x00D8E0E8);
        SetTextColor(cv.dc, RGB(0x11, 0x22, 0x33));
        SetBkColor(cv.dc, RGB(0xEE, 0xDD, 0xCC));
        SelectObject(cv.dc, pen);
        MoveToEx(cv.dc, 2, 8, nullptr);
        LineTo(cv.dc, 22, 8);
        int checked = 0;
        for (int y = 6; y < 10; ++y)  // rows well inside the 6-pixel stroke
            for (int x = 4; x < 20; ++x) {
                bool set = kind ? (bits[2 * (y % 8)] >> (7 - x % 8)) & 1 : (cross[y % 8] >> (7 - x % 8)) & 1;
                uint32_t want = kind ? (set ? 0x00EEDDCCu : 0x00112233u) : (set ? 0x002040F0u : 0x00EEDDCCu);
                ASSERT_EQ(cv.at(x, y), want) << "kind " << kind << " at " << x << "," << y;
                ++checked;
            }
        EXPECT_EQ(checked, 64);
        SelectObject(cv.dc, GetStockObject(BLACK_PEN));
        DeleteObject(pen);
    }
    DeleteObject(mono);
}

// Extents and positions at the ends of the int range draw what lies inside
// the surface, or nothing, without overflow and in bounded time.
TEST(GdiRaster, HostileBlitExtentsAreClipped) {
    Canvas src(8, 8, 0x00123456);
    Canvas dst(16, 16, 0);
    const int v[] = {INT_MIN, INT_MIN + 1, -1000000000, -1, 0, 1, 1000000000, INT_MAX - 1, INT_MAX};
    for (int a : v)
        for (int b : v) {
            BitBlt(dst.dc, a, b, b, a, src.dc, b, a, SRCCOPY);
            BitBlt(dst.dc, a, 0, b, 16, src.dc, 0, b, SRCINVERT);
            StretchBlt(dst.dc, 0, a, b, 16, src.dc, a, 0, 8, b, SRCCOPY);
            StretchBlt(dst.dc, a, b, 16, 16, src.dc, 0, 0, a, b, MERGECOPY);
            PatBlt(dst.dc, a, b, b, a, PATINVERT);
        }
    dst.clear(0);
    EXPECT_TRUE(BitBlt(dst.dc, 12, -4, INT_MAX, INT_MAX, src.dc, 0, 0, SRCCOPY));  // to the surface's edges
    EXPECT_EQ(dst.at(15, 3), 0x00123456u);
    EXPECT_EQ(dst.at(11, 3), 0u);
    EXPECT_EQ(dst.at(15, 4), 0u);  // source rows end at 8: rows 4.. have none
    EXPECT_FALSE(BitBlt(nullptr, 0, 0, 4, 4, src.dc, 0, 0, SRCCOPY));
    EXPECT_FALSE(PatBlt(nullptr, 0, 0, 4, 4, PATCOPY));
    RECT r{0, 0, 4, 4};
    EXPECT_EQ(FillRect(dst.dc, &r, nullptr), 0);
    // A brush origin at the end of the range: tiles still wrap (INT_MIN = 0 mod 8).
    SelectObject(dst.dc, CreateHatchBrush(HS_VERTICAL, RGB(0, 0, 0xFF)));
    SetBrushOrgEx(dst.dc, INT_MIN, INT_MAX, nullptr);
    EXPECT_TRUE(PatBlt(dst.dc, 0, 0, 16, 16, PATCOPY));
    EXPECT_EQ(dst.at(4, 0), 0x0000FFu);
    DeleteObject(SelectObject(dst.dc, GetStockObject(WHITE_BRUSH)));
    EXPECT_EQ(GetPixel(dst.dc, INT_MIN, INT_MAX), CLR_INVALID);
    EXPECT_EQ(SetPixel(dst.dc, INT_MAX, INT_MIN, 0), CLR_INVALID);
}

// One hatch brush selected into two DCs with different background colours,
// drawn from two threads: each DC gets its own gap colour every time.
TEST(GdiRaster, SharedPatternBrushAcrossThreads) {
    HBRUSH br = CreateHatchBrush(HS_VERTICAL, RGB(0, 0, 0xFF));
    bool ok[2] = {true, true};
    auto work = [&](int k) {
        Canvas cv(16, 8, 0);
        SelectObject(cv.dc, br);
        SelectObject(cv.dc, GetStockObject(NULL_PEN));
        SetBkColor(cv.dc, k ? RGB(0x10, 0x20, 0x30) : RGB(0x40, 0x50, 0x60));
        for (int i = 0; i < 300; ++i) {
            Rectangle(cv.dc, 0, 0, 17, 9);
            ok[k] = ok[k] && cv.at(4, 3) == 0x0000FFu && cv.at(5, 3) == (k ? 0x102030u : 0x405060u);
        }
        SelectObject(cv.dc, GetStockObject(WHITE_BRUSH));
    };
    std::thread a(work, 0), b(work, 1);
    a.join();
    b.join();
    EXPECT_TRUE(ok[0]);
    EXPECT_TRUE(ok[1]);
    DeleteObject(br);
}

// Where the pattern lands in blits that also read a white source, as the
// reference GDI draws it: MERGECOPY (P and S) and 0xE0 (P and (D or S)) show
// the pattern itself; 0x18 ((S xor P) and (P xor D)) over black mixes the
// pattern at two placements. Pattern pixel (c, r) holds 0x100000 | r << 8 | c;
// pixel (x, y) of the painted box shows c = (x + cx) mod 8, r = (y + ry) mod 8,
// and for 0x18 also the pattern at (x + mx, y + my).
TEST(GdiRaster, PatternPlacementInBlitsWithASource) {
    struct Case {
        int dx, dy, sx, sy, mono, ox, oy, mode;  // mode 1: clip to (6,6)-(40,40); 2: 2x StretchBlt
        uint8_t code;
        RECT box;
        int cx, ry, mx, my;
    };
    const Case cases[] = {
        {5, 7, 2, 3, 0, 0, 0, 0, 0xC0, {5, 7, 21, 23}, 2, 2, 0, 0},
        {5, 7, 2, 3, 1, 0, 0, 0, 0xC0, {5, 7, 21, 23}, 6, 2, 0, 0},
        {5, 7, 2, 3, 0, 1, 2, 0, 0xC0, {5, 7, 21, 23}, 1, 0, 0, 0},
        {5, 7, 2, 3, 1, 1, 2, 0, 0xC0, {5, 7, 21, 23}, 5, 0, 0, 0},
        {13, 11, 7, 5, 0, 0, 0, 0, 0xC0, {13, 11, 29, 27}, 4, 2, 0, 0},
        {-3, -2, 4, 0, 0, 0, 0, 0, 0xC0, {0, 0, 13, 14}, 6, 0, 0, 0},
        {-3, -2, 0, 0, 1, 0, 0, 0, 0xC0, {0, 0, 13, 14}, 0, 0, 0, 0},
        {5, 4, -3, -2, 1, 0, 0, 0, 0xC0, {8, 6, 21, 20}, 0, 4, 0, 0},
        {5, 4, 56, 60, 0, 0, 0, 0, 0xC0, {5, 4, 13, 8}, 6, 0, 0, 0},
        {3, 3, 0, 0, 1, 0, 0, 1, 0xC0, {6, 6, 19, 19}, 4, 4, 0, 0},
        {3, 2, -2, -1, 0, 0, 0, 2, 0xC0, {7, 4, 19, 18}, 2, 0, 0, 0},
        {5, 7, 2, 3, 0, 1, 2, 0, 0xE0, {5, 7, 21, 23}, 7, 6, 0, 0},
        {3, 2, 1, 0, 0, 0, 0, 0, 0x18, {3, 2, 19, 18}, 0, 0, 4, 4},
    };
    uint32_t tile[8][8];
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c) tile[r][c] = 0x100000u | uint32_t(r << 8 | c);
    PackedDib<8, 8> dib(tile);
    HBRUSH br = CreateDIBPatternBrushPt(&dib, DIB_RGB_COLORS);
    Canvas colour(64, 64, 0x00FFFFFF);
    std::vector<uint8_t> ones(64 * 8, 0xFF);
    HBITMAP mono = CreateBitmap(64, 64, 1, 1, ones.data());
    HDC mdc = CreateCompatibleDC(nullptr);
    SelectObject(mdc, mono);
    for (const Case& k : cases) {
        uint32_t bg = k.code == 0x18 ? 0 : 0x00D8E0E8;
        Canvas cv(48, 48, bg);
        SetBkColor(cv.dc, RGB(255, 255, 255));
        SetBrushOrgEx(cv.dc, k.ox, k.oy, nullptr);
        SelectObject(cv.dc, br);
        if (k.mode == 1) IntersectClipRect(cv.dc, 6, 6, 40, 40);
        HDC s = k.mono ? mdc : colour.dc;
        if (k.mode == 2) StretchBlt(cv.dc, k.dx, k.dy, 16, 16, s, k.sx, k.sy, 8, 8, DWORD(k.code) << 16);
        else BitBlt(cv.dc, k.dx, k.dy, 16, 16, s, k.sx, k.sy, DWORD(k.code) << 16);
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 48; ++x) {
                bool in = x >= k.box.left && x < k.box.right && y >= k.box.top && y < k.box.bottom;
                uint32_t p = tile[(y + k.ry) % 8][(x + k.cx) % 8], want = in ? p : bg;
                if (in && k.code == 0x18) want = (0x00FFFFFFu ^ tile[(y + k.my) % 8][(x + k.mx) % 8]) & p;
                ASSERT_EQ(cv.at(x, y), want) << "case at " << k.dx << "," << k.dy << " code " << int(k.code)
                                             << " pixel " << x << "," << y;
            }
        SelectObject(cv.dc, GetStockObject(WHITE_BRUSH));
    }
    DeleteDC(mdc);
    DeleteObject(mono);
    DeleteObject(br);
}
