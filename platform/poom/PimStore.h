// The exports of the stand-in library "pimstore.dll" that programs take by ordinal.
#pragma once

#include "platform/poom/Poom.h"

namespace platform::poom {

// Ordinal 18: asks the user which type of new item to make, among the types whose bits
// (1 << (item type - 1)) are set in `types` (7 offers all three), in a modal "Dialog" window
// titled "New" whose "STATIC" children (ids 1000 + item type) name the types; WM_COMMAND with
// such an id picks that type, IDOK the first one offered, IDCANCEL or WM_CLOSE none. With one
// type offered nobody is asked. The new item (not saved) comes back as IDispatch; S_FALSE with
// no item when the user picked none. E_INVALIDARG for no types or unknown bits.
constexpr WORD kPickNewItemOrdinal = 18;
constexpr int kNewItemChoiceBaseId = 1000;
using PickNewItemFunction = HRESULT (*)(IPOutlookApp* application, HWND owner, DWORD types, IDispatch** item);

// Ordinal 117: copies a saved contact into a new contact record. Destination 0 copies every
// field; destination 1 (the SIM card, which holds a name and one number per entry) copies the
// names and the contact's default number (else its first phone number) as the mobile
// number, and fails with HRESULT_FROM_WIN32(ERROR_INVALID_DATA) for a contact without any
// number. The copy is saved; `copy` (may be null) receives it.
constexpr WORD kCopyContactOrdinal = 117;
constexpr DWORD kCopyToContacts = 0;
constexpr DWORD kCopyToSim = 1;
using CopyContactFunction = HRESULT (*)(IContact* contact, DWORD destination, IContact** copy);

// The two functions as the library exports them.
HRESULT PickNewItem(IPOutlookApp* application, HWND owner, DWORD types, IDispatch** item);
HRESULT CopyContact(IContact* contact, DWORD destination, IContact** copy);

}  // namespace platform::poom
