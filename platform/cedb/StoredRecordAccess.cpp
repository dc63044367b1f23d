// Raw access to stored records for tests and the fuzzer.
#include "platform/cedb/StoredRecordAccess.h"

#include "platform/base/Errors.h"
#include "platform/cedb/DatabaseHandle.h"
#include "platform/cedb/VolumeTable.h"

namespace platform::cedb::testing {

bool WriteStoredRecord(HANDLE database, CEOID record, const BYTE* data, std::size_t size) {
    std::lock_guard<std::recursive_mutex> lock(CedbLock());
    auto* handle = KernelObjectAs<DatabaseHandle>(database);
    if (!handle) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    DWORD error = 0;
    if (!handle->GetVolume().ReplaceStoredRecord(handle->Database(), record, data, size, error)) {
        SetLastError(error);
        return false;
    }
    return true;
}

}  // namespace platform::cedb::testing
