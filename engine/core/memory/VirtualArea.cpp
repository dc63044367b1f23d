// Reserve-and-commit of the engine's memory areas over the platform's virtual memory.
#include "engine/core/memory/VirtualArea.h"

#include "platform/base/VirtualMemory.h"

DWORD AllocationGranularity() {
    static const DWORD granularity = [] {
        SYSTEM_INFO info{};
        GetSystemInfo(&info);
        return info.dwAllocationGranularity != 0 ? info.dwAllocationGranularity : DWORD{0x10000};
    }();
    return granularity;
}

void* ReserveAndCommit(std::size_t size) {
    if (size == 0) return nullptr;
    const std::size_t granularity = AllocationGranularity();
    if (size > SIZE_MAX - granularity) return nullptr;
    if (size < granularity) size = granularity;
    if (size % granularity != 0) size += granularity - size % granularity;

    void* base = VirtualAlloc(nullptr, size, MEM_RESERVE, PAGE_NOACCESS);
    if (base == nullptr) return nullptr;
    if (!CommitRange(base, size, size)) {
        VirtualFree(base, 0, MEM_DECOMMIT);
        VirtualFree(base, 0, MEM_RELEASE);
        return nullptr;
    }
    return base;
}

int CommitRange(void* base, std::size_t total, std::size_t chunk) {
    auto* address = static_cast<BYTE*>(base);
    std::size_t remaining = total;
    const std::size_t granularity = AllocationGranularity();
    while (remaining > 0) {
        // Never commit past the range asked for: the reservation may end right there.
        const std::size_t piece = chunk < remaining ? chunk : remaining;
        if (piece > 0 && VirtualAlloc(address, piece, MEM_COMMIT, PAGE_READWRITE) != nullptr) {
            address += piece;
            remaining -= piece;
            continue;
        }
        if (chunk < granularity) return 0;
        chunk /= 2;
    }
    return 1;
}

void ReleaseArea(void* base) {
    if (base == nullptr) return;
    VirtualFree(base, 0, MEM_DECOMMIT);
    VirtualFree(base, 0, MEM_RELEASE);
}
