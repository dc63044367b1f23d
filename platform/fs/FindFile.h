// Find-file: listing a folder's entries that match a pattern with '*' and '?', without case.
#pragma once

#include <string>

#include "platform/base/Types.h"
#include "platform/fs/Files.h"

// The handset's record: no short name, and the object-store identifier of the entry.
struct WIN32_FIND_DATAW {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwOID;
    WCHAR cFileName[MAX_PATH];
};
using LPWIN32_FIND_DATAW = WIN32_FIND_DATAW*;
using PWIN32_FIND_DATAW = WIN32_FIND_DATAW*;

// "\folder\*.par": the last component is the pattern ('*' any run, '?' one character; a
// final ".*" also matches names without an extension, so "*.*" matches every name).
// Entries come in name order without case; "." and ".." are not listed. No match gives
// INVALID_HANDLE_VALUE with ERROR_FILE_NOT_FOUND, a missing folder ERROR_PATH_NOT_FOUND.
HANDLE FindFirstFileW(LPCWSTR fileName, LPWIN32_FIND_DATAW findData);
// FALSE with ERROR_NO_MORE_FILES after the last entry.
BOOL FindNextFileW(HANDLE findFile, LPWIN32_FIND_DATAW findData);
BOOL FindClose(HANDLE findFile);

namespace platform {
// The pattern rule of FindFirstFileW, for one name.
bool MatchesFindPattern(const std::u16string& pattern, const std::u16string& name);
}  // namespace platform
