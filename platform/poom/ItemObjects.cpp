// The contact, appointment and task objects: their typed fields over the item's values.
#include "platform/poom/ItemObject.h"

#include "platform/base/Errors.h"
#include "platform/poom/ItemFields.h"
#include "platform/poom/ItemProperties.h"

namespace platform::poom {

namespace {

#define POOM_IMPLEMENT_TEXT_FIELD(name, number, label)                                                \
    HRESULT get_##name(BSTR* value) override { return state_.GetText(kContact##name, value); }      \
    HRESULT put_##name(BSTR value) override { return state_.PutText(kContact##name, value); }
#define POOM_IMPLEMENT_DATE_FIELD(name, number, label)                                                \
    HRESULT get_##name(DATE* value) override { return state_.GetDate(kContact##name, value); }      \
    HRESULT put_##name(DATE value) override { return state_.PutDate(kContact##name, value); }
#define POOM_IMPLEMENT_NUMBER_FIELD(name, number, label)                                              \
    HRESULT get_##name(ULONG* value) override { return state_.GetUnsigned(kContact##name, value); } \
    HRESULT put_##name(ULONG value) override { return state_.PutUnsigned(kContact##name, value); }

class ContactObject final : public PimItemObject<IContact> {
public:
    explicit ContactObject(std::shared_ptr<PimSession> session) : PimItemObject(std::move(session), olContactItem) {}
    POOM_CONTACT_FIELDS(POOM_IMPLEMENT_TEXT_FIELD, POOM_IMPLEMENT_DATE_FIELD, POOM_IMPLEMENT_NUMBER_FIELD)
};

class AppointmentObject final : public PimItemObject<IAppointment> {
public:
    explicit AppointmentObject(std::shared_ptr<PimSession> session)
        : PimItemObject(std::move(session), olAppointmentItem) {}

    HRESULT get_Subject(BSTR* value) override { return state_.GetText(kItemSubject, value); }
    HRESULT put_Subject(BSTR value) override { return state_.PutText(kItemSubject, value); }
    HRESULT get_Location(BSTR* value) override { return state_.GetText(kItemLocation, value); }
    HRESULT put_Location(BSTR value) override { return state_.PutText(kItemLocation, value); }
    HRESULT get_Categories(BSTR* value) override { return state_.GetText(kItemCategories, value); }
    HRESULT put_Categories(BSTR value) override { return state_.PutText(kItemCategories, value); }
    HRESULT get_Body(BSTR* value) override { return state_.GetText(kItemBody, value); }
    HRESULT put_Body(BSTR value) override { return state_.PutText(kItemBody, value); }
    HRESULT get_BusyStatus(LONG* value) override { return state_.GetSigned(kItemBusyStatus, value); }
    HRESULT put_BusyStatus(LONG value) override { return state_.PutSigned(kItemBusyStatus, value); }
    HRESULT get_AllDayEvent(VARIANT_BOOL* value) override { return state_.GetFlag(kItemAllDayEvent, value); }
    HRESULT put_AllDayEvent(VARIANT_BOOL value) override { return state_.PutFlag(kItemAllDayEvent, value); }
    HRESULT get_ReminderSet(VARIANT_BOOL* value) override { return state_.GetFlag(kItemReminderSet, value); }
    HRESULT put_ReminderSet(VARIANT_BOOL value) override { return state_.PutFlag(kItemReminderSet, value); }
    HRESULT get_ReminderMinutesBeforeStart(LONG* value) override {
        return state_.GetSigned(kItemReminderMinutes, value);
    }
    HRESULT put_ReminderMinutesBeforeStart(LONG value) override {
        return state_.PutSigned(kItemReminderMinutes, value);
    }
    HRESULT get_Sensitivity(LONG* value) override { return state_.GetSigned(kItemSensitivity, value); }
    HRESULT put_Sensitivity(LONG value) override { return state_.PutSigned(kItemSensitivity, value); }
    HRESULT get_Start(DATE* value) override { return state_.GetDate(kItemStart, value); }
    HRESULT get_Duration(LONG* value) override { return state_.GetSigned(kItemDuration, value); }
    HRESULT get_End(DATE* value) override {
        if (value == nullptr) return E_POINTER;
        *value = 0;
        const cedb::PropertyValue* start = state_.Find(kItemStart);
        if (start == nullptr) return S_OK;
        LONG minutes = 0;
        state_.GetSigned(kItemDuration, &minutes);
        // On the FILETIME scale, so that dates before 1900 come out right too.
        std::uint64_t end = start->scalar + static_cast<std::uint64_t>(minutes) * 60ull * 10000000ull;
        FILETIME fileTime{static_cast<DWORD>(end), static_cast<DWORD>(end >> 32)};
        return FileTimeToDate(fileTime, *value) ? S_OK : HRESULT_FROM_WIN32(ERROR_INVALID_DATA);
    }
    HRESULT put_Start(DATE value) override { return state_.PutDate(kItemStart, value); }
    HRESULT put_Duration(LONG value) override {
        if (value < 0) return E_INVALIDARG;
        return state_.PutSigned(kItemDuration, value);
    }
};

class TaskObject final : public PimItemObject<ITask> {
public:
    explicit TaskObject(std::shared_ptr<PimSession> session) : PimItemObject(std::move(session), olTaskItem) {}

    HRESULT get_Subject(BSTR* value) override { return state_.GetText(kItemSubject, value); }
    HRESULT put_Subject(BSTR value) override { return state_.PutText(kItemSubject, value); }
    HRESULT get_Categories(BSTR* value) override { return state_.GetText(kItemCategories, value); }
    HRESULT put_Categories(BSTR value) override { return state_.PutText(kItemCategories, value); }
    HRESULT get_Body(BSTR* value) override { return state_.GetText(kItemBody, value); }
    HRESULT put_Body(BSTR value) override { return state_.PutText(kItemBody, value); }
    HRESULT get_Importance(LONG* value) override { return state_.GetSigned(kItemImportance, value); }
    HRESULT put_Importance(LONG value) override { return state_.PutSigned(kItemImportance, value); }
    HRESULT get_Sensitivity(LONG* value) override { return state_.GetSigned(kItemSensitivity, value); }
    HRESULT put_Sensitivity(LONG value) override { return state_.PutSigned(kItemSensitivity, value); }
    HRESULT get_StartDate(DATE* value) override { return state_.GetDate(kItemStartDate, value); }
    HRESULT put_StartDate(DATE value) override { return state_.PutDate(kItemStartDate, value); }
    HRESULT get_DueDate(DATE* value) override { return state_.GetDate(kItemDueDate, value); }
    HRESULT put_DueDate(DATE value) override { return state_.PutDate(kItemDueDate, value); }
    HRESULT get_Complete(VARIANT_BOOL* value) override { return state_.GetFlag(kItemComplete, value); }
    HRESULT put_Complete(VARIANT_BOOL value) override { return state_.PutFlag(kItemComplete, value); }
};

template <class TObject>
HRESULT Hand(TObject* object, StoredItem* stored, REFIID iid, void** out) {
    if (stored != nullptr) object->State().Load(std::move(*stored));
    HRESULT result = object->QueryInterface(iid, out);
    object->Release();
    return result;
}

}  // namespace

HRESULT MakeItemObject(const std::shared_ptr<PimSession>& session, int itemType, StoredItem* stored, REFIID iid,
                       void** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    switch (itemType) {
        case olContactItem: return Hand(new ContactObject(session), stored, iid, out);
        case olAppointmentItem: return Hand(new AppointmentObject(session), stored, iid, out);
        case olTaskItem: return Hand(new TaskObject(session), stored, iid, out);
        default: return E_INVALIDARG;
    }
}

}  // namespace platform::poom
