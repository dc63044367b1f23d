// The operations of KHashTable.
#include "engine/core/containers/KHashTable.h"

#include <cstddef>
#include <new>

namespace {

// The bucket block: the count word, then the lists.
struct BucketBlock {
    std::uintptr_t count;
    KDLList lists[kHashBucketCount];
};

}  // namespace

KHashTable* KHashTable::Create(std::int32_t) {
    auto* table = new KHashTable;
    if (table == nullptr) return nullptr;
    auto* block = static_cast<BucketBlock*>(EngineAlloc(sizeof(BucketBlock)));
    if (block == nullptr) {
        delete table;
        return nullptr;
    }
    ::new (block) BucketBlock{kHashBucketCount, {}};
    table->buckets = block->lists;
    table->bucketCount = kHashBucketCount;
    return table;
}

void KHashTable::Destroy(KHashTable* table) {
    if (table == nullptr) return;
    if (table->buckets != nullptr) {
        for (std::int32_t i = 0; i < table->bucketCount; ++i) ListReset(table->buckets[i]);
        EngineFree(reinterpret_cast<BucketBlock*>(reinterpret_cast<char*>(table->buckets) -
                                                  offsetof(BucketBlock, lists)));
    }
    delete table;
}

std::int32_t KHashTable::BucketIndexOf(const void* item) const {
    if (hash == nullptr || bucketCount <= 0) return 0;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(hash(item, bucketCount)) %
                                     static_cast<std::uint32_t>(bucketCount));
}

bool KHashTable::Insert(void* item) {
    if (item == nullptr) return true;
    if (ListAppend(buckets[BucketIndexOf(item)], item) == nullptr) return false;
    ++entryCount;
    return true;
}

void KHashTableIterator::SkipEmptyBuckets() {
    while (current == nullptr && bucket + 1 < table->bucketCount) {
        ++bucket;
        current = table->buckets[bucket].head;
    }
}

void KHashTableIterator::Begin(KHashTable& walked) {
    table = &walked;
    bucket = 0;
    current = walked.bucketCount > 0 ? walked.buckets[0].head : nullptr;
    SkipEmptyBuckets();
}

void* KHashTableIterator::Next() {
    if (current == nullptr) return nullptr;
    void* item = current->item;
    current = current->next;
    SkipEmptyBuckets();
    return item;
}

void* KHashTableIterator::Remove() {
    if (current == nullptr) return nullptr;
    KDLLink* removed = current;
    current = current->next;
    void* item = ListUnlink(table->buckets[bucket], removed);
    --table->entryCount;
    SkipEmptyBuckets();
    return item;
}
