// One volume file open in this process: its SQLite connection, its schema, and the
// operations on databases, records, streams and the change journal that the calls build on.
// Every change is one transaction that also appends to the journal, so that every process
// learns of it. Callers hold the library lock (CedbLock) around every use.
//
// Index: Volume.cpp (opening, schema, statements, errors), Volume_databases.cpp,
// Volume_records.cpp, Volume_journal.cpp.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/cedb/PropertyValue.h"
#include "platform/cedb/SortOrder.h"

namespace platform::cedb {

// Who made a change: the process and its database handle (notifications skip the handle
// that made the change).
struct ChangeOrigin {
    std::int64_t process = 0;
    std::uint64_t handle = 0;
};

struct DatabaseRow {
    CEOID oid = 0;
    std::u16string name;
    DWORD type = 0;
    DWORD flags = 0;
    std::uint64_t modified = 0;  // FILETIME
    std::vector<SORTORDERSPECEX> sortOrders;
};

struct JournalEntry {
    std::int64_t sequence = 0;
    CEOID database = 0;
    CEOID object = 0;
    UINT type = 0;
    ChangeOrigin origin;
};

// One property change of a write: a value to set, or a property to delete.
struct PropertyChange {
    PropertyValue value;
    bool remove = false;
};

class Volume {
public:
    // creation: CREATE_NEW (1), OPEN_EXISTING (3) or OPEN_ALWAYS (4).
    static std::shared_ptr<Volume> Open(const std::string& path, DWORD creation, DWORD& error);
    ~Volume();
    Volume(const Volume&) = delete;
    Volume& operator=(const Volume&) = delete;

    const std::string& Path() const { return path_; }
    sqlite3* Connection() { return db_; }
    // A prepared statement, kept for the life of the connection.
    sqlite3_stmt* Statement(const char* sql, int& result);
    // The last error for a failed SQLite call; a damaged file is reported on stderr.
    DWORD ErrorFromSqlite(int result);

    // Databases
    bool CreateDatabase(const DatabaseRow& row, CEOID& oid, DWORD& error);
    bool FindDatabase(const std::u16string& name, CEOID& oid, DWORD& error);
    bool LoadDatabase(CEOID oid, DatabaseRow& row, DWORD& error);
    bool DeleteDatabase(CEOID oid, const ChangeOrigin& origin, DWORD& error);
    // Raised by every record change; a handle re-reads its order when it moved.
    bool Generation(CEOID database, std::int64_t& generation, DWORD& error);
    bool DatabaseTotals(CEOID database, DWORD& records, std::uint64_t& bytes, DWORD& error);
    // The database of a record, or 0.
    bool DatabaseOfRecord(CEOID record, CEOID& database, DWORD& error);

    // Records
    // Calls `visit` for each record of the database in object-id order; with properties, the
    // stored bytes are handed over too (else null and 0).
    bool ForEachRecord(CEOID database, bool withProperties,
                       const std::function<void(CEOID, const BYTE*, std::size_t)>& visit, DWORD& error);
    // A missing record gives ERROR_KEY_DELETED, a damaged one ERROR_INVALID_DATA.
    bool ReadRecord(CEOID database, CEOID record, std::vector<PropertyValue>& properties, DWORD& error);
    // record 0 makes a new record (with the next item id); `record` receives its object id.
    bool WriteRecord(CEOID database, CEOID& record, const std::vector<PropertyChange>& changes,
                     const ChangeOrigin& origin, DWORD& error);
    bool DeleteRecord(CEOID database, CEOID record, const ChangeOrigin& origin, DWORD& error);
    // Puts bytes in place of a record's stored form without any check (tests and fuzzing).
    bool ReplaceStoredRecord(CEOID database, CEOID record, const BYTE* data, std::size_t size, DWORD& error);

    // Streams of a record
    bool ReadStream(CEOID record, CEPROPID property, std::vector<BYTE>& data, bool& found, DWORD& error);
    bool StreamSizes(CEOID record, std::vector<std::pair<CEPROPID, std::uint64_t>>& sizes, DWORD& error);
    bool SaveStream(CEOID database, CEOID record, CEPROPID property, const std::vector<BYTE>& data,
                    const ChangeOrigin& origin, DWORD& error);

    // Journal
    // Starts following the journal from its end (the first listener of this process).
    bool StartReading(DWORD& error);
    void StopReading();
    bool IsReading() const { return readerId_ != 0; }
    // Whether another connection or this one changed the file since the last call.
    bool ChangedSinceLastLook();
    bool ReadJournal(std::vector<JournalEntry>& entries, DWORD& error);

    // Bookkeeping of this process
    int mountCount = 0;
    DWORD mountId = 0;
    int listenerCount = 0;

private:
    explicit Volume(std::string path) : path_(std::move(path)) {}
    bool PrepareSchema(DWORD& error);
    bool NextObjectId(CEOID& oid, DWORD& error);
    bool Touch(CEOID database, bool records, DWORD& error);
    bool AppendJournal(CEOID database, CEOID object, UINT type, const ChangeOrigin& origin, DWORD& error);
    void TrimJournal();

    std::string path_;
    sqlite3* db_ = nullptr;
    std::unordered_map<const char*, sqlite3_stmt*> statements_;
    bool reportedDamage_ = false;
    std::unordered_set<CEOID> reportedRecords_;  // damaged records already named on stderr
    std::int64_t readerId_ = 0;
    std::int64_t lastSeen_ = 0;
    std::int64_t dataVersion_ = -1;
    std::uint64_t ownChanges_ = 0;
    std::uint64_t ownChangesSeen_ = 0;
    unsigned journalAppends_ = 0;
};

}  // namespace platform::cedb
