// command_line.cpp — GetCommandLineA / GetCommandLineW: the program's name
// and its arguments as one line, the way Windows hands a program its command
// line (an argument holding a blank, or empty, in double quotes; a quote
// inside an argument as \"). Read once from /proc/self/cmdline; the narrow
// line is in code page 936, the wide one is that line widened.
#include <fstream>
#include <iterator>
#include <string>

#include "codepage.h"
#include "winbase.h"

namespace {

// The line in the encoding of the arguments (UTF-8 on a Linux system).
std::string native_line() {
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    const std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string line;
    size_t start = 0;
    while (start < raw.size()) {
        size_t end = raw.find('\0', start);
        if (end == std::string::npos) end = raw.size();
        const std::string arg = raw.substr(start, end - start);
        if (!line.empty()) line += ' ';
        const bool quote = arg.empty() || arg.find_first_of(" \t") != std::string::npos;
        if (quote) line += '"';
        for (char c : arg) {
            if (c == '"') line += '\\';
            line += c;
        }
        if (quote) line += '"';
        start = end + 1;
    }
    return line;
}

}  // namespace

LPSTR WINAPI GetCommandLineA(void) {
    static std::string line = plat::codepage::utf8_to_936(native_line());
    return &line[0];
}

LPWSTR WINAPI GetCommandLineW(void) {
    static std::wstring line = [] {
        const std::u32string cps = plat::codepage::decode_936(GetCommandLineA(), -1);
        return std::wstring(cps.begin(), cps.end());
    }();
    return &line[0];
}
