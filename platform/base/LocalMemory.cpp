// The local heap over malloc: each block carries a small header with its size, so that
// LocalSize and LocalReAlloc can answer without asking the caller.
#include "platform/base/LocalMemory.h"

#include <cstdlib>
#include <cstring>
#include <limits>

#include "platform/base/Errors.h"

namespace {

struct alignas(16) BlockHeader {
    SIZE_T size;      // what the caller asked for
    SIZE_T capacity;  // what the block can hold without moving
};

constexpr SIZE_T kMaxBlock = std::numeric_limits<SIZE_T>::max() / 2 - sizeof(BlockHeader);

BlockHeader* HeaderOf(HLOCAL memory) { return static_cast<BlockHeader*>(memory) - 1; }

}  // namespace

HLOCAL LocalAlloc(UINT uFlags, SIZE_T uBytes) {
    if (uBytes > kMaxBlock) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    auto* header = static_cast<BlockHeader*>(std::malloc(sizeof(BlockHeader) + uBytes));
    if (!header) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    header->size = uBytes;
    header->capacity = uBytes;
    if (uFlags & LMEM_ZEROINIT) std::memset(header + 1, 0, uBytes);
    return header + 1;
}

HLOCAL LocalReAlloc(HLOCAL hMem, SIZE_T uBytes, UINT uFlags) {
    if (!hMem) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (uBytes > kMaxBlock) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    BlockHeader* header = HeaderOf(hMem);
    SIZE_T oldSize = header->size;
    if (uBytes <= header->capacity) {
        if ((uFlags & LMEM_ZEROINIT) && uBytes > oldSize)
            std::memset(static_cast<BYTE*>(hMem) + oldSize, 0, uBytes - oldSize);
        header->size = uBytes;
        return hMem;
    }
    if (!(uFlags & LMEM_MOVEABLE)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    auto* moved = static_cast<BlockHeader*>(std::realloc(header, sizeof(BlockHeader) + uBytes));
    if (!moved) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (uFlags & LMEM_ZEROINIT) std::memset(reinterpret_cast<BYTE*>(moved + 1) + oldSize, 0, uBytes - oldSize);
    moved->size = uBytes;
    moved->capacity = uBytes;
    return moved + 1;
}

HLOCAL LocalFree(HLOCAL hMem) {
    if (hMem) std::free(HeaderOf(hMem));
    return nullptr;
}

SIZE_T LocalSize(HLOCAL hMem) {
    if (!hMem) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return HeaderOf(hMem)->size;
}
