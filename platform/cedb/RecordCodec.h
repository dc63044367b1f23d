// The stored form of a record's properties, one blob per record in the volume:
//   u16 format (1), u16 property count, then per property: u32 property id, u32 data length,
//   the data (integers and FILETIME little-endian, R8 as its IEEE bits, strings as UTF-16LE
//   without terminator, blobs as they are). Streams are kept beside the record, not in it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/cedb/PropertyValue.h"

namespace platform::cedb {

constexpr WORD kRecordFormat = 1;

std::vector<BYTE> EncodeRecord(const std::vector<PropertyValue>& properties);

// Decodes a stored record; every count and length is checked against the bytes that remain.
// A property id met twice keeps the later value, in the place of the first. On failure
// `problem` says what was wrong and where.
bool DecodeRecord(const BYTE* data, std::size_t size, std::vector<PropertyValue>& properties, std::string& problem);

}  // namespace platform::cedb
