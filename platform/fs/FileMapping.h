// Memory-mapped files: a mapping object over a file (or over page-file memory when the
// file handle is INVALID_HANDLE_VALUE) and views of it in the address space.
#pragma once

#include "platform/base/Types.h"
#include "platform/base/VirtualMemory.h"
#include "platform/fs/Files.h"

// The page protections beside those of VirtualAlloc that a mapping takes.
constexpr DWORD PAGE_WRITECOPY = 0x08;

constexpr DWORD FILE_MAP_COPY = 0x0001;
constexpr DWORD FILE_MAP_WRITE = 0x0002;
constexpr DWORD FILE_MAP_READ = 0x0004;
constexpr DWORD FILE_MAP_ALL_ACCESS = 0x000F001F;

// Views start at multiples of this many bytes.
constexpr DWORD MAPPING_ALLOCATION_GRANULARITY = 0x10000;

// A file handle that can be mapped; on the handset every file handle can, so this is
// CreateFileW.
HANDLE CreateFileForMappingW(LPCWSTR fileName, DWORD desiredAccess, DWORD shareMode,
                             LPSECURITY_ATTRIBUTES security, DWORD creationDisposition, DWORD flagsAndAttributes,
                             HANDLE templateFile);

// protect: PAGE_READONLY, PAGE_READWRITE or PAGE_WRITECOPY. A maximum size of 0 maps the
// whole file (an empty file gives ERROR_FILE_INVALID); a larger size grows the file under
// PAGE_READWRITE. Page-file mappings need a size. Named mappings are not offered: a name
// gives ERROR_NOT_SUPPORTED. The mapping keeps the file open after its handle is closed,
// and a view keeps the mapping after its handle is closed.
HANDLE CreateFileMappingW(HANDLE file, LPSECURITY_ATTRIBUTES security, DWORD protect, DWORD maximumSizeHigh,
                          DWORD maximumSizeLow, LPCWSTR name);
// bytesToMap 0 maps from the offset to the end of the mapping.
LPVOID MapViewOfFile(HANDLE fileMappingObject, DWORD desiredAccess, DWORD fileOffsetHigh, DWORD fileOffsetLow,
                     SIZE_T numberOfBytesToMap);
// baseAddress is what MapViewOfFile returned.
BOOL UnmapViewOfFile(LPCVOID baseAddress);
