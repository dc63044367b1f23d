// Intrusive reference counting of the dialer's plain counted classes: the count lives in
// the object, changes only atomically, and the release that brings it to exactly 0
// destroys the object. CRefPtr is the holder that releases by itself.
#pragma once

#include <atomic>
#include <type_traits>
#include <utility>

#include "platform/base/Types.h"

class CRefCounted {
public:
    CRefCounted() = default;
    CRefCounted(const CRefCounted&) = delete;
    CRefCounted& operator=(const CRefCounted&) = delete;
    virtual ~CRefCounted() = default;

    // A new object starts at 0; its creator takes the first reference.
    LONG AddRef() { return m_refCount.fetch_add(1, std::memory_order_relaxed) + 1; }
    LONG GetRefCount() const { return m_refCount.load(std::memory_order_relaxed); }

    // Takes one reference and returns the new count; the caller destroys the object when
    // it gets exactly 0 (ReleaseRef does both).
    LONG DecrementRef() { return m_refCount.fetch_sub(1, std::memory_order_acq_rel) - 1; }

private:
    std::atomic<LONG> m_refCount{0};
};

// Releases the object held in *holder (nothing for a null object): the count drops by
// one and the object is destroyed when it reaches exactly 0. Returns the new count. The
// holder itself is left as it was.
template <class T>
LONG ReleaseRef(T* const* holder) {
    static_assert(std::is_base_of_v<CRefCounted, T>, "ReleaseRef takes counted objects");
    if (holder == nullptr || *holder == nullptr) return 0;
    CRefCounted* object = *holder;
    const LONG remaining = object->DecrementRef();
    if (remaining == 0) delete object;
    return remaining;
}

// The counted holder: one reference while it holds an object.
template <class T>
class CRefPtr {
public:
    CRefPtr() = default;
    CRefPtr(std::nullptr_t) {}
    // Takes a new reference on object.
    explicit CRefPtr(T* object) : m_object(object) {
        if (m_object != nullptr) m_object->AddRef();
    }
    CRefPtr(const CRefPtr& other) : CRefPtr(other.m_object) {}
    CRefPtr(CRefPtr&& other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}
    template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    CRefPtr(const CRefPtr<U>& other) : CRefPtr(other.Get()) {}
    ~CRefPtr() { ReleaseRef(&m_object); }

    CRefPtr& operator=(const CRefPtr& other) {
        Reset(other.m_object);
        return *this;
    }
    CRefPtr& operator=(CRefPtr&& other) noexcept {
        if (this != &other) {
            T* old = std::exchange(m_object, std::exchange(other.m_object, nullptr));
            ReleaseRef(&old);
        }
        return *this;
    }

    // Holds object (a new reference on it), releasing what was held before.
    void Reset(T* object = nullptr) {
        if (object != nullptr) object->AddRef();
        T* old = std::exchange(m_object, object);
        ReleaseRef(&old);
    }
    // Takes over a reference the caller already owns.
    static CRefPtr Adopt(T* object) {
        CRefPtr result;
        result.m_object = object;
        return result;
    }
    // Gives the reference to the caller.
    T* Detach() { return std::exchange(m_object, nullptr); }

    T* Get() const { return m_object; }
    T* operator->() const { return m_object; }
    T& operator*() const { return *m_object; }
    explicit operator bool() const { return m_object != nullptr; }
    // The address of the holder word, for functions that take a holder.
    T* const* Holder() const { return &m_object; }

private:
    T* m_object = nullptr;
};

template <class T, class U>
bool operator==(const CRefPtr<T>& a, const CRefPtr<U>& b) {
    return a.Get() == b.Get();
}

// Assigns an intrusive holder: a reference on the new object (when not null), the old one
// released, the new pointer stored; assigning the object already held does nothing.
template <class T>
void AssignRef(T** holder, T* object) {
    if (holder == nullptr || *holder == object) return;
    if (object != nullptr) object->AddRef();
    T* old = *holder;
    *holder = object;
    ReleaseRef(&old);
}
