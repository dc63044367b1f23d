// The clock: the manual clock driving GetTickCount and Sleep, HANDSET_CLOCK, calendar
// conversions between SYSTEMTIME and FILETIME, and local time.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/base/Clock.h"
#include "platform/base/Errors.h"

namespace {

constexpr std::uint64_t kTicksPerMs = 10000;
// 2009-06-15 22:30 UTC, in milliseconds since 1601.
constexpr ULONGLONG kJune2009 = 12889578600000ull;

std::uint64_t Value(const FILETIME& time) { return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime; }

FILETIME FromValue(std::uint64_t value) { return FILETIME{static_cast<DWORD>(value), static_cast<DWORD>(value >> 32)}; }

SYSTEMTIME Date(WORD year, WORD month, WORD day, WORD hour = 0, WORD minute = 0, WORD second = 0, WORD ms = 0) {
    SYSTEMTIME time{};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    time.wHour = hour;
    time.wMinute = minute;
    time.wSecond = second;
    time.wMilliseconds = ms;
    return time;
}

class Clock : public ::testing::Test {
protected:
    void TearDown() override { platform::clock::UseRealClock(); }
};

TEST_F(Clock, ManualClockMovesOnlyWhenSleepingOrPumping) {
    platform::clock::UseManualClock(5000, kJune2009, 33);
    ASSERT_TRUE(platform::clock::IsManual());
    FILETIME start;
    GetSystemTimeAsFileTime(&start);
    EXPECT_EQ(kJune2009 * kTicksPerMs, Value(start));
    EXPECT_EQ(5000u, GetTickCount());
    EXPECT_EQ(5000u, GetTickCount());
    Sleep(100);
    EXPECT_EQ(5100u, GetTickCount());
    platform::clock::Pump();
    EXPECT_EQ(5133u, GetTickCount());
    platform::clock::Advance(7);
    EXPECT_EQ(5140u, GetTickCount());
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    EXPECT_EQ(140 * kTicksPerMs, Value(now) - Value(start));

    platform::clock::UseManualClock(0xFFFFFFF0u, kJune2009);
    Sleep(0x20);
    EXPECT_EQ(0x10u, GetTickCount());  // wraps as the handset's does
}

TEST_F(Clock, RealClockSleeps) {
    DWORD before = GetTickCount();
    Sleep(20);
    EXPECT_GE(GetTickCount() - before, 19u);
    platform::clock::Advance(100000);  // no effect on the real clock
    EXPECT_LT(GetTickCount() - before, 10000u);
}

TEST_F(Clock, EnvironmentChoosesARepeatableManualClock) {
    setenv("HANDSET_CLOCK", "manual:abc", 1);
    platform::clock::ConfigureFromEnvironment();
    EXPECT_FALSE(platform::clock::IsManual());

    setenv("HANDSET_CLOCK", "manual:40", 1);
    platform::clock::ConfigureFromEnvironment();
    unsetenv("HANDSET_CLOCK");
    ASSERT_TRUE(platform::clock::IsManual());
    EXPECT_EQ(1000u, GetTickCount());
    platform::clock::Pump();
    EXPECT_EQ(1040u, GetTickCount());
    SYSTEMTIME now;
    GetSystemTime(&now);
    EXPECT_EQ(2010, now.wYear);
    EXPECT_EQ(1, now.wMonth);
    EXPECT_EQ(1, now.wDay);
    EXPECT_EQ(5, now.wDayOfWeek);  // a Friday
    EXPECT_EQ(40, now.wMilliseconds);
}

TEST(FileTime, SystemTimeRoundTrips) {
    struct Case {
        SYSTEMTIME time;
        WORD dayOfWeek;
        std::uint64_t days;
    } cases[] = {
        {Date(1601, 1, 1), 1, 0},
        {Date(1970, 1, 1), 4, 134774},
        {Date(2000, 2, 29, 12, 0, 0), 2, 145790},
        {Date(2008, 12, 31, 23, 59, 59, 999), 3, 149018},
        {Date(9999, 12, 31, 1, 2, 3, 4), 5, 3067670},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.time.wYear);
        FILETIME file;
        ASSERT_TRUE(SystemTimeToFileTime(&c.time, &file));
        EXPECT_EQ(c.days, Value(file) / (86400000 * kTicksPerMs));
        SYSTEMTIME back;
        ASSERT_TRUE(FileTimeToSystemTime(&file, &back));
        SYSTEMTIME expected = c.time;
        expected.wDayOfWeek = c.dayOfWeek;
        EXPECT_EQ(0, std::memcmp(&expected, &back, sizeof back));
    }
    SYSTEMTIME last;
    FILETIME largest = FromValue(0x7FFFFFFFFFFFFFFFull);
    ASSERT_TRUE(FileTimeToSystemTime(&largest, &last));
    EXPECT_EQ(30828, last.wYear);
    FILETIME beyond = FromValue(0x8000000000000000ull);
    EXPECT_FALSE(FileTimeToSystemTime(&beyond, &last));
}

TEST(FileTime, DatesThatDoNotExistAreRejected) {
    SYSTEMTIME cases[] = {
        Date(2009, 0, 1),  Date(2009, 13, 1),        Date(2009, 1, 0),         Date(1900, 2, 29),
        Date(2001, 2, 29), Date(2000, 2, 30),        Date(2009, 4, 31),        Date(2009, 1, 1, 24),
        Date(2009, 1, 1, 0, 60), Date(2009, 1, 1, 0, 0, 60), Date(2009, 1, 1, 0, 0, 0, 1000), Date(1600, 12, 31),
        Date(30828, 1, 1),
    };
    for (const SYSTEMTIME& time : cases) {
        SCOPED_TRACE(testing::Message() << time.wYear << "-" << time.wMonth << "-" << time.wDay << " " << time.wHour
                                        << ":" << time.wMinute << ":" << time.wSecond << "." << time.wMilliseconds);
        FILETIME file = FromValue(12345);
        SetLastError(0);
        EXPECT_FALSE(SystemTimeToFileTime(&time, &file));
        EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
        EXPECT_EQ(12345u, Value(file));
    }
}

TEST_F(Clock, LocalTimeFollowsTheZoneSetting) {
    platform::clock::UseManualClock(1, kJune2009);
    platform::clock::SetTimeZoneBias(120);
    SYSTEMTIME local;
    GetLocalTime(&local);
    EXPECT_EQ(16, local.wDay);
    EXPECT_EQ(0, local.wHour);
    EXPECT_EQ(30, local.wMinute);
    EXPECT_EQ(2, local.wDayOfWeek);

    FILETIME utc = FromValue(kJune2009 * kTicksPerMs);
    FILETIME shifted;
    FILETIME back;
    platform::clock::SetTimeZoneBias(-300);
    ASSERT_TRUE(FileTimeToLocalFileTime(&utc, &shifted));
    EXPECT_EQ(Value(utc) - 300ull * 60000 * kTicksPerMs, Value(shifted));
    ASSERT_TRUE(LocalFileTimeToFileTime(&shifted, &back));
    EXPECT_EQ(Value(utc), Value(back));
    FILETIME earliest = FromValue(0);
    EXPECT_FALSE(FileTimeToLocalFileTime(&earliest, &shifted));  // before 1601
    EXPECT_EQ(-1, CompareFileTime(&shifted, &utc));
    EXPECT_EQ(0, CompareFileTime(&utc, &back));
    EXPECT_EQ(1, CompareFileTime(&utc, &earliest));
}

}  // namespace
