// secure_printf.cpp — the bounds-checked printf family (sprintf_s,
// _snprintf_s, swprintf_s, ...) and the old truncating _snprintf.
//
// sprintf_s: the text and its terminator must fit in `size`; if they do not,
// the buffer becomes an empty string, the invalid parameter handler runs and
// (if it returns) the call returns -1 with errno ERANGE. _snprintf_s with
// _TRUNCATE writes what fits, terminated, and returns -1 when it cut the
// text; with a count it writes at most `count` characters, and a count that
// does not fit in `size` is a fault like sprintf_s's.
#include <climits>
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

int bad(char* buffer, size_t size, int code, const char* fn, const char* why) {
    if (buffer && size > 0) buffer[0] = 0;
    errno = code;
    invalid_parameter(fn, why);
    return -1;
}

int wbad(wchar_t* buffer, size_t size, int code, const char* fn, const char* why) {
    if (buffer && size > 0) buffer[0] = 0;
    errno = code;
    invalid_parameter(fn, why);
    return -1;
}

// Windows' size prefixes I64 and I32 in the C library's spelling.
std::string windows_narrow_format(const char* f) {
    std::string out;
    bool in_conversion = false;
    for (; *f; ++f) {
        if (!in_conversion) {
            out += *f;
            if (*f == '%') {
                if (f[1] == '%') out += *++f;
                else in_conversion = true;
            }
            continue;
        }
        if (f[0] == 'I' && f[1] == '6' && f[2] == '4') {
            out += "ll";
            f += 2;
        } else if (f[0] == 'I' && f[1] == '3' && f[2] == '2') {
            f += 2;
        } else {
            out += *f;
            if (std::strchr("diouxXeEfFgGaAcspn", *f)) in_conversion = false;
        }
    }
    return out;
}

// The whole text of a narrow format (its length: vsnprintf's result).
int format_all(std::string& out, const char* windows_format, va_list args) {
    const std::string fmt = windows_narrow_format(windows_format);
    const char* format = fmt.c_str();
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (n < 0) return n;
    out.assign(size_t(n) + 1, '\0');
    std::vsnprintf(&out[0], out.size(), format, args);
    out.resize(size_t(n));
    return n;
}

// The Windows runtime's wide printf reads %s and %c as wide (wchar_t) and %S,
// %C, %hs, %hc as narrow; the C library reads them the other way round. The
// format is rewritten to the C library's spelling of the Windows meaning.
std::wstring windows_wide_format(const wchar_t* f) {
    std::wstring out;
    while (*f) {
        if (*f != L'%') {
            out += *f++;
            continue;
        }
        out += *f++;
        if (*f == L'%') {
            out += *f++;
            continue;
        }
        while (*f && std::wcschr(L"-+ #0123456789.*", *f)) out += *f++;
        bool h = false, l = false;
        while (*f && std::wcschr(L"hlLjztwI", *f)) {
            if (*f == L'h') h = true;
            if (*f == L'l' || *f == L'w') l = true;
            if (*f == L'I' && f[1] == L'6' && f[2] == L'4') {
                out += L"ll";
                f += 3;
                continue;
            }
            if (*f != L'w' && !((*f == L'h') && (f[1] == L's' || f[1] == L'c' || f[1] == L'S' || f[1] == L'C'))) out += *f;
            ++f;
        }
        wchar_t c = *f;
        if (!c) break;
        ++f;
        if (c == L's' || c == L'c') {
            if (!h && !l) out += L'l';
            if (l) out += L'l';
            out += c;
        } else if (c == L'S' || c == L'C') {
            if (l) out += L'l';
            out += wchar_t(c == L'S' ? L's' : L'c');
        } else {
            out += c;
        }
    }
    return out;
}

// The whole text of a wide format; vswprintf says only "did not fit", so the
// buffer grows until it does.
int wformat_all(std::wstring& out, const wchar_t* windows_format, va_list args) {
    const std::wstring fmt = windows_wide_format(windows_format);
    const wchar_t* format = fmt.c_str();
    std::vector<wchar_t> buf(256);
    for (;;) {
        va_list copy;
        va_copy(copy, args);
        int n = std::vswprintf(buf.data(), buf.size(), format, copy);
        va_end(copy);
        if (n >= 0) {
            out.assign(buf.data(), size_t(n));
            return n;
        }
        if (buf.size() > (1u << 26)) return -1;  // an encoding error, not a short buffer
        buf.resize(buf.size() * 4);
    }
}

}  // namespace

extern "C" {

int vsprintf_s(char* buffer, size_t size, const char* format, va_list args) {
    if (!buffer || size == 0) return bad(buffer, 0, EINVAL, "sprintf_s", "no buffer");
    if (!format) return bad(buffer, size, EINVAL, "sprintf_s", "no format");
    std::string text;
    int n = format_all(text, format, args);
    if (n < 0) return bad(buffer, size, EINVAL, "sprintf_s", "bad format");
    if (size_t(n) + 1 > size) return bad(buffer, size, ERANGE, "sprintf_s", "buffer too small");
    std::memcpy(buffer, text.c_str(), size_t(n) + 1);
    return n;
}

int sprintf_s(char* buffer, size_t size, const char* format, ...) {
    va_list ap;
    va_start(ap, format);
    int n = vsprintf_s(buffer, size, format, ap);
    va_end(ap);
    return n;
}

int _vsnprintf_s(char* buffer, size_t size, size_t count, const char* format, va_list args) {
    if (!buffer || size == 0) return bad(buffer, 0, EINVAL, "_snprintf_s", "no buffer");
    if (!format) return bad(buffer, size, EINVAL, "_snprintf_s", "no format");
    std::string text;
    int n = format_all(text, format, args);
    if (n < 0) return bad(buffer, size, EINVAL, "_snprintf_s", "bad format");
    size_t want = size_t(n);
    bool cut = false;
    if (count != _TRUNCATE && want > count) {
        want = count;
        cut = true;
    }
    if (want + 1 > size) {
        if (count != _TRUNCATE) return bad(buffer, size, ERANGE, "_snprintf_s", "buffer too small");
        want = size - 1;
        cut = true;
    }
    std::memcpy(buffer, text.data(), want);
    buffer[want] = 0;
    return cut ? -1 : n;
}

int _snprintf_s(char* buffer, size_t size, size_t count, const char* format, ...) {
    va_list ap;
    va_start(ap, format);
    int n = _vsnprintf_s(buffer, size, count, format, ap);
    va_end(ap);
    return n;
}

int _vsnprintf(char* buffer, size_t count, const char* format, va_list args) {
    std::string text;
    int n = format_all(text, format, args);
    if (n < 0) return n;
    if (size_t(n) < count) {
        std::memcpy(buffer, text.c_str(), size_t(n) + 1);
        return n;
    }
    if (buffer) std::memcpy(buffer, text.data(), count);  // exactly `count`: no terminator
    return size_t(n) == count ? n : -1;
}

int _snprintf(char* buffer, size_t count, const char* format, ...) {
    va_list ap;
    va_start(ap, format);
    int n = _vsnprintf(buffer, count, format, ap);
    va_end(ap);
    return n;
}

int _scprintf(const char* format, ...) {
    va_list ap;
    va_start(ap, format);
    int n = std::vsnprintf(nullptr, 0, format, ap);
    va_end(ap);
    return n;
}

int printf_s(const char* format, ...) {
    if (!format) return bad(nullptr, 0, EINVAL, "printf_s", "no format");
    va_list ap;
    va_start(ap, format);
    int n = std::vprintf(format, ap);
    va_end(ap);
    return n;
}

int fprintf_s(FILE* stream, const char* format, ...) {
    if (!stream || !format) return bad(nullptr, 0, EINVAL, "fprintf_s", "null pointer");
    va_list ap;
    va_start(ap, format);
    int n = std::vfprintf(stream, format, ap);
    va_end(ap);
    return n;
}

int vswprintf_s(wchar_t* buffer, size_t size, const wchar_t* format, va_list args) {
    if (!buffer || size == 0) return wbad(buffer, 0, EINVAL, "swprintf_s", "no buffer");
    if (!format) return wbad(buffer, size, EINVAL, "swprintf_s", "no format");
    std::wstring text;
    int n = wformat_all(text, format, args);
    if (n < 0) return wbad(buffer, size, EINVAL, "swprintf_s", "bad format");
    if (size_t(n) + 1 > size) return wbad(buffer, size, ERANGE, "swprintf_s", "buffer too small");
    std::wmemcpy(buffer, text.c_str(), size_t(n) + 1);
    return n;
}

int swprintf_s(wchar_t* buffer, size_t size, const wchar_t* format, ...) {
    va_list ap;
    va_start(ap, format);
    int n = vswprintf_s(buffer, size, format, ap);
    va_end(ap);
    return n;
}

int _snwprintf(wchar_t* buffer, size_t count, const wchar_t* format, ...) {
    va_list ap;
    va_start(ap, format);
    std::wstring text;
    int n = wformat_all(text, format, ap);
    va_end(ap);
    if (n < 0) return n;
    if (size_t(n) < count) {
        std::wmemcpy(buffer, text.c_str(), size_t(n) + 1);
        return n;
    }
    std::wmemcpy(buffer, text.data(), count);
    return size_t(n) == count ? n : -1;
}

int _snwprintf_s(wchar_t* buffer, size_t size, size_t count, const wchar_t* format, ...) {
    if (!buffer || size == 0) return wbad(buffer, 0, EINVAL, "_snwprintf_s", "no buffer");
    va_list ap;
    va_start(ap, format);
    std::wstring text;
    int n = format ? wformat_all(text, format, ap) : -1;
    va_end(ap);
    if (n < 0) return wbad(buffer, size, EINVAL, "_snwprintf_s", "bad format");
    size_t want = size_t(n);
    bool cut = false;
    if (count != _TRUNCATE && want > count) {
        want = count;
        cut = true;
    }
    if (want + 1 > size) {
        if (count != _TRUNCATE) return wbad(buffer, size, ERANGE, "_snwprintf_s", "buffer too small");
        want = size - 1;
        cut = true;
    }
    std::wmemcpy(buffer, text.data(), want);
    buffer[want] = 0;
    return cut ? -1 : n;
}

int _swprintf(wchar_t* buffer, const wchar_t* format, ...) {
    va_list ap;
    va_start(ap, format);
    std::wstring text;
    int n = wformat_all(text, format, ap);
    va_end(ap);
    if (n >= 0) std::wmemcpy(buffer, text.c_str(), size_t(n) + 1);
    return n;
}

int vfwprintf_s(FILE* stream, const wchar_t* format, va_list args) {
    if (!stream || !format) return wbad(nullptr, 0, EINVAL, "fwprintf_s", "null pointer");
    std::wstring text;
    int n = wformat_all(text, format, args);
    if (n >= 0 && std::fputws(text.c_str(), stream) < 0) return -1;
    return n;
}

int fwprintf_s(FILE* stream, const wchar_t* format, ...) {
    va_list ap;
    va_start(ap, format);
    int n = vfwprintf_s(stream, format, ap);
    va_end(ap);
    return n;
}

int wprintf_s(const wchar_t* format, ...) {
    va_list ap;
    va_start(ap, format);
    int n = vfwprintf_s(stdout, format, ap);
    va_end(ap);
    return n;
}

}  // extern "C"
