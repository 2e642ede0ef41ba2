// The console's output calls on standard output: ANSI sequences on a
// terminal (a pseudo-terminal here), nothing at all on a pipe.
// windows.h first: <fcntl.h> defines LOCK_WRITE, a name objbase.h declares.
#include "windows.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// Standard output sent somewhere else for the lifetime of the object.
class StdoutTo {
public:
    explicit StdoutTo(int fd) : saved_(dup(STDOUT_FILENO)) {
        fflush(stdout);
        dup2(fd, STDOUT_FILENO);
    }
    ~StdoutTo() {
        fflush(stdout);
        dup2(saved_, STDOUT_FILENO);
        close(saved_);
    }

private:
    int saved_;
};

std::string drain(int fd) {
    std::string got;
    char buf[512];
    pollfd p{fd, POLLIN, 0};
    while (poll(&p, 1, 50) > 0 && (p.revents & POLLIN)) {
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n <= 0) break;
        got.append(buf, size_t(n));
    }
    return got;
}

// Windows' attribute bits (blue 1, green 2, red 4, bright 8; background the
// same, 4 bits up) against the ANSI colour numbers (red 1, green 2, blue 4;
// 30/40 normal, 90/100 bright); the default grey on black is the terminal's own.
TEST(KernelConsoleOutput, SequencesOnATerminal) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    const int slave = open(ptsname(master), O_RDWR | O_NOCTTY);
    ASSERT_GE(slave, 0);
    termios raw;
    tcgetattr(slave, &raw);
    cfmakeraw(&raw);
    tcsetattr(slave, TCSANOW, &raw);
    winsize ws = {};
    ws.ws_col = 100;
    ws.ws_row = 30;
    ioctl(slave, TIOCSWINSZ, &ws);
    {
        StdoutTo to(slave);
        HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
        ASSERT_NE(out, INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetStdHandle(STD_OUTPUT_HANDLE), out);
        struct Case {
            WORD attr;
            const char* seq;
        } cases[] = {
            {FOREGROUND_RED | FOREGROUND_INTENSITY, "\x1b[0;91;40m"},
            {FOREGROUND_BLUE | BACKGROUND_GREEN, "\x1b[0;34;42m"},
            {FOREGROUND_GREEN | FOREGROUND_BLUE | BACKGROUND_RED | BACKGROUND_INTENSITY, "\x1b[0;36;101m"},
            {0, "\x1b[0;30;40m"},
            {FOREGROUND_RED | FOREGROUND_GREEN | FOREGROUND_BLUE, "\x1b[0m"},
        };
        for (const Case& c : cases) {
            printf("x");  // printed before the colour changes, in order
            EXPECT_TRUE(SetConsoleTextAttribute(out, c.attr));
            EXPECT_EQ(drain(master), std::string("x") + c.seq) << c.attr;
        }
        EXPECT_TRUE(SetConsoleCursorPosition(out, COORD{4, 2}));
        EXPECT_EQ(drain(master), "\x1b[3;5H");
        EXPECT_FALSE(SetConsoleCursorPosition(out, COORD{100, 0}));  // past the right edge
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
        CONSOLE_SCREEN_BUFFER_INFO info;
        ASSERT_TRUE(GetConsoleScreenBufferInfo(out, &info));
        EXPECT_EQ(info.dwSize.X, 100);
        EXPECT_EQ(info.dwSize.Y, 30);
        EXPECT_EQ(info.srWindow.Right, 99);
        EXPECT_EQ(info.dwCursorPosition.X, 4);
        EXPECT_EQ(info.dwCursorPosition.Y, 2);
        CONSOLE_CURSOR_INFO ci = {25, FALSE};
        EXPECT_TRUE(SetConsoleCursorInfo(out, &ci));
        EXPECT_EQ(drain(master), "\x1b[?25l");
        ci.dwSize = 0;
        EXPECT_FALSE(SetConsoleCursorInfo(out, &ci));
        ci = {};
        EXPECT_TRUE(GetConsoleCursorInfo(out, &ci));
        EXPECT_EQ(ci.dwSize, 25u);
        EXPECT_FALSE(ci.bVisible);
        ci.bVisible = TRUE;
        SetConsoleCursorInfo(out, &ci);
        drain(master);
        // A fill near the end is cut at the last cell of the buffer.
        DWORD written = 0;
        EXPECT_TRUE(FillConsoleOutputCharacterA(out, '#', 500, COORD{97, 29}, &written));
        EXPECT_EQ(written, 3u);
        EXPECT_EQ(drain(master), "\x1b" "7\x1b[30;98H###\x1b" "8");
        EXPECT_TRUE(FillConsoleOutputAttribute(out, 0x1F, 100 * 30, COORD{0, 0}, &written));
        EXPECT_EQ(written, 3000u);
        // WriteConsoleA takes code page 936 bytes; the terminal gets UTF-8.
        EXPECT_EQ(GetConsoleOutputCP(), 936u);
        EXPECT_TRUE(WriteConsoleA(out, "\xc4\xe3\xba\xc3!", 5, &written, NULL));
        EXPECT_EQ(written, 5u);
        EXPECT_EQ(drain(master), "\xe4\xbd\xa0\xe5\xa5\xbd!");
        EXPECT_TRUE(SetConsoleOutputCP(CP_UTF8));
        EXPECT_TRUE(WriteConsoleA(out, "\xe4\xbd\xa0", 3, &written, NULL));
        EXPECT_EQ(drain(master), "\xe4\xbd\xa0");
        EXPECT_TRUE(SetConsoleOutputCP(936));
        EXPECT_FALSE(SetConsoleOutputCP(12345));
        // WriteConsoleW: a surrogate pair is one character (U+1F600), a lone one U+FFFD.
        const WCHAR wide[] = {0x4F60, 0xD83D, 0xDE00, 0xD800, 0x41};
        EXPECT_TRUE(WriteConsoleW(out, wide, 5, &written, NULL));
        EXPECT_EQ(written, 5u);
        EXPECT_EQ(drain(master), "\xe4\xbd\xa0\xf0\x9f\x98\x80\xef\xbf\xbd" "A");
    }
    close(slave);
    close(master);
}

// On a pipe the calls fail as on a redirected Windows console and the
// program's own output arrives untouched.
TEST(KernelConsoleOutput, PipeStaysClean) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    {
        StdoutTo to(fds[1]);
        HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
        printf("score ");
        EXPECT_FALSE(SetConsoleTextAttribute(out, FOREGROUND_GREEN));
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
        EXPECT_FALSE(SetConsoleCursorPosition(out, COORD{0, 0}));
        CONSOLE_CURSOR_INFO ci = {10, FALSE};
        EXPECT_FALSE(SetConsoleCursorInfo(out, &ci));
        DWORD n = 7;
        EXPECT_FALSE(FillConsoleOutputCharacterA(out, ' ', 80 * 25, COORD{0, 0}, &n));
        EXPECT_EQ(n, 0u);
        EXPECT_FALSE(WriteConsoleA(out, "zz", 2, &n, NULL));
        CONSOLE_SCREEN_BUFFER_INFO info;
        EXPECT_FALSE(GetConsoleScreenBufferInfo(out, &info));
        EXPECT_EQ(info.dwSize.X, 80);  // still usable sizes for code that ignores the result
        EXPECT_EQ(info.dwSize.Y, 25);
        EXPECT_TRUE(SetConsoleTitleA("game"));
        printf("42\n");
        fflush(stdout);  // a pipe is fully buffered; WriteFile is not
        DWORD wrote = 0;  // the handle is a file handle for WriteFile
        EXPECT_TRUE(WriteFile(out, "end\n", 4, &wrote, NULL));
    }
    close(fds[1]);
    EXPECT_EQ(drain(fds[0]), "score 42\nend\n");
    close(fds[0]);
    EXPECT_EQ(GetStdHandle(12345), INVALID_HANDLE_VALUE);
}

}  // namespace
