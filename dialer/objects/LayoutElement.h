// The element object of a layout item: what the object factory makes for an item's class
// name, and the operations through which a layer paints it, asks for its rectangle and
// state, and hands it pointer, key and custom events.
#pragma once

#include "dialer/foundation/InterfaceIds.h"
#include "dialer/foundation/Unknown.h"
#include "platform/base/Types.h"

struct ItemEventRecord;  // what a layer tells about one of its items
struct PaintContext;     // the target and origin of a paint pass
struct LayoutBlock;      // the running state of a layer's layout pass

class ILayoutElement : public IUnknown {
public:
    static constexpr IID kIid = IID_ILayoutElement;

    // Not called by the framework; the classes answer S_FALSE.
    virtual HRESULT Prepare() = 0;
    // The item's host (the layer's site) and the layer; both required.
    virtual HRESULT SetSite(IUnknown* host, IUnknown* layer) = 0;
    // The item's layout object; a non-zero answer refuses the item.
    virtual HRESULT Attach(IUnknown* layoutObject) = 0;
    virtual HRESULT Paint(const ItemEventRecord* item, PaintContext* context) = 0;
    // Non-zero: the item is selectable; 1: drawn pressed while it is the pressed item.
    virtual HRESULT GetState(LONG* state) = 0;
    // S_OK with the item's rectangle in layer content coordinates.
    virtual HRESULT GetRect(DWORD flags, RECT* rect) = 0;
    virtual HRESULT Measure(HDC dc, LONG* width, LONG* height) = 0;
    // Non-zero: the item is inactive and ignores presses.
    virtual HRESULT IsInactive() = 0;
    // S_OK accepts becoming the layer's pressed item.
    virtual HRESULT Select(LONG code, LPARAM first, LPARAM second) = 0;
    // Success with *handled set when the item used the key.
    virtual HRESULT OnKey(UINT key, BOOL* handled) = 0;
    virtual HRESULT OnPress(POINT point, BOOL mark) = 0;
    virtual HRESULT OnRelease(LPARAM argument) = 0;
    virtual HRESULT Layout(LayoutBlock* block) = 0;
    // S_OK when the event was handled.
    virtual HRESULT HandleEvent(UINT code, WPARAM argument, void* data) = 0;
};
