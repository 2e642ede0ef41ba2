// snapshot.cpp — "--png FILE": the headless backend where there is one, and
// the back buffer saved through the layer's own picture encoders.
#include "snapshot.h"

#include <graphics.h>

#include <cstring>

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
    if (!GetImageBuffer(NULL)) return false;
    saveimage(path);  // the encoder is chosen by the extension, e.g. ".png"
    // saveimage reports nothing; the file being there is the result.
    HANDLE f = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD size = GetFileSize(f, NULL);
    CloseHandle(f);
    return size != INVALID_FILE_SIZE && size > 0;
}

}  // namespace snapshot
