// A first-fit heap over one committed area: the engine's global heap (behind EngineAlloc)
// and the render heap (vertex and index copies, used directly without block headers).
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/base/Types.h"

// Blocks are multiples of 16 bytes cut from the front of the lowest free block that is
// large enough (first fit by address); a freed block merges with free neighbours, so no two
// free blocks ever touch.
// Every block, free or used, takes one of a fixed number of block records: when they are all
// in use a request that would split a free block fails, an exact fit still succeeds.
// The bookkeeping lives in tables beside the area; the blocks themselves carry none.
class Heap {
public:
    static constexpr std::size_t kMinimumSize = 0x200000;
    static constexpr std::size_t kBlockUnit = 16;
    static constexpr std::size_t kRegionSize = 4096;
    static constexpr std::size_t kSlotsPerRegion = kRegionSize / (2 * kBlockUnit);

    struct Span {
        BYTE* address;
        std::size_t size;
    };

    constexpr Heap() = default;
    ~Heap();
    Heap(const Heap&) = delete;
    Heap& operator=(const Heap&) = delete;

    // Reserves and commits an area of max(size, 2 MB) bytes (rounded up to 16) with room for
    // `recordCount` block records; the whole area is one free block. A heap that was already
    // set up is destroyed first, ending all its blocks. 1 on success, 0 on failure.
    int Init(std::size_t size, DWORD recordCount);

    // A block of at least `size` bytes (at least 16), or null when no free block is large
    // enough, the request is larger than the heap, or a split finds no spare record.
    void* Alloc(std::size_t size);

    // Frees the used block that starts at `address`; any other address is ignored (false).
    bool Free(void* address);

    // Decommits and releases the area and its tables; the heap is empty afterwards.
    void Destroy();

    bool IsInitialised() const { return base_ != nullptr; }
    bool Contains(const void* address) const;
    BYTE* Base() const { return base_; }
    std::size_t Size() const { return size_; }
    DWORD RecordCount() const { return recordCount_; }
    DWORD UsedBlockCount() const { return usedBlocks_; }
    std::size_t UsedBytes() const { return usedBytes_; }
    DWORD FreeBlockCount() const { return freeBlocks_; }

    // The free blocks in ascending address order (diagnostics and tests).
    void ForEachFreeBlock(void (*visit)(const Span& block, void* context), void* context) const;

private:
    struct FreeSlot;
    struct UnitInfo;

    std::uint32_t RegionOf(std::uint32_t unit) const;
    FreeSlot* SlotsOf(std::uint32_t region) const;

    // The free blocks are filed by the region of the area they start in, each region's slots
    // in ascending address order, so the regions in turn give the free list in address order.
    // As free blocks never touch, a region of kRegionSize bytes holds at most one free block
    // start per 32 bytes. A 16-way max-tree over the regions holds the largest free block
    // starting in each: first fit descends it (one cache line a level) to the lowest region
    // with a block large enough, then scans that region's few slots.
    std::uint32_t FirstFit(std::uint32_t units) const;
    void FileFree(std::uint32_t unit, std::uint32_t units);
    void UnfileFree(std::uint32_t unit);
    void MoveFreeStart(std::uint32_t from, std::uint32_t to, std::uint32_t units);
    void MarkFree(std::uint32_t unit, std::uint32_t units);
    std::uint32_t RegionLargest(std::uint32_t region) const;
    void RescanRegionLargest(std::uint32_t region);
    void SetRegionLargest(std::uint32_t region, std::uint32_t units);

    BYTE* base_ = nullptr;
    std::uint32_t size_ = 0;
    std::uint32_t unitCount_ = 0;
    std::uint32_t recordCount_ = 0;
    std::uint32_t blocks_ = 0;  // blocks (used and free), each holding one record
    std::uint32_t usedBlocks_ = 0;
    std::uint32_t usedBytes_ = 0;
    std::uint32_t freeBlocks_ = 0;
    // Per 16-byte unit: the size and state of the block starting there, and the size of the
    // free block ending there. They find a block by its address and a freed block's free
    // neighbours in constant time.
    UnitInfo* units_ = nullptr;
    FreeSlot* slots_ = nullptr;  // kSlotsPerRegion per region
    std::uint8_t* slotCount_ = nullptr;
    std::uint32_t regionCount_ = 0;
    // The max-tree in units: level 0 has 16 entries, each further level 16 times more, the
    // last level one entry per region.
    static constexpr int kMaximumLevels = 8;
    std::uint32_t* largest_ = nullptr;
    std::uint32_t levelCount_ = 0;
    std::uint32_t levelOffset_[kMaximumLevels] = {};
};
