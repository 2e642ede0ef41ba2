// snapshot.cpp — "--png FILE": the headless backend where there is one, and
// the back buffer written through the PNG encoder.
#include "snapshot.h"

#include <graphics.h>

#include <cstring>

#include "png_writer.h"
#ifndef _WIN32
#include "platform/headless.h"
#endif

namespace snapshot {

const char* Requested(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--png") != 0) continue;
#ifndef _WIN32
        headless::Use(/*virtual_clock=*/false);
#endif
        return argv[i + 1];
    }
    return nullptr;
}

bool SaveWindow(const char* path) {
    const DWORD* pixels = GetImageBuffer(NULL);
    if (!pixels) return false;
    static_assert(sizeof(DWORD) == sizeof(uint32_t), "32-bit pixels");
    return WritePng(path, reinterpret_cast<const uint32_t*>(pixels), getwidth(), getheight());
}

}  // namespace snapshot
