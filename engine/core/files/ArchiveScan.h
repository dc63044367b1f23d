// The archive scan: walks the ZIP local file headers of a ".par" archive from its start, in
// file order, and reports each entry; the central directory (or anything that is not a local
// header) ends the walk.
#pragma once

#include <cstdint>
#include <cstdio>

#include "platform/base/Types.h"

// Where the scan reads the archive's bytes from.
class ArchiveByteSource {
public:
    // Bytes read, fewer at the end of the data.
    virtual DWORD Read(void* buffer, DWORD n) = 0;
    // Moves n bytes forward; false when the source refuses.
    virtual bool Skip(std::uint64_t n) = 0;
    virtual std::uint64_t Position() const = 0;

protected:
    ~ArchiveByteSource() = default;
};

// Reads the file in large pieces of its own and skips within them, so that walking many
// small entries costs a few reads of the file rather than a seek and a read each.
class FileByteSource final : public ArchiveByteSource {
public:
    explicit FileByteSource(FILE* file);
    DWORD Read(void* buffer, DWORD n) override;
    bool Skip(std::uint64_t n) override;
    std::uint64_t Position() const override { return bufferStart_ + at_; }

private:
    static constexpr DWORD kBufferSize = 64 * 1024;

    // Moves the unread bytes to the front and fills the rest; false at the end of the file.
    bool Refill();

    FILE* file_;
    std::uint64_t bufferStart_ = 0;  // the file offset of buffer_[0]
    DWORD at_ = 0;                   // the next byte to hand out
    DWORD end_ = 0;                  // the bytes in the buffer
    BYTE buffer_[kBufferSize];
};

class MemoryByteSource final : public ArchiveByteSource {
public:
    MemoryByteSource(const BYTE* data, std::uint64_t size) : data_(data), size_(size) {}
    DWORD Read(void* buffer, DWORD n) override;
    bool Skip(std::uint64_t n) override;
    std::uint64_t Position() const override { return position_; }

private:
    const BYTE* data_;
    std::uint64_t size_;
    std::uint64_t position_ = 0;
};

// One local header as the scan reports it. The name is zero-terminated.
struct ArchiveHeaderEntry {
    const char* name;
    DWORD dataOffset;  // where the entry's data starts: after the name and the extra field
    DWORD nameOffset;  // the local header's offset + 30
    DWORD uncompressedSize;
    DWORD compressedSize;
    LONG entryIndex;  // the header's position among the archive's local headers, from 0
};

using ArchiveHeaderVisitor = void (*)(const ArchiveHeaderEntry& entry, void* context);

// Calls the visitor for every local header with a non-empty name; the walk stops at a short
// read, a header without the local-header signature, an offset beyond 32 bits or a refused
// skip. The number of headers walked; -1 when no name buffer could be allocated.
LONG ScanLocalHeaders(ArchiveByteSource& source, ArchiveHeaderVisitor visitor, void* context);
