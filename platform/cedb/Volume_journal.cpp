// The change journal of a volume: every change appends a row in its own transaction; each
// process that listens keeps a reader row with the last row it has seen, and rows that
// every living reader has seen are trimmed.
#include <signal.h>
#include <unistd.h>

#include <cerrno>

#include "platform/base/Errors.h"
#include "platform/cedb/SqliteQuery.h"
#include "platform/cedb/Volume.h"

namespace platform::cedb {

namespace {

// How many appends of this process between two trims of the journal.
constexpr unsigned kTrimInterval = 64;

bool ProcessIsGone(std::int64_t pid) {
    if (pid <= 0 || pid > 0x7FFFFFFF) return true;
    return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

}  // namespace

bool Volume::AppendJournal(CEOID database, CEOID object, UINT type, const ChangeOrigin& origin, DWORD& error) {
    Query append(*this, "INSERT INTO journal(db_oid, oid, type, pid, handle) VALUES(?, ?, ?, ?, ?)");
    append.Bind(1, database).Bind(2, object).Bind(3, type).Bind(4, origin.process);
    if (!append.Bind(5, static_cast<std::int64_t>(origin.handle)).Run()) {
        error = ErrorFromSqlite(append.Result());
        return false;
    }
    ++ownChanges_;
    if (++journalAppends_ % kTrimInterval == 0) TrimJournal();
    return true;
}

// Runs inside the caller's write transaction; a failure here only leaves rows for later.
void Volume::TrimJournal() {
    std::vector<std::pair<std::int64_t, std::int64_t>> readers;
    {
        Query list(*this, "SELECT reader, pid FROM journal_readers");
        while (list.Next()) readers.emplace_back(list.Int(0), list.Int(1));
    }
    for (const auto& [reader, pid] : readers) {
        if (!ProcessIsGone(pid)) continue;
        Query forget(*this, "DELETE FROM journal_readers WHERE reader = ?");
        forget.Bind(1, reader).Run();
    }
    Query trim(*this,
               "DELETE FROM journal WHERE seq <= coalesce((SELECT min(seen) FROM journal_readers),"
               " (SELECT max(seq) FROM journal))");
    trim.Run();
}

bool Volume::StartReading(DWORD& error) {
    if (readerId_ != 0) return true;
    WriteTransaction transaction(*this);
    if (!transaction.Begun()) {
        error = ErrorFromSqlite(transaction.Result());
        return false;
    }
    std::int64_t end = 0;
    {
        Query last(*this, "SELECT coalesce(max(seq), 0) FROM journal");
        if (!last.Next()) {
            error = ErrorFromSqlite(last.Result());
            return false;
        }
        end = last.Int(0);
    }
    Query add(*this, "INSERT INTO journal_readers(pid, seen) VALUES(?, ?)");
    if (!add.Bind(1, static_cast<std::int64_t>(::getpid())).Bind(2, end).Run()) {
        error = ErrorFromSqlite(add.Result());
        return false;
    }
    std::int64_t reader = sqlite3_last_insert_rowid(db_);
    if (!transaction.Commit()) {
        error = ErrorFromSqlite(transaction.Result());
        return false;
    }
    readerId_ = reader;
    lastSeen_ = end;
    return true;
}

void Volume::StopReading() {
    if (readerId_ == 0) return;
    Query forget(*this, "DELETE FROM journal_readers WHERE reader = ?");
    forget.Bind(1, readerId_).Run();
    readerId_ = 0;
}

bool Volume::ChangedSinceLastLook() {
    bool changed = ownChanges_ != ownChangesSeen_;
    ownChangesSeen_ = ownChanges_;
    // data_version moves when another connection commits to the file.
    Query version(*this, "PRAGMA data_version");
    if (version.Next()) {
        std::int64_t current = version.Int(0);
        if (current != dataVersion_) changed = true;
        dataVersion_ = current;
    } else {
        changed = true;
    }
    return changed;
}

bool Volume::ReadJournal(std::vector<JournalEntry>& entries, DWORD& error) {
    entries.clear();
    {
        Query read(*this, "SELECT seq, db_oid, oid, type, pid, handle FROM journal WHERE seq > ? ORDER BY seq");
        read.Bind(1, lastSeen_);
        while (read.Next()) {
            JournalEntry entry;
            entry.sequence = read.Int(0);
            entry.database = static_cast<CEOID>(read.Int(1));
            entry.object = static_cast<CEOID>(read.Int(2));
            entry.type = static_cast<UINT>(read.Int(3));
            entry.origin.process = read.Int(4);
            entry.origin.handle = static_cast<std::uint64_t>(read.Int(5));
            entries.push_back(entry);
        }
        if (read.Failed()) {
            error = ErrorFromSqlite(read.Result());
            return false;
        }
    }
    if (entries.empty()) return true;
    lastSeen_ = entries.back().sequence;
    // Telling the others how far this process has read lets them trim; when the volume is
    // busy the row simply lags until the next read.
    Query seen(*this, "UPDATE journal_readers SET seen = ? WHERE reader = ?");
    seen.Bind(1, lastSeen_).Bind(2, readerId_).Run();
    return true;
}

}  // namespace platform::cedb
