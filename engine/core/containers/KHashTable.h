// KHashTable: a fixed table of 64 KDLList buckets of untyped items, placed by a hash callback;
// the resource caches keep their entries in it. The table never owns its items.
#pragma once

#include <cstdint>

#include "engine/core/containers/KDLList.h"
#include "engine/core/memory/EngineMemory.h"

// The bucket of an item; an index outside 0 .. bucketCount - 1 is taken modulo the count.
using KHashFunction = std::int32_t (*)(const void* item, std::int32_t bucketCount);

constexpr std::int32_t kHashBucketCount = 64;

struct KHashTable : EngineAllocated {
    // 64 buckets whatever is asked, no entries, no callback (every item goes to bucket 0).
    // Null when memory runs out.
    static KHashTable* Create(std::int32_t buckets);
    // Frees every bucket's links (not the items), the buckets and the table.
    static void Destroy(KHashTable* table);

    // Appends the item to its bucket; a null item is ignored. false when memory runs out.
    bool Insert(void* item);
    std::int32_t BucketIndexOf(const void* item) const;

    KDLList* buckets = nullptr;  // bucketCount lists
    std::int32_t bucketCount = 0;
    std::uint32_t entryCount = 0;
    KHashFunction hash = nullptr;
};

// Walks the items bucket by bucket, each bucket from its head.
struct KHashTableIterator {
    KHashTable* table = nullptr;
    std::int32_t bucket = 0;
    KDLLink* current = nullptr;  // null at the end

    void Begin(KHashTable& walked);
    bool AtEnd() const { return current == nullptr; }
    // The current item, then on to the next; null at the end.
    void* Next();
    // Unlinks and frees the current link, moves on like Next and gives the removed item;
    // null at the end.
    void* Remove();

private:
    void SkipEmptyBuckets();
};
