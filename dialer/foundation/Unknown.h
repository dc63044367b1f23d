// The COM-style interface protocol of the dialer's objects (IUnknown is the platform's):
// QueryInterface, AddRef and Release first, one interface identifier per interface, an
// atomic count that starts at 0, and the holder CInterfacePtr that releases by itself.
#pragma once

#include <atomic>
#include <type_traits>
#include <utility>

#include "platform/base/Types.h"
#include "platform/com/Unknown.h"

// The shared body of the three first operations for a class that implements one
// interface `TInterface` (which names its identifier as TInterface::kIid). A class that
// answers further identifiers overrides IsOwnInterface.
template <class TInterface>
class CUnknownImpl : public TInterface {
public:
    HRESULT QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) return E_INVALIDARG;
        if (!(iid == IID_IUnknown) && !IsOwnInterface(iid)) return E_NOINTERFACE;
        AddRef();
        *out = static_cast<TInterface*>(this);
        return S_OK;
    }
    ULONG AddRef() override { return static_cast<ULONG>(m_refCount.fetch_add(1, std::memory_order_relaxed) + 1); }
    ULONG Release() override {
        const LONG remaining = m_refCount.fetch_sub(1, std::memory_order_acq_rel) - 1;
        if (remaining > 0) return static_cast<ULONG>(remaining);
        delete this;
        return 0;
    }
    LONG GetRefCount() const { return m_refCount.load(std::memory_order_relaxed); }

protected:
    // The interfaces keep their slots for their operations only; the object's own last
    // Release destroys it through this.
    virtual ~CUnknownImpl() = default;
    virtual bool IsOwnInterface(REFIID iid) const { return iid == TInterface::kIid; }

private:
    std::atomic<LONG> m_refCount{0};
};

// Holds one reference on a COM-style object and releases it on destruction.
template <class T>
class CInterfacePtr {
public:
    CInterfacePtr() = default;
    CInterfacePtr(std::nullptr_t) {}
    explicit CInterfacePtr(T* object) : m_object(object) {
        if (m_object != nullptr) m_object->AddRef();
    }
    CInterfacePtr(const CInterfacePtr& other) : CInterfacePtr(other.m_object) {}
    CInterfacePtr(CInterfacePtr&& other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}
    ~CInterfacePtr() { Reset(); }

    CInterfacePtr& operator=(const CInterfacePtr& other) {
        Reset(other.m_object);
        return *this;
    }
    CInterfacePtr& operator=(CInterfacePtr&& other) noexcept {
        if (this != &other) {
            T* old = std::exchange(m_object, std::exchange(other.m_object, nullptr));
            if (old != nullptr) old->Release();
        }
        return *this;
    }

    void Reset(T* object = nullptr) {
        if (object != nullptr) object->AddRef();
        T* old = std::exchange(m_object, object);
        if (old != nullptr) old->Release();
    }
    static CInterfacePtr Adopt(T* object) {
        CInterfacePtr result;
        result.m_object = object;
        return result;
    }
    T* Detach() { return std::exchange(m_object, nullptr); }
    // Releases what is held and gives the holder word to an out-parameter.
    T** Receive() {
        Reset();
        return &m_object;
    }

    T* Get() const { return m_object; }
    T* operator->() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }

private:
    T* m_object = nullptr;
};
