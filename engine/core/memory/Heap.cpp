// First-fit heap with merging on free, over an area committed once: unit tags find blocks
// and their neighbours, a max-tree over the free blocks finds the lowest one large enough.
#include "engine/core/memory/Heap.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "engine/core/memory/VirtualArea.h"

namespace {

constexpr std::uint32_t kMaximumArea = 0xFFFFFFF0u;
constexpr std::uint32_t kNone = 0xFFFFFFFFu;

// The tag of a unit: 0 when nothing starts or ends there; else the block's size in units,
// shifted up by two, over the kind in the low two bits. A free block of one unit has only
// its start tag; a longer one also an end tag on its last unit, by which the block freed
// right after it finds it. Units inside blocks keep 0, so no stale tag is ever read as a
// block of its own.
constexpr std::uint32_t kUsedStart = 0;
constexpr std::uint32_t kFreeStart = 1;
constexpr std::uint32_t kFreeEnd = 2;
constexpr std::uint32_t Tag(std::uint32_t units, std::uint32_t kind) { return units << 2 | kind; }
constexpr std::uint32_t KindOf(std::uint32_t tag) { return tag & 3; }
constexpr std::uint32_t UnitsOf(std::uint32_t tag) { return tag >> 2; }
// 1 or 0, worked out without a branch: which way they go is as good as random, and a
// mispredicted branch costs more than the arithmetic.
constexpr std::uint32_t IsFreeStart(std::uint32_t tag) { return ((KindOf(tag) ^ kFreeStart) - 1) >> 31; }
constexpr std::uint32_t IsFree(std::uint32_t tag) { return (KindOf(tag) + 3) >> 2; }
constexpr std::uint32_t IsAboveOne(std::uint32_t units) { return (1 - units) >> 31; }
// The kind of a free block's tag on its last unit: its end tag, or for one unit its start.
constexpr std::uint32_t LastKind(std::uint32_t units) { return kFreeStart + IsAboveOne(units); }

constexpr std::uint32_t RoundUpToGroup(std::uint32_t entries, std::uint32_t fanout) {
    return (entries + fanout - 1) / fanout * fanout;
}

// A group is 32 tree entries on one 64-byte line.
#if defined(__SSE2__)

// Bit i set when entry i of the group is above `below`.
inline std::uint32_t EntriesAbove(const std::int16_t* group, std::int16_t below) {
    const auto* lines = reinterpret_cast<const __m128i*>(group);
    const __m128i threshold = _mm_set1_epi16(below);
    const __m128i a = _mm_cmpgt_epi16(_mm_load_si128(lines), threshold);
    const __m128i b = _mm_cmpgt_epi16(_mm_load_si128(lines + 1), threshold);
    const __m128i c = _mm_cmpgt_epi16(_mm_load_si128(lines + 2), threshold);
    const __m128i d = _mm_cmpgt_epi16(_mm_load_si128(lines + 3), threshold);
    const auto low = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_packs_epi16(a, b)));
    const auto high = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_packs_epi16(c, d)));
    return low | high << 16;
}

// The largest entry of a group once entry `index` (of the level) holds `value`, worked out
// from the group as it is, before the entry is written: reading the group right after a
// 16-bit write into it would wait until that write had reached the cache.
inline std::int16_t GroupLargestWith(const std::int16_t* level, std::uint32_t index, std::int16_t value) {
    const auto* lines = reinterpret_cast<const __m128i*>(level + (index & ~31u));
    const __m128i position = _mm_set1_epi16(static_cast<std::int16_t>(index % 32));
    const __m128i a = _mm_andnot_si128(_mm_cmpeq_epi16(position, _mm_set_epi16(7, 6, 5, 4, 3, 2, 1, 0)),
                                       _mm_load_si128(lines));
    const __m128i b = _mm_andnot_si128(_mm_cmpeq_epi16(position, _mm_set_epi16(15, 14, 13, 12, 11, 10, 9, 8)),
                                       _mm_load_si128(lines + 1));
    const __m128i c = _mm_andnot_si128(_mm_cmpeq_epi16(position, _mm_set_epi16(23, 22, 21, 20, 19, 18, 17, 16)),
                                       _mm_load_si128(lines + 2));
    const __m128i d = _mm_andnot_si128(_mm_cmpeq_epi16(position, _mm_set_epi16(31, 30, 29, 28, 27, 26, 25, 24)),
                                       _mm_load_si128(lines + 3));
    __m128i m = _mm_max_epi16(_mm_max_epi16(a, b), _mm_max_epi16(c, d));
    m = _mm_max_epi16(m, _mm_shuffle_epi32(m, _MM_SHUFFLE(1, 0, 3, 2)));
    m = _mm_max_epi16(m, _mm_shuffle_epi32(m, _MM_SHUFFLE(2, 3, 0, 1)));
    m = _mm_max_epi16(m, _mm_shufflelo_epi16(m, _MM_SHUFFLE(2, 3, 0, 1)));
    const auto largest = static_cast<std::int16_t>(_mm_cvtsi128_si32(m));
    return largest > value ? largest : value;
}

#else

inline std::uint32_t EntriesAbove(const std::int16_t* group, std::int16_t below) {
    std::uint32_t mask = 0;
    for (std::uint32_t i = 0; i < 32; ++i) mask |= static_cast<std::uint32_t>(group[i] > below) << i;
    return mask;
}

inline std::int16_t GroupLargestWith(const std::int16_t* level, std::uint32_t index, std::int16_t value) {
    const std::int16_t* group = level + (index & ~31u);
    std::int16_t largest = value;
    for (std::uint32_t i = 0; i < 32; ++i)
        if (i != index % 32) largest = group[i] > largest ? group[i] : largest;
    return largest;
}

#endif

inline std::int16_t Capped(std::uint32_t units) {
    return static_cast<std::int16_t>(units < Heap::kTreeCap ? units : Heap::kTreeCap);
}

}  // namespace

// The hot paths are written once for any number of tree levels (kLevels 0: the heap's own
// count) and compiled also for the three levels of every heap of up to 32 MB, for which
// the loops over the levels unroll.
template <std::uint32_t kLevels>
inline std::uint32_t Heap::Levels() const {
    return kLevels != 0 ? kLevels : levelCount_;
}

// The leaf of the lowest free block of at least `units`, or kNone.
template <std::uint32_t kLevels>
inline std::uint32_t Heap::FirstFit(std::uint32_t units) const {
    if (units > kTreeCap) {
        // Beyond the cap an entry only tells "at least kTreeCap units": each such block is
        // checked, in address order. There are few, as each is large.
        for (std::uint32_t leaf = NextLeafFrom(0, kTreeCap); leaf != kNone; leaf = NextLeafFrom(leaf + 1, kTreeCap))
            if (UnitsOf(tags_[FreeStartInLeaf(leaf)]) >= units) return leaf;
        return kNone;
    }
    // The first large enough entry of the top level, then down through the first large
    // enough entry of each group below it.
    const auto below = static_cast<std::int16_t>(units - 1);
    const std::int16_t* top = levels_[0];
    std::uint32_t fits = 0;
    std::uint32_t index = 0;
    while ((fits = EntriesAbove(top + index, below)) == 0) {
        index += kTreeFanout;
        if (index == topEntries_) return kNone;
    }
    index += static_cast<std::uint32_t>(__builtin_ctz(fits));
    for (std::uint32_t level = 1; level < Levels<kLevels>(); ++level) {
        // Never empty: the entry above is the largest of this group.
        fits = EntriesAbove(levels_[level] + index * kTreeFanout, below);
        index = index * kTreeFanout + static_cast<std::uint32_t>(__builtin_ctz(fits | 0x80000000u));
    }
    return index;
}

// The first leaf at or after `leaf` whose entry is at least `atLeast`, or kNone: up through
// the levels until a later entry is large enough, then down through the first ones that are.
std::uint32_t Heap::NextLeafFrom(std::uint32_t leaf, std::uint32_t atLeast) const {
    const auto below = static_cast<std::int16_t>(atLeast - 1);
    std::uint32_t level = levelCount_ - 1;
    std::uint32_t index = leaf;
    for (;;) {
        // On the top level every later group is looked at; below it, the rest of this one.
        const std::uint32_t end = level == 0 ? topEntries_ : (index | (kTreeFanout - 1)) + 1;
        std::uint32_t fits = 0;
        while (index < end && index < levelEntries_[level]) {
            const std::uint32_t groupStart = index & ~(kTreeFanout - 1);
            fits = EntriesAbove(levels_[level] + groupStart, below) >> (index - groupStart) << (index - groupStart);
            if (fits != 0) {
                index = groupStart + static_cast<std::uint32_t>(__builtin_ctz(fits));
                break;
            }
            index = groupStart + kTreeFanout;
        }
        if (fits != 0) break;
        if (level == 0) return kNone;
        index = (index - 1) / kTreeFanout + 1;
        --level;
    }
    for (++level; level < levelCount_; ++level) {
        const std::uint32_t fits = EntriesAbove(levels_[level] + index * kTreeFanout, below);
        index = index * kTreeFanout + static_cast<std::uint32_t>(__builtin_ctz(fits | 0x80000000u));
    }
    return index;
}

// The unit where the free block of a non-empty leaf starts.
inline std::uint32_t Heap::FreeStartInLeaf(std::uint32_t leaf) const {
    const std::uint32_t unit = leaf * 2;
    return unit + (KindOf(tags_[unit]) != kFreeStart ? 1u : 0u);
}

// A leaf grows (or gets a block): each entry above takes the larger of its figure and the
// new one. (Written without branches: whether an entry changes is as good as random.)
template <std::uint32_t kLevels>
inline void Heap::RaiseLeaf(std::uint32_t leaf, std::uint32_t units) {
    const std::int16_t value = Capped(units);
    std::uint32_t level = Levels<kLevels>() - 1;
    levels_[level][leaf] = value;
    std::uint32_t index = leaf;
    while (level > 0) {
        index /= kTreeFanout;
        std::int16_t& entry = levels_[--level][index];
        entry = entry > value ? entry : value;
    }
}

// A leaf shrinks (or loses its block): each entry above is worked out again from its group.
template <std::uint32_t kLevels>
inline void Heap::LowerLeaf(std::uint32_t leaf, std::uint32_t units) {
    std::uint32_t level = Levels<kLevels>() - 1;
    std::uint32_t index = leaf;
    std::int16_t value = Capped(units);
    while (level > 0) {
        const std::int16_t largest = GroupLargestWith(levels_[level], index, value);
        levels_[level][index] = value;
        index /= kTreeFanout;
        value = largest;
        --level;
    }
    levels_[0][index] = value;
}

// The lowest free block left the tree's blocks or was used up: the lowest of the tree's
// blocks, if any, leaves the tree and takes its place.
template <std::uint32_t kLevels>
inline void Heap::TakeLowestFromTree() {
    const std::uint32_t leaf = FirstFit<kLevels>(1);
    if (leaf == kNone) {
        lowestUnits_ = 0;
        return;
    }
    lowestStart_ = FreeStartInLeaf(leaf);
    lowestUnits_ = UnitsOf(tags_[lowestStart_]);
    LowerLeaf<kLevels>(leaf, 0);
}

template <std::uint32_t kLevels>
inline void* Heap::AllocIn(std::uint32_t wanted) {
    // The lowest free block, when large enough, is the first fit; else the tree's lowest
    // block that is large enough.
    const bool fromLowest = lowestUnits_ >= wanted;
    std::uint32_t leaf = kNone;
    std::uint32_t unit = lowestStart_;
    if (!fromLowest) {
        leaf = FirstFit<kLevels>(wanted);
        if (leaf == kNone) return nullptr;
        unit = FreeStartInLeaf(leaf);
    }

    std::uint32_t* at = tags_ + unit;
    const std::uint32_t units = UnitsOf(*at);
    const std::uint32_t rest = units - wanted;
    const std::uint32_t restStart = unit + wanted;
    if (rest != 0) {
        // A split makes one more block, which needs a spare record.
        if (blocks_ >= recordCount_) return nullptr;
        ++blocks_;
        // Cut from the front: the rest keeps its end, and its place in address order. (The
        // tags are written without being read: where the rest starts was inside the free
        // block.)
        at[units - 1] = Tag(rest, LastKind(rest));
        at[wanted] = Tag(rest, kFreeStart);
    } else {
        // An exact fit: the end tag goes, and the tag after the block stays as it is.
        --freeBlocks_;
        at[units - 1] = 0;
    }
    *at = Tag(wanted, kUsedStart);

    if (fromLowest) {
        // The rest is still the lowest free block; without one, the tree gives up its lowest.
        if (rest != 0) {
            lowestStart_ = restStart;
            lowestUnits_ = rest;
        } else {
            TakeLowestFromTree<kLevels>();
        }
    } else {
        // The block's leaf is cleared (or takes the rest, when it lies in it), then the
        // rest's leaf takes the rest. Lowering goes first: it reads whole groups, which must
        // not follow narrow writes.
        const std::uint32_t restLeaf = rest != 0 ? restStart / 2 : leaf;
        LowerLeaf<kLevels>(leaf, restLeaf == leaf ? rest : 0);
        if (restLeaf != leaf) RaiseLeaf<kLevels>(restLeaf, rest);
    }

    ++usedBlocks_;
    usedBytes_ += wanted * static_cast<std::uint32_t>(kBlockUnit);
    return base_ + std::size_t{unit} * kBlockUnit;
}

template <std::uint32_t kLevels>
inline bool Heap::FreeIn(std::uint32_t unit) {
    std::uint32_t* at = tags_ + unit;
    const std::uint32_t tag = *at;
    if (tag == 0 || KindOf(tag) != kUsedStart) return false;  // no block starts here, or it is free
    const std::uint32_t units = UnitsOf(tag);
    --usedBlocks_;
    usedBytes_ -= units * static_cast<std::uint32_t>(kBlockUnit);

    // A free neighbour above starts right at the end; one below ends right before the start
    // (its end tag, or the start tag of a one-unit block). At the ends of the area the
    // sentinel tags read as used blocks.
    const std::uint32_t aboveTag = at[units];
    const std::uint32_t hasAbove = IsFreeStart(aboveTag);
    const std::uint32_t aboveUnits = UnitsOf(aboveTag) & (0u - hasAbove);
    const std::uint32_t belowTag = at[-1];
    const std::uint32_t hasBelow = IsFree(belowTag);
    const std::uint32_t belowUnits = UnitsOf(belowTag) & (0u - hasBelow);

    // Tags that end up inside the merged block are cleared, the others written back.
    const std::uint32_t start = unit - belowUnits;
    const std::uint32_t total = belowUnits + units + aboveUnits;
    at[0] = 0;
    at[-1] = belowTag & (IsAboveOne(belowUnits) - 1u);
    at[units] = aboveTag & (hasAbove - 1u);
    tags_[start] = Tag(total, kFreeStart);
    tags_[start + total - 1] = Tag(total, LastKind(total));
    blocks_ -= hasBelow + hasAbove;
    freeBlocks_ = freeBlocks_ + 1 - hasBelow - hasAbove;

    const std::uint32_t end = unit + units;
    if (lowestUnits_ != 0 && start > lowestStart_) {
        // Above the lowest free block: the merged block joins the tree's blocks, as its free
        // neighbours were. The one above loses its leaf unless it shares the merged block's;
        // the merged block's leaf (the one below's, if any) then takes it (lowering first, as
        // in AllocIn).
        if (aboveUnits != 0 && end / 2 != start / 2) LowerLeaf<kLevels>(end / 2, 0);
        RaiseLeaf<kLevels>(start / 2, total);
    } else {
        // The merged block holds the lowest free block or lies below it: it is the lowest
        // now. A free block above that was the tree's leaves the tree; a former lowest below
        // none of the merged block joins it.
        if (aboveUnits != 0 && end != lowestStart_) LowerLeaf<kLevels>(end / 2, 0);
        if (lowestUnits_ != 0 && lowestStart_ >= start + total) RaiseLeaf<kLevels>(lowestStart_ / 2, lowestUnits_);
        lowestStart_ = start;
        lowestUnits_ = total;
    }
    return true;
}

Heap::~Heap() { Destroy(); }

int Heap::Init(std::size_t size, DWORD recordCount) {
    Destroy();
    if (recordCount == 0) return 0;
    if (size < kMinimumSize) size = kMinimumSize;
    if (size > kMaximumArea) return 0;
    size = (size + kBlockUnit - 1) & ~(kBlockUnit - 1);
    const auto unitCount = static_cast<std::uint32_t>(size / kBlockUnit);

    // The tree's levels, from the leaves (one per two units) up to a top level of at most
    // kTopEntries entries.
    std::uint32_t entries[kMaximumLevels] = {};
    std::uint32_t levels = 0;
    std::uint32_t count = (unitCount + 1) / 2;
    do {
        entries[levels++] = RoundUpToGroup(count, kTreeFanout);
        count = entries[levels - 1] / kTreeFanout;
    } while (entries[levels - 1] > kTopEntries);
    std::size_t levelOffsets[kMaximumLevels] = {};
    std::size_t treeEntries = 0;
    for (std::uint32_t level = 0; level < levels; ++level) {
        levelEntries_[level] = entries[levels - 1 - level];
        levelOffsets[level] = treeEntries;
        treeEntries += levelEntries_[level];
    }
    const std::size_t treeBytes = treeEntries * sizeof(std::int16_t);
    // The tags, with a sentinel before the first unit and after the last.
    const std::size_t indexSize = treeBytes + (std::size_t{unitCount} + 2) * sizeof(std::uint32_t);

    auto* base = static_cast<BYTE*>(ReserveAndCommit(size));
    void* index = ReserveAndCommit(indexSize);
    if (base == nullptr || index == nullptr) {
        ReleaseArea(index);
        ReleaseArea(base);
        Destroy();
        return 0;
    }
    // Freshly committed memory reads as zero: every tag and tree entry starts empty.
    base_ = base;
    indexArea_ = index;
    size_ = static_cast<std::uint32_t>(size);
    unitCount_ = unitCount;
    recordCount_ = recordCount;
    levelCount_ = levels;
    topEntries_ = entries[levels - 1];
    for (std::uint32_t level = 0; level < levels; ++level)
        levels_[level] = static_cast<std::int16_t*>(index) + levelOffsets[level];
    tags_ = reinterpret_cast<std::uint32_t*>(static_cast<BYTE*>(index) + treeBytes) + 1;
    tags_[-1] = Tag(1, kUsedStart);
    tags_[unitCount] = Tag(1, kUsedStart);

    // The whole area is one free block.
    blocks_ = 1;
    freeBlocks_ = 1;
    tags_[0] = Tag(unitCount, kFreeStart);
    tags_[unitCount - 1] = Tag(unitCount, kFreeEnd);
    lowestStart_ = 0;
    lowestUnits_ = unitCount;
    return 1;
}

void Heap::Destroy() {
    ReleaseArea(indexArea_);
    ReleaseArea(base_);
    base_ = nullptr;
    indexArea_ = nullptr;
    size_ = unitCount_ = recordCount_ = 0;
    blocks_ = usedBlocks_ = usedBytes_ = freeBlocks_ = 0;
    tags_ = nullptr;
    lowestStart_ = lowestUnits_ = 0;
    levelCount_ = topEntries_ = 0;
    for (std::uint32_t level = 0; level < kMaximumLevels; ++level) {
        levels_[level] = nullptr;
        levelEntries_[level] = 0;
    }
}

void* Heap::Alloc(std::size_t size) {
    if (base_ == nullptr || size > size_) return nullptr;
    const auto wanted = static_cast<std::uint32_t>(size < kBlockUnit ? 1 : (size + kBlockUnit - 1) / kBlockUnit);
    return levelCount_ == 3 ? AllocIn<3>(wanted) : AllocIn<0>(wanted);
}

bool Heap::Free(void* address) {
    if (!Contains(address)) return false;
    const auto offset = static_cast<std::size_t>(static_cast<BYTE*>(address) - base_);
    if (offset % kBlockUnit != 0) return false;
    const auto unit = static_cast<std::uint32_t>(offset / kBlockUnit);
    return levelCount_ == 3 ? FreeIn<3>(unit) : FreeIn<0>(unit);
}

void Heap::ForEachFreeBlock(void (*visit)(const Span& block, void* context), void* context) const {
    for (std::uint32_t unit = 0; unit < unitCount_;) {
        const std::uint32_t tag = tags_[unit];
        const std::uint32_t units = UnitsOf(tag);
        if (units == 0) return;  // the tags are damaged: nothing sound to report
        if (KindOf(tag) == kFreeStart)
            visit(Span{base_ + std::size_t{unit} * kBlockUnit, std::size_t{units} * kBlockUnit}, context);
        unit += units;
    }
}
