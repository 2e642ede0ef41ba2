// Pictures: getimage, putimage, rotateimage, loadimage and saveimage.
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "../../glint/src/image_func.h"
#include "glint_test_util.h"
#include "platform/resources.h"

using namespace glint_test;
using namespace Glint;

namespace {

class GlintImages : public testing::Test {
protected:
    void SetUp() override {
        hwnd = initgraph(300, 240, 0);
        dir = testing::TempDir() + "glint_images_" + std::to_string(getpid()) + "/";
        mkdir(dir.c_str(), 0755);
    }
    void TearDown() override { closegraph(); }
    HWND hwnd = nullptr;
    std::string dir;
};

// Fills an image with distinct colours, top byte 0; `few` keeps it under 256
// colours, `smooth` makes gentle gradients (what JPEG is made for).
void Pattern(IMAGE* img, bool few = false, bool smooth = false) {
    DWORD* b = GetImageBuffer(img);
    for (int y = 0; y < img->getheight(); ++y)
        for (int x = 0; x < img->getwidth(); ++x) {
            DWORD v = DWORD(x * 0x050301 + y * 0x010709) & 0xFFFFFF;
            if (smooth) v = DWORD(x * 4) << 16 | DWORD(y * 6) << 8 | 0x80;
            b[y * img->getwidth() + x] = few ? (v & 0xC0C0C0) : v;
        }
}

std::vector<DWORD> Pixels(IMAGE* img) {
    DWORD* b = GetImageBuffer(img);
    int w = img ? img->getwidth() : getwidth(), h = img ? img->getheight() : getheight();
    return std::vector<DWORD>(b, b + size_t(w) * size_t(h));
}

std::string Head(const std::string& path, size_t n = 4) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return "";
    std::string s(n, '\0');
    s.resize(std::fread(&s[0], 1, n, f));
    std::fclose(f);
    return s;
}

bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

TEST_F(GlintImages, RotateByZeroKeepsColoursAndByQuarterTurnMovesColumnsToRows) {
    IMAGE src(40, 20);
    Pattern(&src);
    GetImageBuffer(&src)[0] |= 0x5A000000;  // a top byte: nearest sampling copies it, bilinear clears it
    for (bool hq : {false, true}) {
        IMAGE dst;
        rotateimage(&dst, &src, 0.0, RED, false, hq);
        ASSERT_EQ(dst.getwidth(), 40);
        ASSERT_EQ(dst.getheight(), 20);
        std::vector<DWORD> s = Pixels(&src), d = Pixels(&dst);
        for (size_t i = 0; i < s.size(); ++i) ASSERT_EQ(d[i], hq ? (s[i] & 0xFFFFFF) : s[i]) << hq << " " << i;
    }
    // Odd sides put the centre in the middle of a pixel: the copy stays exact.
    IMAGE odd(39, 19), odd_copy;
    Pattern(&odd);
    rotateimage(&odd_copy, &odd, 0.0, RED, false, true);
    std::vector<DWORD> want = Pixels(&odd);
    for (DWORD& v : want) v &= 0xFFFFFF;
    EXPECT_EQ(Pixels(&odd_copy), want);
    IMAGE turned;
    rotateimage(&turned, &src, M_PI / 2, RED, true, false);
    ASSERT_EQ(turned.getwidth(), 20);
    ASSERT_EQ(turned.getheight(), 40);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(Pixel(&turned, i, 0), BGR(RED)) << i;  // samples x = 40: outside
    for (int j = 1; j < 40; ++j)
        for (int i = 0; i < 20; ++i) ASSERT_EQ(Pixel(&turned, i, j), Pixel(&src, 40 - j, i)) << i << "," << j;
    // The same image as source and destination gives the same picture.
    IMAGE self(src);
    rotateimage(&self, &self, M_PI / 2, RED, true, false);
    EXPECT_EQ(Pixels(&self), Pixels(&turned));
}

TEST_F(GlintImages, RotateNearestTakesThePixelUnderTheRoundedPosition) {
    // The documented sampling at an angle with fractional positions: the
    // destination pixel (i, j) reads the source at x = ox + i cos a + j sin(-a),
    // y = oy - i sin(-a) + j cos a, each plus 0.5 and truncated toward zero.
    IMAGE src(7, 5), dst;
    Pattern(&src);
    const double a = 0.3, c = std::cos(a), s = std::sin(-a);
    rotateimage(&dst, &src, a, RED, true, false);
    const int nw = dst.getwidth(), nh = dst.getheight();
    ASSERT_EQ(nw, int(std::fmax(std::fabs(c * 7 + s * 5), std::fabs(c * 7 - s * 5)) + 0.5));
    const double ox = 3.5 - nw / 2.0 * c - nh / 2.0 * s, oy = 2.5 + nw / 2.0 * s - nh / 2.0 * c;
    int inside = 0;
    for (int j = 0; j < nh; ++j)
        for (int i = 0; i < nw; ++i) {
            const double x = ox + i * c + j * s + 0.5, y = oy - i * s + j * c + 0.5;
            const int sx = int(x), sy = int(y);
            const bool in = x > -1 && y > -1 && sx >= 0 && sx < 7 && sy >= 0 && sy < 5;
            inside += in;
            ASSERT_EQ(Pixel(&dst, i, j), in ? Pixel(&src, sx, sy) : BGR(RED)) << i << "," << j;
        }
    EXPECT_GT(inside, 20);
}

TEST_F(GlintImages, RotateBackgroundBytesAndBilinearEdges) {
    IMAGE src(10, 10);
    Common::Memory::FillMemory4(GetImageBuffer(&src), 100, 0xFFFFFF);
    struct Case {
        COLORREF bk;
        DWORD uncovered;
    };
    for (const Case& c : {Case{0x808080, 0x80808080u}, Case{0x0000FF, 0x00FF0000u}, Case{0x12345678, 0x12785634u}}) {
        IMAGE dst;
        rotateimage(&dst, &src, M_PI / 4, c.bk, true, false);
        EXPECT_EQ(Pixel(&dst, 0, 0), c.uncovered) << std::hex << c.bk;
    }
    IMAGE hq;
    rotateimage(&hq, &src, M_PI / 4, BLACK, true, true);
    EXPECT_EQ(Pixel(&hq, 0, 0), 0u);                                   // neighbourhood wholly outside
    EXPECT_EQ(Pixel(&hq, hq.getwidth() / 2, hq.getheight() / 2), 0xFFFFFFu);  // wholly inside
    int blended = 0;  // pixels along the edges mix white with the black background
    for (int x = 0; x < hq.getwidth(); ++x) {
        DWORD v = Pixel(&hq, x, hq.getheight() / 4) & 0xFF;
        blended += v > 0 && v < 0xFF;
    }
    EXPECT_GE(blended, 2);
}

TEST_F(GlintImages, SaveAndLoadRoundTripEveryFormat) {
    struct Case {
        const char* ext;
        bool exact;
        bool few;
    };
    for (const Case& c : {Case{"bmp", true, false}, Case{"png", true, false}, Case{"tif", true, false},
                          Case{"gif", true, true}, Case{"jpg", false, false}}) {
        IMAGE img(60, 40);
        Pattern(&img, c.few, !c.exact);
        std::string path = dir + "round." + c.ext;
        saveimage(path.c_str(), &img);
        IMAGE back;
        ASSERT_TRUE(loadimage(&back, path.c_str())) << c.ext;
        ASSERT_EQ(back.getwidth(), 60);
        ASSERT_EQ(back.getheight(), 40);
        std::vector<DWORD> a = Pixels(&img), b = Pixels(&back);
        long err = 0;
        for (size_t i = 0; i < a.size(); ++i)
            for (int sh = 0; sh < 24; sh += 8) err += std::abs(int((a[i] >> sh) & 0xFF) - int((b[i] >> sh) & 0xFF));
        if (c.exact) EXPECT_EQ(a, b) << c.ext;
        else EXPECT_LT(err / double(a.size() * 3), 4.0) << c.ext;
    }
}

TEST_F(GlintImages, LoadSizesTheDestinationInAllThreeWays) {
    IMAGE pic(60, 40);
    Pattern(&pic);
    std::string path = dir + "pic.png";
    saveimage(path.c_str(), &pic);
    IMAGE fresh;
    ASSERT_TRUE(loadimage(&fresh, path.c_str(), 0, 0));
    EXPECT_EQ(fresh.getwidth(), 60);
    EXPECT_EQ(fresh.getheight(), 40);
    IMAGE kept(100, 100);
    Common::Memory::FillMemory4(GetImageBuffer(&kept), 100 * 100, 0xABCDEF);
    ASSERT_TRUE(loadimage(&kept, path.c_str(), 0, 0, false));
    ASSERT_EQ(kept.getwidth(), 100);
    ASSERT_EQ(kept.getheight(), 100);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            ASSERT_EQ(Pixel(&kept, x, y), x < 60 && y < 40 ? Pixel(&pic, x, y) : 0u) << x << "," << y;
    IMAGE resized(100, 100);
    ASSERT_TRUE(loadimage(&resized, path.c_str(), 0, 0, true));
    EXPECT_EQ(resized.getwidth(), 60);
    EXPECT_EQ(resized.getheight(), 40);
    // A requested size scales the picture: a solid picture stays solid.
    IMAGE solid(8, 8);
    Common::Memory::FillMemory4(GetImageBuffer(&solid), 64, 0x336699);
    saveimage((dir + "solid.bmp").c_str(), &solid);
    IMAGE big;
    ASSERT_TRUE(loadimage(&big, (dir + "solid.bmp").c_str(), 30, 20));
    EXPECT_EQ(Count(&big, 0, 0, 29, 19, 0x336699), 600);
}

TEST_F(GlintImages, LoadFailuresClearAndReturnFalse) {
    std::string garbage = dir + "garbage.png";
    std::FILE* f = std::fopen(garbage.c_str(), "wb");
    std::fputs("\x89PNG\r\n\x1a\n this is not the rest of a picture", f);
    std::fclose(f);
    std::string locked = dir + "locked.png";
    IMAGE pic(4, 4);
    saveimage(locked.c_str(), &pic);
    chmod(locked.c_str(), 0);
    const bool can_lock = getuid() != 0;  // root reads anything
    std::vector<std::string> names = {dir + "missing.png", dir, garbage};
    if (can_lock) names.push_back(locked);
    for (const std::string& name : names) {
        IMAGE empty;
        EXPECT_FALSE(loadimage(&empty, name.c_str())) << name;
        EXPECT_EQ(empty.getwidth(), 0);
        IMAGE full(5, 5);
        Common::Memory::FillMemory4(GetImageBuffer(&full), 25, 0xFFFFFF);
        EXPECT_FALSE(loadimage(&full, name.c_str())) << name;
        EXPECT_EQ(Count(&full, 0, 0, 4, 4, 0), 25) << name;  // cleared to black all the same
    }
    IMAGE none;
    EXPECT_FALSE(loadimage(&none, "PNG", "NO_SUCH_RESOURCE"));
    // A registered resource loads like a file.
    static std::vector<unsigned char> resource;  // lives to the end, as resources do
    std::vector<unsigned char>* bytes = &resource;
    {
        IMAGE p(3, 2);
        Pattern(&p);
        saveimage((dir + "res.bmp").c_str(), &p);
        std::FILE* r = std::fopen((dir + "res.bmp").c_str(), "rb");
        int ch;
        while ((ch = std::fgetc(r)) != EOF) bytes->push_back((unsigned char)ch);
        std::fclose(r);
    }
    plat::add_resource("Picture", "Tiny", bytes->data(), bytes->size());
    IMAGE res;
    EXPECT_TRUE(loadimage(&res, "PICTURE", "tiny"));
    EXPECT_EQ(res.getwidth(), 3);
}

TEST_F(GlintImages, SaveChoosesTheEncoderByExtensionInAnyCase) {
    IMAGE img(6, 4);
    Pattern(&img);
    struct Case {
        const char* name;
        const char* magic;  // "" : nothing written
    };
    const Case cases[] = {
        {"a.png", "\x89PNG"}, {"b.PNG", "\x89PNG"}, {"c.PnG", "\x89PNG"}, {"d.jpeg", "\xFF\xD8\xFF"},
        {"e.JFIF", "\xFF\xD8\xFF"}, {"f.tiff", "II*"}, {"g.Dib", "BM"}, {"h.rle", "BM"}, {"i.gif", "GIF8"},
        {"j.jpegs", ""},  // five characters
        {"noext", ""}, {"k.pn", ""}, {"l.xyz", ""}, {"m.", ""},
    };
    for (const Case& c : cases) {
        std::string path = dir + c.name;
        saveimage(path.c_str(), &img);
        std::string magic = c.magic;
        EXPECT_EQ(Head(path, magic.empty() ? 4 : magic.size()), magic) << c.name;
    }
    CLSID lower, upper;
    ASSERT_EQ(Glint::ImageFunc::GetEncoderClsid(L"png", &lower), 0);
    ASSERT_EQ(Glint::ImageFunc::GetEncoderClsid(L"PNG", &upper), 0);
    EXPECT_TRUE(IsEqualCLSID(lower, upper));
    EXPECT_EQ(Glint::ImageFunc::GetEncoderClsid(L"NG", &upper), -1);  // only whole patterns match
    // Nothing for an image without pixels.
    IMAGE empty;
    saveimage((dir + "empty.png").c_str(), &empty);
    EXPECT_FALSE(Exists(dir + "empty.png"));
}

TEST_F(GlintImages, SaveWritesNothingForANameThatDoesNotFit) {
    IMAGE img(4, 4);
    // The first 260 characters name "<dir>/qqq...q.png"; the whole name is longer.
    std::string head = dir + std::string(256 - dir.size(), 'q') + ".png";
    ASSERT_EQ(head.size(), 260u);
    std::string name = head + "_more.png";
    saveimage(name.c_str(), &img);
    EXPECT_FALSE(Exists(head));
    EXPECT_FALSE(Exists(name));
    // A name of exactly 260 characters still fits.
    saveimage(head.c_str(), &img);
    EXPECT_TRUE(Exists(head));
}

TEST_F(GlintImages, GetimageAndPutimageWithRasterOperations) {
    setbkcolor(BLUE);
    cleardevice();
    setfillcolor(YELLOW);
    solidrectangle(10, 10, 29, 19);
    IMAGE part;
    getimage(&part, 5, 5, 30, 20);
    ASSERT_EQ(part.getwidth(), 30);
    EXPECT_EQ(Pixel(&part, 0, 0), BGR(BLUE));
    EXPECT_EQ(Pixel(&part, 5, 5), BGR(YELLOW));
    EXPECT_EQ(Pixel(&part, 24, 14), BGR(YELLOW));
    EXPECT_EQ(Pixel(&part, 25, 15), BGR(BLUE));
    std::vector<DWORD> before = Pixels(nullptr);
    IMAGE pic(50, 30);
    Pattern(&pic);
    putimage(100, 100, &pic, SRCINVERT);
    EXPECT_NE(Pixels(nullptr), before);
    putimage(100, 100, &pic, SRCINVERT);
    EXPECT_EQ(Pixels(nullptr), before);
    // The long form copies a part, at the working image's origin.
    setorigin(10, 0);
    putimage(0, 0, 2, 1, &pic, 3, 2, SRCCOPY);
    EXPECT_EQ(Pixel(nullptr, 10, 0) & 0xFFFFFF, Pixel(&pic, 3, 2));
    EXPECT_EQ(Pixel(nullptr, 11, 0) & 0xFFFFFF, Pixel(&pic, 4, 2));
    EXPECT_EQ(Pixel(nullptr, 12, 0) & 0xFFFFFF, BGR(BLUE));
}

}  // namespace

// A PNG with transparency keeps its alpha in the image's top byte with the
// colours premultiplied, so AlphaBlend with AC_SRC_ALPHA shows its soft
// edges. Values from the Windows build of the same call under the reference
// (opaque, half, quarter and fully transparent pixels).
TEST_F(GlintImages, LoadedPngKeepsItsAlphaPremultiplied) {
    static const unsigned char kPng[] = {
        0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44, 0x52, 0x00,
        0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x01, 0x08, 0x06, 0x00, 0x00, 0x00, 0xF9, 0x3C, 0x0F, 0xCD, 0x00,
        0x00, 0x00, 0x18, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9C, 0x63, 0xF8, 0xCF, 0xC0, 0xF0, 0x1F, 0x88, 0x1B,
        0x18, 0xFE, 0x33, 0x38, 0x70, 0x89, 0xC8, 0x31, 0x00, 0x00, 0x36, 0x41, 0x04, 0xF9, 0x0F, 0xAA, 0x31,
        0x57, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};
    // (255,0,0,255), (255,0,0,128), (0,255,0,64), (10,20,30,0) as RGBA
    std::string path = dir + "alpha.png";
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(kPng, 1, sizeof kPng, f);
    std::fclose(f);
    IMAGE img;
    ASSERT_TRUE(loadimage(&img, path.c_str()));
    ASSERT_EQ(img.getwidth(), 4);
    const DWORD want[4] = {0xFFFF0000, 0x80800000, 0x40004000, 0x00000000};
    for (int x = 0; x < 4; ++x) EXPECT_EQ(GetImageBuffer(&img)[x], want[x]) << x;
}
