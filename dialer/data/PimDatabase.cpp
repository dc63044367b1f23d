// Opening, sorting, seeking and reading a PIM database, and its change notifications.
#include "dialer/data/PimDatabase.h"

#include "platform/base/Handle.h"
#include "platform/cedb/CeDatabase.h"
#include "platform/user/Window.h"

namespace {

constexpr DWORD kOpenExisting = 3;
// The handset's size of the request record, which the database calls accept.
constexpr DWORD kNotifyRequestSize = 20;

}  // namespace

CPimDatabase::CPimDatabase() = default;

CPimDatabase::~CPimDatabase() { Destroy(); }

void CPimDatabase::OnRecordCreated(CEOID) {}
void CPimDatabase::OnRecordDeleted(CEOID) {}
void CPimDatabase::OnRecordChanged(CEOID) {}

BOOL CPimDatabase::ProcessWindowMessage(HWND, UINT message, WPARAM, LPARAM lParam, LRESULT& result, DWORD) {
    if (message != WM_DBNOTIFICATION) return FALSE;
    CAutoLock lock(m_lock);
    auto* notification = reinterpret_cast<CENOTIFICATION*>(lParam);
    if (notification != nullptr) {
        switch (notification->uType) {
            case DB_CEOID_CREATED: OnRecordCreated(notification->oid); break;
            case DB_CEOID_RECORD_DELETED: OnRecordDeleted(notification->oid); break;
            case DB_CEOID_CHANGED: OnRecordChanged(notification->oid); break;
            default: break;
        }
        CeFreeNotification(&m_request, notification);
    }
    RaiseChangeCount();
    result = 0;
    return TRUE;
}

void CPimDatabase::CloseHandleAndVolume() {
    if (m_database != INVALID_HANDLE_VALUE) {
        CloseHandle(m_database);
        m_database = INVALID_HANDLE_VALUE;
    }
    if (m_mounted) {
        CeUnmountDBVol(&m_volume);
        m_mounted = false;
    }
}

bool CPimDatabase::Open(LPCWSTR volumeName, LPCWSTR databaseName, bool session) {
    CAutoLock lock(m_lock);
    if (!IsWindow() && Create(u"OrmFerrow_DbListener", nullptr, RECT{0, 0, 0, 0}, nullptr, 0) == nullptr)
        return false;
    m_request = CENOTIFYREQUEST{};
    m_request.dwSize = kNotifyRequestSize;
    m_request.hwnd = m_hWnd;
    m_request.dwFlags = CEDB_EXNOTIFICATION;

    CloseHandleAndVolume();
    bool mounted = session ? CeMountDBVolEx(&m_volume, volumeName, nullptr, kOpenExisting) != FALSE
                           : CeMountDBVol(&m_volume, volumeName, kOpenExisting) != FALSE;
    if (mounted) {
        m_mounted = true;
        m_databaseOid = 0;
        m_currentOid = 0;
        m_database = session ? CeOpenDatabaseInSession(nullptr, &m_volume, &m_databaseOid, databaseName, nullptr, 0,
                                                       &m_request)
                             : CeOpenDatabaseEx2(&m_volume, &m_databaseOid, databaseName, nullptr, 0, &m_request);
        if (m_database != INVALID_HANDLE_VALUE) {
            m_session = session;
            return true;
        }
        CloseHandleAndVolume();
    }
    DestroyWindow();
    return false;
}

bool CPimDatabase::ReopenSorted(CEPROPID propertyId, bool descending, CENOTIFYREQUEST* request) {
    CAutoLock lock(m_lock);
    CEOIDINFOEX info{};
    if (!GetDatabaseInfo(info) || !m_session || info.wObjType != OBJTYPE_DATABASE) return false;
    if (request == nullptr) request = &m_request;
    const CEDBASEINFOEX& database = info.infDatabase;
    WORD orders = database.wNumSortOrder < CEDB_MAXSORTORDER ? database.wNumSortOrder : CEDB_MAXSORTORDER;
    for (WORD i = 0; i < orders; ++i) {
        SORTORDERSPECEX order = database.rgSortSpecs[i];
        bool orderDescending = (order.rgdwFlags[0] & CEDB_SORT_DESCENDING) != 0;
        if (order.wNumProps < 1 || order.rgPropID[0] != propertyId || orderDescending != descending) continue;
        if (m_database != INVALID_HANDLE_VALUE) CloseHandle(m_database);
        CEOID oid = m_databaseOid;
        m_currentOid = 0;
        m_database = CeOpenDatabaseInSession(nullptr, &m_volume, &oid, nullptr, &order, 0, request);
        if (m_database != INVALID_HANDLE_VALUE) return true;
        // The database stays open unsorted; with no handle at all nothing more can be tried.
        m_database = CeOpenDatabaseInSession(nullptr, &m_volume, &oid, nullptr, nullptr, 0, request);
        if (m_database == INVALID_HANDLE_VALUE) {
            CloseHandleAndVolume();
            return false;
        }
    }
    return false;
}

void CPimDatabase::Close() {
    {
        CAutoLock lock(m_lock);
        CloseHandleAndVolume();
    }
    DestroyWindow();
}

void CPimDatabase::Destroy() {
    CAutoLock lock(m_lock);
    CloseHandleAndVolume();
}

bool CPimDatabase::GetDatabaseInfo(CEOIDINFOEX& info) {
    CAutoLock lock(m_lock);
    if (!m_mounted || m_databaseOid == 0) return false;
    info.wVersion = CEOIDINFOEX_VERSION;
    return CeOidGetInfoEx2(&m_volume, m_databaseOid, &info) != FALSE;
}

bool CPimDatabase::Remember(CEOID reached) {
    m_currentOid = reached;
    return reached != 0;
}

bool CPimDatabase::SeekFromStart(DWORD n) {
    CAutoLock lock(m_lock);
    return Remember(CeSeekDatabaseEx(m_database, CEDB_SEEK_BEGINNING, n, 0, nullptr));
}

bool CPimDatabase::SeekNext(LONG n) {
    CAutoLock lock(m_lock);
    return Remember(CeSeekDatabaseEx(m_database, CEDB_SEEK_CURRENT, static_cast<DWORD>(n), 0, nullptr));
}

bool CPimDatabase::SeekToOid(CEOID oid) {
    CAutoLock lock(m_lock);
    return Remember(CeSeekDatabaseEx(m_database, CEDB_SEEK_CEOID, oid, 0, nullptr));
}

bool CPimDatabase::SeekByItemId(DWORD itemId) {
    CAutoLock lock(m_lock);
    CEPROPVAL key{};
    key.propid = CEPROPID_ITEMID;
    key.val.ulVal = itemId;
    return Remember(
        CeSeekDatabaseEx(m_database, CEDB_SEEK_VALUEFIRSTEQUAL, reinterpret_cast<DWORD_PTR>(&key), 1, nullptr));
}

bool CPimDatabase::ReadCurrent(DbRecord* record, CEPROPID* ids, WORD count) {
    CAutoLock lock(m_lock);
    if (record == nullptr) return false;
    record->Clear();
    LPBYTE buffer = nullptr;
    DWORD bytes = 0;
    WORD read = count;
    CEOID oid = CeReadRecordPropsEx(m_database, CEDB_ALLOWREALLOC, &read, ids, &buffer, &bytes, nullptr);
    if (oid == 0) return false;
    record->oid = oid;
    record->props = reinterpret_cast<CEPROPVAL*>(buffer);
    record->count = read;
    return true;
}

bool CPimDatabase::DeleteRecordProperty(CEOID oid, CEPROPID propertyId) {
    CAutoLock lock(m_lock);
    CEPROPVAL removal{};
    removal.propid = propertyId;
    removal.wFlags = CEDB_PROPDELETE;
    return CeWriteRecordProps(m_database, oid, 1, &removal) != 0;
}
