// Keys, values and change counters as rows of registry.db.
#include "platform/registry/KeyStore.h"

#include <sqlite3.h>

#include "platform/base/Errors.h"
#include "platform/registry/RegistryPath.h"
#include "platform/registry/SqliteStatement.h"

namespace platform::registry {

namespace {

// Paths and names are UTF-16BE blobs (see EncodeName), so that ORDER BY path sorts by the
// folded names and a subtree is the range of paths that start with "<path>\".
constexpr const char* kSchema = R"sql(
CREATE TABLE keys(
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    hive INTEGER NOT NULL,
    parent INTEGER,
    path BLOB NOT NULL,
    name BLOB NOT NULL,
    class BLOB NOT NULL,
    UNIQUE(hive, path));
CREATE INDEX keys_by_parent ON keys(parent, path);
CREATE TABLE key_values(
    key INTEGER NOT NULL,
    folded BLOB NOT NULL,
    name BLOB NOT NULL,
    type INTEGER NOT NULL,
    data BLOB NOT NULL,
    PRIMARY KEY(key, folded));
CREATE TABLE changes(
    hive INTEGER NOT NULL,
    path BLOB NOT NULL,
    counter INTEGER NOT NULL,
    PRIMARY KEY(hive, path)) WITHOUT ROWID;
INSERT INTO keys(hive, parent, path, name, class) VALUES
    (0, NULL, x'', x'', x''), (1, NULL, x'', x'', x''), (2, NULL, x'', x'', x'');
)sql";

// Selects the key at ?2 and every key below it, in hive ?1; ?3 and ?4 bound the paths
// that start with "<path>\" ("]" is the character after "\").
constexpr const char* kSubtree = "hive = ?1 AND (path = ?2 OR (path >= ?3 AND path < ?4))";

void BindSubtree(SqliteStatement& statement, const KeyRow& key) {
    statement.Bind(1, static_cast<std::int64_t>(key.hive))
        .Bind(2, EncodeName(key.path))
        .Bind(3, EncodeName(key.path + u"\\"))
        .Bind(4, EncodeName(key.path + u"]"));
}

std::u16string TextColumn(const SqliteStatement& statement, int column) {
    const std::uint8_t* bytes = statement.BlobData(column);
    return bytes ? DecodeName(bytes, statement.BlobSize(column)) : std::u16string();
}

StoredValue ValueColumns(const SqliteStatement& statement) {
    StoredValue value;
    value.name = TextColumn(statement, 0);
    value.type = static_cast<DWORD>(statement.Integer(1));
    value.data = statement.Blob(2);
    return value;
}

std::uint64_t Count(std::int64_t value) { return value > 0 ? static_cast<std::uint64_t>(value) : 0; }

}  // namespace

void KeyStore::CreateSchema(sqlite3* db) { ExecuteSql(db, kSchema); }

LONG KeyStore::Resolve(const OpenKey& key, KeyRow& row) {
    if (key.id == 0) {
        const auto root = FindKey(key.hive, std::u16string());
        if (!root) return ERROR_REGISTRY_CORRUPT;
        row = *root;
        return ERROR_SUCCESS;
    }
    if (key.registry != registryPath_) return ERROR_INVALID_HANDLE;
    SqliteStatement select(db_, "SELECT hive, path FROM keys WHERE id = ?1");
    select.Bind(1, key.id);
    if (!select.Step()) return ERROR_KEY_DELETED;
    row.id = key.id;
    row.hive = static_cast<Hive>(select.Integer(0));
    row.path = TextColumn(select, 1);
    return ERROR_SUCCESS;
}

std::optional<KeyRow> KeyStore::FindKey(Hive hive, const std::u16string& path) {
    SqliteStatement select(db_, "SELECT id FROM keys WHERE hive = ?1 AND path = ?2");
    select.Bind(1, static_cast<std::int64_t>(hive)).Bind(2, EncodeName(path));
    if (!select.Step()) return std::nullopt;
    return KeyRow{select.Integer(0), hive, path};
}

KeyRow KeyStore::CreateKey(const KeyRow& base, const std::vector<std::u16string>& names, const std::u16string& keyClass,
                           bool& created) {
    created = false;
    KeyRow current = base;
    SqliteStatement insert(db_, "INSERT INTO keys(hive, parent, path, name, class) VALUES (?1, ?2, ?3, ?4, ?5)");
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::u16string path = JoinPath(current.path, FoldName(names[i]));
        if (!created) {
            if (auto existing = FindKey(current.hive, path)) {
                current = *existing;
                continue;
            }
        }
        const bool last = i + 1 == names.size();
        insert.Reset();
        insert.Bind(1, static_cast<std::int64_t>(current.hive))
            .Bind(2, current.id)
            .Bind(3, EncodeName(path))
            .Bind(4, EncodeName(names[i]))
            .Bind(5, EncodeName(last ? keyClass : std::u16string()));
        insert.Run();
        current = KeyRow{sqlite3_last_insert_rowid(db_), current.hive, path};
        created = true;
    }
    if (created) RaiseChange(current.hive, current.path);
    return current;
}

void KeyStore::DeleteTree(const KeyRow& key) {
    // Watchers of the deleted keys see the deletion too.
    SqliteStatement raise(db_, (std::string("INSERT INTO changes(hive, path, counter) SELECT hive, path, 1 FROM keys "
                                            "WHERE ") +
                                kSubtree + " ON CONFLICT(hive, path) DO UPDATE SET counter = counter + 1")
                                   .c_str());
    BindSubtree(raise, key);
    raise.Run();
    SqliteStatement values(
        db_, (std::string("DELETE FROM key_values WHERE key IN (SELECT id FROM keys WHERE ") + kSubtree + ")").c_str());
    BindSubtree(values, key);
    values.Run();
    SqliteStatement keys(db_, (std::string("DELETE FROM keys WHERE ") + kSubtree).c_str());
    BindSubtree(keys, key);
    keys.Run();
    if (!key.path.empty()) RaiseChange(key.hive, ParentPath(key.path));
}

std::optional<SubKey> KeyStore::SubKeyAt(const KeyRow& key, std::uint64_t index) {
    SqliteStatement select(db_, "SELECT name, class FROM keys WHERE parent = ?1 ORDER BY path LIMIT 1 OFFSET ?2");
    select.Bind(1, key.id).Bind(2, static_cast<std::int64_t>(index));
    if (!select.Step()) return std::nullopt;
    return SubKey{TextColumn(select, 0), TextColumn(select, 1)};
}

KeyInfo KeyStore::Info(const KeyRow& key) {
    KeyInfo info;
    SqliteStatement keyClass(db_, "SELECT class FROM keys WHERE id = ?1");
    keyClass.Bind(1, key.id);
    if (keyClass.Step()) info.keyClass = TextColumn(keyClass, 0);

    SqliteStatement subKeys(
        db_,
        "SELECT count(*), coalesce(max(length(name)), 0), coalesce(max(length(class)), 0) FROM keys "
        "WHERE parent = ?1");
    subKeys.Bind(1, key.id);
    if (subKeys.Step()) {
        info.subKeys = Count(subKeys.Integer(0));
        info.maxSubKeyChars = Count(subKeys.Integer(1)) / 2;
        info.maxClassChars = Count(subKeys.Integer(2)) / 2;
    }

    SqliteStatement values(
        db_,
        "SELECT count(*), coalesce(max(length(name)), 0), coalesce(max(length(data)), 0) FROM key_values "
        "WHERE key = ?1");
    values.Bind(1, key.id);
    if (values.Step()) {
        info.values = Count(values.Integer(0));
        info.maxValueNameChars = Count(values.Integer(1)) / 2;
        info.maxValueBytes = Count(values.Integer(2));
    }
    return info;
}

std::optional<StoredValue> KeyStore::FindValue(const KeyRow& key, const std::u16string& name) {
    SqliteStatement select(db_, "SELECT name, type, data FROM key_values WHERE key = ?1 AND folded = ?2");
    select.Bind(1, key.id).Bind(2, EncodeName(FoldName(name)));
    if (!select.Step()) return std::nullopt;
    return ValueColumns(select);
}

std::optional<StoredValue> KeyStore::ValueAt(const KeyRow& key, std::uint64_t index) {
    SqliteStatement select(db_,
                           "SELECT name, type, data FROM key_values WHERE key = ?1 ORDER BY folded LIMIT 1 OFFSET ?2");
    select.Bind(1, key.id).Bind(2, static_cast<std::int64_t>(index));
    if (!select.Step()) return std::nullopt;
    return ValueColumns(select);
}

void KeyStore::SetValue(const KeyRow& key, const std::u16string& name, DWORD type, const BYTE* data, DWORD bytes) {
    // A value written again under another case keeps the name it was created with.
    SqliteStatement upsert(db_,
                           "INSERT INTO key_values(key, folded, name, type, data) VALUES (?1, ?2, ?3, ?4, ?5) "
                           "ON CONFLICT(key, folded) DO UPDATE SET type = excluded.type, data = excluded.data");
    upsert.Bind(1, key.id)
        .Bind(2, EncodeName(FoldName(name)))
        .Bind(3, EncodeName(name))
        .Bind(4, static_cast<std::int64_t>(type))
        .Bind(5, data, bytes);
    upsert.Run();
    RaiseChange(key.hive, key.path);
}

bool KeyStore::DeleteValue(const KeyRow& key, const std::u16string& name) {
    SqliteStatement remove(db_, "DELETE FROM key_values WHERE key = ?1 AND folded = ?2");
    remove.Bind(1, key.id).Bind(2, EncodeName(FoldName(name)));
    remove.Run();
    if (sqlite3_changes(db_) == 0) return false;
    RaiseChange(key.hive, key.path);
    return true;
}

void KeyStore::RaiseChange(Hive hive, const std::u16string& path) {
    SqliteStatement raise(db_,
                          "INSERT INTO changes(hive, path, counter) VALUES (?1, ?2, 1) "
                          "ON CONFLICT(hive, path) DO UPDATE SET counter = counter + 1");
    std::u16string current = path;
    for (;;) {
        raise.Reset();
        raise.Bind(1, static_cast<std::int64_t>(hive)).Bind(2, EncodeName(current));
        raise.Run();
        if (current.empty()) break;
        current = ParentPath(current);
    }
}

std::uint64_t KeyStore::ChangeCounter(Hive hive, const std::u16string& path) {
    SqliteStatement select(db_, "SELECT counter FROM changes WHERE hive = ?1 AND path = ?2");
    select.Bind(1, static_cast<std::int64_t>(hive)).Bind(2, EncodeName(path));
    return select.Step() ? Count(select.Integer(0)) : 0;
}

}  // namespace platform::registry
