// Line and quoted-name reading over the engine's file streams.
#include "engine/resources/texture/TextLine.h"

#include <cstring>

#include "engine/core/files/FileStream.h"

bool ReadWholeLine(FileStream& stream, char* buffer, std::size_t capacity) {
    if (capacity < 2) return false;
    if (stream.ReadLine(buffer, capacity) == 0) return false;
    if (std::strlen(buffer) < capacity - 1) return true;
    // A line that filled the buffer may go on: its rest is read away in pieces until a
    // piece ends before its buffer does (at the line's end, or the end of the data).
    char rest[64];
    while (stream.ReadLine(rest, sizeof rest) != 0 && std::strlen(rest) == sizeof rest - 1) {
    }
    return true;
}

bool TakeQuotedName(const char* text, char* name, std::size_t capacity) {
    if (capacity == 0) return false;
    name[0] = 0;
    while (*text == ' ' || *text == '\t') ++text;
    if (*text != '"') return false;
    ++text;
    std::size_t length = 0;
    while (text[length] != 0 && text[length] != '"' && text[length] != '\t') ++length;
    if (length > capacity - 1) length = capacity - 1;
    std::memcpy(name, text, length);
    name[length] = 0;
    return true;
}
