// Seeking, reading, writing and deleting records.
#include <algorithm>

#include "platform/base/Errors.h"
#include "platform/cedb/CeDatabase.h"
#include "platform/cedb/DatabaseHandle.h"
#include "platform/cedb/PropertyBuffer.h"
#include "platform/cedb/VolumeTable.h"

using namespace platform::cedb;

namespace {

template <typename Result>
Result Fail(DWORD error, Result result) {
    SetLastError(error);
    return result;
}

}  // namespace

CEOID CeSeekDatabaseEx(HANDLE hDatabase, DWORD dwSeekType, DWORD_PTR dwValue, WORD wNumVals, LPDWORD lpdwIndex) {
    std::lock_guard<std::recursive_mutex> lock(CedbLock());
    auto* handle = platform::KernelObjectAs<DatabaseHandle>(hDatabase);
    if (!handle) return Fail<CEOID>(ERROR_INVALID_HANDLE, 0);
    DWORD index = 0;
    DWORD error = 0;
    CEOID oid = handle->Seek(dwSeekType, dwValue, wNumVals, index, error);
    if (oid == 0) return Fail<CEOID>(error, 0);
    if (lpdwIndex) *lpdwIndex = index;
    return oid;
}

CEOID CeSeekDatabase(HANDLE hDatabase, DWORD dwSeekType, DWORD_PTR dwValue, LPDWORD lpdwIndex) {
    return CeSeekDatabaseEx(hDatabase, dwSeekType, dwValue, 1, lpdwIndex);
}

CEOID CeReadRecordPropsEx(HANDLE hDatabase, DWORD dwFlags, WORD* lpcPropID, CEPROPID* rgPropID, LPBYTE* lplpBuffer,
                          LPDWORD lpcbBuffer, HANDLE hHeap) {
    std::lock_guard<std::recursive_mutex> lock(CedbLock());
    auto* handle = platform::KernelObjectAs<DatabaseHandle>(hDatabase);
    if (!handle) return Fail<CEOID>(ERROR_INVALID_HANDLE, 0);
    if (!lpcPropID || !lplpBuffer || !lpcbBuffer || hHeap || (dwFlags & ~CEDB_ALLOWREALLOC))
        return Fail<CEOID>(ERROR_INVALID_PARAMETER, 0);
    DWORD error = 0;
    CEOID oid = 0;
    if (!handle->CurrentRecord(oid, error)) return Fail<CEOID>(error, 0);
    std::vector<PropertyValue> properties;
    if (!handle->GetVolume().ReadRecord(handle->Database(), oid, properties, error)) return Fail<CEOID>(error, 0);

    bool wantsStreams = !rgPropID;
    for (WORD i = 0; rgPropID && i < *lpcPropID; ++i) wantsStreams |= PROP_TYPE(rgPropID[i]) == CEVT_STREAM;
    if (wantsStreams) {
        std::vector<std::pair<CEPROPID, std::uint64_t>> streams;
        if (!handle->GetVolume().StreamSizes(oid, streams, error)) return Fail<CEOID>(error, 0);
        for (const auto& [id, size] : streams) {
            PropertyValue stream;
            stream.id = id;
            stream.scalar = size;
            properties.push_back(stream);
        }
    }

    std::vector<RequestedProperty> requested;
    if (!rgPropID) {
        if (properties.size() > 0xFFFF) return Fail<CEOID>(ERROR_INVALID_DATA, 0);
        for (const PropertyValue& property : properties) requested.push_back({property.id, &property});
    } else {
        for (WORD i = 0; i < *lpcPropID; ++i) {
            auto found = std::find_if(properties.rbegin(), properties.rend(),
                                      [&](const PropertyValue& property) { return property.id == rgPropID[i]; });
            requested.push_back({rgPropID[i], found == properties.rend() ? nullptr : &*found});
        }
    }
    if (!FillPropertyBuffer(requested, dwFlags, lplpBuffer, lpcbBuffer, error)) return Fail<CEOID>(error, 0);
    *lpcPropID = static_cast<WORD>(requested.size());
    if (handle->Flags() & CEDB_AUTOINCREMENT) handle->StepForward();
    return oid;
}

CEOID CeWriteRecordProps(HANDLE hDatabase, CEOID oidRecord, WORD cPropID, CEPROPVAL* rgPropVal) {
    std::lock_guard<std::recursive_mutex> lock(CedbLock());
    auto* handle = platform::KernelObjectAs<DatabaseHandle>(hDatabase);
    if (!handle) return Fail<CEOID>(ERROR_INVALID_HANDLE, 0);
    if (cPropID > 0 && !rgPropVal) return Fail<CEOID>(ERROR_INVALID_PARAMETER, 0);
    std::vector<PropertyChange> changes;
    DWORD error = 0;
    for (WORD i = 0; i < cPropID; ++i) {
        const CEPROPVAL& source = rgPropVal[i];
        // A not-found entry of a buffer read earlier and written back carries no value.
        if (source.wFlags & CEDB_PROPNOTFOUND) continue;
        PropertyChange change;
        WORD type = PROP_TYPE(source.propid);
        if (source.wFlags & CEDB_PROPDELETE) {
            if (!IsRecordValueType(type) && type != CEVT_STREAM) return Fail<CEOID>(ERROR_INVALID_PARAMETER, 0);
            change.value.id = source.propid;
            change.remove = true;
        } else if (!PropertyFromPropVal(source, change.value, error)) {
            return Fail<CEOID>(error, 0);
        }
        changes.push_back(std::move(change));
    }
    CEOID record = oidRecord;
    if (!handle->GetVolume().WriteRecord(handle->Database(), record, changes, handle->Origin(), error))
        return Fail<CEOID>(error == ERROR_FILE_NOT_FOUND ? ERROR_INVALID_HANDLE : error, 0);
    return record;
}

BOOL CeDeleteRecord(HANDLE hDatabase, CEOID oidRecord) {
    std::lock_guard<std::recursive_mutex> lock(CedbLock());
    auto* handle = platform::KernelObjectAs<DatabaseHandle>(hDatabase);
    if (!handle) return Fail<BOOL>(ERROR_INVALID_HANDLE, FALSE);
    if (oidRecord == 0) return Fail<BOOL>(ERROR_INVALID_PARAMETER, FALSE);
    DWORD error = 0;
    if (!handle->GetVolume().DeleteRecord(handle->Database(), oidRecord, handle->Origin(), error))
        return Fail<BOOL>(error, FALSE);
    return TRUE;
}
