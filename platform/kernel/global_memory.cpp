// GlobalAlloc family. A GMEM_FIXED block's handle is its data pointer (as on
// Windows, callers may use it directly); a GMEM_MOVEABLE block's handle is the
// address of its bookkeeping record and its data is reached with GlobalLock.
// Every handle is looked up in a table before use, so a bad one is refused.
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "winbase.h"

namespace {

struct Block {
    bool moveable = false;
    void* data = nullptr;  // malloc'd, at least one byte
    SIZE_T size = 0;
    UINT locks = 0;        // moveable blocks only
};

struct GlobalTable {
    std::mutex mutex;
    std::unordered_map<uintptr_t, std::unique_ptr<Block>> blocks;  // key: handle
};

GlobalTable& table() {
    static GlobalTable* t = new GlobalTable;
    return *t;
}

// Larger requests fail outright instead of reaching the allocator.
constexpr SIZE_T kMaxBlock = SIZE_T(1) << 40;

uintptr_t key(HGLOBAL h) { return reinterpret_cast<uintptr_t>(h); }

// The block behind a handle; an unknown handle sets ERROR_INVALID_HANDLE.
Block* find(GlobalTable& t, HGLOBAL h) {
    auto it = t.blocks.find(key(h));
    if (it == t.blocks.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return it->second.get();
}

}  // namespace

HGLOBAL WINAPI GlobalAlloc(UINT uFlags, SIZE_T dwBytes) {
    if (dwBytes > kMaxBlock) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    auto block = std::make_unique<Block>();
    block->moveable = (uFlags & GMEM_MOVEABLE) != 0;
    block->size = dwBytes;
    block->data = (uFlags & GMEM_ZEROINIT) ? std::calloc(dwBytes ? dwBytes : 1, 1) : std::malloc(dwBytes ? dwBytes : 1);
    if (!block->data) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    HGLOBAL h = block->moveable ? static_cast<HGLOBAL>(block.get()) : static_cast<HGLOBAL>(block->data);
    GlobalTable& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    t.blocks.emplace(key(h), std::move(block));
    return h;
}

// Returns NULL on success and the handle on failure.
HGLOBAL WINAPI GlobalFree(HGLOBAL hMem) {
    GlobalTable& t = table();
    std::unique_ptr<Block> block;
    {
        std::lock_guard<std::mutex> lock(t.mutex);
        auto it = t.blocks.find(key(hMem));
        if (it == t.blocks.end()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return hMem;
        }
        block = std::move(it->second);
        t.blocks.erase(it);
    }
    std::free(block->data);
    return nullptr;
}

LPVOID WINAPI GlobalLock(HGLOBAL hMem) {
    GlobalTable& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    Block* b = find(t, hMem);
    if (!b) return nullptr;
    if (b->moveable && b->locks < GMEM_LOCKCOUNT) ++b->locks;
    return b->data;
}

// Nonzero while a moveable block stays locked; zero with ERROR_SUCCESS when
// the last lock went, zero with ERROR_NOT_LOCKED if it was not locked.
BOOL WINAPI GlobalUnlock(HGLOBAL hMem) {
    GlobalTable& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    Block* b = find(t, hMem);
    if (!b) return FALSE;
    if (!b->moveable) return TRUE;
    if (b->locks == 0) {
        SetLastError(ERROR_NOT_LOCKED);
        return FALSE;
    }
    if (--b->locks == 0) {
        SetLastError(ERROR_SUCCESS);
        return FALSE;
    }
    return TRUE;
}

SIZE_T WINAPI GlobalSize(HGLOBAL hMem) {
    GlobalTable& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    Block* b = find(t, hMem);
    if (!b) return 0;
    return b->size;
}

UINT WINAPI GlobalFlags(HGLOBAL hMem) {
    GlobalTable& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    Block* b = find(t, hMem);
    if (!b) return GMEM_INVALID_HANDLE;
    return b->locks & GMEM_LOCKCOUNT;
}

HGLOBAL WINAPI GlobalHandle(LPCVOID pMem) {
    GlobalTable& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    for (auto& [h, b] : t.blocks)
        if (b->data == pMem) return reinterpret_cast<HGLOBAL>(h);
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
}

// Resizes a block. A fixed block may move (and so get a new handle) only
// with GMEM_MOVEABLE; a locked moveable block likewise. GMEM_ZEROINIT clears
// the added bytes. GMEM_MODIFY (changing flags only) is accepted and ignored.
HGLOBAL WINAPI GlobalReAlloc(HGLOBAL hMem, SIZE_T dwBytes, UINT uFlags) {
    GlobalTable& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    auto it = t.blocks.find(key(hMem));
    if (it == t.blocks.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    Block* b = it->second.get();
    if (uFlags & GMEM_MODIFY) return hMem;
    SIZE_T old_size = b->size;
    if (dwBytes <= old_size) {  // shrinking stays in place
        b->size = dwBytes;
        return hMem;
    }
    bool may_move = (b->moveable && b->locks == 0) || (uFlags & GMEM_MOVEABLE);
    if (!may_move || dwBytes > kMaxBlock) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    void* data = std::realloc(b->data, dwBytes);
    if (!data) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (uFlags & GMEM_ZEROINIT) std::memset(static_cast<char*>(data) + old_size, 0, dwBytes - old_size);
    b->data = data;
    b->size = dwBytes;
    if (b->moveable) return hMem;
    // A fixed block's handle is its address: re-key it.
    std::unique_ptr<Block> owned = std::move(it->second);
    t.blocks.erase(it);
    HGLOBAL h = static_cast<HGLOBAL>(data);
    t.blocks.emplace(key(h), std::move(owned));
    return h;
}
