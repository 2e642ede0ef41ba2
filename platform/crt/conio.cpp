// conio.cpp — _getch, _getche, _kbhit, _ungetch, _putch, _cputs, _cprintf and
// their old names, over the console input buffer.
//
// _getch takes key events from the buffer, skipping key releases and keys
// that give nothing (Shift, Ctrl, Alt alone), and blocks without spinning
// until a key comes. A key with a character gives it; one without gives a lead
// byte (0xE0 for the grey keys, 0 otherwise) now and its code at the next
// call. The codes are those of the PC BIOS that the Windows C runtime keeps,
// by scan code, in four columns: plain, Shift, Ctrl, Alt.
//
// Locks: one mutex for the pushed-back character (a key's second code or
// _ungetch's), held while a call takes its key.
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#include "conio.h"
#include "console.h"

namespace {

std::recursive_mutex g_mu;
int g_pushed = EOF;  // the next _getch's result, EOF if none

struct Pair {
    unsigned char lead, code;  // lead 0 / 0xE0 with a code; lead 0 and code 0: no key
};
struct Row {
    unsigned char scan;
    Pair plain, shift, ctrl, alt;
};

// Keys that type no character and are not grey keys: the function keys, and
// the keypad's movement keys with Num Lock off (Shift gives their digit, which
// the console reports as a character).
const Row kNormalKeys[] = {
    {0x03, {0, 0}, {0, 0}, {0, 3}, {0, 0}},  // Ctrl+2: NUL
    {0x0F, {0, 0}, {0, 15}, {0, 148}, {0, 0}},  // Tab with Shift or Ctrl
    {0x3B, {0, 59}, {0, 84}, {0, 94}, {0, 104}},  // F1
    {0x3C, {0, 60}, {0, 85}, {0, 95}, {0, 105}},
    {0x3D, {0, 61}, {0, 86}, {0, 96}, {0, 106}},
    {0x3E, {0, 62}, {0, 87}, {0, 97}, {0, 107}},
    {0x3F, {0, 63}, {0, 88}, {0, 98}, {0, 108}},
    {0x40, {0, 64}, {0, 89}, {0, 99}, {0, 109}},
    {0x41, {0, 65}, {0, 90}, {0, 100}, {0, 110}},
    {0x42, {0, 66}, {0, 91}, {0, 101}, {0, 111}},
    {0x43, {0, 67}, {0, 92}, {0, 102}, {0, 112}},
    {0x44, {0, 68}, {0, 93}, {0, 103}, {0, 113}},  // F10
    {0x47, {0, 71}, {0, 0}, {0, 119}, {0, 0}},  // keypad Home
    {0x48, {0, 72}, {0, 0}, {0, 141}, {0, 0}},  // keypad Up
    {0x49, {0, 73}, {0, 0}, {0, 132}, {0, 0}},  // keypad Page Up
    {0x4B, {0, 75}, {0, 0}, {0, 115}, {0, 0}},  // keypad Left
    {0x4C, {0, 0}, {0, 0}, {0, 143}, {0, 0}},   // keypad 5
    {0x4D, {0, 77}, {0, 0}, {0, 116}, {0, 0}},  // keypad Right
    {0x4F, {0, 79}, {0, 0}, {0, 117}, {0, 0}},  // keypad End
    {0x50, {0, 80}, {0, 0}, {0, 145}, {0, 0}},  // keypad Down
    {0x51, {0, 81}, {0, 0}, {0, 118}, {0, 0}},  // keypad Page Down
    {0x52, {0, 82}, {0, 0}, {0, 146}, {0, 0}},  // keypad Insert
    {0x53, {0, 83}, {0, 0}, {0, 147}, {0, 0}},  // keypad Delete
    {0x57, {0xE0, 133}, {0xE0, 135}, {0xE0, 137}, {0xE0, 139}},  // F11
    {0x58, {0xE0, 134}, {0xE0, 136}, {0xE0, 138}, {0xE0, 140}},  // F12
};

// The grey keys (extended, E0-prefixed scan codes). With Alt they lead with 0.
const Row kEnhancedKeys[] = {
    {0x35, {0, 0}, {0, 0}, {0, 149}, {0, 164}},  // keypad / (types '/' without Ctrl or Alt)
    {0x1C, {0, 0}, {0, 0}, {0, 0}, {0, 166}},    // keypad Enter (types 13 or 10 otherwise)
    {0x47, {0xE0, 71}, {0xE0, 71}, {0xE0, 119}, {0, 151}},  // Home
    {0x48, {0xE0, 72}, {0xE0, 72}, {0xE0, 141}, {0, 152}},  // Up
    {0x49, {0xE0, 73}, {0xE0, 73}, {0xE0, 132}, {0, 153}},  // Page Up
    {0x4B, {0xE0, 75}, {0xE0, 75}, {0xE0, 115}, {0, 155}},  // Left
    {0x4D, {0xE0, 77}, {0xE0, 77}, {0xE0, 116}, {0, 157}},  // Right
    {0x4F, {0xE0, 79}, {0xE0, 79}, {0xE0, 117}, {0, 159}},  // End
    {0x50, {0xE0, 80}, {0xE0, 80}, {0xE0, 145}, {0, 160}},  // Down
    {0x51, {0xE0, 81}, {0xE0, 81}, {0xE0, 118}, {0, 161}},  // Page Down
    {0x52, {0xE0, 82}, {0xE0, 82}, {0xE0, 146}, {0, 162}},  // Insert
    {0x53, {0xE0, 83}, {0xE0, 83}, {0xE0, 147}, {0, 163}},  // Delete
};

// The lead byte and code of a key that types no character, or false.
bool extended_code(const KEY_EVENT_RECORD& k, Pair* out) {
    const bool enhanced = (k.dwControlKeyState & ENHANCED_KEY) != 0;
    const Row* rows = enhanced ? kEnhancedKeys : kNormalKeys;
    const size_t n = enhanced ? sizeof kEnhancedKeys / sizeof *rows : sizeof kNormalKeys / sizeof *rows;
    for (size_t i = 0; i < n; ++i) {
        if (rows[i].scan != k.wVirtualScanCode) continue;
        const DWORD s = k.dwControlKeyState;
        const Pair& p = (s & (LEFT_ALT_PRESSED | RIGHT_ALT_PRESSED))     ? rows[i].alt
                        : (s & (LEFT_CTRL_PRESSED | RIGHT_CTRL_PRESSED)) ? rows[i].ctrl
                        : (s & SHIFT_PRESSED)                            ? rows[i].shift
                                                                         : rows[i].plain;
        if (p.code == 0) return false;
        *out = p;
        return true;
    }
    return false;
}

bool gives_key(const KEY_EVENT_RECORD& k) {
    if (!k.bKeyDown) return false;
    if (k.uChar.AsciiChar) return true;
    Pair p;
    return extended_code(k, &p);
}

int getch_locked() {
    if (g_pushed != EOF) {
        int c = g_pushed;
        g_pushed = EOF;
        return c;
    }
    plat::console::window();  // the console exists from the first key read
    KEY_EVENT_RECORD k;
    while (plat::console::read_key(&k, true)) {
        if (!k.bKeyDown) continue;
        if (k.uChar.AsciiChar) return (unsigned char)k.uChar.AsciiChar;
        Pair p;
        if (!extended_code(k, &p)) continue;
        g_pushed = p.code;
        return p.lead;
    }
    return EOF;  // no console and no terminal: no key can ever come
}

void write_console(const char* s, size_t n) {
    std::fflush(stdout);  // what the program printed before comes first
    while (n > 0) {
        ssize_t w = write(STDOUT_FILENO, s, n);
        if (w <= 0) return;
        s += w;
        n -= size_t(w);
    }
}

}  // namespace

extern "C" {

int _getch_nolock(void) { return getch_locked(); }

int _getch(void) {
    std::lock_guard<std::recursive_mutex> lock(g_mu);
    return getch_locked();
}

int _getche_nolock(void) {
    // A pushed-back code (a key's second code, or _ungetch's) was seen or
    // put there already, and a key without a character has nothing to echo.
    if (g_pushed != EOF) return getch_locked();
    int c = getch_locked();
    if (c != EOF && g_pushed == EOF) _putch_nolock(c);
    return c;
}

int _getche(void) {
    std::lock_guard<std::recursive_mutex> lock(g_mu);
    return _getche_nolock();
}

int _kbhit(void) {
    std::lock_guard<std::recursive_mutex> lock(g_mu);
    if (g_pushed != EOF) return 1;
    plat::console::window();
    return plat::console::any_key(gives_key) ? 1 : 0;
}

int _ungetch_nolock(int c) {
    if (c == EOF || g_pushed != EOF) return EOF;
    g_pushed = c & 0xFF;
    return g_pushed;
}

int _ungetch(int c) {
    std::lock_guard<std::recursive_mutex> lock(g_mu);
    return _ungetch_nolock(c);
}

int _putch_nolock(int c) {
    char b = char(c);
    write_console(&b, 1);
    return c & 0xFF;
}

int _putch(int c) { return _putch_nolock(c); }

int _cputs(const char* s) {
    if (!s) return -1;
    write_console(s, std::strlen(s));
    return 0;
}

int _cprintf(const char* format, ...) {
    va_list ap;
    va_start(ap, format);
    va_list copy;
    va_copy(copy, ap);
    int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (n >= 0) {
        std::string out(size_t(n) + 1, '\0');
        std::vsnprintf(&out[0], out.size(), format, ap);
        write_console(out.data(), size_t(n));
    }
    va_end(ap);
    return n;
}

int getch(void) { return _getch(); }
int getche(void) { return _getche(); }
int kbhit(void) { return _kbhit(); }
int putch(int c) { return _putch(c); }
int ungetch(int c) { return _ungetch(c); }
int cputs(const char* s) { return _cputs(s); }
int cprintf(const char* format, ...) {
    va_list ap;
    va_start(ap, format);
    char* text = nullptr;
    int n = vasprintf(&text, format, ap);
    va_end(ap);
    if (n >= 0) write_console(text, size_t(n));
    std::free(text);
    return n;
}

}  // extern "C"
