// Font engine: the default system font, matching, rendering modes, caching,
// replacement boxes and concurrent use.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "codepage.h"
#include "font_engine.h"
#include "windows.h"

using plat::text::create_font;
using plat::text::Font;
using plat::text::Glyph;
using plat::text::text_width;

namespace {

LOGFONTA make_lf(LONG height, const char* face, BYTE quality = NONANTIALIASED_QUALITY, LONG weight = 0) {
    LOGFONTA lf;
    std::memset(&lf, 0, sizeof lf);
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = quality;
    std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    return lf;
}

LOGFONTA system16() { return make_lf(16, "System"); }

bool only_0_or_255(const Glyph& g) {
    for (int i = 0; i < g.width * g.height; ++i)
        if (g.coverage[i] != 0 && g.coverage[i] != 255) return false;
    return true;
}

int inked(const Glyph& g) {
    int n = 0;
    for (int i = 0; i < g.width * g.height; ++i) n += g.coverage[i] != 0;
    return n;
}

TEST(FontEngine, SystemFontAtSixteenHasUnifontCells) {
    auto f = create_font(system16());
    const auto& m = f->metrics();
    EXPECT_EQ(m.height, 16);
    EXPECT_EQ(m.ascent, 14);
    EXPECT_EQ(m.descent, 2);
    EXPECT_EQ(m.ave_char_width, 8);
    EXPECT_GE(m.max_char_width, 16);
    EXPECT_EQ(f->glyph(U'A').advance, 8);
    EXPECT_EQ(f->glyph(U'i').advance, 8);
    EXPECT_EQ(f->glyph(0x4E2D).advance, 16);  // 中
    EXPECT_EQ(f->glyph(0x6587).advance, 16);  // 文
    // Every glyph lies inside its 16-pixel cell.
    for (char32_t c : {U'A', U'g', U'|', char32_t(0x4E2D), char32_t(0x9F8D)}) {
        const Glyph& g = f->glyph(c);
        EXPECT_GE(g.top, 0) << std::hex << c;
        EXPECT_LE(g.top + g.height, 16) << std::hex << c;
        EXPECT_GT(inked(g), 0) << std::hex << c;
    }
    // The face name is kept as requested.
    EXPECT_STREQ(f->logfont().lfFaceName, "System");
    EXPECT_EQ(text_width(*f, plat::codepage::decode_936("Ab\xd6\xd0\xce\xc4", -1)), 8 + 8 + 16 + 16);
}

TEST(FontEngine, DefaultHeightAndSystemAliasesMatchTheSystemFont) {
    for (const char* face : {"", "Terminal", "Fixedsys", "system"}) {
        auto f = create_font(make_lf(0, face));
        EXPECT_EQ(f->metrics().height, 16) << face;
        EXPECT_EQ(f->glyph(U'W').advance, 8) << face;
    }
    // A negative height asks for the em size: 16 is Unifont's cell as well.
    auto f = create_font(make_lf(-16, "System"));
    EXPECT_EQ(f->metrics().height, 16);
    EXPECT_EQ(f->glyph(0x4E2D).advance, 16);
}

TEST(FontEngine, NonAntialiasedGlyphsAreMonochrome) {
    auto f = create_font(system16());
    for (char32_t c : {U'A', U'@', U'g', char32_t(0x4E2D), char32_t(0x00E9)}) EXPECT_TRUE(only_0_or_255(f->glyph(c)));
    // A scalable face at an odd size stays monochrome too.
    auto big = create_font(make_lf(-23, "DejaVu Sans"));
    for (char32_t c : {U'A', U'o', U'&', char32_t(0x4E2D)}) {
        EXPECT_TRUE(only_0_or_255(big->glyph(c)));
        EXPECT_GT(inked(big->glyph(c)), 0);
    }
}

TEST(FontEngine, AntialiasedQualityProducesIntermediateCoverage) {
    auto f = create_font(make_lf(-23, "DejaVu Sans", ANTIALIASED_QUALITY));
    const Glyph& g = f->glyph(U'O');
    ASSERT_GT(g.width * g.height, 0);
    EXPECT_FALSE(only_0_or_255(g));
}

TEST(FontEngine, HeightSignSelectsCellOrEm) {
    auto cell = create_font(make_lf(30, "DejaVu Sans", DEFAULT_QUALITY));
    EXPECT_EQ(cell->metrics().height, 30);
    EXPECT_EQ(cell->metrics().ascent + cell->metrics().descent, 30);
    EXPECT_GT(cell->metrics().internal_leading, 0);
    auto em = create_font(make_lf(-30, "DejaVu Sans", DEFAULT_QUALITY));
    EXPECT_GT(em->metrics().height, 30);  // the cell is taller than the em
    EXPECT_GT(em->glyph(U'M').advance, cell->glyph(U'M').advance);
}

TEST(FontEngine, WidthScalesHorizontally) {
    auto normal = create_font(make_lf(-20, "DejaVu Sans", DEFAULT_QUALITY));
    LOGFONTA wide_lf = make_lf(-20, "DejaVu Sans", DEFAULT_QUALITY);
    wide_lf.lfWidth = 2 * normal->metrics().ave_char_width;
    auto wide = create_font(wide_lf);
    EXPECT_NEAR(wide->metrics().ave_char_width, wide_lf.lfWidth, 1);
    EXPECT_GT(wide->glyph(U'H').advance, normal->glyph(U'H').advance * 3 / 2);
    EXPECT_EQ(wide->metrics().height, normal->metrics().height);
}

TEST(FontEngine, SyntheticBoldWidensStrokesAndAddsOverhang) {
    auto regular = create_font(system16());
    auto bold = create_font(make_lf(16, "System", NONANTIALIASED_QUALITY, FW_BOLD));
    EXPECT_GT(inked(bold->glyph(U'A')), inked(regular->glyph(U'A')));
    EXPECT_EQ(bold->glyph(U'A').advance, 8);
    EXPECT_EQ(text_width(*bold, U"AB"), 17);
    EXPECT_EQ(text_width(*bold, U""), 0);
}

TEST(FontEngine, ItalicIsSynthesisedForFacesWithoutIt) {
    // Neither Unifont nor WenQuanYi Zen Hei has an italic face: the glyphs
    // are slanted, so a vertical stroke becomes wider than it was.
    for (const char* face : {"System", "WenQuanYi Zen Hei"}) {
        auto upright = create_font(make_lf(16, face));
        LOGFONTA lf = make_lf(16, face);
        lf.lfItalic = TRUE;
        auto italic = create_font(lf);
        EXPECT_GT(italic->glyph(U'|').width, upright->glyph(U'|').width + 1) << face;
        EXPECT_EQ(italic->glyph(U'|').advance, upright->glyph(U'|').advance) << face;
    }
}

TEST(FontEngine, MissingGlyphsAndReplacementCharacterDrawABox) {
    auto f = create_font(system16());
    const Glyph& fffd = f->glyph(0xFFFD);
    const Glyph& missing = f->glyph(0x10FFFD);  // private use, plane 16: in no font
    for (const Glyph* g : {&fffd, &missing}) {
        EXPECT_GT(g->advance, 0);
        ASSERT_GT(g->width, 2);
        ASSERT_GT(g->height, 2);
        // A box: the corners and edges are set, the middle is empty.
        EXPECT_EQ(g->coverage[0], 255);
        EXPECT_EQ(g->coverage[g->width * g->height - 1], 255);
        EXPECT_EQ(g->coverage[(g->height / 2) * g->width + g->width / 2], 0);
    }
}

TEST(FontEngine, BlanksHaveNoBitmap) {
    auto f = create_font(system16());
    const Glyph& sp = f->glyph(U' ');
    EXPECT_EQ(sp.advance, 8);
    EXPECT_EQ(sp.width * sp.height, 0);
}

TEST(FontEngine, GlyphsAreCachedAndFontsShared) {
    auto f = create_font(system16());
    const Glyph* a1 = &f->glyph(U'A');
    const uint8_t* bits = a1->coverage;
    for (char32_t c = 0x4E00; c < 0x4E00 + 500; ++c) f->glyph(c);  // grow the cache
    const Glyph* a2 = &f->glyph(U'A');
    EXPECT_EQ(a1, a2);
    EXPECT_EQ(bits, a2->coverage);
    // Same description, same instance; the bytes after the face name's end do not matter.
    LOGFONTA lf = system16();
    lf.lfFaceName[10] = 'x';
    EXPECT_EQ(create_font(lf).get(), f.get());
    EXPECT_NE(create_font(make_lf(17, "System")).get(), f.get());
}

TEST(FontEngine, GbkFaceNamesAreUnderstood) {
    // "宋体" in code page 936: drawn like the 16-pixel system font.
    auto f = create_font(make_lf(16, "\xcb\xce\xcc\xe5"));
    EXPECT_EQ(f->metrics().height, 16);
    EXPECT_EQ(f->glyph(U'A').advance, 8);
    EXPECT_EQ(f->glyph(0x4E2D).advance, 16);
}

TEST(FontEngine, UnknownFacesStillDrawLatinAndChinese) {
    auto f = create_font(make_lf(20, "No Such Face 123", DEFAULT_QUALITY));
    EXPECT_EQ(f->metrics().height, 20);
    EXPECT_GT(inked(f->glyph(U'A')), 0);
    EXPECT_GT(inked(f->glyph(0x4E2D)), 0);  // from the CJK fallback
    EXPECT_GT(f->glyph(0x4E2D).advance, f->glyph(U'i').advance);
}

TEST(FontEngine, AbsurdSizesAreClampedNotFatal) {
    for (LONG h : {LONG(INT32_MIN), LONG(-100000), LONG(100000), LONG(INT32_MAX)}) {
        LOGFONTA lf = make_lf(h, "DejaVu Sans", DEFAULT_QUALITY);
        lf.lfWidth = h;
        auto f = create_font(lf);
        EXPECT_GT(f->metrics().height, 0) << h;
        EXPECT_LE(f->metrics().height, 2048) << h;
        const Glyph& g = f->glyph(U'W');
        EXPECT_LE(static_cast<long>(g.width) * g.height, 4096L * 2048L) << h;
    }
    auto tiny = create_font(make_lf(1, "System"));
    EXPECT_EQ(tiny->metrics().height, 1);
    tiny->glyph(U'A');
    tiny->glyph(0x4E2D);
}

TEST(FontEngine, ConcurrentGlyphFetchesAgree) {
    auto f = create_font(make_lf(-18, "DejaVu Sans Mono"));
    std::atomic<int> mismatches{0};
    auto worker = [&](int offset) {
        for (int i = 0; i < 2000; ++i) {
            int k = (i + offset) % 2000;
            char32_t cp = k < 1000 ? char32_t(0x4E00 + k) : char32_t(0x20 + (k - 1000) % 95);
            const Glyph& g = f->glyph(cp);
            if (g.advance <= 0) ++mismatches;
            // Each code point resolves to the same glyph in every thread.
            if (&f->glyph(cp) != &g) ++mismatches;
        }
    };
    std::thread t1(worker, 0), t2(worker, 977), t3([&] {
        // Creating fonts meanwhile must not disturb rendering.
        for (int h = 10; h < 30; ++h) create_font(make_lf(h, "DejaVu Serif", DEFAULT_QUALITY))->glyph(U'a');
    });
    t1.join();
    t2.join();
    t3.join();
    EXPECT_EQ(mismatches.load(), 0);
}

}  // namespace
