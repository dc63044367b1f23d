// Folders on the handset: creating and removing them.
#pragma once

#include "platform/base/Types.h"

// The folder above must exist; an existing entry gives ERROR_ALREADY_EXISTS.
BOOL CreateDirectoryW(LPCWSTR pathName, LPSECURITY_ATTRIBUTES security);
// Only an empty folder is removed (ERROR_DIR_NOT_EMPTY otherwise); "\" is never removed.
BOOL RemoveDirectoryW(LPCWSTR pathName);
