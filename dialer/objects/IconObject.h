// CIconObject ("Orm.LSP.Icon"): icon number "Index" (default 0) of the icon strip named by
// "Icons" in the image pack, centred in its item's rectangle. The strip holds square icons
// stacked from the top, as wide as the image.
#pragma once

#include "dialer/objects/LayoutObject.h"
#include "dialer/surface/MaskedImage.h"

class CIconObject : public CLayoutObject {
public:
    HRESULT Paint(const ItemEventRecord* item, PaintContext* context) override;
    // Throws the source's failure without "Icons", E_ORM_FAIL when the strip does not load
    // (its colour bitmap is required) or holds no icon of that number.
    HRESULT Reload() override;

private:
    CMaskedImage m_image;
    LONG m_index = 0;
};
