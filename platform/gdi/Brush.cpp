// Solid brushes.
#include "platform/gdi/Brush.h"

HBRUSH CreateSolidBrush(COLORREF color) {
    return static_cast<HBRUSH>(
        platform::RegisterGdiObject(new platform::gdi::BrushObject(LOGBRUSH{BS_SOLID, color & 0xFFFFFFu, 0})));
}
