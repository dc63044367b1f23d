// GDI objects (fonts now; bitmaps, brushes and pens join them): one table of live objects
// so that a handle is checked before use, GetObjectW to read an object's description and
// DeleteObject to free it.
#pragma once

#include <cstddef>

#include "platform/base/Types.h"

constexpr DWORD OBJ_FONT = 6;

// Copies at most `size` bytes of the object's description (a LOGFONTW for a font) into
// buffer and returns the count; with a null buffer returns the description's size. 0 for
// a handle that is not a live object (ERROR_INVALID_HANDLE).
int GetObjectW(HGDIOBJ object, int size, LPVOID buffer);
// Frees a live object; FALSE for null or an unknown handle.
BOOL DeleteObject(HGDIOBJ object);

namespace platform {

// The base of every GDI object; its address is its handle.
class GdiObject {
public:
    GdiObject() = default;
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    virtual ~GdiObject() = default;

    virtual DWORD Type() const = 0;
    // The object's description as GetObjectW hands it out.
    virtual const void* Description(std::size_t* size) const = 0;
};

// Enters a new object into the table and returns its handle.
HGDIOBJ RegisterGdiObject(GdiObject* object);
// The live object behind a handle, or null. The pointer stays valid until DeleteObject.
GdiObject* GdiObjectFromHandle(HGDIOBJ handle);

}  // namespace platform
