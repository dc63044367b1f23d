// The per-process handle table: which HANDLE values are open and which kernel object each
// refers to. Every area's objects (files, events, threads, mappings...) share it.
#include "platform/base/Handle.h"

#include <cstdint>
#include <mutex>
#include <unordered_map>

#include "platform/base/Errors.h"

namespace platform {

namespace {

struct HandleTable {
    std::mutex lock;
    std::unordered_map<HANDLE, KernelObject*> open;
    // Further handles of an object get values that no object address can have: objects
    // are at least 8-byte aligned, these end in binary 010. A 64-bit serial never wraps.
    std::uint64_t nextSerial = 1;
};

HandleTable& Table() {
    // Never destroyed: threads and static destructors may still close handles at exit.
    static HandleTable* table = new HandleTable;
    return *table;
}

bool IsCurrentProcess(HANDLE process) { return process == INVALID_HANDLE_VALUE; }

// Called with the table locked: gives `object` a new handle value.
HANDLE NewHandleLocked(HandleTable& table, KernelObject* object) {
    HANDLE handle = object->ToHandle();
    if (table.open.count(handle) != 0) {
        handle = reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>((table.nextSerial++ << 3) | 2));
    }
    table.open.emplace(handle, object);
    return handle;
}

}  // namespace

KernelObject* KernelObjectFromHandle(HANDLE handle) {
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return nullptr;
    HandleTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    auto found = table.open.find(handle);
    return found == table.open.end() ? nullptr : found->second;
}

KernelObject* AcquireKernelObject(HANDLE handle) {
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return nullptr;
    HandleTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    auto found = table.open.find(handle);
    if (found == table.open.end()) return nullptr;
    found->second->AddHandleRef();
    return found->second;
}

HANDLE RegisterKernelObject(KernelObject* object) {
    if (object == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    HandleTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    return NewHandleLocked(table, object);
}

}  // namespace platform

BOOL CloseHandle(HANDLE handle) {
    platform::KernelObject* object = nullptr;
    {
        auto& table = platform::Table();
        std::lock_guard<std::mutex> guard(table.lock);
        auto found = table.open.find(handle);
        if (found != table.open.end()) {
            object = found->second;
            table.open.erase(found);
        }
    }
    if (object == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    // Outside the lock: an object's destructor may close handles of its own.
    object->ReleaseHandleRef();
    return TRUE;
}

BOOL DuplicateHandle(HANDLE sourceProcess, HANDLE source, HANDLE targetProcess, LPHANDLE target, DWORD access,
                     BOOL inherit, DWORD options) {
    UNREFERENCED_PARAMETER(access);   // the stand-in keeps no access rights per handle
    UNREFERENCED_PARAMETER(inherit);  // nor inheritance: child processes start afresh
    if (!platform::IsCurrentProcess(sourceProcess) || !platform::IsCurrentProcess(targetProcess)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    // A null target is allowed only to close the source, as on the handset.
    if ((options & ~(DUPLICATE_CLOSE_SOURCE | DUPLICATE_SAME_ACCESS)) != 0 ||
        (target == nullptr && (options & DUPLICATE_CLOSE_SOURCE) == 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    platform::KernelObject* closedSource = nullptr;
    {
        auto& table = platform::Table();
        std::lock_guard<std::mutex> guard(table.lock);
        auto found = table.open.find(source);
        if (found == table.open.end()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        platform::KernelObject* object = found->second;
        if ((options & DUPLICATE_CLOSE_SOURCE) != 0) {
            // The source's reference moves to the new handle.
            table.open.erase(found);
            if (target == nullptr) closedSource = object;
        } else if (target != nullptr) {
            object->AddHandleRef();
        }
        if (target != nullptr) *target = platform::NewHandleLocked(table, object);
    }
    if (closedSource != nullptr) closedSource->ReleaseHandleRef();
    return TRUE;
}
