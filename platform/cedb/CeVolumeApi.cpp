// Mounting and unmounting volumes.
#include "platform/base/Errors.h"
#include "platform/cedb/CeDatabase.h"
#include "platform/cedb/VolumeTable.h"

using platform::cedb::CedbLock;

BOOL CeMountDBVolEx(PCEGUID pGuid, LPCWSTR lpszVol, CEVOLUMEOPTIONS* pOptions, DWORD dwFlags) {
    if (!pGuid || (pOptions && pOptions->wVersion != CEVOLUMEOPTIONS_VERSION)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::lock_guard<std::recursive_mutex> lock(CedbLock());
    DWORD error = 0;
    CEGUID guid{};
    if (!platform::cedb::MountVolume(lpszVol, dwFlags, guid, error)) {
        SetLastError(error);
        return FALSE;
    }
    *pGuid = guid;
    return TRUE;
}

BOOL CeMountDBVol(PCEGUID pGuid, LPCWSTR lpszVol, DWORD dwFlags) {
    return CeMountDBVolEx(pGuid, lpszVol, nullptr, dwFlags);
}

BOOL CeUnmountDBVol(PCEGUID pGuid) {
    std::lock_guard<std::recursive_mutex> lock(CedbLock());
    DWORD error = 0;
    if (!platform::cedb::UnmountVolume(pGuid, error)) {
        SetLastError(error);
        return FALSE;
    }
    return TRUE;
}
