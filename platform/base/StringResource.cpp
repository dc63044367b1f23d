// LoadStringW over our resource files: each file is read and checked once, keyed by its
// identity on disk, and kept for the life of the process so that read-only pointers
// handed out with bufferMax 0 stay valid.
#include "platform/base/StringResource.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <mutex>
#include <tuple>

#include "platform/base/Errors.h"
#include "platform/base/Library.h"

namespace platform {

namespace {

constexpr std::uint8_t kMagic[4] = {'H', 'S', 'T', 'B'};
constexpr std::uint16_t kVersion = 1;

std::uint32_t ReadU32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::uint16_t ReadU16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

void WriteU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void WriteU16(std::vector<std::uint8_t>& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void SetError(std::string* error, const std::string& message) {
    if (error != nullptr) *error = message;
}

}  // namespace

std::optional<StringTableFile> StringTableFile::Parse(const std::uint8_t* data, std::size_t size,
                                                      std::string* error) {
    if (data == nullptr && size != 0) {
        SetError(error, "The string table has no data.");
        return std::nullopt;
    }
    if (size < kHeaderBytes) {
        SetError(error, "The string table is " + std::to_string(size) + " bytes long, shorter than its " +
                            std::to_string(kHeaderBytes) + "-byte header.");
        return std::nullopt;
    }
    if (std::memcmp(data, kMagic, sizeof kMagic) != 0) {
        SetError(error, "The string table does not start with \"HSTB\".");
        return std::nullopt;
    }
    const std::uint16_t version = ReadU16(data + 4);
    if (version != kVersion) {
        SetError(error, "The string table has version " + std::to_string(version) + "; only version 1 is read.");
        return std::nullopt;
    }
    if (ReadU16(data + 6) != 0) {
        SetError(error, "The string table's reserved header field is not 0.");
        return std::nullopt;
    }
    const std::uint64_t count = ReadU32(data + 8);
    const std::uint64_t poolUnits = ReadU32(data + 12);
    const std::uint64_t expected = kHeaderBytes + count * kEntryBytes + poolUnits * 2;
    if (expected != size) {
        SetError(error, "The string table declares " + std::to_string(count) + " entries and " +
                            std::to_string(poolUnits) + " text units (" + std::to_string(expected) +
                            " bytes) but the file is " + std::to_string(size) + " bytes long.");
        return std::nullopt;
    }

    StringTableFile table;
    const std::uint8_t* poolBytes = data + kHeaderBytes + count * kEntryBytes;
    table.pool_.resize(static_cast<std::size_t>(poolUnits));
    for (std::size_t i = 0; i < poolUnits; ++i) table.pool_[i] = ReadU16(poolBytes + 2 * i);

    table.entries_.reserve(static_cast<std::size_t>(count));
    for (std::uint64_t i = 0; i < count; ++i) {
        const std::uint8_t* record = data + kHeaderBytes + i * kEntryBytes;
        const UINT id = ReadU32(record);
        const std::uint64_t offset = ReadU32(record + 4);
        const std::uint64_t length = ReadU32(record + 8);
        const std::string where = "String table entry " + std::to_string(i) + " (id " + std::to_string(id) + ")";
        if (id > kMaxId) {
            SetError(error, where + " has an id above " + std::to_string(kMaxId) + ".");
            return std::nullopt;
        }
        if (!table.entries_.empty() && id <= table.entries_.back().id) {
            SetError(error, where + " does not follow the previous id " +
                                std::to_string(table.entries_.back().id) + " in ascending order.");
            return std::nullopt;
        }
        // The text and its terminator must lie inside the pool.
        if (offset + length >= poolUnits) {
            SetError(error, where + " runs past the end of the text pool.");
            return std::nullopt;
        }
        if (table.pool_[offset + length] != 0) {
            SetError(error, where + " is not followed by a terminating zero.");
            return std::nullopt;
        }
        const auto begin = table.pool_.begin() + static_cast<std::ptrdiff_t>(offset);
        const auto end = begin + static_cast<std::ptrdiff_t>(length);
        if (std::find(begin, end, u'\0') != end) {
            SetError(error, where + " holds a zero character inside its text.");
            return std::nullopt;
        }
        table.entries_.push_back({id, static_cast<std::size_t>(offset), static_cast<std::size_t>(length)});
    }
    return table;
}

bool StringTableFile::Add(UINT id, const std::u16string& text, std::string* error) {
    if (id > kMaxId) {
        SetError(error, "The string id " + std::to_string(id) + " is above " + std::to_string(kMaxId) + ".");
        return false;
    }
    if (text.find(u'\0') != std::u16string::npos) {
        SetError(error, "The text of string id " + std::to_string(id) + " holds a zero character.");
        return false;
    }
    if (static_cast<std::uint64_t>(pool_.size()) + text.size() + 1 > 0xFFFFFFFFull) {
        SetError(error, "The texts do not fit in one string table.");
        return false;
    }
    auto at = std::lower_bound(entries_.begin(), entries_.end(), id,
                               [](const Entry& entry, UINT value) { return entry.id < value; });
    if (at != entries_.end() && at->id == id) {
        SetError(error, "The string id " + std::to_string(id) + " is given twice.");
        return false;
    }
    entries_.insert(at, Entry{id, pool_.size(), text.size()});
    pool_ += text;
    pool_.push_back(u'\0');
    return true;
}

std::vector<std::uint8_t> StringTableFile::Serialize() const {
    std::vector<std::uint8_t> out;
    out.reserve(kHeaderBytes + entries_.size() * kEntryBytes + pool_.size() * 2);
    for (std::uint8_t byte : kMagic) out.push_back(byte);
    WriteU16(out, kVersion);
    WriteU16(out, 0);
    WriteU32(out, static_cast<std::uint32_t>(entries_.size()));
    WriteU32(out, static_cast<std::uint32_t>(pool_.size()));
    for (const Entry& entry : entries_) {
        WriteU32(out, entry.id);
        WriteU32(out, static_cast<std::uint32_t>(entry.offset));
        WriteU32(out, static_cast<std::uint32_t>(entry.length));
    }
    for (char16_t unit : pool_) WriteU16(out, unit);
    return out;
}

LPCWSTR StringTableFile::Find(UINT id, std::size_t* length) const {
    auto at = std::lower_bound(entries_.begin(), entries_.end(), id,
                               [](const Entry& entry, UINT value) { return entry.id < value; });
    if (at == entries_.end() || at->id != id) return nullptr;
    if (length != nullptr) *length = at->length;
    return pool_.data() + at->offset;
}

namespace {

// A resource file as read from disk; `table` is empty when the file was malformed.
struct LoadedFile {
    bool isResourceFile = false;
    std::optional<StringTableFile> table;
};

using FileIdentity = std::tuple<std::string, dev_t, ino_t, off_t, long long, long long>;

std::mutex& CacheMutex() {
    static std::mutex mutex;
    return mutex;
}

std::map<FileIdentity, std::unique_ptr<LoadedFile>>& Cache() {
    static auto* cache = new std::map<FileIdentity, std::unique_ptr<LoadedFile>>();
    return *cache;
}

// The parsed table of the file at `path`, or null when it cannot be read or is malformed
// (with the last error set).
const StringTableFile* TableOfFile(const char* path) {
    struct stat info {};
    // Only a regular file is read: a FIFO would keep the reader waiting for a writer.
    if (::stat(path, &info) != 0 || !S_ISREG(info.st_mode)) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    const FileIdentity identity{path, info.st_dev, info.st_ino, info.st_size,
                                static_cast<long long>(info.st_mtim.tv_sec),
                                static_cast<long long>(info.st_mtim.tv_nsec)};
    std::lock_guard<std::mutex> lock(CacheMutex());
    auto found = Cache().find(identity);
    if (found == Cache().end()) {
        auto loaded = std::make_unique<LoadedFile>();
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
            return nullptr;
        }
        // A file of another kind (a program, a shared object loaded as data) simply has no
        // string resources; only a damaged resource file deserves a message.
        char magic[sizeof kMagic] = {};
        in.read(magic, sizeof magic);
        const bool isResourceFile = in.gcount() == sizeof magic && std::memcmp(magic, kMagic, sizeof kMagic) == 0;
        std::string error;
        if (isResourceFile) {
            std::vector<std::uint8_t> bytes(kMagic, kMagic + sizeof kMagic);
            bytes.insert(bytes.end(), std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
            loaded->table = StringTableFile::Parse(bytes.data(), bytes.size(), &error);
        }
        loaded->isResourceFile = isResourceFile;
        if (isResourceFile && !loaded->table) std::fprintf(stderr, "%s: %s\n", path, error.c_str());
        found = Cache().emplace(identity, std::move(loaded)).first;
    }
    if (!found->second->table) {
        SetLastError(found->second->isResourceFile ? ERROR_BAD_FORMAT : ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    return &*found->second->table;
}

}  // namespace

}  // namespace platform

int LoadStringW(HINSTANCE module, UINT id, LPWSTR buffer, int bufferMax) {
    if (buffer == nullptr || bufferMax < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (bufferMax > 0) buffer[0] = 0;
    const char* path = module != nullptr ? platform::ModuleFilePath(module) : nullptr;
    if (path == nullptr || path[0] == 0) {
        // The program and the built-in libraries carry no string resources.
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return 0;
    }
    const platform::StringTableFile* table = platform::TableOfFile(path);
    if (table == nullptr) return 0;
    std::size_t length = 0;
    LPCWSTR text = table->Find(id, &length);
    if (text == nullptr || length == 0) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return 0;
    }
    if (bufferMax == 0) {
        std::memcpy(buffer, &text, sizeof text);
        return static_cast<int>(std::min<std::size_t>(length, 0x7FFFFFFF));
    }
    const std::size_t copied = std::min<std::size_t>(length, static_cast<std::size_t>(bufferMax) - 1);
    std::memcpy(buffer, text, copied * sizeof(WCHAR));
    buffer[copied] = 0;
    return static_cast<int>(copied);
}
