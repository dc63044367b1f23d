// The object model's volume and item databases: opening (and making) them, and reading,
// writing and removing item records.
#include "platform/poom/PimSession.h"

#include "platform/base/Errors.h"
#include "platform/base/Handle.h"
#include "platform/base/LocalMemory.h"
#include "platform/base/WideString.h"
#include "platform/cedb/CeDatabase.h"
#include "platform/poom/Poom.h"

namespace platform::poom {

namespace {

constexpr DWORD kOpenAlways = 4;

// Reads every property of the database's current record into a block that the caller frees.
bool ReadAllProperties(HANDLE database, CEOID& record, LPBYTE& buffer, WORD& count) {
    DWORD bytes = 0;
    buffer = nullptr;
    count = 0;
    record = CeReadRecordPropsEx(database, CEDB_ALLOWREALLOC, &count, nullptr, &buffer, &bytes, nullptr);
    return record != 0;
}

}  // namespace

LPCWSTR DatabaseNameOf(int itemType) {
    switch (itemType) {
        case olAppointmentItem: return u"Appointments Database";
        case olContactItem: return u"Contacts Database";
        case olTaskItem: return u"Tasks Database";
        default: return nullptr;
    }
}

HRESULT LastErrorResult() {
    DWORD error = GetLastError();
    return error == ERROR_SUCCESS ? E_FAIL : HRESULT_FROM_WIN32(error);
}

HANDLE OpenOrCreateDatabase(CEGUID& volume, LPCWSTR name) {
    CEOID oid = 0;
    HANDLE database = CeOpenDatabaseInSession(nullptr, &volume, &oid, name, nullptr, 0, nullptr);
    if (database != INVALID_HANDLE_VALUE) return database;
    CEDBASEINFOEX info{};
    info.wVersion = CEDBASEINFOEX_VERSION;
    info.dwFlags = CEDB_VALIDNAME | CEDB_VALIDSORTSPEC;
    wcsncpy(info.szDbaseName, name, CEDB_MAXDBASENAMELEN - 1);
    info.wNumSortOrder = 1;
    info.rgSortSpecs[0].wVersion = SORTORDERSPECEX_VERSION;
    info.rgSortSpecs[0].wNumProps = 1;
    info.rgSortSpecs[0].rgPropID[0] = CEPROPID_ITEMID;
    // Another process may make it at the same moment; then its database is the one.
    if (CeCreateDatabaseEx2(&volume, &info) == 0 && GetLastError() != ERROR_ALREADY_EXISTS)
        return INVALID_HANDLE_VALUE;
    oid = 0;
    return CeOpenDatabaseInSession(nullptr, &volume, &oid, name, nullptr, 0, nullptr);
}

HRESULT PimSession::Open(std::shared_ptr<PimSession>& session) {
    std::shared_ptr<PimSession> made(new PimSession);
    if (!CeMountDBVolEx(&made->volume_, u"pim.vol", nullptr, kOpenAlways)) return LastErrorResult();
    made->mounted_ = true;
    for (int itemType = olAppointmentItem; itemType <= olTaskItem; ++itemType) {
        CEGUID& volume = made->volume_;
        HANDLE database = OpenOrCreateDatabase(volume, DatabaseNameOf(itemType));
        if (database == INVALID_HANDLE_VALUE) return LastErrorResult();
        // Reopened on the item-id order, so that items are found and listed by item id.
        CloseHandle(database);
        SORTORDERSPECEX order{};
        order.wVersion = SORTORDERSPECEX_VERSION;
        order.wNumProps = 1;
        order.rgPropID[0] = CEPROPID_ITEMID;
        CEOID oid = 0;
        database = CeOpenDatabaseInSession(nullptr, &volume, &oid, DatabaseNameOf(itemType), &order, 0, nullptr);
        if (database == INVALID_HANDLE_VALUE) return LastErrorResult();
        made->databases_[itemType - 1] = database;
    }
    session = std::move(made);
    return S_OK;
}

PimSession::~PimSession() {
    for (HANDLE database : databases_)
        if (database != INVALID_HANDLE_VALUE) CloseHandle(database);
    if (mounted_) CeUnmountDBVol(&volume_);
}

HANDLE PimSession::HandleOf(int itemType) const {
    if (itemType < olAppointmentItem || itemType > olTaskItem) return INVALID_HANDLE_VALUE;
    return databases_[itemType - 1];
}

HRESULT PimSession::ReadCurrent(HANDLE database, StoredItem& item) {
    LPBYTE buffer = nullptr;
    WORD count = 0;
    CEOID record = 0;
    if (!ReadAllProperties(database, record, buffer, count)) return LastErrorResult();
    item = StoredItem{};
    item.record = record;
    const auto* values = reinterpret_cast<const CEPROPVAL*>(buffer);
    for (WORD i = 0; i < count; ++i) {
        if (values[i].propid == CEPROPID_ITEMID) {
            item.itemId = values[i].val.ulVal;
            continue;
        }
        cedb::PropertyValue value;
        DWORD error = 0;
        // Streams (a contact's picture) stay with the record; the items do not carry them.
        if (PROP_TYPE(values[i].propid) != CEVT_STREAM && cedb::PropertyFromPropVal(values[i], value, error))
            item.values.push_back(std::move(value));
    }
    LocalFree(buffer);
    return S_OK;
}

HRESULT PimSession::FindByItemId(int itemType, DWORD itemId, StoredItem& item) {
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    HANDLE database = HandleOf(itemType);
    if (database == INVALID_HANDLE_VALUE) return E_INVALIDARG;
    CEPROPVAL key{};
    key.propid = CEPROPID_ITEMID;
    key.val.ulVal = itemId;
    if (CeSeekDatabaseEx(database, CEDB_SEEK_VALUEFIRSTEQUAL, reinterpret_cast<DWORD_PTR>(&key), 1, nullptr) == 0)
        return HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
    return ReadCurrent(database, item);
}

HRESULT PimSession::ReadAt(int itemType, DWORD index, StoredItem& item) {
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    HANDLE database = HandleOf(itemType);
    if (database == INVALID_HANDLE_VALUE) return E_INVALIDARG;
    if (CeSeekDatabaseEx(database, CEDB_SEEK_BEGINNING, index, 0, nullptr) == 0) return E_INVALIDARG;
    return ReadCurrent(database, item);
}

HRESULT PimSession::Count(int itemType, DWORD& count) {
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    HANDLE database = HandleOf(itemType);
    if (database == INVALID_HANDLE_VALUE) return E_INVALIDARG;
    CEDBASEINFOEX info{};
    info.wVersion = CEDBASEINFOEX_VERSION;
    if (!CeGetDatabaseInfoEx2(database, &info)) return LastErrorResult();
    count = info.dwNumRecords;
    return S_OK;
}

HRESULT PimSession::Write(int itemType, CEOID& record, DWORD& itemId, std::vector<CEPROPVAL>& values) {
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    HANDLE database = HandleOf(itemType);
    if (database == INVALID_HANDLE_VALUE) return E_INVALIDARG;
    if (values.size() > 0xFFFF) return E_INVALIDARG;
    CEOID written = CeWriteRecordProps(database, record, static_cast<WORD>(values.size()), values.data());
    if (written == 0) return LastErrorResult();
    if (record == 0) {
        // The database numbered the new record: read its item id back.
        if (CeSeekDatabaseEx(database, CEDB_SEEK_CEOID, written, 0, nullptr) != written) return LastErrorResult();
        CEPROPID id = CEPROPID_ITEMID;
        WORD count = 1;
        LPBYTE buffer = nullptr;
        DWORD bytes = 0;
        if (CeReadRecordPropsEx(database, CEDB_ALLOWREALLOC, &count, &id, &buffer, &bytes, nullptr) == 0)
            return LastErrorResult();
        DWORD number = reinterpret_cast<const CEPROPVAL*>(buffer)->val.ulVal;
        LocalFree(buffer);
        if (number > kMaxItemId) {
            // An object id could not name it; it is taken back rather than left unreachable.
            CeDeleteRecord(database, written);
            return HRESULT_FROM_WIN32(ERROR_DATABASE_FULL);
        }
        record = written;
        itemId = number;
    }
    return S_OK;
}

HRESULT PimSession::Remove(int itemType, CEOID record) {
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    HANDLE database = HandleOf(itemType);
    if (database == INVALID_HANDLE_VALUE) return E_INVALIDARG;
    if (!CeDeleteRecord(database, record)) return LastErrorResult();
    return S_OK;
}

}  // namespace platform::poom
