// The handset's local heap: blocks that one part of the system allocates and another frees,
// such as the property buffers and notifications of the property databases.
#pragma once

#include "platform/base/Types.h"

constexpr UINT LMEM_FIXED = 0x0000;
constexpr UINT LMEM_MOVEABLE = 0x0002;
constexpr UINT LMEM_ZEROINIT = 0x0040;
constexpr UINT LPTR = LMEM_FIXED | LMEM_ZEROINIT;

// Blocks are aligned for any value (16 bytes). A failed allocation gives null with
// ERROR_NOT_ENOUGH_MEMORY.
HLOCAL LocalAlloc(UINT uFlags, SIZE_T uBytes);
// Without LMEM_MOVEABLE a block only shrinks or grows in place; LMEM_ZEROINIT zeroes the
// bytes that growing adds. On failure the block is unchanged.
HLOCAL LocalReAlloc(HLOCAL hMem, SIZE_T uBytes, UINT uFlags);
// Returns null on success (also for null).
HLOCAL LocalFree(HLOCAL hMem);
SIZE_T LocalSize(HLOCAL hMem);
