// Creating, opening, describing and deleting databases, and giving back notifications.
#include <algorithm>
#include <cstring>
#include <string>  // before WideString.h, whose wide overloads confuse <string>

#include "platform/base/Errors.h"
#include "platform/base/WideString.h"
#include "platform/cedb/CeDatabase.h"
#include "platform/cedb/ChangeJournal.h"
#include "platform/cedb/DatabaseHandle.h"
#include "platform/cedb/VolumeTable.h"

using namespace platform::cedb;

namespace {

constexpr DWORD kValidFieldFlags =
    CEDB_VALIDNAME | CEDB_VALIDTYPE | CEDB_VALIDSORTSPEC | CEDB_VALIDMODTIME | CEDB_VALIDDBFLAGS;
// The notification request's size on the handset, where its pointers had 32 bits.
constexpr DWORD kHandsetRequestSize = 20;

template <typename Result>
Result Fail(DWORD error, Result result) {
    SetLastError(error);
    return result;
}

bool FillDatabaseInfo(Volume& volume, const DatabaseRow& row, CEDBASEINFOEX& info, DWORD& error) {
    DWORD records = 0;
    std::uint64_t bytes = 0;
    if (!volume.DatabaseTotals(row.oid, records, bytes, error)) return false;
    std::memset(&info, 0, sizeof info);
    info.wVersion = CEDBASEINFOEX_VERSION;
    info.wNumSortOrder = static_cast<WORD>(row.sortOrders.size());
    info.dwFlags = kValidFieldFlags | row.flags;
    std::size_t length = std::min<std::size_t>(row.name.size(), CEDB_MAXDBASENAMELEN - 1);
    std::copy(row.name.begin(), row.name.begin() + static_cast<std::ptrdiff_t>(length), info.szDbaseName);
    info.dwDbaseType = row.type;
    info.dwNumRecords = records;
    info.dwSize = bytes > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<DWORD>(bytes);
    info.ftLastModified.dwLowDateTime = static_cast<DWORD>(row.modified);
    info.ftLastModified.dwHighDateTime = static_cast<DWORD>(row.modified >> 32);
    std::copy(row.sortOrders.begin(), row.sortOrders.end(), info.rgSortSpecs);
    return true;
}

bool IsValidRequest(const CENOTIFYREQUEST* request) {
    if (!request) return true;
    return (request->dwSize == sizeof(CENOTIFYREQUEST) || request->dwSize == kHandsetRequestSize) &&
           request->dwFlags == CEDB_EXNOTIFICATION && request->hwnd != nullptr && request->hHeap == nullptr;
}

}  // namespace

CEOID CeCreateDatabaseEx2(PCEGUID pGuid, CEDBASEINFOEX* pInfo) {
    std::lock_guard<std::recursive_mutex> lock(CedbLock());
    DWORD error = 0;
    std::shared_ptr<Volume> volume = MountedVolume(pGuid, error);
    if (!volume) return Fail<CEOID>(error, 0);
    if (!pInfo || pInfo->wVersion != CEDBASEINFOEX_VERSION || !(pInfo->dwFlags & CEDB_VALIDNAME))
        return Fail<CEOID>(ERROR_INVALID_PARAMETER, 0);
    std::size_t length = wcsnlen(pInfo->szDbaseName, CEDB_MAXDBASENAMELEN);
    if (length == 0 || length >= CEDB_MAXDBASENAMELEN) return Fail<CEOID>(ERROR_INVALID_PARAMETER, 0);

    DatabaseRow row;
    row.name.assign(pInfo->szDbaseName, length);
    if (pInfo->dwFlags & CEDB_VALIDTYPE) row.type = pInfo->dwDbaseType;
    if (pInfo->dwFlags & CEDB_VALIDDBFLAGS) row.flags = pInfo->dwFlags & ~kValidFieldFlags;
    if (pInfo->dwFlags & CEDB_VALIDSORTSPEC) {
        if (pInfo->wNumSortOrder > CEDB_MAXSORTORDER) return Fail<CEOID>(ERROR_INVALID_PARAMETER, 0);
        for (WORD i = 0; i < pInfo->wNumSortOrder; ++i) {
            if (!SortOrder::IsValidOrder(pInfo->rgSortSpecs[i])) return Fail<CEOID>(ERROR_INVALID_PARAMETER, 0);
            row.sortOrders.push_back(SortOrder(pInfo->rgSortSpecs[i]).Definition());
        }
    }
    CEOID oid = 0;
    if (!volume->CreateDatabase(row, oid, error)) return Fail<CEOID>(error, 0);
    return oid;
}

BOOL CeDeleteDatabaseEx(PCEGUID pGuid, CEOID oid) {
    std::lock_guard<std::recursive_mutex> lock(CedbLock());
    DWORD error = 0;
    std::shared_ptr<Volume> volume = MountedVolume(pGuid, error);
    if (!volume) return Fail<BOOL>(error, FALSE);
    if (oid == 0) return Fail<BOOL>(ERROR_INVALID_PARAMETER, FALSE);
    if (DatabaseHandle::IsOpenInProcess(volume.get(), oid)) return Fail<BOOL>(ERROR_SHARING_VIOLATION, FALSE);
    if (!volume->DeleteDatabase(oid, ChangeOrigin{0, 0}, error)) return Fail<BOOL>(error, FALSE);
    return TRUE;
}

HANDLE CeOpenDatabaseEx2(PCEGUID pGuid, PCEOID poid, LPCWSTR lpszName, SORTORDERSPECEX* pSort, DWORD dwFlags,
                         CENOTIFYREQUEST* pRequest) {
    std::lock_guard<std::recursive_mutex> lock(CedbLock());
    DWORD error = 0;
    std::shared_ptr<Volume> volume = MountedVolume(pGuid, error);
    if (!volume) return Fail(error, INVALID_HANDLE_VALUE);
    if (!poid || (dwFlags & ~CEDB_AUTOINCREMENT) || !IsValidRequest(pRequest))
        return Fail(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
    CEOID oid = *poid;
    if (oid == 0) {
        if (!lpszName) return Fail(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
        std::size_t length = wcsnlen(lpszName, CEDB_MAXDBASENAMELEN);
        if (length == 0 || length >= CEDB_MAXDBASENAMELEN) return Fail(ERROR_FILE_NOT_FOUND, INVALID_HANDLE_VALUE);
        if (!volume->FindDatabase(std::u16string(lpszName, length), oid, error))
            return Fail(error, INVALID_HANDLE_VALUE);
    }
    DatabaseRow row;
    if (!volume->LoadDatabase(oid, row, error)) return Fail(error, INVALID_HANDLE_VALUE);
    SortOrder order;
    if (pSort) {
        auto match = std::find_if(row.sortOrders.begin(), row.sortOrders.end(),
                                  [&](const SORTORDERSPECEX& order) { return SortOrder::SameOrder(order, *pSort); });
        if (pSort->wVersion != SORTORDERSPECEX_VERSION || match == row.sortOrders.end())
            return Fail(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
        order = SortOrder(*match);
    }
    auto* handle = new DatabaseHandle(volume, oid, order, dwFlags, pRequest);
    if (pRequest && !AddListener(handle, error)) {
        handle->ReleaseHandleRef();
        return Fail(error, INVALID_HANDLE_VALUE);
    }
    *poid = oid;
    return platform::RegisterKernelObject(handle);
}

HANDLE CeOpenDatabaseInSession(HANDLE hSession, PCEGUID pGuid, PCEOID poid, LPCWSTR lpszName, SORTORDERSPECEX* pSort,
                               DWORD dwFlags, CENOTIFYREQUEST* pRequest) {
    if (hSession) return Fail(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
    return CeOpenDatabaseEx2(pGuid, poid, lpszName, pSort, dwFlags, pRequest);
}

BOOL CeOidGetInfoEx2(PCEGUID pGuid, CEOID oid, CEOIDINFOEX* pInfo) {
    std::lock_guard<std::recursive_mutex> lock(CedbLock());
    DWORD error = 0;
    std::shared_ptr<Volume> volume = MountedVolume(pGuid, error);
    if (!volume) return Fail<BOOL>(error, FALSE);
    if (!pInfo || pInfo->wVersion != CEOIDINFOEX_VERSION || oid == 0) return Fail<BOOL>(ERROR_INVALID_PARAMETER, FALSE);
    DatabaseRow row;
    if (volume->LoadDatabase(oid, row, error)) {
        pInfo->wObjType = OBJTYPE_DATABASE;
        if (!FillDatabaseInfo(*volume, row, pInfo->infDatabase, error)) return Fail<BOOL>(error, FALSE);
        return TRUE;
    }
    if (error != ERROR_FILE_NOT_FOUND) return Fail<BOOL>(error, FALSE);
    CEOID database = 0;
    if (!volume->DatabaseOfRecord(oid, database, error)) return Fail<BOOL>(error, FALSE);
    if (database == 0) return Fail<BOOL>(ERROR_INVALID_PARAMETER, FALSE);
    pInfo->wObjType = OBJTYPE_RECORD;
    pInfo->infRecord.oidParent = database;
    return TRUE;
}

BOOL CeGetDatabaseInfoEx2(HANDLE hDatabase, CEDBASEINFOEX* pInfo) {
    std::lock_guard<std::recursive_mutex> lock(CedbLock());
    auto* handle = platform::KernelObjectAs<DatabaseHandle>(hDatabase);
    if (!handle) return Fail<BOOL>(ERROR_INVALID_HANDLE, FALSE);
    if (!pInfo || pInfo->wVersion != CEDBASEINFOEX_VERSION) return Fail<BOOL>(ERROR_INVALID_PARAMETER, FALSE);
    DWORD error = 0;
    DatabaseRow row;
    if (!handle->GetVolume().LoadDatabase(handle->Database(), row, error))
        return Fail<BOOL>(error == ERROR_FILE_NOT_FOUND ? ERROR_INVALID_HANDLE : error, FALSE);
    if (!FillDatabaseInfo(handle->GetVolume(), row, *pInfo, error)) return Fail<BOOL>(error, FALSE);
    return TRUE;
}

BOOL CeFreeNotification(PCENOTIFYREQUEST pRequest, PCENOTIFICATION pNotify) {
    if ((pRequest && pRequest->hHeap) || !FreeNotification(pNotify)) return Fail<BOOL>(ERROR_INVALID_PARAMETER, FALSE);
    return TRUE;
}
