// CRectObject ("Orm.LSP.Rect"): its item's rectangle filled, or outlined "FrameWidth"
// pixels wide when "AsFrame" is set, in "LineColor" at "LineOpacity" (0, the default,
// draws nothing). A rectangle of zero width or height is drawn one pixel wide.
#pragma once

#include "dialer/objects/LayoutObject.h"

class CRectObject : public CLayoutObject {
public:
    HRESULT Paint(const ItemEventRecord* item, PaintContext* context) override;
};
