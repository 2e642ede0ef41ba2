// module_exports.h — the export tables behind LoadLibraryA / GetProcAddress.
//
// The stand-in has no shared libraries to load: each emulated DLL ("gdi32.dll",
// "gdiplus.dll", "ole32.dll") is a static table of {name, entry point} pairs
// that its module defines. LoadLibraryA matches the file name case-insensitively
// (with or without the ".dll" suffix) and returns a pseudo module handle;
// GetProcAddress looks the name up in that table.
#pragma once

#include <cstddef>

namespace plat {

struct ExportEntry {
    const char* name;
    void* proc;  // the function, cast to void*
};

struct ExportTable {
    const char* dll_name;  // lower case, e.g. "gdi32.dll"
    const ExportEntry* entries;
    std::size_t count;
};

// Defined by the gdi/, gdiplus/ and ole/ modules respectively.
extern const ExportTable gdi32_exports;
extern const ExportTable msimg32_exports;  // defined by gdi/ too
extern const ExportTable gdiplus_exports;
extern const ExportTable ole32_exports;

}  // namespace plat

#define PLAT_EXPORT(fn) { #fn, reinterpret_cast<void*>(&fn) }
