// The property ids that items are stored under: one constant per contact field
// (kContactFirstName = 0x0082001F ...) and the fields of appointments and tasks, each type
// in its own database.
#pragma once

#include "platform/cedb/CeTypes.h"
#include "platform/poom/ContactFields.h"

namespace platform::poom {

#define POOM_TEXT_PROPERTY_ID(name, number, label) constexpr CEPROPID kContact##name = MAKEPROPID(number, CEVT_LPWSTR);
#define POOM_DATE_PROPERTY_ID(name, number, label) \
    constexpr CEPROPID kContact##name = MAKEPROPID(number, CEVT_FILETIME);
#define POOM_NUMBER_PROPERTY_ID(name, number, label) constexpr CEPROPID kContact##name = MAKEPROPID(number, CEVT_UI4);
POOM_CONTACT_FIELDS(POOM_TEXT_PROPERTY_ID, POOM_DATE_PROPERTY_ID, POOM_NUMBER_PROPERTY_ID)
#undef POOM_TEXT_PROPERTY_ID
#undef POOM_DATE_PROPERTY_ID
#undef POOM_NUMBER_PROPERTY_ID

// Appointments and tasks share the numbers of the fields they have in common (numbers
// from 0x0101, so that no field's control id in the item window is IDOK or IDCANCEL).
constexpr CEPROPID kItemSubject = MAKEPROPID(0x0101, CEVT_LPWSTR);
constexpr CEPROPID kItemLocation = MAKEPROPID(0x0102, CEVT_LPWSTR);
constexpr CEPROPID kItemCategories = MAKEPROPID(0x0103, CEVT_LPWSTR);
constexpr CEPROPID kItemBody = MAKEPROPID(0x0104, CEVT_LPWSTR);
constexpr CEPROPID kItemBusyStatus = MAKEPROPID(0x0105, CEVT_I4);
constexpr CEPROPID kItemAllDayEvent = MAKEPROPID(0x0106, CEVT_I4);
constexpr CEPROPID kItemReminderSet = MAKEPROPID(0x0107, CEVT_I4);
constexpr CEPROPID kItemReminderMinutes = MAKEPROPID(0x0108, CEVT_I4);
constexpr CEPROPID kItemSensitivity = MAKEPROPID(0x0109, CEVT_I4);
constexpr CEPROPID kItemStart = MAKEPROPID(0x010A, CEVT_FILETIME);
constexpr CEPROPID kItemDuration = MAKEPROPID(0x010B, CEVT_I4);  // minutes
constexpr CEPROPID kItemImportance = MAKEPROPID(0x010C, CEVT_I4);
constexpr CEPROPID kItemStartDate = MAKEPROPID(0x010D, CEVT_FILETIME);
constexpr CEPROPID kItemDueDate = MAKEPROPID(0x010E, CEVT_FILETIME);
constexpr CEPROPID kItemComplete = MAKEPROPID(0x010F, CEVT_I4);

}  // namespace platform::poom
