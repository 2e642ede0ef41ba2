// console_output.cpp — GetStdHandle and the console's output calls: colours,
// the cursor's place and look, the title, fills, WriteConsole and the code
// pages.
//
// The console's screen is the terminal the program runs in, so each call
// becomes an ANSI escape sequence on it. A standard handle whose stream is a
// file or a pipe is not a console: the calls fail with ERROR_INVALID_HANDLE
// and write nothing, as Windows does for a redirected stream, so the
// program's output stays clean. Sequences for standard output and error go
// through the C library's streams (in order with printf) and are flushed at
// once (in order with WriteFile). The terminal cannot report where printf
// left its cursor without reading its input, so the screen buffer info gives
// the place the program last set. At exit, colours and a hidden cursor are
// put back so the terminal is left as the program found it.
//
// Locks: one mutex around the console's state (attribute, cursor, code pages).
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

#include "codepage.h"
#include "kernel/kernel_internal.h"
#include "windows.h"

namespace {

struct ConsoleState {
    std::mutex mu;
    WORD attributes = FOREGROUND_RED | FOREGROUND_GREEN | FOREGROUND_BLUE;
    COORD cursor = {0, 0};
    CONSOLE_CURSOR_INFO cursor_info = {25, TRUE};
    UINT output_cp = 936;
    UINT input_cp = 936;
    bool touched = false;  // colours or the cursor's look changed: reset at exit
};

ConsoleState& state() {
    static ConsoleState* s = new ConsoleState;  // used by atexit handlers
    return *s;
}

// An output stream of the console: the descriptor, and the C stream over it.
struct Target {
    int fd = -1;
    FILE* stream = nullptr;
};

// The terminal behind a handle, or false (ERROR_INVALID_HANDLE set).
bool console_target(HANDLE h, Target* out) {
    int fd = -1;
    auto keep = plat::kernel::file_descriptor(h, &fd);
    if (!keep || fd == STDIN_FILENO || !isatty(fd)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    out->fd = fd;
    out->stream = fd == STDOUT_FILENO ? stdout : fd == STDERR_FILENO ? stderr : nullptr;
    return true;
}

void emit(const Target& t, const std::string& bytes) {
    if (t.stream) {
        std::fwrite(bytes.data(), 1, bytes.size(), t.stream);
        std::fflush(t.stream);
        return;
    }
    std::fflush(stdout);
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t k = ::write(t.fd, bytes.data() + done, bytes.size() - done);
        if (k <= 0) break;
        done += size_t(k);
    }
}

// The terminal's size in cells; 80 x 25 when it does not say.
COORD screen_size(int fd) {
    struct winsize ws = {};
    if (ioctl(fd, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 0 && ws.ws_row > 0)
        return COORD{SHORT(ws.ws_col > 0x7FFF ? 0x7FFF : ws.ws_col), SHORT(ws.ws_row > 0x7FFF ? 0x7FFF : ws.ws_row)};
    return COORD{80, 25};
}

// ANSI numbers its colours red = 1, green = 2, blue = 4; Windows blue = 1, red = 4.
int ansi_colour(WORD four_bits) { return (four_bits & 4 ? 1 : 0) | (four_bits & 2) | (four_bits & 1 ? 4 : 0); }

// SGR for an attribute. The console's default (light grey on black) is the
// terminal's own default, so a program that restores it leaves the
// terminal's colours, whatever its theme.
std::string sgr(WORD a) {
    const WORD colours = a & 0xFF;
    std::string s = "\x1b[0";
    if (colours != (FOREGROUND_RED | FOREGROUND_GREEN | FOREGROUND_BLUE)) {
        const int fg = ansi_colour(a & 7), bg = ansi_colour((a >> 4) & 7);
        s += ";" + std::to_string((a & FOREGROUND_INTENSITY ? 90 : 30) + fg);
        s += ";" + std::to_string((a & BACKGROUND_INTENSITY ? 100 : 40) + bg);
    }
    if (a & COMMON_LVB_UNDERSCORE) s += ";4";
    if (a & COMMON_LVB_REVERSE_VIDEO) s += ";7";
    return s + "m";
}

std::string move_to(COORD c) { return "\x1b[" + std::to_string(c.Y + 1) + ";" + std::to_string(c.X + 1) + "H"; }

void reset_at_exit() {
    ConsoleState& s = state();
    std::lock_guard<std::mutex> lock(s.mu);
    if (!s.touched) return;
    for (int fd : {STDOUT_FILENO, STDERR_FILENO}) {
        if (!isatty(fd)) continue;
        Target t{fd, fd == STDOUT_FILENO ? stdout : stderr};
        emit(t, "\x1b[0m\x1b[?25h");
        return;
    }
}

void mark_touched(ConsoleState& s) {
    if (s.touched) return;
    s.touched = true;
    std::atexit(reset_at_exit);
}

// The count of cells from `at` to the end of the screen buffer, or -1 when `at` lies outside it.
long cells_from(COORD at, COORD size) {
    if (at.X < 0 || at.Y < 0 || at.X >= size.X || at.Y >= size.Y) return -1;
    return long(size.X) * size.Y - (long(at.Y) * size.X + at.X);
}

// Writes `n` copies of a character (its UTF-8 bytes) from `at` on, wrapping at
// the right edge, and puts the cursor back. A fill of blanks over the whole
// screen is a clear (in the current background colour).
BOOL fill_cells(HANDLE h, const std::string& cell, bool blank, DWORD n, COORD at, LPDWORD written) {
    if (written) *written = 0;
    Target t;
    if (!console_target(h, &t)) return FALSE;
    const COORD size = screen_size(t.fd);
    const long room = cells_from(at, size);
    if (room < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const DWORD count = DWORD(n < DWORD(room) ? n : DWORD(room));
    ConsoleState& s = state();
    std::lock_guard<std::mutex> lock(s.mu);
    std::string out = "\x1b" "7";  // save the cursor
    if (blank && at.X == 0 && at.Y == 0 && long(count) == room) {
        out += "\x1b[2J";
    } else {
        // Row by row, so that the last cell never makes the terminal scroll.
        long left = count;
        COORD c = at;
        while (left > 0) {
            const long run = std::min<long>(left, size.X - c.X);
            out += move_to(c);
            for (long i = 0; i < run; ++i) out += cell;
            left -= run;
            c.X = 0;
            ++c.Y;
        }
    }
    out += "\x1b" "8";  // and put it back
    emit(t, out);
    if (written) *written = count;
    return TRUE;
}

}  // namespace

HANDLE WINAPI GetStdHandle(DWORD nStdHandle) {
    static HANDLE handles[3] = {plat::kernel::add_stream_handle(STDIN_FILENO),
                                plat::kernel::add_stream_handle(STDOUT_FILENO),
                                plat::kernel::add_stream_handle(STDERR_FILENO)};
    switch (nStdHandle) {
        case STD_INPUT_HANDLE: return handles[0];
        case STD_OUTPUT_HANDLE: return handles[1];
        case STD_ERROR_HANDLE: return handles[2];
        default: SetLastError(ERROR_INVALID_HANDLE); return INVALID_HANDLE_VALUE;
    }
}

BOOL WINAPI SetConsoleTextAttribute(HANDLE hConsoleOutput, WORD wAttributes) {
    Target t;
    if (!console_target(hConsoleOutput, &t)) return FALSE;
    ConsoleState& s = state();
    std::lock_guard<std::mutex> lock(s.mu);
    s.attributes = wAttributes;
    mark_touched(s);
    emit(t, sgr(wAttributes));
    return TRUE;
}

BOOL WINAPI SetConsoleCursorPosition(HANDLE hConsoleOutput, COORD dwCursorPosition) {
    Target t;
    if (!console_target(hConsoleOutput, &t)) return FALSE;
    if (cells_from(dwCursorPosition, screen_size(t.fd)) < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    ConsoleState& s = state();
    std::lock_guard<std::mutex> lock(s.mu);
    s.cursor = dwCursorPosition;
    emit(t, move_to(dwCursorPosition));
    return TRUE;
}

BOOL WINAPI GetConsoleScreenBufferInfo(HANDLE hConsoleOutput, PCONSOLE_SCREEN_BUFFER_INFO info) {
    Target t;
    if (!info) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const bool ok = console_target(hConsoleOutput, &t);
    // Filled also on failure: code that ignores the result then clears an
    // 80 x 25 screen rather than a size read from uninitialised memory.
    const COORD size = ok ? screen_size(t.fd) : COORD{80, 25};
    ConsoleState& s = state();
    std::lock_guard<std::mutex> lock(s.mu);
    info->dwSize = size;
    info->dwCursorPosition = s.cursor;
    info->wAttributes = s.attributes;
    info->srWindow = SMALL_RECT{0, 0, SHORT(size.X - 1), SHORT(size.Y - 1)};
    info->dwMaximumWindowSize = size;
    return ok ? TRUE : FALSE;
}

BOOL WINAPI GetConsoleCursorInfo(HANDLE hConsoleOutput, PCONSOLE_CURSOR_INFO info) {
    Target t;
    if (!console_target(hConsoleOutput, &t)) return FALSE;
    if (!info) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    ConsoleState& s = state();
    std::lock_guard<std::mutex> lock(s.mu);
    *info = s.cursor_info;
    return TRUE;
}

BOOL WINAPI SetConsoleCursorInfo(HANDLE hConsoleOutput, const CONSOLE_CURSOR_INFO* info) {
    Target t;
    if (!console_target(hConsoleOutput, &t)) return FALSE;
    if (!info || info->dwSize < 1 || info->dwSize > 100) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    ConsoleState& s = state();
    std::lock_guard<std::mutex> lock(s.mu);
    s.cursor_info = *info;
    mark_touched(s);
    emit(t, info->bVisible ? "\x1b[?25h" : "\x1b[?25l");
    return TRUE;
}

BOOL WINAPI FillConsoleOutputCharacterA(HANDLE h, CHAR c, DWORD n, COORD at, LPDWORD written) {
    // A byte above 0x7F is half of a double-byte character, which one cell cannot hold.
    const std::string cell = (unsigned char)c < 0x80 ? std::string(1, c) : std::string("?");
    return fill_cells(h, cell, c == ' ', n, at, written);
}

BOOL WINAPI FillConsoleOutputCharacterW(HANDLE h, WCHAR c, DWORD n, COORD at, LPDWORD written) {
    std::string cell;
    plat::codepage::append_utf8(cell, char32_t(c));
    return fill_cells(h, cell, c == L' ', n, at, written);
}

// A terminal cannot recolour cells in place; the attribute is checked and
// counted, and the cells keep the colours they were written in (a fill of
// blanks already clears in the current background colour).
BOOL WINAPI FillConsoleOutputAttribute(HANDLE h, WORD, DWORD n, COORD at, LPDWORD written) {
    if (written) *written = 0;
    Target t;
    if (!console_target(h, &t)) return FALSE;
    const long room = cells_from(at, screen_size(t.fd));
    if (room < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (written) *written = n < DWORD(room) ? n : DWORD(room);
    return TRUE;
}

// WriteConsoleA/W: the checks both share, then the text as UTF-8 from `to_utf8`.
template <class ToUtf8>
static BOOL write_console(HANDLE h, const VOID* buffer, DWORD n, LPDWORD written, ToUtf8 to_utf8) {
    if (written) *written = 0;
    Target t;
    if (!console_target(h, &t)) return FALSE;
    if (!buffer && n) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (n) emit(t, to_utf8());
    if (written) *written = n;
    return TRUE;
}

BOOL WINAPI WriteConsoleA(HANDLE h, const VOID* buffer, DWORD n, LPDWORD written, LPVOID) {
    return write_console(h, buffer, n, written, [&] {
        const char* bytes = static_cast<const char*>(buffer);
        return GetConsoleOutputCP() == CP_UTF8 ? std::string(bytes, n) : plat::codepage::cp936_to_utf8(bytes, int(n));
    });
}

// UTF-16 in: a surrogate pair is one character; a lone surrogate becomes U+FFFD.
BOOL WINAPI WriteConsoleW(HANDLE h, const VOID* buffer, DWORD n, LPDWORD written, LPVOID) {
    return write_console(h, buffer, n, written, [&] {
        const WCHAR* chars = static_cast<const WCHAR*>(buffer);
        std::string out;
        for (DWORD i = 0; i < n; ++i) {
            char32_t c = chars[i];
            if (c >= 0xD800 && c < 0xDC00 && i + 1 < n && chars[i + 1] >= 0xDC00 && chars[i + 1] < 0xE000)
                c = 0x10000 + ((c - 0xD800) << 10) + (char32_t(chars[++i]) - 0xDC00);
            else if (c >= 0xD800 && c < 0xE000)
                c = 0xFFFD;
            plat::codepage::append_utf8(out, c);
        }
        return out;
    });
}

// The title goes to the terminal's window (OSC 0) when standard output is one.
BOOL WINAPI SetConsoleTitleA(LPCSTR lpConsoleTitle) {
    if (!lpConsoleTitle) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::string title = plat::codepage::cp936_to_utf8(lpConsoleTitle, -1);
    for (char& ch : title)
        if ((unsigned char)ch < 0x20 || ch == 0x7F) ch = ' ';  // no control bytes inside the sequence
    if (isatty(STDOUT_FILENO)) emit(Target{STDOUT_FILENO, stdout}, "\x1b]0;" + title + "\x07");
    return TRUE;
}

BOOL WINAPI SetConsoleTitleW(LPCWSTR lpConsoleTitle) {
    if (!lpConsoleTitle) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return SetConsoleTitleA(plat::codepage::narrow_of(lpConsoleTitle, -1).c_str());
}

namespace {
BOOL set_cp(UINT cp, UINT ConsoleState::*which) {
    if (cp != 936 && cp != CP_UTF8) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    ConsoleState& s = state();
    std::lock_guard<std::mutex> lock(s.mu);
    s.*which = cp;
    return TRUE;
}
}  // namespace

BOOL WINAPI SetConsoleOutputCP(UINT wCodePageID) { return set_cp(wCodePageID, &ConsoleState::output_cp); }
BOOL WINAPI SetConsoleCP(UINT wCodePageID) { return set_cp(wCodePageID, &ConsoleState::input_cp); }
UINT WINAPI GetConsoleOutputCP(void) {
    std::lock_guard<std::mutex> lock(state().mu);
    return state().output_cp;
}
UINT WINAPI GetConsoleCP(void) {
    std::lock_guard<std::mutex> lock(state().mu);
    return state().input_cp;
}
