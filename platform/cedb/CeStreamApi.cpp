// Opening and using the streams of record properties.
#include "platform/base/Errors.h"
#include "platform/cedb/CeDatabase.h"
#include "platform/cedb/DatabaseHandle.h"
#include "platform/cedb/StreamHandle.h"
#include "platform/cedb/VolumeTable.h"

using namespace platform::cedb;

namespace {

constexpr DWORD kGenericRead = 0x80000000u;
constexpr DWORD kGenericWrite = 0x40000000u;

template <typename Result>
Result Fail(DWORD error, Result result) {
    SetLastError(error);
    return result;
}

template <typename Operation>
BOOL WithStream(HANDLE hStream, Operation operation) {
    std::lock_guard<std::recursive_mutex> lock(CedbLock());
    auto* stream = platform::KernelObjectAs<StreamHandle>(hStream);
    if (!stream) return Fail<BOOL>(ERROR_INVALID_HANDLE, FALSE);
    DWORD error = 0;
    if (!operation(*stream, error)) return Fail<BOOL>(error, FALSE);
    return TRUE;
}

}  // namespace

HANDLE CeOpenStream(HANDLE hDatabase, CEPROPID propid, DWORD dwMode) {
    std::lock_guard<std::recursive_mutex> lock(CedbLock());
    auto* handle = platform::KernelObjectAs<DatabaseHandle>(hDatabase);
    if (!handle) return Fail(ERROR_INVALID_HANDLE, INVALID_HANDLE_VALUE);
    if (PROP_TYPE(propid) != CEVT_STREAM || dwMode == 0 || (dwMode & ~(kGenericRead | kGenericWrite)))
        return Fail(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
    bool canRead = (dwMode & kGenericRead) != 0;
    bool canWrite = (dwMode & kGenericWrite) != 0;
    DWORD error = 0;
    CEOID record = 0;
    if (!handle->CurrentRecord(record, error)) return Fail(error, INVALID_HANDLE_VALUE);
    std::vector<BYTE> data;
    if (canRead) {
        bool found = false;
        if (!handle->GetVolume().ReadStream(record, propid, data, found, error))
            return Fail(error, INVALID_HANDLE_VALUE);
        if (!found && !canWrite) return Fail(ERROR_NOT_FOUND, INVALID_HANDLE_VALUE);
    }
    auto* stream = new StreamHandle(handle->VolumePtr(), handle->Database(), record, propid, canRead, canWrite,
                                    std::move(data), handle->Origin());
    return platform::RegisterKernelObject(stream);
}

BOOL CeStreamRead(HANDLE hStream, LPBYTE lpbBuffer, DWORD cbRead, LPDWORD pcbRead) {
    return WithStream(hStream, [&](StreamHandle& stream, DWORD& error) {
        DWORD done = 0;
        bool ok = stream.Read(lpbBuffer, cbRead, done, error);
        if (pcbRead) *pcbRead = done;
        return ok;
    });
}

BOOL CeStreamWrite(HANDLE hStream, const BYTE* lpbBuffer, DWORD cbWrite, LPDWORD pcbWritten) {
    return WithStream(hStream, [&](StreamHandle& stream, DWORD& error) {
        DWORD done = 0;
        bool ok = stream.Write(lpbBuffer, cbWrite, done, error);
        if (pcbWritten) *pcbWritten = done;
        return ok;
    });
}

BOOL CeStreamSeek(HANDLE hStream, DWORD cbMove, DWORD dwOrigin, LPDWORD pcbNewOffset) {
    return WithStream(hStream, [&](StreamHandle& stream, DWORD& error) {
        DWORD position = 0;
        if (!stream.Seek(static_cast<LONG>(cbMove), dwOrigin, position, error)) return false;
        if (pcbNewOffset) *pcbNewOffset = position;
        return true;
    });
}

BOOL CeStreamSetSize(HANDLE hStream, DWORD cbSize) {
    return WithStream(hStream, [&](StreamHandle& stream, DWORD& error) { return stream.SetSize(cbSize, error); });
}

BOOL CeStreamSaveChanges(HANDLE hStream) {
    return WithStream(hStream, [&](StreamHandle& stream, DWORD& error) { return stream.Save(error); });
}
