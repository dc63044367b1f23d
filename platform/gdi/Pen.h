// Pens: the line style, width and colour a device context holds. The dialer selects them
// with its other objects; no drawing call here draws lines.
#pragma once

#include "platform/base/Types.h"
#include "platform/gdi/GdiObject.h"

// Pen styles
constexpr int PS_SOLID = 0;
constexpr int PS_DASH = 1;
constexpr int PS_NULL = 5;

struct LOGPEN {
    UINT lopnStyle;
    POINT lopnWidth;
    COLORREF lopnColor;
};

// A pen of the style (PS_SOLID, PS_DASH or PS_NULL), width and colour; null with
// ERROR_INVALID_PARAMETER for another style.
HPEN CreatePen(int style, int width, COLORREF color);

namespace platform::gdi {

class PenObject : public GdiObject {
public:
    explicit PenObject(const LOGPEN& description) : m_description(description) {}
    DWORD Type() const override { return OBJ_PEN; }
    const void* Description(std::size_t* size) const override {
        *size = sizeof m_description;
        return &m_description;
    }

private:
    LOGPEN m_description;
};

}  // namespace platform::gdi
