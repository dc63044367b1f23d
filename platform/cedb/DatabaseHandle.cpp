// Seeking in an open database. The handle keeps the database's records in its sort order
// and re-reads them when the database's generation moved (a change by any handle or
// process); the current record is kept by object id and key, so that it survives re-reads
// and, once deleted, still tells where its neighbours are.
#include "platform/cedb/DatabaseHandle.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>

#include "platform/base/Errors.h"
#include "platform/cedb/ChangeJournal.h"
#include "platform/cedb/RecordCodec.h"
#include "platform/cedb/VolumeTable.h"

namespace platform::cedb {

namespace {

std::atomic<std::uint64_t> nextSerial{1};

// Every open handle of this process, for the check before a database is deleted.
std::vector<DatabaseHandle*>& OpenHandles() {
    static auto* handles = new std::vector<DatabaseHandle*>;
    return *handles;
}

}  // namespace

DatabaseHandle::DatabaseHandle(std::shared_ptr<Volume> volume, CEOID database, const SortOrder& order, DWORD flags,
                               const CENOTIFYREQUEST* request)
    : volume_(std::move(volume)), database_(database), order_(order), flags_(flags), serial_(nextSerial++) {
    if (request) request_ = *request;
    std::lock_guard<std::recursive_mutex> lock(CedbLock());
    OpenHandles().push_back(this);
}

DatabaseHandle::~DatabaseHandle() {
    std::lock_guard<std::recursive_mutex> lock(CedbLock());
    if (request_) RemoveListener(this);
    auto& handles = OpenHandles();
    handles.erase(std::remove(handles.begin(), handles.end(), this), handles.end());
    volume_.reset();  // a last reference closes the volume file under the lock
}

bool DatabaseHandle::IsOpenInProcess(const Volume* volume, CEOID database) {
    std::lock_guard<std::recursive_mutex> lock(CedbLock());
    for (const DatabaseHandle* handle : OpenHandles())
        if (handle->volume_.get() == volume && handle->database_ == database) return true;
    return false;
}

ChangeOrigin DatabaseHandle::Origin() const { return ChangeOrigin{static_cast<std::int64_t>(::getpid()), serial_}; }

bool DatabaseHandle::Refresh(DWORD& error) {
    std::int64_t generation = 0;
    if (!volume_->Generation(database_, generation, error)) {
        if (error == ERROR_FILE_NOT_FOUND) error = ERROR_INVALID_HANDLE;  // the database was deleted
        return false;
    }
    if (generation == generation_) return true;
    std::vector<Entry> entries;
    bool sorted = order_.IsSorted();
    bool listed = volume_->ForEachRecord(
        database_, sorted,
        [&](CEOID oid, const BYTE* data, std::size_t size) {
            Entry entry{oid, {}};
            std::vector<PropertyValue> properties;
            std::string problem;
            // A record that cannot be decoded sorts as one without the key properties.
            if (sorted && DecodeRecord(data, size, properties, problem)) entry.key = order_.KeyOf(properties);
            entries.push_back(std::move(entry));
        },
        error);
    if (!listed) return false;
    if (sorted) {
        std::stable_sort(entries.begin(), entries.end(), [this](const Entry& a, const Entry& b) {
            return order_.Compare(a.key, b.key) < 0;  // equal keys keep object-id order
        });
    }
    entries_ = std::move(entries);
    indexOf_.clear();
    for (std::size_t i = 0; i < entries_.size(); ++i) indexOf_[entries_[i].oid] = i;
    generation_ = generation;
    return true;
}

std::size_t DatabaseHandle::LowerBound(const SortKey& key, CEOID oid) const {
    auto place = std::partition_point(entries_.begin(), entries_.end(), [&](const Entry& entry) {
        int c = order_.Compare(entry.key, key);
        return c < 0 || (c == 0 && entry.oid < oid);
    });
    return static_cast<std::size_t>(place - entries_.begin());
}

DatabaseHandle::Resolved DatabaseHandle::Resolve() const {
    switch (place_) {
        case Place::First:
            return {0, !entries_.empty()};
        case Place::AtRecord: {
            auto found = indexOf_.find(currentOid_);
            if (found != indexOf_.end()) return {found->second, true};
            return {LowerBound(currentKey_, currentOid_), false};
        }
        case Place::PastEnd:
        default:
            return {entries_.size(), false};
    }
}

void DatabaseHandle::MoveTo(std::size_t index) {
    place_ = Place::AtRecord;
    currentOid_ = entries_[index].oid;
    currentKey_ = entries_[index].key;
}

CEOID DatabaseHandle::Seek(DWORD seekType, DWORD_PTR value, WORD valueCount, DWORD& index, DWORD& error) {
    if (!Refresh(error)) return 0;
    const std::int64_t count = static_cast<std::int64_t>(entries_.size());
    std::int64_t target = -1;
    switch (seekType) {
        case CEDB_SEEK_CEOID: {
            auto found = indexOf_.find(static_cast<CEOID>(value));
            if (found != indexOf_.end()) target = static_cast<std::int64_t>(found->second);
            break;
        }
        case CEDB_SEEK_BEGINNING:
            target = static_cast<std::int64_t>(static_cast<DWORD>(value));
            break;
        case CEDB_SEEK_END:
            target = count - 1 - std::llabs(static_cast<std::int64_t>(static_cast<LONG>(static_cast<DWORD>(value))));
            break;
        case CEDB_SEEK_CURRENT: {
            std::int64_t step = static_cast<LONG>(static_cast<DWORD>(value));
            Resolved at = Resolve();
            std::int64_t base = static_cast<std::int64_t>(at.index);
            if (at.exact) target = base + step;
            // Without a current record, "one forward" is the record that took its place.
            else if (step > 0)
                target = base + step - 1;
            else if (step < 0)
                target = base + step;
            else if (place_ == Place::AtRecord) {
                error = ERROR_KEY_DELETED;
                return 0;
            }
            break;
        }
        case CEDB_SEEK_VALUESMALLER:
        case CEDB_SEEK_VALUEFIRSTEQUAL:
        case CEDB_SEEK_VALUEGREATER:
        case CEDB_SEEK_VALUENEXTEQUAL:
        case CEDB_SEEK_VALUESMALLEROREQUAL:
        case CEDB_SEEK_VALUEGREATEROREQUAL: {
            std::size_t found = 0;
            CEOID oid = SeekByValue(seekType, reinterpret_cast<const CEPROPVAL*>(value), valueCount, found, error);
            if (oid != 0) index = static_cast<DWORD>(found);
            return oid;
        }
        default:
            error = ERROR_INVALID_PARAMETER;
            return 0;
    }
    if (target < 0 || target >= count) {
        error = ERROR_NO_MORE_ITEMS;
        return 0;
    }
    MoveTo(static_cast<std::size_t>(target));
    index = static_cast<DWORD>(target);
    return currentOid_;
}

CEOID DatabaseHandle::SeekByValue(DWORD seekType, const CEPROPVAL* values, WORD valueCount, std::size_t& index,
                                  DWORD& error) {
    if (!order_.IsSorted() || !values || valueCount == 0 || valueCount > order_.KeyCount()) {
        error = ERROR_INVALID_PARAMETER;
        return 0;
    }
    SortKey probe;
    for (WORD i = 0; i < valueCount; ++i) {
        if (values[i].propid != order_.KeyProperty(i)) {
            error = ERROR_INVALID_PARAMETER;
            return 0;
        }
        if (values[i].wFlags & CEDB_PROPNOTFOUND) continue;  // seeks the records without it
        PropertyValue value;
        if (!PropertyFromPropVal(values[i], value, error)) return 0;
        probe[i] = std::move(value);
    }
    auto compare = [&](const Entry& entry) { return order_.Compare(entry.key, probe, valueCount); };
    const std::size_t count = entries_.size();
    std::size_t lower = static_cast<std::size_t>(
        std::partition_point(entries_.begin(), entries_.end(), [&](const Entry& e) { return compare(e) < 0; }) -
        entries_.begin());
    std::size_t upper = static_cast<std::size_t>(
        std::partition_point(entries_.begin(), entries_.end(), [&](const Entry& e) { return compare(e) <= 0; }) -
        entries_.begin());
    bool anyEqual = lower < upper;
    std::int64_t target = -1;
    switch (seekType) {
        case CEDB_SEEK_VALUEFIRSTEQUAL:
            if (anyEqual) target = static_cast<std::int64_t>(lower);
            break;
        case CEDB_SEEK_VALUENEXTEQUAL: {
            Resolved at = Resolve();
            std::size_t next = at.exact ? at.index + 1 : at.index;
            if (next < count && compare(entries_[next]) == 0) target = static_cast<std::int64_t>(next);
            break;
        }
        case CEDB_SEEK_VALUESMALLER:
            target = static_cast<std::int64_t>(lower) - 1;
            break;
        case CEDB_SEEK_VALUESMALLEROREQUAL:
            target = anyEqual ? static_cast<std::int64_t>(lower) : static_cast<std::int64_t>(lower) - 1;
            break;
        case CEDB_SEEK_VALUEGREATER:
            target = static_cast<std::int64_t>(upper);
            break;
        case CEDB_SEEK_VALUEGREATEROREQUAL:
            target = static_cast<std::int64_t>(lower);
            break;
        default:
            break;
    }
    if (target < 0 || target >= static_cast<std::int64_t>(count)) {
        error = ERROR_NO_MORE_ITEMS;
        return 0;
    }
    index = static_cast<std::size_t>(target);
    MoveTo(index);
    return currentOid_;
}

bool DatabaseHandle::CurrentRecord(CEOID& record, DWORD& error) {
    if (!Refresh(error)) return false;
    Resolved at = Resolve();
    if (at.exact) {
        MoveTo(at.index);
        record = currentOid_;
        return true;
    }
    error = place_ == Place::AtRecord ? ERROR_KEY_DELETED : ERROR_NO_MORE_ITEMS;
    return false;
}

void DatabaseHandle::StepForward() {
    DWORD ignored = 0;
    if (!Refresh(ignored)) return;
    Resolved at = Resolve();
    std::size_t next = at.exact ? at.index + 1 : at.index;
    if (next < entries_.size())
        MoveTo(next);
    else
        place_ = Place::PastEnd;
}

}  // namespace platform::cedb
