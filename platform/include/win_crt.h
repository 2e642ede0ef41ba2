// win_crt.h — the Microsoft C runtime's own names that the C standard
// library lacks: the bounds-checked "_s" functions, the underscore names
// (_stricmp, _strdup, _itoa, _getcwd, ...) and the invalid parameter handler.
// windows.h, tchar.h and conio.h bring it in, with <stdio.h>, <stdlib.h>,
// <string.h> and <wchar.h>.
//
// Size arguments count elements of the destination, terminator included, as
// on Windows. A call with a bad parameter (a null pointer, a size of 0, a
// destination too small for the result) calls the invalid parameter handler;
// the default one ends the program, as the Windows C runtime does, after
// saying which function failed on standard error. A handler installed with
// _set_invalid_parameter_handler that returns lets the call return its
// error: the destination is made an empty string (where there is one),
// errno_t functions return EINVAL or ERANGE, the printf family -1.
#pragma once

#include <errno.h>
#include <stdarg.h>
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

typedef int errno_t;
typedef size_t rsize_t;

#define _TRUNCATE ((size_t)-1)
#define STRUNCATE 80
#define _MAX_PATH 260
#define _MAX_DRIVE 3
#define _MAX_DIR 256
#define _MAX_FNAME 256
#define _MAX_EXT 256

#ifdef __cplusplus
extern "C" {
#endif

typedef void (*_invalid_parameter_handler)(const wchar_t* expression, const wchar_t* function, const wchar_t* file,
                                           unsigned int line, uintptr_t reserved);
_invalid_parameter_handler _set_invalid_parameter_handler(_invalid_parameter_handler handler);
_invalid_parameter_handler _get_invalid_parameter_handler(void);

// ---- strings ----
errno_t strcpy_s(char* dest, rsize_t size, const char* src);
errno_t strcat_s(char* dest, rsize_t size, const char* src);
errno_t strncpy_s(char* dest, rsize_t size, const char* src, rsize_t count);
errno_t strncat_s(char* dest, rsize_t size, const char* src, rsize_t count);
errno_t wcscpy_s(wchar_t* dest, rsize_t size, const wchar_t* src);
errno_t wcscat_s(wchar_t* dest, rsize_t size, const wchar_t* src);
errno_t wcsncpy_s(wchar_t* dest, rsize_t size, const wchar_t* src, rsize_t count);
errno_t wcsncat_s(wchar_t* dest, rsize_t size, const wchar_t* src, rsize_t count);
char* strtok_s(char* str, const char* delimiters, char** context);
wchar_t* wcstok_s(wchar_t* str, const wchar_t* delimiters, wchar_t** context);
size_t strnlen_s(const char* str, size_t max);
errno_t memcpy_s(void* dest, rsize_t size, const void* src, rsize_t count);
errno_t memmove_s(void* dest, rsize_t size, const void* src, rsize_t count);
int _stricmp(const char* a, const char* b);
int _strnicmp(const char* a, const char* b, size_t n);
int _stricoll(const char* a, const char* b);
int _wcsicmp(const wchar_t* a, const wchar_t* b);
int _wcsnicmp(const wchar_t* a, const wchar_t* b, size_t n);
int _memicmp(const void* a, const void* b, size_t n);
char* _strdup(const char* s);
wchar_t* _wcsdup(const wchar_t* s);
char* _strlwr(char* s);
char* _strupr(char* s);
char* _strrev(char* s);
errno_t _strlwr_s(char* s, size_t size);
errno_t _strupr_s(char* s, size_t size);
wchar_t* _wcslwr(wchar_t* s);
wchar_t* _wcsupr(wchar_t* s);
errno_t _wcslwr_s(wchar_t* s, size_t size);
errno_t _wcsupr_s(wchar_t* s, size_t size);
char* _strset(char* s, int c);
char* _strnset(char* s, int c, size_t n);

// ---- formatted output and input ----
int sprintf_s(char* buffer, size_t size, const char* format, ...) __attribute__((format(printf, 3, 4)));
int vsprintf_s(char* buffer, size_t size, const char* format, va_list args);
int _snprintf_s(char* buffer, size_t size, size_t count, const char* format, ...)
    __attribute__((format(printf, 4, 5)));
int _vsnprintf_s(char* buffer, size_t size, size_t count, const char* format, va_list args);
// Truncating without a terminator, -1 when the text does not fit (the old form).
int _snprintf(char* buffer, size_t count, const char* format, ...) __attribute__((format(printf, 3, 4)));
int _vsnprintf(char* buffer, size_t count, const char* format, va_list args);
int _scprintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
int printf_s(const char* format, ...) __attribute__((format(printf, 1, 2)));
int fprintf_s(FILE* stream, const char* format, ...) __attribute__((format(printf, 2, 3)));
int swprintf_s(wchar_t* buffer, size_t size, const wchar_t* format, ...);
int vswprintf_s(wchar_t* buffer, size_t size, const wchar_t* format, va_list args);
int _snwprintf(wchar_t* buffer, size_t count, const wchar_t* format, ...);
int _snwprintf_s(wchar_t* buffer, size_t size, size_t count, const wchar_t* format, ...);
int _swprintf(wchar_t* buffer, const wchar_t* format, ...);  // no size: the old form
// The wide printf family here reads %s / %c as wide and %S / %hs as narrow, as Windows does.
int wprintf_s(const wchar_t* format, ...);
int fwprintf_s(FILE* stream, const wchar_t* format, ...);
int vfwprintf_s(FILE* stream, const wchar_t* format, va_list args);
// %s, %c and %[ take the pointer and then the destination's size (an unsigned).
int scanf_s(const char* format, ...);
int sscanf_s(const char* buffer, const char* format, ...);
int fscanf_s(FILE* stream, const char* format, ...);
int vsscanf_s(const char* buffer, const char* format, va_list args);
int vfscanf_s(FILE* stream, const char* format, va_list args);
char* gets_s(char* buffer, rsize_t size);

// ---- numbers ----
errno_t _itoa_s(int value, char* buffer, size_t size, int radix);
errno_t _ltoa_s(long value, char* buffer, size_t size, int radix);
errno_t _ultoa_s(unsigned long value, char* buffer, size_t size, int radix);
errno_t _i64toa_s(long long value, char* buffer, size_t size, int radix);
errno_t _ui64toa_s(unsigned long long value, char* buffer, size_t size, int radix);
errno_t _itow_s(int value, wchar_t* buffer, size_t size, int radix);
char* _itoa(int value, char* buffer, int radix);
char* _ltoa(long value, char* buffer, int radix);
char* _ultoa(unsigned long value, char* buffer, int radix);
char* _i64toa(long long value, char* buffer, int radix);
char* _ui64toa(unsigned long long value, char* buffer, int radix);
wchar_t* _itow(int value, wchar_t* buffer, int radix);
char* itoa(int value, char* buffer, int radix);
char* ltoa(long value, char* buffer, int radix);
long long _atoi64(const char* s);
long long _strtoi64(const char* s, char** end, int base);
unsigned long long _strtoui64(const char* s, char** end, int base);
int _wtoi(const wchar_t* s);
long _wtol(const wchar_t* s);
double _wtof(const wchar_t* s);

// ---- files and the process ----
errno_t fopen_s(FILE** file, const char* name, const char* mode);
errno_t _wfopen_s(FILE** file, const wchar_t* name, const wchar_t* mode);
FILE* _wfopen(const wchar_t* name, const wchar_t* mode);
errno_t freopen_s(FILE** file, const char* name, const char* mode, FILE* stream);
errno_t _dupenv_s(char** value, size_t* size, const char* name);
errno_t getenv_s(size_t* size, char* buffer, rsize_t count, const char* name);
char* _getcwd(char* buffer, int size);
int _chdir(const char* path);
int _mkdir(const char* path);
int _rmdir(const char* path);
int _access(const char* path, int mode);
int _unlink(const char* path);
int _fileno(FILE* stream);
int _isatty(int fd);
int _getpid(void);
void _sleep(unsigned long ms);

// ---- the old names ----
int stricmp(const char* a, const char* b);
int strnicmp(const char* a, const char* b, size_t n);
char* strlwr(char* s);
char* strupr(char* s);
char* strrev(char* s);

#ifdef __cplusplus
}  // extern "C"

#define _countof(array) (sizeof(::win_crt_detail::countof_helper(array)))
namespace win_crt_detail {
template <typename T, size_t N>
char (&countof_helper(T (&)[N]))[N];  // an array only: a pointer does not compile
}

// The C++ forms that take the destination's size from its array type.
template <size_t N>
inline errno_t strcpy_s(char (&dest)[N], const char* src) { return strcpy_s(dest, N, src); }
template <size_t N>
inline errno_t strcat_s(char (&dest)[N], const char* src) { return strcat_s(dest, N, src); }
template <size_t N>
inline errno_t strncpy_s(char (&dest)[N], const char* src, size_t count) { return strncpy_s(dest, N, src, count); }
template <size_t N>
inline errno_t strncat_s(char (&dest)[N], const char* src, size_t count) { return strncat_s(dest, N, src, count); }
template <size_t N>
inline errno_t wcscpy_s(wchar_t (&dest)[N], const wchar_t* src) { return wcscpy_s(dest, N, src); }
template <size_t N>
inline errno_t wcscat_s(wchar_t (&dest)[N], const wchar_t* src) { return wcscat_s(dest, N, src); }
template <size_t N>
inline errno_t wcsncpy_s(wchar_t (&dest)[N], const wchar_t* src, size_t count) { return wcsncpy_s(dest, N, src, count); }
template <size_t N>
inline errno_t wcsncat_s(wchar_t (&dest)[N], const wchar_t* src, size_t count) { return wcsncat_s(dest, N, src, count); }
template <size_t N>
inline errno_t _wcslwr_s(wchar_t (&s)[N]) { return _wcslwr_s(s, N); }
template <size_t N>
inline errno_t _wcsupr_s(wchar_t (&s)[N]) { return _wcsupr_s(s, N); }
template <size_t N>
inline int sprintf_s(char (&buffer)[N], const char* format, ...) {
    va_list ap;
    va_start(ap, format);
    int n = vsprintf_s(buffer, N, format, ap);
    va_end(ap);
    return n;
}
template <size_t N>
inline int vsprintf_s(char (&buffer)[N], const char* format, va_list args) { return vsprintf_s(buffer, N, format, args); }
template <size_t N>
inline int _snprintf_s(char (&buffer)[N], size_t count, const char* format, ...) {
    va_list ap;
    va_start(ap, format);
    int n = _vsnprintf_s(buffer, N, count, format, ap);
    va_end(ap);
    return n;
}
template <size_t N>
inline int swprintf_s(wchar_t (&buffer)[N], const wchar_t* format, ...) {
    va_list ap;
    va_start(ap, format);
    int n = vswprintf_s(buffer, N, format, ap);
    va_end(ap);
    return n;
}
template <size_t N>
inline errno_t _itoa_s(int value, char (&buffer)[N], int radix) { return _itoa_s(value, buffer, N, radix); }
template <size_t N>
inline errno_t _itow_s(int value, wchar_t (&buffer)[N], int radix) { return _itow_s(value, buffer, N, radix); }
template <size_t N>
inline errno_t _strlwr_s(char (&s)[N]) { return _strlwr_s(s, N); }
template <size_t N>
inline errno_t _strupr_s(char (&s)[N]) { return _strupr_s(s, N); }
template <size_t N>
inline char* gets_s(char (&buffer)[N]) { return gets_s(buffer, N); }
#else
#define _countof(array) (sizeof(array) / sizeof((array)[0]))
#endif
