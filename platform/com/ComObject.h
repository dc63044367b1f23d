// Helpers for objects of the component model: ComPtr, a holder of one reference that
// releases it by itself, and ComObject, the reference count and QueryInterface of an object
// that implements one interface (with IDispatch when the interface derives from it).
#pragma once

#include <atomic>
#include <type_traits>
#include <utility>

#include "platform/com/Dispatch.h"

namespace platform::com {

template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    ComPtr(const ComPtr& other) : object_(other.object_) {
        if (object_ != nullptr) object_->AddRef();
    }
    ComPtr(ComPtr&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    ~ComPtr() { Reset(); }
    ComPtr& operator=(const ComPtr& other) {
        if (other.object_ != nullptr) other.object_->AddRef();
        Reset();
        object_ = other.object_;
        return *this;
    }
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            Reset();
            object_ = std::exchange(other.object_, nullptr);
        }
        return *this;
    }

    // Takes over a reference that the caller holds.
    static ComPtr Adopt(T* object) {
        ComPtr result;
        result.object_ = object;
        return result;
    }
    void Reset() {
        if (T* old = std::exchange(object_, nullptr)) old->Release();
    }
    T* Detach() { return std::exchange(object_, nullptr); }
    // Releases what is held and gives the holder to an out-parameter.
    T** Receive() {
        Reset();
        return &object_;
    }
    void** ReceiveVoid() { return reinterpret_cast<void**>(Receive()); }

    // QueryInterface for another interface of the same object.
    template <class U>
    HRESULT As(ComPtr<U>& out) const {
        if (object_ == nullptr) return E_POINTER;
        return object_->QueryInterface(U::kIid, out.ReceiveVoid());
    }

    T* Get() const { return object_; }
    T* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

private:
    T* object_ = nullptr;
};

template <class TInterface>
using DispatchBaseOf =
    std::conditional_t<std::is_base_of_v<IDispatch, TInterface>, NoLateBinding<TInterface>, TInterface>;

// An object made with one reference, held by its maker; the last Release deletes it.
template <class TInterface>
class ComObject : public DispatchBaseOf<TInterface> {
public:
    HRESULT QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) return E_POINTER;
        bool answers = iid == IID_IUnknown || iid == TInterface::kIid;
        if constexpr (std::is_base_of_v<IDispatch, TInterface>) answers = answers || iid == IID_IDispatch;
        if (!answers) {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        *out = static_cast<TInterface*>(this);
        return S_OK;
    }
    ULONG AddRef() override { return count_.fetch_add(1, std::memory_order_relaxed) + 1; }
    ULONG Release() override {
        ULONG remaining = count_.fetch_sub(1, std::memory_order_acq_rel) - 1;
        if (remaining == 0) delete this;
        return remaining;
    }

protected:
    ComObject() = default;
    virtual ~ComObject() = default;

private:
    std::atomic<ULONG> count_{1};
};

}  // namespace platform::com
