// The handset's PIM object model (POOM): the application object (made by CoCreateInstance
// of CLSID_Application), its folders and item collections, and the contact, appointment and
// task items, with their operations in slot order. Items live in the property databases of
// "pim.vol": "Contacts Database", "Appointments Database" and "Tasks Database".
//
// An item's object id (CEOID) is the item id of its record (CEPROPID_ITEMID, below 2^30)
// with the item type in the top two bits: contacts 0x80000000 | id, appointments
// 0x40000000 | id, tasks 0xC0000000 | id. 0 is an item that was never saved.
#pragma once

#include "platform/cedb/CeTypes.h"
#include "platform/com/Dispatch.h"
#include "platform/com/VariantTime.h"
#include "platform/poom/ContactFields.h"

inline constexpr CLSID CLSID_Application = {0x05058F23, 0x20BE, 0x11D2, {0x8F, 0x18, 0x00, 0x00, 0xF8, 0x7A, 0x43, 0x35}};
inline constexpr IID IID_IPOutlookApp = {0x05058F22, 0x20BE, 0x11D2, {0x8F, 0x18, 0x00, 0x00, 0xF8, 0x7A, 0x43, 0x35}};
inline constexpr IID IID_IItem = {0xFB8998D0, 0x38F0, 0x4D12, {0xAC, 0x56, 0x4E, 0xC8, 0xFC, 0xE9, 0xF3, 0xD5}};
inline constexpr IID IID_IAppointment = {0x5B43F691, 0x202C, 0x11D2, {0x8F, 0x18, 0x00, 0x00, 0xF8, 0x7A, 0x43, 0x35}};
inline constexpr IID IID_IContact = {0x7F804E40, 0x2010, 0x11D2, {0x8F, 0x18, 0x00, 0x00, 0xF8, 0x7A, 0x43, 0x35}};
inline constexpr IID IID_ITask = {0x9EF9FC77, 0x9F05, 0x4E3A, {0x92, 0xCC, 0x70, 0x88, 0x80, 0x1D, 0x0E, 0x41}};
inline constexpr IID IID_IFolder = {0x1C238A77, 0x401D, 0x47F9, {0xAF, 0xC6, 0x6B, 0xB7, 0xA6, 0x67, 0x09, 0xF5}};
inline constexpr IID IID_IPOutlookItemCollection = {0x6E3C9938, 0xA195, 0x407D, {0x8F, 0x13, 0x1A, 0x9B, 0xA1, 0xC3, 0xB2, 0x77}};

// Item types
constexpr int olAppointmentItem = 1;
constexpr int olContactItem = 2;
constexpr int olTaskItem = 3;

// Folders: one per item type, and the infrared folder, an outbox of items to beam.
constexpr int olFolderCalendar = 9;
constexpr int olFolderContacts = 10;
constexpr int olFolderTasks = 13;
constexpr int olFolderInfrared = 102;

class IFolder;
class IPOutlookItemCollection;

class IPOutlookApp : public IDispatch {
public:
    static constexpr const IID& kIid = IID_IPOutlookApp;
    // Opens the PIM databases (made when missing). The window may be null: each window of the
    // object model is owned by the window that its own call is given. Logging on again
    // changes nothing.
    virtual HRESULT Logon(HWND window) = 0;                                  // 7
    virtual HRESULT Logoff() = 0;                                            // 8
    virtual HRESULT get_Version(BSTR* version) = 0;                          // 9
    virtual HRESULT GetDefaultFolder(int folder, IFolder** result) = 0;      // 10
    // A new item of the type, not saved yet.
    virtual HRESULT CreateItem(int itemType, IDispatch** item) = 0;          // 11
    // The saved item of that object id; bit 30 and 31 name its type.
    virtual HRESULT GetItemFromOid(CEOID oid, IDispatch** item) = 0;         // 12

protected:
    ~IPOutlookApp() = default;
};

class IFolder : public IDispatch {
public:
    static constexpr const IID& kIid = IID_IFolder;
    virtual HRESULT get_Items(IPOutlookItemCollection** items) = 0;          // 7
    virtual HRESULT get_DefaultItemType(int* itemType) = 0;                  // 8
    virtual HRESULT get_Application(IPOutlookApp** application) = 0;         // 9
    // Infrared folder only: queues an item of that type for the next send.
    virtual HRESULT AddItemToInfraredFolder(int itemType, IDispatch* item) = 0;  // 10
    // Infrared folder only: beams the queued items; the three values are reserved and must
    // be 0. S_FALSE when nothing was queued.
    virtual HRESULT SendToInfrared(LONG reserved1, LONG reserved2, LONG reserved3) = 0;  // 11

protected:
    ~IFolder() = default;
};

// The saved items of one type in the order of their item ids; indexes count from 1.
class IPOutlookItemCollection : public IDispatch {
public:
    static constexpr const IID& kIid = IID_IPOutlookItemCollection;
    virtual HRESULT Add(IDispatch** item) = 0;                               // 7
    virtual HRESULT get_Count(int* count) = 0;                               // 8
    virtual HRESULT Item(int index, IDispatch** item) = 0;                   // 9
    virtual HRESULT Remove(int index) = 0;                                   // 10
    virtual HRESULT get_Application(IPOutlookApp** application) = 0;         // 11

protected:
    ~IPOutlookItemCollection() = default;
};

// What every item offers, whatever its type: its record's properties by id, saving,
// deleting and showing it in the item window (a top-level window of class "Dialog" whose
// "STATIC" children show the fields; WM_COMMAND IDOK saves what they hold, IDCANCEL or
// WM_CLOSE discards it).
class IItem : public IUnknown {
public:
    static constexpr const IID& kIid = IID_IItem;
    // As CeReadRecordPropsEx: the named properties (all of them when ids is null), absent
    // ones flagged CEDB_PROPNOTFOUND, in a LocalAlloc block the caller frees; flags may hold
    // CEDB_ALLOWREALLOC; heap must be null. *count receives the number of values.
    virtual HRESULT GetProps(const CEPROPID* ids, ULONG flags, WORD* count, CEPROPVAL** values, ULONG* bytes,
                             HANDLE heap) = 0;                               // 3
    // Sets (or with CEDB_PROPDELETE removes) properties until the next Save; flags must be 0.
    virtual HRESULT SetProps(ULONG flags, WORD count, const CEPROPVAL* values) = 0;  // 4
    virtual HRESULT Save() = 0;                                              // 5
    virtual HRESULT Delete() = 0;                                            // 6
    // Both run the item window's loop until it is closed; Display shows the fields that hold
    // something, Edit every field.
    virtual HRESULT Display(HWND owner) = 0;                                 // 7
    virtual HRESULT Edit(HWND owner) = 0;                                    // 8
    virtual HRESULT get_Oid(CEOID* oid) = 0;                                 // 9
    virtual HRESULT get_ItemType(int* itemType) = 0;                         // 10

protected:
    ~IItem() = default;
};

#define POOM_DECLARE_TEXT_FIELD(name, number, label) \
    virtual HRESULT get_##name(BSTR* value) = 0;     \
    virtual HRESULT put_##name(BSTR value) = 0;
#define POOM_DECLARE_DATE_FIELD(name, number, label) \
    virtual HRESULT get_##name(DATE* value) = 0;     \
    virtual HRESULT put_##name(DATE value) = 0;
#define POOM_DECLARE_NUMBER_FIELD(name, number, label) \
    virtual HRESULT get_##name(ULONG* value) = 0;      \
    virtual HRESULT put_##name(ULONG value) = 0;

// A field that the record does not hold reads as an empty string, date 0 or number 0;
// putting an empty string, or a date of 0, removes it.
class IContact : public IDispatch {
public:
    static constexpr const IID& kIid = IID_IContact;
    virtual HRESULT get_Oid(CEOID* oid) = 0;                                 // 7
    POOM_CONTACT_FIELDS(POOM_DECLARE_TEXT_FIELD, POOM_DECLARE_DATE_FIELD, POOM_DECLARE_NUMBER_FIELD)  // 8-107
    virtual HRESULT Delete() = 0;                                            // 108
    virtual HRESULT Save() = 0;                                              // 109
    virtual HRESULT Display() = 0;                                           // 110

protected:
    ~IContact() = default;
};

class IAppointment : public IDispatch {
public:
    static constexpr const IID& kIid = IID_IAppointment;
    virtual HRESULT get_Oid(CEOID* oid) = 0;                                 // 7
    virtual HRESULT get_Subject(BSTR* value) = 0;                            // 8
    virtual HRESULT put_Subject(BSTR value) = 0;                             // 9
    virtual HRESULT get_Location(BSTR* value) = 0;                           // 10
    virtual HRESULT put_Location(BSTR value) = 0;                            // 11
    virtual HRESULT get_Categories(BSTR* value) = 0;                         // 12
    virtual HRESULT put_Categories(BSTR value) = 0;                          // 13
    virtual HRESULT get_Body(BSTR* value) = 0;                               // 14
    virtual HRESULT put_Body(BSTR value) = 0;                                // 15
    virtual HRESULT get_BusyStatus(LONG* value) = 0;                         // 16
    virtual HRESULT put_BusyStatus(LONG value) = 0;                          // 17
    virtual HRESULT get_AllDayEvent(VARIANT_BOOL* value) = 0;                // 18
    virtual HRESULT put_AllDayEvent(VARIANT_BOOL value) = 0;                 // 19
    virtual HRESULT get_ReminderSet(VARIANT_BOOL* value) = 0;                // 20
    virtual HRESULT put_ReminderSet(VARIANT_BOOL value) = 0;                 // 21
    virtual HRESULT get_ReminderMinutesBeforeStart(LONG* value) = 0;         // 22
    virtual HRESULT put_ReminderMinutesBeforeStart(LONG value) = 0;          // 23
    virtual HRESULT get_Sensitivity(LONG* value) = 0;                        // 24
    virtual HRESULT put_Sensitivity(LONG value) = 0;                         // 25
    virtual HRESULT get_Start(DATE* value) = 0;                              // 26
    // Minutes.
    virtual HRESULT get_Duration(LONG* value) = 0;                           // 27
    // The start plus the duration.
    virtual HRESULT get_End(DATE* value) = 0;                                // 28
    virtual HRESULT put_Start(DATE value) = 0;                               // 29
    // Minutes, 0 or more.
    virtual HRESULT put_Duration(LONG value) = 0;                            // 30
    virtual HRESULT Delete() = 0;                                            // 31
    virtual HRESULT Save() = 0;                                              // 32
    virtual HRESULT Display() = 0;                                           // 33

protected:
    ~IAppointment() = default;
};

class ITask : public IDispatch {
public:
    static constexpr const IID& kIid = IID_ITask;
    virtual HRESULT get_Oid(CEOID* oid) = 0;                                 // 7
    virtual HRESULT get_Subject(BSTR* value) = 0;                            // 8
    virtual HRESULT put_Subject(BSTR value) = 0;                             // 9
    virtual HRESULT get_Categories(BSTR* value) = 0;                         // 10
    virtual HRESULT put_Categories(BSTR value) = 0;                          // 11
    virtual HRESULT get_Body(BSTR* value) = 0;                               // 12
    virtual HRESULT put_Body(BSTR value) = 0;                                // 13
    virtual HRESULT get_Importance(LONG* value) = 0;                         // 14
    virtual HRESULT put_Importance(LONG value) = 0;                          // 15
    virtual HRESULT get_Sensitivity(LONG* value) = 0;                        // 16
    virtual HRESULT put_Sensitivity(LONG value) = 0;                         // 17
    virtual HRESULT get_StartDate(DATE* value) = 0;                          // 18
    virtual HRESULT put_StartDate(DATE value) = 0;                           // 19
    virtual HRESULT get_DueDate(DATE* value) = 0;                            // 20
    virtual HRESULT put_DueDate(DATE value) = 0;                             // 21
    virtual HRESULT get_Complete(VARIANT_BOOL* value) = 0;                   // 22
    virtual HRESULT put_Complete(VARIANT_BOOL value) = 0;                    // 23
    virtual HRESULT Delete() = 0;                                            // 24
    virtual HRESULT Save() = 0;                                              // 25
    virtual HRESULT Display() = 0;                                           // 26

protected:
    ~ITask() = default;
};

namespace platform::poom {

constexpr CEOID kItemTypeMask = 0xC0000000u;
constexpr DWORD kMaxItemId = 0x3FFFFFFFu;

constexpr CEOID MakeItemOid(int itemType, DWORD itemId) {
    return (static_cast<CEOID>(itemType) << 30) | (itemId & kMaxItemId);
}
constexpr int ItemTypeOfOid(CEOID oid) { return static_cast<int>(oid >> 30); }
constexpr DWORD ItemIdOfOid(CEOID oid) { return oid & kMaxItemId; }

// Registers the object model with the component model (its application class) and the
// stand-in library "pimstore.dll"; a program of the handset calls it once at start-up.
void RegisterPoom();

}  // namespace platform::poom
