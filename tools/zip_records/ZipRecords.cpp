// ZIP local headers, central directory and end record, little-endian field by field.
#include "tools/zip_records/ZipRecords.h"

#include <zlib.h>

namespace zip_records {

namespace {

constexpr std::uint16_t kVersion = 20;

void Put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

void Put64(std::vector<std::uint8_t>& out, std::uint64_t value) {
    Put32(out, static_cast<std::uint32_t>(value));
    Put32(out, static_cast<std::uint32_t>(value >> 32));
}

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
    Put32(out, 0x04034B50);
    Put16(out, kVersion);
    Put16(out, entry.flags);
    Put16(out, entry.method);
    Put16(out, entry.time);
    Put16(out, kDosDate);
    const bool deferred = (entry.flags & kFlagDataDescriptor) != 0;
    Put32(out, deferred ? 0 : entry.crc);
    Put32(out, deferred ? 0 : entry.compressedSize);
    Put32(out, deferred ? 0 : entry.size);
    Put16(out, static_cast<std::uint32_t>(entry.name.size()));
    Put16(out, 0);  // no extra field
    out.insert(out.end(), entry.name.begin(), entry.name.end());
}

void AppendDataDescriptor(std::vector<std::uint8_t>& out, const Entry& entry) {
    Put32(out, 0x08074B50);
    Put32(out, entry.crc);
    Put32(out, entry.compressedSize);
    Put32(out, entry.size);
}

bool AppendCentralDirectory(std::vector<std::uint8_t>& out, const std::vector<Entry>& entries,
                            std::uint64_t directoryStart) {
    std::vector<std::uint8_t> directory;
    for (const Entry& entry : entries) {
        Put32(directory, 0x02014B50);
        Put16(directory, kVersion);  // made by
        Put16(directory, kVersion);  // version needed
        Put16(directory, entry.flags);
        Put16(directory, entry.method);
        Put16(directory, entry.time);
        Put16(directory, kDosDate);
        Put32(directory, entry.crc);
        Put32(directory, entry.compressedSize);
        Put32(directory, entry.size);
        Put16(directory, static_cast<std::uint32_t>(entry.name.size()));
        Put16(directory, 0);  // extra
        Put16(directory, 0);  // comment
        Put16(directory, 0);  // disk
        Put16(directory, 0);  // internal attributes
        Put32(directory, 0);  // external attributes
        Put32(directory, entry.localOffset);
        directory.insert(directory.end(), entry.name.begin(), entry.name.end());
    }
    if (entries.size() > 0xFFFFFFFFu || directoryStart + directory.size() >= 0xFFFFFFFFull) return false;
    const auto directoryBytes = static_cast<std::uint32_t>(directory.size());
    // More entries than the end record's 16-bit counts hold: the ZIP64 end record and its
    // locator carry the count, and the end record's counts say 0xFFFF.
    const bool zip64 = entries.size() >= 0xFFFF;
    if (zip64) {
        const std::uint64_t recordStart = directoryStart + directory.size();
        Put32(directory, 0x06064B50);
        Put64(directory, 44);  // the record's size after this field
        Put16(directory, 45);  // made by
        Put16(directory, 45);  // version needed
        Put32(directory, 0);   // this disk
        Put32(directory, 0);   // the directory's disk
        Put64(directory, entries.size());
        Put64(directory, entries.size());
        Put64(directory, directoryBytes);
        Put64(directory, directoryStart);
        Put32(directory, 0x07064B50);
        Put32(directory, 0);  // the disk of the ZIP64 end record
        Put64(directory, recordStart);
        Put32(directory, 1);  // disks
    }
    const std::uint32_t count = zip64 ? 0xFFFF : static_cast<std::uint32_t>(entries.size());
    Put32(directory, 0x06054B50);
    Put16(directory, 0);
    Put16(directory, 0);
    Put16(directory, count);
    Put16(directory, count);
    Put32(directory, directoryBytes);
    Put32(directory, static_cast<std::uint32_t>(directoryStart));
    Put16(directory, 0);
    out.insert(out.end(), directory.begin(), directory.end());
    return true;
}

}  // namespace zip_records
