// The Reg* calls on keys: create, open, close, flush, delete, enumerate, describe, and the
// change counter that watchers poll.
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

namespace {

void ZeroTime(LPFILETIME time) {
    if (time != nullptr) *time = FILETIME{0, 0};
}

// Opens the key named by subKey below key, creating what is missing when `create` is set.
LONG OpenOrCreate(HKEY key, LPCWSTR subKey, LPCWSTR keyClass, bool create, PHKEY result, LPDWORD disposition) {
    return Guarded([&]() -> LONG {
        if (result == nullptr) return ERROR_INVALID_PARAMETER;
        *result = nullptr;
        if (create && subKey == nullptr) return ERROR_INVALID_PARAMETER;
        const auto base = KeyTable::Instance().Find(key);
        if (!base) return ERROR_INVALID_HANDLE;
        std::vector<std::u16string> names;
        std::u16string className;
        LONG status = platform::registry::SplitKeyPath(subKey, names);
        if (status == ERROR_SUCCESS) status = platform::registry::ReadName(keyClass, className);
        if (status != ERROR_SUCCESS) return status;

        OpenKey opened;
        bool created = false;
        auto body = [&](KeyStore& store) -> LONG {
            KeyRow row;
            LONG resolved = store.Resolve(*base, row);
            if (resolved != ERROR_SUCCESS) return resolved;
            std::u16string path;
            resolved = platform::registry::PathBelow(row, names, path);
            if (resolved != ERROR_SUCCESS) return resolved;
            if (create) {
                row = store.CreateKey(row, names, className, created);
            } else {
                const auto found = store.FindKey(row.hive, path);
                if (!found) return ERROR_FILE_NOT_FOUND;
                row = *found;
            }
            opened = store.Handle(row);
            return ERROR_SUCCESS;
        };
        status = create ? RegistryDatabase::Instance().Write(body) : RegistryDatabase::Instance().Read(body);
        if (status != ERROR_SUCCESS) return status;
        *result = KeyTable::Instance().Add(opened);
        if (disposition != nullptr) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
        return ERROR_SUCCESS;
    });
}

}  // namespace

LONG RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD /*reserved*/, LPWSTR keyClass, DWORD /*options*/,
                     REGSAM /*desired*/, LPSECURITY_ATTRIBUTES /*security*/, PHKEY result, LPDWORD disposition) {
    return OpenOrCreate(key, subKey, keyClass, true, result, disposition);
}

LONG RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD /*options*/, REGSAM /*desired*/, PHKEY result) {
    return OpenOrCreate(key, subKey, nullptr, false, result, nullptr);
}

LONG RegCloseKey(HKEY key) {
    if (KeyTable::PredefinedHive(key)) return ERROR_SUCCESS;
    return Guarded([&]() -> LONG { return KeyTable::Instance().Remove(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE; });
}

LONG RegFlushKey(HKEY key) {
    return Guarded([&]() -> LONG {
        if (!KeyTable::Instance().Find(key)) return ERROR_INVALID_HANDLE;
        return RegistryDatabase::Instance().Flush();
    });
}

LONG RegDeleteKeyW(HKEY key, LPCWSTR subKey) {
    return Guarded([&]() -> LONG {
        const auto base = KeyTable::Instance().Find(key);
        if (!base) return ERROR_INVALID_HANDLE;
        std::vector<std::u16string> names;
        const LONG status = platform::registry::SplitKeyPath(subKey, names);
        if (status != ERROR_SUCCESS) return status;
        // A root is never deleted, and a key only through its parent.
        if (names.empty()) return ERROR_INVALID_PARAMETER;
        return RegistryDatabase::Instance().Write([&](KeyStore& store) -> LONG {
            KeyRow row;
            LONG resolved = store.Resolve(*base, row);
            if (resolved != ERROR_SUCCESS) return resolved;
            std::u16string path;
            resolved = platform::registry::PathBelow(row, names, path);
            if (resolved != ERROR_SUCCESS) return resolved;
            const auto found = store.FindKey(row.hive, path);
            if (!found) return ERROR_FILE_NOT_FOUND;
            store.DeleteTree(*found);
            return ERROR_SUCCESS;
        });
    });
}

LONG RegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, LPDWORD nameChars, LPDWORD /*reserved*/, LPWSTR keyClass,
                   LPDWORD classChars, LPFILETIME lastWriteTime) {
    return Guarded([&]() -> LONG {
        if (name == nullptr || nameChars == nullptr || (keyClass != nullptr && classChars == nullptr))
            return ERROR_INVALID_PARAMETER;
        const auto base = KeyTable::Instance().Find(key);
        if (!base) return ERROR_INVALID_HANDLE;
        platform::registry::SubKey subKey;
        const LONG status = RegistryDatabase::Instance().Read([&](KeyStore& store) -> LONG {
            KeyRow row;
            const LONG resolved = store.Resolve(*base, row);
            if (resolved != ERROR_SUCCESS) return resolved;
            const auto found = store.SubKeyAt(row, index);
            if (!found) return ERROR_NO_MORE_ITEMS;
            subKey = *found;
            return ERROR_SUCCESS;
        });
        if (status != ERROR_SUCCESS) return status;
        const LONG copied = platform::registry::CopyNameOut(subKey.name, name, nameChars);
        if (copied != ERROR_SUCCESS) return copied;
        ZeroTime(lastWriteTime);
        if (keyClass != nullptr) return platform::registry::CopyNameOut(subKey.keyClass, keyClass, classChars);
        if (classChars != nullptr) *classChars = platform::registry::ToDword(subKey.keyClass.size());
        return ERROR_SUCCESS;
    });
}

LONG RegQueryInfoKeyW(HKEY key, LPWSTR keyClass, LPDWORD classChars, LPDWORD /*reserved*/, LPDWORD subKeys,
                      LPDWORD maxSubKeyChars, LPDWORD maxClassChars, LPDWORD values, LPDWORD maxValueNameChars,
                      LPDWORD maxValueBytes, LPDWORD securityDescriptorBytes, LPFILETIME lastWriteTime) {
    return Guarded([&]() -> LONG {
        if (keyClass != nullptr && classChars == nullptr) return ERROR_INVALID_PARAMETER;
        const auto base = KeyTable::Instance().Find(key);
        if (!base) return ERROR_INVALID_HANDLE;
        platform::registry::KeyInfo info;
        const LONG status = RegistryDatabase::Instance().Read([&](KeyStore& store) -> LONG {
            KeyRow row;
            const LONG resolved = store.Resolve(*base, row);
            if (resolved != ERROR_SUCCESS) return resolved;
            info = store.Info(row);
            return ERROR_SUCCESS;
        });
        if (status != ERROR_SUCCESS) return status;
        using platform::registry::ToDword;
        if (subKeys != nullptr) *subKeys = ToDword(info.subKeys);
        if (maxSubKeyChars != nullptr) *maxSubKeyChars = ToDword(info.maxSubKeyChars);
        if (maxClassChars != nullptr) *maxClassChars = ToDword(info.maxClassChars);
        if (values != nullptr) *values = ToDword(info.values);
        if (maxValueNameChars != nullptr) *maxValueNameChars = ToDword(info.maxValueNameChars);
        if (maxValueBytes != nullptr) *maxValueBytes = ToDword(info.maxValueBytes);
        if (securityDescriptorBytes != nullptr) *securityDescriptorBytes = 0;
        ZeroTime(lastWriteTime);
        if (keyClass != nullptr) return platform::registry::CopyNameOut(info.keyClass, keyClass, classChars);
        if (classChars != nullptr) *classChars = ToDword(info.keyClass.size());
        return ERROR_SUCCESS;
    });
}

namespace platform::registry {

ULONGLONG ChangeCounter(HKEY root, LPCWSTR subKey) {
    try {
        const auto base = KeyTable::Instance().Find(root);
        if (!base) return 0;
        std::vector<std::u16string> names;
        if (SplitKeyPath(subKey, names) != ERROR_SUCCESS) return 0;
        ULONGLONG counter = 0;
        RegistryDatabase::Instance().Read([&](KeyStore& store) -> LONG {
            KeyRow row;
            LONG resolved = store.Resolve(*base, row);
            std::u16string path;
            if (resolved == ERROR_SUCCESS) resolved = PathBelow(row, names, path);
            if (resolved == ERROR_SUCCESS) counter = store.ChangeCounter(row.hive, path);
            return resolved;
        });
        return counter;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

}  // namespace platform::registry
