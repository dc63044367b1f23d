// Automation dates: known values on both sides of 1899-12-30, the range limits, rounding to
// the second, and the times that do not exist.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/com/VariantTime.h"

namespace {

SYSTEMTIME Time(WORD year, WORD month, WORD day, WORD hour = 0, WORD minute = 0, WORD second = 0) {
    SYSTEMTIME time{};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    time.wHour = hour;
    time.wMinute = minute;
    time.wSecond = second;
    return time;
}

struct KnownDate {
    SYSTEMTIME time;
    DATE date;
    WORD dayOfWeek;
};

TEST(VariantTime, KnownDatesConvertBothWays) {
    const KnownDate cases[] = {
        {Time(1899, 12, 30), 0.0, 6},
        {Time(1900, 1, 1), 2.0, 1},
        {Time(2009, 12, 31, 12), 40178.5, 4},
        {Time(2010, 1, 1, 6), 40179.25, 5},
        {Time(1899, 12, 29, 6), -1.25, 5},
        {Time(1800, 1, 1, 18), -36522.75, 3},
        {Time(100, 1, 1), -657434.0, 5},
        {Time(9999, 12, 31, 23, 59, 59), 2958465.0 + 86399.0 / 86400.0, 5},
        {Time(2000, 2, 29, 23, 59, 58), 36585.0 + 86398.0 / 86400.0, 2},
    };
    for (const KnownDate& known : cases) {
        DATE date = 0;
        ASSERT_TRUE(SystemTimeToVariantTime(&known.time, &date)) << known.date;
        EXPECT_NEAR(date, known.date, 1e-9);
        SYSTEMTIME back{};
        ASSERT_TRUE(VariantTimeToSystemTime(known.date, &back)) << known.date;
        EXPECT_EQ(back.wYear, known.time.wYear) << known.date;
        EXPECT_EQ(back.wMonth, known.time.wMonth) << known.date;
        EXPECT_EQ(back.wDay, known.time.wDay) << known.date;
        EXPECT_EQ(back.wHour, known.time.wHour) << known.date;
        EXPECT_EQ(back.wMinute, known.time.wMinute) << known.date;
        EXPECT_EQ(back.wSecond, known.time.wSecond) << known.date;
        EXPECT_EQ(back.wDayOfWeek, known.dayOfWeek) << known.date;
        EXPECT_EQ(back.wMilliseconds, 0);
    }
}

TEST(VariantTime, TimesThatDoNotExistAreRefused) {
    const SYSTEMTIME refused[] = {
        Time(2009, 2, 29), Time(1900, 2, 29), Time(2009, 13, 1), Time(2009, 0, 1), Time(2009, 4, 31),
        Time(2009, 1, 0),  Time(2009, 1, 1, 24), Time(2009, 1, 1, 0, 60), Time(2009, 1, 1, 0, 0, 60),
        Time(99, 12, 31),  Time(10000, 1, 1),
    };
    for (const SYSTEMTIME& time : refused) {
        DATE date = 123;
        EXPECT_FALSE(SystemTimeToVariantTime(&time, &date)) << time.wYear << "-" << time.wMonth << "-" << time.wDay;
    }
    SYSTEMTIME out{};
    for (DATE date : {-657435.0, 2958466.0, std::nan(""), std::numeric_limits<double>::infinity()})
        EXPECT_FALSE(VariantTimeToSystemTime(date, &out)) << date;
    EXPECT_FALSE(SystemTimeToVariantTime(nullptr, nullptr));
}

TEST(VariantTime, RoundsToTheNearestSecondAcrossMidnight) {
    SYSTEMTIME time{};
    ASSERT_TRUE(VariantTimeToSystemTime(40178.0 + 86399.6 / 86400.0, &time));
    EXPECT_EQ(time.wYear, 2010);
    EXPECT_EQ(time.wMonth, 1);
    EXPECT_EQ(time.wDay, 1);
    EXPECT_EQ(time.wHour, 0);
    EXPECT_EQ(time.wSecond, 0);
    // Before 1899-12-30 the fraction still counts forwards: 23:59:59.6 on 1899-12-28 is midnight
    // of 1899-12-29.
    ASSERT_TRUE(VariantTimeToSystemTime(-2.0 - 86399.6 / 86400.0, &time));
    EXPECT_EQ(time.wDay, 29);
    EXPECT_EQ(time.wHour, 0);
    // Milliseconds are not part of a date.
    SYSTEMTIME withMilliseconds = Time(2009, 12, 31, 12);
    withMilliseconds.wMilliseconds = 999;
    DATE date = 0;
    ASSERT_TRUE(SystemTimeToVariantTime(&withMilliseconds, &date));
    EXPECT_DOUBLE_EQ(date, 40178.5);
}

}  // namespace
