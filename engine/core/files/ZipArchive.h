// The zip archive access layer: opens ".par" (ZIP) archives from a file handle, a path or a
// memory image through minizip, and extracts one entry by index into a caller's buffer with
// zlib's inflate, its allocations in engine memory. Every outcome is a numeric result code.
#pragma once

#include "engine/core/files/ZipSource.h"
#include "platform/base/Types.h"

// Result codes.
constexpr DWORD kZipOk = 0;
constexpr DWORD kZipCannotOpen = 0x200;          // no file, or no valid archive in the source
constexpr DWORD kZipBufferTooSmall = 0x600;      // the entry holds more data than the buffer
constexpr DWORD kZipCorrupt = 0x700;             // headers disagree, or the data fails its size or CRC
constexpr DWORD kZipReadError = 0x800;           // read or seek error on the source
constexpr DWORD kZipEncrypted = 0x1000;          // the layer has no password to decrypt with
constexpr DWORD kZipBadArguments = 0x10000;      // null handle, unknown mode, index out of range
constexpr DWORD kZipNotUnzipHandle = 0x80000;    // the handle's kind word is not 1
constexpr DWORD kZipHandleNotSeekable = 0x2000000;
constexpr DWORD kZipDecompressionError = 0x5000000;

struct ZipReader;

// What callers hold: {kind 1 = an unzip handle, the reader state}.
constexpr DWORD kZipUnzipHandle = 1;
struct ZipArchive {
    DWORD kind;
    ZipReader* reader;
};

// mode kZipSourceHandle: `source` is an open file handle (length ignored); kZipSourcePath: a
// wide handset path; kZipSourceMemory: an image of `length` bytes that must outlive the
// archive. Null on failure, with the reason in *result when asked for.
ZipArchive* ZipOpenArchive(const void* source, DWORD length, DWORD mode, DWORD* result = nullptr);
ZipArchive* ZipOpenArchiveImage(const void* image, DWORD length, DWORD* result = nullptr);
ZipArchive* ZipOpenArchivePath(LPCWSTR path, DWORD* result = nullptr);

DWORD ZipCloseArchive(ZipArchive* archive);

// Where a walk of the archive's local headers found an entry: the offsets of its name and of
// its data in the archive.
struct ZipEntryPlace {
    DWORD nameOffset;
    DWORD dataOffset;
};

// Decompresses entry `index` (central directory order) from its beginning into `buffer`.
// kZipOk: the whole entry is in the buffer and matched its size and CRC; kZipBufferTooSmall:
// the buffer is full and the entry goes on. A failed extraction leaves the archive usable.
// `extracted` (when given) gets the number of bytes written to the buffer. With `expected`,
// the directory's entry must be the local header found there, its data beginning at the
// same offset and its name the local header's name; else kZipCorrupt.
DWORD ZipExtractEntry(ZipArchive* archive, LONG index, void* buffer, DWORD size, DWORD* extracted = nullptr,
                      const ZipEntryPlace* expected = nullptr);

// The number of entries in the archive, or -1 for a handle that is not an open archive.
LONG ZipEntryCount(ZipArchive* archive);
