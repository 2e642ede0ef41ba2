// winmain_entry.cpp — the entry point of a program that defines WinMain
// (or wWinMain, or wmain) instead of main, as the Windows C runtime's start-up
// code calls it.
//
// This file is the only one in the library that defines main, and nothing
// else refers to what it defines: the linker takes it only for a program that
// has no main of its own. The program's entry functions are weak references,
// so whichever of them it defines is called.
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "windows.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) __attribute__((weak));
int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) __attribute__((weak));
int wmain(int, wchar_t**) __attribute__((weak));

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

std::wstring widen(const std::string& s) {
    std::wstring w(s.size() + 1, L'\0');
    size_t n = std::mbstowcs(&w[0], s.c_str(), w.size());
    w.resize(n == size_t(-1) ? 0 : n);
    return w;
}

}  // namespace

int main(int argc, char** argv) {
    HINSTANCE self = GetModuleHandleA(NULL);
    std::string tail = command_tail(argc, argv);
    if (WinMain) return WinMain(self, NULL, &tail[0], SW_SHOWDEFAULT);
    std::setlocale(LC_CTYPE, "");
    if (wWinMain) {
        std::wstring wtail = widen(tail);
        return wWinMain(self, NULL, &wtail[0], SW_SHOWDEFAULT);
    }
    if (wmain) {
        std::vector<std::wstring> args;
        for (int i = 0; i < argc; ++i) args.push_back(widen(argv[i]));
        std::vector<wchar_t*> wargv;
        for (auto& a : args) wargv.push_back(&a[0]);
        wargv.push_back(nullptr);
        return wmain(argc, wargv.data());
    }
    std::fputs("this program defines no main, WinMain, wWinMain or wmain\n", stderr);
    return 1;
}
