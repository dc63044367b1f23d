// Brushes: solid colours that fills and pattern raster operations paint with.
#pragma once

#include "platform/base/Types.h"
#include "platform/gdi/GdiObject.h"

// Brush styles
constexpr UINT BS_SOLID = 0;
constexpr UINT BS_NULL = 1;
constexpr UINT BS_HOLLOW = BS_NULL;

struct LOGBRUSH {
    UINT lbStyle;
    COLORREF lbColor;
    ULONG_PTR lbHatch;
};

// A solid brush of the colour (its top byte is ignored).
HBRUSH CreateSolidBrush(COLORREF color);

namespace platform::gdi {

class BrushObject : public GdiObject {
public:
    explicit BrushObject(const LOGBRUSH& description) : m_description(description) {}
    DWORD Type() const override { return OBJ_BRUSH; }
    const void* Description(std::size_t* size) const override {
        *size = sizeof m_description;
        return &m_description;
    }
    bool IsNull() const { return m_description.lbStyle == BS_NULL; }
    COLORREF Color() const { return m_description.lbColor & 0xFFFFFFu; }

private:
    LOGBRUSH m_description;
};

}  // namespace platform::gdi
