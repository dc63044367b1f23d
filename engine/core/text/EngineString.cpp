// The operations of EngineString.
#include "engine/core/text/EngineString.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "platform/base/CodePage.h"

namespace {

// The one shared empty text; only ever re-zeroed.
char sharedEmpty[1] = {'\0'};

constexpr std::size_t kFormatBufferSize = 8192;

// A buffer of `bytes` bytes: the shared empty byte below 2 bytes, else engine memory (null
// when it runs out).
char* AllocateText(std::size_t bytes) {
    if (bytes < 2) return sharedEmpty;
    return static_cast<char*>(EngineAlloc(bytes));
}

void FreeText(char* text) {
    if (text != nullptr && text != sharedEmpty) EngineFree(text);
}

}  // namespace

EngineString::EngineString() noexcept : text_(sharedEmpty), length_(0) {}

EngineString::EngineString(const char* text) : EngineString() {
    if (text != nullptr) SetFrom(text, std::strlen(text));
}

EngineString::EngineString(const EngineString& other) : EngineString() { SetFrom(other.text_, other.length_); }

EngineString::EngineString(EngineString&& other) noexcept : text_(other.text_), length_(other.length_) {
    other.text_ = sharedEmpty;
    other.length_ = 0;
}

EngineString& EngineString::operator=(const EngineString& other) {
    Copy(other);
    return *this;
}

EngineString& EngineString::operator=(EngineString&& other) noexcept {
    if (this != &other) {
        FreeText(text_);
        text_ = other.text_;
        length_ = other.length_;
        other.text_ = sharedEmpty;
        other.length_ = 0;
    }
    return *this;
}

void EngineString::SetFrom(const char* text, std::size_t length) {
    char* buffer = AllocateText(length + 1);
    if (buffer == nullptr) {
        length = 0;
        buffer = sharedEmpty;
    }
    if (length > 0) std::memmove(buffer, text, length);
    buffer[length] = '\0';
    FreeText(text_);
    text_ = buffer;
    length_ = static_cast<std::uint32_t>(length);
}

EngineString EngineString::FromChars(const char* text) { return EngineString(text); }

EngineString EngineString::FromCharsN(const char* text, int count) {
    EngineString result;
    if (text != nullptr && count >= 1) result.SetFrom(text, strnlen(text, static_cast<std::size_t>(count)));
    return result;
}

EngineString EngineString::FromWide(const WCHAR* text) {
    EngineString result;
    if (text == nullptr) return result;
    // Sized by the UTF-8 length, so that characters beyond U+007F are not cut off.
    const int needed = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (needed <= 1) return result;
    char* buffer = AllocateText(static_cast<std::size_t>(needed));
    if (buffer == nullptr) return result;
    const int written = WideCharToMultiByte(CP_UTF8, 0, text, -1, buffer, needed, nullptr, nullptr);
    if (written <= 1) {
        FreeText(buffer);
        return result;
    }
    buffer[written - 1] = '\0';
    result.text_ = buffer;
    result.length_ = static_cast<std::uint32_t>(written - 1);
    return result;
}

EngineString EngineString::OfLength(int length) {
    EngineString result;
    if (length < 1) return result;
    char* buffer = AllocateText(static_cast<std::size_t>(length) + 1);
    if (buffer == nullptr) return result;
    std::memset(buffer, 0, static_cast<std::size_t>(length) + 1);
    result.text_ = buffer;
    result.length_ = static_cast<std::uint32_t>(length);
    return result;
}

EngineString EngineString::Format(const char* format, ...) {
    EngineString result;
    if (format == nullptr) return result;
    char buffer[kFormatBufferSize];
    std::va_list arguments;
    va_start(arguments, format);
    const int written = std::vsnprintf(buffer, sizeof buffer, format, arguments);
    va_end(arguments);
    if (written <= 0) return result;
    // vsnprintf has cut a longer text at the buffer's end.
    const std::size_t length = static_cast<std::size_t>(written) < sizeof buffer ? static_cast<std::size_t>(written)
                                                                                  : sizeof buffer - 1;
    result.SetFrom(buffer, length);
    return result;
}

void EngineString::Assign(const char* text) {
    if (text == nullptr) {
        Free();
        return;
    }
    SetFrom(text, std::strlen(text));
}

void EngineString::Copy(const EngineString& other) {
    if (this == &other) return;
    if (length_ != other.length_) {
        SetFrom(other.text_, other.length_);
        return;
    }
    std::memcpy(text_, other.text_, std::size_t{length_} + 1);
}

EngineString EngineString::Concat(const char* text) const {
    EngineString result;
    if (length_ == 0) {
        result.Assign(text);
        return result;
    }
    const std::size_t otherLength = text != nullptr ? std::strlen(text) : 0;
    if (otherLength == 0) {
        result.SetFrom(text_, length_);
        return result;
    }
    const std::size_t total = std::size_t{length_} + otherLength;
    char* buffer = AllocateText(total + 1);
    if (buffer == nullptr) return result;
    std::memcpy(buffer, text_, length_);
    std::memcpy(buffer + length_, text, otherLength);
    buffer[total] = '\0';
    result.text_ = buffer;
    result.length_ = static_cast<std::uint32_t>(total);
    return result;
}

EngineString EngineString::Concat(const EngineString& other) const { return Concat(other.text_); }

EngineString EngineString::Mid(int start, int count) const {
    EngineString result;
    if (start < 0 || static_cast<std::uint32_t>(start) >= length_ || count <= 0) return result;
    const std::size_t available = length_ - static_cast<std::uint32_t>(start);
    const std::size_t taken = static_cast<std::size_t>(count) < available ? static_cast<std::size_t>(count) : available;
    result.SetFrom(text_ + start, taken);
    return result;
}

void EngineString::Free() {
    FreeText(text_);
    text_ = sharedEmpty;
    length_ = 0;
}

EngineString* EngineString::New(const char* text) {
    auto* string = new EngineString(text);
    return string;
}

void EngineString::Delete(EngineString* string) { delete string; }

void EngineString::DeleteItem(void* item) { Delete(static_cast<EngineString*>(item)); }

bool EngineString::IsSharedEmpty() const { return text_ == sharedEmpty; }
