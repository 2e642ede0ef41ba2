// Code page 936 conversions: round trips, bad input, thread use.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "codepage.h"

using plat::codepage::cp936_to_utf8;
using plat::codepage::decode_936;
using plat::codepage::utf8_to_936;

namespace {

constexpr char32_t R = 0xFFFD;

TEST(Codepage936, AsciiPassesThroughUnchanged) {
    EXPECT_EQ(decode_936("Hello, 1+1=2!", -1), U"Hello, 1+1=2!");
    EXPECT_EQ(utf8_to_936("plain ~text\t\n"), "plain ~text\t\n");
    EXPECT_EQ(cp936_to_utf8("abc", -1), "abc");
    EXPECT_EQ(decode_936("", -1), U"");
    EXPECT_EQ(decode_936(nullptr, -1), U"");
}

TEST(Codepage936, ExplicitLengthStopsEarlyAndKeepsEmbeddedZeros) {
    EXPECT_EQ(decode_936("abcdef", 3), U"abc");
    std::u32string with_zero = decode_936("a\0b", 3);
    ASSERT_EQ(with_zero.size(), 3u);
    EXPECT_EQ(with_zero[1], U'\0');
    // Length 2 cuts "中文" after its first character.
    EXPECT_EQ(decode_936("\xd6\xd0\xce\xc4", 2), U"\u4e2d");
}

TEST(Codepage936, ChineseRoundTrip) {
    const std::string utf8 = u8"中文 Lumenvale：决斗！";
    std::string gbk = utf8_to_936(utf8);
    EXPECT_EQ(gbk.substr(0, 4), "\xd6\xd0\xce\xc4");
    EXPECT_EQ(decode_936(gbk.c_str(), -1), U"中文 Lumenvale：决斗！");
    EXPECT_EQ(cp936_to_utf8(gbk.c_str(), static_cast<int>(gbk.size())), utf8);
}

TEST(Codepage936, InvalidBytesGiveOneReplacementEachAndKeepTheNextCharacter) {
    // 0xFF is never valid; the following "中" must survive.
    EXPECT_EQ(decode_936("\xff\xd6\xd0", -1), (std::u32string{R, 0x4E2D}));
    // A lead byte followed by a byte that cannot trail: the ASCII byte stays.
    EXPECT_EQ(decode_936("\x81 A", -1), (std::u32string{R, U' ', U'A'}));
    EXPECT_EQ(decode_936("x\xfe\x0ay", -1), (std::u32string{U'x', R, U'\n', U'y'}));
    // Two bad bytes in a row: two replacements.
    EXPECT_EQ(decode_936("\xff\xff" "a", -1), (std::u32string{R, R, U'a'}));
}

TEST(Codepage936, TruncatedLeadByteAtTheEnd) {
    EXPECT_EQ(decode_936("ab\xd6", -1), (std::u32string{U'a', U'b', R}));
    EXPECT_EQ(decode_936("\xd6\xd0\xce", 3), (std::u32string{0x4E2D, R}));
    EXPECT_EQ(cp936_to_utf8("\xd6", -1), u8"\uFFFD");
}

TEST(Codepage936, CharactersWithoutGbkFormBecomeQuestionMarks) {
    // An emoji and a Hangul syllable have no GBK form; the text around them stays.
    EXPECT_EQ(utf8_to_936(u8"a😀b"), "a?b");
    EXPECT_EQ(utf8_to_936(u8"\uac00\u4e2d"), "?\xd6\xd0");
    // The euro sign is 0x80 in code page 936.
    EXPECT_EQ(utf8_to_936(u8"€"), "\x80");
}

TEST(Codepage936, InvalidUtf8GivesOneQuestionMarkPerBadByte) {
    EXPECT_EQ(utf8_to_936("a\xff" "b"), "a?b");
    // A truncated three-byte sequence: lead and continuation are both bad.
    EXPECT_EQ(utf8_to_936("\xe4\xb8" "c"), "??c");
    // Overlong form of '/', and an encoded surrogate.
    EXPECT_EQ(utf8_to_936("\xc0\xaf"), "??");
    EXPECT_EQ(utf8_to_936("\xed\xa0\x80" "z"), "???z");
    // A stray continuation byte before a valid character.
    EXPECT_EQ(utf8_to_936("\x80\xe4\xb8\xad"), "?\xd6\xd0");
}

TEST(Codepage936, ConcurrentConversionsAgree) {
    const std::string utf8 = u8"多线程转换：中文与ASCII混合 mixed text 123";
    const std::string expected = utf8_to_936(utf8);
    std::vector<std::thread> threads;
    std::vector<int> failures(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 300; ++i) {
                std::string g = utf8_to_936(utf8);
                if (g != expected || cp936_to_utf8(g.c_str(), -1) != utf8) ++failures[t];
                if (decode_936("\xff\xd6\xd0", -1) != std::u32string{R, 0x4E2D}) ++failures[t];
            }
        });
    }
    for (auto& th : threads) th.join();
    for (int f : failures) EXPECT_EQ(f, 0);
}

}  // namespace

// Code points to UTF-8 at every length boundary; what has no UTF-8 form
// (surrogates, beyond U+10FFFF) becomes U+FFFD.
TEST(Utf8Encoding, LengthBoundariesAndCodePointsWithoutAForm) {
    struct Case {
        char32_t cp;
        const char* utf8;
    };
    const Case cases[] = {
        {0x7F, "\x7F"},
        {0x80, "\xC2\x80"},
        {0x7FF, "\xDF\xBF"},
        {0x800, "\xE0\xA0\x80"},
        {0xD7FF, "\xED\x9F\xBF"},
        {0xD800, "\xEF\xBF\xBD"},
        {0xDFFF, "\xEF\xBF\xBD"},
        {0xE000, "\xEE\x80\x80"},
        {0xFFFF, "\xEF\xBF\xBF"},
        {0x10000, "\xF0\x90\x80\x80"},
        {0x10FFFF, "\xF4\x8F\xBF\xBF"},
        {0x110000, "\xEF\xBF\xBD"},
        {0xFFFFFFFF, "\xEF\xBF\xBD"},
    };
    for (const Case& c : cases) EXPECT_EQ(plat::codepage::utf8_of(&c.cp, 1), c.utf8) << std::hex << uint32_t(c.cp);
    // Read back, a four-byte form up to the last (lead byte F4) is one
    // character, which GBK cannot hold: one '?' each.
    EXPECT_EQ(utf8_to_936("a\xF0\x90\x80\x80" "b\xF4\x8F\xBF\xBF"), "a?b?");
}

// The table a C library without a GBK encoder falls back on must give, for
// every character a two-byte code decodes to, the bytes the C library's own
// encoder gives here (glibc), and nothing for characters without a form.
TEST(Codepage936, EncodingByDecodingAgreesWithTheEncoder) {
    using plat::codepage::encode_936;
    using plat::codepage::encode_936_by_decoding;
    int checked = 0, mismatches = 0;
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
        for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F) continue;
            const char code[3] = {static_cast<char>(lead), static_cast<char>(trail), 0};
            std::u32string cps = decode_936(code, 2);
            if (cps.size() != 1 || cps[0] == R) continue;
            std::string want = encode_936(cps.data(), 1, '?', nullptr);
            std::string got = encode_936_by_decoding(cps[0]);
            if (got != want && ++mismatches <= 5)
                ADD_FAILURE() << std::hex << "U+" << unsigned(cps[0]) << " from " << lead << trail;
            ++checked;
        }
    }
    EXPECT_GT(checked, 21000);  // GBK has 21,886 two-byte characters
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(encode_936_by_decoding(U'A'), "A");
    EXPECT_EQ(encode_936_by_decoding(U'\x7f'), "\x7f");
    EXPECT_EQ(encode_936_by_decoding(0xFFFD), "");
    EXPECT_EQ(encode_936_by_decoding(0x1F600), "");
}
