// Painting a layer's items, and the pressed highlight.
#include "dialer/dialog/DialogLayer.h"
#include "dialer/dialog/RectMath.h"
#include "dialer/dialog/RoundedRect.h"
#include "platform/gdi/DeviceContext.h"

namespace {

constexpr COLORREF kHighlightColor = 0xFFFFFF;
constexpr int kHighlightAlpha = 100;

}  // namespace

void CDialogLayer::PaintItems(const PaintContext& context, ILayoutElement* filter) {
    if (!m_arranged) return;
    CDCStateSaver saver(context.dc);
    if (context.dc != nullptr) SetBkMode(context.dc, TRANSPARENT);
    CLayerItem* pressed = PressedItem();
    // Walk by index: an item may change the collection while it paints, and each item is
    // held for its own call.
    for (std::size_t i = 0; i < m_arranged->Count(); ++i) {
        CRefPtr<CLayerItem> item(m_arranged->At(i));
        if (filter != nullptr && item->element.Get() != filter) continue;
        const LONG sourceX = context.sourceX - item->offsetX;
        const LONG sourceY = context.sourceY - item->offsetY;
        const ItemEventRecord record = MakeRecord(item.Get());
        const bool offeredToHandler = item->id != -1 && m_handler;
        if (item->hasFixedRect || item->cull) {
            RECT rect{};
            if (ItemRect(*item, true, &rect) &&
                !RectsMeet(rect, RectOfSize(sourceX, sourceY, context.width, context.height)))
                continue;
        }
        if (offeredToHandler && m_handler->IsItemHidden(&record) != FALSE) continue;

        PaintContext itemContext = context;
        itemContext.mode = 0;
        itemContext.sourceX = sourceX;
        itemContext.sourceY = sourceY;
        itemContext.subId = item->subId;
        if (context.mode != 0 && item.Get() == pressed) {
            itemContext.mode = context.mode;
            LONG state = 0;
            bool known = false;
            if (offeredToHandler) known = m_handler->GetItemState(&record, &state) == S_OK;
            if (!known && item->element) known = item->element->GetState(&state) == S_OK;
            RECT raw{};
            if (known && state == 1 && ItemRect(*item, true, &raw)) DrawPressedHighlight(&itemContext, &raw);
        }
        if (offeredToHandler && m_handler->PaintItem(&record, &itemContext) == S_OK) continue;
        if (item->element) item->element->Paint(&record, &itemContext);
    }
}

HRESULT CDialogLayer::DrawPressedHighlight(const PaintContext* context, const RECT* rect) {
    if (context == nullptr || rect == nullptr) return E_INVALIDARG;
    const RECT mapped = OffsetRectBy(*rect, context->OffsetX(), context->OffsetY());
    if (!RectsMeet(mapped, RectOfSize(context->destinationX, context->destinationY, context->width, context->height)))
        return S_OK;
    CDibSurface target;
    if (!AttachSurfaceBitmap(target, context->bitmap, context->dc)) return E_FAIL;
    const LONG corner = CornerSize();
    if (m_cornerMask.IsEmpty() || m_cornerMask.GetWidth() != corner) MakeCornerMask(m_cornerMask, corner);
    // The whole rectangle, not its part inside the area: the highlight keeps its corners
    // where a band cuts it.
    FillRoundedRectRGB565(target, mapped, kHighlightColor, kHighlightAlpha, m_cornerMask);
    return S_OK;
}
