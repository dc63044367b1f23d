// Prepared SQLite statements for the registry.
#include "platform/registry/SqliteStatement.h"

#include <sqlite3.h>

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

SqliteStatement::SqliteStatement(sqlite3* db, const char* sql) : db_(db), sql_(sql) {
    CheckSqlite(db_, sqlite3_prepare_v2(db_, sql, -1, &statement_, nullptr), sql);
}

SqliteStatement::~SqliteStatement() { sqlite3_finalize(statement_); }

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
