// secure_strings.cpp — the bounds-checked string copies (strcpy_s, strcat_s,
// strncpy_s, ...), number to text (_itoa_s, _itoa, ...) and strtok_s.
//
// Sizes count elements of the destination, terminator included. On a bad
// parameter the invalid parameter handler runs; if it returns, the
// destination (when there is one) is an empty string and the call returns
// EINVAL (null pointer, size 0, bad radix) or ERANGE (result too long).
#include <cstring>
#include <cwchar>

#include "crt/crt_internal.h"
#include "win_crt.h"

using plat::crt::invalid_parameter;

namespace {

template <typename C>
errno_t fail(C* dest, rsize_t size, errno_t code, const char* function, const char* why) {
    if (dest && size > 0) dest[0] = 0;
    errno = code;
    invalid_parameter(function, why);
    return code;
}

template <typename C>
size_t length(const C* s, size_t max) {
    size_t n = 0;
    while (n < max && s[n]) ++n;
    return n;
}

template <typename C>
errno_t copy_s(C* dest, rsize_t size, const C* src, const char* fn) {
    if (!dest || size == 0) return fail(dest, 0, EINVAL, fn, "no destination");
    if (!src) return fail(dest, size, EINVAL, fn, "no source");
    size_t n = length(src, size);
    if (n >= size) return fail(dest, size, ERANGE, fn, "destination too small");
    std::memcpy(dest, src, n * sizeof(C));
    dest[n] = 0;
    return 0;
}

template <typename C>
errno_t cat_s(C* dest, rsize_t size, const C* src, const char* fn) {
    if (!dest || size == 0) return fail(dest, 0, EINVAL, fn, "no destination");
    if (!src) return fail(dest, size, EINVAL, fn, "no source");
    size_t have = length(dest, size);
    if (have == size) return fail(dest, size, EINVAL, fn, "destination not terminated");
    size_t n = length(src, size - have);
    if (have + n >= size) return fail(dest, size, ERANGE, fn, "destination too small");
    std::memcpy(dest + have, src, n * sizeof(C));
    dest[have + n] = 0;
    return 0;
}

// Copies at most `count` characters; _TRUNCATE copies what fits and returns STRUNCATE.
template <typename C>
errno_t ncopy_s(C* dest, rsize_t size, size_t at, const C* src, rsize_t count, const char* fn) {
    if (!dest || size == 0) return fail(dest, 0, EINVAL, fn, "no destination");
    if (!src) {
        if (count == 0) {
            dest[at] = 0;
            return 0;
        }
        return fail(dest, size, EINVAL, fn, "no source");
    }
    size_t room = size - at;  // with the terminator
    if (count == _TRUNCATE) {
        size_t n = length(src, room);
        if (n >= room) {
            std::memcpy(dest + at, src, (room - 1) * sizeof(C));
            dest[size - 1] = 0;
            return STRUNCATE;
        }
        std::memcpy(dest + at, src, n * sizeof(C));
        dest[at + n] = 0;
        return 0;
    }
    size_t n = length(src, count);
    if (n >= room) return fail(dest, size, ERANGE, fn, "destination too small");
    std::memcpy(dest + at, src, n * sizeof(C));
    dest[at + n] = 0;
    return 0;
}

// Digits of a value in a radix, most significant first; negative only in radix 10.
template <typename C>
errno_t to_text_s(unsigned long long magnitude, bool negative, C* buffer, size_t size, int radix, const char* fn) {
    if (!buffer || size == 0) return fail(buffer, 0, EINVAL, fn, "no buffer");
    if (radix < 2 || radix > 36) return fail(buffer, size, EINVAL, fn, "radix out of range");
    C digits[72];
    size_t n = 0;
    do {
        int d = int(magnitude % unsigned(radix));
        digits[n++] = C(d < 10 ? '0' + d : 'a' + d - 10);
        magnitude /= unsigned(radix);
    } while (magnitude);
    if (negative) digits[n++] = C('-');
    if (n + 1 > size) return fail(buffer, size, ERANGE, fn, "buffer too small");
    for (size_t i = 0; i < n; ++i) buffer[i] = digits[n - 1 - i];
    buffer[n] = 0;
    return 0;
}

errno_t signed_text(long long v, char* b, size_t size, int radix, const char* fn) {
    // Only radix 10 writes a sign; others show the two's complement bits of the type.
    if (radix == 10 && v < 0) return to_text_s(0ull - (unsigned long long)v, true, b, size, radix, fn);
    return to_text_s((unsigned long long)v, false, b, size, radix, fn);
}

}  // namespace

extern "C" {

errno_t strcpy_s(char* d, rsize_t n, const char* s) { return copy_s(d, n, s, "strcpy_s"); }
errno_t wcscpy_s(wchar_t* d, rsize_t n, const wchar_t* s) { return copy_s(d, n, s, "wcscpy_s"); }
errno_t strcat_s(char* d, rsize_t n, const char* s) { return cat_s(d, n, s, "strcat_s"); }
errno_t wcscat_s(wchar_t* d, rsize_t n, const wchar_t* s) { return cat_s(d, n, s, "wcscat_s"); }
errno_t strncpy_s(char* d, rsize_t n, const char* s, rsize_t count) { return ncopy_s(d, n, 0, s, count, "strncpy_s"); }
errno_t wcsncpy_s(wchar_t* d, rsize_t n, const wchar_t* s, rsize_t count) {
    return ncopy_s(d, n, 0, s, count, "wcsncpy_s");
}
errno_t strncat_s(char* d, rsize_t n, const char* s, rsize_t count) {
    if (!d || n == 0) return fail(d, 0, EINVAL, "strncat_s", "no destination");
    size_t have = length(d, n);
    if (have == n) return fail(d, n, EINVAL, "strncat_s", "destination not terminated");
    errno_t e = ncopy_s(d, n, have, s, count, "strncat_s");
    return e;
}
errno_t wcsncat_s(wchar_t* d, rsize_t n, const wchar_t* s, rsize_t count) {
    if (!d || n == 0) return fail(d, 0, EINVAL, "wcsncat_s", "no destination");
    size_t have = length(d, n);
    if (have == n) return fail(d, n, EINVAL, "wcsncat_s", "destination not terminated");
    return ncopy_s(d, n, have, s, count, "wcsncat_s");
}

size_t strnlen_s(const char* s, size_t max) { return s ? length(s, max) : 0; }

errno_t memcpy_s(void* d, rsize_t n, const void* s, rsize_t count) {
    if (count == 0) return 0;
    if (!d) return fail<char>(nullptr, 0, EINVAL, "memcpy_s", "no destination");
    if (!s || count > n) {
        std::memset(d, 0, n);
        return fail<char>(nullptr, 0, s ? ERANGE : EINVAL, "memcpy_s", s ? "destination too small" : "no source");
    }
    std::memcpy(d, s, count);
    return 0;
}

errno_t memmove_s(void* d, rsize_t n, const void* s, rsize_t count) {
    if (count == 0) return 0;
    if (!d || !s) return fail<char>(nullptr, 0, EINVAL, "memmove_s", "null pointer");
    if (count > n) return fail<char>(nullptr, 0, ERANGE, "memmove_s", "destination too small");
    std::memmove(d, s, count);
    return 0;
}

char* strtok_s(char* str, const char* delim, char** context) {
    if (!context || !delim || (!str && !*context)) {
        errno = EINVAL;
        invalid_parameter("strtok_s", "null pointer");
        return nullptr;
    }
    return strtok_r(str, delim, context);
}

wchar_t* wcstok_s(wchar_t* str, const wchar_t* delim, wchar_t** context) {
    if (!context || !delim || (!str && !*context)) {
        errno = EINVAL;
        invalid_parameter("wcstok_s", "null pointer");
        return nullptr;
    }
    return wcstok(str, delim, context);
}

// int and long are 32 bits on Windows: other radixes than 10 show those 32 bits.
errno_t _itoa_s(int v, char* b, size_t n, int r) {
    return r == 10 ? signed_text(v, b, n, r, "_itoa_s") : to_text_s(uint32_t(v), false, b, n, r, "_itoa_s");
}
errno_t _ltoa_s(long v, char* b, size_t n, int r) { return _itoa_s(int(v), b, n, r); }
errno_t _ultoa_s(unsigned long v, char* b, size_t n, int r) { return to_text_s(uint32_t(v), false, b, n, r, "_ultoa_s"); }
errno_t _i64toa_s(long long v, char* b, size_t n, int r) { return signed_text(v, b, n, r, "_i64toa_s"); }
errno_t _ui64toa_s(unsigned long long v, char* b, size_t n, int r) { return to_text_s(v, false, b, n, r, "_ui64toa_s"); }
errno_t _itow_s(int v, wchar_t* b, size_t n, int r) {
    if (r == 10 && v < 0) return to_text_s(0ull - (unsigned long long)(long long)v, true, b, n, r, "_itow_s");
    return to_text_s(uint32_t(v), false, b, n, r, "_itow_s");
}

// The unchecked forms: the buffer must hold the result (33 characters at most for 32 bits).
char* _itoa(int v, char* b, int r) {
    if (r == 10 && v < 0) to_text_s(0ull - (unsigned long long)(long long)v, true, b, 34, r, "_itoa");
    else to_text_s(uint32_t(v), false, b, 34, r, "_itoa");
    return b;
}
char* _ltoa(long v, char* b, int r) { return _itoa(int(v), b, r); }
char* _ultoa(unsigned long v, char* b, int r) {
    to_text_s(uint32_t(v), false, b, 34, r, "_ultoa");
    return b;
}
char* _i64toa(long long v, char* b, int r) {
    signed_text(v, b, 66, r, "_i64toa");
    return b;
}
char* _ui64toa(unsigned long long v, char* b, int r) {
    to_text_s(v, false, b, 66, r, "_ui64toa");
    return b;
}
wchar_t* _itow(int v, wchar_t* b, int r) {
    _itow_s(v, b, 34, r);
    return b;
}
char* itoa(int v, char* b, int r) { return _itoa(v, b, r); }
char* ltoa(long v, char* b, int r) { return _ltoa(v, b, r); }

}  // extern "C"
