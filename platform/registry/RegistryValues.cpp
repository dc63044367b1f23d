// The Reg* calls on values: query, set, delete and enumerate.
#include <vector>

#include "platform/registry/KeyTable.h"
#include "platform/registry/Registry.h"
#include "platform/registry/RegistryCall.h"
#include "platform/registry/RegistryDatabase.h"
#include "platform/registry/RegistryPath.h"

using platform::registry::Guarded;
using platform::registry::KeyRow;
using platform::registry::KeyStore;
using platform::registry::KeyTable;
using platform::registry::OpenKey;
using platform::registry::RegistryDatabase;
using platform::registry::StoredValue;

namespace {

bool IsKnownType(DWORD type) {
    return type == REG_NONE || type == REG_SZ || type == REG_EXPAND_SZ || type == REG_BINARY || type == REG_DWORD ||
           type == REG_MULTI_SZ;
}

void SetType(LPDWORD type, const StoredValue& value) {
    if (type != nullptr) *type = value.type;
}

// Reads one value of the key `base` names: `lookup` finds it in the key's row; nothing
// found gives `missing`.
template <typename Lookup>
LONG ReadStoredValue(const OpenKey& base, Lookup lookup, DWORD missing, StoredValue& value) {
    return RegistryDatabase::Instance().Read([&](KeyStore& store) -> LONG {
        KeyRow row;
        const LONG resolved = store.Resolve(base, row);
        if (resolved != ERROR_SUCCESS) return resolved;
        auto stored = lookup(store, row);
        if (!stored) return static_cast<LONG>(missing);
        value = std::move(*stored);
        return ERROR_SUCCESS;
    });
}

}  // namespace

LONG RegQueryValueExW(HKEY key, LPCWSTR valueName, LPDWORD /*reserved*/, LPDWORD type, LPBYTE data, LPDWORD dataBytes) {
    return Guarded([&]() -> LONG {
        if (data != nullptr && dataBytes == nullptr) return ERROR_INVALID_PARAMETER;
        const auto base = KeyTable::Instance().Find(key);
        if (!base) return ERROR_INVALID_HANDLE;
        std::u16string name;
        const LONG status = platform::registry::ReadName(valueName, name);
        if (status != ERROR_SUCCESS) return status;
        StoredValue value;
        const LONG found = ReadStoredValue(
            *base, [&](KeyStore& store, const KeyRow& row) { return store.FindValue(row, name); },
            ERROR_FILE_NOT_FOUND, value);
        if (found != ERROR_SUCCESS) return found;
        SetType(type, value);
        return platform::registry::CopyDataOut(value.data, data, dataBytes);
    });
}

LONG RegSetValueExW(HKEY key, LPCWSTR valueName, DWORD /*reserved*/, DWORD type, const BYTE* data, DWORD dataBytes) {
    return Guarded([&]() -> LONG {
        if (!IsKnownType(type) || (data == nullptr && dataBytes != 0) || (type == REG_DWORD && dataBytes != 4))
            return ERROR_INVALID_PARAMETER;
        const auto base = KeyTable::Instance().Find(key);
        if (!base) return ERROR_INVALID_HANDLE;
        std::u16string name;
        const LONG status = platform::registry::ReadName(valueName, name);
        if (status != ERROR_SUCCESS) return status;
        return RegistryDatabase::Instance().Write([&](KeyStore& store) -> LONG {
            KeyRow row;
            const LONG resolved = store.Resolve(*base, row);
            if (resolved != ERROR_SUCCESS) return resolved;
            store.SetValue(row, name, type, data, dataBytes);
            return ERROR_SUCCESS;
        });
    });
}

LONG RegDeleteValueW(HKEY key, LPCWSTR valueName) {
    return Guarded([&]() -> LONG {
        const auto base = KeyTable::Instance().Find(key);
        if (!base) return ERROR_INVALID_HANDLE;
        std::u16string name;
        const LONG status = platform::registry::ReadName(valueName, name);
        if (status != ERROR_SUCCESS) return status;
        return RegistryDatabase::Instance().Write([&](KeyStore& store) -> LONG {
            KeyRow row;
            const LONG resolved = store.Resolve(*base, row);
            if (resolved != ERROR_SUCCESS) return resolved;
            return store.DeleteValue(row, name) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
        });
    });
}

LONG RegEnumValueW(HKEY key, DWORD index, LPWSTR valueName, LPDWORD valueNameChars, LPDWORD /*reserved*/, LPDWORD type,
                   LPBYTE data, LPDWORD dataBytes) {
    return Guarded([&]() -> LONG {
        if (valueName == nullptr || valueNameChars == nullptr || (data != nullptr && dataBytes == nullptr))
            return ERROR_INVALID_PARAMETER;
        const auto base = KeyTable::Instance().Find(key);
        if (!base) return ERROR_INVALID_HANDLE;
        StoredValue value;
        const LONG found = ReadStoredValue(
            *base, [&](KeyStore& store, const KeyRow& row) { return store.ValueAt(row, index); },
            ERROR_NO_MORE_ITEMS, value);
        if (found != ERROR_SUCCESS) return found;
        const LONG copied = platform::registry::CopyNameOut(value.name, valueName, valueNameChars);
        if (copied != ERROR_SUCCESS) return copied;
        SetType(type, value);
        return platform::registry::CopyDataOut(value.data, data, dataBytes);
    });
}
