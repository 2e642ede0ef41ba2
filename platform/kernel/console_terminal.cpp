// console_terminal.cpp — the terminal the program was started from, as a
// source of console keys: raw mode, and the bytes a terminal sends turned
// into the key events a Windows console would hold.
//
// Standard input is read only when it is a terminal and this process may read
// it without being stopped (it is in the terminal's foreground process group,
// or the terminal is not its controlling one); a program run with its input
// redirected, or in the background, reads keys from the console window only.
// Raw mode (no line editing, no echo, Enter as CR, Ctrl+S/Ctrl+Q as keys;
// Ctrl+C still interrupts) starts with the first read and lasts until the
// process ends: switching back between reads would echo the keys typed in
// between and hold them until Enter. The terminal is restored at exit, by
// ExitProcess and on the signals that end a process by default.
//
// Locks: one mutex around the mode switch and the bytes not yet parsed.
#include <poll.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#include "codepage.h"
#include "console.h"
#include "winuser.h"

namespace plat::console {
namespace {

std::mutex g_mu;
struct termios g_saved;
volatile sig_atomic_t g_raw_fd = -1;  // the descriptor in raw mode, -1 if none
std::string g_pending;                 // bytes of an escape sequence not yet complete
bool g_gone = false;                   // the terminal hung up: it gives no more keys

// How long the rest of an escape sequence may take to arrive after its ESC
// before the ESC counts as the Esc key on its own.
constexpr int kEscapeWaitMs = 30;

void restore_now() {
    int fd = g_raw_fd;
    if (fd >= 0) {
        tcsetattr(fd, TCSANOW, &g_saved);
        g_raw_fd = -1;
    }
}

void on_fatal_signal(int sig) {
    restore_now();
    signal(sig, SIG_DFL);
    raise(sig);
}

void install_restore_handlers() {
    std::atexit(restore_now);
    for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGABRT}) {
        struct sigaction old;
        if (sigaction(sig, nullptr, &old) == 0 && old.sa_handler == SIG_DFL && !(old.sa_flags & SA_SIGINFO)) {
            struct sigaction sa;
            std::memset(&sa, 0, sizeof sa);
            sa.sa_handler = on_fatal_signal;
            sigemptyset(&sa.sa_mask);
            sigaction(sig, &sa, nullptr);
        }
    }
}

bool may_read(int fd) {
    if (!isatty(fd)) return false;
    pid_t fg = tcgetpgrp(fd);
    return fg < 0 || fg == getpgrp();  // not our controlling terminal: no job control applies
}

// Scan codes of the keys a terminal can name (set 1, as the console reports them).
struct Named {
    WORD vk, scan;
    bool enhanced;
};
constexpr Named kUp{VK_UP, 0x48, true}, kDown{VK_DOWN, 0x50, true}, kRight{VK_RIGHT, 0x4D, true},
    kLeft{VK_LEFT, 0x4B, true}, kHome{VK_HOME, 0x47, true}, kEnd{VK_END, 0x4F, true}, kInsert{VK_INSERT, 0x52, true},
    kDelete{VK_DELETE, 0x53, true}, kPrior{VK_PRIOR, 0x49, true}, kNext{VK_NEXT, 0x51, true};
constexpr WORD kFunctionScan[12] = {0x3B, 0x3C, 0x3D, 0x3E, 0x3F, 0x40, 0x41, 0x42, 0x43, 0x44, 0x57, 0x58};

KEY_EVENT_RECORD key_down(WORD vk, WORD scan, unsigned char ch, DWORD state) {
    KEY_EVENT_RECORD k;
    std::memset(&k, 0, sizeof k);
    k.bKeyDown = TRUE;
    k.wRepeatCount = 1;
    k.wVirtualKeyCode = vk;
    k.wVirtualScanCode = scan;
    k.uChar.AsciiChar = CHAR(ch);
    k.dwControlKeyState = state;
    return k;
}

// xterm's modifier parameter (1 + shift 1, alt 2, ctrl 4) as control-key flags.
DWORD modifier_state(int m) {
    DWORD s = 0;
    if (m > 1) {
        if ((m - 1) & 1) s |= SHIFT_PRESSED;
        if ((m - 1) & 2) s |= LEFT_ALT_PRESSED;
        if ((m - 1) & 4) s |= LEFT_CTRL_PRESSED;
    }
    return s;
}

KEY_EVENT_RECORD named(const Named& n, DWORD state) {
    return key_down(n.vk, n.scan, 0, state | (n.enhanced ? ENHANCED_KEY : 0));
}
KEY_EVENT_RECORD function_key(int i, DWORD state) { return key_down(WORD(VK_F1 + i), kFunctionScan[i], 0, state); }

// One byte that is not part of an escape sequence.
KEY_EVENT_RECORD plain_byte(unsigned char c, DWORD state) {
    switch (c) {
        case '\r': return key_down(VK_RETURN, 0x1C, 13, state);
        case '\n': return key_down(VK_RETURN, 0x1C, 10, state | LEFT_CTRL_PRESSED);
        case '\t': return key_down(VK_TAB, 0x0F, 9, state);
        case 0x7F:
        case 0x08: return key_down(VK_BACK, 0x0E, 8, state);
        case 0x1B: return key_down(VK_ESCAPE, 0x01, 27, state);
        case 0: return key_down('2', 0x03, 0, state | LEFT_CTRL_PRESSED);
        default: break;
    }
    if (c < 0x20) return key_down(WORD('A' + c - 1), 0, c, state | LEFT_CTRL_PRESSED);
    WORD vk = 0;
    if (c >= 'a' && c <= 'z') vk = WORD(c - 'a' + 'A');
    else if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ') vk = c;
    if (c >= 'A' && c <= 'Z') state |= SHIFT_PRESSED;
    return key_down(vk, 0, c, state);
}

// Parses one escape sequence at the start of `s` (s[0] is ESC). Returns the
// bytes it used, 0 if it is not complete yet; -1 if it names no key (the
// caller then drops it).
int parse_escape(const std::string& s, KEY_EVENT_RECORD* out) {
    if (s.size() < 2) return 0;
    unsigned char intro = s[1];
    if (intro != '[' && intro != 'O') {
        // Meta (Alt) + a byte.
        *out = plain_byte(intro, LEFT_ALT_PRESSED);
        return 2;
    }
    size_t i = 2;
    int params[4] = {0, 0, 0, 0};
    int np = 0;
    bool any = false;
    while (i < s.size() && ((s[i] >= '0' && s[i] <= '9') || s[i] == ';')) {
        if (s[i] == ';') {
            if (np < 3) ++np;
        } else {
            params[np] = params[np] * 10 + (s[i] - '0');
            any = true;
        }
        ++i;
    }
    if (i >= s.size()) return s.size() > 16 ? -1 : 0;
    unsigned char fin = s[i];
    int used = int(i + 1);
    if (fin < 0x40 || fin > 0x7E) return -1;
    DWORD state = modifier_state(np >= 1 ? params[1] : (intro == 'O' && any ? params[0] : 0));
    switch (fin) {
        case 'A': *out = named(kUp, state); return used;
        case 'B': *out = named(kDown, state); return used;
        case 'C': *out = named(kRight, state); return used;
        case 'D': *out = named(kLeft, state); return used;
        case 'H': *out = named(kHome, state); return used;
        case 'F': *out = named(kEnd, state); return used;
        case 'P': *out = function_key(0, state); return used;
        case 'Q': *out = function_key(1, state); return used;
        case 'R': *out = function_key(2, state); return used;
        case 'S': *out = function_key(3, state); return used;
        case 'Z': *out = key_down(VK_TAB, 0x0F, 0, SHIFT_PRESSED); return used;  // Shift+Tab
        case 'M': if (intro == 'O') { *out = key_down(VK_RETURN, 0x1C, 13, ENHANCED_KEY); return used; } return -1;
        case '~': break;
        default: return -1;
    }
    switch (params[0]) {
        case 1: case 7: *out = named(kHome, state); return used;
        case 2: *out = named(kInsert, state); return used;
        case 3: *out = named(kDelete, state); return used;
        case 4: case 8: *out = named(kEnd, state); return used;
        case 5: *out = named(kPrior, state); return used;
        case 6: *out = named(kNext, state); return used;
        case 11: case 12: case 13: case 14: case 15: *out = function_key(params[0] - 11, state); return used;
        case 17: case 18: case 19: case 20: case 21: *out = function_key(params[0] - 12, state); return used;
        case 23: case 24: *out = function_key(params[0] - 13, state); return used;
        default: return -1;
    }
}

bool wait_readable(int fd, int ms) {
    pollfd p = {fd, POLLIN, 0};
    return poll(&p, 1, ms) > 0 && (p.revents & (POLLIN | POLLHUP | POLLERR));
}

// Appends what can be read without waiting (false at end of input).
bool read_available(int fd, std::string& into, int wait_ms) {
    if (!wait_readable(fd, wait_ms)) return true;
    char buf[256];
    ssize_t n = read(fd, buf, sizeof buf);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) return true;
    if (n <= 0) return false;
    into.append(buf, size_t(n));
    return true;
}

// Length of the UTF-8 sequence starting with b (1 for a stray byte).
size_t utf8_length(unsigned char b) {
    if (b >= 0xF0 && b <= 0xF4) return 4;
    if (b >= 0xE0) return b <= 0xEF ? 3 : 1;
    if (b >= 0xC2) return 2;
    return 1;
}

}  // namespace

int terminal_fd() {
    std::lock_guard<std::mutex> lock(g_mu);
    if (g_gone) return -1;
    if (g_raw_fd >= 0) return may_read(g_raw_fd) ? int(g_raw_fd) : -1;
    const int fd = STDIN_FILENO;
    if (!may_read(fd)) return -1;
    struct termios raw;
    if (tcgetattr(fd, &g_saved) != 0) return -1;
    raw = g_saved;
    raw.c_lflag &= ~tcflag_t(ICANON | ECHO | ECHONL | IEXTEN);
    raw.c_iflag &= ~tcflag_t(ICRNL | INLCR | IGNCR | IXON);
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    static bool handlers = false;
    if (!handlers) {
        install_restore_handlers();
        handlers = true;
    }
    if (tcsetattr(fd, TCSANOW, &raw) != 0) return -1;
    g_raw_fd = fd;
    return fd;
}

void read_terminal(int fd, const std::function<void(const KEY_EVENT_RECORD&)>& emit) {
    std::lock_guard<std::mutex> lock(g_mu);
    if (!read_available(fd, g_pending, 0)) {
        g_gone = true;  // end of input: a reader must not wait on it again
        return;
    }
    size_t i = 0;
    while (i < g_pending.size()) {
        unsigned char c = g_pending[i];
        if (c == 0x1B) {
            KEY_EVENT_RECORD k;
            std::string rest = g_pending.substr(i);
            int used = parse_escape(rest, &k);
            if (used == 0) {
                // Incomplete: the rest of a sequence comes within a moment.
                size_t before = g_pending.size();
                read_available(fd, g_pending, kEscapeWaitMs);
                if (g_pending.size() > before) continue;
                if (rest.size() == 1) {
                    emit(plain_byte(0x1B, 0));  // Esc on its own
                    ++i;
                    continue;
                }
                used = -1;
            }
            if (used < 0) {
                // Not a key: drop the whole sequence (or the ESC of a broken one).
                size_t j = i + 2;
                while (j < g_pending.size() && !(g_pending[j] >= 0x40 && g_pending[j] <= 0x7E)) ++j;
                i = std::min(g_pending.size(), j + 1);
                continue;
            }
            emit(k);
            i += size_t(used);
            continue;
        }
        if (c >= 0x80) {
            // A character beyond ASCII arrives as UTF-8; the program reads it
            // in its code page (936), one byte per key event, as a console does.
            size_t len = utf8_length(c);
            if (i + len > g_pending.size()) {
                if (!read_available(fd, g_pending, kEscapeWaitMs) || i + len > g_pending.size()) {
                    i = g_pending.size();
                    break;
                }
            }
            std::string bytes = codepage::utf8_to_936(g_pending.substr(i, len));
            for (unsigned char b : bytes) emit(key_down(0, 0, b, 0));
            i += len;
            continue;
        }
        emit(plain_byte(c, 0));
        ++i;
    }
    g_pending.erase(0, i);
}

void restore_terminal() {
    std::lock_guard<std::mutex> lock(g_mu);
    restore_now();
    g_pending.clear();
}

}  // namespace plat::console
