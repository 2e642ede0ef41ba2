// The W forms of the stand-in's calls: conversion to the process code page
// and UTF-8, fonts with wide face names, wide text drawn as its GBK form is,
// window text, and files with wide names.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "gdi_test_util.h"
#include "windows.h"

namespace {

using gdi_test::Canvas;

TEST(WideCalls, WideCharToMultiByteFollowsWindows) {
    struct Case {
        const char* name;
        UINT cp;
        std::wstring in;
        int cch;            // -1: through the terminating zero
        int cb;             // 0: ask for the size
        const char* def;    // lpDefaultChar
        bool askUsed;       // pass lpUsedDefaultChar
        int ret;
        std::string out;    // the bytes written (ret of them)
        BOOL used;
        DWORD error;        // when ret is 0
    } cases[] = {
        {"GBK through the zero", 936, L"\u4E2Da", -1, 16, nullptr, true, 4, std::string("\xD6\xD0" "a\0", 4), FALSE, 0},
        {"size asked", CP_ACP, L"\u4E2Da", 2, 0, nullptr, false, 3, "", FALSE, 0},
        {"no GBK form: '?'", 936, L"x\u0E01", 2, 8, nullptr, true, 2, "x?", TRUE, 0},
        {"no GBK form: the given default", 936, L"\u0E01", 1, 8, "*", true, 1, "*", TRUE, 0},
        {"buffer one byte short", 936, L"\u4E2D\u6587", 2, 3, nullptr, false, 0, "", FALSE, ERROR_INSUFFICIENT_BUFFER},
        {"UTF-8", CP_UTF8, L"\u0E01\u00E9", 2, 8, nullptr, false, 5, "\xE0\xB8\x81\xC3\xA9", FALSE, 0},
        {"UTF-8 refuses a default", CP_UTF8, L"a", 1, 8, nullptr, true, 0, "", FALSE, ERROR_INVALID_PARAMETER},
        {"nothing to convert", 936, L"", 0, 8, nullptr, false, 0, "", FALSE, ERROR_INVALID_PARAMETER},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        char buf[16];
        std::memset(buf, 0x55, sizeof buf);
        BOOL used = 7;
        SetLastError(0);
        int ret = WideCharToMultiByte(c.cp, 0, c.in.c_str(), c.cch, c.cb ? buf : nullptr, c.cb, c.def,
                                      c.askUsed ? &used : nullptr);
        EXPECT_EQ(ret, c.ret);
        if (ret > 0 && c.cb) {
            EXPECT_EQ(std::string(buf, size_t(ret)), c.out);
        }
        if (c.askUsed && ret > 0) {
            EXPECT_EQ(used, c.used);
        }
        if (ret == 0) {
            EXPECT_EQ(GetLastError(), c.error);
        }
        if (ret > 0 && c.cb > ret) {
            EXPECT_EQ(buf[ret], 0x55) << "nothing written past the result";
        }
    }
    EXPECT_TRUE(IsDBCSLeadByte(0x81));
    EXPECT_TRUE(IsDBCSLeadByte(0xFE));
    EXPECT_FALSE(IsDBCSLeadByte(0x80));
    EXPECT_FALSE(IsDBCSLeadByte(0xFF));
}

TEST(WideCalls, FontFaceNamesConvertBothWays) {
    LOGFONTW w = {};
    w.lfHeight = -15;
    w.lfItalic = TRUE;
    std::wcscpy(w.lfFaceName, L"\u5B8B\u4F53");
    HFONT f = CreateFontIndirectW(&w);
    ASSERT_NE(f, nullptr);
    LOGFONTA a;
    ASSERT_EQ(GetObjectA(f, sizeof a, &a), int(sizeof a));
    EXPECT_EQ(a.lfHeight, -15);
    EXPECT_EQ(a.lfItalic, TRUE);
    EXPECT_STREQ(a.lfFaceName, "\xCB\xCE\xCC\xE5");
    LOGFONTW back;
    EXPECT_EQ(GetObjectW(f, 0, nullptr), int(sizeof back));
    ASSERT_EQ(GetObjectW(f, sizeof back, &back), int(sizeof back));
    EXPECT_EQ(std::wstring(back.lfFaceName), L"\u5B8B\u4F53");
    EXPECT_EQ(back.lfHeight, -15);
    DeleteObject(f);

    // 31 Chinese characters are 62 bytes: the narrow name keeps 15 whole ones.
    std::fill(w.lfFaceName, w.lfFaceName + LF_FACESIZE - 1, L'\u4E2D');
    w.lfFaceName[LF_FACESIZE - 1] = 0;
    f = CreateFontIndirectW(&w);
    GetObjectA(f, sizeof a, &a);
    EXPECT_EQ(std::strlen(a.lfFaceName), 30u);
    DeleteObject(f);

    // Objects other than fonts answer as with GetObjectA.
    HPEN pen = CreatePen(PS_SOLID, 3, RGB(1, 2, 3));
    LOGPEN lp = {};
    EXPECT_EQ(GetObjectW(pen, sizeof lp, &lp), int(sizeof lp));
    EXPECT_EQ(lp.lopnWidth.x, 3);
    DeleteObject(pen);
}

// Windows gives a narrow double-byte character one advance per byte and moves
// by their sum; the wide form has one per character.
TEST(WideCalls, WideTextDrawsAndMeasuresAsItsGbkForm) {
    Canvas narrow(120, 40, 0), wide(120, 40, 0);
    LOGFONTA lf = {};
    lf.lfHeight = 16;
    HFONT font = CreateFontIndirectA(&lf);
    for (Canvas* c : {&narrow, &wide}) {
        SelectObject(c->dc, font);
        SetTextColor(c->dc, RGB(255, 255, 255));
        SetBkMode(c->dc, TRANSPARENT);
    }
    const char* gbk = "A\xD6\xD0" "B";
    const wchar_t* wtext = L"A\u4E2DB";
    TextOutA(narrow.dc, 2, 2, gbk, 4);
    TextOutW(wide.dc, 2, 2, wtext, 3);
    const INT dxA[] = {12, 20, 0, 9};
    const INT dxW[] = {12, 20, 9};
    ExtTextOutA(narrow.dc, 2, 20, 0, nullptr, gbk, 4, dxA);
    ExtTextOutW(wide.dc, 2, 20, 0, nullptr, wtext, 3, dxW);
    EXPECT_EQ(std::memcmp(narrow.bits, wide.bits, size_t(narrow.w * narrow.h) * 4), 0);
    EXPECT_GT(narrow.count(0), 0);
    EXPECT_LT(narrow.count(0), narrow.w * narrow.h);

    SIZE sa = {}, sw = {};
    ASSERT_TRUE(GetTextExtentPoint32A(narrow.dc, gbk, 4, &sa));
    ASSERT_TRUE(GetTextExtentPoint32W(wide.dc, wtext, 3, &sw));
    EXPECT_EQ(sa.cx, sw.cx);
    EXPECT_EQ(sa.cy, sw.cy);
    RECT ra = {0, 0, 30, 0}, rw = ra;
    DrawTextA(narrow.dc, "\xD6\xD0\xCE\xC4 \xD6\xD0\xCE\xC4", -1, &ra, DT_CALCRECT | DT_WORDBREAK);
    DrawTextW(wide.dc, L"\u4E2D\u6587 \u4E2D\u6587", -1, &rw, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(ra.right, rw.right);
    EXPECT_EQ(ra.bottom, rw.bottom);
    EXPECT_FALSE(TextOutW(wide.dc, 0, 0, nullptr, 2));
    for (Canvas* c : {&narrow, &wide}) SelectObject(c->dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(font);
}

TEST(WideCalls, WindowTextConvertsBothWays) {
    HWND h = CreateWindowExA(0, "Static", "", WS_OVERLAPPEDWINDOW, 0, 0, 100, 50, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(h, nullptr);
    ASSERT_TRUE(SetWindowTextW(h, L"\u6807\u9898x"));
    char narrow[16];
    GetWindowTextA(h, narrow, sizeof narrow);
    EXPECT_STREQ(narrow, "\xB1\xEA\xCC\xE2x");
    EXPECT_EQ(GetWindowTextLengthW(h), 3);
    wchar_t wide[8];
    EXPECT_EQ(GetWindowTextW(h, wide, 8), 3);
    EXPECT_EQ(std::wstring(wide), L"\u6807\u9898x");
    EXPECT_EQ(GetWindowTextW(h, wide, 3), 2) << "cut to the buffer, whole characters";
    EXPECT_EQ(std::wstring(wide), L"\u6807\u9898");
    DestroyWindow(h);
    wide[0] = L'q';
    EXPECT_EQ(GetWindowTextW(h, wide, 8), 0);
    EXPECT_EQ(wide[0], 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
}

TEST(WideCalls, CreateFileWNamesFilesInUtf8) {
    char dir[] = "/tmp/plat_wide_XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    std::wstring name(dir, dir + std::strlen(dir));
    name += L"/\u0E01\u4E2D.txt";  // U+0E01 has no GBK form
    HANDLE f = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    DWORD done = 0;
    EXPECT_TRUE(WriteFile(f, "hi", 2, &done, nullptr));
    CloseHandle(f);
    const std::string utf8 = std::string(dir) + "/\xE0\xB8\x81\xE4\xB8\xAD.txt";
    FILE* check = std::fopen(utf8.c_str(), "rb");
    ASSERT_NE(check, nullptr);
    std::fclose(check);
    EXPECT_EQ(CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_EXISTS));
    EXPECT_EQ(CreateFileW(L"", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
    std::remove(utf8.c_str());
    rmdir(dir);
}

}  // namespace
