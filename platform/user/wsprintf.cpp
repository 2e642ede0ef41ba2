// wsprintf.cpp — wsprintfA/W and wvsprintfA/W, USER's small formatter.
//
// %[-][#][0][width][.precision][h|l|I64]type with the types c C d i u x X s S
// and %% (no floating point, no '*' widths). Argument sizes are Windows':
// d/i/u/x with no prefix, 'h' or 'l' read 32 bits ('h' then keeps 16 of
// them), "I64" reads 64. For the A functions %s and %c are narrow and %S and
// %C wide; the W functions the other way round; 'h' forces narrow and 'l'
// wide. A null string prints "(null)". The output stops at 1023 characters
// plus the terminating zero (a 1024-character buffer, as on Windows); the
// count returned leaves the zero out. An unknown type prints its letter.
#include <string>

#include "codepage.h"
#include "windows.h"

namespace {

constexpr size_t kMaxOut = 1023;

template <typename Ch>
struct Out {
    Ch* p;
    size_t n = 0;
    void put(Ch c) {
        if (n < kMaxOut) p[n++] = c;
    }
    void put_n(Ch c, int count) {
        for (int i = 0; i < count; ++i) put(c);
    }
};

std::wstring wide_of(const char* s) {
    std::u32string cps = plat::codepage::decode_936(s, -1);
    return std::wstring(cps.begin(), cps.end());
}

std::string narrow_of(const wchar_t* s) {
    std::u32string cps;
    for (; *s; ++s) cps += char32_t(*s);
    return plat::codepage::utf8_to_936(plat::codepage::utf8_of(cps.data(), cps.size()));
}

// Text of the other width, in this width's characters.
template <typename Ch>
std::basic_string<Ch> convert(const void* s, bool wide);
template <>
std::string convert<char>(const void* s, bool wide) {
    return wide ? narrow_of(static_cast<const wchar_t*>(s)) : std::string(static_cast<const char*>(s));
}
template <>
std::wstring convert<wchar_t>(const void* s, bool wide) {
    return wide ? std::wstring(static_cast<const wchar_t*>(s)) : wide_of(static_cast<const char*>(s));
}

template <typename Ch>
int format(Ch* out_buf, const Ch* fmt, va_list ap) {
    Out<Ch> out{out_buf};
    const bool own_wide = sizeof(Ch) != 1;
    while (*fmt) {
        if (*fmt != '%') {
            out.put(*fmt++);
            continue;
        }
        ++fmt;
        bool left = false, alt = false, zero = false;
        for (;; ++fmt) {
            if (*fmt == '-') left = true;
            else if (*fmt == '#') alt = true;
            else if (*fmt == '0') zero = true;
            else break;
        }
        int width = 0, precision = -1;
        while (*fmt >= '0' && *fmt <= '9') width = width * 10 + int(*fmt++ - '0');
        if (*fmt == '.') {
            ++fmt;
            precision = 0;
            while (*fmt >= '0' && *fmt <= '9') precision = precision * 10 + int(*fmt++ - '0');
        }
        enum { kNone, kShort, kLong, kI64 } size = kNone;
        if (*fmt == 'h') size = kShort, ++fmt;
        else if (*fmt == 'l') size = kLong, ++fmt;
        else if (fmt[0] == 'I' && fmt[1] == '6' && fmt[2] == '4') size = kI64, fmt += 3;
        const Ch type = *fmt;
        if (!type) break;
        ++fmt;

        std::basic_string<Ch> body, prefix;
        bool numeric = false;
        switch (type) {
            case '%': out.put('%'); continue;
            case 'c':
            case 'C': {
                bool wide = size == kLong || (size != kShort && ((type == 'c') == own_wide));
                int c = va_arg(ap, int);
                if (wide == own_wide) body = std::basic_string<Ch>(1, Ch(c));
                else if (wide) { wchar_t w[2] = {wchar_t(c), 0}; body = convert<Ch>(w, true); }
                else { char a[2] = {char(c), 0}; body = convert<Ch>(a, false); }
                break;
            }
            case 's':
            case 'S': {
                bool wide = size == kLong || (size != kShort && ((type == 's') == own_wide));
                const void* s = va_arg(ap, const void*);
                body = s ? convert<Ch>(s, wide) : convert<Ch>("(null)", false);
                if (precision >= 0 && body.size() > size_t(precision)) body.resize(size_t(precision));
                break;
            }
            case 'd':
            case 'i':
            case 'u':
            case 'x':
            case 'X': {
                numeric = true;
                unsigned long long v;
                bool negative = false;
                const bool is_signed = type == 'd' || type == 'i';
                if (size == kI64) {
                    long long s = va_arg(ap, long long);
                    negative = is_signed && s < 0;
                    v = negative ? 0ULL - (unsigned long long)s : (unsigned long long)s;
                } else {
                    int s = va_arg(ap, int);
                    if (size == kShort) s = is_signed ? int(short(s)) : int(static_cast<unsigned short>(s));
                    negative = is_signed && s < 0;
                    v = is_signed ? (negative ? 0ULL - (unsigned long long)(long long)s : (unsigned long long)s)
                                  : (unsigned long long)(unsigned)s;
                }
                const char* digits = type == 'X' ? "0123456789ABCDEF" : "0123456789abcdef";
                const unsigned base = (type == 'x' || type == 'X') ? 16 : 10;
                std::string d;
                do {
                    d.insert(d.begin(), digits[v % base]);
                    v /= base;
                } while (v);
                if (precision >= 0 && d.size() < size_t(precision)) d.insert(0, size_t(precision) - d.size(), '0');
                body.assign(d.begin(), d.end());
                if (negative) prefix = std::basic_string<Ch>(1, Ch('-'));
                if (alt && base == 16) prefix = {Ch('0'), Ch(type)};
                break;
            }
            default: out.put(type); continue;
        }
        int pad = width - int(body.size() + prefix.size());
        if (pad < 0) pad = 0;
        if (left) {
            for (Ch c : prefix) out.put(c);
            for (Ch c : body) out.put(c);
            out.put_n(' ', pad);
        } else if (zero && numeric) {
            for (Ch c : prefix) out.put(c);
            out.put_n('0', pad);
            for (Ch c : body) out.put(c);
        } else {
            out.put_n(' ', pad);
            for (Ch c : prefix) out.put(c);
            for (Ch c : body) out.put(c);
        }
    }
    out_buf[out.n] = 0;
    return int(out.n);
}

}  // namespace

int WINAPI wvsprintfA(LPSTR lpOut, LPCSTR lpFmt, va_list arglist) {
    if (!lpOut || !lpFmt) return -1;
    return format<char>(lpOut, lpFmt, arglist);
}

int WINAPI wvsprintfW(LPWSTR lpOut, LPCWSTR lpFmt, va_list arglist) {
    if (!lpOut || !lpFmt) return -1;
    return format<wchar_t>(lpOut, lpFmt, arglist);
}

int WINAPIV wsprintfA(LPSTR lpOut, LPCSTR lpFmt, ...) {
    va_list ap;
    va_start(ap, lpFmt);
    int n = wvsprintfA(lpOut, lpFmt, ap);
    va_end(ap);
    return n;
}

int WINAPIV wsprintfW(LPWSTR lpOut, LPCWSTR lpFmt, ...) {
    va_list ap;
    va_start(ap, lpFmt);
    int n = wvsprintfW(lpOut, lpFmt, ap);
    va_end(ap);
    return n;
}
