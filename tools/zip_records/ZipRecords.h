// The records of a ZIP archive as our writers put them out: a local header before each
// entry's data (sizes in the header, or, for an entry flagged so, in a data descriptor after
// the data), then the central directory in the same order and its end record. Dates are
// fixed so that archives are reproducible.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zip_records {

constexpr std::uint16_t kMethodStored = 0;
constexpr std::uint16_t kMethodDeflated = 8;
constexpr std::uint16_t kFlagEncrypted = 0x0001;
// CRC and sizes follow the data, as a writer that streams them out does it.
constexpr std::uint16_t kFlagDataDescriptor = 0x0008;
// A fixed date (2008-01-01 00:00) keeps archives byte-identical from build to build.
constexpr std::uint16_t kDosTime = 0;
constexpr std::uint16_t kDosDate = ((2008 - 1980) << 9) | (1 << 5) | 1;

struct Entry {
    std::string name;
    std::uint16_t flags = 0;
    std::uint16_t method = kMethodStored;
    std::uint16_t time = kDosTime;
    std::uint32_t crc = 0;
    std::uint32_t compressedSize = 0;
    std::uint32_t size = 0;
    std::uint32_t localOffset = 0;
};

// Raw deflate (no zlib wrapper) at the best compression; false when zlib fails.
bool Deflate(const std::vector<std::uint8_t>& data, std::vector<std::uint8_t>& out);

// With kFlagDataDescriptor the header's CRC and sizes are 0, as a streaming writer leaves
// them, and AppendDataDescriptor gives them after the data.
void AppendLocalHeader(std::vector<std::uint8_t>& out, const Entry& entry);
void AppendDataDescriptor(std::vector<std::uint8_t>& out, const Entry& entry);

// Appends the central directory for entries written from `directoryStart` on, and the end
// record (with a ZIP64 end record and locator before it from 65535 entries on); false
// (nothing appended) when the offsets do not fit a ZIP archive.
bool AppendCentralDirectory(std::vector<std::uint8_t>& out, const std::vector<Entry>& entries,
                            std::uint64_t directoryStart);

}  // namespace zip_records
