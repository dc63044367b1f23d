// The table of live GDI objects, shared by every thread of the process.
#include "platform/gdi/GdiObject.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <unordered_map>

#include "platform/base/Errors.h"

namespace platform {

namespace {

struct ObjectTable {
    std::mutex mutex;
    std::unordered_map<HGDIOBJ, GdiObjectRef> objects;
};

ObjectTable& Table() {
    // Never destroyed: objects may still be deleted by other static destructors.
    static auto* table = new ObjectTable();
    return *table;
}

}  // namespace

HGDIOBJ RegisterGdiObject(GdiObject* object) {
    if (object == nullptr) return nullptr;
    ObjectTable& table = Table();
    std::lock_guard<std::mutex> lock(table.mutex);
    HGDIOBJ handle = object;
    table.objects.emplace(handle, GdiObjectRef(object));
    return handle;
}

GdiObjectRef FindGdiObject(HGDIOBJ handle) {
    if (handle == nullptr) return nullptr;
    ObjectTable& table = Table();
    std::lock_guard<std::mutex> lock(table.mutex);
    auto found = table.objects.find(handle);
    return found == table.objects.end() ? nullptr : found->second;
}

}  // namespace platform

int GetObjectW(HGDIOBJ object, int size, LPVOID buffer) {
    const platform::GdiObjectRef found = platform::FindGdiObject(object);
    if (found == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    std::size_t descriptionSize = 0;
    const void* description = found->Description(&descriptionSize);
    if (buffer == nullptr) return static_cast<int>(descriptionSize);
    if (size <= 0) return 0;
    const std::size_t copied = std::min(descriptionSize, static_cast<std::size_t>(size));
    std::memcpy(buffer, description, copied);
    return static_cast<int>(copied);
}

BOOL DeleteObject(HGDIOBJ object) {
    if (object == nullptr) return FALSE;
    platform::GdiObjectRef removed;
    {
        auto& table = platform::Table();
        std::lock_guard<std::mutex> lock(table.mutex);
        auto found = table.objects.find(object);
        if (found == table.objects.end()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        if (found->second->stock) return TRUE;
        // A device context still draws with it (or will again after RestoreDC).
        if (found->second->holders.load() > 0) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        removed = std::move(found->second);
        table.objects.erase(found);
    }
    return TRUE;
}
