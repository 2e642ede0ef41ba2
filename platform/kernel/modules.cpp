// Modules: the executable's own file name, and LoadLibraryA / GetProcAddress
// over the static export tables of the emulated DLLs (module_exports.h).
// Module handles are the addresses of private tags in this file and are only
// ever compared, never dereferenced.
#include <unistd.h>

#include <cctype>
#include <cstring>
#include <mutex>
#include <string>

#include "codepage.h"
#include "module_exports.h"
#include "winbase.h"

namespace {

struct ModuleSlot {
    const plat::ExportTable* table;
    char tag;   // its address is the module handle
    int refs;   // LoadLibraryA calls not yet matched by FreeLibrary
};

std::mutex g_modules_mutex;
ModuleSlot g_modules[] = {
    {&plat::gdi32_exports, 0, 0},
    {&plat::msimg32_exports, 0, 0},
    {&plat::gdiplus_exports, 0, 0},
    {&plat::ole32_exports, 0, 0},
};
char g_exe_tag;  // GetModuleHandleA(NULL)

HMODULE handle_of(ModuleSlot& m) { return reinterpret_cast<HMODULE>(&m.tag); }

std::string lower(const char* s) {
    std::string r(s);
    for (char& c : r) c = char(std::tolower(static_cast<unsigned char>(c)));
    return r;
}

// "C:\\Windows\\System32\\GDI32.DLL", "gdi32", "gdi32.dll" all name gdi32.dll.
ModuleSlot* find_by_name(const char* name) {
    std::string n = lower(name);
    size_t slash = n.find_last_of("\\/");
    if (slash != std::string::npos) n.erase(0, slash + 1);
    for (ModuleSlot& m : g_modules) {
        if (!m.table->dll_name) continue;
        std::string dll = lower(m.table->dll_name);
        std::string stem = dll.size() > 4 && dll.compare(dll.size() - 4, 4, ".dll") == 0 ? dll.substr(0, dll.size() - 4) : dll;
        if (n == dll || n == stem) return &m;
    }
    return nullptr;
}

ModuleSlot* find_by_handle(HMODULE h) {
    for (ModuleSlot& m : g_modules)
        if (handle_of(m) == h) return &m;
    return nullptr;
}

bool is_ascii(const std::string& s) {
    for (unsigned char c : s)
        if (c >= 0x80) return false;
    return true;
}

}  // namespace

// The path is reported in the process code page (936), truncated like
// Windows: a short buffer gets nSize - 1 characters and the terminator, the
// result is nSize and the last error ERROR_INSUFFICIENT_BUFFER.
DWORD WINAPI GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize) {
    std::string path;
    if (!hModule || hModule == reinterpret_cast<HMODULE>(&g_exe_tag)) {
        char buf[4096];
        ssize_t n = readlink("/proc/self/exe", buf, sizeof(buf) - 1);
        if (n <= 0) {
            SetLastError(ERROR_FILE_NOT_FOUND);
            return 0;
        }
        path.assign(buf, size_t(n));
        if (!is_ascii(path)) path = plat::codepage::utf8_to_936(path);
    } else {
        std::lock_guard<std::mutex> lock(g_modules_mutex);
        ModuleSlot* m = find_by_handle(hModule);
        if (!m || m->refs == 0) {
            SetLastError(ERROR_MOD_NOT_FOUND);
            return 0;
        }
        path = m->table->dll_name;
    }
    if (!lpFilename || nSize == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    if (path.size() < nSize) {
        std::memcpy(lpFilename, path.c_str(), path.size() + 1);
        SetLastError(ERROR_SUCCESS);
        return DWORD(path.size());
    }
    std::memcpy(lpFilename, path.data(), nSize - 1);
    lpFilename[nSize - 1] = '\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return nSize;
}

HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName) {
    if (!lpModuleName) return reinterpret_cast<HMODULE>(&g_exe_tag);
    std::lock_guard<std::mutex> lock(g_modules_mutex);
    ModuleSlot* m = find_by_name(lpModuleName);
    if (!m || m->refs == 0) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return handle_of(*m);
}

HMODULE WINAPI LoadLibraryA(LPCSTR lpLibFileName) {
    if (!lpLibFileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::lock_guard<std::mutex> lock(g_modules_mutex);
    ModuleSlot* m = find_by_name(lpLibFileName);
    if (!m) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    ++m->refs;
    return handle_of(*m);
}

BOOL WINAPI FreeLibrary(HMODULE hLibModule) {
    std::lock_guard<std::mutex> lock(g_modules_mutex);
    ModuleSlot* m = find_by_handle(hLibModule);
    if (!m || m->refs == 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    --m->refs;
    return TRUE;
}

// Export names are matched exactly, as Windows does; ordinals are not
// supported (the tables have none).
FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName) {
    if (!lpProcName || (reinterpret_cast<uintptr_t>(lpProcName) >> 16) == 0) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    std::lock_guard<std::mutex> lock(g_modules_mutex);
    ModuleSlot* m = find_by_handle(hModule);
    if (!m || m->refs == 0) {
        SetLastError(hModule == reinterpret_cast<HMODULE>(&g_exe_tag) ? ERROR_PROC_NOT_FOUND : ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    for (std::size_t i = 0; i < m->table->count; ++i) {
        const plat::ExportEntry& e = m->table->entries[i];
        if (e.name && std::strcmp(e.name, lpProcName) == 0) return reinterpret_cast<FARPROC>(e.proc);
    }
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
}
