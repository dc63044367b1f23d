// The application's file access: listing a folder's files or sub-folders from the disk and
// the mounted archives, and opening a file for reading (archives first) or writing.
#pragma once

#include "engine/core/containers/KDLList.h"
#include "platform/base/Types.h"

class FileStream;

// ListFiles flags.
constexpr DWORD kListDiskEntries = 0x3;     // either bit lists the disk's entries too
constexpr DWORD kListAbsoluteFolder = 0x8;  // otherwise the folder lies under the data folder

// With an extension: the folder's files of that extension; without one (null or empty): its
// sub-folders. Names are appended to `names` as EngineString items without their extension;
// disk entries (when asked for) come first, then the archives' entries, passed the same
// flags (kListSorted of ArchiveDirectory.h keeps the list sorted). Entries whose names begin
// with "." and entries with attribute 0x1000 are left out. Always 1.
int ListFiles(const char* folder, const char* extension, KDLList& names, DWORD flags);

// OpenFile flags.
constexpr DWORD kOpenForWriting = 0x1;
constexpr DWORD kOpenAbsolutePath = 0x10;  // otherwise the path lies under the data folder

// Reading asks the mounted archives first and the disk second; writing always goes to the
// disk. 1 on success; 0 with the stream left closed.
int OpenFile(const char* path, DWORD flags, FileStream& stream);
