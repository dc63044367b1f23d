// CFrameObject ("Orm.LSP.Frame"): its item's rectangle framed with an eight-tile border
// skin (the image named by "Border", or the image "Border"), moved in by "OffsetLeft",
// "OffsetTop", "OffsetRight" and "OffsetBottom", drawing the sides "DrawFlags" names
// (1 left, 2 top, 4 right, 8 bottom; default all) and filling the inside black at
// "BackgrdOpacity" (the object's value, else the pack's). With "StretchFlags" the edges
// whose bit is clear follow the painted area instead of the item.
#pragma once

#include "dialer/objects/LayoutObject.h"
#include "dialer/surface/SkinImage.h"

class CFrameObject : public CLayoutObject {
public:
    HRESULT Paint(const ItemEventRecord* item, PaintContext* context) override;
    // E_FAIL when the border skin (8-bit image with its mask) does not load; throws
    // E_ORM_FAIL without "BackgrdOpacity".
    HRESULT Reload() override;

private:
    CSkinImage m_skin;
    LONG m_offsetLeft = 0;
    LONG m_offsetTop = 0;
    LONG m_offsetRight = 0;
    LONG m_offsetBottom = 0;
};
