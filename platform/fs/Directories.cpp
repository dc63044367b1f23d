// CreateDirectoryW and RemoveDirectoryW over mkdir and rmdir.
#include "platform/fs/Directories.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/base/Errors.h"
#include "platform/fs/FsSupport.h"

BOOL CreateDirectoryW(LPCWSTR pathName, LPSECURITY_ATTRIBUTES security) {
    UNREFERENCED_PARAMETER(security);  // the handset has no file security
    auto mapped = platform::fs::MapForCall(pathName);
    if (!mapped) return FALSE;
    if (mkdir(mapped->linuxPath.c_str(), 0777) != 0) return platform::fs::FailFromErrno(mapped->linuxPath);
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

BOOL RemoveDirectoryW(LPCWSTR pathName) {
    auto mapped = platform::fs::MapForCall(pathName);
    if (!mapped) return FALSE;
    if (platform::fs::IsHandsetRoot(*mapped)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    struct stat info;
    if (lstat(mapped->linuxPath.c_str(), &info) != 0) return platform::fs::FailFromErrno(mapped->linuxPath);
    if (!S_ISDIR(info.st_mode)) {
        SetLastError(ERROR_DIRECTORY);
        return FALSE;
    }
    if (rmdir(mapped->linuxPath.c_str()) != 0) return platform::fs::FailFromErrno(mapped->linuxPath);
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}
