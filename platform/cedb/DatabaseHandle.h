// An open database: the handle's sort order, its current record, its notification request,
// and a copy of the database's order that it re-reads whenever the database changed.
#pragma once

#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "platform/base/Handle.h"
#include "platform/cedb/SortOrder.h"
#include "platform/cedb/Volume.h"

namespace platform::cedb {

class DatabaseHandle : public KernelObject {
public:
    DatabaseHandle(std::shared_ptr<Volume> volume, CEOID database, const SortOrder& order, DWORD flags,
                   const CENOTIFYREQUEST* request);
    ~DatabaseHandle() override;

    Volume& GetVolume() { return *volume_; }
    const std::shared_ptr<Volume>& VolumePtr() const { return volume_; }
    CEOID Database() const { return database_; }
    DWORD Flags() const { return flags_; }
    const SortOrder& Order() const { return order_; }
    ChangeOrigin Origin() const;
    bool IsListening() const { return request_.has_value(); }
    const CENOTIFYREQUEST& Request() const { return *request_; }

    // Seeks as CeSeekDatabaseEx; returns the object id reached or 0 with `error`.
    CEOID Seek(DWORD seekType, DWORD_PTR value, WORD valueCount, DWORD& index, DWORD& error);
    // The current record; fails with ERROR_KEY_DELETED when it was deleted and with
    // ERROR_NO_MORE_ITEMS when there is none.
    bool CurrentRecord(CEOID& record, DWORD& error);
    // Moves to the record after the current one (CEDB_AUTOINCREMENT after a read).
    void StepForward();

    // Whether any handle of this process has the database open.
    static bool IsOpenInProcess(const Volume* volume, CEOID database);

private:
    struct Entry {
        CEOID oid;
        SortKey key;
    };
    enum class Place { First, AtRecord, PastEnd };
    // Where the current record stands in the order: an index, and whether the record at that
    // index is the current one (false when it was deleted or the position is past the end).
    struct Resolved {
        std::size_t index;
        bool exact;
    };

    bool Refresh(DWORD& error);
    Resolved Resolve() const;
    std::size_t LowerBound(const SortKey& key, CEOID oid) const;
    void MoveTo(std::size_t index);
    CEOID SeekByValue(DWORD seekType, const CEPROPVAL* values, WORD valueCount, std::size_t& index, DWORD& error);

    std::shared_ptr<Volume> volume_;
    CEOID database_;
    SortOrder order_;
    DWORD flags_;
    std::optional<CENOTIFYREQUEST> request_;
    std::uint64_t serial_;

    std::int64_t generation_ = -1;
    std::vector<Entry> entries_;
    std::unordered_map<CEOID, std::size_t> indexOf_;

    Place place_ = Place::First;
    CEOID currentOid_ = 0;
    SortKey currentKey_;
};

}  // namespace platform::cedb
