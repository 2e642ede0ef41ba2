// conio.h — console keys and characters of the Microsoft C runtime.
//
// Keys come from the process's console: the keys of the graphics window
// (which the graphics layer forwards to the console window) and the terminal
// the program was started from. A key that types a character gives that
// character (Enter 13, Esc 27, Backspace 8, Ctrl+A 1, ...); a key that types
// none gives two codes: 0xE0 for the grey keys (arrows, Home, End, Page Up,
// Page Down, Insert, Delete, and F11/F12) or 0 for the function keys and the
// keypad with Num Lock off, then the key's code (Up 72, Left 75, Right 77,
// Down 80, F1 59, ...), which changes with Shift, Ctrl and Alt.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

int _getch(void);         // waits for a key; no echo
int _getche(void);        // the same, echoing a character key
int _kbhit(void);         // nonzero if a key is waiting; takes nothing
int _putch(int c);        // writes one character to the console
int _ungetch(int c);      // the next _getch returns c; EOF if one is pushed back already
int _cputs(const char* s);
int _cprintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
int _getch_nolock(void);
int _getche_nolock(void);
int _putch_nolock(int c);
int _ungetch_nolock(int c);

// The old names.
int getch(void);
int getche(void);
int kbhit(void);
int putch(int c);
int ungetch(int c);
int cputs(const char* s);
int cprintf(const char* format, ...) __attribute__((format(printf, 1, 2)));

#ifdef __cplusplus
}
#endif
