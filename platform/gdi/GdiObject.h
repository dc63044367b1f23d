// GDI objects (bitmaps, fonts, brushes, pens): one table of live objects so that a handle
// is checked before use, GetObjectW to read an object's description, DeleteObject to free
// it, and the stock objects every device context starts with.
#pragma once

#include <atomic>
#include <cstddef>
#include <memory>

#include "platform/base/Types.h"

constexpr DWORD OBJ_PEN = 1;
constexpr DWORD OBJ_BRUSH = 2;
constexpr DWORD OBJ_DC = 3;
constexpr DWORD OBJ_FONT = 6;
constexpr DWORD OBJ_BITMAP = 7;
constexpr DWORD OBJ_MEMDC = 10;

// Stock objects
constexpr int WHITE_BRUSH = 0;
constexpr int LTGRAY_BRUSH = 1;
constexpr int GRAY_BRUSH = 2;
constexpr int DKGRAY_BRUSH = 3;
constexpr int BLACK_BRUSH = 4;
constexpr int NULL_BRUSH = 5;
constexpr int HOLLOW_BRUSH = NULL_BRUSH;
constexpr int WHITE_PEN = 6;
constexpr int BLACK_PEN = 7;
constexpr int NULL_PEN = 8;
constexpr int SYSTEM_FONT = 13;

// Copies at most `size` bytes of the object's description (LOGFONTW, BITMAP, LOGBRUSH or
// LOGPEN) into buffer and returns the count; with a null buffer returns the description's
// size. 0 for a handle that is not a live object (ERROR_INVALID_HANDLE).
int GetObjectW(HGDIOBJ object, int size, LPVOID buffer);
// OBJ_PEN, OBJ_BRUSH, OBJ_FONT, OBJ_BITMAP, OBJ_DC or OBJ_MEMDC; 0 for anything else.
DWORD GetObjectType(HGDIOBJ object);
// Frees a live object. FALSE for null, an unknown handle, and an object that a device
// context holds (selected, or kept by SaveDC), as the handset refuses to free those. Stock
// objects are never freed; deleting one succeeds and does nothing.
BOOL DeleteObject(HGDIOBJ object);
// The stock object of that number, or null.
HGDIOBJ GetStockObject(int object);

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

    // How many device-context states (current or saved) refer to the object.
    std::atomic<int> holders{0};
    bool stock = false;
};

using GdiObjectRef = std::shared_ptr<GdiObject>;

// Enters a new object into the table and returns its handle (null for null).
HGDIOBJ RegisterGdiObject(GdiObject* object);
// The live object behind a handle, or null; the reference keeps it alive.
GdiObjectRef FindGdiObject(HGDIOBJ handle);

}  // namespace platform
