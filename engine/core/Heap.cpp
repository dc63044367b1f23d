// First-fit heap with merging on free, over an area committed once. The helpers are inline:
// in position-independent code a plain member function may be interposed and is not inlined.
#include "engine/core/Heap.h"

#include <cstring>

#include "engine/core/VirtualArea.h"

// One free block of a region: its first unit and its size in units.
struct Heap::FreeSlot {
    std::uint32_t unit;
    std::uint32_t units;
};

// start: (size in units << 1) | 1 when free, for the block starting at this unit; 0 when
// none starts here. lastOfFree: the size in units of the free block ending at this unit.
struct Heap::UnitInfo {
    std::uint32_t start;
    std::uint32_t lastOfFree;
};

namespace {

constexpr std::uint32_t kMaximumArea = 0xFFFFFFF0u;
constexpr std::uint32_t kNone = 0xFFFFFFFFu;
constexpr std::uint32_t kUnitsPerRegion = Heap::kRegionSize / Heap::kBlockUnit;
constexpr std::uint32_t kFanout = 16;
static_assert(Heap::kSlotsPerRegion <= 255, "a region's slot count fits a byte");

std::size_t AlignUp(std::size_t value, std::size_t unit) { return (value + unit - 1) & ~(unit - 1); }

constexpr std::uint32_t UsedStart(std::uint32_t units) { return units << 1; }
constexpr std::uint32_t FreeStart(std::uint32_t units) { return (units << 1) | 1; }

}  // namespace

inline std::uint32_t Heap::RegionOf(std::uint32_t unit) const { return unit / kUnitsPerRegion; }

inline Heap::FreeSlot* Heap::SlotsOf(std::uint32_t region) const {
    return slots_ + std::size_t{region} * kSlotsPerRegion;
}

inline std::uint32_t Heap::FirstFit(std::uint32_t units) const {
    if (levelCount_ == 0) return kNone;
    // At each level, the first of the 16 entries under the chosen one that is large enough.
    std::uint32_t index = 0;
    for (std::uint32_t level = 0; level < levelCount_; ++level) {
        const std::uint32_t* group = largest_ + levelOffset_[level] + index * kFanout;
        // All 16 compared at once (no branch to mispredict), then the lowest that fits.
        std::uint32_t fits = 0;
        for (std::uint32_t child = 0; child < kFanout; ++child)
            fits |= static_cast<std::uint32_t>(group[child] >= units) << child;
        if (fits == 0) return kNone;  // only possible at the top: nothing is large enough
        index = index * kFanout + static_cast<std::uint32_t>(__builtin_ctz(fits));
    }
    const FreeSlot* slots = SlotsOf(index);
    for (std::uint32_t i = 0; i < slotCount_[index]; ++i)
        if (slots[i].units >= units) return slots[i].unit;
    return kNone;  // unreachable while the tree is right
}

inline std::uint32_t Heap::RegionLargest(std::uint32_t region) const {
    return largest_[levelOffset_[levelCount_ - 1] + region];
}

inline void Heap::MarkFree(std::uint32_t unit, std::uint32_t units) {
    units_[unit].start = FreeStart(units);
    units_[unit + units - 1].lastOfFree = units;
}

inline void Heap::FileFree(std::uint32_t unit, std::uint32_t units) {
    const std::uint32_t region = RegionOf(unit);
    FreeSlot* slots = SlotsOf(region);
    std::uint32_t count = slotCount_[region];
    std::uint32_t at = count;
    while (at > 0 && slots[at - 1].unit > unit) {
        slots[at] = slots[at - 1];
        --at;
    }
    slots[at] = FreeSlot{unit, units};
    slotCount_[region] = static_cast<std::uint8_t>(count + 1);
    ++freeBlocks_;
    if (units > RegionLargest(region)) SetRegionLargest(region, units);
}

inline void Heap::UnfileFree(std::uint32_t unit) {
    const std::uint32_t region = RegionOf(unit);
    FreeSlot* slots = SlotsOf(region);
    const std::uint32_t count = slotCount_[region];
    std::uint32_t at = 0;
    while (at < count && slots[at].unit != unit) ++at;
    if (at == count) return;  // not filed: nothing to do
    const std::uint32_t units = slots[at].units;
    for (; at + 1 < count; ++at) slots[at] = slots[at + 1];
    slotCount_[region] = static_cast<std::uint8_t>(count - 1);
    --freeBlocks_;
    if (units == RegionLargest(region)) RescanRegionLargest(region);
}

// A free block's start moves from `from` to `to` (up when a block is cut from its front, down
// when it absorbs the freed block below it) and its size becomes `units`; it keeps its end.
inline void Heap::MoveFreeStart(std::uint32_t from, std::uint32_t to, std::uint32_t units) {
    units_[from].start = 0;
    MarkFree(to, units);
    const std::uint32_t region = RegionOf(from);
    if (RegionOf(to) != region) {
        UnfileFree(from);
        FileFree(to, units);
        return;
    }
    // Same region: the block keeps its slot, as no other free block lies between.
    FreeSlot* slots = SlotsOf(region);
    std::uint32_t at = 0;
    while (slots[at].unit != from) ++at;
    const std::uint32_t oldUnits = slots[at].units;
    slots[at] = FreeSlot{to, units};
    if (units > oldUnits) {
        if (units > RegionLargest(region)) SetRegionLargest(region, units);
    } else if (oldUnits == RegionLargest(region)) {
        RescanRegionLargest(region);
    }
}

inline void Heap::RescanRegionLargest(std::uint32_t region) {
    const FreeSlot* slots = SlotsOf(region);
    std::uint32_t largest = 0;
    for (std::uint32_t i = 0; i < slotCount_[region]; ++i)
        if (slots[i].units > largest) largest = slots[i].units;
    SetRegionLargest(region, largest);
}

inline void Heap::SetRegionLargest(std::uint32_t region, std::uint32_t units) {
    std::uint32_t level = levelCount_ - 1;
    std::uint32_t index = region;
    std::uint32_t* entry = largest_ + levelOffset_[level] + index;
    const std::uint32_t old = *entry;
    if (old == units) return;
    *entry = units;
    if (units > old) {
        // Raising: every figure above that is lower takes the new one.
        while (level > 0) {
            --level;
            index /= kFanout;
            entry = largest_ + levelOffset_[level] + index;
            if (*entry >= units) break;
            *entry = units;
        }
        return;
    }
    // Lowering: each level up takes the largest of its 16 entries; once a figure is
    // unchanged, every figure above it is unchanged too.
    while (level > 0) {
        const std::uint32_t* group = largest_ + levelOffset_[level] + (index / kFanout) * kFanout;
        std::uint32_t value = 0;
        for (std::uint32_t child = 0; child < kFanout; ++child)
            if (group[child] > value) value = group[child];
        --level;
        index /= kFanout;
        entry = largest_ + levelOffset_[level] + index;
        if (*entry == value) break;
        *entry = value;
    }
}

Heap::~Heap() { Destroy(); }

int Heap::Init(std::size_t size, DWORD recordCount) {
    Destroy();
    if (recordCount == 0) return 0;
    if (size < kMinimumSize) size = kMinimumSize;
    if (size > kMaximumArea) return 0;
    size = AlignUp(size, kBlockUnit);

    const auto unitCount = static_cast<std::uint32_t>(size / kBlockUnit);
    const std::uint32_t regions = (unitCount + kUnitsPerRegion - 1) / kUnitsPerRegion;
    // The max-tree's levels: 16, 256, ... entries, the last holding every region.
    std::uint32_t levelCount = 1;
    std::size_t levelEntries = kFanout;
    std::size_t treeEntries = kFanout;
    std::uint32_t levelOffsets[kMaximumLevels] = {};
    while (levelEntries < regions) {
        levelOffsets[levelCount++] = static_cast<std::uint32_t>(treeEntries);
        levelEntries *= kFanout;
        treeEntries += levelEntries;
    }
    // The index tables share one area: the max-tree (each group of 16 on one cache line),
    // the region slots, the unit table, the slot counts.
    const std::size_t slotsOffset = AlignUp(treeEntries * sizeof(std::uint32_t), 64);
    const std::size_t unitsOffset = slotsOffset + std::size_t{regions} * kSlotsPerRegion * sizeof(FreeSlot);
    const std::size_t countsOffset = unitsOffset + std::size_t{unitCount} * sizeof(UnitInfo);
    const std::size_t indexSize = countsOffset + regions;

    auto* base = static_cast<BYTE*>(ReserveAndCommit(size));
    auto* index = static_cast<BYTE*>(ReserveAndCommit(indexSize));
    if (base == nullptr || index == nullptr) {
        ReleaseArea(index);
        ReleaseArea(base);
        return 0;
    }

    base_ = base;
    size_ = static_cast<std::uint32_t>(size);
    unitCount_ = unitCount;
    recordCount_ = recordCount;
    largest_ = reinterpret_cast<std::uint32_t*>(index);
    slots_ = reinterpret_cast<FreeSlot*>(index + slotsOffset);
    units_ = reinterpret_cast<UnitInfo*>(index + unitsOffset);
    slotCount_ = index + countsOffset;
    regionCount_ = regions;
    levelCount_ = levelCount;
    for (std::uint32_t level = 0; level < kMaximumLevels; ++level) levelOffset_[level] = levelOffsets[level];

    // The whole area is one free block.
    blocks_ = 1;
    MarkFree(0, unitCount);
    FileFree(0, unitCount);
    return 1;
}

void Heap::Destroy() {
    ReleaseArea(largest_);
    ReleaseArea(base_);
    base_ = nullptr;
    size_ = unitCount_ = recordCount_ = blocks_ = 0;
    usedBlocks_ = usedBytes_ = freeBlocks_ = 0;
    units_ = nullptr;
    slots_ = nullptr;
    slotCount_ = nullptr;
    largest_ = nullptr;
    regionCount_ = levelCount_ = 0;
    for (std::uint32_t& offset : levelOffset_) offset = 0;
}

bool Heap::Contains(const void* address) const {
    const auto where = reinterpret_cast<std::uintptr_t>(address);
    const auto begin = reinterpret_cast<std::uintptr_t>(base_);
    return base_ != nullptr && where >= begin && where - begin < size_;
}

void* Heap::Alloc(std::size_t size) {
    if (base_ == nullptr || size > size_) return nullptr;
    const auto wanted = static_cast<std::uint32_t>(size < kBlockUnit ? 1 : AlignUp(size, kBlockUnit) / kBlockUnit);
    const std::uint32_t found = FirstFit(wanted);
    if (found == kNone) return nullptr;

    const std::uint32_t units = units_[found].start >> 1;
    if (units == wanted) {
        UnfileFree(found);
        units_[found + units - 1].lastOfFree = 0;
    } else {
        // A split makes one more block, which needs a spare record.
        if (blocks_ >= recordCount_) return nullptr;
        ++blocks_;
        // Cut from the front: the rest keeps its place in address order.
        MoveFreeStart(found, found + wanted, units - wanted);
    }
    units_[found].start = UsedStart(wanted);
    ++usedBlocks_;
    usedBytes_ += wanted * static_cast<std::uint32_t>(kBlockUnit);
    return base_ + std::size_t{found} * kBlockUnit;
}

bool Heap::Free(void* address) {
    if (!Contains(address)) return false;
    const std::size_t offset = static_cast<std::size_t>(static_cast<BYTE*>(address) - base_);
    if (offset % kBlockUnit != 0) return false;
    const auto unit = static_cast<std::uint32_t>(offset / kBlockUnit);
    const std::uint32_t start = units_[unit].start;
    if (start == 0 || (start & 1) != 0) return false;  // no block starts here, or it is free
    const std::uint32_t units = start >> 1;
    --usedBlocks_;
    usedBytes_ -= units * static_cast<std::uint32_t>(kBlockUnit);

    const std::uint32_t end = unit + units;
    const std::uint32_t aboveUnits = end < unitCount_ && (units_[end].start & 1) != 0 ? units_[end].start >> 1 : 0;
    const std::uint32_t belowUnits = unit > 0 ? units_[unit - 1].lastOfFree : 0;

    if (belowUnits != 0) {
        // The free block below grows over the freed one (and over the free block above).
        const std::uint32_t below = unit - belowUnits;
        std::uint32_t grown = belowUnits + units;
        units_[unit].start = 0;
        units_[unit - 1].lastOfFree = 0;
        --blocks_;
        if (aboveUnits != 0) {
            UnfileFree(end);
            units_[end].start = 0;
            units_[end + aboveUnits - 1].lastOfFree = 0;
            grown += aboveUnits;
            --blocks_;
        }
        // Its start and slot stay; only its size changes.
        MarkFree(below, grown);
        const std::uint32_t region = RegionOf(below);
        FreeSlot* slots = SlotsOf(region);
        std::uint32_t at = 0;
        while (slots[at].unit != below) ++at;
        slots[at].units = grown;
        if (grown > RegionLargest(region)) SetRegionLargest(region, grown);
    } else if (aboveUnits != 0) {
        // The free block above moves down over the freed one.
        --blocks_;
        MoveFreeStart(end, unit, aboveUnits + units);
    } else {
        MarkFree(unit, units);
        FileFree(unit, units);
    }
    return true;
}

void Heap::ForEachFreeBlock(void (*visit)(const Span& block, void* context), void* context) const {
    for (std::uint32_t region = 0; region < regionCount_; ++region) {
        const FreeSlot* slots = SlotsOf(region);
        for (std::uint32_t i = 0; i < slotCount_[region]; ++i)
            visit(Span{base_ + std::size_t{slots[i].unit} * kBlockUnit, std::size_t{slots[i].units} * kBlockUnit},
                  context);
    }
}
