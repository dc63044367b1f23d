// Databases of a volume: creating, finding, describing and deleting them, and the object
// ids that databases and records share.
#include <string>  // before WideString.h, whose wide overloads confuse <string>
#include <vector>

#include "platform/base/Clock.h"
#include "platform/base/Errors.h"
#include "platform/base/WideString.h"
#include "platform/cedb/SqliteQuery.h"
#include "platform/cedb/Volume.h"

namespace platform::cedb {

namespace {

// Names are stored as UTF-16LE bytes, so that no text is altered on the way.
std::vector<BYTE> NameBytes(const std::u16string& name, bool folded) {
    std::vector<BYTE> bytes;
    bytes.reserve(name.size() * 2);
    for (char16_t unit : name) {
        char16_t stored = folded ? towlower(unit) : unit;
        bytes.push_back(static_cast<BYTE>(stored));
        bytes.push_back(static_cast<BYTE>(stored >> 8));
    }
    return bytes;
}

std::u16string NameFromBytes(const std::vector<BYTE>& bytes) {
    std::u16string name;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        name.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
    return name;
}

std::uint64_t Now() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    return (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

}  // namespace

bool Volume::NextObjectId(CEOID& oid, DWORD& error) {
    Query next(*this, "SELECT value FROM volume_info WHERE key = 'next_oid'");
    if (!next.Next()) {
        error = next.Failed() ? ErrorFromSqlite(next.Result()) : ERROR_BADDB;
        return false;
    }
    std::int64_t value = next.Int(0);
    if (value <= 0 || value > 0xFFFFFFFFll) {
        error = ERROR_DATABASE_FULL;
        return false;
    }
    Query advance(*this, "UPDATE volume_info SET value = value + 1 WHERE key = 'next_oid'");
    if (!advance.Run()) {
        error = ErrorFromSqlite(advance.Result());
        return false;
    }
    oid = static_cast<CEOID>(value);
    return true;
}

bool Volume::Touch(CEOID database, bool records, DWORD& error) {
    Query touch(*this, "UPDATE databases SET modified = ?, generation = generation + ? WHERE oid = ?");
    if (!touch.Bind(1, static_cast<std::int64_t>(Now())).Bind(2, records ? 1 : 0).Bind(3, database).Run()) {
        error = ErrorFromSqlite(touch.Result());
        return false;
    }
    return true;
}

bool Volume::CreateDatabase(const DatabaseRow& row, CEOID& oid, DWORD& error) {
    WriteTransaction transaction(*this);
    if (!transaction.Begun()) {
        error = ErrorFromSqlite(transaction.Result());
        return false;
    }
    std::vector<BYTE> folded = NameBytes(row.name, true);
    {
        Query existing(*this, "SELECT oid FROM databases WHERE folded_name = ?");
        if (existing.BindBlob(1, folded.data(), folded.size()).Next()) {
            error = ERROR_ALREADY_EXISTS;
            return false;
        }
        if (existing.Failed()) {
            error = ErrorFromSqlite(existing.Result());
            return false;
        }
    }
    if (!NextObjectId(oid, error)) return false;
    std::vector<BYTE> name = NameBytes(row.name, false);
    Query insert(*this,
                 "INSERT INTO databases(oid, name, folded_name, type, flags, modified, generation, next_item_id)"
                 " VALUES(?, ?, ?, ?, ?, ?, 0, 1)");
    insert.Bind(1, oid).BindBlob(2, name.data(), name.size()).BindBlob(3, folded.data(), folded.size());
    if (!insert.Bind(4, row.type).Bind(5, row.flags).Bind(6, static_cast<std::int64_t>(Now())).Run()) {
        error = ErrorFromSqlite(insert.Result());
        return false;
    }
    for (std::size_t position = 0; position < row.sortOrders.size(); ++position) {
        const SORTORDERSPECEX& sortOrder = row.sortOrders[position];
        Query insertOrder(
            *this,
            "INSERT INTO sort_orders(db_oid, position, num_props, key_flags, prop0, flags0, prop1, flags1,"
            " prop2, flags2) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        insertOrder.Bind(1, oid).Bind(2, static_cast<std::int64_t>(position));
        insertOrder.Bind(3, sortOrder.wNumProps).Bind(4, sortOrder.wKeyFlags);
        for (int key = 0; key < CEDB_MAXSORTPROP; ++key) {
            bool used = key < sortOrder.wNumProps;
            insertOrder.Bind(5 + 2 * key, used ? sortOrder.rgPropID[key] : 0);
            insertOrder.Bind(6 + 2 * key, used ? sortOrder.rgdwFlags[key] : 0);
        }
        if (!insertOrder.Run()) {
            error = ErrorFromSqlite(insertOrder.Result());
            return false;
        }
    }
    if (!transaction.Commit()) {
        error = ErrorFromSqlite(transaction.Result());
        return false;
    }
    return true;
}

bool Volume::FindDatabase(const std::u16string& name, CEOID& oid, DWORD& error) {
    std::vector<BYTE> folded = NameBytes(name, true);
    Query find(*this, "SELECT oid FROM databases WHERE folded_name = ?");
    if (find.BindBlob(1, folded.data(), folded.size()).Next()) {
        oid = static_cast<CEOID>(find.Int(0));
        return true;
    }
    error = find.Failed() ? ErrorFromSqlite(find.Result()) : ERROR_FILE_NOT_FOUND;
    return false;
}

bool Volume::LoadDatabase(CEOID oid, DatabaseRow& row, DWORD& error) {
    row = DatabaseRow{};
    {
        Query load(*this, "SELECT name, type, flags, modified FROM databases WHERE oid = ?");
        if (!load.Bind(1, oid).Next()) {
            error = load.Failed() ? ErrorFromSqlite(load.Result()) : ERROR_FILE_NOT_FOUND;
            return false;
        }
        row.oid = oid;
        row.name = NameFromBytes(load.Blob(0));
        row.type = static_cast<DWORD>(load.Int(1));
        row.flags = static_cast<DWORD>(load.Int(2));
        row.modified = static_cast<std::uint64_t>(load.Int(3));
    }
    Query orders(*this,
                 "SELECT num_props, key_flags, prop0, flags0, prop1, flags1, prop2, flags2 FROM sort_orders"
                 " WHERE db_oid = ? ORDER BY position");
    orders.Bind(1, oid);
    while (orders.Next()) {
        SORTORDERSPECEX order{};
        order.wVersion = SORTORDERSPECEX_VERSION;
        order.wNumProps = static_cast<WORD>(orders.Int(0));
        order.wKeyFlags = static_cast<WORD>(orders.Int(1));
        for (int key = 0; key < CEDB_MAXSORTPROP; ++key) {
            order.rgPropID[key] = static_cast<CEPROPID>(orders.Int(2 + 2 * key));
            order.rgdwFlags[key] = static_cast<DWORD>(orders.Int(3 + 2 * key));
        }
        // A damaged row must not hand out an order that cannot be compared.
        if (!SortOrder::IsValidOrder(order) || row.sortOrders.size() >= CEDB_MAXSORTORDER) {
            error = ErrorFromSqlite(SQLITE_CORRUPT);
            return false;
        }
        row.sortOrders.push_back(order);
    }
    if (orders.Failed()) {
        error = ErrorFromSqlite(orders.Result());
        return false;
    }
    return true;
}

bool Volume::DeleteDatabase(CEOID oid, const ChangeOrigin& origin, DWORD& error) {
    WriteTransaction transaction(*this);
    if (!transaction.Begun()) {
        error = ErrorFromSqlite(transaction.Result());
        return false;
    }
    Query remove(*this, "DELETE FROM databases WHERE oid = ?");
    if (!remove.Bind(1, oid).Run()) {
        error = ErrorFromSqlite(remove.Result());
        return false;
    }
    if (sqlite3_changes(db_) == 0) {
        error = ERROR_FILE_NOT_FOUND;
        return false;
    }
    static const char* const kCleanup[] = {
        "DELETE FROM streams WHERE record_oid IN (SELECT oid FROM records WHERE db_oid = ?)",
        "DELETE FROM records WHERE db_oid = ?",
        "DELETE FROM sort_orders WHERE db_oid = ?",
    };
    for (const char* sql : kCleanup) {
        Query cleanup(*this, sql);
        if (!cleanup.Bind(1, oid).Run()) {
            error = ErrorFromSqlite(cleanup.Result());
            return false;
        }
    }
    if (!AppendJournal(oid, oid, DB_CEOID_DATABASE_DELETED, origin, error)) return false;
    if (!transaction.Commit()) {
        error = ErrorFromSqlite(transaction.Result());
        return false;
    }
    return true;
}

bool Volume::Generation(CEOID database, std::int64_t& generation, DWORD& error) {
    Query query(*this, "SELECT generation FROM databases WHERE oid = ?");
    if (!query.Bind(1, database).Next()) {
        error = query.Failed() ? ErrorFromSqlite(query.Result()) : ERROR_FILE_NOT_FOUND;
        return false;
    }
    generation = query.Int(0);
    return true;
}

bool Volume::DatabaseTotals(CEOID database, DWORD& records, std::uint64_t& bytes, DWORD& error) {
    Query count(*this, "SELECT count(*), coalesce(sum(length(props)), 0) FROM records WHERE db_oid = ?");
    if (!count.Bind(1, database).Next()) {
        error = ErrorFromSqlite(count.Result());
        return false;
    }
    records = static_cast<DWORD>(count.Int(0));
    bytes = static_cast<std::uint64_t>(count.Int(1));
    Query streams(*this,
                  "SELECT coalesce(sum(length(data)), 0) FROM streams WHERE record_oid IN"
                  " (SELECT oid FROM records WHERE db_oid = ?)");
    if (!streams.Bind(1, database).Next()) {
        error = ErrorFromSqlite(streams.Result());
        return false;
    }
    bytes += static_cast<std::uint64_t>(streams.Int(0));
    return true;
}

bool Volume::DatabaseOfRecord(CEOID record, CEOID& database, DWORD& error) {
    database = 0;
    Query query(*this, "SELECT db_oid FROM records WHERE oid = ?");
    if (query.Bind(1, record).Next()) database = static_cast<CEOID>(query.Int(0));
    if (query.Failed()) {
        error = ErrorFromSqlite(query.Result());
        return false;
    }
    return true;
}

}  // namespace platform::cedb
