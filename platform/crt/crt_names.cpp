// crt_names.cpp — the C runtime's underscore names for what the C and POSIX
// libraries have under other names: case-blind compares, _strdup, _strlwr,
// _strrev, fopen_s, _getcwd, _mkdir, _atoi64, _wtoi, ...
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <string>

#include "codepage.h"
#include "crt/crt_internal.h"
#include "win_crt.h"

using plat::crt::invalid_parameter;

namespace {

// Wide names and modes as the UTF-8 bytes Linux file names use.
std::string narrow(const wchar_t* w) {
    std::string out;
    for (; *w; ++w) plat::codepage::append_utf8(out, char32_t(*w));
    return out;
}

}  // namespace

extern "C" {

int _stricmp(const char* a, const char* b) { return strcasecmp(a, b); }
int _strnicmp(const char* a, const char* b, size_t n) { return strncasecmp(a, b, n); }
int _stricoll(const char* a, const char* b) { return strcasecmp(a, b); }
int _wcsicmp(const wchar_t* a, const wchar_t* b) { return wcscasecmp(a, b); }
int _wcsnicmp(const wchar_t* a, const wchar_t* b, size_t n) { return wcsncasecmp(a, b, n); }
int _memicmp(const void* a, const void* b, size_t n) {
    const unsigned char* p = static_cast<const unsigned char*>(a);
    const unsigned char* q = static_cast<const unsigned char*>(b);
    for (size_t i = 0; i < n; ++i) {
        int d = std::tolower(p[i]) - std::tolower(q[i]);
        if (d) return d;
    }
    return 0;
}
char* _strdup(const char* s) { return s ? strdup(s) : nullptr; }
wchar_t* _wcsdup(const wchar_t* s) { return s ? wcsdup(s) : nullptr; }

char* _strlwr(char* s) {
    for (char* p = s; p && *p; ++p) *p = char(std::tolower((unsigned char)*p));
    return s;
}
char* _strupr(char* s) {
    for (char* p = s; p && *p; ++p) *p = char(std::toupper((unsigned char)*p));
    return s;
}
wchar_t* _wcslwr(wchar_t* s) {
    for (wchar_t* p = s; p && *p; ++p) *p = wchar_t(std::towlower(wint_t(*p)));
    return s;
}
wchar_t* _wcsupr(wchar_t* s) {
    for (wchar_t* p = s; p && *p; ++p) *p = wchar_t(std::towupper(wint_t(*p)));
    return s;
}
errno_t _strlwr_s(char* s, size_t size) {
    if (!s || size == 0 || strnlen(s, size) == size) {
        if (s && size) s[0] = 0;
        errno = EINVAL;
        invalid_parameter("_strlwr_s", "no terminated string");
        return EINVAL;
    }
    _strlwr(s);
    return 0;
}
errno_t _strupr_s(char* s, size_t size) {
    if (!s || size == 0 || strnlen(s, size) == size) {
        if (s && size) s[0] = 0;
        errno = EINVAL;
        invalid_parameter("_strupr_s", "no terminated string");
        return EINVAL;
    }
    _strupr(s);
    return 0;
}
errno_t _wcslwr_s(wchar_t* s, size_t size) {
    if (!s || size == 0 || wcsnlen(s, size) == size) {
        if (s && size) s[0] = 0;
        errno = EINVAL;
        invalid_parameter("_wcslwr_s", "no terminated string");
        return EINVAL;
    }
    _wcslwr(s);
    return 0;
}
errno_t _wcsupr_s(wchar_t* s, size_t size) {
    if (!s || size == 0 || wcsnlen(s, size) == size) {
        if (s && size) s[0] = 0;
        errno = EINVAL;
        invalid_parameter("_wcsupr_s", "no terminated string");
        return EINVAL;
    }
    _wcsupr(s);
    return 0;
}
char* _strrev(char* s) {
    if (!s) return s;
    for (size_t i = 0, j = std::strlen(s); i + 1 < j; ++i, --j) std::swap(s[i], s[j - 1]);
    return s;
}
char* _strset(char* s, int c) {
    for (char* p = s; *p; ++p) *p = char(c);
    return s;
}
char* _strnset(char* s, int c, size_t n) {
    for (char* p = s; *p && n; ++p, --n) *p = char(c);
    return s;
}

long long _atoi64(const char* s) { return std::atoll(s); }
long long _strtoi64(const char* s, char** end, int base) { return std::strtoll(s, end, base); }
unsigned long long _strtoui64(const char* s, char** end, int base) { return std::strtoull(s, end, base); }
int _wtoi(const wchar_t* s) { return int(std::wcstol(s, nullptr, 10)); }
long _wtol(const wchar_t* s) { return long(int(std::wcstol(s, nullptr, 10))); }
double _wtof(const wchar_t* s) { return std::wcstod(s, nullptr); }

// *file is null when the file cannot be opened; the result is errno then.
errno_t fopen_s(FILE** file, const char* name, const char* mode) {
    if (!file) {
        errno = EINVAL;
        invalid_parameter("fopen_s", "no place for the file");
        return EINVAL;
    }
    *file = nullptr;
    if (!name || !mode) {
        errno = EINVAL;
        invalid_parameter("fopen_s", "no name or mode");
        return EINVAL;
    }
    *file = std::fopen(name, mode);
    return *file ? 0 : errno;
}
FILE* _wfopen(const wchar_t* name, const wchar_t* mode) {
    if (!name || !mode) return nullptr;
    return std::fopen(narrow(name).c_str(), narrow(mode).c_str());
}
errno_t _wfopen_s(FILE** file, const wchar_t* name, const wchar_t* mode) {
    if (!file) {
        errno = EINVAL;
        invalid_parameter("_wfopen_s", "no place for the file");
        return EINVAL;
    }
    *file = nullptr;
    if (!name || !mode) {
        errno = EINVAL;
        invalid_parameter("_wfopen_s", "no name or mode");
        return EINVAL;
    }
    *file = _wfopen(name, mode);
    return *file ? 0 : errno;
}
errno_t freopen_s(FILE** file, const char* name, const char* mode, FILE* stream) {
    if (!file || !mode || !stream) {
        errno = EINVAL;
        invalid_parameter("freopen_s", "null pointer");
        return EINVAL;
    }
    *file = std::freopen(name, mode, stream);
    return *file ? 0 : errno;
}
errno_t _dupenv_s(char** value, size_t* size, const char* name) {
    if (!value || !name) {
        errno = EINVAL;
        invalid_parameter("_dupenv_s", "null pointer");
        return EINVAL;
    }
    const char* v = std::getenv(name);
    *value = v ? strdup(v) : nullptr;
    if (size) *size = v ? std::strlen(v) + 1 : 0;
    return 0;
}
errno_t getenv_s(size_t* size, char* buffer, rsize_t count, const char* name) {
    if (!size || !name || (!buffer && count)) {
        errno = EINVAL;
        invalid_parameter("getenv_s", "null pointer");
        return EINVAL;
    }
    const char* v = std::getenv(name);
    if (buffer && count) buffer[0] = 0;
    if (!v) {
        *size = 0;
        return 0;
    }
    *size = std::strlen(v) + 1;
    if (!buffer && count == 0) return 0;  // only the size was asked for
    if (*size > count) {
        errno = ERANGE;
        invalid_parameter("getenv_s", "buffer too small");
        return ERANGE;
    }
    std::memcpy(buffer, v, *size);
    return 0;
}

// A null buffer is allocated (at least `size` bytes), as on Windows.
char* _getcwd(char* buffer, int size) {
    if (!buffer) {
        char* cwd = getcwd(nullptr, 0);
        if (cwd && size > 0 && std::strlen(cwd) + 1 < size_t(size)) {
            char* grown = static_cast<char*>(std::realloc(cwd, size_t(size)));
            if (grown) cwd = grown;
        }
        return cwd;
    }
    if (size <= 0) {
        errno = EINVAL;
        return nullptr;
    }
    return getcwd(buffer, size_t(size));
}
int _chdir(const char* path) { return chdir(path); }
int _mkdir(const char* path) { return mkdir(path, 0777); }
int _rmdir(const char* path) { return rmdir(path); }
int _access(const char* path, int mode) { return access(path, mode & 6); }
int _unlink(const char* path) { return unlink(path); }
int _fileno(FILE* stream) { return fileno(stream); }
int _isatty(int fd) { return isatty(fd); }
int _getpid(void) { return int(getpid()); }
void _sleep(unsigned long ms) { usleep(useconds_t(ms) * 1000); }

int stricmp(const char* a, const char* b) { return _stricmp(a, b); }
int strnicmp(const char* a, const char* b, size_t n) { return _strnicmp(a, b, n); }
char* strlwr(char* s) { return _strlwr(s); }
char* strupr(char* s) { return _strupr(s); }
char* strrev(char* s) { return _strrev(s); }

}  // extern "C"
