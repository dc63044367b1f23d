// The checked stream reader and the bracketed vector reader.
#include "engine/resources/scene/CheckedStreamReader.h"

#include <algorithm>

namespace {

// The stream flags the reader opens with: read whole, absolute path, binary and text.
constexpr DWORD kCheckedReaderOpenFlags = 0x101E;

// The next non-blank character, consumed; false when none is left.
bool NextToken(FileStream& stream, char& c) {
    stream.SkipToToken();
    return stream.Read(&c, 1) == 1;
}

}  // namespace

CheckedStreamReader::CheckedStreamReader(const char* path) {
    if (stream_.Open(path, kCheckedReaderOpenFlags) == 0) state_ = kReaderNotOpened;
}

CheckedStreamReader& CheckedStreamReader::Checked() {
    if (stream_.AtEnd()) state_ |= kReaderPastEnd;
    return *this;
}

CheckedStreamReader& CheckedStreamReader::Word(char* buffer, std::size_t capacity) {
    stream_.ReadWord(buffer, capacity);
    return Checked();
}

CheckedStreamReader& CheckedStreamReader::Character(char& c) {
    if (!NextToken(stream_, c)) c = 0;
    return Checked();
}

CheckedStreamReader& CheckedStreamReader::Float(float& value) {
    stream_.ReadFloat(value);
    return Checked();
}

CheckedStreamReader& CheckedStreamReader::Int(std::int32_t& value) {
    stream_.ReadInt(value);
    return Checked();
}

CheckedStreamReader& CheckedStreamReader::UInt(std::uint32_t& value) {
    stream_.ReadUInt(value);
    return Checked();
}

CheckedStreamReader& CheckedStreamReader::Line(char* buffer, std::size_t capacity) {
    stream_.ReadLine(buffer, std::min(capacity, kCheckedLineLength + 1));
    return Checked();
}

CheckedStreamReader& CheckedStreamReader::SkipToToken() {
    stream_.SkipToToken();
    return Checked();
}

int ReadBracketedVector4(float (&out)[4], FileStream& stream) {
    char c;
    if (!NextToken(stream, c) || c != '[') return 1;
    float values[4] = {0, 0, 0, 0};
    for (float& value : values) stream.ReadFloat(value);
    for (int i = 0; i < 4; ++i) out[i] = values[i];
    return NextToken(stream, c) && c == ']' ? 0 : 1;
}
