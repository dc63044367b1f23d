// The process's connection to <root>/registry.db: opening it (WAL, shared with every other
// process), one transaction per call with retries while another process holds the lock, and
// the translation of SQLite failures into the registry's error codes.
#pragma once

#include <chrono>
#include <functional>
#include <mutex>
#include <string>

#include "platform/base/Types.h"
#include "platform/registry/KeyStore.h"

struct sqlite3;

namespace platform::registry {

class SqliteError;

class RegistryDatabase {
public:
    static RegistryDatabase& Instance();

    // Runs body inside one transaction of the registry of the current handset root and
    // returns its result. A write commits only when body returns ERROR_SUCCESS and rolls
    // back otherwise. SQLite failures become error codes and a message on stderr.
    LONG Read(const std::function<LONG(KeyStore&)>& body);
    LONG Write(const std::function<LONG(KeyStore&)>& body);
    // Commits what the write-ahead log holds into registry.db and syncs it to the disk.
    LONG Flush();
    // Closes the connection; the next call opens the file again.
    void Disconnect();

private:
    RegistryDatabase() = default;
    ~RegistryDatabase();

    enum class Contents { Empty, Registry };

    LONG Run(bool write, const std::function<LONG(KeyStore&)>& body);
    // Opens the registry of the current handset root, or keeps the open one.
    LONG Connect();
    void OpenSchema();
    // Reads every page and index of a registry: damage throws SQLITE_CORRUPT.
    void CheckPages();
    // What registry.db holds; a write creates the tables in an empty file. A file with other
    // contents throws SQLITE_NOTADB.
    Contents ReadContents(bool write);
    void Close();
    LONG Failure(const SqliteError& error, bool write);
    static int BusyHandler(void* context, int attempt);

    std::mutex mutex_;
    sqlite3* db_ = nullptr;
    std::string path_;
    int openedBy_ = 0;  // the process that opened db_
    bool readOnly_ = false;
    std::string lastDamageReported_;
    std::string lastFailureReported_;
    std::chrono::steady_clock::time_point busySince_;
};

}  // namespace platform::registry
