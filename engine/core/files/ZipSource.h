// The I/O record behind one open archive: the zip reader reads its ZIP data through it from
// a file handle, a path (a handle the record opens itself) or a memory image.
#pragma once

#include <cstdint>

#include "platform/base/Types.h"

// How ZipOpenArchive and ZipIoOpen take their source.
constexpr DWORD kZipSourceHandle = 1;  // an open file handle
constexpr DWORD kZipSourcePath = 2;    // a wide handset path
constexpr DWORD kZipSourceMemory = 3;  // a memory image of `length` bytes, not copied

struct ZipSource {
    BYTE isHandle;  // 1: a file handle, 0: a memory image
    BYTE seekable;
    HANDLE file;
    BYTE error;  // set when a read on the handle failed
    // The handle's position when the record was made; absolute seeks and tells are relative
    // to it, so an archive can start inside a larger file.
    DWORD initialOffset;
    DWORD closeOnRelease;  // 1 when the record opened the handle itself
    const BYTE* image;
    DWORD imageLength;
    DWORD position;
};

// Seek origins, as the zip reader passes them.
constexpr int kZipSeekSet = 0;
constexpr int kZipSeekCurrent = 1;
constexpr int kZipSeekEnd = 2;
// Seek results besides 0.
constexpr long kZipSeekBadOrigin = 19;
constexpr long kZipSeekUnseekable = 29;

// A new record (engine memory), or null with *result set: the bad-arguments code for an
// unknown mode or a null source, the cannot-open code when the path cannot be opened.
ZipSource* ZipIoOpen(const void* source, DWORD length, DWORD mode, DWORD* result);
// Reads size * count bytes (memory: as many as are left); the bytes read divided by size.
DWORD ZipIoRead(void* buffer, DWORD size, DWORD count, ZipSource* source);
// 0 on success; kZipSeekBadOrigin, kZipSeekUnseekable, or -1 when the handle refused.
long ZipIoSeek(ZipSource* source, std::uint64_t offset, int origin);
std::uint64_t ZipIoTell(ZipSource* source);
// -1 for null; otherwise closes the handle when the record opened it, frees the record, 0.
int ZipIoClose(ZipSource* source);

// zlib's allocation hook: count * size zero-filled bytes from the engine allocator; null for
// a product of 0 or one the allocator refuses. (Its free hook is ZipFree.)
void* ZipAlloc(void* opaque, unsigned count, unsigned size);
