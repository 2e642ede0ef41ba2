// wide_names.cpp — the W forms of the module, resource and debug-output
// calls a Unicode program reaches through the unsuffixed names
// (GetModuleHandle(NULL), LoadLibrary, FindResource with MAKEINTRESOURCE,
// GetModuleFileName, OutputDebugString): names are converted to code page 936
// and take the narrow path; integer identifiers pass unchanged.
#include <algorithm>
#include <string>

#include "codepage.h"
#include "winbase.h"

namespace {

// A name or an integer identifier (MAKEINTRESOURCEW), as the narrow calls take it.
struct NarrowName {
    explicit NarrowName(LPCWSTR w) : wide(w) {
        if (w && !IS_INTRESOURCE(w)) text = plat::codepage::narrow_of(w, -1);
    }
    LPCSTR get() const {
        if (!wide) return nullptr;
        if (IS_INTRESOURCE(wide)) return reinterpret_cast<LPCSTR>(wide);
        return text.c_str();
    }
    LPCWSTR wide;
    std::string text;
};

}  // namespace

HMODULE WINAPI GetModuleHandleW(LPCWSTR lpModuleName) {
    return GetModuleHandleA(NarrowName(lpModuleName).get());
}

HMODULE WINAPI LoadLibraryW(LPCWSTR lpLibFileName) {
    return LoadLibraryA(NarrowName(lpLibFileName).get());
}

HRSRC WINAPI FindResourceW(HMODULE hModule, LPCWSTR lpName, LPCWSTR lpType) {
    return FindResourceA(hModule, NarrowName(lpName).get(), NarrowName(lpType).get());
}

// The file name in full, converted back to wide; truncated as the narrow call truncates.
DWORD WINAPI GetModuleFileNameW(HMODULE hModule, LPWSTR lpFilename, DWORD nSize) {
    char narrow[4096];
    DWORD n = GetModuleFileNameA(hModule, narrow, sizeof narrow);
    if (n == 0) return 0;
    const std::wstring wide = plat::codepage::wide_of(narrow, int(n));
    if (!lpFilename || nSize == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    const size_t fit = std::min<size_t>(wide.size(), nSize - 1);
    std::copy(wide.begin(), wide.begin() + fit, lpFilename);
    lpFilename[fit] = 0;
    if (wide.size() < nSize) {
        SetLastError(ERROR_SUCCESS);
        return DWORD(wide.size());
    }
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return nSize;
}

void WINAPI OutputDebugStringW(LPCWSTR lpOutputString) {
    if (!lpOutputString) return;
    OutputDebugStringA(plat::codepage::narrow_of(lpOutputString, -1).c_str());
}
