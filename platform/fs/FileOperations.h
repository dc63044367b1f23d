// Whole-file operations by handset path: attributes, delete, move, copy and replace.
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
// Puts the file `sourceFileName` in the place of the existing file `destinationFileName` in
// one step: a reader sees the old file or the new one, never neither and never a part, also
// when the process dies during the call. The destination must exist (ERROR_FILE_NOT_FOUND
// otherwise) and be a writable file (ERROR_ACCESS_DENIED otherwise). The folder's entry is
// flushed to the disk before the call returns.
BOOL DeleteAndRenameFile(LPCWSTR destinationFileName, LPCWSTR sourceFileName);
