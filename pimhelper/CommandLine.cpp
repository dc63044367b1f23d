// Reading Pellorin's options, their numbers and the appointment date.
#include "pimhelper/CommandLine.h"

#include <cstdint>
#include <string>

#include "platform/base/Clock.h"
#include "platform/base/WideString.h"
#include "platform/com/VariantTime.h"

namespace {

enum class NumberRule {
    Unchanged,     // the option alone
    Zero,          // the option alone, number 0
    Value,         // ':' and the number as written
    ObjectId,      // ':' and the number with bit 31 set
};

struct OptionTest {
    const char16_t* text;
    int action;
    NumberRule rule;
};

// In this order; the first test that succeeds decides. A longer option comes before its
// prefix, and a test that needs ':' looks only at the option's first occurrence.
constexpr OptionTest kOptionTests[] = {
    {u"-newany", kActionNewAnyItem, NumberRule::Unchanged},
    {u"-new", kActionNewContact, NumberRule::Value},
    {u"-new", kActionNewContact, NumberRule::Zero},
    {u"-open", kActionOpen, NumberRule::ObjectId},
    {u"-edit", kActionEdit, NumberRule::ObjectId},
    {u"-appt", kActionNewAppointment, NumberRule::Unchanged},
    {u"-task", kActionNewTask, NumberRule::Unchanged},
    {u"-beam", kActionBeam, NumberRule::ObjectId},
    {u"-bkg", kActionBackground, NumberRule::Unchanged},
    {u"-copysim", kActionCopyToSim, NumberRule::ObjectId},
    {u"-copy", kActionCopy, NumberRule::ObjectId},
    {u"-dialer.3", kActionOpenDialer, NumberRule::Unchanged},
};

constexpr DWORD kObjectIdBit = 0x80000000u;

// Decimal digits as an unsigned 32-bit value: object ids with bit 31 and hand-over keys of a
// tick count past 2^31 are whole numbers, not negative ones. A value beyond 32 bits is
// capped at 0xFFFFFFFF, which names no object and no hand-over; no digits give 0.
DWORD ReadUnsigned(const char16_t* text) {
    std::uint64_t value = 0;
    for (; *text >= u'0' && *text <= u'9'; ++text) {
        value = value * 10 + static_cast<std::uint64_t>(*text - u'0');
        if (value > 0xFFFFFFFFull) return 0xFFFFFFFFu;
    }
    return static_cast<DWORD>(value);
}

// As a "%u" field: white space, then at least one digit. The value saturates beyond what a
// date field can hold, which the date check then refuses.
bool ScanField(const char16_t*& text, std::uint32_t& value) {
    while (*text != 0 && iswspace(*text)) ++text;
    if (*text < u'0' || *text > u'9') return false;
    std::uint64_t read = 0;
    for (; *text >= u'0' && *text <= u'9'; ++text) {
        read = read * 10 + static_cast<std::uint64_t>(*text - u'0');
        if (read > 0xFFFFFFFFull) read = 0xFFFFFFFFull;
    }
    value = static_cast<std::uint32_t>(read);
    return true;
}

}  // namespace

int ParseCommandLine(LPCWSTR commandLine, DWORD* number) {
    if (commandLine == nullptr) return kActionNone;
    std::u16string lowered(commandLine);
    for (char16_t& c : lowered) c = towlower(c);
    for (const OptionTest& test : kOptionTests) {
        const char16_t* found = wcsstr(lowered.c_str(), test.text);
        if (found == nullptr) continue;
        const char16_t* after = found + wcslen(test.text);
        bool needsColon = test.rule == NumberRule::Value || test.rule == NumberRule::ObjectId;
        if (needsColon && *after != u':') continue;
        if (number != nullptr) {
            if (test.rule == NumberRule::Zero) *number = 0;
            if (test.rule == NumberRule::Value) *number = ReadUnsigned(after + 1);
            if (test.rule == NumberRule::ObjectId) *number = ReadUnsigned(after + 1) | kObjectIdBit;
        }
        return test.action;
    }
    return kActionNone;
}

bool ParseDateOption(LPCWSTR option, LPCWSTR commandLine, SYSTEMTIME* date) {
    if (option == nullptr || commandLine == nullptr || date == nullptr) return false;
    const char16_t* found = wcsstr(commandLine, option);
    if (found == nullptr) return false;
    const char16_t* text = found + wcslen(option);
    if (*text != u':') return false;
    ++text;
    std::uint32_t day = 0, month = 0, year = 0;
    if (!ScanField(text, day) || *text++ != u'/' || !ScanField(text, month) || *text++ != u'/' ||
        !ScanField(text, year))
        return false;
    // The end of the line counts as white space.
    if (*text != 0 && !iswspace(*text)) return false;
    if (day > 31 || month > 12 || year > 0xFFFF) return false;
    SYSTEMTIME read{};
    read.wDay = static_cast<WORD>(day);
    read.wMonth = static_cast<WORD>(month);
    read.wYear = static_cast<WORD>(year);
    // Only a date that exists (and that an appointment can hold) is a date.
    DATE check = 0;
    if (!SystemTimeToVariantTime(&read, &check)) return false;
    *date = read;
    return true;
}

SYSTEMTIME NextFullHour(const SYSTEMTIME& now) {
    SYSTEMTIME hour = now;
    hour.wMinute = 0;
    hour.wSecond = 0;
    hour.wMilliseconds = 0;
    FILETIME at{};
    if (!SystemTimeToFileTime(&hour, &at)) return hour;
    constexpr std::uint64_t kHour = 3600ull * 10000000ull;
    std::uint64_t next = ((static_cast<std::uint64_t>(at.dwHighDateTime) << 32) | at.dwLowDateTime) + kHour;
    at.dwLowDateTime = static_cast<DWORD>(next);
    at.dwHighDateTime = static_cast<DWORD>(next >> 32);
    SYSTEMTIME result = hour;
    FileTimeToSystemTime(&at, &result);
    return result;
}
