// The object model's folders: one per item type, whose items are its type's saved items,
// and the infrared folder, an outbox whose queued items are beamed by SendToInfrared and
// then kept in the record of sent items (SentItems.h).
#pragma once

#include <memory>
#include <vector>

#include "platform/com/ComObject.h"
#include "platform/poom/PimSession.h"
#include "platform/poom/Poom.h"

namespace platform::poom {

class Folder final : public com::ComObject<IFolder> {
public:
    Folder(IPOutlookApp* application, std::shared_ptr<PimSession> session, int folder);

    // The infrared folder holds no saved items and has no item type of its own: E_NOTIMPL.
    HRESULT get_Items(IPOutlookItemCollection** items) override;
    HRESULT get_DefaultItemType(int* itemType) override;
    HRESULT get_Application(IPOutlookApp** application) override;
    // Other folders than the infrared one: E_NOTIMPL.
    HRESULT AddItemToInfraredFolder(int itemType, IDispatch* item) override;
    HRESULT SendToInfrared(LONG reserved1, LONG reserved2, LONG reserved3) override;

private:
    int ItemType() const;

    com::ComPtr<IPOutlookApp> application_;
    std::shared_ptr<PimSession> session_;
    int folder_;
    std::vector<com::ComPtr<IItem>> queued_;
};

// The saved items of one type, read from the database at each call.
class ItemCollection final : public com::ComObject<IPOutlookItemCollection> {
public:
    ItemCollection(IPOutlookApp* application, std::shared_ptr<PimSession> session, int itemType);

    HRESULT Add(IDispatch** item) override;
    HRESULT get_Count(int* count) override;
    HRESULT Item(int index, IDispatch** item) override;
    HRESULT Remove(int index) override;
    HRESULT get_Application(IPOutlookApp** application) override;

private:
    com::ComPtr<IPOutlookApp> application_;
    std::shared_ptr<PimSession> session_;
    int itemType_;
};

}  // namespace platform::poom
