// One item as the object model holds it between reads and saves: its type, its record (none
// until the first save), its property values, and which of them changed since.
#pragma once

#include <memory>
#include <vector>

#include "platform/base/Bstr.h"
#include "platform/cedb/PropertyValue.h"
#include "platform/com/Dispatch.h"
#include "platform/com/VariantTime.h"
#include "platform/poom/PimSession.h"

namespace platform::poom {

class PimItemState {
public:
    PimItemState(std::shared_ptr<PimSession> session, int itemType);

    void Load(StoredItem stored);
    int ItemType() const { return itemType_; }
    CEOID Oid() const;
    const std::vector<cedb::PropertyValue>& Values() const { return values_; }
    const cedb::PropertyValue* Find(CEPROPID id) const;
    // A new or changed value, or the removal of one, waits for the next Save.
    void Set(cedb::PropertyValue value);
    void Remove(CEPROPID id);
    bool IsSaved() const { return record_ != 0; }
    bool HasChanges() const { return !changed_.empty() || !removed_.empty(); }

    HRESULT GetProps(const CEPROPID* ids, ULONG flags, WORD* count, CEPROPVAL** values, ULONG* bytes,
                     HANDLE heap) const;
    HRESULT SetProps(ULONG flags, WORD count, const CEPROPVAL* values);
    // Writes the changes (every value for an item never saved) into the item's record.
    HRESULT Save();
    // Removes the record; the item keeps its values and becomes a new, unsaved item.
    HRESULT Delete();

    // Typed access for the item interfaces: an absent value reads as empty, 0 or false.
    HRESULT GetText(CEPROPID id, BSTR* value) const;
    HRESULT PutText(CEPROPID id, BSTR value);
    HRESULT GetDate(CEPROPID id, DATE* value) const;
    HRESULT PutDate(CEPROPID id, DATE value);
    HRESULT GetSigned(CEPROPID id, LONG* value) const;
    HRESULT PutSigned(CEPROPID id, LONG value);
    HRESULT GetUnsigned(CEPROPID id, ULONG* value) const;
    HRESULT PutUnsigned(CEPROPID id, ULONG value);
    HRESULT GetFlag(CEPROPID id, VARIANT_BOOL* value) const;
    HRESULT PutFlag(CEPROPID id, VARIANT_BOOL value);

private:
    void MarkChanged(CEPROPID id);

    std::shared_ptr<PimSession> session_;
    int itemType_;
    CEOID record_ = 0;
    DWORD itemId_ = 0;
    std::vector<cedb::PropertyValue> values_;
    std::vector<CEPROPID> changed_;
    std::vector<CEPROPID> removed_;
};

// A value as a CEPROPVAL for writing; strings and blobs point into `value`.
CEPROPVAL ToPropVal(cedb::PropertyValue& value);

}  // namespace platform::poom
