// The wide-character forms that a program built with UNICODE reaches: text
// drawn and measured as its GBK form is, fonts with wide face names, the
// character records of the message queue, the input box and picture files
// with wide names.
#include <SDL2/SDL_keycode.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "../../glint/src/input_box.h"
#include "../../glint/src/wide_forms.h"
#include "glint_test_util.h"

using namespace glint_test;

namespace {

// The colours of an image's pixels (the unused top byte left out).
std::vector<DWORD> Pixels(IMAGE& img) {
    const DWORD* p = GetImageBuffer(&img);
    std::vector<DWORD> out(p, p + size_t(img.getwidth()) * size_t(img.getheight()));
    for (DWORD& px : out) px &= 0xFFFFFF;
    return out;
}

struct TextCase {
    const char* name;
    const char* gbk;
    const wchar_t* wide;
};

// The GBK bytes written out, so the expectation does not depend on how this
// file is compiled.
const TextCase kTexts[] = {
    {"Chinese and ASCII", "\xD6\xD0\xCE\xC4 Glint", L"\u4E2D\u6587 Glint"},
    {"a full-width comma between words", "\xC4\xE3\xBA\xC3\xA3\xAC\xCA\xC0\xBD\xE7", L"\u4F60\u597D\uFF0C\u4E16\u754C"},
    // U+0E01 has no GBK form: it is drawn as the narrow '?' is.
    {"a character without a GBK form", "a?b", L"a\u0E01b"},
    {"empty", "", L""},
};

}  // namespace

TEST(GlintWide, TextDrawsAndMeasuresAsItsGbkForm) {
    initgraph(200, 100);
    IMAGE narrow(160, 60), wide(160, 60);
    for (const TextCase& c : kTexts) {
        SCOPED_TRACE(c.name);
        for (IMAGE* img : {&narrow, &wide}) {
            SetWorkingImage(img);
            cleardevice();
            settextstyle(20, 0, "SimSun");
            settextcolor(RGB(255, 255, 0));
            setbkmode(OPAQUE);
            setbkcolor(RGB(0, 0, 90));
            RECT r = {4, 30, 80, 60};
            if (img == &narrow) {
                outtextxy(3, 2, c.gbk);
                drawtext(c.gbk, &r, DT_WORDBREAK);
            } else {
                outtextxy(3, 2, c.wide);
                drawtext(c.wide, &r, DT_WORDBREAK);
            }
        }
        EXPECT_EQ(Pixels(narrow), Pixels(wide));
        const std::vector<DWORD> drawn = Pixels(narrow);
        const bool inked = std::count(drawn.begin(), drawn.end(), 0xFFFF00u) > 0;
        EXPECT_EQ(inked, *c.gbk != 0) << "text in the text colour";
        SetWorkingImage(&narrow);
        EXPECT_EQ(textwidth(c.gbk), textwidth(c.wide));
        EXPECT_EQ(textheight(c.gbk), textheight(c.wide));
        if (*c.gbk) {
            EXPECT_GT(textwidth(c.wide), 0);
        }
    }
    // One character: the wide character forms.
    SetWorkingImage(&narrow);
    cleardevice();
    outtextxy(5, 5, "\xD6\xD0");
    SetWorkingImage(&wide);
    cleardevice();
    outtextxy(5, 5, L'\u4E2D');
    EXPECT_EQ(Pixels(narrow), Pixels(wide));
    EXPECT_EQ(textwidth(L'\u4E2D'), textwidth("\xD6\xD0"));
    EXPECT_EQ(textheight(L'A'), textheight('A'));
    SetWorkingImage();
    closegraph();
}

TEST(GlintWide, WideFaceNamesAndFontRecordsMatchTheNarrowOnes) {
    initgraph(100, 100);
    settextstyle(24, 0, L"\u5B8B\u4F53");  // SimSun's Chinese name
    LOGFONTW w;
    gettextstyle(&w);
    EXPECT_EQ(w.lfHeight, 24);
    EXPECT_EQ(std::wstring(w.lfFaceName), L"\u5B8B\u4F53");
    LOGFONTA a;
    gettextstyle(&a);
    EXPECT_STREQ(a.lfFaceName, "\xCB\xCE\xCC\xE5");

    // The nine- and fourteen-parameter forms set the same fields as the narrow ones.
    settextstyle(18, 7, L"Arial", 900, 900, FW_BOLD, true, true, false);
    gettextstyle(&a);
    EXPECT_EQ(a.lfHeight, 18);
    EXPECT_EQ(a.lfWidth, 7);
    EXPECT_EQ(a.lfEscapement, 900);
    EXPECT_EQ(a.lfWeight, FW_BOLD);
    EXPECT_TRUE(a.lfItalic && a.lfUnderline && !a.lfStrikeOut);
    EXPECT_STREQ(a.lfFaceName, "Arial");
    settextstyle(12, 0, static_cast<LPCWSTR>(nullptr), 0, 0, FW_NORMAL, false, false, true, GB2312_CHARSET, 0, 0, 0, 0);
    gettextstyle(&w);
    EXPECT_EQ(w.lfFaceName[0], 0) << "a null face starts from an empty name";
    EXPECT_EQ(w.lfCharSet, GB2312_CHARSET);
    EXPECT_TRUE(w.lfStrikeOut);

    // A LOGFONTW set is the LOGFONTA read, and back.
    std::memset(&w, 0, sizeof w);
    w.lfHeight = -16;
    w.lfWeight = FW_BOLD;
    std::wcscpy(w.lfFaceName, L"\u6587\u6CC9\u9A7F");
    settextstyle(&w);
    gettextstyle(&a);
    EXPECT_EQ(a.lfHeight, -16);
    EXPECT_EQ(a.lfWeight, FW_BOLD);
    LOGFONTW back;
    gettextstyle(&back);
    EXPECT_EQ(std::wstring(back.lfFaceName), L"\u6587\u6CC9\u9A7F");
    closegraph();
}

// A narrow program reads one record per byte of a double-byte character, a
// wide one reads the whole character in one record; other records are the same.
TEST(GlintWide, CharacterRecordsHoldWholeCharactersForWidePrograms) {
    HWND hwnd = initgraph(100, 100);
    Settle(hwnd);
    flushmessage();
    auto post = [&] {
        for (WPARAM b : {WPARAM('a'), WPARAM(0xD6), WPARAM(0xD0), WPARAM(0x80)}) PostMessageA(hwnd, WM_CHAR, b, 0);
        PostMessageA(hwnd, WM_KEYDOWN, VK_F2, LPARAM(0x3C) << 16);
        PostMessageA(hwnd, WM_CHAR, 'z', 0);
        Settle(hwnd);
    };
    post();
    std::vector<int> narrow;
    ExMessage n;
    while (peekmessage(&n, EX_CHAR, true)) narrow.push_back(BYTE(n.ch));
    EXPECT_EQ(narrow, (std::vector<int>{'a', 0xD6, 0xD0, 0x80, 'z'}));

    post();
    std::vector<ExMessageW> wide;
    ExMessageW w;
    while (peekmessage(&w, 0xFF, true)) wide.push_back(w);
    ASSERT_EQ(wide.size(), 5u);
    EXPECT_EQ(wide[0].ch, L'a');
    EXPECT_EQ(wide[1].ch, L'\u4E2D');
    EXPECT_EQ(wide[2].ch, L'\u20AC') << "0x80 is the euro sign in code page 936";
    EXPECT_EQ(wide[3].message, WM_KEYDOWN);
    EXPECT_EQ(wide[3].vkcode, VK_F2);
    EXPECT_EQ(wide[3].scancode, 0x3C);
    EXPECT_EQ(wide[4].ch, L'z');

    // A waiting wide reader skips the first byte and wakes for the whole character.
    PostMessageA(hwnd, WM_CHAR, 0xCE, 0);
    Settle(hwnd);
    std::thread late([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        PostMessageA(hwnd, WM_CHAR, 0xC4, 0);
    });
    getmessage(&w, EX_CHAR);
    late.join();
    EXPECT_EQ(w.message, WM_CHAR);
    EXPECT_EQ(w.ch, L'\u6587');
    closegraph();
}

TEST(GlintWide, InputBoxTakesAndGivesWideText) {
    initgraph(200, 100);
    struct Case {
        const char* name;
        int size;
        std::string typed;
        int key;
        bool result;
        std::wstring text;
    } cases[] = {
        {"typed Chinese comes back wide", 16, u8"ab\u4E2D\u6587", SDLK_RETURN, true, L"ab\u4E2D\u6587"},
        // Four wide characters of room: three bytes of GBK, so the Chinese
        // character is refused whole and 'x' still fits.
        {"the limit is size - 1 bytes of the code page", 4, u8"ab\u4E2Dx", SDLK_RETURN, true, L"abx"},
        {"Esc leaves the buffer", 16, u8"\u4E2D", SDLK_ESCAPE, false, L"untouched"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<wchar_t> buf(32, 0);
        std::wcscpy(buf.data(), L"untouched");
        bool result = !c.result;
        bool done = false;
        std::thread program([&] {
            result = InputBox(buf.data(), c.size, L"\u8F93\u5165", L"\u6807\u9898", L"\u9ED8\u8BA4", 0, 0, false);
            done = true;
        });
        HWND dlg = nullptr;
        for (int i = 0; i < 5000 && !dlg; ++i) {
            HWND h = FindWindowA(Glint::kInputBoxClass, nullptr);
            if (h && IsWindowVisible(h)) dlg = h;
            else std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        ASSERT_NE(dlg, nullptr);
        DWORD tid = GetWindowThreadProcessId(dlg, nullptr);
        headless::WaitIdle(tid, 2000);
        wchar_t title[16] = {0};
        GetWindowTextW(dlg, title, 16);
        EXPECT_EQ(std::wstring(title), L"\u6807\u9898");
        if (c.size >= 16) {
            wchar_t def[16] = {0};
            GetWindowTextW(GetDlgItem(dlg, Glint::kInputBoxEditId), def, 16);
            EXPECT_EQ(std::wstring(def), L"\u9ED8\u8BA4") << "the default text, selected";
        }
        headless::TypeString(c.typed, dlg);
        headless::WaitIdle(tid, 2000);
        headless::PressKey(c.key, 0, dlg);
        program.join();
        EXPECT_TRUE(done);
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(std::wstring(buf.data()), c.text);
    }
    closegraph();
}

TEST(GlintWide, PicturesSaveAndLoadUnderWideNames) {
    initgraph(64, 48);
    IMAGE src(30, 20);
    SetWorkingImage(&src);
    setbkcolor(RGB(10, 200, 30));
    cleardevice();
    setfillcolor(RGB(250, 5, 60));
    solidrectangle(3, 4, 20, 15);
    SetWorkingImage();
    const std::vector<DWORD> want = Pixels(src);

    char dir[] = "/tmp/glint_wide_XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::wstring wdir(dir, dir + std::strlen(dir));
    // Chinese, and U+0E01, which has no GBK form: only a wide name can say it.
    for (const wchar_t* stem : {L"/\u56FE\u7247.png", L"/\u0E01\u5716.bmp"}) {
        const std::wstring name = wdir + stem;
        SCOPED_TRACE(std::string(dir) + " + a wide name");
        saveimage(name.c_str(), &src);
        std::string utf8;
        for (wchar_t c : name) {
            char b[8];
            int n = WideCharToMultiByte(CP_UTF8, 0, &c, 1, b, sizeof b, nullptr, nullptr);
            utf8.append(b, size_t(n));
        }
        FILE* f = std::fopen(utf8.c_str(), "rb");
        ASSERT_NE(f, nullptr) << "the file has the UTF-8 form of its wide name";
        std::fclose(f);
        IMAGE got;
        ASSERT_TRUE(loadimage(&got, name.c_str(), 0, 0, false));
        EXPECT_EQ(Pixels(got), want);
        std::remove(utf8.c_str());
    }
    IMAGE none;
    EXPECT_FALSE(loadimage(&none, (wdir + L"/\u65E0.png").c_str(), 0, 0, false));
    rmdir(dir);
    closegraph();
}
