// The name index of an archive folder: an open-addressing hash table over the names'
// lower-cased bytes, the same folding as CompareNoCase.
#include "engine/core/files/ArchiveNameIndex.h"

#include <cstring>

#include "engine/core/text/TextCompare.h"

namespace {

constexpr std::uint32_t kFirstCapacity = 8;

const char* NameOf(const void* item) { return static_cast<const char*>(item); }

// FNV-1a over the bytes with A-Z taken as a-z.
std::uint32_t HashNoCase(const char* name) {
    std::uint32_t hash = 2166136261u;
    for (const char* at = name; *at != 0; ++at) {
        unsigned char c = static_cast<unsigned char>(*at);
        if (c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c - 'A' + 'a');
        hash = (hash ^ c) * 16777619u;
    }
    return hash;
}

}  // namespace

void* ArchiveNameIndex::Find(const char* name) const {
    if (count_ == 0) return nullptr;
    const std::uint32_t mask = capacity_ - 1;
    for (std::uint32_t at = HashNoCase(name) & mask;; at = (at + 1) & mask) {
        void* item = slots_[at];
        if (item == nullptr) return nullptr;
        if (CompareNoCase(NameOf(item), name) == 0) return item;
    }
}

bool ArchiveNameIndex::Add(void* item) {
    // At most three quarters full, so that every probe ends at an empty slot soon.
    if ((count_ + 1) * 4 > capacity_ * 3 && !Grow()) return false;
    const std::uint32_t mask = capacity_ - 1;
    std::uint32_t at = HashNoCase(NameOf(item)) & mask;
    while (slots_[at] != nullptr) at = (at + 1) & mask;
    slots_[at] = item;
    ++count_;
    return true;
}

void ArchiveNameIndex::Clear() {
    EngineFree(slots_);
    slots_ = nullptr;
    capacity_ = 0;
    count_ = 0;
}

bool ArchiveNameIndex::Grow() {
    const std::uint32_t capacity = capacity_ == 0 ? kFirstCapacity : capacity_ * 2;
    if (capacity == 0 || capacity > kMaximumEngineAllocation / sizeof(void*)) return false;
    auto** slots = static_cast<void**>(EngineAlloc(capacity * sizeof(void*)));
    if (slots == nullptr) return false;
    std::memset(slots, 0, capacity * sizeof(void*));
    const std::uint32_t mask = capacity - 1;
    for (std::uint32_t index = 0; index < capacity_; ++index) {
        void* item = slots_[index];
        if (item == nullptr) continue;
        std::uint32_t at = HashNoCase(NameOf(item)) & mask;
        while (slots[at] != nullptr) at = (at + 1) & mask;
        slots[at] = item;
    }
    EngineFree(slots_);
    slots_ = slots;
    capacity_ = capacity;
    return true;
}
