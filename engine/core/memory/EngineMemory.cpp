// EngineAlloc / EngineFree over the global heap and the link pool, and the set-up and
// teardown of the engine's memory areas.
#include "engine/core/memory/EngineMemory.h"

#include <cstddef>
#include <cstdlib>

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
// How many links ahead of the next one handed out the queue fetches a cell. The queue hands
// out the link freed longest ago, whose cell has long left the cache, and every caller
// writes its link at once: fetched ahead, the cell is there when it is wanted.
constexpr std::uint32_t kLinkPrefetchDistance = 24;
constexpr std::size_t kHandedOutWords = (kLinkPoolCells + 63) / 64;

struct alignas(64) MemoryManager {
    // What every link request and release reads comes first, on one cache line.
    // The pool's cells; poolSpan is their size in bytes while the pool is set up and 0
    // otherwise, so that one comparison tells a pooled link from any other block.
    LinkCell* cells = nullptr;
    std::uintptr_t poolSpan = 0;
    // The queue of free links. At set-up every cell joins it in address order; those cells
    // are handed out first, in that order, and are carved (their header written) only then,
    // so that setting up the pool touches none of its memory. Cells freed later wait in a
    // ring of their numbers, with positions that count up for ever (and wrap at 2^32).
    std::uint32_t carved = 0;     // cells handed out at least once: [0, carved)
    std::uint32_t poolFirst = 0;  // position of the next freed link handed out
    std::uint32_t poolEnd = 0;    // position after the last link freed
    std::uint32_t* poolRing = nullptr;
    // One bit per cell, set while its link is handed out: bit 0 of the header as
    // EngineBlockHeader reports it. The cells lie scattered over the pool in the order links
    // were freed, and a link is often freed long after it was last touched; kept in 24 KB
    // beside the cells, the state of every link stays in the cache, and freeing a link
    // touches neither its cell nor any other memory that has left the cache.
    std::uint64_t* handedOut = nullptr;
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

bool IsHandedOut(std::uint32_t index) { return (Manager().handedOut[index / 64] >> (index % 64) & 1) != 0; }

// The link at the head of the queue, or (pool empty or not set up) an ordinary heap block
// whose header is a size, so that EngineFree later returns it to the heap.
KDLLink* HandOutLink() {
    MemoryManager& manager = Manager();
    std::uint32_t index = 0;
    if (manager.carved < kLinkPoolCells && manager.poolSpan != 0) {
        // Cells not handed out yet come first, in address order (which the processor's own
        // prefetching follows); each gets its header now.
        index = manager.carved++;
        manager.cells[index].header = kLinkHeader;
    } else {
        const std::uint32_t first = manager.poolFirst;
        if (first == manager.poolEnd) return static_cast<KDLLink*>(AllocateBlock(sizeof(KDLLink)));
        index = manager.poolRing[first & kPoolRingMask];
        manager.poolFirst = first + 1;
        // (A ring slot not filled yet names a stale but valid cell: fetching it is harmless.)
        __builtin_prefetch(&manager.cells[manager.poolRing[(first + kLinkPrefetchDistance) & kPoolRingMask]], 1);
        // Only a damaged queue names a link that is handed out.
        if (IsHandedOut(index)) {
            KEL_LOG_EXCEPTION("FATAL: multiple news of KDLLink");
            return nullptr;
        }
    }
    manager.handedOut[index / 64] |= std::uint64_t{1} << (index % 64);
    return &manager.cells[index].link;
}

// `offset` is the link's distance from the first link of the pool, below the pool's size.
void ReturnLink(std::uintptr_t offset) {
    MemoryManager& manager = Manager();
    // Not the start of a link: no block of ours, left alone.
    if (offset % sizeof(LinkCell) != 0) return;
    const auto index = static_cast<std::uint32_t>(offset / sizeof(LinkCell));
    if (!IsHandedOut(index)) {
        if (!manager.warnedDoubleDelete) {
            manager.warnedDoubleDelete = true;
            KEL_LOG_EXCEPTION("WARNING: multiple deletes of KDLLink");
        }
        return;
    }
    manager.handedOut[index / 64] &= ~(std::uint64_t{1} << (index % 64));
    const std::uint32_t end = manager.poolEnd;
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
    // The cells, the ring of free cell numbers and the handed-out bits in one area. Freshly
    // committed memory reads as zero and is touched only as cells are handed out and freed.
    const std::size_t ringSize = kPoolRingSlots * sizeof(std::uint32_t);
    void* area = ReserveAndCommit(kLinkPoolSize + 16 + ringSize + kHandedOutWords * sizeof(std::uint64_t));
    if (area == nullptr) {
        KEL_LOG_EXCEPTION("Failed to allocate KDLLink mem");
        return 1;
    }
    manager.poolArea = area;
    const auto aligned = (reinterpret_cast<std::uintptr_t>(area) + 15) & ~std::uintptr_t{15};
    manager.cells = reinterpret_cast<LinkCell*>(aligned);
    manager.poolRing = reinterpret_cast<std::uint32_t*>(aligned + kLinkPoolSize);
    manager.handedOut = reinterpret_cast<std::uint64_t*>(aligned + kLinkPoolSize + ringSize);
    manager.carved = 0;
    manager.poolFirst = 0;
    manager.poolEnd = 0;
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
    manager.handedOut = nullptr;
    manager.carved = 0;
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
    if (offset < Manager().poolSpan && offset % sizeof(LinkCell) == 0)
        return IsHandedOut(static_cast<std::uint32_t>(offset / sizeof(LinkCell))) ? kLinkHeader | kLinkHandedOut
                                                                                   : kLinkHeader;
    return HeaderOf(pointer);
}

Heap& GlobalHeap() { return Manager().globalHeap; }

Heap& RenderHeap() { return Manager().renderHeap; }

std::size_t EngineBlockCount() { return Manager().liveBlocks; }

std::size_t EngineByteCount() { return Manager().liveBytes; }

std::size_t LinkPoolFreeCount() {
    const MemoryManager& manager = Manager();
    if (manager.poolSpan == 0) return 0;
    return (kLinkPoolCells - manager.carved) + (manager.poolEnd - manager.poolFirst);
}
