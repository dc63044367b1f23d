// Pellorin's command line: every row of the option table, object ids and hand-over keys as
// unsigned numbers, the "-date" option, and the next full hour of a new appointment.
#include <gtest/gtest.h>

#include "pimhelper/CommandLine.h"
#include "pimhelper/PellorinActions.h"
#include "platform/base/Clock.h"

namespace {

struct LineCase {
    const char16_t* line;
    int action;
    DWORD number;  // what *number holds afterwards; it starts at 0xABCD
};

TEST(PellorinCommandLine, EveryOptionGivesItsActionAndNumber) {
    const LineCase cases[] = {
        {u"-newany", kActionNewAnyItem, 0xABCD},
        {u"-newany -new:5", kActionNewAnyItem, 0xABCD},
        {u"-new:5", kActionNewContact, 5},
        {u"-NEW:5", kActionNewContact, 5},
        {u"-new:3735928559", kActionNewContact, 0xDEADBEEF},  // a key past 2^31
        {u"-new:99999999999", kActionNewContact, 0xFFFFFFFF},  // beyond 32 bits: no key
        {u"-new", kActionNewContact, 0},
        {u"-new:", kActionNewContact, 0},
        {u"-open:12", kActionOpen, 0x8000000C},
        {u"-open:2147483660", kActionOpen, 0x8000000C},  // bit 31 set already
        {u"-open:4294967295", kActionOpen, 0xFFFFFFFF},
        {u"-edit:7", kActionEdit, 0x80000007},
        {u"-open -task", kActionNewTask, 0xABCD},  // "-open" without ':' falls through
        {u"-appt", kActionNewAppointment, 0xABCD},
        {u"-appt -date:1/2/2009", kActionNewAppointment, 0xABCD},
        {u"-task", kActionNewTask, 0xABCD},
        {u"-beam:3", kActionBeam, 0x80000003},
        {u"-bkg", kActionBackground, 0xABCD},
        {u"-copysim:7", kActionCopyToSim, 0x80000007},
        {u"-copy:7", kActionCopy, 0x80000007},
        {u"-CopySim:2147483655", kActionCopyToSim, 0x80000007},
        {u"-dialer.3", kActionOpenDialer, 0xABCD},
        {u"-dialer.4", kActionNone, 0xABCD},
        {u"-beam", kActionNone, 0xABCD},
        {u"", kActionNone, 0xABCD},
        {u"hello", kActionNone, 0xABCD},
    };
    for (const LineCase& c : cases) {
        DWORD number = 0xABCD;
        std::u16string line = c.line;
        EXPECT_EQ(ParseCommandLine(line.c_str(), &number), c.action) << std::string(line.begin(), line.end());
        EXPECT_EQ(number, c.number) << std::string(line.begin(), line.end());
    }
    EXPECT_EQ(ParseCommandLine(nullptr, nullptr), kActionNone);
}

struct DateCase {
    const char16_t* line;
    bool read;
    WORD day = 0, month = 0, year = 0;
};

TEST(PellorinCommandLine, OnlyDatesThatExistAreRead) {
    const DateCase cases[] = {
        {u"-appt -date:31/12/2009", true, 31, 12, 2009},
        {u"-date:29/2/2008 -appt", true, 29, 2, 2008},
        {u"-date:1/2/2009\t", true, 1, 2, 2009},
        {u"-date:31/12/2009x", false},
        {u"-Date:1/2/2009", false},  // searched with case
        {u"-date 1/2/2009", false},
        {u"-date:1/2", false},
        {u"-date:29/2/2009", false},
        {u"-date:31/4/2009", false},
        {u"-date:0/1/2009", false},
        {u"-date:1/13/2009", false},
        {u"-date:1/0/2009", false},
        {u"-date:1/1/0", false},
        {u"-date:1/1/65537", false},  // would be year 1 in 16 bits
        {u"-date:65567/1/2009", false},
        {u"-date:4294967297/1/2009", false},
        {u"-date:", false},
    };
    for (const DateCase& c : cases) {
        SYSTEMTIME date{};
        date.wHour = 99;
        std::u16string line = c.line;
        ASSERT_EQ(ParseDateOption(u"-date", line.c_str(), &date), c.read) << std::string(line.begin(), line.end());
        if (!c.read) continue;
        EXPECT_EQ(date.wDay, c.day);
        EXPECT_EQ(date.wMonth, c.month);
        EXPECT_EQ(date.wYear, c.year);
        EXPECT_EQ(date.wHour, 0);
    }
}

SYSTEMTIME At(WORD year, WORD month, WORD day, WORD hour, WORD minute) {
    SYSTEMTIME time{};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    time.wHour = hour;
    time.wMinute = minute;
    time.wSecond = 30;
    time.wMilliseconds = 500;
    return time;
}

TEST(PellorinCommandLine, TheNextFullHourRollsIntoTheNextDay) {
    struct Case {
        SYSTEMTIME now;
        SYSTEMTIME expected;
    } cases[] = {
        {At(2009, 6, 15, 9, 41), At(2009, 6, 15, 10, 0)},
        {At(2009, 6, 15, 23, 5), At(2009, 6, 16, 0, 0)},
        {At(2009, 12, 31, 23, 59), At(2010, 1, 1, 0, 0)},
        {At(2008, 2, 28, 23, 0), At(2008, 2, 29, 0, 0)},
    };
    for (const Case& c : cases) {
        SYSTEMTIME next = NextFullHour(c.now);
        EXPECT_EQ(next.wYear, c.expected.wYear);
        EXPECT_EQ(next.wMonth, c.expected.wMonth);
        EXPECT_EQ(next.wDay, c.expected.wDay);
        EXPECT_EQ(next.wHour, c.expected.wHour);
        EXPECT_EQ(next.wMinute, 0);
        EXPECT_EQ(next.wSecond, 0);
        EXPECT_EQ(next.wMilliseconds, 0);
    }
}

TEST(PellorinCommandLine, AnAppointmentStartsAtNoonOfItsDateElseAtTheNextHour) {
    SYSTEMTIME start = AppointmentStart(u"-appt -date:24/12/2009");
    EXPECT_EQ(start.wDay, 24);
    EXPECT_EQ(start.wHour, 12);
    EXPECT_EQ(start.wMinute, 0);
    // 2009-12-31 23:30 UTC, local time = UTC.
    constexpr ULONGLONG kMsPerDay = 86400000ull;
    constexpr ULONGLONG kDaysFrom1601To2009End = 149383;  // 1601-01-01 .. 2009-12-31
    platform::clock::UseManualClock(1000, kDaysFrom1601To2009End * kMsPerDay + (23 * 60 + 30) * 60000ull);
    platform::clock::SetTimeZoneBias(0);
    SYSTEMTIME now{};
    GetLocalTime(&now);
    ASSERT_EQ(now.wYear, 2009);
    ASSERT_EQ(now.wHour, 23);
    start = AppointmentStart(u"-appt -date:31/12/2009x");
    platform::clock::UseRealClock();
    EXPECT_EQ(start.wYear, 2010);
    EXPECT_EQ(start.wMonth, 1);
    EXPECT_EQ(start.wDay, 1);
    EXPECT_EQ(start.wHour, 0);
}

}  // namespace
