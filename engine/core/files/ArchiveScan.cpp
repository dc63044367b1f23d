// The walk over an archive's local file headers.
#include "engine/core/files/ArchiveScan.h"

#include <cstring>

#include "engine/core/memory/EngineLog.h"
#include "engine/core/memory/EngineMemory.h"

namespace {

constexpr DWORD kLocalHeaderSignature = 0x04034B50;
constexpr DWORD kLocalHeaderSize = 30;
constexpr DWORD kLargestName = 0xFFFF;

DWORD Read16(const BYTE* at) { return DWORD{at[0]} | (DWORD{at[1]} << 8); }
DWORD Read32(const BYTE* at) { return Read16(at) | (Read16(at + 2) << 16); }

}  // namespace

FileByteSource::FileByteSource(FILE* file) : file_(file) {
    const long at = std::ftell(file_);
    bufferStart_ = at < 0 ? 0 : static_cast<std::uint64_t>(at);
}

bool FileByteSource::Refill() {
    const DWORD kept = end_ - at_;
    std::memmove(buffer_, buffer_ + at_, kept);
    bufferStart_ += at_;
    at_ = 0;
    end_ = kept + static_cast<DWORD>(std::fread(buffer_ + kept, 1, kBufferSize - kept, file_));
    return end_ > kept;
}

DWORD FileByteSource::Read(void* buffer, DWORD n) {
    auto* out = static_cast<BYTE*>(buffer);
    DWORD done = 0;
    while (done < n) {
        if (at_ == end_ && !Refill()) break;
        const DWORD piece = n - done < end_ - at_ ? n - done : end_ - at_;
        std::memcpy(out + done, buffer_ + at_, piece);
        at_ += piece;
        done += piece;
    }
    return done;
}

bool FileByteSource::Skip(std::uint64_t n) {
    if (n <= end_ - at_) {
        at_ += static_cast<DWORD>(n);
        return true;
    }
    // Past the buffer: the file is positioned at the buffer's end, so seek by what is left.
    const std::uint64_t beyond = n - (end_ - at_);
    if (beyond > 0x7FFFFFFFu || std::fseek(file_, static_cast<long>(beyond), SEEK_CUR) != 0) return false;
    bufferStart_ += end_ + beyond;
    at_ = end_ = 0;
    return true;
}

DWORD MemoryByteSource::Read(void* buffer, DWORD n) {
    if (position_ >= size_) return 0;
    const std::uint64_t left = size_ - position_;
    const DWORD copied = n < left ? n : static_cast<DWORD>(left);
    std::memcpy(buffer, data_ + position_, copied);
    position_ += copied;
    return copied;
}

bool MemoryByteSource::Skip(std::uint64_t n) {
    // As on a file, skipping past the end succeeds and the next read finds nothing.
    position_ = position_ >= size_ || n >= size_ - position_ ? size_ : position_ + n;
    return true;
}

LONG ScanLocalHeaders(ArchiveByteSource& source, ArchiveHeaderVisitor visitor, void* context) {
    auto* name = static_cast<char*>(EngineAlloc(kLargestName + 1));
    if (name == nullptr) {
        KEL_LOG_EXCEPTION("The archive scan could not allocate its name buffer.");
        return -1;
    }
    LONG entryIndex = 0;
    for (;;) {
        const std::uint64_t headerOffset = source.Position();
        BYTE header[kLocalHeaderSize];
        if (source.Read(header, kLocalHeaderSize) != kLocalHeaderSize) break;
        const DWORD nameLength = Read16(header + 26);
        const DWORD extraLength = Read16(header + 28);
        if (nameLength > 0 && source.Read(name, nameLength) != nameLength) break;
        name[nameLength] = 0;
        if (Read32(header) != kLocalHeaderSignature) break;
        const std::uint64_t dataOffset = headerOffset + kLocalHeaderSize + nameLength + extraLength;
        if (dataOffset > 0xFFFFFFFFu) break;
        const DWORD compressedSize = Read32(header + 18);
        if (nameLength > 0 && name[0] != 0) {
            const ArchiveHeaderEntry entry{name,
                                           static_cast<DWORD>(dataOffset),
                                           static_cast<DWORD>(headerOffset + kLocalHeaderSize),
                                           Read32(header + 22),
                                           compressedSize,
                                           entryIndex};
            visitor(entry, context);
        }
        if (!source.Skip(std::uint64_t{extraLength} + compressedSize)) break;
        ++entryIndex;
    }
    EngineFree(name);
    return entryIndex;
}
