// EngineStack: a growable stack of plain records in engine memory, for walks over trees
// that must not recurse as deep as their input nests.
#pragma once

#include <cstddef>
#include <cstring>
#include <type_traits>

#include "engine/core/memory/EngineMemory.h"

template <typename T>
class EngineStack {
    static_assert(std::is_trivially_copyable_v<T>, "records are moved with memcpy");

public:
    EngineStack() = default;
    ~EngineStack() { EngineFree(items_); }
    EngineStack(const EngineStack&) = delete;
    EngineStack& operator=(const EngineStack&) = delete;

    // false when memory runs out (the stack is unchanged).
    bool Push(const T& item) {
        if (count_ == capacity_) {
            const std::size_t capacity = capacity_ == 0 ? 16 : capacity_ * 2;
            if (capacity > kMaximumEngineAllocation / sizeof(T)) return false;
            auto* items = static_cast<T*>(EngineAlloc(capacity * sizeof(T)));
            if (items == nullptr) return false;
            if (count_ > 0) std::memcpy(static_cast<void*>(items), items_, count_ * sizeof(T));
            EngineFree(items_);
            items_ = items;
            capacity_ = capacity;
        }
        items_[count_++] = item;
        return true;
    }
    void Pop() { --count_; }
    T& Top() { return items_[count_ - 1]; }
    bool IsEmpty() const { return count_ == 0; }

private:
    T* items_ = nullptr;
    std::size_t count_ = 0;
    std::size_t capacity_ = 0;
};
