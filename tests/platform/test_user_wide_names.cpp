// A program built with UNICODE: the USER names without a suffix are the W
// functions, TCHAR is WCHAR, and wide text goes through USER as GBK and
// comes back the same. Also wsprintf's Windows argument sizes and limits.
#define UNICODE
#define _UNICODE
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <type_traits>

#include <windows.h>

namespace {

static_assert(std::is_same<TCHAR, wchar_t>::value, "TCHAR is WCHAR with UNICODE");
static_assert(std::is_same<WNDCLASSEX, WNDCLASSEXW>::value, "WNDCLASSEX is the W struct");

LRESULT CALLBACK WideProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProc(h, m, w, l); }

TEST(UserWideNames, WindowTextClassesAndMessagesRoundTrip) {
    WNDCLASSEX wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WideProc;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = L"\u5BBD\u7C7B";  // "宽类"
    ASSERT_NE(RegisterClassEx(&wc), 0);
    ASSERT_NE(wc.hCursor, nullptr);
    EXPECT_NE(LoadIcon(nullptr, IDI_APPLICATION), nullptr);
    WNDCLASSEX back = {};
    back.cbSize = sizeof back;
    ASSERT_TRUE(GetClassInfoEx(nullptr, L"\u5BBD\u7C7B", &back));
    EXPECT_STREQ(back.lpszClassName, L"\u5BBD\u7C7B");
    EXPECT_EQ(back.lpfnWndProc, &WideProc);

    HWND h = CreateWindowEx(0, L"\u5BBD\u7C7B", L"\u674E\u767D ok", WS_CAPTION, 0, 0, 100, 80, nullptr, nullptr,
                            nullptr, nullptr);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(FindWindow(L"\u5BBD\u7C7B", L"\u674E\u767D ok"), h);
    char narrow[32];
    GetWindowTextA(h, narrow, sizeof narrow);
    EXPECT_STREQ(narrow, "\xC0\xEE\xB0\xD7 ok") << "kept as GBK";

    struct Case {
        const wchar_t* set;
        int buffer;  // WCHARs
        const wchar_t* want;
        int want_count;
        int length;  // GetWindowTextLength: the whole text, in characters
    } cases[] = {
        {L"\u674E\u767D ok", 32, L"\u674E\u767D ok", 5, 5},
        {L"\u674E\u767D ok", 3, L"\u674E\u767D", 2, 5},  // cut to buffer - 1 characters, a Chinese one counts one
        {L"\u674E\u767D ok", 1, L"", 0, 5},
        {L"", 8, L"", 0, 0},
        {L"\U0001F600", 8, L"?", 1, 1},  // no GBK form
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "buffer " << c.buffer);
        ASSERT_TRUE(SetWindowText(h, c.set));
        TCHAR buf[32];
        std::wmemset(buf, L'#', 32);
        EXPECT_EQ(GetWindowText(h, buf, c.buffer), c.want_count);
        EXPECT_STREQ(buf, c.want);
        EXPECT_EQ(GetWindowTextLength(h), c.length);
        std::wmemset(buf, L'#', 32);
        EXPECT_EQ(SendMessage(h, WM_GETTEXT, c.buffer, reinterpret_cast<LPARAM>(buf)), c.want_count);
        EXPECT_STREQ(buf, c.want);
    }
    SendMessage(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"\u4E2D\u6587"));
    EXPECT_EQ(SendMessage(h, WM_GETTEXTLENGTH, 0, 0), 2) << "counted in characters, not bytes";
    EXPECT_EQ(GetWindowTextLength(h), 2);

    // The 32-bit long forms: a style with the top bit set survives the round trip.
    SetWindowLong(h, GWL_STYLE, LONG(WS_POPUP | WS_CAPTION));
    EXPECT_EQ(DWORD(GetWindowLong(h, GWL_STYLE)), DWORD(WS_POPUP | WS_CAPTION));
    EXPECT_EQ(DWORD(GetWindowLongPtr(h, GWL_STYLE)), DWORD(WS_POPUP | WS_CAPTION));
    PostMessage(h, WM_USER, 1, 2);
    MSG m;
    ASSERT_TRUE(PeekMessage(&m, h, WM_USER, WM_USER, PM_REMOVE));
    EXPECT_EQ(m.wParam, WPARAM(1));
    DispatchMessage(&m);
    EXPECT_TRUE(DestroyWindow(h));
    EXPECT_TRUE(UnregisterClass(L"\u5BBD\u7C7B", nullptr));
}

// Expectations from the documented wsprintf: no floating point, 32-bit
// integers unless "I64", "h" keeps 16 bits, %S the other width of string,
// at most 1024 characters with the zero.
TEST(UserWideNames, WsprintfFollowsWindowsSizes) {
    char out[1100];
    struct Case {
        const char* name;
        int (*run)(char*);
        const char* want;
    } cases[] = {
        {"%d", [](char* o) { return wsprintfA(o, "%d|%i", -5, 42); }, "-5|42"},
        {"%u of -1", [](char* o) { return wsprintfA(o, "%u", -1); }, "4294967295"},
        {"%ld is 32 bits", [](char* o) { return wsprintfA(o, "%ld %lu", LONG(-7), DWORD(0xFFFFFFFF)); },
         "-7 4294967295"},
        {"%hd keeps 16 bits", [](char* o) { return wsprintfA(o, "%hd %hu", 65535, 65537); }, "-1 1"},
        {"%I64d", [](char* o) { return wsprintfA(o, "%I64d %I64x", -(1LL << 40), 1ULL << 36); },
         "-1099511627776 1000000000"},
        {"hex", [](char* o) { return wsprintfA(o, "%x %X %#x %#X", 255, 255, 255, 255); }, "ff FF 0xff 0XFF"},
        {"width and flags", [](char* o) { return wsprintfA(o, "[%5d][%-5d][%05d][%.3d]", 42, 42, -42, 7); },
         "[   42][42   ][-0042][007]"},
        {"strings", [](char* o) { return wsprintfA(o, "%s|%.3s|%6s|%-4s|", "abc", "abcdef", "ab", "x"); },
         "abc|abc|    ab|x   |"},
        {"null string", [](char* o) { return wsprintfA(o, "%s", static_cast<const char*>(nullptr)); }, "(null)"},
        {"wide string in a narrow call", [](char* o) { return wsprintfA(o, "%S%ls", L"\u674E", L"\u767D"); },
         "\xC0\xEE\xB0\xD7"},
        {"characters", [](char* o) { return wsprintfA(o, "%c%C%%", 'a', L'\u674E'); }, "a\xC0\xEE%"},
        {"no floating point", [](char* o) { return wsprintfA(o, "%f", 1); }, "f"},
    };
    for (const Case& c : cases) {
        std::memset(out, '#', sizeof out);
        int n = c.run(out);
        EXPECT_STREQ(out, c.want) << c.name;
        EXPECT_EQ(n, int(std::strlen(c.want))) << c.name;
    }
    std::string big(1100, 'x');
    std::memset(out, '#', sizeof out);
    EXPECT_EQ(wsprintfA(out, "%s", big.c_str()), 1023);
    EXPECT_EQ(out[1023], '\0');
    EXPECT_EQ(out[1024], '#') << "nothing written past 1024 characters";

    TCHAR w[64];
    EXPECT_EQ(wsprintf(w, L"%s=%d %S", L"\u5206", -3, "\xC0\xEE"), 6);
    EXPECT_STREQ(w, L"\u5206=-3 \u674E");
}

}  // namespace
