// Records and streams of a volume: each change is one transaction that also raises the
// database's generation and appends to the journal.
#include <cstdio>

#include "platform/base/Errors.h"
#include "platform/cedb/RecordCodec.h"
#include "platform/cedb/SqliteQuery.h"
#include "platform/cedb/Volume.h"

namespace platform::cedb {

namespace {

constexpr std::int64_t kMaxItemId = 0x7FFFFFFF;

}  // namespace

bool Volume::ForEachRecord(CEOID database, bool withProperties,
                           const std::function<void(CEOID, const BYTE*, std::size_t)>& visit, DWORD& error) {
    Query query(*this, withProperties ? "SELECT oid, props FROM records WHERE db_oid = ? ORDER BY oid"
                                      : "SELECT oid, NULL FROM records WHERE db_oid = ? ORDER BY oid");
    query.Bind(1, database);
    while (query.Next()) {
        const BYTE* data = withProperties ? query.BlobData(1) : nullptr;
        visit(static_cast<CEOID>(query.Int(0)), data, data ? query.BlobSize(1) : 0);
    }
    if (query.Failed()) {
        error = ErrorFromSqlite(query.Result());
        return false;
    }
    return true;
}

bool Volume::ReadRecord(CEOID database, CEOID record, std::vector<PropertyValue>& properties, DWORD& error) {
    Query query(*this, "SELECT props FROM records WHERE oid = ? AND db_oid = ?");
    if (!query.Bind(1, record).Bind(2, database).Next()) {
        error = query.Failed() ? ErrorFromSqlite(query.Result()) : ERROR_KEY_DELETED;
        return false;
    }
    std::string problem;
    if (!DecodeRecord(query.BlobData(0), query.BlobSize(0), properties, problem)) {
        if (reportedRecords_.insert(record).second)
            std::fprintf(stderr, "%s: record 0x%08X of database 0x%08X cannot be read: %s.\n", path_.c_str(),
                         static_cast<unsigned>(record), static_cast<unsigned>(database), problem.c_str());
        error = ERROR_INVALID_DATA;
        return false;
    }
    return true;
}

bool Volume::WriteRecord(CEOID database, CEOID& record, const std::vector<PropertyChange>& changes,
                         const ChangeOrigin& origin, DWORD& error) {
    WriteTransaction transaction(*this);
    if (!transaction.Begun()) {
        error = ErrorFromSqlite(transaction.Result());
        return false;
    }
    std::int64_t nextItemId = 0;
    {
        Query owner(*this, "SELECT next_item_id FROM databases WHERE oid = ?");
        if (!owner.Bind(1, database).Next()) {
            error = owner.Failed() ? ErrorFromSqlite(owner.Result()) : ERROR_FILE_NOT_FOUND;
            return false;
        }
        nextItemId = owner.Int(0);
    }
    bool created = record == 0;
    std::vector<PropertyValue> properties;
    if (created) {
        if (nextItemId < 1 || nextItemId > kMaxItemId) {
            error = ERROR_DATABASE_FULL;
            return false;
        }
        PropertyValue itemId;
        itemId.id = CEPROPID_ITEMID;
        itemId.scalar = static_cast<std::uint64_t>(nextItemId);
        properties.push_back(itemId);
        Query advance(*this, "UPDATE databases SET next_item_id = next_item_id + 1 WHERE oid = ?");
        if (!advance.Bind(1, database).Run()) {
            error = ErrorFromSqlite(advance.Result());
            return false;
        }
        if (!NextObjectId(record, error)) return false;
    } else if (!ReadRecord(database, record, properties, error)) {
        return false;
    }

    for (const PropertyChange& change : changes) {
        auto place = properties.begin();
        while (place != properties.end() && place->id != change.value.id) ++place;
        if (change.value.Type() == CEVT_AUTO_I4) {
            // Numbered by the database: writing back the value it holds (a record read and
            // written whole) changes nothing; any other write or delete is refused.
            if (!change.remove && place != properties.end() && place->scalar == change.value.scalar) continue;
            error = ERROR_INVALID_PARAMETER;
            return false;
        }
        if (change.remove) {
            if (place != properties.end()) properties.erase(place);
            if (change.value.Type() == CEVT_STREAM) {
                Query drop(*this, "DELETE FROM streams WHERE record_oid = ? AND propid = ?");
                if (!drop.Bind(1, record).Bind(2, change.value.id).Run()) {
                    error = ErrorFromSqlite(drop.Result());
                    return false;
                }
            }
        } else if (place != properties.end()) {
            *place = change.value;
        } else {
            properties.push_back(change.value);
        }
    }
    if (properties.size() > 0xFFFF) {
        error = ERROR_INVALID_PARAMETER;
        return false;
    }
    std::vector<BYTE> stored = EncodeRecord(properties);
    if (stored.size() > CEDB_MAXRECORDSIZE) {
        error = ERROR_INVALID_PARAMETER;
        return false;
    }
    Query write(*this, created ? "INSERT INTO records(props, oid, db_oid) VALUES(?, ?, ?)"
                               : "UPDATE records SET props = ? WHERE oid = ? AND db_oid = ?");
    if (!write.BindBlob(1, stored.data(), stored.size()).Bind(2, record).Bind(3, database).Run()) {
        error = ErrorFromSqlite(write.Result());
        return false;
    }
    if (!Touch(database, true, error)) return false;
    if (!AppendJournal(database, record, created ? DB_CEOID_CREATED : DB_CEOID_CHANGED, origin, error)) return false;
    if (!transaction.Commit()) {
        error = ErrorFromSqlite(transaction.Result());
        return false;
    }
    return true;
}

bool Volume::DeleteRecord(CEOID database, CEOID record, const ChangeOrigin& origin, DWORD& error) {
    WriteTransaction transaction(*this);
    if (!transaction.Begun()) {
        error = ErrorFromSqlite(transaction.Result());
        return false;
    }
    {
        Query remove(*this, "DELETE FROM records WHERE oid = ? AND db_oid = ?");
        if (!remove.Bind(1, record).Bind(2, database).Run()) {
            error = ErrorFromSqlite(remove.Result());
            return false;
        }
    }
    if (sqlite3_changes(db_) == 0) {
        error = ERROR_KEY_DELETED;
        return false;
    }
    Query streams(*this, "DELETE FROM streams WHERE record_oid = ?");
    if (!streams.Bind(1, record).Run()) {
        error = ErrorFromSqlite(streams.Result());
        return false;
    }
    if (!Touch(database, true, error)) return false;
    if (!AppendJournal(database, record, DB_CEOID_RECORD_DELETED, origin, error)) return false;
    if (!transaction.Commit()) {
        error = ErrorFromSqlite(transaction.Result());
        return false;
    }
    return true;
}

bool Volume::ReplaceStoredRecord(CEOID database, CEOID record, const BYTE* data, std::size_t size, DWORD& error) {
    WriteTransaction transaction(*this);
    if (!transaction.Begun()) {
        error = ErrorFromSqlite(transaction.Result());
        return false;
    }
    {
        Query replace(*this, "UPDATE records SET props = ? WHERE oid = ? AND db_oid = ?");
        if (!replace.BindBlob(1, data, size).Bind(2, record).Bind(3, database).Run()) {
            error = ErrorFromSqlite(replace.Result());
            return false;
        }
    }
    if (sqlite3_changes(db_) == 0) {
        error = ERROR_KEY_DELETED;
        return false;
    }
    if (!Touch(database, true, error)) return false;
    if (!transaction.Commit()) {
        error = ErrorFromSqlite(transaction.Result());
        return false;
    }
    return true;
}

bool Volume::ReadStream(CEOID record, CEPROPID property, std::vector<BYTE>& data, bool& found, DWORD& error) {
    Query query(*this, "SELECT data FROM streams WHERE record_oid = ? AND propid = ?");
    found = query.Bind(1, record).Bind(2, property).Next();
    if (query.Failed()) {
        error = ErrorFromSqlite(query.Result());
        return false;
    }
    data = found ? query.Blob(0) : std::vector<BYTE>();
    return true;
}

bool Volume::StreamSizes(CEOID record, std::vector<std::pair<CEPROPID, std::uint64_t>>& sizes, DWORD& error) {
    sizes.clear();
    Query query(*this, "SELECT propid, length(data) FROM streams WHERE record_oid = ? ORDER BY propid");
    query.Bind(1, record);
    while (query.Next())
        sizes.emplace_back(static_cast<CEPROPID>(query.Int(0)), static_cast<std::uint64_t>(query.Int(1)));
    if (query.Failed()) {
        error = ErrorFromSqlite(query.Result());
        return false;
    }
    return true;
}

bool Volume::SaveStream(CEOID database, CEOID record, CEPROPID property, const std::vector<BYTE>& data,
                        const ChangeOrigin& origin, DWORD& error) {
    WriteTransaction transaction(*this);
    if (!transaction.Begun()) {
        error = ErrorFromSqlite(transaction.Result());
        return false;
    }
    {
        Query exists(*this, "SELECT 1 FROM records WHERE oid = ? AND db_oid = ?");
        if (!exists.Bind(1, record).Bind(2, database).Next()) {
            error = exists.Failed() ? ErrorFromSqlite(exists.Result()) : ERROR_KEY_DELETED;
            return false;
        }
    }
    Query save(*this, "INSERT OR REPLACE INTO streams(record_oid, propid, data) VALUES(?, ?, ?)");
    if (!save.Bind(1, record).Bind(2, property).BindBlob(3, data.data(), data.size()).Run()) {
        error = ErrorFromSqlite(save.Result());
        return false;
    }
    if (!Touch(database, false, error)) return false;
    if (!AppendJournal(database, record, DB_CEOID_CHANGED, origin, error)) return false;
    if (!transaction.Commit()) {
        error = ErrorFromSqlite(transaction.Result());
        return false;
    }
    return true;
}

}  // namespace platform::cedb
