// global_memory.cpp — GlobalMemory: a picture file or resource in a movable
// global block.
#include <cstring>

#include "image_func.h"

namespace Glint {

void GlobalMemory::Clear() {
    if (handle) GlobalFree(handle);
    handle = nullptr;
    size = 0;
}

bool GlobalMemory::LoadFile(LPCSTR fileName) {
    Clear();
    if (!fileName) return false;
    return ReadWhole(CreateFileA(fileName, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, NULL));
}

bool GlobalMemory::LoadFile(LPCWSTR fileName) {
    Clear();
    if (!fileName) return false;
    return ReadWhole(CreateFileW(fileName, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, NULL));
}

// Reads the whole open file (closing it) into the block.
bool GlobalMemory::ReadWhole(HANDLE file) {
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD high = 0;
    const DWORD bytes = GetFileSize(file, &high);
    // A file of 4 GiB or more is no picture; its size would not fit the block size.
    bool ok = high == 0 && bytes != INVALID_FILE_SIZE;
    HGLOBAL block = ok ? GlobalAlloc(GMEM_MOVEABLE, bytes) : NULL;
    if (block) {
        void* p = GlobalLock(block);
        DWORD got = 0;
        ok = p && ReadFile(file, p, bytes, &got, NULL) && got == bytes;  // a short read is a failure
        GlobalUnlock(block);
    }
    CloseHandle(file);
    if (!block || !ok) {
        if (block) GlobalFree(block);
        return false;
    }
    handle = block;
    size = bytes;
    return true;
}

bool GlobalMemory::LoadFile(LPCSTR type, LPCSTR name) {
    Clear();
    HMODULE module = GetModuleHandleA(NULL);
    HRSRC res = FindResourceA(module, name, type);
    if (!res) return false;
    const DWORD bytes = SizeofResource(module, res);
    HGLOBAL loaded = LoadResource(module, res);
    const void* data = loaded ? LockResource(loaded) : NULL;
    if (!data) return false;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!block) return false;
    void* p = GlobalLock(block);
    if (p && bytes) std::memcpy(p, data, bytes);
    GlobalUnlock(block);
    handle = block;
    size = bytes;
    return true;
}

}  // namespace Glint
