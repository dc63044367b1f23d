// Helpers shared by the Reg* calls.
#include "platform/registry/RegistryCall.h"

#include <cstring>

#include "platform/registry/Registry.h"
#include "platform/registry/RegistryPath.h"

namespace platform::registry {

LONG PathBelow(const KeyRow& base, const std::vector<std::u16string>& names, std::u16string& path) {
    if (PathDepth(base.path) + names.size() > kMaxKeyDepth) return ERROR_INVALID_PARAMETER;
    path = base.path;
    for (const std::u16string& name : names) path = JoinPath(path, FoldName(name));
    return ERROR_SUCCESS;
}

LONG CopyNameOut(const std::u16string& name, LPWSTR buffer, LPDWORD chars) {
    const std::uint64_t needed = std::uint64_t{name.size()} + 1;
    if (*chars < needed) {
        *chars = ToDword(needed);
        return ERROR_MORE_DATA;
    }
    name.copy(buffer, name.size());
    buffer[name.size()] = 0;
    *chars = ToDword(name.size());
    return ERROR_SUCCESS;
}

LONG CopyDataOut(const std::vector<std::uint8_t>& data, LPBYTE buffer, LPDWORD bytes) {
    if (bytes == nullptr) return ERROR_SUCCESS;
    if (data.size() > 0xFFFFFFFFu) return ERROR_REGISTRY_CORRUPT;
    const DWORD size = static_cast<DWORD>(data.size());
    if (buffer != nullptr) {
        if (*bytes < size) {
            *bytes = size;
            return ERROR_MORE_DATA;
        }
        if (size != 0) std::memcpy(buffer, data.data(), size);
    }
    *bytes = size;
    return ERROR_SUCCESS;
}

DWORD ToDword(std::uint64_t value) { return value > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<DWORD>(value); }

}  // namespace platform::registry
