// secure_scanf.cpp — scanf_s, sscanf_s, fscanf_s and gets_s.
//
// The format is the standard one, except that %s, %c and %[ take two
// arguments: the destination and its size in characters (an unsigned). A
// string that does not fit ends the scan with that conversion failed and the
// destination empty, as on Windows. The format is run one conversion at a
// time through the standard scanner, each with a %n to learn how much input
// it used, so every conversion sees exactly the standard rules.
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "crt/crt_internal.h"
#include "win_crt.h"

using plat::crt::invalid_parameter;

namespace {

struct Source {
    const char* text = nullptr;  // sscanf_s: the rest of the input
    FILE* file = nullptr;
    long consumed = 0;  // characters used so far (for %n)

    // Runs one piece of format with up to one target; false if it failed.
    // `eof` tells whether the input ended before anything matched.
    bool scan(const std::string& piece, void* target, bool* eof) {
        int n = -1, r;
        std::string fmt = piece + "%n";
        if (text) r = target ? std::sscanf(text, fmt.c_str(), target, &n) : std::sscanf(text, fmt.c_str(), &n);
        else r = target ? std::fscanf(file, fmt.c_str(), target, &n) : std::fscanf(file, fmt.c_str(), &n);
        *eof = r == EOF;
        if (n < 0) return false;
        if (text) text += n;
        consumed += n;
        return true;
    }
};

int scan_s(Source& src, const char* format, va_list ap) {
    int assigned = 0;
    const char* f = format;
    std::string literal;
    auto finish = [&](bool eof) { return (eof && assigned == 0) ? EOF : assigned; };
    while (*f) {
        if (*f != '%' || f[1] == '%') {
            if (*f == '%') literal += *f++;
            literal += *f++;
            continue;
        }
        // One conversion: %[*][width][length]conv
        std::string directive = "%";
        ++f;
        bool suppress = false;
        if (*f == '*') {
            suppress = true;
            directive += *f++;
        }
        unsigned long width = 0;
        while (*f >= '0' && *f <= '9') {
            width = width * 10 + unsigned(*f - '0');
            ++f;
        }
        std::string length;
        bool wide = false;
        if (f[0] == 'I' && f[1] == '6' && f[2] == '4') {
            length = "ll";
            f += 3;
        } else if (f[0] == 'I' && f[1] == '3' && f[2] == '2') {
            f += 3;
        } else {
            while (*f && std::strchr("hlLjztqw", *f)) {
                if (*f == 'l' || *f == 'w') wide = true;
                length += (*f == 'w') ? 'l' : *f;
                ++f;
            }
        }
        char conv = *f;
        if (!conv) break;
        ++f;
        std::string set;
        if (conv == '[') {
            set = "[";
            if (*f == '^') set += *f++;
            if (*f == ']') set += *f++;
            while (*f && *f != ']') set += *f++;
            if (*f) set += *f++;
        }
        bool eof = false;
        if (conv == 'n') {
            if (!suppress) {
                if (!src.scan(literal, nullptr, &eof)) return finish(eof);
                literal.clear();
                *va_arg(ap, int*) = int(src.consumed);
            }
            continue;
        }
        const bool buffered = conv == 's' || conv == 'c' || conv == '[' || conv == 'S' || conv == 'C';
        if (suppress || !buffered) {
            std::string piece = literal + directive + (width ? std::to_string(width) : "") + length + (set.empty() ? std::string(1, conv) : set);
            literal.clear();
            void* target = suppress ? nullptr : va_arg(ap, void*);
            if (!src.scan(piece, target, &eof)) return finish(eof);
            if (!suppress) ++assigned;
            continue;
        }
        void* dest = va_arg(ap, void*);
        unsigned size = va_arg(ap, unsigned);
        if (conv == 'S' || conv == 'C') wide = !wide;
        char base = (conv == 'S') ? 's' : (conv == 'C') ? 'c' : conv;
        std::string elem = set.empty() ? std::string(1, base) : set;
        if (!dest || size == 0) {
            errno = EINVAL;
            invalid_parameter("scanf_s", "no buffer for a string");
            return assigned;
        }
        // Read one more than fits, to tell a string that fills the buffer from one that overflows it.
        unsigned long want = (base == 'c') ? (width ? width : 1) : (width && width < size ? width : size);
        if (base == 'c' && want > size) {
            if (wide) static_cast<wchar_t*>(dest)[0] = 0;
            else static_cast<char*>(dest)[0] = 0;
            return assigned;
        }
        std::string piece = literal + "%" + std::to_string(want) + (wide ? "l" : "") + elem;
        literal.clear();
        size_t got;
        if (wide) {
            std::vector<wchar_t> tmp(want + 1, 0);
            if (!src.scan(piece, tmp.data(), &eof)) return finish(eof);
            got = base == 'c' ? want : std::wcslen(tmp.data());
            if (base != 'c' && got >= size) {
                static_cast<wchar_t*>(dest)[0] = 0;
                return assigned;
            }
            std::wmemcpy(static_cast<wchar_t*>(dest), tmp.data(), got + (base == 'c' ? 0 : 1));
        } else {
            std::vector<char> tmp(want + 1, 0);
            if (!src.scan(piece, tmp.data(), &eof)) return finish(eof);
            got = base == 'c' ? want : std::strlen(tmp.data());
            if (base != 'c' && got >= size) {
                static_cast<char*>(dest)[0] = 0;
                return assigned;
            }
            std::memcpy(dest, tmp.data(), got + (base == 'c' ? 0 : 1));
        }
        ++assigned;
    }
    if (!literal.empty()) {
        bool eof;
        src.scan(literal, nullptr, &eof);
    }
    return assigned;
}

}  // namespace

extern "C" {

int vsscanf_s(const char* buffer, const char* format, va_list args) {
    if (!buffer || !format) {
        errno = EINVAL;
        invalid_parameter("sscanf_s", "null pointer");
        return EOF;
    }
    Source s;
    s.text = buffer;
    return scan_s(s, format, args);
}

int vfscanf_s(FILE* stream, const char* format, va_list args) {
    if (!stream || !format) {
        errno = EINVAL;
        invalid_parameter("fscanf_s", "null pointer");
        return EOF;
    }
    Source s;
    s.file = stream;
    return scan_s(s, format, args);
}

int sscanf_s(const char* buffer, const char* format, ...) {
    va_list ap;
    va_start(ap, format);
    int n = vsscanf_s(buffer, format, ap);
    va_end(ap);
    return n;
}

int fscanf_s(FILE* stream, const char* format, ...) {
    va_list ap;
    va_start(ap, format);
    int n = vfscanf_s(stream, format, ap);
    va_end(ap);
    return n;
}

int scanf_s(const char* format, ...) {
    va_list ap;
    va_start(ap, format);
    int n = vfscanf_s(stdin, format, ap);
    va_end(ap);
    return n;
}

// One line without its newline; a line longer than the buffer empties it,
// is read to its end and is a fault.
char* gets_s(char* buffer, rsize_t size) {
    if (!buffer || size == 0) {
        errno = EINVAL;
        invalid_parameter("gets_s", "no buffer");
        return nullptr;
    }
    size_t n = 0;
    int c;
    bool any = false;
    while ((c = std::getchar()) != EOF && c != '\n') {
        any = true;
        if (n + 1 < size) buffer[n] = char(c);
        ++n;
    }
    if (!any && c == EOF) {
        buffer[0] = 0;
        return nullptr;
    }
    if (n + 1 > size) {
        buffer[0] = 0;
        errno = ERANGE;
        invalid_parameter("gets_s", "line too long");
        return nullptr;
    }
    buffer[n] = 0;
    return buffer;
}

}  // extern "C"
