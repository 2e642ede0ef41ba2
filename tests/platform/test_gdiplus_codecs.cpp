// gdiplus.dll pictures: round trips through every encoder and decoder,
// hostile files refused, the encoder list, and drawing scaled, blended and
// clipped into a DC.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "gdi_test_util.h"
#include <gdiplus.h>
#include "gdiplus/picture.h"

using namespace plat::gdiplus;
using namespace Gdiplus::DllExports;
using Gdiplus::GdiplusShutdown;
using Gdiplus::GdiplusStartup;

// A JPEG of four inks (ink_jpeg.cpp).
std::vector<uint8_t> InkJpeg(const std::vector<std::array<uint8_t, 4>>& blocks, bool adobe);

namespace {

// An odd-sized picture with many colours (or few, for GIF) and optional alpha.
Picture Sample(UINT w, UINT h, bool alpha, bool few_colours) {
    Picture p;
    p.width = w;
    p.height = h;
    for (UINT y = 0; y < h; ++y)
        for (UINT x = 0; x < w; ++x) {
            uint32_t r = (x * 255) / (w - 1), g = (y * 255) / (h - 1), b = (x * 7 + y * 13) & 0xFF;
            if (few_colours) r &= 0xC0, g &= 0xC0, b &= 0x80;
            uint32_t a = alpha ? ((x + y) % 3 == 0 ? 0u : (x % 2 ? 255u : 0x80u)) : 255u;
            if (few_colours && a != 255) a = 0;  // GIF has on/off transparency only
            p.pixels.push_back(a << 24 | r << 16 | g << 8 | b);
        }
    update_opaque(&p);
    return p;
}

// For fully transparent pixels only alpha counts.
bool SamePixels(const Picture& a, const Picture& b) {
    if (a.width != b.width || a.height != b.height) return false;
    for (size_t i = 0; i < a.pixels.size(); ++i) {
        uint32_t p = a.pixels[i], q = b.pixels[i];
        if ((p >> 24) == 0 && (q >> 24) == 0) continue;
        if (p != q) return false;
    }
    return true;
}

TEST(GdiplusCodecs, LosslessFormatsRoundTripBitExactAndJpegClosely) {
    struct Case {
        Format f;
        bool alpha, few;
    };
    const Case cases[] = {{Format::Bmp, false, false}, {Format::Bmp, true, false}, {Format::Png, false, false},
                          {Format::Png, true, false},  {Format::Tiff, false, false}, {Format::Gif, false, true},
                          {Format::Gif, true, true},   {Format::Jpeg, false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.f) * 10 + c.alpha);
        const Picture in = Sample(37, 23, c.alpha, c.few);
        std::vector<uint8_t> file;
        ASSERT_TRUE(encode_picture(c.f, in, &file));
        Picture out;
        ASSERT_TRUE(decode_picture(file.data(), file.size(), &out));
        EXPECT_EQ(out.opaque, in.opaque);
        if (c.f != Format::Jpeg) {
            EXPECT_TRUE(SamePixels(in, out));
        } else {
            ASSERT_EQ(out.pixels.size(), in.pixels.size());
            double err = 0;
            for (size_t i = 0; i < in.pixels.size(); ++i)
                for (int sh = 0; sh < 24; sh += 8)
                    err += std::abs(int((in.pixels[i] >> sh) & 0xFF) - int((out.pixels[i] >> sh) & 0xFF));
            EXPECT_LT(err / (in.pixels.size() * 3), 10.0);  // the blue channel is noise-like
        }
        // A file cut inside its header or its pixel data is refused.
        for (size_t cut : {size_t(0), size_t(7), file.size() / 2}) {
            Picture t;
            EXPECT_FALSE(decode_picture(file.data(), cut, &t)) << cut;
            EXPECT_EQ(t.width, 0u);
        }
    }
    // More than 256 colours still make a GIF (quantised).
    std::vector<uint8_t> gif;
    EXPECT_TRUE(encode_picture(Format::Gif, Sample(64, 64, false, false), &gif));
}

// Little-endian helpers for hand-made hostile files.
void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
    for (int i = 0; i < 4; ++i) v[at + i] = uint8_t(x >> (8 * i));
}

// Print files: each channel is what its ink and the black ink let through.
TEST(GdiplusCodecs, JpegOfFourInksDecodesToTheColoursTheInksLeave) {
    struct Ink {
        std::array<uint8_t, 4> cmyk;
        uint32_t rgb;
    };
    const Ink inks[] = {
        {{255, 0, 0, 0}, 0x00FFFF},    {{0, 255, 0, 0}, 0xFF00FF}, {{0, 0, 255, 0}, 0xFFFF00},
        {{0, 0, 0, 255}, 0x000000},    {{0, 0, 0, 0}, 0xFFFFFF},   {{0, 0, 0, 128}, 0x7F7F7F},
        {{128, 0, 255, 0}, 0x7FFF00},  // half cyan and full yellow: a yellowish green
    };
    std::vector<std::array<uint8_t, 4>> blocks;
    for (const Ink& i : inks) blocks.push_back(i.cmyk);
    for (bool adobe : {true, false}) {
        SCOPED_TRACE(adobe ? "Adobe marker" : "no marker");
        const std::vector<uint8_t> file = InkJpeg(blocks, adobe);
        Picture out;
        ASSERT_TRUE(decode_picture(file.data(), file.size(), &out));
        ASSERT_EQ(out.width, UINT(blocks.size() * 8));
        for (size_t b = 0; b < blocks.size(); ++b) {
            const uint32_t got = out.pixels[4 * out.width + b * 8 + 4];  // the block's middle
            EXPECT_EQ(got >> 24, 0xFFu);
            for (int sh = 0; sh < 24; sh += 8)
                EXPECT_NEAR(int((got >> sh) & 0xFF), int((inks[b].rgb >> sh) & 0xFF), 3) << "block " << b;
        }
    }
}

TEST(GdiplusCodecs, FourBitBmpHoldsTheFirstPixelOfEachByteInItsHighNibble) {
    // 3 x 1, 16 colours: entries 1, 2, 3 red, green, blue; the row 0x12 0x30.
    std::vector<uint8_t> f(14 + 40 + 16 * 4 + 4, 0);
    f[0] = 'B', f[1] = 'M';
    Put32(f, 2, uint32_t(f.size()));
    Put32(f, 10, 14 + 40 + 16 * 4);
    Put32(f, 14, 40);
    Put32(f, 18, 3);
    Put32(f, 22, 1);
    f[26] = 1, f[28] = 4;
    f[54 + 4 * 1 + 2] = 0xFF, f[54 + 4 * 2 + 1] = 0xFF, f[54 + 4 * 3] = 0xFF;  // palette entries are B, G, R, 0
    f[118] = 0x12, f[119] = 0x30;
    Picture p;
    ASSERT_TRUE(decode_picture(f.data(), f.size(), &p));
    ASSERT_EQ(p.width, 3u);
    EXPECT_EQ(std::vector<uint32_t>(p.pixels.begin(), p.pixels.end()),
              (std::vector<uint32_t>{0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu}));
}

TEST(GdiplusCodecs, HostileFilesAreRefusedWithoutHugeAllocations) {
    std::vector<uint8_t> bmp;
    ASSERT_TRUE(encode_picture(Format::Bmp, Sample(4, 4, false, false), &bmp));
    std::vector<std::vector<uint8_t>> bad;
    auto with = [&](size_t at, uint32_t v) {
        std::vector<uint8_t> b = bmp;
        Put32(b, at, v);
        bad.push_back(b);
    };
    with(18, 100000), with(22, 100000);  // width, height: a picture of 10^10 pixels
    std::vector<uint8_t> huge = bmp;
    Put32(huge, 18, 100000);
    Put32(huge, 22, 100000);
    bad.push_back(huge);
    with(18, 0);           // zero width
    with(22, 0x80000000);  // -2^31 rows
    with(10, 0xFFFFFFF0);  // pixel data beyond the file
    with(14, 0xFFFFFFFF);  // header size beyond the file
    std::vector<uint8_t> fields = bmp;  // bit fields after an odd 44-byte header, file ending early
    Put32(fields, 14, 44);
    Put32(fields, 30, BI_BITFIELDS);
    fields[28] = 32;
    fields.resize(14 + 44);
    bad.push_back(fields);
    bad.push_back({'B', 'M'});
    bad.push_back({'X', 'Y', 'Z', 'W', 0, 0, 0, 0});
    // GIF: a logical screen and frame of 65535 x 65535, and a file without frames.
    const uint8_t gif_huge[] = {'G', 'I', 'F', '8', '9', 'a', 0xFF, 0xFF, 0xFF, 0xFF, 0x80, 0, 0, 0, 0, 0, 0xFF,
                                0xFF, 0xFF, ',', 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 2, 2, 0x4C, 0x01, 0, ';'};
    bad.emplace_back(gif_huge, gif_huge + sizeof gif_huge);
    const uint8_t gif_none[] = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, ';'};
    bad.emplace_back(gif_none, gif_none + sizeof gif_none);
    // TIFF: 100000 x 100000 in the first directory, and a directory claiming 65535 entries.
    std::vector<uint8_t> tif;
    ASSERT_TRUE(encode_picture(Format::Tiff, Sample(4, 4, false, false), &tif));
    for (size_t i = 8; i + 12 <= tif.size(); ++i) {
        // Entries of the first directory: tag 256/257 (width/length), type SHORT or LONG, count 1.
        if ((tif[i] == 0 || tif[i] == 1) && tif[i + 1] == 1 && tif[i + 4] == 1 && tif[i + 5] == 0 && tif[i + 2] != 0) {
            std::vector<uint8_t> t = tif;
            if (t[i + 2] == 3) t[i + 8] = 0xA0, t[i + 9] = 0x86;  // SHORT 34464: still the value below
            Put32(t, i + 8, 100000);
            t[i + 2] = 4;  // LONG
            bad.push_back(t);
        }
    }
    std::vector<uint8_t> pages = tif;
    const uint32_t ifd = pages[4] | pages[5] << 8 | pages[6] << 16 | uint32_t(pages[7]) << 24;
    pages[ifd] = 0xFF, pages[ifd + 1] = 0xFF;
    bad.push_back(pages);
    // Pages without end: the first directory names itself as the next one.
    // Only the first page is read, so the picture still decodes.
    std::vector<uint8_t> loop = tif;
    const uint32_t entries = loop[ifd] | loop[ifd + 1] << 8;
    Put32(loop, ifd + 2 + 12 * entries, ifd);
    Picture first;
    EXPECT_TRUE(decode_picture(loop.data(), loop.size(), &first));
    EXPECT_EQ(first.width, 4u);
    for (size_t i = 0; i < bad.size(); ++i) {
        Picture p;
        EXPECT_FALSE(decode_picture(bad[i].data(), bad[i].size(), &p)) << "case " << i;
        EXPECT_TRUE(p.pixels.empty());
    }
}

TEST(GdiplusCodecs, DrawingScalesBilinearlyBlendsAndClips) {
    Gdiplus::GdiplusStartupInput in{};
    in.GdiplusVersion = 1;
    ULONG_PTR token = 0;
    ASSERT_EQ(GdiplusStartup(&token, &in, nullptr), Gdiplus::Ok);
    // A 2 x 1 picture, black then white, in a BMP held by a stream.
    Picture p;
    p.width = 2, p.height = 1, p.pixels = {0xFF000000u, 0xFFFFFFFFu};
    std::vector<uint8_t> file;
    ASSERT_TRUE(encode_picture(Format::Bmp, p, &file));
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, file.size());
    std::memcpy(GlobalLock(block), file.data(), file.size());
    GlobalUnlock(block);
    IStream* s = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(block, TRUE, &s), S_OK);
    Gdiplus::GpImage* img = nullptr;
    ASSERT_EQ(GdipLoadImageFromStream(s, &img), Gdiplus::Ok);
    s->Release();
    gdi_test::Canvas c(6, 2, 0x123456);
    Gdiplus::GpGraphics* g = nullptr;
    ASSERT_EQ(GdipCreateFromHDC(c.dc, &g), Gdiplus::Ok);
    // Enlarged to 4 x 1: sample centres at -0.25, 0.25, 0.75, 1.25 of the source, edges repeated.
    HRGN clip = CreateRectRgn(0, 0, 3, 2);  // the fourth pixel is outside the clip
    SelectClipRgn(c.dc, clip);
    ASSERT_EQ(GdipDrawImageRectI(g, img, 0, 0, 4, 1), Gdiplus::Ok);
    const uint32_t row0[] = {0x000000, 0x404040, 0xBFBFBF, 0x123456, 0x123456, 0x123456};
    for (int x = 0; x < 6; ++x) EXPECT_EQ(c.bits[x], row0[x]) << x;
    SelectClipRgn(c.dc, nullptr);
    DeleteObject(clip);
    GdipDisposeImage(img);
    // Half-transparent blue over white blends; transparent leaves the pixel.
    // A picture with transparency composes its alpha into the top byte (as
    // the Windows build does under the reference), an opaque pixel of it gives 0xFF.
    Picture q;
    q.width = 3, q.height = 1, q.opaque = false, q.pixels = {0x800000FFu, 0x00FF0000u, 0xFFFF0000u};
    ASSERT_TRUE(encode_picture(Format::Png, q, &file));
    c.clear(0xFFFFFF);
    Picture back;
    ASSERT_TRUE(decode_picture(file.data(), file.size(), &back));
    ASSERT_TRUE(draw_picture(c.dc, back, 1, 1, 3, 1));
    EXPECT_EQ(c.bits[6 + 1], 0x807F7FFFu);
    EXPECT_EQ(c.bits[6 + 2], 0xFFFFFFu);
    EXPECT_EQ(c.bits[6 + 3], 0xFFFF0000u);
    // Scaled, the colours are weighed by their alpha (premultiplied), so the
    // colour of a fully transparent pixel never shows: half-transparent red
    // beside transparent green, enlarged over white, gives pixels of full red
    // whose green and blue are equal (white showing through), wherever the
    // two sources mix.
    Picture edge;
    edge.width = 2, edge.height = 1, edge.opaque = false, edge.pixels = {0x80FF0000u, 0x0000FF00u};
    c.clear(0xFFFFFF);
    ASSERT_TRUE(draw_picture(c.dc, edge, 0, 0, 6, 2));
    for (int i = 0; i < 12; ++i) {
        const uint32_t px = c.bits[i];
        EXPECT_EQ((px >> 16) & 0xFF, 0xFFu) << i;
        EXPECT_EQ((px >> 8) & 0xFF, px & 0xFF) << i;
    }
    EXPECT_EQ(c.bits[0] & 0xFFFFFFu, 0xFF7F7Fu);   // the red half over white
    EXPECT_EQ(c.bits[5], 0xFFFFFFu);   // the transparent pixel alone
    GdipDeleteGraphics(g);
    GdiplusShutdown(token);
}

TEST(GdiplusCodecs, EncoderListAndSavingByClassId) {
    Gdiplus::GdiplusStartupInput in{};
    in.GdiplusVersion = 1;
    ULONG_PTR token = 0;
    ASSERT_EQ(GdiplusStartup(&token, &in, nullptr), Gdiplus::Ok);
    UINT n = 0, size = 0;
    ASSERT_EQ(GdipGetImageEncodersSize(&n, &size), Gdiplus::Ok);
    ASSERT_EQ(n, 5u);
    std::vector<uint8_t> mem(size);
    auto* list = reinterpret_cast<Gdiplus::ImageCodecInfo*>(mem.data());
    ASSERT_EQ(GdipGetImageEncoders(n, size, list), Gdiplus::Ok);
    const wchar_t* ext[] = {L"*.BMP;*.DIB;*.RLE", L"*.JPG;*.JPEG;*.JPE;*.JFIF", L"*.GIF", L"*.TIF;*.TIFF", L"*.PNG"};
    for (UINT i = 0; i < n; ++i) EXPECT_EQ(std::wcscmp(list[i].FilenameExtension, ext[i]), 0) << i;
    // Save a 24-bit DIB as PNG, read the file back.
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 3, -2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    uint32_t px[6] = {0x010203, 0x0A0B0C, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    Gdiplus::GpBitmap* bmp = nullptr;
    ASSERT_EQ(GdipCreateBitmapFromGdiDib(&bi, px, &bmp), Gdiplus::Ok);
    std::string path = testing::TempDir() + "gdiplus_save.png";
    std::wstring wpath(path.begin(), path.end());
    auto* image = reinterpret_cast<Gdiplus::GpImage*>(bmp);
    EXPECT_EQ(GdipSaveImageToFile(image, wpath.c_str(), &list[4].Clsid, nullptr), Gdiplus::Ok);
    CLSID unknown{};
    EXPECT_EQ(GdipSaveImageToFile(image, wpath.c_str(), &unknown, nullptr), Gdiplus::FileNotFound);
    EXPECT_EQ(GdipSaveImageToFile(image, L"/nonexistent-dir/x.png", &list[4].Clsid, nullptr), Gdiplus::Win32Error);
    std::FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    std::vector<uint8_t> bytes(4096);
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
    std::fclose(f);
    Picture back;
    ASSERT_TRUE(decode_picture(bytes.data(), bytes.size(), &back));
    ASSERT_EQ(back.pixels.size(), 6u);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(back.pixels[i], 0xFF000000u | px[i]) << i;
    GdipDisposeImage(image);
    GdiplusShutdown(token);
}

}  // namespace

// The codec libraries are not loaded with the program: a program that never
// touches a GIF or TIFF picture does not pay for them at start. The first
// picture of the format opens its library, and it then works as before.
// Returns the exit status of the check: 0 when it holds.
int CodecLibrariesOpenOnFirstPicture() {
    auto mapped = [](const char* name) {
        std::FILE* f = std::fopen("/proc/self/maps", "r");
        if (!f) return false;
        char line[512];
        bool found = false;
        while (!found && std::fgets(line, sizeof line, f)) found = std::strstr(line, name) != nullptr;
        std::fclose(f);
        return found;
    };
    const struct {
        Format format;
        const char* library;
    } cases[] = {{Format::Gif, "/libgif.so"}, {Format::Tiff, "/libtiff.so"}};
    for (const auto& c : cases) {
        if (mapped(c.library)) {
            std::fprintf(stderr, "%s loaded before any picture of its format\n", c.library);
            return 1;
        }
        Picture pic = Sample(7, 5, false, true), back;
        std::vector<uint8_t> file;
        const bool encoded = encode_picture(c.format, pic, &file);
        const bool opened = mapped(c.library);
        const bool decoded = encoded && decode_picture(file.data(), file.size(), &back);
        if (!encoded || !opened || !decoded || !SamePixels(pic, back)) {
            std::fprintf(stderr, "%s: encoded %d opened %d decoded %d\n", c.library, encoded, opened, decoded);
            return 1;
        }
    }
    return 0;
}

// In a fresh process: earlier tests of this one have loaded the libraries.
TEST(GdiplusCodecs, LibrariesOpenOnlyWhenAPictureOfTheirFormatNeedsThem) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::exit(CodecLibrariesOpenOnFirstPicture()), ::testing::ExitedWithCode(0), "");
}
