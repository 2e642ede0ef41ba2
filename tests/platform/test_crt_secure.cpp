// The C runtime's bounds-checked functions: what they write and return when
// the destination is too small, with a handler installed that returns (the
// Windows runtime's documented results), and the default handler ending the
// program.
#include <gtest/gtest.h>

#include <tchar.h>
#include <windows.h>

#include <functional>
#include <string>

namespace {

int g_calls = 0;
void Recording(const wchar_t*, const wchar_t*, const wchar_t*, unsigned, uintptr_t) { ++g_calls; }

struct HandlerScope {
    _invalid_parameter_handler old;
    HandlerScope() : old(_set_invalid_parameter_handler(Recording)) { g_calls = 0; }
    ~HandlerScope() { _set_invalid_parameter_handler(old); }
};

TEST(CrtSecure, StringCopiesAtTheirLimits) {
    HandlerScope h;
    struct Case {
        const char* what;
        std::function<errno_t(char*, size_t)> call;
        size_t size;
        errno_t result;
        const char* text;  // the destination afterwards
        int faults;
    } cases[] = {
        {"strcpy_s fits exactly", [](char* d, size_t n) { return strcpy_s(d, n, "abcd"); }, 5, 0, "abcd", 0},
        {"strcpy_s one short", [](char* d, size_t n) { return strcpy_s(d, n, "abcde"); }, 5, ERANGE, "", 1},
        {"strcpy_s null source", [](char* d, size_t n) { return strcpy_s(d, n, nullptr); }, 5, EINVAL, "", 1},
        {"strcat_s fits exactly", [](char* d, size_t n) { strcpy(d, "ab"); return strcat_s(d, n, "cd"); }, 5, 0, "abcd", 0},
        {"strcat_s one short", [](char* d, size_t n) { strcpy(d, "ab"); return strcat_s(d, n, "cde"); }, 5, ERANGE, "", 1},
        {"strcat_s unterminated", [](char* d, size_t n) { memset(d, 'x', n); return strcat_s(d, n, "a"); }, 5, EINVAL, "", 1},
        {"strncpy_s count", [](char* d, size_t n) { return strncpy_s(d, n, "abcdef", 3); }, 5, 0, "abc", 0},
        {"strncpy_s truncate", [](char* d, size_t n) { return strncpy_s(d, n, "abcdef", _TRUNCATE); }, 5, STRUNCATE, "abcd", 0},
        {"strncpy_s too long", [](char* d, size_t n) { return strncpy_s(d, n, "abcdef", 5); }, 5, ERANGE, "", 1},
        {"strncat_s truncate", [](char* d, size_t n) { strcpy(d, "ab"); return strncat_s(d, n, "cdef", _TRUNCATE); }, 5, STRUNCATE, "abcd", 0},
        {"_itoa_s negative", [](char* d, size_t n) { return _itoa_s(-1234, d, n, 10); }, 6, 0, "-1234", 0},
        {"_itoa_s one short", [](char* d, size_t n) { return _itoa_s(-12345, d, n, 10); }, 6, ERANGE, "", 1},
        {"_itoa_s hex of -1", [](char* d, size_t n) { return _itoa_s(-1, d, n, 16); }, 9, 0, "ffffffff", 0},
        {"_itoa_s radix 37", [](char* d, size_t n) { return _itoa_s(5, d, n, 37); }, 9, EINVAL, "", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        char buf[16];
        memset(buf, '#', sizeof buf);
        g_calls = 0;
        EXPECT_EQ(c.call(buf, c.size), c.result);
        EXPECT_STREQ(buf, c.text);
        EXPECT_EQ(buf[c.size], '#') << "nothing written past the size";
        EXPECT_EQ(g_calls, c.faults);
    }
}

// The wide forms a Unicode program reaches through tchar.h (_tcsncpy_s,
// _tcsncat_s, _tcsupr_s with the array's size taken from its type).
TEST(CrtSecure, WideCopiesAndCaseAtTheirLimits) {
    HandlerScope h;
    wchar_t w[5];
    EXPECT_EQ(wcsncpy_s(w, L"abcdef", 4), 0);
    EXPECT_STREQ(w, L"abcd");
    EXPECT_EQ(wcsncat_s(w, L"x", 1), ERANGE);          // "abcd" fills the array already
    EXPECT_STREQ(w, L"");
    EXPECT_EQ(wcsncat_s(w, 5, L"xyz", _TRUNCATE), 0);
    EXPECT_EQ(wcsncat_s(w, 5, L"uvw", _TRUNCATE), STRUNCATE);
    EXPECT_STREQ(w, L"xyzu");
    EXPECT_EQ(_wcsupr_s(w), 0);
    EXPECT_STREQ(w, L"XYZU");
    EXPECT_EQ(_wcslwr_s(w, 4), EINVAL);                // no terminator within the size given
    EXPECT_STREQ(w, L"");
    EXPECT_EQ(g_calls, 2);
}

TEST(CrtSecure, FormattedOutputAtItsLimits) {
    HandlerScope h;
    char b[8];
    // Seven characters and the terminator fit; eight do not: the buffer is emptied, -1, ERANGE.
    EXPECT_EQ(sprintf_s(b, "%d", 1234567), 7);
    EXPECT_STREQ(b, "1234567");
    errno = 0;
    EXPECT_EQ(sprintf_s(b, sizeof b, "%s", "12345678"), -1);
    EXPECT_STREQ(b, "");
    EXPECT_EQ(errno, ERANGE);
    EXPECT_EQ(g_calls, 1);
    // _snprintf_s: _TRUNCATE cuts quietly; a count shorter than the text cuts too.
    EXPECT_EQ(_snprintf_s(b, sizeof b, _TRUNCATE, "%s", "123456789"), -1);
    EXPECT_STREQ(b, "1234567");
    EXPECT_EQ(_snprintf_s(b, sizeof b, 3, "%s", "123456"), -1);
    EXPECT_STREQ(b, "123");
    EXPECT_EQ(_snprintf_s(b, sizeof b, 8, "%s", "123456789"), -1);
    EXPECT_STREQ(b, "");
    EXPECT_EQ(g_calls, 2);
    // The old _snprintf fills the buffer without a terminator when it is full.
    char raw[4] = {'#', '#', '#', '#'};
    EXPECT_EQ(_snprintf(raw, 3, "%s", "abcdef"), -1);
    EXPECT_EQ(std::string(raw, 4), "abc#");
    wchar_t w[4];
    EXPECT_EQ(swprintf_s(w, L"%d", 123), 3);
    EXPECT_STREQ(w, L"123");
    EXPECT_EQ(swprintf_s(w, 4, L"%d", 1234), -1);
    EXPECT_STREQ(w, L"");
    // The generic-text names map to the narrow functions in this build.
    _TCHAR t[6];
    EXPECT_EQ(_stprintf_s(t, _T("%s!"), _T("hi")), 3);
    EXPECT_EQ(_tcscpy_s(t, _T("abcdef")), ERANGE);
    EXPECT_EQ(_countof(t), 6u);
}

TEST(CrtSecure, ScanfSTakesBufferSizes) {
    HandlerScope h;
    char word[4], c[2] = {0, 0};
    int n = 0;
    EXPECT_EQ(sscanf_s("abc 42 z", "%s %d %c", word, 4u, &n, c, 1u), 3);
    EXPECT_STREQ(word, "abc");
    EXPECT_EQ(n, 42);
    EXPECT_EQ(c[0], 'z');
    // A word that does not fit ends the scan with the buffer empty.
    n = 0;
    EXPECT_EQ(sscanf_s("abcd 42", "%s %d", word, 4u, &n), 0);
    EXPECT_STREQ(word, "");
    EXPECT_EQ(n, 0);
    EXPECT_EQ(sscanf_s("", "%d", &n), EOF);
    char set[8];
    EXPECT_EQ(sscanf_s("ab12,x", "%[a-z0-9]%*c%d", set, 8u, &n), 1);
    EXPECT_STREQ(set, "ab12");
    EXPECT_EQ(_stricmp("Hello", "hELLO"), 0);
    EXPECT_LT(_strnicmp("abcX", "ABCy", 4), 0);
    char* dup = _strdup("x");
    EXPECT_STREQ(dup, "x");
    free(dup);
    char num[12];
    EXPECT_STREQ(_itoa(255, num, 2), "11111111");
    EXPECT_EQ(abs(-3), 3);  // windows.h brings <stdlib.h>
}

TEST(CrtSecureDeathTest, DefaultHandlerEndsTheProgram) {
    testing::FLAGS_gtest_death_test_style = "threadsafe";
    EXPECT_DEATH(
        {
            char b[4];
            sprintf_s(b, sizeof b, "%s", "toolong");
        },
        "sprintf_s");
    EXPECT_DEATH(
        {
            char b[4];
            strcpy_s(b, "four");
        },
        "strcpy_s");
}

}  // namespace
