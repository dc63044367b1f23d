// The process's connection to <root>/registry.db.
#include "platform/registry/RegistryDatabase.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <new>
#include <thread>
#include <vector>

#include "platform/base/Errors.h"
#include "platform/base/HandsetRoot.h"
#include "platform/registry/SqliteStatement.h"

namespace platform::registry {

namespace {

// Marks registry.db as ours: a SQLite file with other contents is damage, not a registry to
// build on.
constexpr int kApplicationId = 0x48524547;  // "HREG"
constexpr int kSchemaVersion = 1;

// How long one statement waits for another process's lock, and for how long a whole
// transaction is tried again when the wait was not enough (or a read snapshot went stale).
// A time, not a count of attempts: on a loaded machine with many processes opening a new
// registry at once, three waits of five seconds were seen to run out and lose a write.
constexpr auto kBusyTimeout = std::chrono::seconds(5);
constexpr auto kRetryFor = std::chrono::seconds(30);
constexpr auto kRetryPause = std::chrono::milliseconds(2);

// SQLITE_PROTOCOL is the write-ahead log's own "busy": a lock on its index that kept
// changing hands while SQLite tried to read it, which happens when many processes open the
// log at once.
bool IsBusy(int code) { return code == SQLITE_BUSY || code == SQLITE_LOCKED || code == SQLITE_PROTOCOL; }

// Whether a transaction that failed with code may still succeed when tried again, before
// the retry time that began at start runs out.
bool MayRetry(int code, std::chrono::steady_clock::time_point start) {
    if (!IsBusy(code) || std::chrono::steady_clock::now() - start >= kRetryFor) return false;
    std::this_thread::sleep_for(kRetryPause);
    return true;
}

int PragmaValue(sqlite3* db, const char* pragma) {
    SqliteStatement statement(db, pragma);
    return statement.Step() ? static_cast<int>(statement.Integer(0)) : 0;
}

// Connections a child inherited from its parent across a fork: never used nor closed (that
// is the parent's business), and kept reachable for the whole life of the process.
std::vector<sqlite3*>* g_inherited = nullptr;

bool IsDamage(int code) { return code == SQLITE_NOTADB || code == SQLITE_CORRUPT; }

// Every table and index of a database with the statement that made it, in one text.
std::string SchemaText(sqlite3* db) {
    SqliteStatement statement(db,
                              "SELECT group_concat(type || ' ' || name || ' ' || ifnull(sql, ''), ';') FROM "
                              "(SELECT * FROM sqlite_master ORDER BY type, name)");
    if (!statement.Step()) return std::string();
    const std::uint8_t* text = statement.BlobData(0);
    return text ? std::string(reinterpret_cast<const char*>(text), statement.BlobSize(0)) : std::string();
}

// The schema a registry has: that of a new one, made once in memory.
const std::string& RegistrySchemaText() {
    static const std::string* text = [] {
        sqlite3* db = nullptr;
        sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_MEMORY, nullptr);
        KeyStore::CreateSchema(db);
        auto* made = new std::string(SchemaText(db));
        sqlite3_close(db);
        return made;
    }();
    return *text;
}

}  // namespace

RegistryDatabase& RegistryDatabase::Instance() {
    static RegistryDatabase database;
    return database;
}

RegistryDatabase::~RegistryDatabase() { Close(); }

LONG RegistryDatabase::Read(const std::function<LONG(KeyStore&)>& body) { return Run(false, body); }

LONG RegistryDatabase::Write(const std::function<LONG(KeyStore&)>& body) { return Run(true, body); }

LONG RegistryDatabase::Run(bool write, const std::function<LONG(KeyStore&)>& body) {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        const LONG connected = Connect();
        if (connected != ERROR_SUCCESS) return connected;
        try {
            // IMMEDIATE takes the write lock first, so that a writer waits for another
            // instead of failing when its read snapshot turns out to be stale. A read-only
            // registry runs a write as a read: a call that finds nothing to change (a key
            // created that exists) succeeds, and the first change fails (SQLITE_READONLY).
            // As kept statements: each call begins and ends a transaction.
            SqliteStatement(db_, write && !readOnly_ ? "BEGIN IMMEDIATE" : "BEGIN").Run();
            KeyStore store(db_, path_);
            const LONG result = body(store);
            SqliteStatement(db_, !write || result == ERROR_SUCCESS ? "COMMIT" : "ROLLBACK").Run();
            lastFailureReported_.clear();
            return result;
        } catch (const SqliteError& error) {
            if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
            if (MayRetry(error.Code(), start)) continue;
            return Failure(error, write);
        } catch (const std::bad_alloc&) {
            if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
            return ERROR_OUTOFMEMORY;
        }
    }
}

LONG RegistryDatabase::Flush() {
    std::lock_guard<std::mutex> lock(mutex_);
    const LONG connected = Connect();
    if (connected != ERROR_SUCCESS) return connected;
    if (readOnly_) return ERROR_SUCCESS;  // nothing was written
    // A passive checkpoint syncs the log and copies what no reader still needs; the rest
    // stays durable in the synced log. Another process checkpointing at the same time
    // (SQLITE_BUSY) does the same work.
    const int result = sqlite3_wal_checkpoint_v2(db_, nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
    if (result == SQLITE_OK || result == SQLITE_BUSY) return ERROR_SUCCESS;
    try {
        CheckSqlite(db_, result, "flushing the registry");
    } catch (const SqliteError& error) {
        return Failure(error, true);
    }
    return ERROR_SUCCESS;
}

void RegistryDatabase::Disconnect() {
    std::lock_guard<std::mutex> lock(mutex_);
    Close();
}

LONG RegistryDatabase::Connect() {
    const std::string path = platform::HandsetRoot() + "/registry.db";
    if (db_ != nullptr && openedBy_ != getpid()) {
        // A connection must not cross a fork: the child leaves its parent's connection
        // alone and opens its own.
        if (g_inherited == nullptr) g_inherited = new std::vector<sqlite3*>();
        g_inherited->push_back(db_);
        db_ = nullptr;
    }
    if (db_ != nullptr && path == path_) return ERROR_SUCCESS;
    Close();
    path_ = path;
    openedBy_ = getpid();
    // A registry.db without the owner's write permission is read-only, even for a process
    // running as root: reads work and writes are refused.
    struct stat info {};
    readOnly_ = ::stat(path.c_str(), &info) == 0 && (info.st_mode & S_IWUSR) == 0;
    const int opened = sqlite3_open_v2(
        path.c_str(), &db_,
        (readOnly_ ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE) | SQLITE_OPEN_NOMUTEX, nullptr);
    try {
        CheckSqlite(db_, opened, "opening the registry");
        KeepStatements(db_);
        sqlite3_busy_handler(db_, &RegistryDatabase::BusyHandler, this);
        const auto start = std::chrono::steady_clock::now();
        for (;;) {
            try {
                OpenSchema();
                break;
            } catch (const SqliteError& error) {
                if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
                if (!MayRetry(error.Code(), start)) throw;
            }
        }
        return ERROR_SUCCESS;
    } catch (const SqliteError& error) {
        const LONG result = Failure(error, false);
        Close();
        return result;
    }
}

RegistryDatabase::Contents RegistryDatabase::ReadContents(bool write) {
    // One transaction, so that a registry another process is setting up at this moment is
    // seen either not at all or whole, never half made.
    ExecuteSql(db_, write ? "BEGIN IMMEDIATE" : "BEGIN");
    const int applicationId = PragmaValue(db_, "PRAGMA application_id");
    const int version = PragmaValue(db_, "PRAGMA user_version");
    int tables = 0;
    try {
        tables = PragmaValue(db_, "SELECT count(*) FROM sqlite_master");
    } catch (const SqliteError& error) {
        // The first read of the schema fails this way on a header that SQLite cannot
        // read ("unsupported file format"): the file is not one of ours.
        if (error.Code() != SQLITE_ERROR) throw;
        throw SqliteError(SQLITE_NOTADB, error.what());
    }
    Contents contents = Contents::Registry;
    if (applicationId == 0 && version == 0 && tables == 0) {
        contents = Contents::Empty;
    } else if (applicationId != kApplicationId || version != kSchemaVersion) {
        throw SqliteError(SQLITE_NOTADB, "the file holds other data than a registry (application " +
                                             std::to_string(applicationId) + ", version " + std::to_string(version) +
                                             ").");
    } else if (SchemaText(db_) != RegistrySchemaText()) {
        // A table missing or made otherwise would fail the calls that use it, one by one.
        throw SqliteError(SQLITE_CORRUPT, "its tables are not those of a registry.");
    }
    if (contents == Contents::Empty && write) {
        KeyStore::CreateSchema(db_);
        ExecuteSql(db_, ("PRAGMA application_id = " + std::to_string(kApplicationId)).c_str());
        ExecuteSql(db_, ("PRAGMA user_version = " + std::to_string(kSchemaVersion)).c_str());
        contents = Contents::Registry;
    }
    ExecuteSql(db_, "COMMIT");
    return contents;
}

void RegistryDatabase::CheckPages() {
    // Damage that only a later statement would meet might be met after another statement
    // had already written to the file: every page is read once before anything is written.
    // The full check, as an index that disagrees with its table (which the quick check lets
    // pass) makes a key that was just opened look deleted. A registry is small: this costs
    // a few milliseconds once per process.
    SqliteStatement check(db_, "PRAGMA integrity_check(1)");
    const std::uint8_t* text = check.Step() ? check.BlobData(0) : nullptr;
    const std::string answer = text ? std::string(reinterpret_cast<const char*>(text), check.BlobSize(0)) : "";
    if (answer != "ok") throw SqliteError(SQLITE_CORRUPT, "its pages are damaged (" + answer + ").");
}

void RegistryDatabase::OpenSchema() {
    // Looking before writing: a file that is not a registry fails here, before anything is
    // written to it.
    const Contents contents = ReadContents(false);
    if (contents == Contents::Registry) CheckPages();
    if (readOnly_) {
        if (contents == Contents::Empty)
            throw SqliteError(SQLITE_READONLY, "the registry is empty and its file is read-only.");
        return;
    }
    ExecuteSql(db_, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL");
    // A new, empty file: the first process to take the write lock creates the tables; the
    // others find them made.
    if (contents == Contents::Empty) ReadContents(true);
}

void RegistryDatabase::Close() {
    if (db_ != nullptr) {
        ForgetStatements(db_);
        sqlite3_close_v2(db_);
    }
    db_ = nullptr;
}

LONG RegistryDatabase::Failure(const SqliteError& error, bool write) {
    const int code = error.Code();
    if (IsDamage(code)) {
        // Damage is reported once per file, however many calls run into it; the file is
        // never recreated over, so that what it holds can still be rescued.
        if (lastDamageReported_ != path_) {
            std::fprintf(stderr, "registry: %s is %s and is left as it is: %s\n", path_.c_str(),
                         code == SQLITE_NOTADB ? "not a registry database" : "corrupt", error.what());
            lastDamageReported_ = path_;
        }
        Close();
        return code == SQLITE_NOTADB ? ERROR_BADDB : ERROR_REGISTRY_CORRUPT;
    }
    // A write refused by a read-only registry is the caller's answer, not a failure.
    if (code == SQLITE_READONLY && readOnly_) return ERROR_ACCESS_DENIED;
    // A registry that cannot be opened fails every call the same way: that is said once,
    // until a call succeeds again, not once per call.
    const std::string report = path_ + " could not be " + (write ? "written" : "read") + ": " + error.what();
    if (report != lastFailureReported_) {
        std::fprintf(stderr, "registry: %s\n", report.c_str());
        lastFailureReported_ = report;
    }
    switch (code) {
        case SQLITE_FULL:
            return ERROR_DISK_FULL;
        case SQLITE_NOMEM:
            return ERROR_OUTOFMEMORY;
        case SQLITE_CANTOPEN:
            return ERROR_CANTOPEN;
        case SQLITE_READONLY:
            return ERROR_ACCESS_DENIED;
        case SQLITE_TOOBIG:
            return ERROR_INVALID_PARAMETER;
        default:
            return write ? ERROR_CANTWRITE : ERROR_CANTREAD;
    }
}

int RegistryDatabase::BusyHandler(void* context, int attempt) {
    // SQLite's own busy timeout sleeps in steps of up to 100 ms; short sleeps keep many
    // writers of small transactions moving.
    auto* self = static_cast<RegistryDatabase*>(context);
    const auto now = std::chrono::steady_clock::now();
    if (attempt == 0) self->busySince_ = now;
    if (now - self->busySince_ >= kBusyTimeout) return 0;
    std::this_thread::sleep_for(std::chrono::microseconds(attempt < 20 ? 100 : 1000));
    return 1;
}

}  // namespace platform::registry
