// Kernel objects behind HANDLE values (files, events, threads, mappings...), with one
// CloseHandle for all of them. Each area derives its own object kinds.
#pragma once

#include <atomic>

#include "platform/base/Types.h"

namespace platform {

class KernelObject {
public:
    KernelObject() = default;
    KernelObject(const KernelObject&) = delete;
    KernelObject& operator=(const KernelObject&) = delete;
    virtual ~KernelObject() = default;

    // Handles are reference counted: a thread handle outlives the thread, an event
    // lives while any handle to it is open.
    void AddHandleRef() { references_.fetch_add(1, std::memory_order_relaxed); }
    void ReleaseHandleRef() {
        if (references_.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
    }

    HANDLE ToHandle() { return static_cast<HANDLE>(this); }

private:
    std::atomic<int> references_{1};
};

// Returns the object behind a handle, or null for null and INVALID_HANDLE_VALUE and for
// values that no open handle of this process has.
KernelObject* KernelObjectFromHandle(HANDLE handle);

// Registers a freshly created object as an open handle of this process. The handle owns one
// reference: the fresh object's own, or one the caller added with AddHandleRef (a named
// object opened again). Each call gives a distinct handle value; the first handle of an
// object is its address (ToHandle).
HANDLE RegisterKernelObject(KernelObject* object);

template <typename T>
T* KernelObjectAs(HANDLE handle) {
    return dynamic_cast<T*>(KernelObjectFromHandle(handle));
}

// The object behind a handle with one reference added under the table's lock, so that a
// CloseHandle on another thread cannot free it while a call still uses it; null as above.
KernelObject* AcquireKernelObject(HANDLE handle);

// Holds such a reference for the length of a call; T may be any interface of the object.
template <typename T>
class KernelObjectRef {
public:
    KernelObjectRef() = default;
    explicit KernelObjectRef(HANDLE handle) : held_(AcquireKernelObject(handle)) {
        typed_ = dynamic_cast<T*>(held_);
        if (typed_ == nullptr && held_ != nullptr) {
            held_->ReleaseHandleRef();
            held_ = nullptr;
        }
    }
    KernelObjectRef(const KernelObjectRef&) = delete;
    KernelObjectRef& operator=(const KernelObjectRef&) = delete;
    ~KernelObjectRef() {
        if (held_ != nullptr) held_->ReleaseHandleRef();
    }

    T* get() const { return typed_; }
    T* operator->() const { return typed_; }
    explicit operator bool() const { return typed_ != nullptr; }

private:
    KernelObject* held_ = nullptr;
    T* typed_ = nullptr;
};

}  // namespace platform

constexpr DWORD DUPLICATE_CLOSE_SOURCE = 0x00000001;
constexpr DWORD DUPLICATE_SAME_ACCESS = 0x00000002;

// A closed or unknown handle gives FALSE with ERROR_INVALID_HANDLE.
BOOL CloseHandle(HANDLE handle);
// Within this process only: both process handles must be the current process's pseudo
// handle (the value -1 that GetCurrentProcess answers). The new handle refers to the same
// object; DUPLICATE_CLOSE_SOURCE closes the source handle.
BOOL DuplicateHandle(HANDLE sourceProcess, HANDLE source, HANDLE targetProcess, LPHANDLE target, DWORD access,
                     BOOL inherit, DWORD options);
