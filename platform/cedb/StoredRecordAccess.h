// A way around the checks of the record calls, for tests and the fuzzer: they put damaged
// stored records into a volume to see that every reader refuses them cleanly.
#pragma once

#include <cstddef>

#include "platform/cedb/CeTypes.h"

namespace platform::cedb::testing {

// Replaces the stored bytes of a record of the handle's database (format in RecordCodec.h).
bool WriteStoredRecord(HANDLE database, CEOID record, const BYTE* data, std::size_t size);

}  // namespace platform::cedb::testing
