// The handler of a layer: the plug-in that a layout names as its "DialogObject" (or that the
// caller of LoadDialog hands in). It sees every event of its layer first and may paint,
// hide, place, measure and repeat items itself. Plug-ins answer S_OK for done and S_FALSE
// for not handled; the dialer's panel base class answers S_FALSE where a panel does not
// override.
#pragma once

#include "dialer/dialog/ItemEventRecord.h"
#include "dialer/dialog/LayoutBlock.h"
#include "dialer/foundation/InterfaceIds.h"
#include "dialer/foundation/Unknown.h"
#include "platform/base/Types.h"

struct PaintContext;

// The layout phases a handler is told about during a layer's pass: before its layout node
// is chosen and the templates built, after that, before the items are arranged (the block
// carries the working collection, which the handler may change) and after.
constexpr LONG LAYOUT_PHASE_BEGIN = 0;
constexpr LONG LAYOUT_PHASE_TEMPLATES_BUILT = 1;
constexpr LONG LAYOUT_PHASE_ARRANGING = 2;
constexpr LONG LAYOUT_PHASE_ARRANGED = 3;

class IPanelPlugin : public IUnknown {
public:
    static constexpr IID kIid = IID_IPanelPlugin;

    // A service of the plug-in by identifier; S_FALSE when it has none.
    virtual HRESULT GetService(REFIID iid, void** out) = 0;
    // The plug-in becomes the layer's handler (only the layer part of the record is
    // filled); S_OK accepts.
    virtual HRESULT OnLayer(const ItemEventRecord* layer) = 0;
    // Non-zero: the item is hidden (the panel base answers 0, so that a panel that does not
    // override hides nothing).
    virtual BOOL IsItemHidden(const ItemEventRecord* item) = 0;
    // S_OK: the plug-in painted the item.
    virtual HRESULT PaintItem(const ItemEventRecord* item, PaintContext* context) = 0;
    // S_OK with the item's state, meaning what an element's state means.
    virtual HRESULT GetItemState(const ItemEventRecord* item, LONG* state) = 0;
    // S_OK with the item's rectangle in the layer's content coordinates.
    virtual HRESULT GetItemRect(const ItemEventRecord* item, DWORD flags, RECT* rect) = 0;
    // S_OK: the layer is left out of arrow-key navigation.
    virtual HRESULT QueryNavigation(const ItemEventRecord* layer) = 0;
    // Asked when the pointer is released off the pressed item; S_OK clears it.
    virtual HRESULT OnReleaseOffItem(const ItemEventRecord* item) = 0;
    // Kept for the plug-ins' table; the framework does not call it.
    virtual HRESULT Reserved() = 0;
    // Called after every pointer release on the layer (and by the layer's HandlerCommand);
    // S_OK asks for OnPointerReleased next.
    virtual HRESULT Command(WPARAM first, LPARAM second) = 0;
    virtual HRESULT OnPointerReleased(WPARAM first, LPARAM second) = 0;
    // S_OK when measured.
    virtual HRESULT MeasureItem(const ItemEventRecord* item, HDC dc, LONG* width, LONG* height) = 0;
    // One of the LAYOUT_PHASE_ values of the layer's pass.
    virtual HRESULT OnLayoutPhase(const ItemEventRecord* layer, LONG phase, LayoutBlock* block) = 0;
    // A press on an item: S_OK when taken.
    virtual HRESULT OnItemClick(const ItemEventRecord* item, POINT point, BOOL* handled, BOOL mark) = 0;
    virtual HRESULT OnItemRelease(const ItemEventRecord* item, LPARAM argument) = 0;
    // S_OK: handled.
    virtual HRESULT HandleEvent(const ItemEventRecord* layer, UINT code, WPARAM argument, void* data) = 0;
    // Data item `index` of a template (its id) under a parent: S_OK while it exists, with the
    // key that becomes the sub-id of the copies of the template's children.
    virtual HRESULT GetDataItem(LONG parent, LONG templateId, LONG index, LONG* key) = 0;
};
