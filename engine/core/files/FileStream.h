// FileStream: the engine's only way to read and write files. A stream is a FILE on disk or a
// memory image (a whole file read at open, or an archive entry extracted by the archive file
// system); text readers take words, numbers and lines from it one byte at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "engine/core/files/DataFolder.h"
#include "engine/core/math/MathTypes.h"
#include "engine/core/memory/EngineMemory.h"
#include "platform/base/Types.h"

// Stream flags.
constexpr DWORD kStreamWrite = 0x1;          // create or truncate; otherwise read
constexpr DWORD kStreamText = 0x2;           // kept for the loaders, not tested by the stream
constexpr DWORD kStreamBinary = 0x8;         // kept for the loaders, not tested by the stream
constexpr DWORD kStreamAbsolutePath = 0x10;  // otherwise the data folder goes in front
constexpr DWORD kStreamHexIntegers = 0x40;
constexpr DWORD kStreamReadWhole = 0x1000;   // read the whole file into memory at open
constexpr DWORD kStreamArchiveImage = 0x4000;
constexpr DWORD kStreamEnd = 0x80000;        // end of data or error

class FileStream : public EngineAllocated {
public:
    FileStream() = default;
    ~FileStream();
    FileStream(const FileStream&) = delete;
    FileStream& operator=(const FileStream&) = delete;

    // 1 on success; 0 with kStreamEnd set when nothing could be opened. Reading asks the
    // archive file system first (a path there wins over the disk; an archive entry that is
    // there but cannot be extracted fails the open rather than falling back to the disk),
    // then the disk. A stream that is still open is closed first.
    int Open(const char* path, DWORD flags);
    // Closes the file and frees the image; sets kStreamEnd. Harmless on a closed stream.
    void Close();

    // Memory mode: n bytes when they all remain (else 0, nothing copied); disk: what fread
    // gives.
    DWORD Read(void* buffer, DWORD n);
    // Disk streams only; 0 in memory mode or without a file.
    DWORD Write(const void* buffer, DWORD n);
    // The characters without the terminator; null writes nothing.
    void WriteString(const char* text);
    // Three little-endian floats.
    void WriteVector3(const Vector3& vector);
    void Flush();
    // origin 0 from the start, 1 from the current position, anything else from the end.
    // Positions are not bounded: one beyond the data makes later reads return 0.
    void Seek(LONG offset, int origin);
    DWORD Tell() const;

    // Text extraction. Blanks are ' ', '\t', '\n', '\v', '\f' and '\r'; bytes are signed, so
    // bytes from 0x80 are never blanks. Running out of data sets kStreamEnd.
    // Reads blanks up to and including the first other character.
    void SkipWhitespace();
    // Leaves the stream on the next non-blank character.
    void SkipToToken();
    // The next word into `buffer`, always terminated: at most capacity - 1 characters are
    // kept, the rest of a longer word is skipped. Empty (and kStreamEnd) when no word is left.
    void ReadWord(char* buffer, std::size_t capacity);
    // Numbers as text: the first non-blank character, then up to 30 more of the number's
    // characters; the value is left unchanged when no text is left.
    void ReadFloat(float& value);
    void ReadInt(std::int32_t& value);   // decimal, or hexadecimal with kStreamHexIntegers
    void ReadUInt(std::uint32_t& value);  // the same bits as ReadInt
    // 1 when a line (possibly cut at capacity - 1 characters) was stored, 0 otherwise. CR, LF
    // and one directly following CR or LF end a line and are not stored.
    int ReadLine(char* buffer, std::size_t capacity);

    // An extracted archive entry (or a test's image) becomes the stream's data: the stream
    // owns `buffer` (an engine allocation of `size` bytes, null for 0) and reads it as a
    // memory image.
    void AttachImage(void* buffer, DWORD size, DWORD base);

    DWORD Flags() const { return flags_; }
    void SetFlags(DWORD flags) { flags_ = flags; }
    bool IsMemory() const { return (flags_ & (kStreamReadWhole | kStreamArchiveImage)) != 0; }
    bool AtEnd() const { return (flags_ & kStreamEnd) != 0; }
    DWORD Base() const { return base_; }
    DWORD Size() const { return size_; }
    const BYTE* Image() const { return buffer_; }

private:
    // The next byte as a signed character, or -1 when no byte is left.
    int NextChar();
    void PutBack();
    // Bytes left after the position; never negative.
    std::int64_t Remaining() const;
    // Skips blanks; the first non-blank character (consumed), or -1 with kStreamEnd set.
    int SkipBlanks();
    // The number text of ReadFloat/ReadInt into `text` (32 bytes); false when none is left.
    bool ReadNumberText(char* text, bool (*accepts)(int character));
    void FreeImage();

    FILE* file_ = nullptr;
    DWORD flags_ = kStreamEnd;
    DWORD base_ = 0;
    DWORD size_ = 0;
    DWORD position_ = 0;
    BYTE* buffer_ = nullptr;
};

// Exactly 4 bytes; true on success. Writing is refused in memory mode. The value is written
// little-endian.
bool StreamRead4(FileStream& stream, void* buffer);
bool StreamWrite4(FileStream& stream, DWORD value);

// The path of the last successful FileStream::Open.
const char* LastOpenedFileName();
