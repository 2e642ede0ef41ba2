// DIB sections with bit-field masks: what a pixel stores and reads back,
// what GetObject reports, and the masks that are refused. Expectations
// follow the rule that each field keeps its channel's top bits (a field
// wider than 8 bits takes the channel in its top 8) and widens by repeating
// them once below.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

namespace {

struct MaskCase {
    const char* name;
    int bpp;
    DWORD masks[3];
    COLORREF set;
    DWORD raw;          // the stored pixel
    COLORREF read;      // GetPixel afterwards
};

HBITMAP section(int bpp, const DWORD masks[3], void** bits) {
    struct {
        BITMAPINFOHEADER h;
        DWORD masks[3];
    } bi{};
    bi.h.biSize = sizeof(BITMAPINFOHEADER);
    bi.h.biWidth = 3;
    bi.h.biHeight = -2;
    bi.h.biPlanes = 1;
    bi.h.biBitCount = WORD(bpp);
    bi.h.biCompression = BI_BITFIELDS;
    std::memcpy(bi.masks, masks, sizeof bi.masks);
    return CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS, bits, nullptr, 0);
}

TEST(GdiBitFields, PixelsStoreTopBitsAndReadBackWidened) {
    const MaskCase cases[] = {
        {"4-4-4", 16, {0x0F00, 0x00F0, 0x000F}, RGB(0x12, 0x34, 0x56), 0x0135, RGB(0x11, 0x33, 0x55)},
        {"5-6-5 blue high", 16, {0x001F, 0x07E0, 0xF800}, RGB(0xFF, 0x00, 0x80), 0x801F, RGB(0xFF, 0x00, 0x84)},
        {"3-3-2", 16, {0x00E0, 0x001C, 0x0003}, RGB(0xFF, 0x80, 0x40), 0x00F1, RGB(0xFC, 0x90, 0x50)},
        {"10-10-10", 32, {0x3FF00000, 0x000FFC00, 0x000003FF}, RGB(0x80, 0x40, 0xFF), 0x200403FC,
         RGB(0x80, 0x40, 0xFF)},
        {"8-8-8 blue high", 32, {0x000000FF, 0x0000FF00, 0x00FF0000}, RGB(0x12, 0x34, 0x56), 0x00563412,
         RGB(0x12, 0x34, 0x56)},
        {"2-2-2", 32, {0x00000C00, 0x00000300, 0x000000C0}, RGB(0xFF, 0x7F, 0x40), 0x00000D40,
         RGB(0xF0, 0x50, 0x50)},
    };
    for (const MaskCase& c : cases) {
        SCOPED_TRACE(c.name);
        void* bits = nullptr;
        HBITMAP bm = section(c.bpp, c.masks, &bits);
        ASSERT_NE(bm, nullptr);
        HDC dc = CreateCompatibleDC(nullptr);
        SelectObject(dc, bm);
        SetPixel(dc, 2, 1, c.set);
        // Rows are 4-byte aligned: 4 words at 16 bpp, 3 double words at 32.
        const DWORD raw = c.bpp == 16 ? static_cast<WORD*>(bits)[4 + 2] : static_cast<DWORD*>(bits)[3 + 2];
        EXPECT_EQ(raw & (c.masks[0] | c.masks[1] | c.masks[2]), c.raw);
        EXPECT_EQ(GetPixel(dc, 2, 1), c.read);
        // A fill reaches the last pixel of the row in the same fields.
        RECT r{0, 0, 3, 1};
        HBRUSH br = CreateSolidBrush(c.set);
        FillRect(dc, &r, br);
        EXPECT_EQ(GetPixel(dc, 2, 0), c.read);
        DIBSECTION ds{};
        ASSERT_EQ(GetObjectA(bm, sizeof ds, &ds), int(sizeof ds));
        EXPECT_EQ(ds.dsBmih.biCompression, DWORD(BI_BITFIELDS));
        for (int i = 0; i < 3; ++i) EXPECT_EQ(ds.dsBitfields[i], c.masks[i]);
        DeleteDC(dc);
        DeleteObject(bm);
        DeleteObject(br);
    }
}

TEST(GdiBitFields, AZeroMaskIsRefused) {
    const DWORD zero_red[3] = {0, 0xFF00, 0xFF}, zero_blue[3] = {0xFF0000, 0xFF00, 0};
    void* bits = reinterpret_cast<void*>(1);
    EXPECT_EQ(section(32, zero_red, &bits), nullptr);
    EXPECT_EQ(bits, nullptr);
    EXPECT_EQ(section(16, zero_blue, &bits), nullptr);
}

// A packed DIB with bit fields as a pattern brush takes its colours through its masks.
TEST(GdiBitFields, PatternBrushFromAPackedDibReadsItsMasks) {
    struct {
        BITMAPINFOHEADER h;
        DWORD masks[3];
        DWORD px[2];  // one row of two pixels
    } packed{};
    packed.h.biSize = sizeof(BITMAPINFOHEADER);
    packed.h.biWidth = 2;
    packed.h.biHeight = 1;
    packed.h.biPlanes = 1;
    packed.h.biBitCount = 32;
    packed.h.biCompression = BI_BITFIELDS;
    packed.masks[0] = 0x000000FF, packed.masks[1] = 0x0000FF00, packed.masks[2] = 0x00FF0000;
    packed.px[0] = 0x00563412, packed.px[1] = 0x000000FF;
    HBRUSH br = CreateDIBPatternBrushPt(&packed, DIB_RGB_COLORS);
    ASSERT_NE(br, nullptr);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 4, -1, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bm = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, bm);
    RECT r{0, 0, 4, 1};
    FillRect(dc, &r, br);
    const DWORD* px = static_cast<const DWORD*>(bits);
    EXPECT_EQ(px[0] & 0xFFFFFF, 0x123456u);
    EXPECT_EQ(px[1] & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(px[3] & 0xFFFFFF, 0xFF0000u);  // the last pixel repeats the pattern
    DeleteDC(dc);
    DeleteObject(bm);
    DeleteObject(br);
}

}  // namespace
