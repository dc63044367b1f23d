// Opening, extracting from and closing ZIP archives. minizip reads the directory and checks
// each entry's local header; the entry's compressed bytes are then taken straight from the
// source (in place for a memory image) and inflated here, with the CRC checked on the way.
#include "engine/core/files/ZipArchive.h"

#include <minizip/unzip.h>
#include <zlib.h>

#include <cstring>

#include "engine/core/files/Crc32.h"
#include "engine/core/memory/EngineMemory.h"
#include "platform/base/Errors.h"
#include "platform/fs/Files.h"

struct ZipReader {
    unzFile archive;
    ZipSource* source;  // owned by minizip, which closes it with the archive
    LONG openEntry;  // -1: none
    LONG cursor;     // the entry minizip's cursor is on; -1: not known
    LONG entryCount;
    // Where in the central directory the entries 0 .. placed - 1 are, as minizip's cursor
    // met them, so that the cursor goes back to any of them at once (null: not allocated).
    ZPOS64_T* places;
    LONG placed;
};

namespace {

// What ZipOpenArchive hands minizip as the "file name": the source and where to put the
// result of making the I/O record.
struct OpenRequest {
    const void* source;
    DWORD length;
    DWORD mode;
    DWORD result;
    ZipSource* made;
};

voidpf IoOpen(voidpf, const void* name, int) {
    auto* request = static_cast<OpenRequest*>(const_cast<void*>(name));
    request->made = ZipIoOpen(request->source, request->length, request->mode, &request->result);
    return request->made;
}

uLong IoRead(voidpf, voidpf stream, void* buffer, uLong size) {
    // minizip asks in bytes (size 1, count n); a request never exceeds its 64 KB buffers.
    return ZipIoRead(buffer, 1, static_cast<DWORD>(size > 0xFFFFFFFFul ? 0xFFFFFFFFul : size),
                     static_cast<ZipSource*>(stream));
}

uLong IoWrite(voidpf, voidpf, const void*, uLong) { return 0; }

ZPOS64_T IoTell(voidpf, voidpf stream) { return ZipIoTell(static_cast<ZipSource*>(stream)); }

long IoSeek(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
    return ZipIoSeek(static_cast<ZipSource*>(stream), offset, origin);
}

int IoClose(voidpf, voidpf stream) { return ZipIoClose(static_cast<ZipSource*>(stream)); }

int IoError(voidpf, voidpf stream) { return static_cast<ZipSource*>(stream)->error; }

const zlib_filefunc64_def kIoTable = {IoOpen, IoRead, IoWrite, IoTell, IoSeek, IoClose, IoError, nullptr};

ZipReader* ReaderOf(ZipArchive* archive, DWORD& result) {
    if (archive == nullptr) {
        result = kZipBadArguments;
        return nullptr;
    }
    if (archive->kind != kZipUnzipHandle || archive->reader == nullptr) {
        result = kZipNotUnzipHandle;
        return nullptr;
    }
    result = kZipOk;
    return archive->reader;
}

void CloseOpenEntry(ZipReader& reader) {
    if (reader.openEntry != -1) unzCloseCurrentFile(reader.archive);
    reader.openEntry = -1;
}

DWORD CodeOfMinizipError(int error) {
    if (error == UNZ_ERRNO) return kZipReadError;
    if (error == UNZ_BADZIPFILE) return kZipCorrupt;
    return kZipDecompressionError;
}

// Notes where the cursor's entry is, while the cursor walks on from the last noted entry.
// minizip answers 0 where it cannot tell; the notes stop there.
void NotePlace(ZipReader& reader) {
    if (reader.places == nullptr || reader.cursor != reader.placed) return;
    const ZPOS64_T place = unzGetOffset64(reader.archive);
    if (place == 0) return;
    reader.places[reader.placed++] = place;
}

// Puts the cursor on an entry whose place is noted.
DWORD JumpCursor(ZipReader& reader, LONG index) {
    reader.cursor = -1;
    const int error = unzSetOffset64(reader.archive, reader.places[index]);
    if (error != UNZ_OK) return CodeOfMinizipError(error);
    reader.cursor = index;
    return kZipOk;
}

// Puts minizip's cursor on entry `index` (< entry count): at once when its place is noted,
// else stepping forward from the nearest entry before it (the last noted one, the cursor's,
// or the first) and noting the places met on the way. Opening the entries of an archive
// one by one in any order thus walks its directory once.
DWORD MoveCursor(ZipReader& reader, LONG index) {
    if (reader.places == nullptr && reader.entryCount > 1) {
        reader.places = static_cast<ZPOS64_T*>(EngineAlloc(sizeof(ZPOS64_T) * static_cast<std::size_t>(reader.entryCount)));
        reader.placed = 0;
    }
    if (index == reader.cursor) return kZipOk;
    if (index < reader.placed) return JumpCursor(reader, index);
    const LONG lastNoted = reader.placed - 1;
    if (reader.cursor < 0 || reader.cursor > index || (lastNoted > reader.cursor && lastNoted >= 0)) {
        if (lastNoted > 0) {
            const DWORD result = JumpCursor(reader, lastNoted);
            if (result != kZipOk) return result;
        } else {
            reader.cursor = -1;
            const int error = unzGoToFirstFile(reader.archive);
            if (error != UNZ_OK) return CodeOfMinizipError(error);
            reader.cursor = 0;
            NotePlace(reader);
        }
    }
    NotePlace(reader);  // the first entry, where the archive was opened
    while (reader.cursor < index) {
        const int error = unzGoToNextFile(reader.archive);
        if (error != UNZ_OK) {
            reader.cursor = -1;
            return error == UNZ_END_OF_LIST_OF_FILE ? kZipCorrupt : CodeOfMinizipError(error);
        }
        ++reader.cursor;
        NotePlace(reader);
    }
    return kZipOk;
}

constexpr unsigned kInputChunk = 64 * 1024;
// Output is inflated in pieces of this size so that its CRC is taken while it is in cache.
constexpr std::uint64_t kOutputChunk = 1024 * 1024;

// The compressed bytes of the open entry, read from the source: a memory image hands them
// out in place, a file handle in chunks.
class EntryInput {
public:
    EntryInput(ZipSource& source, std::uint64_t position, std::uint64_t length)
        : source_(source), position_(position), left_(length) {}

    // The next piece (size 0 at the end); a code other than kZipOk when the source fails.
    DWORD Next(const BYTE*& data, DWORD& size) {
        data = nullptr;
        size = 0;
        if (left_ == 0) return kZipOk;
        if (!source_.isHandle) {
            if (position_ > source_.imageLength || left_ > source_.imageLength - position_) return kZipReadError;
            data = source_.image + position_;
            size = static_cast<DWORD>(left_ < 0x40000000u ? left_ : 0x40000000u);
        } else {
            if (!positioned_ && ZipIoSeek(&source_, position_, kZipSeekSet) != 0) return kZipReadError;
            positioned_ = true;
            const DWORD wanted = static_cast<DWORD>(left_ < kInputChunk ? left_ : kInputChunk);
            if (ZipIoRead(buffer_, 1, wanted, &source_) != wanted) return kZipReadError;
            data = buffer_;
            size = wanted;
        }
        position_ += size;
        left_ -= size;
        return kZipOk;
    }

private:
    ZipSource& source_;
    std::uint64_t position_;
    std::uint64_t left_;
    bool positioned_ = false;
    BYTE buffer_[kInputChunk];
};

// Stored data: copied as it is.
DWORD CopyStored(EntryInput& input, const unz_file_info64& info, BYTE* buffer, DWORD size, std::uint64_t& done) {
    if (info.compressed_size != info.uncompressed_size) return kZipCorrupt;
    const std::uint64_t wanted = size < info.uncompressed_size ? size : info.uncompressed_size;
    while (done < wanted) {
        const BYTE* data = nullptr;
        DWORD piece = 0;
        const DWORD result = input.Next(data, piece);
        if (result != kZipOk) return result;
        if (piece == 0) return kZipCorrupt;
        const std::uint64_t copied = piece < wanted - done ? piece : wanted - done;
        std::memcpy(buffer + done, data, static_cast<std::size_t>(copied));
        done += copied;
    }
    if (size < info.uncompressed_size) return kZipBufferTooSmall;
    return Crc32(0, buffer, static_cast<std::size_t>(wanted)) == info.crc ? kZipOk : kZipCorrupt;
}

// Deflated data: inflated into the buffer, the CRC taken piece by piece.
DWORD Inflate(EntryInput& input, const unz_file_info64& info, BYTE* buffer, DWORD size, std::uint64_t& produced) {
    z_stream stream{};
    stream.zalloc = ZipAlloc;
    stream.zfree = ZipFree;
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return kZipDecompressionError;
    const std::uint64_t target = size < info.uncompressed_size ? size : info.uncompressed_size;
    std::uint32_t crc = 0;
    BYTE spare;  // shows whether the data goes on past its recorded size
    DWORD result = kZipOk;
    bool ended = false;
    while (result == kZipOk && !ended) {
        if (stream.avail_in == 0) {
            const BYTE* data = nullptr;
            DWORD piece = 0;
            result = input.Next(data, piece);
            if (result != kZipOk) break;
            stream.next_in = const_cast<Bytef*>(data);
            stream.avail_in = piece;
        }
        const bool full = produced == target;
        BYTE* out = full ? &spare : buffer + produced;
        const std::uint64_t room = full ? 1 : target - produced;
        stream.next_out = out;
        stream.avail_out = static_cast<uInt>(room < kOutputChunk ? room : kOutputChunk);
        const uInt before = stream.avail_out;
        const uInt inputBefore = stream.avail_in;
        const int status = inflate(&stream, Z_NO_FLUSH);
        const uInt made = before - stream.avail_out;
        if (full && made > 0) {
            // More data than the buffer holds: for a short buffer that is expected, for a
            // buffer of the recorded size the entry is longer than its header says.
            result = target < info.uncompressed_size ? kZipBufferTooSmall : kZipCorrupt;
            break;
        }
        if (!full) {
            crc = Crc32(crc, out, made);
            produced += made;
        }
        if (status == Z_STREAM_END) {
            ended = true;
        } else if (status == Z_BUF_ERROR && inputBefore == 0) {
            result = kZipCorrupt;  // the compressed data ends before the stream does
        } else if (status != Z_OK && status != Z_BUF_ERROR) {
            result = kZipDecompressionError;
        }
    }
    inflateEnd(&stream);
    if (result != kZipOk) return result;
    // The stream ended: it must have held exactly the recorded size.
    if (produced != info.uncompressed_size) return kZipCorrupt;
    return crc == info.crc ? kZipOk : kZipCorrupt;
}

// Reads `length` bytes at `offset` of the source; false when they are not all there.
bool ReadAt(ZipSource& source, std::uint64_t offset, BYTE* buffer, DWORD length) {
    if (length == 0) return true;
    if (!source.isHandle) {
        if (offset > source.imageLength || length > source.imageLength - offset) return false;
        std::memcpy(buffer, source.image + offset, length);
        return true;
    }
    return ZipIoSeek(&source, offset, kZipSeekSet) == 0 && ZipIoRead(buffer, 1, length, &source) == length;
}

// Whether minizip's current entry, whose directory name has `nameLength` bytes, is the local
// header at `expected`: the same data offset, and the directory's name equal to the name in
// that header (minizip has already found the two names of equal length).
DWORD CheckEntryPlace(ZipReader& reader, DWORD nameLength, const ZipEntryPlace& expected) {
    if (unzGetCurrentFileZStreamPos64(reader.archive) != expected.dataOffset) return kZipCorrupt;
    if (nameLength == 0) return kZipOk;
    auto* names = static_cast<BYTE*>(EngineAlloc(2 * std::size_t{nameLength} + 1));
    if (names == nullptr) return kZipReadError;
    DWORD result = kZipOk;
    const int error = unzGetCurrentFileInfo64(reader.archive, nullptr, reinterpret_cast<char*>(names),
                                              nameLength + 1, nullptr, 0, nullptr, 0);
    if (error != UNZ_OK) result = CodeOfMinizipError(error);
    else if (!ReadAt(*reader.source, expected.nameOffset, names + nameLength + 1, nameLength)) result = kZipReadError;
    else if (std::memcmp(names, names + nameLength + 1, nameLength) != 0) result = kZipCorrupt;
    EngineFree(names);
    return result;
}

}  // namespace

ZipArchive* ZipOpenArchive(const void* source, DWORD length, DWORD mode, DWORD* result) {
    DWORD ignored = 0;
    if (result == nullptr) result = &ignored;
    auto* reader = static_cast<ZipReader*>(EngineAlloc(sizeof(ZipReader)));
    auto* archive = static_cast<ZipArchive*>(EngineAlloc(sizeof(ZipArchive)));
    if (reader == nullptr || archive == nullptr) {
        EngineFree(reader);
        EngineFree(archive);
        *result = kZipCannotOpen;
        return nullptr;
    }
    *reader = ZipReader{nullptr, nullptr, -1, -1, 0, nullptr, 0};
    if (mode == kZipSourceHandle) {
        LONG high = 0;
        SetLastError(0);
        const DWORD low = SetFilePointer(const_cast<HANDLE>(source), 0, &high, FILE_CURRENT);
        if (low == INVALID_SET_FILE_POINTER && GetLastError() != 0) {
            EngineFree(reader);
            EngineFree(archive);
            *result = kZipHandleNotSeekable;
            return nullptr;
        }
    }
    OpenRequest request{source, length, mode, kZipOk, nullptr};
    zlib_filefunc64_def table = kIoTable;
    reader->archive = unzOpen2_64(&request, &table);
    unz_global_info64 global{};
    if (reader->archive != nullptr && unzGetGlobalInfo64(reader->archive, &global) != UNZ_OK) {
        unzClose(reader->archive);
        reader->archive = nullptr;
    }
    if (reader->archive == nullptr) {
        // A source that opened but held no archive was closed again by minizip.
        *result = request.result != kZipOk ? request.result : kZipCannotOpen;
        EngineFree(reader);
        EngineFree(archive);
        return nullptr;
    }
    reader->entryCount = global.number_entry > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<LONG>(global.number_entry);
    reader->source = request.made;
    reader->cursor = 0;  // minizip starts on the first entry
    *archive = ZipArchive{kZipUnzipHandle, reader};
    *result = kZipOk;
    return archive;
}

ZipArchive* ZipOpenArchiveImage(const void* image, DWORD length, DWORD* result) {
    return ZipOpenArchive(image, length, kZipSourceMemory, result);
}

ZipArchive* ZipOpenArchivePath(LPCWSTR path, DWORD* result) { return ZipOpenArchive(path, 0, kZipSourcePath, result); }

DWORD ZipCloseArchive(ZipArchive* archive) {
    DWORD result = kZipOk;
    ZipReader* reader = ReaderOf(archive, result);
    if (reader == nullptr) return result;
    CloseOpenEntry(*reader);
    unzClose(reader->archive);
    EngineFree(reader->places);
    EngineFree(reader);
    archive->kind = 0;
    archive->reader = nullptr;
    EngineFree(archive);
    return kZipOk;
}

LONG ZipEntryCount(ZipArchive* archive) {
    DWORD result = kZipOk;
    ZipReader* reader = ReaderOf(archive, result);
    return reader != nullptr ? reader->entryCount : -1;
}

DWORD ZipExtractEntry(ZipArchive* archive, LONG index, void* buffer, DWORD size, DWORD* extracted,
                      const ZipEntryPlace* expected) {
    if (extracted != nullptr) *extracted = 0;
    DWORD result = kZipOk;
    ZipReader* reader = ReaderOf(archive, result);
    if (reader == nullptr) return result;
    CloseOpenEntry(*reader);
    if (index < 0 || index >= reader->entryCount || (buffer == nullptr && size > 0)) return kZipBadArguments;
    result = MoveCursor(*reader, index);
    if (result != kZipOk) return result;
    unz_file_info64 info{};
    int error = unzGetCurrentFileInfo64(reader->archive, &info, nullptr, 0, nullptr, 0, nullptr, 0);
    if (error != UNZ_OK) return CodeOfMinizipError(error);
    // This minizip cannot decrypt, and the layer has no password to give it anyway.
    if ((info.flag & 1) != 0) return kZipEncrypted;
    int method = 0;
    int level = 0;
    error = unzOpenCurrentFile3(reader->archive, &method, &level, 1, nullptr);
    if (error != UNZ_OK) return CodeOfMinizipError(error);
    reader->openEntry = index;
    // minizip has checked the local header against the directory and found the data; a
    // header whose sizes follow the data (flag bit 3) is checked for its method alone.
    if (expected != nullptr) result = CheckEntryPlace(*reader, static_cast<DWORD>(info.size_filename), *expected);
    std::uint64_t written = 0;
    if (result == kZipOk) {
        EntryInput input(*reader->source, unzGetCurrentFileZStreamPos64(reader->archive), info.compressed_size);
        auto* bytes = static_cast<BYTE*>(buffer);
        if (method == 0) result = CopyStored(input, info, bytes, size, written);
        else if (method == Z_DEFLATED) result = Inflate(input, info, bytes, size, written);
        else result = kZipDecompressionError;
    }
    if (extracted != nullptr) *extracted = static_cast<DWORD>(written);
    // Every call starts its entry from the beginning: nothing is left open between calls.
    CloseOpenEntry(*reader);
    return result;
}
