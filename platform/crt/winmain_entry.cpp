// winmain_entry.cpp — the entry point of a program that defines WinMain
// (or wWinMain, or wmain) instead of main, as the Windows C runtime's start-up
// code calls it.
//
// This file is the only one in the library that defines main, and nothing
// else refers to what it defines: the linker takes it only for a program that
// has no main of its own. The program's entry functions are weak references,
// so whichever of them it defines is called; wmain in any of the three forms
// main may take (no arguments, argc and argv, or with the environment too).
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "windows.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) __attribute__((weak));
int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) __attribute__((weak));
int wmain() __attribute__((weak));
int wmain(int, wchar_t**) __attribute__((weak));
int wmain(int, wchar_t**, wchar_t**) __attribute__((weak));

namespace {

// The command line after the program's name, as Windows passes it: the
// arguments separated by spaces, quoted when they hold a space or a tab.
std::string command_tail(int argc, char** argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (i > 1) line += ' ';
        bool quote = a.empty() || a.find_first_of(" \t") != std::string::npos;
        if (quote) line += '"';
        for (char c : a) {
            if (c == '"') line += '\\';
            line += c;
        }
        if (quote) line += '"';
    }
    return line;
}

// The arguments are in the encoding of the user's locale; the program starts,
// as on Windows, in the "C" locale (a process-wide UTF-8 locale would also
// change how the window system's libraries name windows), so the user's is
// taken only while converting.
std::wstring widen(const std::string& s) {
    const std::string before = std::setlocale(LC_CTYPE, nullptr);
    std::setlocale(LC_CTYPE, "");
    std::wstring w(s.size() + 1, L'\0');
    size_t n = std::mbstowcs(&w[0], s.c_str(), w.size());
    w.resize(n == size_t(-1) ? 0 : n);
    std::setlocale(LC_CTYPE, before.c_str());
    return w;
}

// Wide copies of a null-terminated list of strings, and the list of pointers to them.
struct WideList {
    std::vector<std::wstring> text;
    std::vector<wchar_t*> ptrs;
    WideList(int n, char** list) {
        for (int i = 0; n < 0 ? list[i] != nullptr : i < n; ++i) text.push_back(widen(list[i]));
        for (auto& t : text) ptrs.push_back(&t[0]);
        ptrs.push_back(nullptr);
    }
};

}  // namespace

int main(int argc, char** argv) {
    HINSTANCE self = GetModuleHandleA(NULL);
    std::string tail = command_tail(argc, argv);
    if (WinMain) return WinMain(self, NULL, &tail[0], SW_SHOWDEFAULT);
    if (wWinMain) {
        std::wstring wtail = widen(tail);
        return wWinMain(self, NULL, &wtail[0], SW_SHOWDEFAULT);
    }
    int (*wmain_args)(int, wchar_t**) = wmain;
    int (*wmain_env)(int, wchar_t**, wchar_t**) = wmain;
    int (*wmain_plain)() = wmain;
    if (wmain_args || wmain_env) {
        WideList args(argc, argv);
        if (wmain_args) return wmain_args(argc, args.ptrs.data());
        WideList env(-1, environ);
        return wmain_env(argc, args.ptrs.data(), env.ptrs.data());
    }
    if (wmain_plain) return wmain_plain();
    std::fputs("this program defines no main, WinMain, wWinMain or wmain\n", stderr);
    return 1;
}
