// Process-level services: exit, debug output, the console calls and MulDiv.
//
// Linux has no console window: GetConsoleWindow returns NULL, so callers
// treat the program as one without a console. The process's standard streams
// stay wherever they are (a terminal or a file); AllocConsole therefore fails
// as it does on Windows for a process that already has a console, and
// FreeConsole succeeds without doing anything.
#include <signal.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <iostream>

#include "winbase.h"

DWORD WINAPI GetCurrentProcessId(void) { return DWORD(getpid()); }

// Flushes standard I/O and ends the process at once: static destructors do
// not run, so another thread still drawing cannot trip over torn-down state.
void WINAPI ExitProcess(UINT uExitCode) {
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    _exit(int(uExitCode));
}

void WINAPI OutputDebugStringA(LPCSTR lpOutputString) {
    if (!lpOutputString) return;
    std::fputs(lpOutputString, stderr);
    std::fflush(stderr);
}

HWND WINAPI GetConsoleWindow(void) { return nullptr; }

BOOL WINAPI AllocConsole(void) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

BOOL WINAPI FreeConsole(void) { return TRUE; }

// (NULL, TRUE) makes the process ignore Ctrl+C (SIGINT), (NULL, FALSE)
// restores the default. Handler routines are accepted but never called:
// there is no console to deliver control events.
BOOL WINAPI SetConsoleCtrlHandler(PHANDLER_ROUTINE HandlerRoutine, BOOL Add) {
    if (!HandlerRoutine) signal(SIGINT, Add ? SIG_IGN : SIG_DFL);
    return TRUE;
}

// nNumber * nNumerator / nDenominator with a 64-bit intermediate, rounded
// half away from zero; -1 on division by zero or overflow, as on Windows.
int WINAPI MulDiv(int nNumber, int nNumerator, int nDenominator) {
    if (nDenominator == 0) return -1;
    long long p = (long long)nNumber * nNumerator;
    long long d = nDenominator;
    bool negative = (p < 0) != (d < 0);
    unsigned long long ap = p < 0 ? 0ull - (unsigned long long)p : (unsigned long long)p;
    unsigned long long ad = d < 0 ? 0ull - (unsigned long long)d : (unsigned long long)d;
    unsigned long long q = (ap + ad / 2) / ad;
    if (q > (unsigned long long)INT_MAX + (negative ? 1 : 0)) return -1;
    return negative ? int(-(long long)q) : int(q);
}
