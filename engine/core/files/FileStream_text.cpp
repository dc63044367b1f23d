// FileStream's text extraction: words, numbers and lines read one byte at a time.
#include <cstdlib>
#include <cstring>

#include "engine/core/files/FileStream.h"

namespace {

bool IsBlank(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool IsDigit(int c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(int c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
bool IsFloatCharacter(int c) { return IsDigit(c) || c == '-' || c == '+' || c == '.' || c == 'e'; }
bool IsDecimalCharacter(int c) { return IsDigit(c) || c == '-' || c == '+'; }
bool IsHexCharacter(int c) { return IsHexDigit(c) || c == '-' || c == '+'; }

constexpr std::size_t kNumberTextSize = 32;  // 31 characters and the terminator

// atoi without its undefined overflow: the low 32 bits of the (saturated) value.
std::int32_t DecimalValue(const char* text) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(std::strtoll(text, nullptr, 10)));
}

}  // namespace

int FileStream::NextChar() {
    signed char c;
    if (IsMemory()) {
        if (position_ >= size_) return -1;
        c = static_cast<signed char>(buffer_[position_++]);
        return c;
    }
    if (Read(&c, 1) != 1) return -1;
    return c;
}

void FileStream::PutBack() {
    if (IsMemory()) {
        --position_;
        return;
    }
    if (file_ != nullptr) std::fseek(file_, -1, SEEK_CUR);
}

std::int64_t FileStream::Remaining() const {
    const std::int64_t left = std::int64_t{size_} - std::int64_t{Tell()};
    return left > 0 ? left : 0;
}

int FileStream::SkipBlanks() {
    for (;;) {
        const int c = NextChar();
        if (c == -1) {
            flags_ |= kStreamEnd;
            return -1;
        }
        if (!IsBlank(c)) return c;
    }
}

void FileStream::SkipWhitespace() { SkipBlanks(); }

void FileStream::SkipToToken() {
    if (SkipBlanks() != -1) PutBack();
}

void FileStream::ReadWord(char* buffer, std::size_t capacity) {
    std::size_t stored = 0;
    auto store = [&](int c) {
        if (stored + 1 < capacity) buffer[stored++] = static_cast<char>(c);
    };
    int c = Remaining() < 1 ? -1 : SkipBlanks();
    if (c == -1) {
        flags_ |= kStreamEnd;
    } else {
        store(c);
        for (c = NextChar(); c != -1; c = NextChar()) {
            if (IsBlank(c)) {
                PutBack();
                break;
            }
            store(c);
        }
    }
    if (capacity > 0) buffer[stored] = 0;
}

bool FileStream::ReadNumberText(char* text, bool (*accepts)(int character)) {
    int c = SkipBlanks();
    if (c == -1) return false;
    std::size_t length = 0;
    text[length++] = static_cast<char>(c);
    while (length < kNumberTextSize - 1) {
        c = NextChar();
        if (c == -1) break;
        if (!accepts(c)) {
            PutBack();
            break;
        }
        text[length++] = static_cast<char>(c);
    }
    text[length] = 0;
    return true;
}

void FileStream::ReadFloat(float& value) {
    char text[kNumberTextSize];
    if (ReadNumberText(text, IsFloatCharacter)) value = static_cast<float>(std::atof(text));
}

void FileStream::ReadInt(std::int32_t& value) {
    char text[kNumberTextSize];
    const bool hex = (flags_ & kStreamHexIntegers) != 0;
    if (!ReadNumberText(text, hex ? IsHexCharacter : IsDecimalCharacter)) return;
    value = hex ? static_cast<std::int32_t>(static_cast<std::uint32_t>(std::strtoul(text, nullptr, 16)))
                : DecimalValue(text);
}

void FileStream::ReadUInt(std::uint32_t& value) {
    std::int32_t signedValue = static_cast<std::int32_t>(value);
    ReadInt(signedValue);
    value = static_cast<std::uint32_t>(signedValue);
}

int FileStream::ReadLine(char* buffer, std::size_t capacity) {
    if (capacity == 0) return 0;
    if (capacity == 1) {
        buffer[0] = 0;
        return 0;
    }
    if (Remaining() < 1) {
        buffer[0] = 0;
        flags_ |= kStreamEnd;
        return 0;
    }
    std::size_t stored = 0;
    while (stored < capacity - 1) {
        const int c = NextChar();
        if (c == -1) break;
        if (c == '\r' || c == '\n') {
            const int following = NextChar();
            if (following != -1 && following != '\r' && following != '\n') PutBack();
            break;
        }
        buffer[stored++] = static_cast<char>(c);
    }
    buffer[stored] = 0;
    return 1;
}
