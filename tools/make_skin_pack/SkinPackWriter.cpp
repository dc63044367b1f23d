// The skin pack writer: local header, encryption header and data per entry, then the
// central directory.
#include "tools/make_skin_pack/SkinPackWriter.h"

#include <zlib.h>

#include <limits>

#include "dialer/layout/PackCipher.h"
#include "platform/base/CodePage.h"

namespace {

// A fixed date (2008-01-01 00:00) keeps packs byte-identical from build to build.
constexpr std::uint16_t kDosTime = 0;
constexpr std::uint16_t kDosDate = ((2008 - 1980) << 9) | (1 << 5) | 1;
constexpr std::uint16_t kMethodStored = 0;
constexpr std::uint16_t kMethodDeflated = 8;
constexpr std::uint16_t kFlagEncrypted = 0x0001;

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
    if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) return false;
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

// The eleven filler bytes of an encryption header. They only have to differ between
// entries; deriving them from the entry keeps the pack reproducible.
std::vector<std::uint8_t> HeaderFiller(std::uint32_t crc, std::size_t index) {
    std::vector<std::uint8_t> filler;
    std::uint32_t state = crc ^ static_cast<std::uint32_t>(index * 2654435761u) ^ 0x9E3779B9u;
    for (int i = 0; i < 11; ++i) {
        state = state * 1103515245u + 12345u;
        filler.push_back(static_cast<std::uint8_t>(state >> 16));
    }
    return filler;
}

}  // namespace

bool ToPackEntryName(const std::string& utf8, std::string* ansi) {
    const std::u16string wide = platform::Utf8ToUtf16(utf8);
    if (wide.empty()) return false;
    std::string bytes(wide.size() * 2 + 1, '\0');
    BOOL usedDefault = FALSE;
    const int written = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), bytes.data(),
                                            static_cast<int>(bytes.size()), nullptr, &usedDefault);
    if (written <= 0 || usedDefault) return false;
    bytes.resize(static_cast<std::size_t>(written));
    *ansi = bytes;
    return true;
}

bool SkinPackWriter::Add(const std::string& name, const std::vector<std::uint8_t>& data, EntryOptions options) {
    if (!error_.empty()) return false;
    if (finished_) {
        error_ = name + ": the pack is already finished";
        return false;
    }
    constexpr std::uint64_t kLimit = std::numeric_limits<std::uint32_t>::max() - 64;
    if (name.empty() || name.size() > 260 || data.size() >= kLimit || bytes_.size() >= kLimit) {
        error_ = name + ": the entry does not fit in a skin pack";
        return false;
    }
    CentralEntry entry{name,
                       0,
                       kMethodStored,
                       0,
                       0,
                       static_cast<std::uint32_t>(data.size()),
                       static_cast<std::uint32_t>(bytes_.size())};
    entry.crc = static_cast<std::uint32_t>(crc32(0, data.data(), static_cast<uInt>(data.size())));

    std::vector<std::uint8_t> payload = data;
    std::vector<std::uint8_t> compressed;
    if (options.deflate && !data.empty() && Deflate(data, compressed) && compressed.size() < data.size()) {
        entry.method = kMethodDeflated;
        payload = std::move(compressed);
    }
    if (options.encrypt) {
        entry.flags |= kFlagEncrypted;
        char password[kPackPasswordChars + 1];
        BuildPackPassword(password);
        CPackCipher cipher(password);
        std::vector<std::uint8_t> sealed;
        sealed.reserve(kPackEncryptionHeaderBytes + payload.size());
        for (std::uint8_t filler : HeaderFiller(entry.crc, entries_.size())) sealed.push_back(cipher.Encrypt(filler));
        // The check byte: the CRC's high byte.
        sealed.push_back(cipher.Encrypt(static_cast<std::uint8_t>(entry.crc >> 24)));
        for (std::uint8_t byte : payload) sealed.push_back(cipher.Encrypt(byte));
        payload = std::move(sealed);
    }
    if (payload.size() >= kLimit || bytes_.size() + payload.size() >= kLimit) {
        error_ = name + ": the entry does not fit in a skin pack";
        return false;
    }
    entry.compressedSize = static_cast<std::uint32_t>(payload.size());

    Put32(bytes_, 0x04034B50);
    Put16(bytes_, 20);  // version needed
    Put16(bytes_, entry.flags);
    Put16(bytes_, entry.method);
    Put16(bytes_, kDosTime);
    Put16(bytes_, kDosDate);
    Put32(bytes_, entry.crc);
    Put32(bytes_, entry.compressedSize);
    Put32(bytes_, entry.size);
    Put16(bytes_, static_cast<std::uint32_t>(name.size()));
    Put16(bytes_, 0);  // no extra field
    bytes_.insert(bytes_.end(), name.begin(), name.end());
    bytes_.insert(bytes_.end(), payload.begin(), payload.end());
    entries_.push_back(entry);
    return true;
}

bool SkinPackWriter::Finish() {
    if (!error_.empty()) return false;
    if (finished_) return true;
    const std::uint64_t directoryStart = bytes_.size();
    std::vector<std::uint8_t> directory;
    for (const CentralEntry& entry : entries_) {
        Put32(directory, 0x02014B50);
        Put16(directory, 20);  // made by
        Put16(directory, 20);  // version needed
        Put16(directory, entry.flags);
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
        error_ = "too many entries or too much data for a skin pack";
        return false;
    }
    const auto directoryBytes = static_cast<std::uint32_t>(directory.size());
    Put32(directory, 0x06054B50);
    Put16(directory, 0);
    Put16(directory, 0);
    Put16(directory, static_cast<std::uint32_t>(entries_.size()));
    Put16(directory, static_cast<std::uint32_t>(entries_.size()));
    Put32(directory, directoryBytes);
    Put32(directory, static_cast<std::uint32_t>(directoryStart));
    Put16(directory, 0);
    bytes_.insert(bytes_.end(), directory.begin(), directory.end());
    finished_ = true;
    return true;
}
