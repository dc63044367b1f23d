// The registry's keys, values and change counters as rows of registry.db, read and written
// inside a transaction that RegistryDatabase holds open.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/Types.h"
#include "platform/registry/KeyTable.h"

struct sqlite3;

namespace platform::registry {

// A key row: its id and its folded path below its hive.
struct KeyRow {
    std::int64_t id = 0;
    Hive hive = Hive::LocalMachine;
    std::u16string path;
};

struct SubKey {
    std::u16string name;
    std::u16string keyClass;
};

struct StoredValue {
    std::u16string name;
    DWORD type = 0;
    std::vector<std::uint8_t> data;
};

struct KeyInfo {
    std::u16string keyClass;
    std::uint64_t subKeys = 0;
    std::uint64_t maxSubKeyChars = 0;
    std::uint64_t maxClassChars = 0;
    std::uint64_t values = 0;
    std::uint64_t maxValueNameChars = 0;
    std::uint64_t maxValueBytes = 0;
};

class KeyStore {
public:
    KeyStore(sqlite3* db, const std::string& registryPath) : db_(db), registryPath_(registryPath) {}

    // Creates the tables and the hives' root keys in a new, empty registry.db.
    static void CreateSchema(sqlite3* db);

    // The row behind an open key: ERROR_INVALID_HANDLE for a key of another registry file,
    // ERROR_KEY_DELETED for a key deleted since it was opened, ERROR_REGISTRY_CORRUPT when a
    // hive's root is missing.
    LONG Resolve(const OpenKey& key, KeyRow& row);
    std::optional<KeyRow> FindKey(Hive hive, const std::u16string& path);
    // What a handle to the key stands for.
    OpenKey Handle(const KeyRow& row) const { return OpenKey{row.hive, row.id, registryPath_}; }
    // Opens or creates each name below base in turn; `created` tells whether the last key is
    // new. A new key gets keyClass.
    KeyRow CreateKey(const KeyRow& base, const std::vector<std::u16string>& names, const std::u16string& keyClass,
                     bool& created);
    // Deletes the key, every key below it and their values.
    void DeleteTree(const KeyRow& key);

    std::optional<SubKey> SubKeyAt(const KeyRow& key, std::uint64_t index);
    KeyInfo Info(const KeyRow& key);

    std::optional<StoredValue> FindValue(const KeyRow& key, const std::u16string& name);
    std::optional<StoredValue> ValueAt(const KeyRow& key, std::uint64_t index);
    void SetValue(const KeyRow& key, const std::u16string& name, DWORD type, const BYTE* data, DWORD bytes);
    // False when there is no such value.
    bool DeleteValue(const KeyRow& key, const std::u16string& name);

    // Raises the change counter of the key at path and of every key above it.
    void RaiseChange(Hive hive, const std::u16string& path);
    std::uint64_t ChangeCounter(Hive hive, const std::u16string& path);

private:
    sqlite3* db_;
    const std::string& registryPath_;
};

}  // namespace platform::registry
