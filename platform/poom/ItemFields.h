// The fields of each item type as the item window shows them, the text of a field's value
// and back, the one-line summary of an item (window titles, the infrared outbox), and the
// conversions between automation dates and the FILETIMEs the records hold.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "platform/cedb/PropertyValue.h"
#include "platform/com/VariantTime.h"

namespace platform::poom {

enum class FieldFormat {
    Text,      // CEVT_LPWSTR
    Date,      // CEVT_FILETIME shown as "YYYY-MM-DD"
    DateTime,  // CEVT_FILETIME shown as "YYYY-MM-DD HH:MM"
    Signed,    // CEVT_I4 in decimal
    Unsigned,  // CEVT_UI4 in decimal
};

struct ItemField {
    CEPROPID id;
    const char16_t* label;
    FieldFormat format;
};

// The fields of an item type in the order the window lists them; empty for an unknown type.
std::span<const ItemField> FieldsOf(int itemType);
// "Contact", "Appointment", "Task".
const char16_t* ItemTypeLabel(int itemType);

const cedb::PropertyValue* FindValue(const std::vector<cedb::PropertyValue>& values, CEPROPID id);

// A value as the window shows it; empty for an absent value.
std::u16string FormatField(const ItemField& field, const cedb::PropertyValue* value);
// Reads a field's text into `value` (its id set). False when the text is not a value of the
// field's format. An empty text is no value: `present` is then false.
bool ParseField(const ItemField& field, const std::u16string& text, cedb::PropertyValue& value, bool& present);

// A contact's file-as name, else its first and last name, else its company, else its first
// phone number or e-mail address; an appointment's or task's subject. Empty when none.
std::u16string ItemSummary(int itemType, const std::vector<cedb::PropertyValue>& values);

// FALSE for a date outside what a FILETIME holds (before 1601) or an impossible one.
bool DateToFileTime(DATE date, FILETIME& fileTime);
bool FileTimeToDate(const FILETIME& fileTime, DATE& date);

}  // namespace platform::poom
