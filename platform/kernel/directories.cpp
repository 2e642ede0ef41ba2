// directories.cpp — file search (FindFirstFile / FindNextFile / FindClose),
// DeleteFile, CreateDirectory, RemoveDirectory, the current directory and
// GetFileAttributes, narrow (code page 936) and wide.
//
// A search reads its directory once, at FindFirstFile, and hands out the
// names that match in order (".", ".." first, then the names sorted ignoring
// case); the pattern's * and ? match ignoring ASCII case, as Windows' file
// names do, and "*.*" matches every name. Names are as CreateFile takes them
// (a backslash is part of a name, not a separator). Search handles are the
// address of the search, valid until FindClose.
//
// Locks: one mutex around the set of open searches.
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "codepage.h"
#include "kernel/kernel_internal.h"
#include "winbase.h"

namespace {

using plat::kernel::error_from_errno;
using plat::kernel::native_name;

struct Found {
    std::string name;  // UTF-8
    struct stat st;
};

struct Search {
    std::vector<Found> found;
    size_t next = 0;
};

std::mutex g_mu;
std::set<Search*> g_searches;

char lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

bool match(const char* p, const char* s) {
    for (; *p; ++p) {
        if (*p == '*') {
            while (p[1] == '*') ++p;
            if (!p[1]) return true;
            for (; *s; ++s)
                if (match(p + 1, s)) return true;
            return false;
        }
        if (!*s) return false;
        if (*p != '?' && lower(*p) != lower(*s)) return false;
        ++s;
    }
    return !*s;
}

bool less_ignoring_case(const Found& a, const Found& b) {
    const auto rank = [](const std::string& n) { return n == "." ? 0 : n == ".." ? 1 : 2; };
    if (rank(a.name) != rank(b.name)) return rank(a.name) < rank(b.name);
    return std::lexicographical_compare(a.name.begin(), a.name.end(), b.name.begin(), b.name.end(),
                                        [](char x, char y) { return lower(x) < lower(y); });
}

FILETIME filetime_of(const struct timespec& t) {
    // 100-ns intervals since 1601-01-01; the Unix epoch is 11644473600 s later.
    const unsigned long long v =
        (unsigned long long)(t.tv_sec + 11644473600LL) * 10000000ULL + (unsigned long long)t.tv_nsec / 100;
    return FILETIME{DWORD(v), DWORD(v >> 32)};
}

DWORD attributes_of(const std::string& name, const struct stat& st) {
    DWORD a = 0;
    if (S_ISDIR(st.st_mode)) a |= FILE_ATTRIBUTE_DIRECTORY;
    else a |= FILE_ATTRIBUTE_ARCHIVE;  // what Windows gives a file written since its last backup
    if (!(st.st_mode & S_IWUSR)) a |= FILE_ATTRIBUTE_READONLY;
    if (name.size() > 1 && name[0] == '.' && name != "..") a |= FILE_ATTRIBUTE_HIDDEN;
    return a;
}

// The data of a find result, with the name converted by `convert` into `out`'s MAX_PATH characters.
template <typename Data, typename Convert>
void fill(const Found& f, Data* out, Convert convert) {
    std::memset(out, 0, sizeof *out);
    out->dwFileAttributes = attributes_of(f.name, f.st);
    out->ftCreationTime = filetime_of(f.st.st_mtim);
    out->ftLastAccessTime = filetime_of(f.st.st_atim);
    out->ftLastWriteTime = filetime_of(f.st.st_mtim);
    const unsigned long long size = S_ISDIR(f.st.st_mode) ? 0 : (unsigned long long)f.st.st_size;
    out->nFileSizeHigh = DWORD(size >> 32);
    out->nFileSizeLow = DWORD(size);
    const auto name = convert(f.name);
    const size_t n = std::min<size_t>(name.size(), MAX_PATH - 1);
    std::copy(name.begin(), name.begin() + n, out->cFileName);
}

std::wstring wide_of_utf8(const std::string& s) {
    std::wstring w;
    for (size_t i = 0; i < s.size();) {
        const unsigned char b = s[i];
        const int len = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        char32_t cp = len == 1 ? b : b & (0x3F >> (len - 1));
        bool ok = i + len <= s.size() && (len > 1 || b < 0x80);
        for (int k = 1; ok && k < len; ++k) {
            const unsigned char c = s[i + k];
            ok = (c & 0xC0) == 0x80;
            cp = (cp << 6) | (c & 0x3F);
        }
        w.push_back(ok ? wchar_t(cp) : wchar_t(0xFFFD));
        i += ok ? len : 1;
    }
    return w;
}

std::string narrow_of_utf8(const std::string& s) {
    for (unsigned char c : s)
        if (c >= 0x80) return plat::codepage::utf8_to_936(s);
    return s;
}

// Reads the directory of `pattern` (UTF-8) and keeps the names that match.
HANDLE find_first(const std::string& pattern, Search** out) {
    const size_t slash = pattern.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : pattern.substr(0, slash);
    const std::string mask = slash == std::string::npos ? pattern : pattern.substr(slash + 1);
    if (mask.empty()) {  // "dir/" names no file
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    DIR* d = opendir(dir.c_str());
    if (!d) {
        SetLastError(errno == ENOENT || errno == ENOTDIR ? DWORD(ERROR_PATH_NOT_FOUND) : error_from_errno(errno));
        return INVALID_HANDLE_VALUE;
    }
    auto search = std::make_unique<Search>();
    const bool all = mask == "*.*";
    while (struct dirent* e = readdir(d)) {
        if (!all && !match(mask.c_str(), e->d_name)) continue;
        Found f;
        f.name = e->d_name;
        if (fstatat(dirfd(d), e->d_name, &f.st, 0) != 0 && fstatat(dirfd(d), e->d_name, &f.st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;  // gone since it was listed
        search->found.push_back(std::move(f));
    }
    closedir(d);
    if (search->found.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    std::sort(search->found.begin(), search->found.end(), less_ignoring_case);
    *out = search.get();
    std::lock_guard<std::mutex> lock(g_mu);
    g_searches.insert(search.get());
    SetLastError(ERROR_SUCCESS);
    return reinterpret_cast<HANDLE>(search.release());
}

// The next result of an open search, or null (error set).
const Found* find_next(HANDLE h) {
    std::lock_guard<std::mutex> lock(g_mu);
    Search* s = reinterpret_cast<Search*>(h);
    if (!g_searches.count(s)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (s->next >= s->found.size()) {
        SetLastError(ERROR_NO_MORE_FILES);
        return nullptr;
    }
    return &s->found[s->next++];
}

BOOL done(int rc) {
    if (rc == 0) return TRUE;
    SetLastError(error_from_errno(errno));
    return FALSE;
}

BOOL delete_file(const std::string& native) {
    struct stat st;
    if (lstat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return SetLastError(ERROR_ACCESS_DENIED), FALSE;
    return done(::unlink(native.c_str()));
}

BOOL create_directory(const std::string& native) {
    if (::mkdir(native.c_str(), 0777) == 0) return TRUE;
    SetLastError(errno == EEXIST ? DWORD(ERROR_ALREADY_EXISTS)
                 : errno == ENOENT ? DWORD(ERROR_PATH_NOT_FOUND)
                                   : error_from_errno(errno));
    return FALSE;
}

BOOL remove_directory(const std::string& native) {
    if (::rmdir(native.c_str()) == 0) return TRUE;
    SetLastError(errno == ENOTDIR ? DWORD(ERROR_DIRECTORY) : error_from_errno(errno));
    return FALSE;
}

DWORD file_attributes(const std::string& native) {
    struct stat st;
    if (::stat(native.c_str(), &st) != 0) {
        SetLastError(errno == ENOTDIR ? DWORD(ERROR_PATH_NOT_FOUND) : error_from_errno(errno));
        return INVALID_FILE_ATTRIBUTES;
    }
    const size_t slash = native.rfind('/');
    return attributes_of(slash == std::string::npos ? native : native.substr(slash + 1), st);
}

// GetCurrentDirectory's contract: the length without the terminator when it
// fits, else the size needed with it, and nothing written.
template <typename Char, typename Text>
DWORD copy_out(const Text& text, DWORD size, Char* buffer) {
    if (!buffer || size < text.size() + 1) return DWORD(text.size() + 1);
    std::copy(text.begin(), text.end(), buffer);
    buffer[text.size()] = 0;
    return DWORD(text.size());
}

std::string current_directory() {
    std::vector<char> buf(4096);
    while (!::getcwd(buf.data(), buf.size())) {
        if (errno != ERANGE) return std::string();
        buf.resize(buf.size() * 2);
    }
    return buf.data();
}

}  // namespace

HANDLE WINAPI FindFirstFileA(LPCSTR lpFileName, LPWIN32_FIND_DATAA data) {
    if (!lpFileName || !*lpFileName || !data) {
        SetLastError(!data ? ERROR_INVALID_PARAMETER : ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    Search* s = nullptr;
    HANDLE h = find_first(native_name(lpFileName), &s);
    if (h != INVALID_HANDLE_VALUE) fill(*find_next(h), data, narrow_of_utf8);
    return h;
}

HANDLE WINAPI FindFirstFileW(LPCWSTR lpFileName, LPWIN32_FIND_DATAW data) {
    if (!lpFileName || !*lpFileName || !data) {
        SetLastError(!data ? ERROR_INVALID_PARAMETER : ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    Search* s = nullptr;
    HANDLE h = find_first(native_name(lpFileName), &s);
    if (h != INVALID_HANDLE_VALUE) fill(*find_next(h), data, wide_of_utf8);
    return h;
}

BOOL WINAPI FindNextFileA(HANDLE hFindFile, LPWIN32_FIND_DATAA data) {
    const Found* f = data ? find_next(hFindFile) : (SetLastError(ERROR_INVALID_PARAMETER), nullptr);
    if (!f) return FALSE;
    fill(*f, data, narrow_of_utf8);
    return TRUE;
}

BOOL WINAPI FindNextFileW(HANDLE hFindFile, LPWIN32_FIND_DATAW data) {
    const Found* f = data ? find_next(hFindFile) : (SetLastError(ERROR_INVALID_PARAMETER), nullptr);
    if (!f) return FALSE;
    fill(*f, data, wide_of_utf8);
    return TRUE;
}

BOOL WINAPI FindClose(HANDLE hFindFile) {
    std::lock_guard<std::mutex> lock(g_mu);
    Search* s = reinterpret_cast<Search*>(hFindFile);
    if (!g_searches.erase(s)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    delete s;
    return TRUE;
}

BOOL WINAPI DeleteFileA(LPCSTR lpFileName) {
    if (!lpFileName) return SetLastError(ERROR_PATH_NOT_FOUND), FALSE;
    return delete_file(native_name(lpFileName));
}
BOOL WINAPI DeleteFileW(LPCWSTR lpFileName) {
    if (!lpFileName) return SetLastError(ERROR_PATH_NOT_FOUND), FALSE;
    return delete_file(native_name(lpFileName));
}

BOOL WINAPI CreateDirectoryA(LPCSTR lpPathName, LPSECURITY_ATTRIBUTES) {
    if (!lpPathName) return SetLastError(ERROR_PATH_NOT_FOUND), FALSE;
    return create_directory(native_name(lpPathName));
}
BOOL WINAPI CreateDirectoryW(LPCWSTR lpPathName, LPSECURITY_ATTRIBUTES) {
    if (!lpPathName) return SetLastError(ERROR_PATH_NOT_FOUND), FALSE;
    return create_directory(native_name(lpPathName));
}

BOOL WINAPI RemoveDirectoryA(LPCSTR lpPathName) {
    if (!lpPathName) return SetLastError(ERROR_PATH_NOT_FOUND), FALSE;
    return remove_directory(native_name(lpPathName));
}
BOOL WINAPI RemoveDirectoryW(LPCWSTR lpPathName) {
    if (!lpPathName) return SetLastError(ERROR_PATH_NOT_FOUND), FALSE;
    return remove_directory(native_name(lpPathName));
}

DWORD WINAPI GetCurrentDirectoryA(DWORD nBufferLength, LPSTR lpBuffer) {
    const std::string dir = current_directory();
    if (dir.empty()) return SetLastError(ERROR_PATH_NOT_FOUND), 0;
    return copy_out(narrow_of_utf8(dir), nBufferLength, lpBuffer);
}
DWORD WINAPI GetCurrentDirectoryW(DWORD nBufferLength, LPWSTR lpBuffer) {
    const std::string dir = current_directory();
    if (dir.empty()) return SetLastError(ERROR_PATH_NOT_FOUND), 0;
    return copy_out(wide_of_utf8(dir), nBufferLength, lpBuffer);
}

BOOL WINAPI SetCurrentDirectoryA(LPCSTR lpPathName) {
    if (!lpPathName) return SetLastError(ERROR_PATH_NOT_FOUND), FALSE;
    return done(::chdir(native_name(lpPathName).c_str()));
}
BOOL WINAPI SetCurrentDirectoryW(LPCWSTR lpPathName) {
    if (!lpPathName) return SetLastError(ERROR_PATH_NOT_FOUND), FALSE;
    return done(::chdir(native_name(lpPathName).c_str()));
}

DWORD WINAPI GetFileAttributesA(LPCSTR lpFileName) {
    if (!lpFileName) return SetLastError(ERROR_PATH_NOT_FOUND), INVALID_FILE_ATTRIBUTES;
    return file_attributes(native_name(lpFileName));
}
DWORD WINAPI GetFileAttributesW(LPCWSTR lpFileName) {
    if (!lpFileName) return SetLastError(ERROR_PATH_NOT_FOUND), INVALID_FILE_ATTRIBUTES;
    return file_attributes(native_name(lpFileName));
}
