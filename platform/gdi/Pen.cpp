// Pens.
#include "platform/gdi/Pen.h"

#include "platform/base/Errors.h"

HPEN CreatePen(int style, int width, COLORREF color) {
    if (style != PS_SOLID && style != PS_DASH && style != PS_NULL) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const LOGPEN description{static_cast<UINT>(style), POINT{width < 0 ? 0 : width, 0}, color & 0xFFFFFFu};
    return static_cast<HPEN>(platform::RegisterGdiObject(new platform::gdi::PenObject(description)));
}
