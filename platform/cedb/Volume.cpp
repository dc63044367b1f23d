// Opening a volume file, its schema, its statement cache and the mapping of SQLite results
// to the handset's error codes.
#include "platform/cedb/Volume.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/base/Errors.h"
#include "platform/cedb/SqliteQuery.h"

namespace platform::cedb {

namespace {

constexpr DWORD kCreateNew = 1;
constexpr DWORD kOpenExisting = 3;
constexpr std::int64_t kFormat = 1;
// Object ids start with the top bit set, as many of the handset's do, so that every user
// of them treats them as unsigned.
constexpr std::int64_t kFirstObjectId = 0x80001001;

constexpr const char* kSchema =
    "CREATE TABLE volume_info(key TEXT PRIMARY KEY, value INTEGER NOT NULL);"
    "CREATE TABLE databases(oid INTEGER PRIMARY KEY, name BLOB NOT NULL, folded_name BLOB NOT NULL UNIQUE,"
    " type INTEGER NOT NULL, flags INTEGER NOT NULL, modified INTEGER NOT NULL,"
    " generation INTEGER NOT NULL, next_item_id INTEGER NOT NULL);"
    "CREATE TABLE sort_orders(db_oid INTEGER NOT NULL, position INTEGER NOT NULL, num_props INTEGER NOT NULL,"
    " key_flags INTEGER NOT NULL, prop0 INTEGER NOT NULL, flags0 INTEGER NOT NULL, prop1 INTEGER NOT NULL,"
    " flags1 INTEGER NOT NULL, prop2 INTEGER NOT NULL, flags2 INTEGER NOT NULL, PRIMARY KEY(db_oid, position));"
    "CREATE TABLE records(oid INTEGER PRIMARY KEY, db_oid INTEGER NOT NULL, props BLOB NOT NULL);"
    "CREATE INDEX records_by_database ON records(db_oid, oid);"
    "CREATE TABLE streams(record_oid INTEGER NOT NULL, propid INTEGER NOT NULL, data BLOB NOT NULL,"
    " PRIMARY KEY(record_oid, propid));"
    "CREATE TABLE journal(seq INTEGER PRIMARY KEY AUTOINCREMENT, db_oid INTEGER NOT NULL, oid INTEGER NOT NULL,"
    " type INTEGER NOT NULL, pid INTEGER NOT NULL, handle INTEGER NOT NULL);"
    "CREATE TABLE journal_readers(reader INTEGER PRIMARY KEY AUTOINCREMENT, pid INTEGER NOT NULL,"
    " seen INTEGER NOT NULL);";

// The first column of the first row of a query, as text; empty when there is none.
std::string FirstText(sqlite3* db, const char* sql) {
    sqlite3_stmt* statement = nullptr;
    std::string text;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) == SQLITE_OK && sqlite3_step(statement) == SQLITE_ROW) {
        const auto* bytes = sqlite3_column_text(statement, 0);
        if (bytes) text.assign(reinterpret_cast<const char*>(bytes), sqlite3_column_bytes(statement, 0));
    }
    sqlite3_finalize(statement);
    return text;
}

// Every table and index of a database with the statement that made it, in one text.
std::string SchemaText(sqlite3* db) {
    return FirstText(db,
                     "SELECT group_concat(type || ' ' || name || ' ' || ifnull(sql, ''), ';') FROM "
                     "(SELECT * FROM sqlite_master ORDER BY type, name)");
}

// The schema a volume has: that of a new one, made once in memory.
const std::string& VolumeSchemaText() {
    static const std::string* text = [] {
        sqlite3* db = nullptr;
        sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_MEMORY, nullptr);
        sqlite3_exec(db, kSchema, nullptr, nullptr, nullptr);
        auto* made = new std::string(SchemaText(db));
        sqlite3_close(db);
        return made;
    }();
    return *text;
}

// What is wrong with a volume that says it is one: tables made otherwise, or pages and
// indexes that SQLite's check refuses; empty when nothing is. Damage that only a later call
// would meet might be met after the file had been written to, so all of it is looked at
// once, before the first write.
std::string VolumeDamage(sqlite3* db) {
    if (SchemaText(db) != VolumeSchemaText()) return "its tables are not those of a volume";
    const std::string check = FirstText(db, "PRAGMA integrity_check(1)");
    return check == "ok" ? std::string() : "its pages are damaged (" + (check.empty() ? "unreadable" : check) + ")";
}

}  // namespace

std::shared_ptr<Volume> Volume::Open(const std::string& path, DWORD creation, DWORD& error) {
    struct stat info {};
    bool exists = ::stat(path.c_str(), &info) == 0;
    if (exists && !S_ISREG(info.st_mode)) {
        error = ERROR_ACCESS_DENIED;
        return nullptr;
    }
    if (creation == kOpenExisting && !exists) {
        error = ERROR_FILE_NOT_FOUND;
        return nullptr;
    }
    if (creation == kCreateNew) {
        // O_EXCL decides between two processes creating the same volume at once.
        int fd = ::open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0644);
        if (fd < 0) {
            error = errno == EEXIST ? ERROR_FILE_EXISTS : ERROR_ACCESS_DENIED;
            return nullptr;
        }
        ::close(fd);
    }
    std::shared_ptr<Volume> volume(new Volume(path));
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX | (creation == kOpenExisting ? 0 : SQLITE_OPEN_CREATE);
    int result = sqlite3_open_v2(path.c_str(), &volume->db_, flags, nullptr);
    if (result != SQLITE_OK) {
        error = volume->ErrorFromSqlite(result);
        return nullptr;
    }
    sqlite3_busy_timeout(volume->db_, 10000);
    if (!volume->PrepareSchema(error)) return nullptr;
    return volume;
}

Volume::~Volume() {
    StopReading();
    for (auto& entry : statements_) sqlite3_finalize(entry.second);
    if (db_) sqlite3_close(db_);
}

bool Volume::PrepareSchema(DWORD& error) {
    {
        WriteTransaction transaction(*this);
        if (!transaction.Begun()) {
            error = ErrorFromSqlite(transaction.Result());
            return false;
        }
        std::int64_t tables = 0;
        {
            Query count(*this, "SELECT count(*) FROM sqlite_master");
            if (!count.Next()) {
                error = ErrorFromSqlite(count.Result());
                return false;
            }
            tables = count.Int(0);
        }
        if (tables == 0) {
            int result = sqlite3_exec(db_, kSchema, nullptr, nullptr, nullptr);
            if (result == SQLITE_OK) {
                Query format(*this, "INSERT INTO volume_info(key, value) VALUES('format', ?), ('next_oid', ?)");
                if (!format.Bind(1, kFormat).Bind(2, kFirstObjectId).Run()) result = format.Result();
            }
            if (result != SQLITE_OK && result != SQLITE_DONE) {
                error = ErrorFromSqlite(result);
                return false;
            }
        } else {
            sqlite3_stmt* statement = nullptr;
            int result =
                sqlite3_prepare_v2(db_, "SELECT value FROM volume_info WHERE key = 'format'", -1, &statement, nullptr);
            bool ours = result == SQLITE_OK && sqlite3_step(statement) == SQLITE_ROW &&
                        sqlite3_column_int64(statement, 0) == kFormat;
            sqlite3_finalize(statement);
            if (!ours) {
                std::fprintf(stderr,
                             "%s: the file is a database of another kind or format, not a property-database volume.\n",
                             path_.c_str());
                error = ERROR_BADDB;
                return false;
            }
            if (const std::string damage = VolumeDamage(db_); !damage.empty()) {
                std::fprintf(stderr, "%s: the volume file is damaged: %s.\n", path_.c_str(), damage.c_str());
                error = ERROR_BADDB;
                return false;
            }
        }
        if (!transaction.Commit()) {
            error = ErrorFromSqlite(transaction.Result());
            return false;
        }
    }
    // Readers and the writer of other processes work side by side in WAL mode.
    // NORMAL keeps the file sound after a crash in WAL mode without a sync per change.
    int result = sqlite3_exec(db_, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
    if (result != SQLITE_OK) {
        error = ErrorFromSqlite(result);
        return false;
    }
    return true;
}

sqlite3_stmt* Volume::Statement(const char* sql, int& result) {
    auto found = statements_.find(sql);
    if (found != statements_.end()) {
        result = SQLITE_OK;
        return found->second;
    }
    sqlite3_stmt* statement = nullptr;
    result = sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr);
    if (result != SQLITE_OK) {
        sqlite3_finalize(statement);
        return nullptr;
    }
    statements_.emplace(sql, statement);
    return statement;
}

DWORD Volume::ErrorFromSqlite(int result) {
    switch (result & 0xFF) {
        case SQLITE_NOTADB:
        case SQLITE_CORRUPT:
            if (!reportedDamage_) {
                reportedDamage_ = true;
                std::fprintf(stderr, "%s: the volume file is damaged or is not a volume (%s).\n", path_.c_str(),
                             sqlite3_errstr(result));
            }
            return ERROR_BADDB;
        case SQLITE_FULL:
            return ERROR_DISK_FULL;
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return ERROR_SHARING_VIOLATION;
        case SQLITE_NOMEM:
            return ERROR_NOT_ENOUGH_MEMORY;
        case SQLITE_READONLY:
        case SQLITE_PERM:
        case SQLITE_AUTH:
        case SQLITE_CANTOPEN:
            return ERROR_ACCESS_DENIED;
        case SQLITE_IOERR:
            return ERROR_WRITE_FAULT;
        default:
            return ERROR_BADDB;
    }
}

}  // namespace platform::cedb
