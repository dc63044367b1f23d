// The skin pack writer: local header, encryption header and data per entry, then the
// central directory.
#include "tools/make_skin_pack/SkinPackWriter.h"

#include <zlib.h>

#include <limits>

#include "dialer/pack/PackCipher.h"
#include "platform/base/CodePage.h"

namespace {

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

// The time of entries written with a data descriptor (12:34:56): any time would do, but
// one whose high byte is not 0 shows that the check byte comes from it.
constexpr std::uint16_t kStreamedTime = (12 << 11) | (34 << 5) | (56 / 2);

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
    zip_records::Entry entry;
    entry.name = name;
    entry.size = static_cast<std::uint32_t>(data.size());
    entry.localOffset = static_cast<std::uint32_t>(bytes_.size());
    entry.crc = static_cast<std::uint32_t>(crc32(0, data.data(), static_cast<uInt>(data.size())));

    std::vector<std::uint8_t> payload = data;
    std::vector<std::uint8_t> compressed;
    if (options.deflate && !data.empty() && zip_records::Deflate(data, compressed) && compressed.size() < data.size()) {
        entry.method = zip_records::kMethodDeflated;
        payload = std::move(compressed);
    }
    if (options.dataDescriptor) {
        entry.flags |= zip_records::kFlagDataDescriptor;
        entry.time = kStreamedTime;
    }
    if (options.encrypt) {
        entry.flags |= zip_records::kFlagEncrypted;
        char password[kPackPasswordChars + 1];
        BuildPackPassword(password);
        CPackCipher cipher(options.password != nullptr ? options.password : password);
        std::vector<std::uint8_t> sealed;
        sealed.reserve(kPackEncryptionHeaderBytes + payload.size());
        for (std::uint8_t filler : HeaderFiller(entry.crc, entries_.size())) sealed.push_back(cipher.Encrypt(filler));
        // The check byte: the CRC's high byte; the time's when the CRC is not known before
        // the data.
        const auto check = options.dataDescriptor ? static_cast<std::uint8_t>(entry.time >> 8)
                                                  : static_cast<std::uint8_t>(entry.crc >> 24);
        sealed.push_back(cipher.Encrypt(check));
        for (std::uint8_t byte : payload) sealed.push_back(cipher.Encrypt(byte));
        payload = std::move(sealed);
    }
    if (payload.size() >= kLimit || bytes_.size() + payload.size() >= kLimit) {
        error_ = name + ": the entry does not fit in a skin pack";
        return false;
    }
    entry.compressedSize = static_cast<std::uint32_t>(payload.size());

    zip_records::AppendLocalHeader(bytes_, entry);
    bytes_.insert(bytes_.end(), payload.begin(), payload.end());
    if (options.dataDescriptor) zip_records::AppendDataDescriptor(bytes_, entry);
    entries_.push_back(entry);
    return true;
}

bool SkinPackWriter::Finish() {
    if (!error_.empty()) return false;
    if (finished_) return true;
    if (!zip_records::AppendCentralDirectory(bytes_, entries_, bytes_.size())) {
        error_ = "too many entries or too much data for a skin pack";
        return false;
    }
    finished_ = true;
    return true;
}
