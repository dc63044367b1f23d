// Automation dates (DATE): days since 1899-12-30 00:00 with the time of day as the fraction.
// Before that day the whole part counts days backwards while the fraction still counts the
// time forwards (-1.25 is 1899-12-29 06:00). Dates run from 0100-01-01 to 9999-12-31.
#pragma once

#include "platform/base/Types.h"

using DATE = double;

// FALSE for a time that does not exist: a month outside 1-12, a day outside its month (leap
// years included), hour > 23, minute or second > 59, or a year outside 100-9999.
// wDayOfWeek and wMilliseconds are not read.
INT SystemTimeToVariantTime(const SYSTEMTIME* systemTime, DATE* variantTime);
// Rounds to the nearest second and fills wDayOfWeek; wMilliseconds is 0. FALSE for a value
// outside the range of dates (or not a number).
INT VariantTimeToSystemTime(DATE variantTime, LPSYSTEMTIME systemTime);
