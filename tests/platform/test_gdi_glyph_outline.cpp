// GetGlyphOutlineA: metrics from the test font's own design (1000 units per
// em, ascent 800, drawn at an em of 100 pixels), buffer sizes with rows
// padded to 4 bytes, and images that agree pixel for pixel with what
// ExtTextOutA draws at the glyph origin, for single-byte and GBK characters,
// glyph indices, one bit and every grey depth; another matrix turns the design.
#include <cstring>
#include <string>
#include <vector>

#include "gdi_test_util.h"

using namespace gdi_test;

namespace {

const std::string kBlocks = std::string(LV_TEST_DATA_DIR) + "/blocks.ttf";
constexpr uint32_t kWhite = 0x00FFFFFF;
const MAT2 kIdentity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};

struct Case {
    const char* face;
    LONG height;
    BYTE quality;
    UINT code;        // as GetGlyphOutlineA takes it
    const char* text; // the same character for ExtTextOutA
    UINT format;
    // The black box and origin the font's design gives (width < 0: not checked).
    int box_w, box_h, origin_x, origin_y, inc;
};

constexpr BYTE kMono = NONANTIALIASED_QUALITY, kGrey = ANTIALIASED_QUALITY;

const Case kCases[] = {
    {"Glint Test Blocks", -100, kMono, 'A', "A", GGO_BITMAP, 50, 70, 10, 70, 70},
    {"Glint Test Blocks", -100, kMono, 'B', "B", GGO_BITMAP, 50, 70, 10, 70, 70},
    {"Glint Test Blocks", -100, kMono, 3, "B", GGO_BITMAP | GGO_GLYPH_INDEX, 50, 70, 10, 70, 70},
    {"Glint Test Blocks", -100, kMono, 0xD6D0, "\xD6\xD0", GGO_BITMAP, 90, 90, 5, 80, 100},
    {"Glint Test Blocks", -100, kGrey, 'C', "C", GGO_GRAY2_BITMAP, -1, 0, 0, 0, 70},
    {"Glint Test Blocks", -100, kGrey, 'C', "C", GGO_GRAY4_BITMAP, -1, 0, 0, 0, 70},
    {"Glint Test Blocks", -100, kGrey, 'C', "C", GGO_GRAY8_BITMAP, -1, 0, 0, 0, 70},
    {"Glint Test Blocks", -33, kGrey, 0xD6D0, "\xD6\xD0", GGO_GRAY4_BITMAP, -1, 0, 0, 0, 33},
    {"Glint Test Blocks", -100, kGrey, 5, "\xD6\xD0", GGO_GRAY8_BITMAP | GGO_GLYPH_INDEX, -1, 0, 0, 0, 100},
    // The layer's default font and a scalable system face.
    {"System", 16, kMono, 'g', "g", GGO_BITMAP, -1, 0, 0, 0, 8},
    {"System", 16, kMono, 0xD6D0, "\xD6\xD0", GGO_BITMAP, -1, 0, 0, 0, 16},
    {"DejaVu Sans", -23, kGrey, 'W', "W", GGO_GRAY4_BITMAP, -1, 0, 0, 0, -1},
};

int max_level(UINT format) {
    switch (format & 0x7F) {
        case GGO_GRAY2_BITMAP: return 4;
        case GGO_GRAY4_BITMAP: return 16;
        case GGO_GRAY8_BITMAP: return 64;
        default: return 1;
    }
}

class GlyphOutline : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(AddFontResourceExA(kBlocks.c_str(), FR_PRIVATE, nullptr), 1); }
    void TearDown() override { RemoveFontResourceExA(kBlocks.c_str(), FR_PRIVATE, nullptr); }
};

}  // namespace

TEST_F(GlyphOutline, ImagesAgreeWithTextOutput) {
    for (const Case& k : kCases) {
        SCOPED_TRACE(std::string(k.face) + " code " + std::to_string(k.code) + " format " + std::to_string(k.format));
        Canvas c(240, 160, kWhite);
        HFONT f = CreateFontA(k.height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, k.quality, 0, k.face);
        HGDIOBJ old = SelectObject(c.dc, f);
        SetBkMode(c.dc, TRANSPARENT);
        SetTextColor(c.dc, RGB(0, 0, 0));
        const int x0 = 40, y0 = 30;
        ASSERT_TRUE(ExtTextOutA(c.dc, x0, y0, 0, nullptr, k.text, UINT(std::strlen(k.text)), nullptr));
        TEXTMETRICA tm{};
        GetTextMetricsA(c.dc, &tm);

        GLYPHMETRICS gm;
        std::memset(&gm, 0xCC, sizeof gm);
        const DWORD size = GetGlyphOutlineA(c.dc, k.code, k.format, &gm, 0, nullptr, &kIdentity);
        ASSERT_NE(size, GDI_ERROR);
        const int levels = max_level(k.format);
        const DWORD pitch = levels > 1 ? (gm.gmBlackBoxX + 3) / 4 * 4 : (gm.gmBlackBoxX + 31) / 32 * 4;
        EXPECT_EQ(size, pitch * gm.gmBlackBoxY);
        if (k.box_w >= 0) {
            EXPECT_EQ(int(gm.gmBlackBoxX), k.box_w);
            EXPECT_EQ(int(gm.gmBlackBoxY), k.box_h);
            EXPECT_EQ(gm.gmptGlyphOrigin.x, k.origin_x);
            EXPECT_EQ(gm.gmptGlyphOrigin.y, k.origin_y);
        }
        if (k.inc >= 0) {
            EXPECT_EQ(gm.gmCellIncX, k.inc);
        }
        EXPECT_EQ(gm.gmCellIncY, 0);
        SIZE ext{};
        GetTextExtentPoint32A(c.dc, k.text, int(std::strlen(k.text)), &ext);
        EXPECT_EQ(gm.gmCellIncX, ext.cx);

        // A short buffer is refused untouched; the image fills exactly `size` bytes.
        std::vector<uint8_t> buf(size + 8, 0xA5);
        EXPECT_EQ(GetGlyphOutlineA(c.dc, k.code, k.format, &gm, size - 1, buf.data(), &kIdentity), GDI_ERROR);
        EXPECT_EQ(buf[0], 0xA5);
        ASSERT_EQ(GetGlyphOutlineA(c.dc, k.code, k.format, &gm, size + 8, buf.data(), &kIdentity), size);
        for (DWORD i = size; i < size + 8; ++i) EXPECT_EQ(buf[i], 0xA5);

        // Every pixel of the canvas: ink where the image has it, nothing elsewhere.
        const int left = x0 + gm.gmptGlyphOrigin.x, top = y0 + tm.tmAscent - gm.gmptGlyphOrigin.y;
        int wrong = 0, inked = 0;
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x) {
                const int gx = x - left, gy = y - top;
                int level = 0;
                if (gx >= 0 && gy >= 0 && gx < int(gm.gmBlackBoxX) && gy < int(gm.gmBlackBoxY)) {
                    const uint8_t* row = buf.data() + size_t(gy) * pitch;
                    level = levels > 1 ? row[gx] : (row[gx >> 3] >> (7 - (gx & 7))) & 1;
                }
                const int dark = 255 - int(c.at(x, y) & 0xFF);
                inked += level > 0;
                // Within half a grey step of the level (exact for one bit).
                if (2 * std::abs(dark * levels - level * 255) > 255 + levels) ++wrong;
            }
        EXPECT_EQ(wrong, 0);
        EXPECT_GT(inked, 0);
        SelectObject(c.dc, old);
        DeleteObject(f);
    }
}

TEST_F(GlyphOutline, BlanksMetricsAndRefusals) {
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT f = CreateFontA(-100, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, kGrey, 0, "Glint Test Blocks");
    HGDIOBJ old = SelectObject(dc, f);
    GLYPHMETRICS gm{};
    // A space: a one-pixel black box, no image, its advance.
    for (UINT format : {UINT(GGO_BITMAP), UINT(GGO_GRAY2_BITMAP), UINT(GGO_GRAY8_BITMAP)}) {
        uint8_t b[4] = {7, 7, 7, 7};
        EXPECT_EQ(GetGlyphOutlineA(dc, ' ', format, &gm, sizeof b, b, &kIdentity), 0u);
        EXPECT_EQ(gm.gmBlackBoxX, 1u);
        EXPECT_EQ(gm.gmBlackBoxY, 1u);
        EXPECT_EQ(gm.gmCellIncX, 30);
    }
    GLYPHMETRICS m{};
    EXPECT_NE(GetGlyphOutlineA(dc, 'A', GGO_METRICS, &m, 0, nullptr, &kIdentity), GDI_ERROR);
    EXPECT_EQ(m.gmBlackBoxX, 50u);
    EXPECT_EQ(m.gmCellIncX, 70);
    // No matrix, no metrics record, outlines, a matrix that would make a giant image.
    const MAT2 giant = {{0, 30000}, {0, 0}, {0, 0}, {0, 30000}};
    EXPECT_EQ(GetGlyphOutlineA(dc, 'A', GGO_BITMAP, &gm, 0, nullptr, nullptr), GDI_ERROR);
    EXPECT_EQ(GetGlyphOutlineA(dc, 'A', GGO_BITMAP, nullptr, 0, nullptr, &kIdentity), GDI_ERROR);
    EXPECT_EQ(GetGlyphOutlineA(dc, 'A', GGO_NATIVE, &gm, 0, nullptr, &kIdentity), GDI_ERROR);
    EXPECT_EQ(GetGlyphOutlineA(dc, 'A', GGO_BITMAP, &gm, 0, nullptr, &giant), GDI_ERROR);
    EXPECT_EQ(GetGlyphOutlineA(nullptr, 'A', GGO_BITMAP, &gm, 0, nullptr, &kIdentity), GDI_ERROR);
    // The wide form takes the Unicode character.
    GLYPHMETRICS w{};
    EXPECT_EQ(GetGlyphOutlineW(dc, 0x4E2D, GGO_GRAY4_BITMAP, &w, 0, nullptr, &kIdentity),
              GetGlyphOutlineA(dc, 0xD6D0, GGO_GRAY4_BITMAP, &gm, 0, nullptr, &kIdentity));
    EXPECT_EQ(w.gmBlackBoxX, 90u);
    SelectObject(dc, old);
    DeleteObject(f);
    DeleteDC(dc);
}

TEST_F(GlyphOutline, MatrixTurnsTheDesign) {
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT f = CreateFontA(-100, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, kMono, 0, "Glint Test Blocks");
    HGDIOBJ old = SelectObject(dc, f);
    auto image = [&](UINT ch, const MAT2& m, GLYPHMETRICS* gm) {
        DWORD n = GetGlyphOutlineA(dc, ch, GGO_BITMAP, gm, 0, nullptr, &m);
        std::vector<uint8_t> bits(n == GDI_ERROR ? 0 : n);
        if (n && n != GDI_ERROR) GetGlyphOutlineA(dc, ch, GGO_BITMAP, gm, n, bits.data(), &m);
        return bits;
    };
    auto bit = [](const std::vector<uint8_t>& b, const GLYPHMETRICS& gm, int x, int y) {
        return (b[size_t(y) * ((gm.gmBlackBoxX + 31) / 32 * 4) + size_t(x >> 3)] >> (7 - (x & 7))) & 1;
    };
    GLYPHMETRICS up{};
    const std::vector<uint8_t> frame = image('B', kIdentity, &up);
    ASSERT_EQ(up.gmBlackBoxX, 50u);
    ASSERT_EQ(up.gmBlackBoxY, 70u);

    // A quarter turn anticlockwise: the frame stands on its left side, the
    // advance points up.
    const MAT2 turn = {{0, 0}, {0, 1}, {0, -1}, {0, 0}};
    GLYPHMETRICS gm{};
    std::vector<uint8_t> turned = image('B', turn, &gm);
    ASSERT_EQ(gm.gmBlackBoxX, 70u);
    ASSERT_EQ(gm.gmBlackBoxY, 50u);
    EXPECT_EQ(gm.gmptGlyphOrigin.x, -70);
    EXPECT_EQ(gm.gmptGlyphOrigin.y, 60);
    EXPECT_EQ(gm.gmCellIncX, 0);
    EXPECT_EQ(gm.gmCellIncY, 70);
    int wrong = 0;
    for (int y = 0; y < 70; ++y)
        for (int x = 0; x < 50; ++x) wrong += bit(frame, up, x, y) != bit(turned, gm, y, 49 - x);
    EXPECT_EQ(wrong, 0);

    // A turned space: still blank, its advance turned.
    EXPECT_EQ(image(' ', turn, &gm).size(), 0u);
    EXPECT_EQ(gm.gmCellIncY, 30);
    SelectObject(dc, old);
    DeleteObject(f);
    DeleteDC(dc);
}
