// Pellorin's command line: one option, for most of them followed by ':' and a number, and
// the "-date:day/month/year" that may come with "-appt".
#pragma once

#include "platform/base/Types.h"

enum PellorinAction : int {
    kActionNone = 0,
    kActionNewContact = 1,
    kActionOpen = 2,
    kActionEdit = 3,
    kActionNewAppointment = 4,
    kActionNewTask = 5,
    kActionBeam = 6,
    kActionBackground = 7,
    kActionCopy = 8,
    kActionCopyToSim = 9,
    kActionOpenDialer = 10,
    kActionNewAnyItem = 11,
};

// The action of the first option found in a lower-cased copy (see the table in the .cpp),
// and its number in *number, read as an unsigned 32-bit value; options that carry an object
// id get bit 31 set. *number is left alone for options without a number.
int ParseCommandLine(LPCWSTR commandLine, DWORD* number);

// Finds `option` in the command line as given (with case), followed by ':' and
// day/month/year, the year followed by white space or the end of the line. True with the
// date (all other fields zero) only for a date that exists.
bool ParseDateOption(LPCWSTR option, LPCWSTR commandLine, SYSTEMTIME* date);

// The start of the next full hour after `now`, rolling over into the next day, month and year.
SYSTEMTIME NextFullHour(const SYSTEMTIME& now);
