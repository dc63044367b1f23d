// ZIP writer for ".par" archives: each entry (local header, name, data) straight to the file.
#include "tools/pack_archive/ZipWriter.h"

#include <zlib.h>

#include <limits>

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
    zip_records::Entry entry;
    entry.name = name;
    entry.size = static_cast<std::uint32_t>(data.size());
    entry.localOffset = static_cast<std::uint32_t>(offset_);
    entry.crc = static_cast<std::uint32_t>(crc32(0, data.data(), static_cast<uInt>(data.size())));

    std::vector<std::uint8_t> compressed;
    const std::vector<std::uint8_t>* payload = &data;
    if (!data.empty() && zip_records::Deflate(data, compressed) && compressed.size() < data.size()) {
        entry.method = zip_records::kMethodDeflated;
        payload = &compressed;
    }
    entry.compressedSize = static_cast<std::uint32_t>(payload->size());

    std::vector<std::uint8_t> header;
    zip_records::AppendLocalHeader(header, entry);
    if (!Write(header) || !Write(*payload)) return false;
    entries_.push_back(entry);
    return true;
}

bool ZipWriter::Finish() {
    if (!error_.empty()) return false;
    std::vector<std::uint8_t> directory;
    if (!zip_records::AppendCentralDirectory(directory, entries_, offset_)) {
        error_ = "too many entries or too much data for a ZIP archive";
        return false;
    }
    if (!Write(directory)) return false;
    out_.close();
    if (!out_) error_ = "closing the archive failed";
    return error_.empty();
}
