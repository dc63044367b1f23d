// Reading, writing and committing a record stream.
#include "platform/cedb/StreamHandle.h"

#include <algorithm>
#include <cstring>

#include "platform/base/Errors.h"
#include "platform/cedb/VolumeTable.h"

namespace platform::cedb {

namespace {

constexpr DWORD kSeekSet = 0;
constexpr DWORD kSeekCurrent = 1;
constexpr DWORD kSeekEnd = 2;

}  // namespace

StreamHandle::StreamHandle(std::shared_ptr<Volume> volume, CEOID database, CEOID record, CEPROPID property,
                           bool canRead, bool canWrite, std::vector<BYTE> data, const ChangeOrigin& origin)
    : volume_(std::move(volume)),
      database_(database),
      record_(record),
      property_(property),
      canRead_(canRead),
      canWrite_(canWrite),
      data_(std::move(data)),
      origin_(origin) {}

StreamHandle::~StreamHandle() {
    // A call on another thread may still be using the stream: wait for it.
    std::lock_guard<std::recursive_mutex> lock(CedbLock());
    volume_.reset();
}

bool StreamHandle::Read(BYTE* buffer, DWORD count, DWORD& done, DWORD& error) {
    done = 0;
    if (!canRead_) {
        error = ERROR_ACCESS_DENIED;
        return false;
    }
    if (count > 0 && !buffer) {
        error = ERROR_INVALID_PARAMETER;
        return false;
    }
    if (position_ < data_.size()) {
        std::uint64_t available = data_.size() - position_;
        done = static_cast<DWORD>(std::min<std::uint64_t>(available, count));
        std::memcpy(buffer, data_.data() + position_, done);
        position_ += done;
    }
    return true;
}

bool StreamHandle::Write(const BYTE* buffer, DWORD count, DWORD& done, DWORD& error) {
    done = 0;
    if (!canWrite_) {
        error = ERROR_ACCESS_DENIED;
        return false;
    }
    if (count > 0 && !buffer) {
        error = ERROR_INVALID_PARAMETER;
        return false;
    }
    std::uint64_t end = position_ + count;
    if (end > CEDB_MAXSTREAMSIZE) {
        error = ERROR_DISK_FULL;
        return false;
    }
    if (end > data_.size()) data_.resize(static_cast<std::size_t>(end), 0);
    if (count > 0) std::memcpy(data_.data() + position_, buffer, count);
    position_ = end;
    done = count;
    return true;
}

bool StreamHandle::Seek(LONG move, DWORD origin, DWORD& position, DWORD& error) {
    std::int64_t base = 0;
    if (origin == kSeekCurrent)
        base = static_cast<std::int64_t>(position_);
    else if (origin == kSeekEnd)
        base = static_cast<std::int64_t>(data_.size());
    else if (origin != kSeekSet) {
        error = ERROR_INVALID_PARAMETER;
        return false;
    }
    std::int64_t target = base + move;
    if (target < 0 || target > static_cast<std::int64_t>(CEDB_MAXSTREAMSIZE)) {
        error = ERROR_INVALID_PARAMETER;
        return false;
    }
    position_ = static_cast<std::uint64_t>(target);
    position = static_cast<DWORD>(position_);
    return true;
}

bool StreamHandle::SetSize(DWORD size, DWORD& error) {
    if (!canWrite_) {
        error = ERROR_ACCESS_DENIED;
        return false;
    }
    if (size > CEDB_MAXSTREAMSIZE) {
        error = ERROR_DISK_FULL;
        return false;
    }
    data_.resize(size, 0);
    return true;
}

bool StreamHandle::Save(DWORD& error) {
    if (!canWrite_) {
        error = ERROR_ACCESS_DENIED;
        return false;
    }
    return volume_->SaveStream(database_, record_, property_, data_, origin_, error);
}

}  // namespace platform::cedb
