// Calendar conversions between SYSTEMTIME and FILETIME (100 ns units since 1601-01-01 UTC),
// and CompareFileTime.
#include <cstdint>

#include "platform/base/Clock.h"
#include "platform/base/Errors.h"

namespace {

constexpr std::uint64_t kTicksPerMillisecond = 10000;
constexpr std::uint64_t kTicksPerDay = 86400ull * 1000 * kTicksPerMillisecond;
// Days from 0000-03-01 (the start of the proleptic Gregorian eras used below) to 1601-01-01.
constexpr std::int64_t kDaysTo1601 = 584694;
// FILETIME's range ends where its top bit would be set; the calendar stops at 30827.
constexpr std::uint64_t kLargestFileTime = 0x7FFFFFFFFFFFFFFFull;

bool IsLeapYear(unsigned year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

unsigned DaysInMonth(unsigned year, unsigned month) {
    static const unsigned days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

// Days since 1601-01-01 for a valid date; the year counts from March so that the leap day
// falls at the end of it.
std::int64_t DaysSince1601(unsigned year, unsigned month, unsigned day) {
    std::int64_t y = static_cast<std::int64_t>(year) - (month <= 2 ? 1 : 0);
    std::int64_t era = y / 400;
    std::int64_t yearOfEra = y - era * 400;
    std::int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - kDaysTo1601;
}

void CivilFromDays(std::int64_t daysSince1601, unsigned& year, unsigned& month, unsigned& day) {
    std::int64_t days = daysSince1601 + kDaysTo1601;
    std::int64_t era = days / 146097;
    std::int64_t dayOfEra = days - era * 146097;
    std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    std::int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
    day = static_cast<unsigned>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    month = static_cast<unsigned>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    year = static_cast<unsigned>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
}

std::uint64_t ToValue(const FILETIME& time) {
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

}  // namespace

BOOL SystemTimeToFileTime(const SYSTEMTIME* systemTime, LPFILETIME fileTime) {
    if (systemTime == nullptr || fileTime == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const SYSTEMTIME& t = *systemTime;
    // The day of the week is not checked: it follows from the date.
    if (t.wYear < 1601 || t.wYear > 30827 || t.wMonth < 1 || t.wMonth > 12 || t.wDay < 1 ||
        t.wDay > DaysInMonth(t.wYear, t.wMonth) || t.wHour > 23 || t.wMinute > 59 || t.wSecond > 59 ||
        t.wMilliseconds > 999) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::uint64_t days = static_cast<std::uint64_t>(DaysSince1601(t.wYear, t.wMonth, t.wDay));
    std::uint64_t milliseconds =
        ((static_cast<std::uint64_t>(t.wHour) * 60 + t.wMinute) * 60 + t.wSecond) * 1000 + t.wMilliseconds;
    std::uint64_t value = days * kTicksPerDay + milliseconds * kTicksPerMillisecond;
    fileTime->dwLowDateTime = static_cast<DWORD>(value);
    fileTime->dwHighDateTime = static_cast<DWORD>(value >> 32);
    return TRUE;
}

BOOL FileTimeToSystemTime(const FILETIME* fileTime, LPSYSTEMTIME systemTime) {
    if (fileTime == nullptr || systemTime == nullptr || ToValue(*fileTime) > kLargestFileTime) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::uint64_t value = ToValue(*fileTime);
    std::int64_t days = static_cast<std::int64_t>(value / kTicksPerDay);
    std::uint64_t milliseconds = (value % kTicksPerDay) / kTicksPerMillisecond;
    unsigned year, month, day;
    CivilFromDays(days, year, month, day);
    systemTime->wYear = static_cast<WORD>(year);
    systemTime->wMonth = static_cast<WORD>(month);
    systemTime->wDay = static_cast<WORD>(day);
    // 1601-01-01 was a Monday; Sunday is 0.
    systemTime->wDayOfWeek = static_cast<WORD>((days + 1) % 7);
    systemTime->wHour = static_cast<WORD>(milliseconds / 3600000);
    systemTime->wMinute = static_cast<WORD>(milliseconds / 60000 % 60);
    systemTime->wSecond = static_cast<WORD>(milliseconds / 1000 % 60);
    systemTime->wMilliseconds = static_cast<WORD>(milliseconds % 1000);
    return TRUE;
}

LONG CompareFileTime(const FILETIME* a, const FILETIME* b) {
    std::uint64_t first = a != nullptr ? ToValue(*a) : 0;
    std::uint64_t second = b != nullptr ? ToValue(*b) : 0;
    return first < second ? -1 : first > second ? 1 : 0;
}
