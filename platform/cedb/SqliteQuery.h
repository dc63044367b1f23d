// Small helpers over SQLite for the volumes: a cached statement that resets itself when it
// goes out of scope, and a write transaction that rolls back unless committed.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/base/Types.h"

namespace platform::cedb {

class Volume;

class Query {
public:
    Query(Volume& volume, const char* sql);
    ~Query();
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;

    Query& Bind(int index, std::int64_t value);
    Query& BindBlob(int index, const void* data, std::size_t size);

    // One step: true with a row, false when done or failed (Failed() tells which).
    bool Next();
    // Runs a statement that returns no rows; false on failure.
    bool Run();
    bool Failed() const { return result_ != SQLITE_OK && result_ != SQLITE_ROW && result_ != SQLITE_DONE; }
    int Result() const { return result_; }

    std::int64_t Int(int column) const;
    std::vector<BYTE> Blob(int column) const;
    const BYTE* BlobData(int column) const;
    std::size_t BlobSize(int column) const;
    bool IsNull(int column) const;

private:
    sqlite3_stmt* statement_ = nullptr;
    int result_ = SQLITE_OK;
};

class WriteTransaction {
public:
    explicit WriteTransaction(Volume& volume);
    ~WriteTransaction();
    WriteTransaction(const WriteTransaction&) = delete;
    WriteTransaction& operator=(const WriteTransaction&) = delete;

    bool Begun() const { return begun_; }
    int Result() const { return result_; }
    bool Commit();

private:
    Volume& volume_;
    bool begun_ = false;
    bool done_ = false;
    int result_ = SQLITE_OK;
};

}  // namespace platform::cedb
