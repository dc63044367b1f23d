// Shared data blocks of the resource packs: the bytes of an entry or a converted text, with
// the counted holder that frees the block when its last user lets go.
#pragma once

#include <cstddef>
#include <new>

#include "dialer/foundation/SharedRef.h"
#include "platform/base/Types.h"

template <class T>
struct CSharedArray {
    CSharedRef<T> holder;
    std::size_t bytes = 0;  // size in bytes

    T* Data() const { return holder.Get(); }
    std::size_t Count() const { return bytes / sizeof(T); }
    explicit operator bool() const { return static_cast<bool>(holder); }
};

using CSharedBuffer = CSharedArray<BYTE>;
using CSharedWideText = CSharedArray<WCHAR>;

// A zeroed block of count elements; empty when memory is short (or count is 0).
template <class T>
CSharedArray<T> MakeSharedArray(std::size_t count) {
    CSharedArray<T> result;
    if (count == 0 || count > static_cast<std::size_t>(-1) / sizeof(T)) return result;
    T* data = new (std::nothrow) T[count]();
    if (data == nullptr) return result;
    result.holder = CSharedRef<T>::Make(data, [](T* block) { delete[] block; });
    result.bytes = count * sizeof(T);
    return result;
}

// The UTF-8 bytes as UTF-16 text with a terminator (Count() includes it). Throws
// E_ORM_FAIL for a buffer without data, E_OUTOFMEMORY, and the platform's error when the
// text cannot be converted.
CSharedWideText Utf8ToWideBuffer(const CSharedBuffer& bytes);
