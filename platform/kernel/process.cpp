// Process-level services: exit, debug output and MulDiv (the console calls
// are in console.cpp).
#include <signal.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <iostream>

#include "console.h"
#include "winbase.h"

DWORD WINAPI GetCurrentProcessId(void) { return DWORD(getpid()); }

// Flushes standard I/O and ends the process at once: static destructors do
// not run, so another thread still drawing cannot trip over torn-down state.
void WINAPI ExitProcess(UINT uExitCode) {
    plat::console::restore_terminal();
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
