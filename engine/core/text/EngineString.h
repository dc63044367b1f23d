// EngineString: the engine's small owned 8-bit string (names, paths, file text, tag values),
// a text pointer and a length with its buffer from the engine allocator.
#pragma once

#include <cstdint>

#include "engine/core/memory/EngineMemory.h"
#include "platform/base/Types.h"

// Every empty EngineString points at one shared zero byte, which is never freed, so empty
// strings cost no allocation. text[length] is always 0. When a buffer cannot be allocated
// (the allocator has logged it) the string is left empty.
class EngineString : public EngineAllocated {
public:
    EngineString() noexcept;
    explicit EngineString(const char* text);
    EngineString(const EngineString& other);
    EngineString(EngineString&& other) noexcept;
    EngineString& operator=(const EngineString& other);
    EngineString& operator=(EngineString&& other) noexcept;
    ~EngineString() { Free(); }

    static EngineString FromChars(const char* text);
    // At most `count` characters, stopping at the terminator; empty for null, count < 1 or
    // an empty text.
    static EngineString FromCharsN(const char* text, int count);
    // The UTF-8 form of a zero-terminated wide text; its length is the UTF-8 byte count.
    static EngineString FromWide(const WCHAR* text);
    // `length` characters, zero-filled and terminated; empty for length < 1.
    static EngineString OfLength(int length);
    // printf-style; a result longer than 8191 characters is cut there.
    static EngineString Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

    // Replaces the text with a copy of `text` (null: empty); `text` may point into this one.
    void Assign(const char* text);
    // Replaces the text with a copy of other's, keeping the buffer when the lengths agree.
    void Copy(const EngineString& other);
    // This text followed by the other.
    EngineString Concat(const char* text) const;
    EngineString Concat(const EngineString& other) const;
    // min(length - start, count) characters from start when 0 <= start < length and
    // count > 0; empty otherwise.
    EngineString Mid(int start, int count) const;
    // Gives back the buffer; the string is empty afterwards.
    void Free();

    // A string object of its own in engine memory (as the items of string lists); null when
    // memory runs out.
    static EngineString* New(const char* text);
    static void Delete(EngineString* string);
    // Delete for the items of a KDLList (ListDeleteAll).
    static void DeleteItem(void* item);

    const char* Text() const { return text_; }
    // Writable characters [0, Length()); for filling a string made by OfLength.
    char* Buffer() { return text_; }
    std::uint32_t Length() const { return length_; }
    bool IsEmpty() const { return length_ == 0; }
    // True while the text is the shared empty byte.
    bool IsSharedEmpty() const;

private:
    // Makes this a copy of `length` characters at `text`, which may point into this string.
    void SetFrom(const char* text, std::size_t length);

    char* text_;
    std::uint32_t length_;
};
