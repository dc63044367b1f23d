// One property of a record as the databases keep it in memory: its id and its value, owned
// (strings and blobs are copied in, so that nothing points into the caller's memory).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/cedb/CeTypes.h"

namespace platform::cedb {

struct PropertyValue {
    CEPROPID id = 0;
    // I2, UI2, I4, UI4, BOOL, AUTO_I4: the value's bits; FILETIME: high << 32 | low;
    // R8: the double's bits; STREAM (as read): the stream's size.
    std::uint64_t scalar = 0;
    std::u16string text;      // LPWSTR, without terminator
    std::vector<BYTE> bytes;  // BLOB

    WORD Type() const { return PROP_TYPE(id); }
    // Bytes of data the value holds in a stored record.
    std::uint64_t DataSize() const;
};

// Whether records can hold values of this type (streams are kept beside the record).
bool IsRecordValueType(WORD type);
// Bytes of a fixed-size type's value; 0 for strings, blobs, streams and unknown types.
std::uint32_t FixedValueSize(WORD type);

// Copies a caller's value for writing or seeking. Fails with ERROR_INVALID_PARAMETER for an
// unknown or stream type, a null string or blob, or data longer than CEDB_MAXPROPDATASIZE.
bool PropertyFromPropVal(const CEPROPVAL& source, PropertyValue& value, DWORD& error);

}  // namespace platform::cedb
