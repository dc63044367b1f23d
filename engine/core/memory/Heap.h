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
    // (A heap that is not set up has size 0 and contains nothing.)
    bool Contains(const void* address) const {
        return reinterpret_cast<std::uintptr_t>(address) - reinterpret_cast<std::uintptr_t>(base_) < size_;
    }
    BYTE* Base() const { return base_; }
    std::size_t Size() const { return size_; }
    DWORD RecordCount() const { return recordCount_; }
    DWORD UsedBlockCount() const { return usedBlocks_; }
    std::size_t UsedBytes() const { return usedBytes_; }
    DWORD FreeBlockCount() const { return freeBlocks_; }

    // The free blocks in ascending address order (diagnostics and tests).
    void ForEachFreeBlock(void (*visit)(const Span& block, void* context), void* context) const;

    // First fit looks up block sizes in a max-tree of 16-bit entries capped at this many
    // units; a request above it checks the blocks at the cap one by one.
    static constexpr std::uint32_t kTreeCap = 0x7FFF;

private:
    // The area is counted in units of kBlockUnit bytes. One 32-bit tag per unit says what
    // starts or ends there (see Heap.cpp), so that a block is found by its address, and a
    // freed block's free neighbours, in constant time.
    //
    // First fit uses a max-tree over pairs of units: as free blocks never touch, at most one
    // free block starts in any two neighbouring units. A leaf holds the size of the free
    // block starting in its pair (0 when none, and for the lowest free block, kept apart), each entry above the largest of its group of
    // 32 below; entries are 16 bits, capped at kTreeCap, so that a group fills one cache line
    // and is compared or reduced in a few vector instructions. The top level, of at most
    // kTopEntries entries, is read in order; below it the search descends through the first
    // large enough entry of each group, one cache line per level. Every change to a leaf is
    // carried up at once, so each entry is always exactly the largest of its group.
    static constexpr std::uint32_t kTreeFanout = 32;
    static constexpr std::uint32_t kTopEntries = 1024;
    static constexpr std::uint32_t kMaximumLevels = 8;

    template <std::uint32_t kLevels> std::uint32_t Levels() const;
    template <std::uint32_t kLevels> std::uint32_t FirstFit(std::uint32_t units) const;
    std::uint32_t NextLeafFrom(std::uint32_t leaf, std::uint32_t atLeast) const;
    std::uint32_t FreeStartInLeaf(std::uint32_t leaf) const;
    template <std::uint32_t kLevels> void RaiseLeaf(std::uint32_t leaf, std::uint32_t units);
    template <std::uint32_t kLevels> void LowerLeaf(std::uint32_t leaf, std::uint32_t units);
    template <std::uint32_t kLevels> void TakeLowestFromTree();
    template <std::uint32_t kLevels> void* AllocIn(std::uint32_t wanted);
    template <std::uint32_t kLevels> bool FreeIn(std::uint32_t unit);

    BYTE* base_ = nullptr;
    std::uint32_t size_ = 0;
    std::uint32_t unitCount_ = 0;
    std::uint32_t recordCount_ = 0;
    std::uint32_t blocks_ = 0;  // blocks (used and free), each holding one record
    std::uint32_t usedBlocks_ = 0;
    std::uint32_t usedBytes_ = 0;
    std::uint32_t freeBlocks_ = 0;
    std::uint32_t* tags_ = nullptr;
    // The lowest free block stays out of the tree: a request it can hold is cut from it at
    // once, and blocks freed next to it (as after a run of requests, in order) merge with it
    // without touching the tree. lowestUnits_ is 0 only when no block is free.
    std::uint32_t lowestStart_ = 0;
    std::uint32_t lowestUnits_ = 0;
    // The tree's levels, top first, each padded to whole groups of kTreeFanout entries.
    std::uint32_t levelCount_ = 0;
    std::uint32_t topEntries_ = 0;
    std::int16_t* levels_[kMaximumLevels] = {};
    std::uint32_t levelEntries_[kMaximumLevels] = {};
    void* indexArea_ = nullptr;
};
