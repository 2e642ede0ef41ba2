// SYSTEMTIME <-> FILETIME at the calendar's edges: the 1601 epoch, leap days
// (2000 is one, 1900 and 2100 are not), the Unix epoch and the last moment
// of year 9999. Values computed independently (Python's datetime).
#include <gtest/gtest.h>

#include <windows.h>

namespace {

uint64_t Ticks(const FILETIME& ft) { return (uint64_t(ft.dwHighDateTime) << 32) | ft.dwLowDateTime; }

TEST(KernelSystemTime, RoundTripsAtCalendarEdges) {
    struct Case {
        WORD y, mo, d, h, mi, s, ms;
        uint64_t ticks;
        WORD weekday;
    } cases[] = {
        {1601, 1, 1, 0, 0, 0, 0, 0, 1},                          // the epoch, a Monday
        {1601, 12, 31, 0, 0, 0, 0, 314496000000000ull, 1},       // 1601 is not a leap year
        {1970, 1, 1, 0, 0, 0, 0, 116444736000000000ull, 4},
        {2000, 2, 29, 23, 59, 59, 999, 125963423999990000ull, 2},  // leap day, last millisecond
        {2024, 2, 29, 12, 0, 0, 0, 133536816000000000ull, 4},
        {9999, 12, 31, 23, 59, 59, 999, 2650467743999990000ull, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.y << "-" << c.mo << "-" << c.d);
        SYSTEMTIME st = {c.y, c.mo, 6 /* ignored */, c.d, c.h, c.mi, c.s, c.ms};
        FILETIME ft;
        ASSERT_TRUE(SystemTimeToFileTime(&st, &ft));
        EXPECT_EQ(Ticks(ft), c.ticks);
        SYSTEMTIME back;
        ASSERT_TRUE(FileTimeToSystemTime(&ft, &back));
        EXPECT_EQ(back.wYear, c.y);
        EXPECT_EQ(back.wMonth, c.mo);
        EXPECT_EQ(back.wDay, c.d);
        EXPECT_EQ(back.wHour, c.h);
        EXPECT_EQ(back.wMinute, c.mi);
        EXPECT_EQ(back.wSecond, c.s);
        EXPECT_EQ(back.wMilliseconds, c.ms);
        EXPECT_EQ(back.wDayOfWeek, c.weekday);
    }
    // 100-ns ticks below a millisecond are dropped on the way out.
    FILETIME fine = {9999, 0};
    SYSTEMTIME st;
    ASSERT_TRUE(FileTimeToSystemTime(&fine, &st));
    EXPECT_EQ(st.wMilliseconds, 0);
    fine.dwLowDateTime = 10000;
    ASSERT_TRUE(FileTimeToSystemTime(&fine, &st));
    EXPECT_EQ(st.wMilliseconds, 1);
}

TEST(KernelSystemTime, RejectsDatesThatDoNotExist) {
    const SYSTEMTIME bad[] = {
        {1900, 2, 0, 29, 0, 0, 0, 0},  // 1900 is not a leap year
        {2100, 2, 0, 29, 0, 0, 0, 0},
        {2023, 4, 0, 31, 0, 0, 0, 0},
        {1600, 12, 0, 31, 23, 59, 59, 999},  // before the epoch
        {2023, 13, 0, 1, 0, 0, 0, 0},
        {2023, 1, 0, 0, 0, 0, 0, 0},
        {2023, 1, 0, 1, 24, 0, 0, 0},
        {2023, 1, 0, 1, 0, 60, 0, 0},
        {2023, 1, 0, 1, 0, 0, 60, 0},
        {2023, 1, 0, 1, 0, 0, 0, 1000},
    };
    for (const SYSTEMTIME& st : bad) {
        FILETIME ft = {1, 2};
        SetLastError(0);
        EXPECT_FALSE(SystemTimeToFileTime(&st, &ft)) << st.wYear << "-" << st.wMonth << "-" << st.wDay;
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    }
    FILETIME top = {0, 0x80000000u};
    SYSTEMTIME out;
    EXPECT_FALSE(FileTimeToSystemTime(&top, &out));
}

TEST(KernelSystemTime, ClockReadingsAgree) {
    FILETIME ft, local;
    GetSystemTimeAsFileTime(&ft);
    SYSTEMTIME st, lt, from;
    GetSystemTime(&st);
    ASSERT_TRUE(FileTimeToSystemTime(&ft, &from));
    EXPECT_EQ(st.wYear, from.wYear);
    EXPECT_GE(st.wYear, 2024);
    // Local time is UTC moved by the zone's offset, whole minutes, under a day.
    ASSERT_TRUE(FileTimeToLocalFileTime(&ft, &local));
    int64_t off = int64_t(Ticks(local)) - int64_t(Ticks(ft));
    EXPECT_EQ(off % (60 * 10000000ll), 0);
    EXPECT_LT(off < 0 ? -off : off, 86400 * 10000000ll);
    FILETIME back;
    ASSERT_TRUE(LocalFileTimeToFileTime(&local, &back));
    EXPECT_EQ(Ticks(back), Ticks(ft));
    GetLocalTime(&lt);
    EXPECT_GE(lt.wMonth, 1);
    EXPECT_LE(lt.wMonth, 12);

    // The memory-block macros.
    char buf[8];
    FillMemory(buf, sizeof buf, 'x');
    ZeroMemory(buf + 2, 3);
    CopyMemory(buf, "ab", 2);
    MoveMemory(buf + 1, buf, 4);
    EXPECT_EQ(std::string(buf, 8), std::string("aab\0\0xxx", 8));
}

}  // namespace
