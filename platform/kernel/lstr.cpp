// lstr.cpp — the kernel's string calls (lstrlen, lstrcpy, lstrcpyn, lstrcat,
// lstrcmp, lstrcmpi), narrow (code page 936 bytes) and wide. A null string
// has length 0, sorts before every string (even the empty one) and makes the
// copies return NULL, where Windows would catch the fault the same way. The
// comparisons order as Windows' word sort does for ASCII: letters compare
// without regard to case first, and when two strings differ only in case a
// lower-case letter sorts before its upper-case form; the result is -1, 0 or 1.
#include <cwchar>
#include <type_traits>
#include <cstring>

#include "winbase.h"

namespace {

template <typename C>
int fold(C c) { return (c >= 'A' && c <= 'Z') ? int(c) + ('a' - 'A') : int(c); }

template <typename C>
int compare(const C* a, const C* b, bool ignore_case) {
    if (!a || !b) return (a ? 1 : 0) - (b ? 1 : 0);
    int tie = 0;  // the first difference in case only
    for (size_t i = 0;; ++i) {
        int fa = fold(a[i]), fb = fold(b[i]);
        if (fa != fb) {
            using U = typename std::conditional<sizeof(C) == 1, unsigned char, unsigned>::type;
            int ua = a[i] == 0 ? -1 : int(U(fold(a[i]))), ub = b[i] == 0 ? -1 : int(U(fold(b[i])));
            return ua < ub ? -1 : 1;
        }
        if (a[i] == 0) break;
        if (!tie && a[i] != b[i]) tie = (a[i] >= 'a' && a[i] <= 'z') ? -1 : 1;
    }
    return ignore_case ? 0 : tie;
}

template <typename C>
int length(const C* s) {
    if (!s) return 0;
    int n = 0;
    while (s[n]) ++n;
    return n;
}

template <typename C>
C* copy_at_most(C* dest, const C* src, int count) {  // lstrcpyn: count includes the terminator
    if (!dest || !src || count <= 0) return count == 0 ? dest : nullptr;
    int i = 0;
    for (; i < count - 1 && src[i]; ++i) dest[i] = src[i];
    dest[i] = 0;
    return dest;
}

}  // namespace

int WINAPI lstrlenA(LPCSTR s) { return length(s); }
int WINAPI lstrlenW(LPCWSTR s) { return length(s); }

LPSTR WINAPI lstrcpyA(LPSTR dest, LPCSTR src) {
    if (!dest || !src) return nullptr;
    return std::strcpy(dest, src);
}
LPWSTR WINAPI lstrcpyW(LPWSTR dest, LPCWSTR src) {
    if (!dest || !src) return nullptr;
    return std::wcscpy(dest, src);
}

LPSTR WINAPI lstrcpynA(LPSTR dest, LPCSTR src, int count) { return copy_at_most(dest, src, count); }
LPWSTR WINAPI lstrcpynW(LPWSTR dest, LPCWSTR src, int count) { return copy_at_most(dest, src, count); }

LPSTR WINAPI lstrcatA(LPSTR dest, LPCSTR src) {
    if (!dest || !src) return nullptr;
    return std::strcat(dest, src);
}
LPWSTR WINAPI lstrcatW(LPWSTR dest, LPCWSTR src) {
    if (!dest || !src) return nullptr;
    return std::wcscat(dest, src);
}

int WINAPI lstrcmpA(LPCSTR a, LPCSTR b) { return compare(a, b, false); }
int WINAPI lstrcmpW(LPCWSTR a, LPCWSTR b) { return compare(a, b, false); }
int WINAPI lstrcmpiA(LPCSTR a, LPCSTR b) { return compare(a, b, true); }
int WINAPI lstrcmpiW(LPCWSTR a, LPCWSTR b) { return compare(a, b, true); }
