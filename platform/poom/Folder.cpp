// Folders, the infrared outbox and the item collections.
#include "platform/poom/Folder.h"

#include "platform/base/Clock.h"
#include "platform/base/LocalMemory.h"
#include "platform/poom/ItemFields.h"
#include "platform/poom/ItemObject.h"
#include "platform/poom/SentItems.h"

namespace platform::poom {

namespace {

com::ComPtr<IPOutlookApp> Hold(IPOutlookApp* application) {
    if (application != nullptr) application->AddRef();
    return com::ComPtr<IPOutlookApp>::Adopt(application);
}

HRESULT GiveApplication(const com::ComPtr<IPOutlookApp>& held, IPOutlookApp** application) {
    if (application == nullptr) return E_POINTER;
    *application = held.Get();
    if (*application != nullptr) (*application)->AddRef();
    return S_OK;
}

// What the record of sent items keeps of an item: its type, object id and summary.
HRESULT DescribeQueued(IItem* item, SentItem& sent) {
    HRESULT result = item->get_ItemType(&sent.itemType);
    if (SUCCEEDED(result)) result = item->get_Oid(&sent.oid);
    if (FAILED(result)) return result;
    WORD count = 0;
    CEPROPVAL* values = nullptr;
    ULONG bytes = 0;
    result = item->GetProps(nullptr, CEDB_ALLOWREALLOC, &count, &values, &bytes, nullptr);
    if (FAILED(result)) return result;
    std::vector<cedb::PropertyValue> copied;
    for (WORD i = 0; i < count; ++i) {
        cedb::PropertyValue value;
        DWORD error = 0;
        if (cedb::PropertyFromPropVal(values[i], value, error)) copied.push_back(std::move(value));
    }
    LocalFree(values);
    sent.summary = ItemSummary(sent.itemType, copied);
    return S_OK;
}

}  // namespace

Folder::Folder(IPOutlookApp* application, std::shared_ptr<PimSession> session, int folder)
    : application_(Hold(application)), session_(std::move(session)), folder_(folder) {}

int Folder::ItemType() const {
    switch (folder_) {
        case olFolderCalendar: return olAppointmentItem;
        case olFolderContacts: return olContactItem;
        case olFolderTasks: return olTaskItem;
        default: return 0;
    }
}

HRESULT Folder::get_Items(IPOutlookItemCollection** items) {
    if (items == nullptr) return E_POINTER;
    *items = nullptr;
    if (ItemType() == 0) return E_NOTIMPL;
    *items = new ItemCollection(application_.Get(), session_, ItemType());
    return S_OK;
}

HRESULT Folder::get_DefaultItemType(int* itemType) {
    if (itemType == nullptr) return E_POINTER;
    if (ItemType() == 0) return E_NOTIMPL;
    *itemType = ItemType();
    return S_OK;
}

HRESULT Folder::get_Application(IPOutlookApp** application) { return GiveApplication(application_, application); }

HRESULT Folder::AddItemToInfraredFolder(int itemType, IDispatch* item) {
    if (folder_ != olFolderInfrared) return E_NOTIMPL;
    if (item == nullptr) return E_POINTER;
    com::ComPtr<IItem> queued;
    if (FAILED(item->QueryInterface(IID_IItem, queued.ReceiveVoid()))) return E_INVALIDARG;
    int actualType = 0;
    if (FAILED(queued->get_ItemType(&actualType)) || actualType != itemType) return E_INVALIDARG;
    queued_.push_back(std::move(queued));
    return S_OK;
}

HRESULT Folder::SendToInfrared(LONG reserved1, LONG reserved2, LONG reserved3) {
    if (folder_ != olFolderInfrared) return E_NOTIMPL;
    if (reserved1 != 0 || reserved2 != 0 || reserved3 != 0) return E_INVALIDARG;
    if (queued_.empty()) return S_FALSE;
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    std::vector<SentItem> sent(queued_.size());
    for (std::size_t i = 0; i < queued_.size(); ++i) {
        if (HRESULT failed = DescribeQueued(queued_[i].Get(), sent[i]); FAILED(failed)) return failed;
        sent[i].sentAt = now;
    }
    bool recorded = session_->WithVolume([&](CEGUID& volume) { return RecordSentItems(volume, sent); });
    if (!recorded) return LastErrorResult();
    queued_.clear();
    return S_OK;
}

ItemCollection::ItemCollection(IPOutlookApp* application, std::shared_ptr<PimSession> session, int itemType)
    : application_(Hold(application)), session_(std::move(session)), itemType_(itemType) {}

HRESULT ItemCollection::Add(IDispatch** item) {
    if (item == nullptr) return E_POINTER;
    return MakeItemObject(session_, itemType_, nullptr, IID_IDispatch, reinterpret_cast<void**>(item));
}

HRESULT ItemCollection::get_Count(int* count) {
    if (count == nullptr) return E_POINTER;
    DWORD records = 0;
    if (HRESULT failed = session_->Count(itemType_, records); FAILED(failed)) return failed;
    *count = records > 0x7FFFFFFFu ? 0x7FFFFFFF : static_cast<int>(records);
    return S_OK;
}

HRESULT ItemCollection::Item(int index, IDispatch** item) {
    if (item == nullptr) return E_POINTER;
    *item = nullptr;
    if (index < 1) return E_INVALIDARG;
    StoredItem stored;
    if (HRESULT failed = session_->ReadAt(itemType_, static_cast<DWORD>(index - 1), stored); FAILED(failed))
        return failed;
    return MakeItemObject(session_, itemType_, &stored, IID_IDispatch, reinterpret_cast<void**>(item));
}

HRESULT ItemCollection::Remove(int index) {
    if (index < 1) return E_INVALIDARG;
    StoredItem stored;
    if (HRESULT failed = session_->ReadAt(itemType_, static_cast<DWORD>(index - 1), stored); FAILED(failed))
        return failed;
    return session_->Remove(itemType_, stored.record);
}

HRESULT ItemCollection::get_Application(IPOutlookApp** application) {
    return GiveApplication(application_, application);
}

}  // namespace platform::poom
