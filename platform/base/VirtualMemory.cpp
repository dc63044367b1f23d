// VirtualAlloc / VirtualFree over mmap, mprotect and madvise: a reservation is an
// inaccessible private mapping, committing makes pages of it accessible, decommitting drops
// their contents and makes them inaccessible again.
#include "platform/base/VirtualMemory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <map>
#include <mutex>

#include "platform/base/Errors.h"

namespace {

// The handset's kernel hands out address space in 64 KB units; reservations keep that
// alignment so that code which rounds to the granularity sees what it expects.
constexpr std::uintptr_t kAllocationGranularity = 0x10000;

std::uintptr_t PageSize() {
    static const std::uintptr_t size = [] {
        long value = sysconf(_SC_PAGESIZE);
        return value > 0 ? static_cast<std::uintptr_t>(value) : std::uintptr_t{4096};
    }();
    return size;
}

std::uintptr_t Granularity() { return PageSize() > kAllocationGranularity ? PageSize() : kAllocationGranularity; }

std::uintptr_t RoundDown(std::uintptr_t value, std::uintptr_t unit) { return value - value % unit; }

// Rounds up, or gives 0 when the result would not fit in the address space.
std::uintptr_t RoundUp(std::uintptr_t value, std::uintptr_t unit) {
    std::uintptr_t remainder = value % unit;
    if (remainder == 0) return value;
    std::uintptr_t step = unit - remainder;
    if (value > UINTPTR_MAX - step) return 0;
    return value + step;
}

bool ProtectionFlags(DWORD protect, int* flags) {
    switch (protect) {
        case PAGE_NOACCESS: *flags = PROT_NONE; return true;
        case PAGE_READONLY: *flags = PROT_READ; return true;
        case PAGE_READWRITE: *flags = PROT_READ | PROT_WRITE; return true;
        default: return false;
    }
}

DWORD ErrorFromErrno(int error) { return error == ENOMEM ? ERROR_NOT_ENOUGH_MEMORY : ERROR_INVALID_PARAMETER; }

// Every live reservation: base -> size in bytes (whole pages).
class ReservationTable {
public:
    void Add(std::uintptr_t base, std::uintptr_t size) {
        std::lock_guard lock(mutex_);
        reservations_[base] = size;
    }
    // The size of the reservation starting exactly at base, or 0.
    std::uintptr_t SizeAt(std::uintptr_t base) {
        std::lock_guard lock(mutex_);
        auto found = reservations_.find(base);
        return found == reservations_.end() ? 0 : found->second;
    }
    bool Remove(std::uintptr_t base) {
        std::lock_guard lock(mutex_);
        return reservations_.erase(base) == 1;
    }
    // True when [begin, end) lies inside one reservation.
    bool Contains(std::uintptr_t begin, std::uintptr_t end) {
        std::lock_guard lock(mutex_);
        auto next = reservations_.upper_bound(begin);
        if (next == reservations_.begin()) return false;
        auto holder = std::prev(next);
        return end <= holder->first + holder->second;
    }

private:
    std::mutex mutex_;
    std::map<std::uintptr_t, std::uintptr_t> reservations_;
};

ReservationTable& Reservations() {
    static ReservationTable* table = new ReservationTable();
    return *table;
}

// Maps `size` bytes (whole pages) at a base aligned to `granularity` (a multiple of the
// page size), at `wanted` when it is not 0.
LPVOID Reserve(std::uintptr_t wanted, std::uintptr_t size, int protection, std::uintptr_t granularity) {
    if (wanted != 0) {
        wanted = RoundDown(wanted, granularity);
        void* mapped = mmap(reinterpret_cast<void*>(wanted), size, protection,
                            MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
        if (mapped == MAP_FAILED) {
            SetLastError(ErrorFromErrno(errno));
            return nullptr;
        }
        if (reinterpret_cast<std::uintptr_t>(mapped) != wanted) {
            munmap(mapped, size);
            SetLastError(ERROR_INVALID_ADDRESS);
            return nullptr;
        }
        Reservations().Add(wanted, size);
        return mapped;
    }
    // Map with room to spare, then trim both ends so that the base is aligned.
    if (size > UINTPTR_MAX - granularity) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    const std::uintptr_t padded = size + granularity - PageSize();
    void* mapped = mmap(nullptr, padded, protection, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (mapped == MAP_FAILED) {
        SetLastError(ErrorFromErrno(errno));
        return nullptr;
    }
    const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t base = RoundUp(start, granularity);
    if (base > start) munmap(mapped, base - start);
    const std::uintptr_t tail = start + padded - (base + size);
    if (tail > 0) munmap(reinterpret_cast<void*>(base + size), tail);
    Reservations().Add(base, size);
    return reinterpret_cast<LPVOID>(base);
}

// Large pages are the kernel's transparent huge pages, given where a mapping asks for them
// unless the administrator turned them off.
std::uintptr_t ReadLargePageSize() {
    char modes[128] = {};
    FILE* enabled = std::fopen("/sys/kernel/mm/transparent_hugepage/enabled", "r");
    if (enabled == nullptr) return 0;
    const bool read = std::fgets(modes, sizeof modes, enabled) != nullptr;
    std::fclose(enabled);
    if (!read || std::strstr(modes, "[never]") != nullptr) return 0;
    unsigned long long bytes = 0;
    FILE* size = std::fopen("/sys/kernel/mm/transparent_hugepage/hpage_pmd_size", "r");
    if (size == nullptr) return 0;
    if (std::fscanf(size, "%llu", &bytes) != 1) bytes = 0;
    std::fclose(size);
    // A power of two above the page size, and a size an address space can hold.
    if (bytes <= PageSize() || (bytes & (bytes - 1)) != 0 || bytes > (1ull << 30)) return 0;
    return static_cast<std::uintptr_t>(bytes);
}

LPVOID AllocateLargePages(std::uintptr_t wanted, SIZE_T size, DWORD kinds, DWORD protect) {
    if (wanted != 0 || kinds != (MEM_RESERVE | MEM_COMMIT) || protect != PAGE_READWRITE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const std::uintptr_t largePage = GetLargePageMinimum();
    if (largePage == 0) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return nullptr;
    }
    if (size % largePage != 0 || size > UINTPTR_MAX - largePage) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    LPVOID base = Reserve(0, size, PROT_READ | PROT_WRITE, largePage);
    // Without the advice (a kernel built without huge pages) the range is still usable.
    if (base != nullptr) madvise(base, size, MADV_HUGEPAGE);
    return base;
}

}  // namespace

SIZE_T GetLargePageMinimum() {
    static const std::uintptr_t size = ReadLargePageSize();
    return size;
}

LPVOID VirtualAlloc(LPVOID address, SIZE_T size, DWORD allocationType, DWORD protect) {
    int protection = 0;
    const DWORD kinds = allocationType & (MEM_COMMIT | MEM_RESERVE);
    if (size == 0 || kinds == 0 || (allocationType & ~(MEM_COMMIT | MEM_RESERVE | MEM_LARGE_PAGES)) != 0 ||
        !ProtectionFlags(protect, &protection)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const std::uintptr_t wanted = reinterpret_cast<std::uintptr_t>(address);
    if ((allocationType & MEM_LARGE_PAGES) != 0) return AllocateLargePages(wanted, size, kinds, protect);
    const std::uintptr_t pageSize = PageSize();

    if ((kinds & MEM_RESERVE) != 0 || address == nullptr) {
        // A commit without an address reserves too, as on the handset.
        const std::uintptr_t rounded = RoundUp(size, pageSize);
        if (rounded == 0) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        const int initial = (kinds & MEM_COMMIT) != 0 ? protection : PROT_NONE;
        return Reserve(wanted, rounded, initial, Granularity());
    }

    // Commit inside an existing reservation.
    if (wanted > UINTPTR_MAX - size) {
        SetLastError(ERROR_INVALID_ADDRESS);
        return nullptr;
    }
    const std::uintptr_t begin = RoundDown(wanted, pageSize);
    const std::uintptr_t end = RoundUp(wanted + size, pageSize);
    if (end == 0 || !Reservations().Contains(begin, end)) {
        SetLastError(ERROR_INVALID_ADDRESS);
        return nullptr;
    }
    if (mprotect(reinterpret_cast<void*>(begin), end - begin, protection) != 0) {
        SetLastError(ErrorFromErrno(errno));
        return nullptr;
    }
    return reinterpret_cast<LPVOID>(begin);
}

BOOL VirtualFree(LPVOID address, SIZE_T size, DWORD freeType) {
    const std::uintptr_t base = reinterpret_cast<std::uintptr_t>(address);
    if (address == nullptr || (freeType != MEM_RELEASE && freeType != MEM_DECOMMIT)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (freeType == MEM_RELEASE) {
        if (size != 0) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        const std::uintptr_t reserved = Reservations().SizeAt(base);
        if (reserved == 0) {
            SetLastError(ERROR_INVALID_ADDRESS);
            return FALSE;
        }
        Reservations().Remove(base);
        munmap(address, reserved);
        return TRUE;
    }

    std::uintptr_t begin = 0;
    std::uintptr_t end = 0;
    if (size == 0) {
        const std::uintptr_t reserved = Reservations().SizeAt(base);
        if (reserved == 0) {
            SetLastError(ERROR_INVALID_ADDRESS);
            return FALSE;
        }
        begin = base;
        end = base + reserved;
    } else {
        if (base > UINTPTR_MAX - size) {
            SetLastError(ERROR_INVALID_ADDRESS);
            return FALSE;
        }
        begin = RoundDown(base, PageSize());
        end = RoundUp(base + size, PageSize());
        if (end == 0 || !Reservations().Contains(begin, end)) {
            SetLastError(ERROR_INVALID_ADDRESS);
            return FALSE;
        }
    }
    void* start = reinterpret_cast<void*>(begin);
    if (madvise(start, end - begin, MADV_DONTNEED) != 0 || mprotect(start, end - begin, PROT_NONE) != 0) {
        SetLastError(ErrorFromErrno(errno));
        return FALSE;
    }
    return TRUE;
}

void GetSystemInfo(LPSYSTEM_INFO info) {
    if (info == nullptr) return;
    *info = SYSTEM_INFO{};
#if defined(__x86_64__)
    info->wProcessorArchitecture = PROCESSOR_ARCHITECTURE_AMD64;
#elif defined(__aarch64__)
    info->wProcessorArchitecture = PROCESSOR_ARCHITECTURE_ARM64;
#elif defined(__arm__)
    info->wProcessorArchitecture = PROCESSOR_ARCHITECTURE_ARM;
#elif defined(__i386__)
    info->wProcessorArchitecture = PROCESSOR_ARCHITECTURE_INTEL;
#else
    info->wProcessorArchitecture = PROCESSOR_ARCHITECTURE_UNKNOWN;
#endif
    info->dwPageSize = static_cast<DWORD>(PageSize());
    info->dwAllocationGranularity = static_cast<DWORD>(Granularity());
    info->lpMinimumApplicationAddress = reinterpret_cast<LPVOID>(Granularity());
    info->lpMaximumApplicationAddress = reinterpret_cast<LPVOID>(UINTPTR_MAX - Granularity());
    long processors = sysconf(_SC_NPROCESSORS_ONLN);
    if (processors < 1) processors = 1;
    info->dwNumberOfProcessors = static_cast<DWORD>(processors);
    info->dwActiveProcessorMask =
        processors >= 64 ? ~DWORD_PTR{0} : (DWORD_PTR{1} << static_cast<unsigned>(processors)) - 1;
}
