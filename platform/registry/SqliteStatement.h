// A prepared SQLite statement with checked binding and stepping; failures are thrown as
// SqliteError and turned into registry error codes by RegistryDatabase.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace platform::registry {

class SqliteError : public std::runtime_error {
public:
    SqliteError(int code, const std::string& message) : std::runtime_error(message), code_(code) {}
    // The primary SQLite result code (SQLITE_BUSY, SQLITE_CORRUPT, ...).
    int Code() const { return code_; }

private:
    int code_;
};

// Throws SqliteError for a result code other than SQLITE_OK, naming what was being done.
void CheckSqlite(sqlite3* db, int result, const char* doing);
// Runs statements that return no rows.
void ExecuteSql(sqlite3* db, const char* sql);

// Keeps the statements of `db` prepared after use, for the next statement of the same text:
// parsing took more of a registry call than running it. Until ForgetStatements, a statement
// of that text in use is not shared: a second one is prepared beside it.
void KeepStatements(sqlite3* db);
// Finalizes the kept statements of `db` (one in use, when its user is done); called before
// it is closed.
void ForgetStatements(sqlite3* db);

class SqliteStatement {
public:
    SqliteStatement(sqlite3* db, const char* sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    // Parameters are numbered from 1, as in the SQL text (?1, ?2 ...).
    SqliteStatement& Bind(int index, std::int64_t value);
    // Binds bytes as a blob; no bytes bind an empty blob, never NULL.
    SqliteStatement& Bind(int index, const std::vector<std::uint8_t>& bytes);
    SqliteStatement& Bind(int index, const void* bytes, std::size_t count);

    // True when a row is ready, false when the statement is done.
    bool Step();
    // Steps a statement that returns no rows.
    void Run();
    // Makes the statement ready to run again with new parameters.
    void Reset();

    // Columns are numbered from 0. A NULL blob reads as no bytes.
    std::int64_t Integer(int column) const;
    const std::uint8_t* BlobData(int column) const;
    std::size_t BlobSize(int column) const;
    std::vector<std::uint8_t> Blob(int column) const;

private:
    sqlite3* db_;
    sqlite3_stmt* statement_ = nullptr;
    bool kept_ = false;  // borrowed from the kept statements of db_
    // A copy: callers build some statements' text in temporaries, and a failure reports
    // the text long after the constructor returned.
    std::string sql_;
};

}  // namespace platform::registry
