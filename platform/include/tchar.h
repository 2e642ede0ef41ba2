// tchar.h — the generic-text names of the Microsoft C runtime: one source
// for narrow builds (the default: _TCHAR is char, code page 936) and wide
// ones (_UNICODE defined: _TCHAR is wchar_t, 32 bits here, and _T("x") is
// L"x"). Each _tcs*, _stprintf*, _tprintf, ... name stands for the narrow or
// the wide function; the few the wide runtime here lacks are left undefined
// in a wide build, so a use fails to compile instead of misbehaving.
#pragma once

#include <ctype.h>
#include <time.h>
#include <wchar.h>
#include <wctype.h>

#include "conio.h"
#include "win_crt.h"

#ifdef _UNICODE
typedef wchar_t _TCHAR;
typedef wchar_t _TSCHAR;
typedef wchar_t _TUCHAR;
typedef wchar_t _TXCHAR;
typedef wint_t _TINT;
#define __T(x) L##x
#define _TEOF WEOF
#define _tmain wmain
#define _tWinMain wWinMain

#define _tcslen wcslen
#define _tcsnlen wcsnlen
#define _tcscpy wcscpy
#define _tcscpy_s wcscpy_s
#define _tcsncpy wcsncpy
#define _tcsncpy_s wcsncpy_s
#define _tcscat wcscat
#define _tcscat_s wcscat_s
#define _tcsncat wcsncat
#define _tcsncat_s wcsncat_s
#define _tcscmp wcscmp
#define _tcsncmp wcsncmp
#define _tcsicmp _wcsicmp
#define _tcsnicmp _wcsnicmp
#define _tcscoll wcscoll
#define _tcschr wcschr
#define _tcsrchr wcsrchr
#define _tcsstr wcsstr
#define _tcsspn wcsspn
#define _tcscspn wcscspn
#define _tcspbrk wcspbrk

#define _tcstok_s wcstok_s
#define _tcsdup _wcsdup
#define _tcslwr _wcslwr
#define _tcsupr _wcsupr
#define _tcslwr_s _wcslwr_s
#define _tcsupr_s _wcsupr_s
#define _tcstol wcstol
#define _tcstoul wcstoul
#define _tcstoi64 wcstoll
#define _tcstod wcstod
#define _ttoi _wtoi
#define _ttol _wtol
#define _tstoi _wtoi
#define _tstol _wtol
#define _ttof _wtof
#define _tstof _wtof
#define _itot _itow
#define _itot_s _itow_s
#define _stprintf _swprintf
#define _stprintf_s swprintf_s
#define _sntprintf _snwprintf
#define _sntprintf_s _snwprintf_s
#define _vstprintf_s vswprintf_s
#define _tprintf wprintf_s
#define _tprintf_s wprintf_s
#define _ftprintf fwprintf_s
#define _ftprintf_s fwprintf_s
#define _vtprintf(format, args) vfwprintf_s(stdout, format, args)
#define _vftprintf vfwprintf_s
#define _tscanf wscanf
#define _stscanf swscanf
#define _ftscanf fwscanf
#define _fgetts fgetws
#define _fputts fputws

#define _fgettc fgetwc
#define _fputtc fputwc
#define _gettc getwc
#define _puttc putwc
#define _gettchar getwchar
#define _puttchar putwchar
#define _ungettc ungetwc
#define _tfopen _wfopen
#define _tfopen_s _wfopen_s
#define _tcsftime wcsftime
#define _totupper towupper
#define _totlower towlower
#define _istalpha iswalpha
#define _istdigit iswdigit
#define _istxdigit iswxdigit
#define _istspace iswspace
#define _istupper iswupper
#define _istlower iswlower
#define _istalnum iswalnum
#define _istprint iswprint
#define _istpunct iswpunct
#define _istcntrl iswcntrl
#define _istgraph iswgraph
#else
typedef char _TCHAR;
typedef signed char _TSCHAR;
typedef unsigned char _TUCHAR;
typedef char _TXCHAR;
typedef int _TINT;
#define __T(x) x
#define _TEOF EOF
#define _tmain main
#define _tWinMain WinMain
#define _tenviron environ
#define _tcslen strlen
#define _tcsnlen strnlen
#define _tcscpy strcpy
#define _tcscpy_s strcpy_s
#define _tcsncpy strncpy
#define _tcsncpy_s strncpy_s
#define _tcscat strcat
#define _tcscat_s strcat_s
#define _tcsncat strncat
#define _tcsncat_s strncat_s
#define _tcscmp strcmp
#define _tcsncmp strncmp
#define _tcsicmp _stricmp
#define _tcsnicmp _strnicmp
#define _tcscoll strcoll
#define _tcschr strchr
#define _tcsrchr strrchr
#define _tcsstr strstr
#define _tcsspn strspn
#define _tcscspn strcspn
#define _tcspbrk strpbrk
#define _tcstok strtok
#define _tcstok_s strtok_s
#define _tcsdup _strdup
#define _tcslwr _strlwr
#define _tcsupr _strupr
#define _tcslwr_s _strlwr_s
#define _tcsupr_s _strupr_s
#define _tcsrev _strrev
#define _tcsset _strset
#define _tcsnset _strnset
#define _tcstol strtol
#define _tcstoul strtoul
#define _tcstoi64 _strtoi64
#define _tcstod strtod
#define _ttoi atoi
#define _ttol atol
#define _tstoi atoi
#define _tstol atol
#define _ttof atof
#define _tstof atof
#define _ttoi64 _atoi64
#define _itot _itoa
#define _itot_s _itoa_s
#define _ltot _ltoa
#define _ltot_s _ltoa_s
#define _ultot _ultoa
#define _i64tot _i64toa
#define _stprintf sprintf
#define _stprintf_s sprintf_s
#define _sntprintf _snprintf
#define _sntprintf_s _snprintf_s
#define _vstprintf vsprintf
#define _vstprintf_s vsprintf_s
#define _vsntprintf _vsnprintf
#define _tprintf printf
#define _tprintf_s printf_s
#define _ftprintf fprintf
#define _ftprintf_s fprintf_s
#define _vtprintf vprintf
#define _vftprintf vfprintf
#define _tscanf scanf
#define _tscanf_s scanf_s
#define _stscanf sscanf
#define _stscanf_s sscanf_s
#define _ftscanf fscanf
#define _ftscanf_s fscanf_s
#define _fgetts fgets
#define _fputts fputs
#define _putts puts
#define _getts_s gets_s
#define _fgettc fgetc
#define _fputtc fputc
#define _gettc getc
#define _puttc putc
#define _gettchar getchar
#define _puttchar putchar
#define _ungettc ungetc
#define _tfopen fopen
#define _tfopen_s fopen_s
#define _tfreopen freopen
#define _tgetenv getenv
#define _tsystem system
#define _tremove remove
#define _trename rename
#define _tgetcwd _getcwd
#define _tchdir _chdir
#define _tmkdir _mkdir
#define _trmdir _rmdir
#define _taccess _access
#define _tunlink _unlink
#define _tcsftime strftime
#define _tasctime asctime
#define _tctime ctime
#define _totupper toupper
#define _totlower tolower
#define _istalpha isalpha
#define _istdigit isdigit
#define _istxdigit isxdigit
#define _istspace isspace
#define _istupper isupper
#define _istlower islower
#define _istalnum isalnum
#define _istprint isprint
#define _istpunct ispunct
#define _istcntrl iscntrl
#define _istgraph isgraph
#define _gettch _getch
#define _gettche _getche
#define _puttch _putch
#define _ungettch _ungetch
#define _cputts _cputs
#define _tcprintf _cprintf
#endif

#define _T(x) __T(x)
#define _TEXT(x) __T(x)
