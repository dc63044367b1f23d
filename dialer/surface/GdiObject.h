// CGdiObject holds one GDI object and deletes it with itself; CSharedFont is the shared
// font reference that layout values hand out (the last user deletes the font).
#pragma once

#include <utility>

#include "dialer/foundation/SharedRef.h"
#include "platform/base/Types.h"

class CGdiObject {
public:
    CGdiObject() = default;
    explicit CGdiObject(HGDIOBJ object) : m_object(object) {}
    CGdiObject(CGdiObject&& other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}
    CGdiObject& operator=(CGdiObject&& other) noexcept;
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    ~CGdiObject() { Delete(); }

    HGDIOBJ Get() const { return m_object; }
    HFONT GetFont() const { return static_cast<HFONT>(m_object); }
    // Holds object; the object held before is deleted when it differs.
    void Attach(HGDIOBJ object);
    HGDIOBJ Detach() { return std::exchange(m_object, nullptr); }
    // Deletes the held object and clears the holder when that succeeds.
    bool Delete();

private:
    HGDIOBJ m_object = nullptr;
};

using CSharedFont = CSharedRef<CGdiObject>;

// A shared reference that owns font. Throws E_OUTOFMEMORY (the font is deleted then).
CSharedFont MakeSharedFont(CGdiObject&& font);
