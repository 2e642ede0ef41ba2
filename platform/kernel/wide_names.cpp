// wide_names.cpp — the W forms of the module and resource calls a Unicode
// program reaches through the unsuffixed names (GetModuleHandle(NULL),
// LoadLibrary, FindResource with MAKEINTRESOURCE): names are converted to
// code page 936 and take the narrow path; integer identifiers pass unchanged.
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
