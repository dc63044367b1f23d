// Records read from the PIM databases and the readers of their properties.
#include "dialer/data/DbRecord.h"

#include <utility>

#include "platform/base/LocalMemory.h"

DbRecord::DbRecord(DbRecord&& other) noexcept
    : oid(std::exchange(other.oid, 0)), props(std::exchange(other.props, nullptr)),
      count(std::exchange(other.count, 0)) {}

DbRecord& DbRecord::operator=(DbRecord&& other) noexcept {
    if (this != &other) {
        Clear();
        oid = std::exchange(other.oid, 0);
        props = std::exchange(other.props, nullptr);
        count = std::exchange(other.count, 0);
    }
    return *this;
}

void DbRecord::Clear() {
    if (props != nullptr) LocalFree(props);
    oid = 0;
    props = nullptr;
    count = 0;
}

const CEVALUNION* FindRecordProp(const DbRecord& record, WORD number, WORD type) {
    if (record.props == nullptr) return nullptr;
    const CEPROPID wanted = MAKEPROPID(number, type);
    for (DWORD i = record.count; i > 0; --i) {
        const CEPROPVAL& value = record.props[i - 1];
        if (value.propid != wanted) continue;
        if ((value.wFlags & (CEDB_PROPNOTFOUND | CEDB_PROPDELETE)) != 0) return nullptr;
        return &value.val;
    }
    return nullptr;
}

std::u16string GetRecordString(const DbRecord& record, WORD number, const std::u16string& defaultText) {
    const CEVALUNION* value = FindRecordProp(record, number, CEVT_LPWSTR);
    if (value == nullptr || value->lpwstr == nullptr) return defaultText;
    return value->lpwstr;
}

FILETIME GetRecordFileTime(const DbRecord& record, WORD number) {
    const CEVALUNION* value = FindRecordProp(record, number, CEVT_FILETIME);
    return value != nullptr ? value->filetime : FILETIME{0, 0};
}

CEBLOB GetRecordBlob(const DbRecord& record, WORD number) {
    const CEVALUNION* value = FindRecordProp(record, number, CEVT_BLOB);
    if (value == nullptr || (value->blob.dwCount != 0 && value->blob.lpb == nullptr)) return CEBLOB{0, nullptr};
    return value->blob;
}
