// platform/resources.h — program resources on Linux (not part of Win32).
//
// Windows programs carry resources linked into the executable; here a
// program registers them before main runs. The CMake function
// lv_add_resources (cmake/Resources.cmake) does it: it embeds files into the
// program at build time and generates one registration per file, so
//
//   lv_add_resources(viewer TYPE PNG NAME LOGO FILE logo.png)
//
// makes FindResourceA(NULL, "LOGO", "PNG") find the bytes of logo.png.
// Names and types are matched without regard to ASCII case, and "#n" matches
// the integer identifier n (MAKEINTRESOURCE(n)), as on Windows.
#pragma once

#include <cstddef>

namespace plat {

// Registers `size` bytes at `data` (not copied; they must live for the whole
// program) under a type and a name of the program's own module. A second
// registration of the same type and name replaces the first.
void add_resource(const char* type, const char* name, const void* data, std::size_t size);

}  // namespace plat
