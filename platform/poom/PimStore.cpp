// The stand-in "pimstore.dll": choosing the type of a new item, and copying contacts.
#include "platform/poom/PimStore.h"

#include <vector>

#include "platform/base/Errors.h"
#include "platform/base/LocalMemory.h"
#include "platform/com/ComObject.h"
#include "platform/poom/ItemFields.h"
#include "platform/poom/ItemObject.h"
#include "platform/poom/ItemProperties.h"
#include "platform/poom/ModalDialog.h"
#include "platform/user/Window.h"

namespace platform::poom {

namespace {

constexpr DWORD kAllTypes = 0x7;
constexpr LONG kChoiceHeight = 48;

// The number a SIM entry keeps: the default number when it names a filled phone field,
// else the first filled phone field.
const cedb::PropertyValue* SimNumber(const std::vector<cedb::PropertyValue>& values) {
    static constexpr CEPROPID kPhones[] = {
        kContactMobileTelephoneNumber, kContactBusinessTelephoneNumber, kContactBusiness2TelephoneNumber,
        kContactHomeTelephoneNumber,   kContactHome2TelephoneNumber,    kContactCarTelephoneNumber,
        kContactRadioTelephoneNumber,  kContactPagerNumber,             kContactAssistantTelephoneNumber,
        kContactCompanyTelephoneNumber, kContactBusinessFaxNumber,      kContactHomeFaxNumber,
    };
    if (const cedb::PropertyValue* preferred = FindValue(values, kContactDefaultNumber)) {
        for (CEPROPID phone : kPhones) {
            const cedb::PropertyValue* number = FindValue(values, phone);
            if (phone == preferred->scalar && number != nullptr && !number->text.empty()) return number;
        }
    }
    for (CEPROPID phone : kPhones) {
        const cedb::PropertyValue* number = FindValue(values, phone);
        if (number != nullptr && !number->text.empty()) return number;
    }
    return nullptr;
}

HRESULT ReadAll(IItem* item, std::vector<cedb::PropertyValue>& values) {
    WORD count = 0;
    CEPROPVAL* read = nullptr;
    ULONG bytes = 0;
    HRESULT result = item->GetProps(nullptr, CEDB_ALLOWREALLOC, &count, &read, &bytes, nullptr);
    if (FAILED(result)) return result;
    for (WORD i = 0; i < count; ++i) {
        cedb::PropertyValue value;
        DWORD error = 0;
        if (read[i].propid != CEPROPID_ITEMID && cedb::PropertyFromPropVal(read[i], value, error))
            values.push_back(std::move(value));
    }
    LocalFree(read);
    return S_OK;
}

int AskForType(HWND owner, DWORD types) {
    ModalDialog dialog;
    if (!dialog.Create(owner, u"New")) return -1;
    RECT client{};
    GetClientRect(dialog.Window(), &client);
    int first = 0;
    LONG top = 0;
    for (int itemType = olAppointmentItem; itemType <= olTaskItem; ++itemType) {
        if ((types & (1u << (itemType - 1))) == 0) continue;
        if (first == 0) first = itemType;
        dialog.AddText(kNewItemChoiceBaseId + itemType, ItemTypeLabel(itemType),
                       RECT{0, top, client.right, top + kChoiceHeight});
        top += kChoiceHeight;
    }
    int answer = dialog.Run([types](int id) {
        int itemType = id - kNewItemChoiceBaseId;
        return id == IDOK ||
               (itemType >= olAppointmentItem && itemType <= olTaskItem && (types & (1u << (itemType - 1))) != 0);
    });
    if (answer == IDOK) return first;
    if (answer == IDCANCEL) return 0;
    return answer - kNewItemChoiceBaseId;
}

}  // namespace

HRESULT PickNewItem(IPOutlookApp* application, HWND owner, DWORD types, IDispatch** item) {
    if (application == nullptr || item == nullptr) return E_POINTER;
    *item = nullptr;
    if (types == 0 || (types & ~kAllTypes) != 0) return E_INVALIDARG;
    int itemType = 0;
    if (types == 1 || types == 2 || types == 4) {
        itemType = types == 1 ? olAppointmentItem : types == 2 ? olContactItem : olTaskItem;
    } else {
        itemType = AskForType(owner, types);
        if (itemType < 0) return HRESULT_FROM_WIN32(GetLastError());
        if (itemType == 0) return S_FALSE;
    }
    return application->CreateItem(itemType, item);
}

HRESULT CopyContact(IContact* contact, DWORD destination, IContact** copy) {
    if (contact == nullptr) return E_POINTER;
    if (copy != nullptr) *copy = nullptr;
    if (destination != kCopyToContacts && destination != kCopyToSim) return E_INVALIDARG;
    com::ComPtr<IItem> source;
    if (HRESULT failed = contact->QueryInterface(IID_IItem, source.ReceiveVoid()); FAILED(failed)) return failed;
    std::vector<cedb::PropertyValue> values;
    if (HRESULT failed = ReadAll(source.Get(), values); FAILED(failed)) return failed;

    if (destination == kCopyToSim) {
        const cedb::PropertyValue* number = SimNumber(values);
        if (number == nullptr) return HRESULT_FROM_WIN32(ERROR_INVALID_DATA);
        std::vector<cedb::PropertyValue> entry;
        for (CEPROPID name : {kContactFileAs, kContactFirstName, kContactLastName})
            if (const cedb::PropertyValue* found = FindValue(values, name)) entry.push_back(*found);
        cedb::PropertyValue mobile = *number;
        mobile.id = kContactMobileTelephoneNumber;
        entry.push_back(std::move(mobile));
        values = std::move(entry);
    }

    // The copy is a new record of "pim.vol", written through a connection of the library's own.
    std::shared_ptr<PimSession> session;
    if (HRESULT failed = PimSession::Open(session); FAILED(failed)) return failed;
    com::ComPtr<IItem> target;
    if (HRESULT failed = MakeItemObject(session, olContactItem, nullptr, IID_IItem, target.ReceiveVoid());
        FAILED(failed))
        return failed;
    std::vector<CEPROPVAL> written;
    for (cedb::PropertyValue& value : values) written.push_back(ToPropVal(value));
    if (written.size() > 0xFFFF) return E_INVALIDARG;
    HRESULT result = target->SetProps(0, static_cast<WORD>(written.size()), written.data());
    if (SUCCEEDED(result)) result = target->Save();
    if (FAILED(result)) return result;
    if (copy != nullptr) {
        com::ComPtr<IContact> made;
        if (HRESULT failed = target.As(made); FAILED(failed)) return failed;
        *copy = made.Detach();
    }
    return S_OK;
}

}  // namespace platform::poom
