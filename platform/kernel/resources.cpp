// resources.cpp — FindResourceA / LoadResource / SizeofResource /
// LockResource over the table the program fills with plat::add_resource
// (see platform/resources.h). Only the program's own module has resources.
#include <cctype>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "platform/resources.h"
#include "winbase.h"

namespace {

struct Resource {
    std::string type, name;  // upper case, integer identifiers as "#n"
    const void* data;
    std::size_t size;
};

struct Table {
    std::mutex mu;
    std::vector<Resource*> items;  // never freed: HRSRC and HGLOBAL point at them
};

Table& table() {
    static Table* t = new Table;
    return *t;
}

// The canonical form of a name or type argument.
std::string key(const char* s) {
    if (IS_INTRESOURCE(s)) return "#" + std::to_string(static_cast<unsigned>(reinterpret_cast<uintptr_t>(s)));
    std::string k(s);
    for (char& c : k) c = char(std::toupper(static_cast<unsigned char>(c)));
    if (k.size() > 1 && k[0] == '#') {  // "#0010" is identifier 10
        bool digits = true;
        for (size_t i = 1; i < k.size(); ++i) digits = digits && std::isdigit(static_cast<unsigned char>(k[i]));
        if (digits && k.size() < 8) k = "#" + std::to_string(std::stoul(k.substr(1)) & 0xFFFF);
    }
    return k;
}

Resource* find(HRSRC h) {
    Table& t = table();
    std::lock_guard<std::mutex> lock(t.mu);
    for (Resource* r : t.items)
        if (reinterpret_cast<HRSRC>(r) == h) return r;
    return nullptr;
}

bool own_module(HMODULE m) { return !m || m == GetModuleHandleA(nullptr); }

}  // namespace

namespace plat {
void add_resource(const char* type, const char* name, const void* data, std::size_t size) {
    if (!type || !name || (!data && size)) return;
    Table& t = table();
    std::lock_guard<std::mutex> lock(t.mu);
    const std::string ty = key(type), nm = key(name);
    for (Resource* r : t.items)
        if (r->type == ty && r->name == nm) {
            r->data = data;
            r->size = size;
            return;
        }
    t.items.push_back(new Resource{ty, nm, data, size});
}
}  // namespace plat

HRSRC WINAPI FindResourceA(HMODULE hModule, LPCSTR lpName, LPCSTR lpType) {
    if (!lpName || !lpType || !own_module(hModule)) {
        SetLastError(lpName && lpType ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const std::string ty = key(lpType), nm = key(lpName);
    Table& t = table();
    std::lock_guard<std::mutex> lock(t.mu);
    for (Resource* r : t.items)
        if (r->type == ty && r->name == nm) return reinterpret_cast<HRSRC>(r);
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
}

// The "loaded" resource is the registration itself; LockResource gives its bytes.
HGLOBAL WINAPI LoadResource(HMODULE hModule, HRSRC hResInfo) {
    if (!own_module(hModule) || !find(hResInfo)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return reinterpret_cast<HGLOBAL>(hResInfo);
}

DWORD WINAPI SizeofResource(HMODULE hModule, HRSRC hResInfo) {
    Resource* r = own_module(hModule) ? find(hResInfo) : nullptr;
    if (!r) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return r->size > 0xFFFFFFFFu ? 0xFFFFFFFFu : DWORD(r->size);
}

LPVOID WINAPI LockResource(HGLOBAL hResData) {
    Resource* r = find(reinterpret_cast<HRSRC>(hResData));
    return r ? const_cast<void*>(r->data) : nullptr;
}

BOOL WINAPI FreeResource(HGLOBAL) { return FALSE; }  // nothing to free, as on 32- and 64-bit Windows
