// The object model's connection to "pim.vol": the mounted volume and one handle on each item
// database (made when missing, sorted by item id), shared by the application object and every
// item it handed out. All calls are serialised.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/cedb/PropertyValue.h"

namespace platform::poom {

// The database of an item type ("Contacts Database", ...); null for an unknown type.
LPCWSTR DatabaseNameOf(int itemType);

// A record as the object model reads it: every property but the item id and streams.
struct StoredItem {
    CEOID record = 0;
    DWORD itemId = 0;
    std::vector<cedb::PropertyValue> values;
};

class PimSession {
public:
    // Mounts "pim.vol" (made when missing) and opens the three item databases.
    static HRESULT Open(std::shared_ptr<PimSession>& session);
    ~PimSession();
    PimSession(const PimSession&) = delete;
    PimSession& operator=(const PimSession&) = delete;

    HRESULT FindByItemId(int itemType, DWORD itemId, StoredItem& item);
    // The record at a position (from 0) in item-id order.
    HRESULT ReadAt(int itemType, DWORD index, StoredItem& item);
    HRESULT Count(int itemType, DWORD& count);
    // Writes into the record (a new one when *record is 0; then *record and *itemId are set).
    HRESULT Write(int itemType, CEOID& record, DWORD& itemId, std::vector<CEPROPVAL>& values);
    HRESULT Remove(int itemType, CEOID record);

    // Runs `action` under the session's lock with the volume, for the rare callers that need
    // a database of their own (the infrared outbox).
    template <class Action>
    auto WithVolume(Action action) {
        std::lock_guard<std::recursive_mutex> guard(mutex_);
        return action(volume_);
    }

private:
    PimSession() = default;
    HANDLE HandleOf(int itemType) const;
    HRESULT ReadCurrent(HANDLE database, StoredItem& item);

    std::recursive_mutex mutex_;
    CEGUID volume_{};
    bool mounted_ = false;
    HANDLE databases_[3] = {INVALID_HANDLE_VALUE, INVALID_HANDLE_VALUE, INVALID_HANDLE_VALUE};
};

// The HRESULT of the last error of a failed database call.
HRESULT LastErrorResult();

// Opens the database `name` of the volume, making it first when it is missing; the new
// database is sorted by item id. INVALID_HANDLE_VALUE with the last error on failure.
HANDLE OpenOrCreateDatabase(CEGUID& volume, LPCWSTR name);

}  // namespace platform::poom
