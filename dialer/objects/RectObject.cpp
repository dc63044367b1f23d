// Filled and outlined rectangles.
#include "dialer/objects/RectObject.h"

#include "dialer/surface/SurfaceDrawing.h"

HRESULT CRectObject::Paint(const ItemEventRecord*, PaintContext* context) {
    RECT bounds{};
    if (QueryRect(0, 0, &bounds, nullptr, nullptr) != S_OK) return S_OK;
    CPaintArea area(context);
    if (!area.IsValid()) return S_OK;
    RECT rect = area.ToView(bounds);
    if (rect.right == rect.left) ++rect.right;
    if (rect.bottom == rect.top) ++rect.bottom;
    const COLORREF color = static_cast<COLORREF>(ReadInt(u"LineColor", 0));
    const int opacity = static_cast<int>(ReadInt(u"LineOpacity", 0) & 0xFF);
    if (opacity == 0) return S_OK;
    const LONG width = rect.right - rect.left;
    const LONG height = rect.bottom - rect.top;
    CDibSurface& target = area.Surface();
    if (ReadInt(u"AsFrame", 0) == 0) {
        FillRectRGB565(target, rect.left, rect.top, width, height, color, opacity);
        return S_OK;
    }
    // Four strips: top and bottom across the whole width, the sides between them.
    const LONG line = ReadInt(u"FrameWidth", 1);
    FillRectRGB565(target, rect.left, rect.top, width, line, color, opacity);
    FillRectRGB565(target, rect.left, rect.bottom - line, width, line, color, opacity);
    FillRectRGB565(target, rect.left, rect.top + line, line, height - 2 * line, color, opacity);
    FillRectRGB565(target, rect.right - line, rect.top + line, line, height - 2 * line, color, opacity);
    return S_OK;
}
