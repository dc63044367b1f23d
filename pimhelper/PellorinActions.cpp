// Each Pellorin action: new, open and edit contacts, new appointments and tasks, beaming,
// copying, a new item of any type, and opening the dialer.
#include "pimhelper/PellorinActions.h"

#include <string>

#include "pimhelper/CommandLine.h"
#include "pimhelper/NewContactHandOver.h"
#include "pimhelper/PellorinWnd.h"
#include "pimhelper/PhoneCmd.h"
#include "platform/base/Clock.h"
#include "platform/base/Library.h"
#include "platform/com/ComObject.h"
#include "platform/poom/PimStore.h"

using platform::com::ComPtr;

namespace {

// The property a handed-over number goes into: the contact's mobile number.
constexpr CEPROPID kNewContactNumberProperty = 0x0096001F;
// New item of any type: every type may be picked.
constexpr DWORD kAnyItemType = 7;

template <class T>
ComPtr<T> Ask(IUnknown* object) {
    ComPtr<T> wanted;
    if (object != nullptr) object->QueryInterface(T::kIid, wanted.ReceiveVoid());
    return wanted;
}

bool Edit(IUnknown* object, HWND window) {
    ComPtr<IItem> item = Ask<IItem>(object);
    return item && item->Edit(window) == S_OK;
}

bool NewContact(IPOutlookApp* application, HWND window, DWORD key) {
    std::u16string number;
    if (key != 0) {
        number = TakeNewContactNumber(key);
        if (number.empty()) return false;
    }
    ComPtr<IDispatch> created;
    if (application->CreateItem(olContactItem, created.Receive()) != S_OK) return false;
    ComPtr<IItem> item = Ask<IItem>(created.Get());
    if (!item) return false;
    if (!number.empty()) {
        CEPROPVAL value{};
        value.propid = kNewContactNumberProperty;
        value.val.lpwstr = number.data();
        if (item->SetProps(0, 1, &value) != S_OK) return false;
    }
    return item->Edit(window) == S_OK;
}

bool ShowExisting(IPOutlookApp* application, HWND window, CEOID oid, bool edit) {
    ComPtr<IDispatch> found;
    if (application->GetItemFromOid(oid, found.Receive()) != S_OK) return false;
    ComPtr<IItem> item = Ask<IItem>(found.Get());
    if (!item) return false;
    return (edit ? item->Edit(window) : item->Display(window)) == S_OK;
}

bool NewAppointment(IPOutlookApp* application, HWND window, LPCWSTR commandLine) {
    SYSTEMTIME start = AppointmentStart(commandLine);
    DATE date = 0;
    if (!SystemTimeToVariantTime(&start, &date)) return false;
    ComPtr<IDispatch> created;
    if (application->CreateItem(olAppointmentItem, created.Receive()) != S_OK) return false;
    ComPtr<IItem> item = Ask<IItem>(created.Get());
    ComPtr<IAppointment> appointment = Ask<IAppointment>(created.Get());
    if (appointment) {
        if (appointment->put_Start(date) != S_OK || appointment->put_Duration(60) != S_OK) return false;
    }
    return item && item->Edit(window) == S_OK;
}

bool NewTask(IPOutlookApp* application, HWND window) {
    ComPtr<IDispatch> created;
    if (application->CreateItem(olTaskItem, created.Receive()) != S_OK) return false;
    return Edit(created.Get(), window);
}

bool Beam(IPOutlookApp* application, CEOID oid) {
    ComPtr<IDispatch> found;
    if (application->GetItemFromOid(oid, found.Receive()) != S_OK) return false;
    ComPtr<IFolder> infrared;
    if (application->GetDefaultFolder(olFolderInfrared, infrared.Receive()) != S_OK) return false;
    if (infrared->AddItemToInfraredFolder(olContactItem, found.Get()) != S_OK) return false;
    return infrared->SendToInfrared(0, 0, 0) == S_OK;
}

bool Copy(IPOutlookApp* application, CEOID oid, bool toSim) {
    ComPtr<IDispatch> found;
    if (application->GetItemFromOid(oid, found.Receive()) != S_OK) return false;
    ComPtr<IContact> contact = Ask<IContact>(found.Get());
    if (!contact) return false;
    HMODULE library = LoadLibraryW(u"pimstore.dll");
    if (library == nullptr) return false;
    auto copy = reinterpret_cast<platform::poom::CopyContactFunction>(
        GetProcAddress(library, MAKEINTRESOURCEA(platform::poom::kCopyContactOrdinal)));
    bool copied = copy != nullptr &&
                  SUCCEEDED(copy(contact.Get(), toSim ? platform::poom::kCopyToSim : platform::poom::kCopyToContacts,
                                 nullptr));
    FreeLibrary(library);
    return copied;
}

bool NewAnyItem(IPOutlookApp* application, HWND window) {
    // Kept loaded: the library stays for the rest of the run.
    HMODULE library = LoadLibraryW(u"pimstore.dll");
    if (library == nullptr) return false;
    auto pick = reinterpret_cast<platform::poom::PickNewItemFunction>(
        GetProcAddress(library, MAKEINTRESOURCEA(platform::poom::kPickNewItemOrdinal)));
    if (pick == nullptr) return false;
    ComPtr<IDispatch> picked;
    if (FAILED(pick(application, window, kAnyItemType, picked.Receive())) || !picked) return false;
    return Edit(picked.Get(), window);
}

}  // namespace

SYSTEMTIME AppointmentStart(LPCWSTR commandLine) {
    SYSTEMTIME start{};
    if (ParseDateOption(u"-date", commandLine, &start)) {
        start.wHour = 12;
        return start;
    }
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return NextFullHour(now);
}

bool RunAction(int action, DWORD number, LPCWSTR commandLine, CPellorinWnd& window) {
    IPOutlookApp* application = window.GetApplication();
    HWND hidden = window.m_hWnd;
    if (application == nullptr) return false;
    switch (action) {
        case kActionNewContact: return NewContact(application, hidden, number);
        case kActionOpen: return ShowExisting(application, hidden, number, false);
        case kActionEdit: return ShowExisting(application, hidden, number, true);
        case kActionNewAppointment: return NewAppointment(application, hidden, commandLine);
        case kActionNewTask: return NewTask(application, hidden);
        case kActionBeam: return Beam(application, number);
        case kActionBackground: return false;
        case kActionCopy: return Copy(application, number, false);
        case kActionCopyToSim: return Copy(application, number, true);
        case kActionOpenDialer: GetPhoneCmd().Send(3, 0); return true;
        case kActionNewAnyItem: return NewAnyItem(application, hidden);
        default: return false;
    }
}
