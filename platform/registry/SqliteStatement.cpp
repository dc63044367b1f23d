// Prepared SQLite statements for the registry.
#include "platform/registry/SqliteStatement.h"

#include <sqlite3.h>

#include <map>
#include <mutex>
#include <string>

namespace platform::registry {

void CheckSqlite(sqlite3* db, int result, const char* doing) {
    if (result == SQLITE_OK) return;
    std::string message =
        std::string("\"") + doing + "\" failed: " + (db ? sqlite3_errmsg(db) : sqlite3_errstr(result)) + ".";
    throw SqliteError(result & 0xFF, message);
}

void ExecuteSql(sqlite3* db, const char* sql) {
    CheckSqlite(db, sqlite3_exec(db, sql, nullptr, nullptr, nullptr), sql);
}

namespace {

struct KeptStatement {
    sqlite3_stmt* statement;
    bool inUse;
};

// Per kept connection, its statements by text. Connections are used under their owner's
// lock, but there may be several owners: the map has its own lock.
std::mutex g_keptLock;
std::map<sqlite3*, std::multimap<std::string, KeptStatement>>* g_kept = nullptr;

}  // namespace

void KeepStatements(sqlite3* db) {
    std::lock_guard<std::mutex> lock(g_keptLock);
    if (g_kept == nullptr) g_kept = new std::map<sqlite3*, std::multimap<std::string, KeptStatement>>();
    (*g_kept)[db];
}

void ForgetStatements(sqlite3* db) {
    std::lock_guard<std::mutex> lock(g_keptLock);
    if (g_kept == nullptr) return;
    auto found = g_kept->find(db);
    if (found == g_kept->end()) return;
    // A statement in use is finalized by its user, which no longer finds it kept.
    for (auto& [text, kept] : found->second)
        if (!kept.inUse) sqlite3_finalize(kept.statement);
    g_kept->erase(found);
}

SqliteStatement::SqliteStatement(sqlite3* db, const char* sql) : db_(db), sql_(sql) {
    {
        std::lock_guard<std::mutex> lock(g_keptLock);
        if (g_kept != nullptr && g_kept->count(db) != 0) {
            auto [first, last] = (*g_kept)[db].equal_range(sql_);
            for (auto it = first; it != last && statement_ == nullptr; ++it) {
                if (it->second.inUse) continue;
                it->second.inUse = true;
                statement_ = it->second.statement;
                kept_ = true;
            }
            if (kept_) return;
        }
    }
    CheckSqlite(db_, sqlite3_prepare_v2(db_, sql, -1, &statement_, nullptr), sql);
    std::lock_guard<std::mutex> lock(g_keptLock);
    if (g_kept == nullptr || g_kept->count(db) == 0) return;
    (*g_kept)[db].emplace(sql_, KeptStatement{statement_, true});
    kept_ = true;
}

SqliteStatement::~SqliteStatement() {
    if (!kept_) {
        sqlite3_finalize(statement_);
        return;
    }
    // Reset, it holds no lock nor snapshot of the file and is ready for the next call.
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
    std::lock_guard<std::mutex> lock(g_keptLock);
    auto connection = g_kept->find(db_);
    if (connection != g_kept->end()) {
        auto [first, last] = connection->second.equal_range(sql_);
        for (auto it = first; it != last; ++it) {
            if (it->second.statement != statement_) continue;
            it->second.inUse = false;
            return;
        }
    }
    sqlite3_finalize(statement_);  // forgotten while in use
}

SqliteStatement& SqliteStatement::Bind(int index, std::int64_t value) {
    CheckSqlite(db_, sqlite3_bind_int64(statement_, index, value), sql_.c_str());
    return *this;
}

SqliteStatement& SqliteStatement::Bind(int index, const std::vector<std::uint8_t>& bytes) {
    return Bind(index, bytes.data(), bytes.size());
}

SqliteStatement& SqliteStatement::Bind(int index, const void* bytes, std::size_t count) {
    static const std::uint8_t kNoBytes = 0;
    CheckSqlite(db_, sqlite3_bind_blob64(statement_, index, count == 0 ? &kNoBytes : bytes, count, SQLITE_TRANSIENT),
                sql_.c_str());
    return *this;
}

bool SqliteStatement::Step() {
    const int result = sqlite3_step(statement_);
    if (result == SQLITE_ROW) return true;
    if (result == SQLITE_DONE) return false;
    CheckSqlite(db_, result, sql_.c_str());
    return false;
}

void SqliteStatement::Run() {
    while (Step()) {
    }
}

void SqliteStatement::Reset() {
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
}

std::int64_t SqliteStatement::Integer(int column) const { return sqlite3_column_int64(statement_, column); }

const std::uint8_t* SqliteStatement::BlobData(int column) const {
    return static_cast<const std::uint8_t*>(sqlite3_column_blob(statement_, column));
}

std::size_t SqliteStatement::BlobSize(int column) const {
    // Read the size after the data pointer, as SQLite converts the value for the pointer.
    const int bytes = sqlite3_column_bytes(statement_, column);
    return bytes > 0 ? static_cast<std::size_t>(bytes) : 0;
}

std::vector<std::uint8_t> SqliteStatement::Blob(int column) const {
    const std::uint8_t* data = BlobData(column);
    const std::size_t size = BlobSize(column);
    if (data == nullptr || size == 0) return {};
    return std::vector<std::uint8_t>(data, data + size);
}

}  // namespace platform::registry
