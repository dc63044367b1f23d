// ZIP writer for ".par" archives: local header, name, data; then the central directory.
#include "tools/pack_archive/ZipWriter.h"

#include <zlib.h>

#include <limits>

namespace {

// A fixed date (2008-01-01 00:00) keeps archives byte-identical from build to build.
constexpr std::uint16_t kDosTime = 0;
constexpr std::uint16_t kDosDate = ((2008 - 1980) << 9) | (1 << 5) | 1;
constexpr std::uint16_t kMethodStored = 0;
constexpr std::uint16_t kMethodDeflated = 8;

void Put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

bool Deflate(const std::vector<std::uint8_t>& data, std::vector<std::uint8_t>& out) {
    z_stream stream{};
    if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return false;
    out.resize(deflateBound(&stream, static_cast<uLong>(data.size())));
    stream.next_in = const_cast<Bytef*>(data.data());
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    int result = deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return result == Z_STREAM_END;
}

}  // namespace

ZipWriter::ZipWriter(const std::string& path) : out_(path, std::ios::binary | std::ios::trunc) {
    if (!out_) error_ = "cannot create " + path;
}

bool ZipWriter::Write(const std::vector<std::uint8_t>& bytes) {
    out_.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    offset_ += bytes.size();
    if (!out_) error_ = "write failed";
    return static_cast<bool>(out_);
}

bool ZipWriter::Add(const std::string& name, const std::vector<std::uint8_t>& data) {
    if (!error_.empty()) return false;
    constexpr std::uint64_t kLimit = std::numeric_limits<std::uint32_t>::max();
    if (name.empty() || name.size() > 0xFFFF || data.size() >= kLimit || offset_ >= kLimit) {
        error_ = name + ": the entry does not fit in a ZIP archive";
        return false;
    }
    CentralEntry entry{name, kMethodStored, 0, 0, static_cast<std::uint32_t>(data.size()),
                       static_cast<std::uint32_t>(offset_)};
    entry.crc = static_cast<std::uint32_t>(crc32(0, data.data(), static_cast<uInt>(data.size())));

    std::vector<std::uint8_t> compressed;
    const std::vector<std::uint8_t>* payload = &data;
    if (!data.empty() && Deflate(data, compressed) && compressed.size() < data.size()) {
        entry.method = kMethodDeflated;
        payload = &compressed;
    }
    entry.compressedSize = static_cast<std::uint32_t>(payload->size());

    std::vector<std::uint8_t> header;
    Put32(header, 0x04034B50);
    Put16(header, 20);  // version needed
    Put16(header, 0);   // flags: sizes are in this header
    Put16(header, entry.method);
    Put16(header, kDosTime);
    Put16(header, kDosDate);
    Put32(header, entry.crc);
    Put32(header, entry.compressedSize);
    Put32(header, entry.size);
    Put16(header, static_cast<std::uint32_t>(name.size()));
    Put16(header, 0);  // no extra field
    header.insert(header.end(), name.begin(), name.end());
    if (!Write(header) || !Write(*payload)) return false;
    entries_.push_back(entry);
    return true;
}

bool ZipWriter::Finish() {
    if (!error_.empty()) return false;
    std::uint64_t directoryStart = offset_;
    std::vector<std::uint8_t> directory;
    for (const CentralEntry& entry : entries_) {
        Put32(directory, 0x02014B50);
        Put16(directory, 20);  // made by
        Put16(directory, 20);  // version needed
        Put16(directory, 0);
        Put16(directory, entry.method);
        Put16(directory, kDosTime);
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
    if (entries_.size() > 0xFFFF || directoryStart + directory.size() >= 0xFFFFFFFFull) {
        error_ = "too many entries or too much data for a ZIP archive";
        return false;
    }
    std::vector<std::uint8_t> end;
    Put32(end, 0x06054B50);
    Put16(end, 0);
    Put16(end, 0);
    Put16(end, static_cast<std::uint32_t>(entries_.size()));
    Put16(end, static_cast<std::uint32_t>(entries_.size()));
    Put32(end, static_cast<std::uint32_t>(directory.size()));
    Put32(end, static_cast<std::uint32_t>(directoryStart));
    Put16(end, 0);
    if (!Write(directory) || !Write(end)) return false;
    out_.close();
    if (!out_) error_ = "closing the archive failed";
    return error_.empty();
}
