// Cached statements and write transactions of a volume.
#include "platform/cedb/SqliteQuery.h"

#include "platform/cedb/Volume.h"

namespace platform::cedb {

Query::Query(Volume& volume, const char* sql) { statement_ = volume.Statement(sql, result_); }

Query::~Query() {
    if (statement_) {
        sqlite3_reset(statement_);
        sqlite3_clear_bindings(statement_);
    }
}

Query& Query::Bind(int index, std::int64_t value) {
    if (statement_ && !Failed()) {
        int result = sqlite3_bind_int64(statement_, index, value);
        if (result != SQLITE_OK) result_ = result;
    }
    return *this;
}

Query& Query::BindBlob(int index, const void* data, std::size_t size) {
    if (statement_ && !Failed()) {
        // A zero-length blob must still bind as a blob, not as NULL.
        static const BYTE kEmpty = 0;
        int result = sqlite3_bind_blob64(statement_, index, size ? data : &kEmpty, size, SQLITE_TRANSIENT);
        if (result != SQLITE_OK) result_ = result;
    }
    return *this;
}

bool Query::Next() {
    if (!statement_ || Failed()) return false;
    result_ = sqlite3_step(statement_);
    return result_ == SQLITE_ROW;
}

bool Query::Run() {
    if (!statement_ || Failed()) return false;
    do {
        result_ = sqlite3_step(statement_);
    } while (result_ == SQLITE_ROW);
    return result_ == SQLITE_DONE;
}

std::int64_t Query::Int(int column) const { return sqlite3_column_int64(statement_, column); }

const BYTE* Query::BlobData(int column) const {
    return static_cast<const BYTE*>(sqlite3_column_blob(statement_, column));
}

std::size_t Query::BlobSize(int column) const {
    int size = sqlite3_column_bytes(statement_, column);
    return size > 0 ? static_cast<std::size_t>(size) : 0;
}

std::vector<BYTE> Query::Blob(int column) const {
    const BYTE* data = BlobData(column);
    std::size_t size = BlobSize(column);
    return data ? std::vector<BYTE>(data, data + size) : std::vector<BYTE>();
}

bool Query::IsNull(int column) const { return sqlite3_column_type(statement_, column) == SQLITE_NULL; }

WriteTransaction::WriteTransaction(Volume& volume) : volume_(volume) {
    // IMMEDIATE takes the write lock at once (waiting through the busy timeout), so that two
    // processes never deadlock upgrading read transactions.
    result_ = sqlite3_exec(volume_.Connection(), "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    begun_ = result_ == SQLITE_OK;
}

WriteTransaction::~WriteTransaction() {
    if (begun_ && !done_) sqlite3_exec(volume_.Connection(), "ROLLBACK", nullptr, nullptr, nullptr);
}

bool WriteTransaction::Commit() {
    if (!begun_ || done_) return false;
    result_ = sqlite3_exec(volume_.Connection(), "COMMIT", nullptr, nullptr, nullptr);
    if (result_ == SQLITE_OK) {
        done_ = true;
        return true;
    }
    return false;
}

}  // namespace platform::cedb
