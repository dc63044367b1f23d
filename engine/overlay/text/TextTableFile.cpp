// Reading ".text" files into the table: one entry a line, the key up to the first blank,
// the value the rest, in double quotes when its ends must keep what trimming would drop.
#include <utility>

#include "engine/core/files/FileStream.h"
#include "engine/overlay/text/TextTable.h"

namespace {

// Bytes are taken as signed: every byte from 0x80 (each byte of a UTF-8 sequence) counts as
// a control byte, so an unquoted value loses any such character at either end.
bool IsSeparator(std::uint8_t byte) { return byte == ' ' || static_cast<signed char>(byte) < 31; }

bool IsLineEnd(std::uint8_t byte) { return byte == '\r' || byte == '\n'; }

// Backslash and 'n' become a blank and a line feed, keeping the text's length.
void ExpandLineBreaks(EngineWString& text) {
    WCHAR* characters = text.Buffer();
    for (std::uint32_t i = 0; i + 1 < text.Length(); ++i) {
        if (characters[i] == u'\\' && characters[i + 1] == u'n') {
            characters[i] = u' ';
            characters[i + 1] = u'\n';
        }
    }
}

void ParseLine(TextTable& table, const std::uint8_t* line, std::size_t begin, std::size_t end) {
    while (begin < end && IsSeparator(line[begin])) ++begin;
    while (end > begin && IsSeparator(line[end - 1])) --end;
    if (begin == end) return;
    std::size_t keyEnd = begin;
    while (keyEnd < end && !IsSeparator(line[keyEnd])) ++keyEnd;
    if (keyEnd + 1 >= end) return;  // a key alone
    std::size_t valueBegin = keyEnd;
    while (valueBegin < end && IsSeparator(line[valueBegin])) ++valueBegin;
    if (valueBegin + 1 >= end) return;  // a value needs two characters: two letters, or one in quotes
    if (line[valueBegin] == '"') {
        ++valueBegin;
        if (line[end - 1] == '"') --end;
    }
    const EngineString value =
        EngineString::FromCharsN(reinterpret_cast<const char*>(line) + valueBegin, static_cast<int>(end - valueBegin));
    EngineWString text = EngineWString::FromUtf8(value.Text());
    ExpandLineBreaks(text);
    AddTextEntry(table, reinterpret_cast<const char*>(line) + begin, keyEnd - begin, std::move(text));
}

}  // namespace

void ParseTextFile(TextTable& table, const std::uint8_t* data, std::size_t size) {
    if (data == nullptr) return;
    std::size_t at = 0;
    // Editors put a byte-order mark in front of UTF-8 files; it is no part of the first key.
    if (size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF) at = 3;
    while (at < size) {
        const std::size_t begin = at;
        while (at < size && !IsLineEnd(data[at])) ++at;
        // Lines longer than an engine string holds are not texts.
        if (at - begin <= 0x7FFFFFFF) ParseLine(table, data, begin, at);
        while (at < size && IsLineEnd(data[at])) ++at;
    }
}

int LoadTextFile(const char* path) {
    TextTable* table = GlobalTextTable();
    if (table == nullptr || path == nullptr) return 0;
    FileStream stream;
    if (stream.Open(path, kStreamText | kStreamReadWhole) == 0 || !stream.IsMemory()) return 0;
    ParseTextFile(*table, stream.Image(), stream.Size());
    return 1;
}
