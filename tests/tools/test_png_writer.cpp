// The PNG encoder of the snapshot helper, read back with libpng: sizes and
// pixels survive, for flat areas (long runs), noise (no runs), runs that end
// exactly at a 258-byte match, one-pixel and odd-sized pictures.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "png_writer.h"

namespace {

// Decodes a PNG held in memory to 0x00RRGGBB pixels; false if libpng refuses it.
bool Decode(const std::string& png, std::vector<uint32_t>* pixels, int* w, int* h) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, png.data(), png.size())) return false;
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return false;
    *w = int(image.width);
    *h = int(image.height);
    pixels->clear();
    for (size_t i = 0; i + 2 < rgb.size(); i += 3) pixels->push_back(uint32_t(rgb[i]) << 16 | rgb[i + 1] << 8 | rgb[i + 2]);
    return true;
}

}  // namespace

TEST(PngWriter, RoundTripsThroughLibpng) {
    uint32_t seed = 12345;
    auto noise = [&] { return (seed = seed * 1103515245u + 12345u) >> 8; };
    struct Case {
        const char* name;
        int w, h;
        std::function<uint32_t(int, int)> pixel;
    };
    const Case cases[] = {
        {"one pixel", 1, 1, [](int, int) { return 0x123456u; }},
        {"flat", 300, 7, [](int, int) { return 0xFFFFFFu; }},
        {"262 equal bytes: a literal, a 258-byte run and a 3-byte run", 87, 1, [](int, int) { return 0x000000u; }},
        {"stripes", 33, 17, [](int x, int y) { return (x / 3 + y) % 2 ? 0xAA0000u : 0x0055AAu; }},
        {"noise", 29, 13, [&](int, int) { return noise() & 0xFFFFFF; }},
        {"top byte ignored", 4, 4, [](int x, int) { return 0xFF000000u | uint32_t(x * 0x102030); }},
    };
    for (const Case& c : cases) {
        std::vector<uint32_t> in;
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x) in.push_back(c.pixel(x, y));
        std::vector<uint32_t> out;
        int w = 0, h = 0;
        ASSERT_TRUE(Decode(snapshot::EncodePng(in.data(), c.w, c.h), &out, &w, &h)) << c.name;
        EXPECT_EQ(w, c.w) << c.name;
        EXPECT_EQ(h, c.h) << c.name;
        for (uint32_t& p : in) p &= 0xFFFFFF;
        EXPECT_EQ(out, in) << c.name;
    }
    EXPECT_TRUE(snapshot::EncodePng(nullptr, 0, 5).empty());
    // Flat drawings compress: a white 300 x 200 picture is far below its 180,000 raw bytes.
    std::vector<uint32_t> white(300 * 200, 0xFFFFFF);
    EXPECT_LT(snapshot::EncodePng(white.data(), 300, 200).size(), 2000u);
}
