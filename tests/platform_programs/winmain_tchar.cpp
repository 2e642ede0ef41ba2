// A learner's Windows program with no main: the entry is _tWinMain (WinMain
// in a narrow build, wWinMain with _UNICODE), using only <windows.h> and
// <tchar.h> for the C runtime's Windows names. It prints its command line and
// show command and a few generic-text results; the test compares the output.
#include <windows.h>
#include <tchar.h>

int WINAPI _tWinMain(HINSTANCE hInstance, HINSTANCE hPrev, _TCHAR* lpCmdLine, int nCmdShow) {
    _TCHAR buf[32];
    ZeroMemory(buf, sizeof buf);
    _tcscpy_s(buf, _T("score"));
    _TCHAR line[64];
    _stprintf_s(line, _T("%s=%d"), buf, abs(-42));
    SYSTEMTIME st;
    GetLocalTime(&st);
#ifdef _UNICODE
    printf("wide cmdline=[%ls] show=%d %ls len=%d countof=%d year-ok=%d inst=%d prev=%d\n", lpCmdLine, nCmdShow, line,
           int(_tcslen(line)), int(_countof(buf)), st.wYear >= 2024, hInstance != NULL, hPrev == NULL);
#else
    printf("narrow cmdline=[%s] show=%d %s len=%d countof=%d year-ok=%d inst=%d prev=%d\n", lpCmdLine, nCmdShow, line,
           int(_tcslen(line)), int(_countof(buf)), st.wYear >= 2024, hInstance != NULL, hPrev == NULL);
#endif
    return 0;
}
