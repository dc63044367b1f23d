// The shared-ownership handle for values, images and fonts: an object pointer with a
// counter block that holds a use count and a weak count. The last use destroys the
// object; the last weak reference (the uses together hold one) frees the block.
#pragma once

#include <atomic>
#include <new>
#include <utility>

#include "dialer/foundation/OrmException.h"
#include "platform/base/Types.h"

class CSharedCounter {
public:
    CSharedCounter() = default;
    CSharedCounter(const CSharedCounter&) = delete;
    CSharedCounter& operator=(const CSharedCounter&) = delete;

    void AddUse() { m_uses.fetch_add(1, std::memory_order_relaxed); }
    // Takes one use; the last one destroys the object and gives up the uses' weak reference.
    void ReleaseUse() {
        if (m_uses.fetch_sub(1, std::memory_order_acq_rel) == 1) {
            DestroyObject();
            ReleaseWeak();
        }
    }
    void ReleaseWeak() {
        if (m_weak.fetch_sub(1, std::memory_order_acq_rel) == 1) FreeBlock();
    }
    LONG UseCount() const { return m_uses.load(std::memory_order_relaxed); }
    LONG WeakCount() const { return m_weak.load(std::memory_order_relaxed); }

protected:
    virtual ~CSharedCounter() = default;
    virtual void DestroyObject() = 0;
    virtual void FreeBlock() { delete this; }

private:
    std::atomic<LONG> m_uses{1};
    std::atomic<LONG> m_weak{1};
};

template <class T, class Deleter>
class CSharedCounterOf final : public CSharedCounter {
public:
    CSharedCounterOf(T* object, Deleter deleter) : m_object(object), m_deleter(std::move(deleter)) {}

private:
    void DestroyObject() override { m_deleter(std::exchange(m_object, nullptr)); }
    T* m_object;
    Deleter m_deleter;
};

template <class T>
class CSharedRef {
public:
    CSharedRef() = default;
    CSharedRef(const CSharedRef& other) : m_object(other.m_object), m_counter(other.m_counter) {
        if (m_counter != nullptr) m_counter->AddUse();
    }
    CSharedRef(CSharedRef&& other) noexcept
        : m_object(std::exchange(other.m_object, nullptr)), m_counter(std::exchange(other.m_counter, nullptr)) {}
    ~CSharedRef() { Reset(); }

    CSharedRef& operator=(const CSharedRef& other) {
        Assign(other);
        return *this;
    }
    CSharedRef& operator=(CSharedRef&& other) noexcept {
        if (this != &other) {
            Reset();
            m_object = std::exchange(other.m_object, nullptr);
            m_counter = std::exchange(other.m_counter, nullptr);
        }
        return *this;
    }

    // Takes ownership of object, which `deleter` destroys when the last use goes. When the
    // counter block cannot be made the object is destroyed and E_OUTOFMEMORY is thrown.
    template <class Deleter>
    static CSharedRef Make(T* object, Deleter deleter) {
        CSharedRef result;
        if (object == nullptr) return result;
        auto* counter = new (std::nothrow) CSharedCounterOf<T, Deleter>(object, deleter);
        if (counter == nullptr) {
            deleter(object);
            ThrowOrm(E_OUTOFMEMORY);
        }
        result.m_object = object;
        result.m_counter = counter;
        return result;
    }

    // Shared-handle assignment: nothing when both share a counter block; otherwise one use
    // more on the new block, one less on the old.
    void Assign(const CSharedRef& source) {
        if (m_counter == source.m_counter) {
            m_object = source.m_object;
            return;
        }
        if (source.m_counter != nullptr) source.m_counter->AddUse();
        CSharedCounter* old = std::exchange(m_counter, source.m_counter);
        m_object = source.m_object;
        if (old != nullptr) old->ReleaseUse();
    }
    void Reset() {
        m_object = nullptr;
        if (CSharedCounter* old = std::exchange(m_counter, nullptr)) old->ReleaseUse();
    }

    T* Get() const { return m_object; }
    T* operator->() const { return m_object; }
    T& operator*() const { return *m_object; }
    explicit operator bool() const { return m_object != nullptr; }
    const CSharedCounter* Counter() const { return m_counter; }

private:
    T* m_object = nullptr;
    CSharedCounter* m_counter = nullptr;
};

template <class T>
void AssignRef(CSharedRef<T>* target, const CSharedRef<T>& source) {
    if (target != nullptr) target->Assign(source);
}
