// One record read from a PIM database, and the typed readers of its properties that every
// user of a record goes through. Property ids are number << 16 | CE value type.
#pragma once

#include <string>

#include "platform/cedb/CeTypes.h"

// The record owns its property buffer (allocated by the database call, freed with LocalFree)
// and gives it up when cleared, moved from or destroyed.
struct DbRecord {
    CEOID oid = 0;
    CEPROPVAL* props = nullptr;
    DWORD count = 0;

    DbRecord() = default;
    ~DbRecord() { Clear(); }
    DbRecord(const DbRecord&) = delete;
    DbRecord& operator=(const DbRecord&) = delete;
    DbRecord(DbRecord&& other) noexcept;
    DbRecord& operator=(DbRecord&& other) noexcept;

    // Frees the buffer and zeroes all three fields.
    void Clear();
};

// The value of property (number, type), searched from the last property towards the first so
// that of two equal ones the later wins; null when absent, or flagged not-found or deleted.
const CEVALUNION* FindRecordProp(const DbRecord& record, WORD number, WORD type);
// A string property (type 31); the default when absent.
std::u16string GetRecordString(const DbRecord& record, WORD number, const std::u16string& defaultText = {});
// A FILETIME property (type 64); zero when absent.
FILETIME GetRecordFileTime(const DbRecord& record, WORD number);
// A BLOB property (type 65); {0, null} when absent.
CEBLOB GetRecordBlob(const DbRecord& record, WORD number);
