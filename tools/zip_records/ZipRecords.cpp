// ZIP local headers, central directory and end record, little-endian field by field.
#include "tools/zip_records/ZipRecords.h"

#include <zlib.h>

#include "tools/little_endian/LittleEndian.h"

namespace zip_records {

namespace {

// A fixed date (2008-01-01 00:00) keeps archives byte-identical from build to build.
constexpr std::uint16_t kDosTime = 0;
constexpr std::uint16_t kDosDate = ((2008 - 1980) << 9) | (1 << 5) | 1;
constexpr std::uint16_t kVersion = 20;

}  // namespace

bool Deflate(const std::vector<std::uint8_t>& data, std::vector<std::uint8_t>& out) {
    z_stream stream{};
    if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return false;
    out.resize(deflateBound(&stream, static_cast<uLong>(data.size())));
    stream.next_in = const_cast<Bytef*>(data.data());
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    const int result = deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return result == Z_STREAM_END;
}

void AppendLocalHeader(std::vector<std::uint8_t>& out, const Entry& entry) {
    AppendLe32(out, 0x04034B50);
    AppendLe16(out, kVersion);
    AppendLe16(out, entry.flags);
    AppendLe16(out, entry.method);
    AppendLe16(out, kDosTime);
    AppendLe16(out, kDosDate);
    AppendLe32(out, entry.crc);
    AppendLe32(out, entry.compressedSize);
    AppendLe32(out, entry.size);
    AppendLe16(out, static_cast<std::uint32_t>(entry.name.size()));
    AppendLe16(out, 0);  // no extra field
    out.insert(out.end(), entry.name.begin(), entry.name.end());
}

bool AppendCentralDirectory(std::vector<std::uint8_t>& out, const std::vector<Entry>& entries,
                            std::uint64_t directoryStart) {
    std::vector<std::uint8_t> directory;
    for (const Entry& entry : entries) {
        AppendLe32(directory, 0x02014B50);
        AppendLe16(directory, kVersion);  // made by
        AppendLe16(directory, kVersion);  // version needed
        AppendLe16(directory, entry.flags);
        AppendLe16(directory, entry.method);
        AppendLe16(directory, kDosTime);
        AppendLe16(directory, kDosDate);
        AppendLe32(directory, entry.crc);
        AppendLe32(directory, entry.compressedSize);
        AppendLe32(directory, entry.size);
        AppendLe16(directory, static_cast<std::uint32_t>(entry.name.size()));
        AppendLe16(directory, 0);  // extra
        AppendLe16(directory, 0);  // comment
        AppendLe16(directory, 0);  // disk
        AppendLe16(directory, 0);  // internal attributes
        AppendLe32(directory, 0);  // external attributes
        AppendLe32(directory, entry.localOffset);
        directory.insert(directory.end(), entry.name.begin(), entry.name.end());
    }
    if (entries.size() > 0xFFFF || directoryStart + directory.size() >= 0xFFFFFFFFull) return false;
    const auto directoryBytes = static_cast<std::uint32_t>(directory.size());
    AppendLe32(directory, 0x06054B50);
    AppendLe16(directory, 0);
    AppendLe16(directory, 0);
    AppendLe16(directory, static_cast<std::uint32_t>(entries.size()));
    AppendLe16(directory, static_cast<std::uint32_t>(entries.size()));
    AppendLe32(directory, directoryBytes);
    AppendLe32(directory, static_cast<std::uint32_t>(directoryStart));
    AppendLe16(directory, 0);
    out.insert(out.end(), directory.begin(), directory.end());
    return true;
}

}  // namespace zip_records
