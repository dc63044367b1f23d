// EngineAlloc / EngineFree over the global heap and the link pool, and the set-up and
// teardown of the engine's memory areas.
#include "engine/core/EngineMemory.h"

#include <cstdlib>
#include <cstring>

#include "engine/core/EngineLog.h"
#include "engine/core/Heap.h"
#include "engine/core/KDLList.h"
#include "engine/core/VirtualArea.h"

namespace {

// One cell of the link pool: the header word, then the link the caller gets.
struct LinkCell {
    std::uintptr_t header;
    KDLLink link;
};
static_assert(sizeof(LinkCell) % 16 == 0, "link cells keep 16-byte alignment");

constexpr std::size_t kLinkPoolSize = kLinkPoolCells * sizeof(LinkCell);
// How many links ahead of the next one handed out are fetched into the cache.
constexpr std::size_t kLinkPrefetchDistance = 8;

struct MemoryManager {
    bool initialised = false;
    Heap globalHeap;
    Heap renderHeap;
    void* poolArea = nullptr;
    // The free links of the pool as a first-in, first-out queue: a ring of their addresses.
    // Unlike a chain through the links themselves, the ring knows the links to come, so
    // they can be fetched into the cache before they are handed out.
    KDLLink** poolRing = nullptr;
    std::size_t poolFirst = 0;
    std::size_t poolCount = 0;
    std::size_t liveBlocks = 0;
    std::size_t liveBytes = 0;
    bool warnedDoubleDelete = false;
};

// Constant-initialised and never destroyed: engine blocks may be freed by static
// destructors that run after this file's, and allocations may come before any constructor.
union ManagerStorage {
    MemoryManager manager;
    constexpr ManagerStorage() : manager() {}
    ~ManagerStorage() {}
};
constinit ManagerStorage storage;

MemoryManager& Manager() { return storage.manager; }

std::uintptr_t& HeaderOf(const void* pointer) {
    return *reinterpret_cast<std::uintptr_t*>(const_cast<BYTE*>(static_cast<const BYTE*>(pointer)) - kBlockHeaderSize);
}

bool IsLinkHeader(std::uintptr_t header) { return (header & ~kBlockSizeMask) == kLinkHeader; }

// A block with a size header, from the global heap or (before HeapInit) the runtime library.
void* AllocateBlock(std::size_t size) {
    MemoryManager& manager = Manager();
    if (size > kMaximumEngineAllocation) {
        KEL_LOG_EXCEPTION("EngineAlloc: a request of %zu bytes is above the limit of %zu bytes.", size,
                          kMaximumEngineAllocation);
        return nullptr;
    }
    const std::size_t total = size + kBlockHeaderSize;
    void* block = manager.initialised ? manager.globalHeap.Alloc(total) : std::malloc(total);
    if (block == nullptr) {
        KEL_LOG_EXCEPTION("FATAL: out of system memory");
        return nullptr;
    }
    *static_cast<std::uintptr_t*>(block) = size;
    ++manager.liveBlocks;
    manager.liveBytes += size;
    return static_cast<BYTE*>(block) + kBlockHeaderSize;
}

void AppendToPool(KDLLink* link) {
    MemoryManager& manager = Manager();
    std::size_t slot = manager.poolFirst + manager.poolCount;
    if (slot >= kLinkPoolCells) slot -= kLinkPoolCells;
    manager.poolRing[slot] = link;
    ++manager.poolCount;
}

KDLLink* TakeFromPool() {
    MemoryManager& manager = Manager();
    if (manager.poolCount == 0) return nullptr;
    KDLLink* link = manager.poolRing[manager.poolFirst];
    if (++manager.poolFirst == kLinkPoolCells) manager.poolFirst = 0;
    --manager.poolCount;
    if (manager.poolCount > kLinkPrefetchDistance) {
        std::size_t ahead = manager.poolFirst + kLinkPrefetchDistance;
        if (ahead >= kLinkPoolCells) ahead -= kLinkPoolCells;
        __builtin_prefetch(reinterpret_cast<BYTE*>(manager.poolRing[ahead]) - kBlockHeaderSize, 1);
    }
    return link;
}

// NewLink and FreeLink under internal names, so that the allocator's own calls can be
// inlined (public functions of position-independent code may be interposed).
KDLLink* HandOutLink() {
    KDLLink* link = TakeFromPool();
    if (link == nullptr) {
        // The pool is empty (or not set up): an ordinary block whose header is a size, so
        // that EngineFree later returns it to the heap.
        return static_cast<KDLLink*>(AllocateBlock(sizeof(KDLLink)));
    }
    std::uintptr_t& header = HeaderOf(link);
    if ((header & kLinkHandedOut) != 0) {
        KEL_LOG_EXCEPTION("FATAL: multiple news of KDLLink");
        return nullptr;
    }
    header |= kLinkHandedOut;
    link->item = nullptr;
    link->previous = link->next = nullptr;
    return link;
}

void TakeBackLink(KDLLink* link) {
    if (link == nullptr) return;
    std::uintptr_t& header = HeaderOf(link);
    if (!IsLinkHeader(header)) {
        EngineFree(link);
        return;
    }
    MemoryManager& manager = Manager();
    if ((header & kLinkHandedOut) == 0) {
        if (!manager.warnedDoubleDelete) {
            manager.warnedDoubleDelete = true;
            KEL_LOG_EXCEPTION("WARNING: multiple deletes of KDLLink");
        }
        return;
    }
    header &= ~kLinkHandedOut;
    AppendToPool(link);
}

}  // namespace

int HeapInit() {
    MemoryManager& manager = Manager();
    if (manager.initialised) HeapTeardown();
    AllocationGranularity();

    if (!manager.globalHeap.Init(kGlobalHeapSize, kGlobalHeapRecords)) {
        KEL_LOG_EXCEPTION("Failed to allocate global heap");
        return 1;
    }
    if (!manager.renderHeap.Init(kRenderHeapSize, kRenderHeapRecords)) {
        KEL_LOG_EXCEPTION("Failed to allocate render heap");
        return 1;
    }
    void* area = ReserveAndCommit(kLinkPoolSize + 16 + kLinkPoolCells * sizeof(KDLLink*));
    if (area == nullptr) {
        KEL_LOG_EXCEPTION("Failed to allocate KDLLink mem");
        return 1;
    }
    manager.poolArea = area;
    const auto aligned = (reinterpret_cast<std::uintptr_t>(area) + 15) & ~std::uintptr_t{15};
    auto* cells = reinterpret_cast<LinkCell*>(aligned);
    std::memset(cells, 0, kLinkPoolSize);
    manager.poolRing = reinterpret_cast<KDLLink**>(aligned + kLinkPoolSize);
    manager.poolFirst = 0;
    manager.poolCount = 0;
    for (std::size_t i = 0; i < kLinkPoolCells; ++i) {
        cells[i].header = kLinkHeader;
        AppendToPool(&cells[i].link);
    }
    manager.initialised = true;
    return 0;
}

void HeapTeardown() {
    MemoryManager& manager = Manager();
    if (!manager.initialised) return;
    manager.poolRing = nullptr;
    manager.poolFirst = 0;
    manager.poolCount = 0;
    ReleaseArea(manager.poolArea);
    manager.poolArea = nullptr;
    manager.initialised = false;
}

bool HeapIsInitialised() { return Manager().initialised; }

void* EngineAlloc(std::size_t size) {
    if (size == sizeof(KDLLink) && Manager().initialised) return HandOutLink();
    return AllocateBlock(size);
}

void EngineFree(void* pointer) {
    if (pointer == nullptr) return;
    const std::uintptr_t header = HeaderOf(pointer);
    if (IsLinkHeader(header)) {
        TakeBackLink(static_cast<KDLLink*>(pointer));
        return;
    }
    MemoryManager& manager = Manager();
    void* block = static_cast<BYTE*>(pointer) - kBlockHeaderSize;
    const std::size_t size = header & kBlockSizeMask;
    if (manager.globalHeap.Contains(block)) {
        // An address the heap does not know (a second free) changes nothing.
        if (!manager.globalHeap.Free(block)) return;
    } else {
        // Only blocks made before the heap existed lie outside it: they came from malloc.
        std::free(block);
    }
    --manager.liveBlocks;
    manager.liveBytes -= size;
}

void ZipFree(void*, void* address) { EngineFree(address); }

KDLLink* NewLink() { return HandOutLink(); }

void FreeLink(KDLLink* link) { TakeBackLink(link); }

std::uintptr_t EngineBlockHeader(const void* pointer) { return pointer != nullptr ? HeaderOf(pointer) : 0; }

Heap& GlobalHeap() { return Manager().globalHeap; }

Heap& RenderHeap() { return Manager().renderHeap; }

std::size_t EngineBlockCount() { return Manager().liveBlocks; }

std::size_t EngineByteCount() { return Manager().liveBytes; }

std::size_t LinkPoolFreeCount() { return Manager().poolCount; }
