// EngineArray: a growable array of plain records in engine memory, for loaders that collect
// items whose number the input decides (mesh builders, face trees).
#pragma once

#include <cstddef>
#include <cstring>
#include <type_traits>

#include "engine/core/memory/EngineMemory.h"

template <typename T>
class EngineArray {
    static_assert(std::is_trivially_copyable_v<T>, "records are moved with memcpy");

public:
    EngineArray() = default;
    ~EngineArray() { EngineFree(items_); }
    EngineArray(const EngineArray&) = delete;
    EngineArray& operator=(const EngineArray&) = delete;

    // Room for at least `capacity` records; false when memory runs out (nothing changes).
    bool Reserve(std::size_t capacity) {
        if (capacity <= capacity_) return true;
        if (capacity > kMaximumEngineAllocation / sizeof(T)) return false;
        auto* items = static_cast<T*>(EngineAlloc(capacity * sizeof(T)));
        if (items == nullptr) return false;
        if (count_ > 0) std::memcpy(static_cast<void*>(items), items_, count_ * sizeof(T));
        EngineFree(items_);
        items_ = items;
        capacity_ = capacity;
        return true;
    }
    // Room for `extra` more records, growing by doubling so that repeated calls stay cheap;
    // false when memory runs out.
    bool ReserveMore(std::size_t extra) {
        if (extra <= capacity_ - count_) return true;
        if (extra > kMaximumEngineAllocation / sizeof(T) - count_) return false;
        const std::size_t needed = count_ + extra;
        return Reserve(needed > capacity_ * 2 ? needed : capacity_ * 2) || Reserve(needed);
    }
    // false when memory runs out (the array is unchanged).
    bool Append(const T& item) {
        if (count_ == capacity_ && !Reserve(capacity_ == 0 ? 16 : capacity_ * 2)) return false;
        items_[count_++] = item;
        return true;
    }
    // `count` records of zero bytes; false when memory runs out.
    bool Resize(std::size_t count) {
        if (!Reserve(count)) return false;
        if (count > count_) std::memset(static_cast<void*>(items_ + count_), 0, (count - count_) * sizeof(T));
        count_ = count;
        return true;
    }
    void Clear() { count_ = 0; }
    // Hands the records over; the caller frees them with EngineFree. The array is empty.
    T* Take() {
        T* items = items_;
        items_ = nullptr;
        count_ = capacity_ = 0;
        return items;
    }

    T& operator[](std::size_t index) { return items_[index]; }
    const T& operator[](std::size_t index) const { return items_[index]; }
    T* Data() { return items_; }
    const T* Data() const { return items_; }
    std::size_t Count() const { return count_; }
    bool IsEmpty() const { return count_ == 0; }

private:
    T* items_ = nullptr;
    std::size_t count_ = 0;
    std::size_t capacity_ = 0;
};
