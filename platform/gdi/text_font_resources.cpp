// text_font_resources.cpp — AddFontResourceEx / RemoveFontResourceEx and the
// forms without flags: a program's own font files, for this process only.
// Narrow names are code page 936, wide names Unicode; both become UTF-8 file
// names. The font engine keeps the table (and its lock).
#include <string>

#include "codepage.h"
#include "font_engine.h"
#include "windows.h"

namespace {

constexpr DWORD kKnownFlags = FR_PRIVATE | FR_NOT_ENUM;

std::string native_of(LPCSTR name) {
    bool ascii = true;
    for (const char* p = name; *p; ++p) ascii = ascii && static_cast<unsigned char>(*p) < 0x80;
    return ascii ? std::string(name) : plat::codepage::cp936_to_utf8(name, -1);
}

std::string native_of(LPCWSTR name) {
    std::string out;
    for (const WCHAR* p = name; *p; ++p) plat::codepage::append_utf8(out, char32_t(*p));
    return out;
}

// The checks both forms share; the reserved pointer must be null.
bool valid_call(const void* name, DWORD fl, PVOID reserved) {
    if (!name || (fl & ~kKnownFlags) || reserved) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    return true;
}

int add(const std::string& native, DWORD fl) {
    if (native.empty()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    int n = plat::text::add_font_file(native, (fl & FR_PRIVATE) != 0);
    if (n == 0) SetLastError(ERROR_FILE_NOT_FOUND);
    return n;
}

BOOL remove(const std::string& native, DWORD fl) {
    if (plat::text::remove_font_file(native, (fl & FR_PRIVATE) != 0)) return TRUE;
    SetLastError(ERROR_FILE_NOT_FOUND);
    return FALSE;
}

}  // namespace

int WINAPI AddFontResourceExA(LPCSTR name, DWORD fl, PVOID res) {
    return valid_call(name, fl, res) ? add(native_of(name), fl) : 0;
}

BOOL WINAPI RemoveFontResourceExA(LPCSTR name, DWORD fl, PVOID pdv) {
    return valid_call(name, fl, pdv) ? remove(native_of(name), fl) : FALSE;
}

int WINAPI AddFontResourceA(LPCSTR name) { return AddFontResourceExA(name, 0, nullptr); }

BOOL WINAPI RemoveFontResourceA(LPCSTR name) { return RemoveFontResourceExA(name, 0, nullptr); }

int WINAPI AddFontResourceExW(LPCWSTR name, DWORD fl, PVOID res) {
    return valid_call(name, fl, res) ? add(native_of(name), fl) : 0;
}

BOOL WINAPI RemoveFontResourceExW(LPCWSTR name, DWORD fl, PVOID pdv) {
    return valid_call(name, fl, pdv) ? remove(native_of(name), fl) : FALSE;
}

int WINAPI AddFontResourceW(LPCWSTR name) { return AddFontResourceExW(name, 0, nullptr); }

BOOL WINAPI RemoveFontResourceW(LPCWSTR name) { return RemoveFontResourceExW(name, 0, nullptr); }
