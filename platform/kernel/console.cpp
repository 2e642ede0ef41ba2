// console.cpp — the console calls: GetConsoleWindow, AllocConsole,
// FreeConsole, SetConsoleCtrlHandler.
//
// Every program here starts as a Windows console program does: with a
// console, whose window USER keeps off the screen (console_window.cpp) and
// whose keys come from that window and from the terminal the program was
// started from. The standard streams stay wherever they are (a terminal or a
// file). AllocConsole fails as it does on Windows for a process that has a
// console; a process that freed its console cannot get a new one either (it
// cannot be given another terminal), so it fails then too and callers carry on
// without a console.
#include <signal.h>

#include "console.h"
#include "winbase.h"

HWND WINAPI GetConsoleWindow(void) { return plat::console::window(); }

BOOL WINAPI AllocConsole(void) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

BOOL WINAPI FreeConsole(void) {
    plat::console::detach();
    return TRUE;
}

// (NULL, TRUE) makes the process ignore Ctrl+C (SIGINT), (NULL, FALSE)
// restores the default. Handler routines are accepted but never called.
BOOL WINAPI SetConsoleCtrlHandler(PHANDLER_ROUTINE HandlerRoutine, BOOL Add) {
    if (!HandlerRoutine) signal(SIGINT, Add ? SIG_IGN : SIG_DFL);
    return TRUE;
}
