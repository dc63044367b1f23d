// Conversions between SYSTEMTIME and automation dates, on the proleptic Gregorian calendar.
#include "platform/com/VariantTime.h"

#include <cmath>
#include <cstdint>

namespace {

constexpr double kSecondsPerDay = 86400.0;
constexpr std::int64_t kFirstYear = 100;
constexpr std::int64_t kLastYear = 9999;

bool IsLeapYear(std::int64_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(std::int64_t year, int month) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days from 1970-01-01 to the given civil date (negative before it).
std::int64_t DaysFromCivil(std::int64_t year, int month, int day) {
    year -= month <= 2 ? 1 : 0;
    std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    std::int64_t yearOfEra = year - era * 400;
    std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

void CivilFromDays(std::int64_t days, std::int64_t& year, int& month, int& day) {
    days += 719468;
    std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    std::int64_t dayOfEra = days - era * 146097;
    std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    std::int64_t monthIndex = (5 * dayOfYear + 2) / 153;
    day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
}

const std::int64_t kEpochDays = DaysFromCivil(1899, 12, 30);

}  // namespace

INT SystemTimeToVariantTime(const SYSTEMTIME* systemTime, DATE* variantTime) {
    if (systemTime == nullptr || variantTime == nullptr) return FALSE;
    const SYSTEMTIME& t = *systemTime;
    if (t.wYear < kFirstYear || t.wYear > kLastYear || t.wMonth < 1 || t.wMonth > 12 || t.wDay < 1 ||
        t.wDay > DaysInMonth(t.wYear, t.wMonth) || t.wHour > 23 || t.wMinute > 59 || t.wSecond > 59)
        return FALSE;
    double days = static_cast<double>(DaysFromCivil(t.wYear, t.wMonth, t.wDay) - kEpochDays);
    double time = (t.wHour * 3600.0 + t.wMinute * 60.0 + t.wSecond) / kSecondsPerDay;
    *variantTime = days >= 0 ? days + time : days - time;
    return TRUE;
}

INT VariantTimeToSystemTime(DATE variantTime, LPSYSTEMTIME systemTime) {
    if (systemTime == nullptr || !std::isfinite(variantTime)) return FALSE;
    static const double kFirst = static_cast<double>(DaysFromCivil(kFirstYear, 1, 1) - kEpochDays);
    static const double kLast = static_cast<double>(DaysFromCivil(kLastYear, 12, 31) - kEpochDays) + 1.0;
    if (variantTime <= kFirst - 1.0 || variantTime >= kLast) return FALSE;
    double whole = std::trunc(variantTime);
    double fraction = std::fabs(variantTime - whole);
    auto day = static_cast<std::int64_t>(whole);
    auto seconds = static_cast<std::int64_t>(std::llround(fraction * kSecondsPerDay));
    if (seconds >= 86400) {
        seconds -= 86400;
        ++day;
    }
    std::int64_t days = day + kEpochDays;
    std::int64_t year = 0;
    int month = 0;
    int dayOfMonth = 0;
    CivilFromDays(days, year, month, dayOfMonth);
    if (year < kFirstYear || year > kLastYear) return FALSE;
    SYSTEMTIME& t = *systemTime;
    t.wYear = static_cast<WORD>(year);
    t.wMonth = static_cast<WORD>(month);
    t.wDay = static_cast<WORD>(dayOfMonth);
    // 1970-01-01 was a Thursday (4).
    t.wDayOfWeek = static_cast<WORD>(((days % 7) + 7 + 4) % 7);
    t.wHour = static_cast<WORD>(seconds / 3600);
    t.wMinute = static_cast<WORD>(seconds / 60 % 60);
    t.wSecond = static_cast<WORD>(seconds % 60);
    t.wMilliseconds = 0;
    return TRUE;
}
