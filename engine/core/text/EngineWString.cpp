// The operations of EngineWString.
#include "engine/core/text/EngineWString.h"

#include <cstdarg>
#include <cstring>

#include "platform/base/CodePage.h"
#include "platform/base/WideString.h"

namespace {

// Stands in for a buffer that could not be allocated; never written, never freed.
WCHAR missingBuffer[1] = {0};

constexpr std::size_t kFormatBufferUnits = 8192;

WCHAR* AllocateUnits(std::size_t units) {
    if (units > kMaximumEngineAllocation / sizeof(WCHAR)) return nullptr;
    return static_cast<WCHAR*>(EngineAlloc(units * sizeof(WCHAR)));
}

void FreeUnits(WCHAR* text) {
    if (text != nullptr && text != missingBuffer) EngineFree(text);
}

}  // namespace

EngineWString::EngineWString() : text_(missingBuffer), length_(0) { SetFrom(nullptr, 0); }

EngineWString::EngineWString(const WCHAR* text) : text_(missingBuffer), length_(0) {
    SetFrom(text, text != nullptr ? wcslen(text) : 0);
}

EngineWString::EngineWString(const EngineWString& other) : text_(missingBuffer), length_(0) {
    SetFrom(other.text_, other.length_);
}

EngineWString::EngineWString(EngineWString&& other) noexcept : text_(other.text_), length_(other.length_) {
    other.text_ = missingBuffer;
    other.length_ = 0;
}

EngineWString& EngineWString::operator=(const EngineWString& other) {
    Copy(other);
    return *this;
}

EngineWString& EngineWString::operator=(EngineWString&& other) noexcept {
    if (this != &other) {
        FreeUnits(text_);
        text_ = other.text_;
        length_ = other.length_;
        other.text_ = missingBuffer;
        other.length_ = 0;
    }
    return *this;
}

void EngineWString::SetFrom(const WCHAR* text, std::size_t length) {
    WCHAR* buffer = AllocateUnits(length + 1);
    if (buffer == nullptr) {
        FreeUnits(text_);
        text_ = missingBuffer;
        length_ = 0;
        return;
    }
    if (length > 0) std::memmove(buffer, text, length * sizeof(WCHAR));
    buffer[length] = 0;
    FreeUnits(text_);
    text_ = buffer;
    length_ = static_cast<std::uint32_t>(length);
}

EngineWString EngineWString::FromChars(const WCHAR* text) { return EngineWString(text); }

EngineWString EngineWString::FromUtf8(const char* text) {
    EngineWString result;
    if (text == nullptr) return result;
    // UTF-8 never takes fewer bytes than UTF-16 takes units, so strlen + 1 units hold it all.
    const std::size_t units = std::strlen(text) + 1;
    if (units > 0x7FFFFFFF) return result;
    WCHAR* buffer = AllocateUnits(units);
    if (buffer == nullptr) return result;
    const int written = MultiByteToWideChar(CP_UTF8, 0, text, -1, buffer, static_cast<int>(units));
    if (written <= 0) buffer[0] = 0;
    buffer[units - 1] = 0;
    FreeUnits(result.text_);
    result.text_ = buffer;
    result.length_ = static_cast<std::uint32_t>(wcslen(buffer));
    return result;
}

EngineWString EngineWString::FromRange(const WCHAR* text, std::size_t count) {
    EngineWString result;
    if (text != nullptr && count > 0) result.SetFrom(text, count);
    return result;
}

EngineWString EngineWString::OfLength(int length) {
    EngineWString result;
    if (length < 1) return result;
    WCHAR* buffer = AllocateUnits(static_cast<std::size_t>(length) + 1);
    if (buffer == nullptr) return result;
    std::memset(buffer, 0, (static_cast<std::size_t>(length) + 1) * sizeof(WCHAR));
    FreeUnits(result.text_);
    result.text_ = buffer;
    result.length_ = static_cast<std::uint32_t>(length);
    return result;
}

EngineWString EngineWString::Format(const WCHAR* format, ...) {
    EngineWString result;
    if (format == nullptr) return result;
    WCHAR buffer[kFormatBufferUnits];
    buffer[0] = 0;
    std::va_list arguments;
    va_start(arguments, format);
    // Bounded: a longer result is cut and terminated at the buffer's end.
    vswprintf(buffer, kFormatBufferUnits, format, arguments);
    va_end(arguments);
    buffer[kFormatBufferUnits - 1] = 0;
    result.SetFrom(buffer, wcslen(buffer));
    return result;
}

void EngineWString::Assign(const WCHAR* text) { SetFrom(text, text != nullptr ? wcslen(text) : 0); }

void EngineWString::Copy(const EngineWString& other) {
    if (this == &other) return;
    if (length_ != other.length_ || text_ == missingBuffer) {
        SetFrom(other.text_, other.length_);
        return;
    }
    std::memcpy(text_, other.text_, (std::size_t{length_} + 1) * sizeof(WCHAR));
}

EngineWString EngineWString::Mid(int start, int count) const {
    EngineWString result;
    if (start < 0 || static_cast<std::uint32_t>(start) >= length_ || count <= 0) return result;
    const std::size_t available = length_ - static_cast<std::uint32_t>(start);
    const std::size_t taken = static_cast<std::size_t>(count) < available ? static_cast<std::size_t>(count) : available;
    result.SetFrom(text_ + start, taken);
    return result;
}

void EngineWString::Free() {
    FreeUnits(text_);
    text_ = missingBuffer;
    length_ = 0;
}

EngineWString* EngineWString::New(const WCHAR* text, std::size_t count) {
    auto* string = new EngineWString();
    if (string == nullptr || text == nullptr || count == 0) return string;
    string->SetFrom(text, count);
    if (string->length_ != count) {
        delete string;
        return nullptr;
    }
    return string;
}

void EngineWString::Delete(EngineWString* string) { delete string; }

void EngineWString::DeleteItem(void* item) { Delete(static_cast<EngineWString*>(item)); }
