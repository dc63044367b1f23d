// Reserving and committing virtual memory as the handset's kernel offers it (VirtualAlloc,
// VirtualFree) and the system facts the engine's heaps are sized by (GetSystemInfo).
#pragma once

#include "platform/base/Types.h"

constexpr DWORD MEM_COMMIT = 0x00001000;
constexpr DWORD MEM_RESERVE = 0x00002000;
constexpr DWORD MEM_DECOMMIT = 0x00004000;
constexpr DWORD MEM_RELEASE = 0x00008000;
constexpr DWORD MEM_LARGE_PAGES = 0x20000000;

constexpr DWORD PAGE_NOACCESS = 0x01;
constexpr DWORD PAGE_READONLY = 0x02;
constexpr DWORD PAGE_READWRITE = 0x04;

// MEM_RESERVE takes a range of addresses without memory behind it (no access); its base is a
// multiple of the allocation granularity. MEM_COMMIT backs pages of a reserved range with
// memory, zero-filled on first touch; with a null address it reserves and commits at once.
// Sizes are rounded up to whole pages. Failure gives null and sets the last error
// (ERROR_INVALID_PARAMETER, ERROR_INVALID_ADDRESS, ERROR_NOT_ENOUGH_MEMORY).
// MEM_LARGE_PAGES, with MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE and no address, asks for a
// range backed by large pages, so that touching it costs one fault per large page: the
// size must be a multiple of GetLargePageMinimum(), and so is the base. The kernel may still
// back parts with ordinary pages. ERROR_NOT_SUPPORTED when the system offers no large pages.
LPVOID VirtualAlloc(LPVOID address, SIZE_T size, DWORD allocationType, DWORD protect);

// The size of a large page, or 0 when the system offers none.
SIZE_T GetLargePageMinimum();

// MEM_DECOMMIT gives back the memory of the pages in the range (they read as zero when
// committed again); size 0 with the base of a reservation decommits all of it. MEM_RELEASE
// ends a whole reservation and needs its base and size 0.
BOOL VirtualFree(LPVOID address, SIZE_T size, DWORD freeType);

struct SYSTEM_INFO {
    WORD wProcessorArchitecture;
    WORD wReserved;
    DWORD dwPageSize;
    LPVOID lpMinimumApplicationAddress;
    LPVOID lpMaximumApplicationAddress;
    DWORD_PTR dwActiveProcessorMask;
    DWORD dwNumberOfProcessors;
    DWORD dwProcessorType;
    DWORD dwAllocationGranularity;
    WORD wProcessorLevel;
    WORD wProcessorRevision;
};
using LPSYSTEM_INFO = SYSTEM_INFO*;

constexpr WORD PROCESSOR_ARCHITECTURE_INTEL = 0;
constexpr WORD PROCESSOR_ARCHITECTURE_ARM = 5;
constexpr WORD PROCESSOR_ARCHITECTURE_AMD64 = 9;
constexpr WORD PROCESSOR_ARCHITECTURE_ARM64 = 12;
constexpr WORD PROCESSOR_ARCHITECTURE_UNKNOWN = 0xFFFF;

void GetSystemInfo(LPSYSTEM_INFO info);
