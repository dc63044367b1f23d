// CButtonObject ("Orm.LSP.Button"): the image named by "Face" centred in its item's
// rectangle, lit white through the mask of the image "Mask" while the paint is in a
// pressed state, with a caption (the string service's text for "StringID") in "TextFont"
// and "TextColor", centred on one line.
#pragma once

#include <string>

#include "dialer/objects/LayoutObject.h"
#include "dialer/surface/MaskedImage.h"

class CButtonObject : public CLayoutObject {
public:
    HRESULT Paint(const ItemEventRecord* item, PaintContext* context) override;
    // The rectangle stored when the button loaded.
    HRESULT GetRect(DWORD flags, RECT* rect) override;
    // A layout pass fetches the caption again.
    HRESULT Layout(LayoutBlock*) override { return RefreshText(); }
    // The source's failure without "Face"; E_FAIL when the face does not load; otherwise
    // the result of reading the item's rectangle. A missing "Mask" only leaves the button
    // without highlight.
    HRESULT Reload() override;
    // The caption from the host's string service ({1A48B65D-...}) for "StringID"; kept as it
    // was when there is no key or no service.
    HRESULT RefreshText();

    const std::u16string& GetCaption() const { return m_caption; }

private:
    CMaskedImage m_face;
    CSharedSurface m_highlight;
    RECT m_rect{};
    std::u16string m_caption;
};
