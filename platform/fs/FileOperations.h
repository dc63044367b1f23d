// Whole-file operations by handset path: attributes, delete, move and copy.
#pragma once

#include "platform/base/Types.h"
#include "platform/fs/Files.h"

// INVALID_FILE_ATTRIBUTES with the last error when the entry cannot be found.
DWORD GetFileAttributesW(LPCWSTR fileName);
// Files only: a folder gives ERROR_ACCESS_DENIED, as does a read-only file.
BOOL DeleteFileW(LPCWSTR fileName);
// Moves or renames a file or a folder; an existing target gives ERROR_ALREADY_EXISTS,
// except that a name may be moved onto itself to change its case.
BOOL MoveFileW(LPCWSTR existingFileName, LPCWSTR newFileName);
// Copies a file with its last-write time and read-only attribute. The copy is written
// beside the target and renamed over it, so a failed copy leaves an existing target whole.
BOOL CopyFileW(LPCWSTR existingFileName, LPCWSTR newFileName, BOOL failIfExists);
