// ZIP local headers, central directory and end record, little-endian field by field.
#include "tools/zip_records/ZipRecords.h"

#include <zlib.h>

#include "tools/little_endian/LittleEndian.h"

namespace zip_records {

namespace {

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
    AppendLe16(out, entry.time);
    AppendLe16(out, kDosDate);
    const bool deferred = (entry.flags & kFlagDataDescriptor) != 0;
    AppendLe32(out, deferred ? 0 : entry.crc);
    AppendLe32(out, deferred ? 0 : entry.compressedSize);
    AppendLe32(out, deferred ? 0 : entry.size);
    AppendLe16(out, static_cast<std::uint32_t>(entry.name.size()));
    AppendLe16(out, 0);  // no extra field
    out.insert(out.end(), entry.name.begin(), entry.name.end());
}

void AppendDataDescriptor(std::vector<std::uint8_t>& out, const Entry& entry) {
    AppendLe32(out, 0x08074B50);
    AppendLe32(out, entry.crc);
    AppendLe32(out, entry.compressedSize);
    AppendLe32(out, entry.size);
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
        AppendLe16(directory, entry.time);
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
    if (entries.size() > 0xFFFFFFFFu || directoryStart + directory.size() >= 0xFFFFFFFFull) return false;
    const auto directoryBytes = static_cast<std::uint32_t>(directory.size());
    // More entries than the end record's 16-bit counts hold: the ZIP64 end record and its
    // locator carry the count, and the end record's counts say 0xFFFF.
    const bool zip64 = entries.size() >= 0xFFFF;
    if (zip64) {
        const std::uint64_t recordStart = directoryStart + directory.size();
        AppendLe32(directory, 0x06064B50);
        AppendLe64(directory, 44);  // the record's size after this field
        AppendLe16(directory, 45);  // made by
        AppendLe16(directory, 45);  // version needed
        AppendLe32(directory, 0);   // this disk
        AppendLe32(directory, 0);   // the directory's disk
        AppendLe64(directory, entries.size());
        AppendLe64(directory, entries.size());
        AppendLe64(directory, directoryBytes);
        AppendLe64(directory, directoryStart);
        AppendLe32(directory, 0x07064B50);
        AppendLe32(directory, 0);  // the disk of the ZIP64 end record
        AppendLe64(directory, recordStart);
        AppendLe32(directory, 1);  // disks
    }
    const std::uint32_t count = zip64 ? 0xFFFF : static_cast<std::uint32_t>(entries.size());
    AppendLe32(directory, 0x06054B50);
    AppendLe16(directory, 0);
    AppendLe16(directory, 0);
    AppendLe16(directory, count);
    AppendLe16(directory, count);
    AppendLe32(directory, directoryBytes);
    AppendLe32(directory, static_cast<std::uint32_t>(directoryStart));
    AppendLe16(directory, 0);
    out.insert(out.end(), directory.begin(), directory.end());
    return true;
}

}  // namespace zip_records
