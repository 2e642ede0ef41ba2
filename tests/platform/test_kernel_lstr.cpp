// The kernel's lstr* string calls, narrow and wide: the comparisons' word-sort
// order for ASCII (case only breaks ties, lower case first), lstrcpyn's count
// with the terminator in it, and null strings (the results are Windows' as
// the reference run under Wine gives them).
#include <gtest/gtest.h>

#include <windows.h>

namespace {

TEST(KernelLstr, ComparisonsAndCopiesAtTheirEdges) {
    struct Case {
        const char* a;
        const char* b;
        int cmp, cmpi;
    } cases[] = {
        {"apple", "apple", 0, 0},
        {"a", "B", -1, -1},        // letters before case: not the byte order
        {"B", "a", 1, 1},
        {"a", "A", -1, 0},         // case only: lower case first
        {"Abc", "abd", -1, -1},    // a letter that differs outweighs an earlier case difference
        {"abc", "abcd", -1, -1},   // a prefix sorts first
        {"", "a", -1, -1},
        {nullptr, "", -1, -1},     // null sorts before the empty string
        {"a", nullptr, 1, 1},
        {"\xD6\xD0", "a", 1, 1},   // a GBK character after ASCII
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.a ? c.a : "(null)") + " vs " + (c.b ? c.b : "(null)"));
        EXPECT_EQ(lstrcmpA(c.a, c.b), c.cmp);
        EXPECT_EQ(lstrcmpiA(c.a, c.b), c.cmpi);
        std::wstring wa, wb;
        for (const char* p = c.a; p && *p; ++p) wa += wchar_t(static_cast<unsigned char>(*p) < 0x80 ? *p : 0x4E2D);
        for (const char* p = c.b; p && *p; ++p) wb += wchar_t(static_cast<unsigned char>(*p) < 0x80 ? *p : 0x4E2D);
        EXPECT_EQ(lstrcmpW(c.a ? wa.c_str() : nullptr, c.b ? wb.c_str() : nullptr), c.cmp);
        EXPECT_EQ(lstrcmpiW(c.a ? wa.c_str() : nullptr, c.b ? wb.c_str() : nullptr), c.cmpi);
    }

    char buf[8] = "#######";
    EXPECT_EQ(lstrcpynA(buf, "abcdef", 4), buf);
    EXPECT_STREQ(buf, "abc");                  // count 4: three characters and the terminator
    EXPECT_EQ(buf[4], '#');
    EXPECT_EQ(lstrcpynA(buf, "xyz", 1), buf);
    EXPECT_STREQ(buf, "");
    EXPECT_EQ(lstrcpyA(buf, "ab"), buf);
    EXPECT_EQ(lstrcatA(buf, "cd"), buf);
    EXPECT_STREQ(buf, "abcd");
    EXPECT_EQ(lstrlenA(buf), 4);
    EXPECT_EQ(lstrlenA(nullptr), 0);
    EXPECT_EQ(lstrcpyA(nullptr, "a"), nullptr);
    EXPECT_EQ(lstrcatA(buf, nullptr), nullptr);
    EXPECT_STREQ(buf, "abcd");

    wchar_t w[8];
    EXPECT_EQ(lstrcpynW(w, L"\u4E2D\u6587abc", 3), w);
    EXPECT_STREQ(w, L"\u4E2D\u6587");
    EXPECT_EQ(lstrcatW(w, L"!"), w);
    EXPECT_EQ(lstrlenW(w), 3);
}

}  // namespace
