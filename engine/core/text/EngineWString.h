// EngineWString: the engine's small owned wide (UTF-16) string for everything shown on
// screen, a text pointer and a length in 16-bit units with its buffer from the engine allocator.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/core/memory/EngineMemory.h"
#include "platform/base/Types.h"

// An empty EngineWString owns a buffer holding a single 0. text[length] is always 0; when a
// buffer cannot be allocated (the allocator has logged it) the string is left empty and
// points at a static zero.
class EngineWString : public EngineAllocated {
public:
    EngineWString();
    explicit EngineWString(const WCHAR* text);
    EngineWString(const EngineWString& other);
    EngineWString(EngineWString&& other) noexcept;
    EngineWString& operator=(const EngineWString& other);
    EngineWString& operator=(EngineWString&& other) noexcept;
    ~EngineWString() { Free(); }

    static EngineWString FromChars(const WCHAR* text);
    // Converts zero-terminated UTF-8 text (code page 65001).
    static EngineWString FromUtf8(const char* text);
    // `count` units starting at `text` (which need not be terminated).
    static EngineWString FromRange(const WCHAR* text, std::size_t count);
    // `length` units, zero-filled and terminated; empty for length < 1.
    static EngineWString OfLength(int length);
    // The platform's wide printf (%s takes a wide text); null gives the empty string, a
    // result longer than 8191 units is cut there.
    static EngineWString Format(const WCHAR* format, ...);

    // Replaces the text with a copy (null: empty); `text` may point into this string.
    void Assign(const WCHAR* text);
    // Replaces the text with a copy of other's, keeping the buffer when the lengths agree.
    void Copy(const EngineWString& other);
    // As EngineString::Mid.
    EngineWString Mid(int start, int count) const;
    // Gives back the buffer.
    void Free();

    // A string object of its own in engine memory (as the lines of WrapText); null when
    // memory runs out.
    static EngineWString* New(const WCHAR* text, std::size_t count);
    static void Delete(EngineWString* string);
    // Delete for the items of a KDLList (ListDeleteAll).
    static void DeleteItem(void* item);

    const WCHAR* Text() const { return text_; }
    WCHAR* Buffer() { return text_; }
    std::uint32_t Length() const { return length_; }
    bool IsEmpty() const { return length_ == 0; }

private:
    void SetFrom(const WCHAR* text, std::size_t length);

    WCHAR* text_;
    std::uint32_t length_;
};
