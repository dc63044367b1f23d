// CheckedStreamReader: a text reader over one file whose every read marks an error once the
// data is exhausted, so a loader can chain its reads and check once at the end. Also the
// bracketed four-value reader of colours in material files.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/core/files/FileStream.h"
#include "platform/base/Types.h"

// State word.
constexpr DWORD kReaderNotOpened = 0x2;
constexpr DWORD kReaderPastEnd = 0x4;

// Lines are read up to this many characters.
constexpr std::size_t kCheckedLineLength = 512;

class CheckedStreamReader {
public:
    // Opens the path as it is (not under the data folder), read whole into memory.
    explicit CheckedStreamReader(const char* path);
    CheckedStreamReader(const CheckedStreamReader&) = delete;
    CheckedStreamReader& operator=(const CheckedStreamReader&) = delete;

    // Each read is FileStream's; the reader notes kReaderPastEnd when the stream's end flag
    // is set afterwards, and keeps it.
    CheckedStreamReader& Word(char* buffer, std::size_t capacity);
    // The next character that is not blank; 0 when none is left.
    CheckedStreamReader& Character(char& c);
    CheckedStreamReader& Float(float& value);
    CheckedStreamReader& Int(std::int32_t& value);
    CheckedStreamReader& UInt(std::uint32_t& value);
    // At most kCheckedLineLength characters of the line.
    CheckedStreamReader& Line(char* buffer, std::size_t capacity);
    CheckedStreamReader& SkipToToken();

    DWORD State() const { return state_; }
    // Neither a failed open nor a read past the end.
    bool Good() const { return state_ == 0; }
    FileStream& Stream() { return stream_; }
    // Two words set at construction and kept (1569 and 420).
    DWORD FirstWord() const { return firstWord_; }
    DWORD SecondWord() const { return secondWord_; }

private:
    CheckedStreamReader& Checked();

    DWORD firstWord_ = 1569;
    DWORD secondWord_ = 420;
    DWORD state_ = 0;
    FileStream stream_;
};

// "[a b c d]": skips blanks, requires "[", reads four floats, skips blanks and requires "]".
// The values are stored whenever the "[" was there; 0 on success, 1 on failure.
int ReadBracketedVector4(float (&out)[4], FileStream& stream);
