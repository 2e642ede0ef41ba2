// The clipboard: text in both formats (Chinese included) as other programs
// see it, and who may use it when. The Edit control's use of it is tested
// with the controls.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "user_test_util.h"

namespace {

using namespace usertest;

// GBK (code page 936) forms of the Chinese characters used here.
#define ZHONG "\xD6\xD0"  // 中 U+4E2D
#define WEN "\xCE\xC4"    // 文 U+6587
#define LI "\xC0\xEE"     // 李 U+674E
#define BAI "\xB0\xD7"    // 白 U+767D

HGLOBAL block(const void* data, size_t bytes) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::memcpy(GlobalLock(h), data, bytes);
    GlobalUnlock(h);
    return h;
}

std::string narrow_of(HANDLE h) {
    std::string s = static_cast<const char*>(GlobalLock(h));
    GlobalUnlock(h);
    return s;
}
std::wstring wide_of(HANDLE h) {
    std::wstring s = static_cast<const WCHAR*>(GlobalLock(h));
    GlobalUnlock(h);
    return s;
}

TEST(UserClipboard, TextRoundTripsInBothFormatsAndWithOtherPrograms) {
    HWND w = make_window();
    struct Case {
        const char* what;
        UINT set_format;           // 0: another program puts `utf8` there
        std::string narrow;        // CF_TEXT set or expected
        std::wstring wide;         // CF_UNICODETEXT set or expected
        std::string utf8;          // what other programs see
    } cases[] = {
        {"CF_TEXT in", CF_TEXT, "ab " ZHONG WEN "\r\nx", L"ab \u4e2d\u6587\r\nx", u8"ab \u4e2d\u6587\nx"},
        {"CF_UNICODETEXT in", CF_UNICODETEXT, LI BAI "\r\n", L"\u674e\u767d\r\n", u8"\u674e\u767d\n"},
        {"from another program", 0, LI "\r\n\r\n" BAI, L"\u674e\r\n\r\n\u767d", u8"\u674e\n\n\u767d"},
        {"another program's CRLF stays one line end", 0, "a\r\nb", L"a\r\nb", "a\r\nb"},
        {"a character GBK lacks becomes '?'", CF_UNICODETEXT, "a?", L"a\U0001F600", u8"a\U0001F600"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.set_format == 0) {
            headless::SetClipboardText(c.utf8);
        } else {
            ASSERT_TRUE(OpenClipboard(w));
            ASSERT_TRUE(EmptyClipboard());
            HANDLE h = c.set_format == CF_TEXT ? block(c.narrow.c_str(), c.narrow.size() + 1)
                                               : block(c.wide.c_str(), (c.wide.size() + 1) * sizeof(WCHAR));
            EXPECT_EQ(SetClipboardData(c.set_format, h), h);
            ASSERT_TRUE(CloseClipboard());
            std::string seen;
            ASSERT_TRUE(headless::ClipboardText(&seen));
            EXPECT_EQ(seen, c.utf8);
            EXPECT_EQ(GetClipboardOwner(), w);
        }
        EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
        EXPECT_TRUE(IsClipboardFormatAvailable(CF_UNICODETEXT));
        ASSERT_TRUE(OpenClipboard(nullptr));
        HANDLE t = GetClipboardData(CF_TEXT), u = GetClipboardData(CF_UNICODETEXT);
        ASSERT_NE(t, nullptr);
        ASSERT_NE(u, nullptr);
        EXPECT_EQ(narrow_of(t), c.narrow);
        EXPECT_EQ(wide_of(u), c.wide);
        EXPECT_EQ(GetClipboardData(CF_TEXT), t) << "converted once, then kept";
        EXPECT_TRUE(CloseClipboard());
    }
}

TEST(UserClipboard, OneThreadAtATimeAndOnlyWhileOpen) {
    HWND w = make_window();
    SetLastError(0);
    EXPECT_EQ(GetClipboardData(CF_TEXT), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CLIPBOARD_NOT_OPEN));
    EXPECT_FALSE(EmptyClipboard());
    EXPECT_FALSE(CloseClipboard());
    ASSERT_TRUE(OpenClipboard(w));
    EXPECT_EQ(GetOpenClipboardWindow(), w);
    BOOL other = TRUE;
    DWORD error = 0;
    std::thread([&] {
        other = OpenClipboard(nullptr);
        error = GetLastError();
    }).join();
    EXPECT_FALSE(other);
    EXPECT_EQ(error, DWORD(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(EmptyClipboard());
    // A handle that is no global memory block is refused.
    char local[4] = "abc";
    EXPECT_EQ(SetClipboardData(CF_TEXT, local), nullptr);
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
    EXPECT_TRUE(CloseClipboard());
    EXPECT_EQ(GetOpenClipboardWindow(), nullptr);
}

}  // namespace
