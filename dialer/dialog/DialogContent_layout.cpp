// The layout of a content: each layer, top first, gets the area left by the layers laid out
// before it, or the whole dialog ("LayerAlign" Screen); a docked layer then takes the part of
// the area its content needs at one side, and a clipping one leaves the rest to the layers
// beneath.
#include <algorithm>

#include "dialer/dialog/DialogContent.h"
#include "dialer/properties/PropertyReader.h"

namespace XmlLayouts {

namespace {

constexpr LONG kAlignLeft = 1;
constexpr LONG kAlignRight = 2;
constexpr LONG kAlignTop = 3;
constexpr LONG kAlignBottom = 4;
constexpr LONG kAlignScreen = 5;

}  // namespace

bool CDialogContent::Layout(LONG width, LONG height, LONG mode) {
    CInterfacePtr<CDialogContent> self(this);
    LayoutBlock dialog;
    dialog.availableWidth = width;
    dialog.availableHeight = height;
    dialog.dialogWidth = width;
    dialog.dialogHeight = height;
    dialog.mode = mode;
    // The area the layers laid out so far have left.
    POINT origin{0, 0};
    SIZE remaining{width, height};
    for (std::size_t i = m_layers.size(); i-- > 0;) {
        if (i >= m_layers.size()) continue;
        CInterfacePtr<CDialogLayer> layer = m_layers[i].layer;
        const LONG align = layer->IntOr(PROPERTY_LAYER_ALIGN, 0);
        LayoutBlock block = dialog;
        if (align != kAlignScreen) {
            block.originX = origin.x;
            block.originY = origin.y;
            block.availableWidth = remaining.cx;
            block.availableHeight = remaining.cy;
        }
        layer->Layout(block);
        if (align < kAlignLeft || align > kAlignBottom) continue;
        const RECT bounds = layer->Bounds();
        const bool clips = layer->IsClipped();
        if (align == kAlignLeft || align == kAlignRight) {
            const LONG side = std::min(bounds.right - bounds.left, remaining.cx);
            const LONG x = align == kAlignLeft ? origin.x : origin.x + remaining.cx - side;
            layer->SetPosition(POINT{x, origin.y});
            layer->SetSize(SIZE{side, remaining.cy});
            if (clips) {
                if (align == kAlignLeft) origin.x += side;
                remaining.cx -= side;
            }
        } else {
            const LONG side = std::min(bounds.bottom - bounds.top, remaining.cy);
            const LONG y = align == kAlignTop ? origin.y : origin.y + remaining.cy - side;
            layer->SetPosition(POINT{origin.x, y});
            layer->SetSize(SIZE{remaining.cx, side});
            if (clips) {
                if (align == kAlignTop) origin.y += side;
                remaining.cy -= side;
            }
        }
    }
    return true;
}

}  // namespace XmlLayouts
