// system_time.cpp — the calendar clock: GetSystemTime, GetLocalTime,
// GetSystemTimeAsFileTime and the SYSTEMTIME / FILETIME conversions.
//
// FILETIME counts 100-ns intervals since 1 January 1601 UTC (the proleptic
// Gregorian calendar). SYSTEMTIME covers the years 1601 to 30827; a field out
// of range (month 13, 30 February, hour 24, ...) makes SystemTimeToFileTime
// fail with ERROR_INVALID_PARAMETER, as does a FILETIME with its top bit set
// in FileTimeToSystemTime. The day of the week is ignored on the way in and
// computed on the way out. The calendar clock is always the real one (the
// tests' virtual clock drives only the tick count).
#include <time.h>

#include <cstdint>

#include "winbase.h"

namespace {

constexpr uint64_t kTicksPerSecond = 10000000ull;
constexpr uint64_t kTicksPerDay = kTicksPerSecond * 86400;
// Days from 1601-01-01 to 1970-01-01.
constexpr int64_t kUnixEpochDays = 134774;

bool leap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }
int month_days(int y, int m) {
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && leap(y) ? 29 : days[m - 1];
}

// Days since 1601-01-01 of a civil date (Howard Hinnant's days_from_civil, shifted).
int64_t days_from_civil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + int64_t(doe) - 719468 + kUnixEpochDays;
}

void civil_from_days(int64_t z, int* y, unsigned* m, unsigned* d) {
    z += 719468 - kUnixEpochDays;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    *d = doy - (153 * mp + 2) / 5 + 1;
    *m = mp < 10 ? mp + 3 : mp - 9;
    *y = int(int64_t(yoe) + era * 400 + (*m <= 2));
}

uint64_t to_ticks(const FILETIME& ft) { return (uint64_t(ft.dwHighDateTime) << 32) | ft.dwLowDateTime; }
FILETIME from_ticks(uint64_t t) { return FILETIME{DWORD(t), DWORD(t >> 32)}; }

uint64_t now_ticks() {
    timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    return (uint64_t(kUnixEpochDays) * 86400 + uint64_t(ts.tv_sec)) * kTicksPerSecond + uint64_t(ts.tv_nsec) / 100;
}

// The local zone's offset from UTC (seconds east) at a UTC moment.
int64_t local_offset(uint64_t utc_ticks) {
    time_t t = time_t(int64_t(utc_ticks / kTicksPerSecond) - kUnixEpochDays * 86400);
    struct tm local;
    if (!localtime_r(&t, &local)) return 0;
    return local.tm_gmtoff;
}

void ticks_to_system(uint64_t t, SYSTEMTIME* st) {
    int64_t days = int64_t(t / kTicksPerDay);
    uint64_t in_day = t % kTicksPerDay;
    int y;
    unsigned m, d;
    civil_from_days(days, &y, &m, &d);
    st->wYear = WORD(y);
    st->wMonth = WORD(m);
    st->wDay = WORD(d);
    st->wDayOfWeek = WORD((days + 1) % 7);  // 1601-01-01 was a Monday
    st->wHour = WORD(in_day / (3600 * kTicksPerSecond));
    st->wMinute = WORD(in_day / (60 * kTicksPerSecond) % 60);
    st->wSecond = WORD(in_day / kTicksPerSecond % 60);
    st->wMilliseconds = WORD(in_day / 10000 % 1000);
}

}  // namespace

void WINAPI GetSystemTimeAsFileTime(LPFILETIME ft) {
    if (ft) *ft = from_ticks(now_ticks());
}

void WINAPI GetSystemTime(LPSYSTEMTIME st) {
    if (st) ticks_to_system(now_ticks(), st);
}

void WINAPI GetLocalTime(LPSYSTEMTIME st) {
    if (!st) return;
    uint64_t t = now_ticks();
    ticks_to_system(uint64_t(int64_t(t) + local_offset(t) * int64_t(kTicksPerSecond)), st);
}

BOOL WINAPI SystemTimeToFileTime(const SYSTEMTIME* st, LPFILETIME ft) {
    if (!st || !ft || st->wYear < 1601 || st->wYear > 30827 || st->wMonth < 1 || st->wMonth > 12 || st->wDay < 1 ||
        st->wDay > month_days(st->wYear, st->wMonth) || st->wHour > 23 || st->wMinute > 59 || st->wSecond > 59 ||
        st->wMilliseconds > 999) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    uint64_t days = uint64_t(days_from_civil(st->wYear, st->wMonth, st->wDay));
    uint64_t secs = days * 86400 + st->wHour * 3600u + st->wMinute * 60u + st->wSecond;
    *ft = from_ticks(secs * kTicksPerSecond + st->wMilliseconds * 10000ull);
    return TRUE;
}

BOOL WINAPI FileTimeToSystemTime(const FILETIME* ft, LPSYSTEMTIME st) {
    if (!ft || !st || (ft->dwHighDateTime & 0x80000000u)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    ticks_to_system(to_ticks(*ft), st);
    return TRUE;
}

BOOL WINAPI FileTimeToLocalFileTime(const FILETIME* ft, LPFILETIME local) {
    if (!ft || !local) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    uint64_t t = to_ticks(*ft);
    *local = from_ticks(uint64_t(int64_t(t) + local_offset(t) * int64_t(kTicksPerSecond)));
    return TRUE;
}

BOOL WINAPI LocalFileTimeToFileTime(const FILETIME* local, LPFILETIME ft) {
    if (!local || !ft) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    uint64_t t = to_ticks(*local);
    // The offset at the local moment read as UTC, then corrected once for a zone change in between.
    int64_t off = local_offset(t);
    off = local_offset(uint64_t(int64_t(t) - off * int64_t(kTicksPerSecond)));
    *ft = from_ticks(uint64_t(int64_t(t) - off * int64_t(kTicksPerSecond)));
    return TRUE;
}

LONG WINAPI CompareFileTime(const FILETIME* a, const FILETIME* b) {
    uint64_t x = to_ticks(*a), y = to_ticks(*b);
    return x < y ? -1 : x > y ? 1 : 0;
}
