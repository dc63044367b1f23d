// EngineAlloc / EngineFree over the global heap and the link pool, and the set-up and
// teardown of the engine's memory areas.
#include "engine/core/memory/EngineMemory.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "engine/core/memory/EngineLog.h"
#include "engine/core/memory/Heap.h"
#include "engine/core/memory/KDLLink.h"
#include "engine/core/memory/VirtualArea.h"

namespace {

// One cell of the link pool: the header word, then the link the caller gets.
struct LinkCell {
    std::uintptr_t header;
    KDLLink link;
};
static_assert(sizeof(LinkCell) % 16 == 0, "link cells keep 16-byte alignment");
static_assert(offsetof(LinkCell, link) == kBlockHeaderSize, "the header word sits right before the link");

constexpr std::size_t kLinkPoolSize = kLinkPoolCells * sizeof(LinkCell);
// The free links wait in a ring of cell numbers whose length is a power of two, so that its
// positions are plain counters, masked.
constexpr std::size_t kPoolRingSlots = 262144;
static_assert(kPoolRingSlots >= kLinkPoolCells && (kPoolRingSlots & (kPoolRingSlots - 1)) == 0,
              "the ring holds every cell and wraps by masking");
constexpr std::uint32_t kPoolRingMask = kPoolRingSlots - 1;
// How far ahead of the next link handed out the queue fetches a link's queue position.
constexpr std::uint32_t kLinkPrefetchDistance = 16;

struct alignas(64) MemoryManager {
    // What every link request and release reads comes first, on one cache line.
    // The pool's cells; poolSpan is their size in bytes while the pool is set up and 0
    // otherwise, so that one comparison tells a pooled link from any other block.
    LinkCell* cells = nullptr;
    std::uintptr_t poolSpan = 0;
    // The free links as a first-in, first-out queue: a ring of their cell numbers, with
    // positions that count up for ever (and wrap at 2^32).
    std::uint32_t* poolRing = nullptr;
    std::uint32_t poolFirst = 0;  // position of the next link handed out
    std::uint32_t poolEnd = 0;    // position after the last link freed
    // Per cell, the ring position it was last queued at. A link lies in the pool exactly
    // when that position is still in [poolFirst, poolEnd) and the ring still names the cell
    // there (a stale position falls back into that range only once the counters have
    // wrapped, and by then its ring slot names another cell).
    // This is bit 0 of a pooled link's header as EngineBlockHeader reports it; the word in
    // the cell keeps the marker 0x40000000 from HeapInit on. The queue hands out the link
    // freed longest ago, whose cell has long left the cache, and the cells lie scattered
    // over 6 MB in the order links were freed: keeping the state beside them, handing a link
    // out writes nothing for it and freeing it writes one 4-byte word, where a write into
    // each cell would wait for memory about every time.
    std::uint32_t* queuedAt = nullptr;
    bool initialised = false;
    bool warnedDoubleDelete = false;
    std::size_t liveBlocks = 0;
    std::size_t liveBytes = 0;
    void* poolArea = nullptr;
    Heap globalHeap;
    Heap renderHeap;
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

void FreeBlock(void* pointer) {
    MemoryManager& manager = Manager();
    void* block = static_cast<BYTE*>(pointer) - kBlockHeaderSize;
    const std::size_t size = *static_cast<const std::uintptr_t*>(block) & kBlockSizeMask;
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

bool InPool(std::uint32_t index) {
    const MemoryManager& manager = Manager();
    const std::uint32_t position = manager.queuedAt[index];
    return position - manager.poolFirst < manager.poolEnd - manager.poolFirst &&
           manager.poolRing[position & kPoolRingMask] == index;
}

// The link at the head of the queue, or (pool empty or not set up) an ordinary heap block
// whose header is a size, so that EngineFree later returns it to the heap.
KDLLink* HandOutLink() {
    MemoryManager& manager = Manager();
    const std::uint32_t first = manager.poolFirst;
    if (first == manager.poolEnd) return static_cast<KDLLink*>(AllocateBlock(sizeof(KDLLink)));
    const std::uint32_t index = manager.poolRing[first & kPoolRingMask];
    manager.poolFirst = first + 1;
    // The queue knows the links to come: fetch the position of one a little ahead, so that
    // the check below does not wait for memory. (A ring slot not yet filled names a stale
    // but valid cell; fetching its position is harmless.) The cells themselves are not
    // fetched: a caller that does not touch the link at once would pay for them in memory
    // traffic, about a third of the pool's speed in a loop of requests and releases.
    __builtin_prefetch(manager.queuedAt + manager.poolRing[(first + kLinkPrefetchDistance) & kPoolRingMask]);
    // Only a damaged queue names a cell that was not queued there.
    if (manager.queuedAt[index] != first) {
        KEL_LOG_EXCEPTION("FATAL: multiple news of KDLLink");
        return nullptr;
    }
    return &manager.cells[index].link;
}

// `offset` is the link's distance from the first link of the pool, below the pool's size.
void ReturnLink(std::uintptr_t offset) {
    MemoryManager& manager = Manager();
    // Not the start of a link: no block of ours, left alone.
    if (offset % sizeof(LinkCell) != 0) return;
    const auto index = static_cast<std::uint32_t>(offset / sizeof(LinkCell));
    if (InPool(index)) {
        if (!manager.warnedDoubleDelete) {
            manager.warnedDoubleDelete = true;
            KEL_LOG_EXCEPTION("WARNING: multiple deletes of KDLLink");
        }
        return;
    }
    const std::uint32_t end = manager.poolEnd;
    manager.queuedAt[index] = end;
    manager.poolRing[end & kPoolRingMask] = index;
    manager.poolEnd = end + 1;
}

// The pool link's offset from the pool's first link; at or above the pool's size for any
// other address, and for every address while the pool is not set up.
std::uintptr_t PoolOffsetOf(const void* pointer) {
    const MemoryManager& manager = Manager();
    return reinterpret_cast<std::uintptr_t>(pointer) - reinterpret_cast<std::uintptr_t>(manager.cells) -
           offsetof(LinkCell, link);
}

void Release(void* pointer) {
    if (pointer == nullptr) return;
    // Pooled links are told apart by address: their headers always carry the link marker,
    // and a heap block's header is a size, which never does.
    const std::uintptr_t offset = PoolOffsetOf(pointer);
    if (offset < Manager().poolSpan) {
        ReturnLink(offset);
        return;
    }
    FreeBlock(pointer);
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
    // The cells, the ring of free cell numbers and their queue positions in one area.
    const std::size_t ringSize = kPoolRingSlots * sizeof(std::uint32_t);
    void* area = ReserveAndCommit(kLinkPoolSize + 16 + ringSize + kLinkPoolCells * sizeof(std::uint32_t));
    if (area == nullptr) {
        KEL_LOG_EXCEPTION("Failed to allocate KDLLink mem");
        return 1;
    }
    manager.poolArea = area;
    const auto aligned = (reinterpret_cast<std::uintptr_t>(area) + 15) & ~std::uintptr_t{15};
    auto* cells = reinterpret_cast<LinkCell*>(aligned);
    std::memset(cells, 0, kLinkPoolSize);
    manager.cells = cells;
    manager.poolRing = reinterpret_cast<std::uint32_t*>(aligned + kLinkPoolSize);
    manager.queuedAt = reinterpret_cast<std::uint32_t*>(aligned + kLinkPoolSize + ringSize);
    // Every link joins the queue in address order.
    for (std::uint32_t i = 0; i < kLinkPoolCells; ++i) {
        cells[i].header = kLinkHeader;
        manager.poolRing[i] = i;
        manager.queuedAt[i] = i;
    }
    manager.poolFirst = 0;
    manager.poolEnd = static_cast<std::uint32_t>(kLinkPoolCells);
    manager.poolSpan = kLinkPoolSize;
    manager.initialised = true;
    return 0;
}

void HeapTeardown() {
    MemoryManager& manager = Manager();
    if (!manager.initialised) return;
    manager.poolSpan = 0;
    manager.cells = nullptr;
    manager.poolRing = nullptr;
    manager.queuedAt = nullptr;
    manager.poolFirst = 0;
    manager.poolEnd = 0;
    ReleaseArea(manager.poolArea);
    manager.poolArea = nullptr;
    manager.initialised = false;
}

bool HeapIsInitialised() { return Manager().initialised; }

void* EngineAlloc(std::size_t size) {
    // Before HeapInit the queue is empty, and a link-sized request is an ordinary block.
    if (size == sizeof(KDLLink)) return HandOutLink();
    return AllocateBlock(size);
}

void EngineFree(void* pointer) { Release(pointer); }

void ZipFree(void*, void* address) { Release(address); }

KDLLink* NewLink() { return HandOutLink(); }

void FreeLink(KDLLink* link) { Release(link); }

std::uintptr_t EngineBlockHeader(const void* pointer) {
    if (pointer == nullptr) return 0;
    const std::uintptr_t offset = PoolOffsetOf(pointer);
    if (offset < Manager().poolSpan && offset % sizeof(LinkCell) == 0) {
        return InPool(static_cast<std::uint32_t>(offset / sizeof(LinkCell))) ? kLinkHeader
                                                                              : kLinkHeader | kLinkHandedOut;
    }
    return HeaderOf(pointer);
}

Heap& GlobalHeap() { return Manager().globalHeap; }

Heap& RenderHeap() { return Manager().renderHeap; }

std::size_t EngineBlockCount() { return Manager().liveBlocks; }

std::size_t EngineByteCount() { return Manager().liveBytes; }

std::size_t LinkPoolFreeCount() { return Manager().poolEnd - Manager().poolFirst; }
