// Field tables of the item types, the text form of field values and item summaries.
#include "platform/poom/ItemFields.h"

#include <cstdint>
#include <cstdio>

#include "platform/base/Clock.h"
#include "platform/base/CodePage.h"
#include "platform/poom/ItemProperties.h"
#include "platform/poom/Poom.h"

namespace platform::poom {

namespace {

#define POOM_TEXT_ROW(name, number, label) {MAKEPROPID(number, CEVT_LPWSTR), u"" label, FieldFormat::Text},
#define POOM_DATE_ROW(name, number, label) {MAKEPROPID(number, CEVT_FILETIME), u"" label, FieldFormat::Date},
#define POOM_NUMBER_ROW(name, number, label) {MAKEPROPID(number, CEVT_UI4), u"" label, FieldFormat::Unsigned},
constexpr ItemField kContactFields[] = {POOM_CONTACT_FIELDS(POOM_TEXT_ROW, POOM_DATE_ROW, POOM_NUMBER_ROW)};
#undef POOM_TEXT_ROW
#undef POOM_DATE_ROW
#undef POOM_NUMBER_ROW

constexpr ItemField kAppointmentFields[] = {
    {kItemSubject, u"Subject", FieldFormat::Text},
    {kItemLocation, u"Location", FieldFormat::Text},
    {kItemStart, u"Starts", FieldFormat::DateTime},
    {kItemDuration, u"Minutes", FieldFormat::Signed},
    {kItemAllDayEvent, u"All day", FieldFormat::Signed},
    {kItemBusyStatus, u"Status", FieldFormat::Signed},
    {kItemReminderSet, u"Reminder", FieldFormat::Signed},
    {kItemReminderMinutes, u"Reminder minutes", FieldFormat::Signed},
    {kItemSensitivity, u"Sensitivity", FieldFormat::Signed},
    {kItemCategories, u"Categories", FieldFormat::Text},
    {kItemBody, u"Notes", FieldFormat::Text},
};

constexpr ItemField kTaskFields[] = {
    {kItemSubject, u"Subject", FieldFormat::Text},
    {kItemStartDate, u"Starts", FieldFormat::Date},
    {kItemDueDate, u"Due", FieldFormat::Date},
    {kItemImportance, u"Priority", FieldFormat::Signed},
    {kItemComplete, u"Complete", FieldFormat::Signed},
    {kItemSensitivity, u"Sensitivity", FieldFormat::Signed},
    {kItemCategories, u"Categories", FieldFormat::Text},
    {kItemBody, u"Notes", FieldFormat::Text},
};

constexpr CEPROPID kSummaryFallbacks[] = {
    kContactMobileTelephoneNumber, kContactBusinessTelephoneNumber, kContactBusiness2TelephoneNumber,
    kContactHomeTelephoneNumber,   kContactHome2TelephoneNumber,    kContactCarTelephoneNumber,
    kContactRadioTelephoneNumber,  kContactPagerNumber,             kContactAssistantTelephoneNumber,
    kContactCompanyTelephoneNumber, kContactBusinessFaxNumber,      kContactHomeFaxNumber,
    kContactEmail1Address,         kContactEmail2Address,           kContactEmail3Address,
};

std::u16string TextOf(const std::vector<cedb::PropertyValue>& values, CEPROPID id) {
    const cedb::PropertyValue* value = FindValue(values, id);
    return value != nullptr ? value->text : std::u16string();
}

// Reads an unsigned decimal number of at most `maxDigits` digits at `position`.
bool ReadNumber(const std::u16string& text, std::size_t& position, std::size_t maxDigits, std::uint32_t& number) {
    std::size_t start = position;
    number = 0;
    while (position < text.size() && text[position] >= u'0' && text[position] <= u'9' &&
           position - start < maxDigits) {
        number = number * 10 + static_cast<std::uint32_t>(text[position] - u'0');
        ++position;
    }
    return position > start && (position == text.size() || text[position] < u'0' || text[position] > u'9');
}

bool Expect(const std::u16string& text, std::size_t& position, char16_t c) {
    if (position >= text.size() || text[position] != c) return false;
    ++position;
    return true;
}

// "YYYY-MM-DD" or "YYYY-MM-DD HH:MM" into a FILETIME; the date must exist.
bool ParseDate(const std::u16string& text, bool withTime, FILETIME& fileTime) {
    std::size_t position = 0;
    std::uint32_t year = 0, month = 0, day = 0, hour = 0, minute = 0;
    if (!ReadNumber(text, position, 5, year) || !Expect(text, position, u'-') ||
        !ReadNumber(text, position, 2, month) || !Expect(text, position, u'-') || !ReadNumber(text, position, 2, day))
        return false;
    if (withTime && (!Expect(text, position, u' ') || !ReadNumber(text, position, 2, hour) ||
                     !Expect(text, position, u':') || !ReadNumber(text, position, 2, minute)))
        return false;
    if (position != text.size() || year > 30827) return false;
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(year);
    time.wMonth = static_cast<WORD>(month);
    time.wDay = static_cast<WORD>(day);
    time.wHour = static_cast<WORD>(hour);
    time.wMinute = static_cast<WORD>(minute);
    return SystemTimeToFileTime(&time, &fileTime) != FALSE;
}

bool ParseInteger(const std::u16string& text, bool allowSign, std::int64_t& number) {
    std::size_t position = 0;
    bool negative = false;
    if (allowSign && !text.empty() && text[0] == u'-') {
        negative = true;
        position = 1;
    }
    if (position == text.size()) return false;
    std::int64_t magnitude = 0;
    for (; position < text.size(); ++position) {
        if (text[position] < u'0' || text[position] > u'9') return false;
        magnitude = magnitude * 10 + (text[position] - u'0');
        if (magnitude > 0xFFFFFFFFll) return false;
    }
    number = negative ? -magnitude : magnitude;
    return true;
}

}  // namespace

std::span<const ItemField> FieldsOf(int itemType) {
    switch (itemType) {
        case olAppointmentItem: return kAppointmentFields;
        case olContactItem: return kContactFields;
        case olTaskItem: return kTaskFields;
        default: return {};
    }
}

const char16_t* ItemTypeLabel(int itemType) {
    switch (itemType) {
        case olAppointmentItem: return u"Appointment";
        case olContactItem: return u"Contact";
        case olTaskItem: return u"Task";
        default: return u"Item";
    }
}

const cedb::PropertyValue* FindValue(const std::vector<cedb::PropertyValue>& values, CEPROPID id) {
    for (const cedb::PropertyValue& value : values)
        if (value.id == id) return &value;
    return nullptr;
}

std::u16string FormatField(const ItemField& field, const cedb::PropertyValue* value) {
    if (value == nullptr) return {};
    char text[40] = {};
    switch (field.format) {
        case FieldFormat::Text: return value->text;
        case FieldFormat::Date:
        case FieldFormat::DateTime: {
            FILETIME fileTime{static_cast<DWORD>(value->scalar), static_cast<DWORD>(value->scalar >> 32)};
            SYSTEMTIME time{};
            if (!FileTimeToSystemTime(&fileTime, &time)) return {};
            if (field.format == FieldFormat::Date)
                std::snprintf(text, sizeof text, "%04u-%02u-%02u", time.wYear, time.wMonth, time.wDay);
            else
                std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u", time.wYear, time.wMonth, time.wDay,
                              time.wHour, time.wMinute);
            break;
        }
        case FieldFormat::Signed:
            std::snprintf(text, sizeof text, "%d", static_cast<int>(static_cast<std::int32_t>(value->scalar)));
            break;
        case FieldFormat::Unsigned:
            std::snprintf(text, sizeof text, "%u", static_cast<unsigned>(static_cast<std::uint32_t>(value->scalar)));
            break;
    }
    return Utf8ToUtf16(text);
}

bool ParseField(const ItemField& field, const std::u16string& text, cedb::PropertyValue& value, bool& present) {
    value = cedb::PropertyValue{};
    value.id = field.id;
    present = !text.empty();
    if (!present) return true;
    switch (field.format) {
        case FieldFormat::Text:
            if (text.size() * sizeof(WCHAR) + sizeof(WCHAR) > CEDB_MAXPROPDATASIZE) return false;
            value.text = text;
            return true;
        case FieldFormat::Date:
        case FieldFormat::DateTime: {
            FILETIME fileTime{};
            if (!ParseDate(text, field.format == FieldFormat::DateTime, fileTime)) return false;
            value.scalar = (static_cast<std::uint64_t>(fileTime.dwHighDateTime) << 32) | fileTime.dwLowDateTime;
            return true;
        }
        case FieldFormat::Signed: {
            std::int64_t number = 0;
            if (!ParseInteger(text, true, number) || number < INT32_MIN || number > INT32_MAX) return false;
            value.scalar = static_cast<std::uint32_t>(static_cast<std::int32_t>(number));
            return true;
        }
        case FieldFormat::Unsigned: {
            std::int64_t number = 0;
            if (!ParseInteger(text, false, number)) return false;
            value.scalar = static_cast<std::uint32_t>(number);
            return true;
        }
    }
    return false;
}

std::u16string ItemSummary(int itemType, const std::vector<cedb::PropertyValue>& values) {
    if (itemType != olContactItem) return TextOf(values, kItemSubject);
    std::u16string summary = TextOf(values, kContactFileAs);
    if (!summary.empty()) return summary;
    std::u16string first = TextOf(values, kContactFirstName);
    std::u16string last = TextOf(values, kContactLastName);
    summary = first.empty() || last.empty() ? first + last : first + u" " + last;
    if (!summary.empty()) return summary;
    summary = TextOf(values, kContactCompanyName);
    for (CEPROPID id : kSummaryFallbacks) {
        if (!summary.empty()) break;
        summary = TextOf(values, id);
    }
    return summary;
}

bool DateToFileTime(DATE date, FILETIME& fileTime) {
    SYSTEMTIME time{};
    return VariantTimeToSystemTime(date, &time) && SystemTimeToFileTime(&time, &fileTime);
}

bool FileTimeToDate(const FILETIME& fileTime, DATE& date) {
    SYSTEMTIME time{};
    return FileTimeToSystemTime(&fileTime, &time) && SystemTimeToVariantTime(&time, &date);
}

}  // namespace platform::poom
