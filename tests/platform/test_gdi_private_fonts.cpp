// A program's own font files: a face is found by its family names (English
// and Chinese, any case) only while its file is added, every face of a
// collection is added, adds are counted, fonts made before a removal keep
// drawing, and adding and removing race safely with drawing.
// The fonts (tests/platform/data/make_test_fonts.py) have 1000 units per em
// and an ascent of 800: at an em of 100 pixels, 'A' of "Glint Test Blocks"
// is the solid block x 10..60, y 0..70 above the baseline.
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "gdi_test_util.h"

using namespace gdi_test;

namespace {

const std::string kBlocks = std::string(LV_TEST_DATA_DIR) + "/blocks.ttf";
const std::string kPair = std::string(LV_TEST_DATA_DIR) + "/pair.ttc";
const char kBlocksZh[] = "\xB2\xE2\xCA\xD4\xB7\xBD\xBF\xE9";  // 测试方块 in code page 936
constexpr uint32_t kWhite = 0x00FFFFFF;

HFONT em100(const char* face) {
    return CreateFontA(-100, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0, face);
}

// Draws 'A' with the font at (20, 10) and tells how well the ink covers the
// block device x [x0, x1), y [20, 90): the share of the block inked and the
// count of inked pixels outside it.
struct Fit {
    double inside = 0;
    int outside = 0;
    bool is() const { return inside >= 0.97 && outside <= 40; }
};

Fit draw_a(HFONT font, int x0 = 30, int x1 = 80) {
    Canvas c(200, 140, kWhite);
    HGDIOBJ old = SelectObject(c.dc, font);
    SetBkMode(c.dc, TRANSPARENT);
    SetTextColor(c.dc, RGB(0, 0, 0));
    TextOutA(c.dc, 20, 10, "A", 1);
    SelectObject(c.dc, old);
    Fit f;
    int in = 0;
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x) {
            const bool ink = c.at(x, y) != kWhite;
            const bool box = x >= x0 && x < x1 && y >= 20 && y < 90;
            in += ink && box;
            f.outside += ink && !box;
        }
    f.inside = double(in) / ((x1 - x0) * 70);
    return f;
}

bool draws_block(const char* face, int x0 = 30, int x1 = 80) {
    HFONT f = em100(face);
    Fit fit = draw_a(f, x0, x1);
    DeleteObject(f);
    return fit.is();
}

}  // namespace

TEST(GdiPrivateFonts, FaceFoundOnlyWhileAddedByEveryName) {
    const char* names[] = {"Glint Test Blocks", "gLINT test blocks", kBlocksZh};
    for (const char* name : names) EXPECT_FALSE(draws_block(name)) << name;

    ASSERT_EQ(AddFontResourceExA(kBlocks.c_str(), FR_PRIVATE, nullptr), 1);
    for (const char* name : names) EXPECT_TRUE(draws_block(name)) << name;
    // The font's real name is kept as given; other families are untouched.
    EXPECT_FALSE(draws_block("Glint Test"));

    // A font in use when its file goes keeps drawing with it.
    HFONT held = em100("Glint Test Blocks");
    EXPECT_TRUE(draw_a(held).is());
    EXPECT_TRUE(RemoveFontResourceExA(kBlocks.c_str(), FR_PRIVATE, nullptr));
    EXPECT_TRUE(draw_a(held).is());
    DeleteObject(held);
    for (const char* name : names) EXPECT_FALSE(draws_block(name)) << name;
    EXPECT_FALSE(RemoveFontResourceExA(kBlocks.c_str(), FR_PRIVATE, nullptr));

    // The wide forms take Unicode paths.
    const std::wstring wide(kBlocks.begin(), kBlocks.end());
    ASSERT_EQ(AddFontResourceExW(wide.c_str(), FR_PRIVATE, nullptr), 1);
    EXPECT_TRUE(draws_block(kBlocksZh));
    EXPECT_TRUE(RemoveFontResourceExW(wide.c_str(), FR_PRIVATE, nullptr));
}

TEST(GdiPrivateFonts, CollectionsCountsKindsAndFailures) {
    // Both faces of a collection, each its own family.
    ASSERT_EQ(AddFontResourceExA(kPair.c_str(), FR_PRIVATE | FR_NOT_ENUM, nullptr), 2);
    EXPECT_TRUE(draws_block("Glint Test Left", 30, 55));
    EXPECT_TRUE(draws_block("Glint Test Right", 55, 80));
    // Added twice, removed twice; the name reached through another spelling of the path.
    ASSERT_EQ(AddFontResourceExA(kPair.c_str(), FR_PRIVATE, nullptr), 2);
    const std::string other = std::string(LV_TEST_DATA_DIR) + "/./../data/pair.ttc";
    EXPECT_TRUE(RemoveFontResourceExA(other.c_str(), FR_PRIVATE, nullptr));
    EXPECT_TRUE(draws_block("Glint Test Right", 55, 80));
    EXPECT_TRUE(RemoveFontResourceExA(kPair.c_str(), FR_PRIVATE, nullptr));
    EXPECT_FALSE(draws_block("Glint Test Right", 55, 80));

    // A family name longer than a LOGFONT holds answers to its first 31 bytes.
    const std::string long_name = std::string(LV_TEST_DATA_DIR) + "/long.ttf";
    ASSERT_EQ(AddFontResourceExA(long_name.c_str(), FR_PRIVATE, nullptr), 1);
    EXPECT_TRUE(draws_block("Glint Test Blocks With A Longer"));
    EXPECT_FALSE(draws_block("Glint Test Blocks With A Longe"));
    EXPECT_TRUE(RemoveFontResourceExA(long_name.c_str(), FR_PRIVATE, nullptr));

    // An ordinary add is removed as one, not as a private add.
    ASSERT_EQ(AddFontResourceA(kBlocks.c_str()), 1);
    EXPECT_TRUE(draws_block("Glint Test Blocks"));
    EXPECT_FALSE(RemoveFontResourceExA(kBlocks.c_str(), FR_PRIVATE, nullptr));
    EXPECT_TRUE(RemoveFontResourceA(kBlocks.c_str()));
    EXPECT_FALSE(draws_block("Glint Test Blocks"));

    // Failures add nothing and say why.
    const std::string missing = std::string(LV_TEST_DATA_DIR) + "/no-such-font.ttf";
    const std::string not_font = std::string(LV_TEST_DATA_DIR) + "/burst.mp3";
    int reserved = 0;
    struct Bad {
        const char* path;
        DWORD flags;
        void* reserved;
        DWORD error;
    } bad[] = {
        {missing.c_str(), FR_PRIVATE, nullptr, ERROR_FILE_NOT_FOUND},
        {not_font.c_str(), FR_PRIVATE, nullptr, ERROR_FILE_NOT_FOUND},
        {LV_TEST_DATA_DIR, FR_PRIVATE, nullptr, ERROR_FILE_NOT_FOUND},
        {nullptr, FR_PRIVATE, nullptr, ERROR_INVALID_PARAMETER},
        {"", FR_PRIVATE, nullptr, ERROR_INVALID_PARAMETER},
        {kBlocks.c_str(), 0x1, nullptr, ERROR_INVALID_PARAMETER},
        {kBlocks.c_str(), FR_PRIVATE, &reserved, ERROR_INVALID_PARAMETER},
    };
    for (const Bad& b : bad) {
        SetLastError(0);
        EXPECT_EQ(AddFontResourceExA(b.path, b.flags, b.reserved), 0) << (b.path ? b.path : "(null)");
        EXPECT_EQ(GetLastError(), b.error) << (b.path ? b.path : "(null)");
    }
    EXPECT_FALSE(draws_block("Glint Test Blocks"));
    EXPECT_FALSE(RemoveFontResourceExA(missing.c_str(), FR_PRIVATE, nullptr));
}

TEST(GdiPrivateFonts, AddingAndRemovingRaceWithDrawing) {
    std::atomic<bool> stop{false};
    std::atomic<int> odd{0};
    std::vector<std::thread> drawers;
    for (int t = 0; t < 2; ++t)
        drawers.emplace_back([&] {
            while (!stop.load()) {
                HFONT f = em100("Glint Test Blocks");
                Fit fit = draw_a(f);
                DeleteObject(f);
                // Either the block or another face's letter, never a mix.
                if (!fit.is() && fit.inside > 0.9) ++odd;
            }
        });
    std::thread other([&] {
        for (int i = 0; i < 40; ++i) {
            AddFontResourceExA(kPair.c_str(), FR_PRIVATE, nullptr);
            RemoveFontResourceExA(kPair.c_str(), FR_PRIVATE, nullptr);
        }
    });
    for (int i = 0; i < 40; ++i) {
        EXPECT_EQ(AddFontResourceExA(kBlocks.c_str(), FR_PRIVATE, nullptr), 1);
        EXPECT_TRUE(RemoveFontResourceExA(kBlocks.c_str(), FR_PRIVATE, nullptr));
    }
    other.join();
    stop = true;
    for (auto& d : drawers) d.join();
    EXPECT_EQ(odd.load(), 0);
    EXPECT_FALSE(draws_block("Glint Test Blocks"));
}
