// The buffer that CeReadRecordPropsEx hands out: an array of CEPROPVAL followed by the
// strings and blobs they point to, in one block the caller frees with LocalFree.
#pragma once

#include <vector>

#include "platform/cedb/PropertyValue.h"

namespace platform::cedb {

struct RequestedProperty {
    CEPROPID id;
    const PropertyValue* value;  // null: the record does not hold it
};

// Fills *buffer (growing or allocating it under CEDB_ALLOWREALLOC). On failure *buffer is
// unchanged; a buffer too small sets *size to the size needed.
bool FillPropertyBuffer(const std::vector<RequestedProperty>& properties, DWORD flags, LPBYTE* buffer, LPDWORD size,
                        DWORD& error);

}  // namespace platform::cedb
