// strings.cpp — MultiByteToWideChar, WideCharToMultiByte and IsDBCSLeadByte
// for the process code page (936) and UTF-8. A wide character here is one
// Unicode code point (wchar_t is 32 bits on Linux). Undecodable bytes become
// U+FFFD, or fail the call with MB_ERR_INVALID_CHARS; characters with no
// form in code page 936 become the default character.
#include <cstring>
#include <string>

#include "codepage.h"
#include "winbase.h"

namespace {

std::u32string decode_utf8(const char* s, int n, bool* bad) {
    std::u32string out;
    const auto* p = reinterpret_cast<const unsigned char*>(s);
    int i = 0;
    while (i < n) {
        unsigned c = p[i];
        int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        char32_t cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
        bool ok = len > 0 && i + len <= n;
        for (int k = 1; ok && k < len; ++k) {
            ok = (p[i + k] & 0xC0) == 0x80;
            cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        static const char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
        ok = ok && cp >= kMin[len] && cp <= 0x10FFFF && !(cp >= 0xD800 && cp < 0xE000);
        if (!ok) {
            *bad = true;
            out += U'\xFFFD';
            ++i;
            continue;
        }
        out += cp;
        i += len;
    }
    return out;
}

}  // namespace

int WINAPI MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR src, int cb, LPWSTR dst, int cch) {
    if (!src || cb == 0 || cch < 0 || (cch > 0 && !dst)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const int n = cb < 0 ? int(std::strlen(src)) + 1 : cb;  // -1: through the terminating zero
    bool bad = false;
    std::u32string wide;
    if (CodePage == CP_UTF8) {
        wide = decode_utf8(src, n, &bad);
    } else if (CodePage == CP_ACP || CodePage == CP_OEMCP || CodePage == 936) {
        wide = plat::codepage::decode_936(src, n);
        bad = wide.find(U'\xFFFD') != std::u32string::npos;
    } else {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (bad && (dwFlags & MB_ERR_INVALID_CHARS)) {
        SetLastError(ERROR_NO_UNICODE_TRANSLATION);
        return 0;
    }
    if (cch == 0) return int(wide.size());  // the size needed
    if (int(wide.size()) > cch) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    for (size_t i = 0; i < wide.size(); ++i) dst[i] = WCHAR(wide[i]);
    return int(wide.size());
}

int WINAPI WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR src, int cch, LPSTR dst, int cb,
                               LPCSTR lpDefaultChar, LPBOOL lpUsedDefaultChar) {
    (void)dwFlags;
    if (!src || cch == 0 || cb < 0 || (cb > 0 && !dst)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const bool utf8 = CodePage == CP_UTF8;
    if (!utf8 && CodePage != CP_ACP && CodePage != CP_OEMCP && CodePage != 936) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    // UTF-8 has a form for every character: a default character is refused.
    if (utf8 && (lpDefaultChar || lpUsedDefaultChar)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::size_t n = 0;
    if (cch < 0) {
        while (src[n]) ++n;
        ++n;  // through the terminating zero
    } else {
        n = std::size_t(cch);
    }
    std::u32string cps(n, U'\0');
    for (std::size_t i = 0; i < n; ++i) cps[i] = char32_t(src[i]);
    std::string out;
    bool used = false;
    if (utf8) {
        out = plat::codepage::utf8_of(cps.data(), cps.size());
    } else {
        out = plat::codepage::encode_936(cps.data(), cps.size(), lpDefaultChar ? lpDefaultChar[0] : '?', &used);
    }
    if (lpUsedDefaultChar) *lpUsedDefaultChar = used ? TRUE : FALSE;
    if (cb == 0) return int(out.size());  // the size needed
    if (int(out.size()) > cb) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(dst, out.data(), out.size());
    return int(out.size());
}

BOOL WINAPI IsDBCSLeadByte(BYTE TestChar) { return plat::codepage::is_lead_byte(TestChar) ? TRUE : FALSE; }
