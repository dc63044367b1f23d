// ArchiveNameIndex: finds a folder's sub-folder or file by name, without regard to case, in
// constant time, so that merging an archive's entries into the directory tree costs the same
// for the last entry of a large folder as for the first.
#pragma once

#include <cstdint>

#include "engine/core/memory/EngineMemory.h"

// Items are records that start with their zero-terminated name (a char array). The index
// does not own them; its table is an engine allocation.
class ArchiveNameIndex {
public:
    ArchiveNameIndex() = default;
    ~ArchiveNameIndex() { Clear(); }
    ArchiveNameIndex(const ArchiveNameIndex&) = delete;
    ArchiveNameIndex& operator=(const ArchiveNameIndex&) = delete;

    // The item whose name equals `name` without regard to case, or null.
    void* Find(const char* name) const;
    // Adds an item whose name is not in the index yet; false when memory runs out.
    bool Add(void* item);
    // Forgets every item and frees the table.
    void Clear();

private:
    bool Grow();

    void** slots_ = nullptr;  // open addressing, linear probing; null = empty
    std::uint32_t capacity_ = 0;  // a power of two
    std::uint32_t count_ = 0;
};
