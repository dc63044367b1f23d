// The layer interface: a scrollable rectangle of a dialog holding an ordered list of items,
// as its holders (handlers, items, the content) reach it. Getters with a null out-pointer
// answer E_FAIL unless said otherwise, and leave their out-pointers untouched on failure.
#pragma once

#include "dialer/foundation/InterfaceIds.h"
#include "dialer/foundation/Unknown.h"
#include "platform/base/Bstr.h"
#include "platform/base/Types.h"

class IDialogManager;
class IItemCollection;
class IStandardProperties;
struct PaintContext;

class IDialogLayer : public IUnknown {
public:
    static constexpr IID kIid = IID_IDialogLayer;

    // The manager's site with a reference; E_INVALIDARG for a null out, E_FAIL when none.
    virtual HRESULT GetSite(IDialogManager** out) = 0;
    // The object told about drags (the owning content's proxy), likewise.
    virtual HRESULT GetOwner(IUnknown** out) = 0;
    // The standard-properties reader over the layer's settings, made on first call.
    virtual HRESULT GetStandardProperties(IStandardProperties** out) = 0;
    // QueryInterface on the handler; E_FAIL without one.
    virtual HRESULT QueryHandler(REFIID iid, void** out) = 0;
    // A new system string of the name (the caller frees it); S_OK, also for a null out.
    virtual HRESULT GetName(BSTR* out) = 0;
    // The proxy of the arranged item collection with a reference.
    virtual HRESULT GetProxy(IItemCollection** out) = 0;
    // Offers the event to the handler: S_OK when it handled it, S_FALSE otherwise.
    virtual HRESULT HandleEvent(UINT code, WPARAM argument, void* data) = 0;
    // A null name clears the selection. S_FALSE when no item has the name or it refuses.
    virtual HRESULT SelectItemByName(LPCWSTR name) = 0;
    // The pressed item's name; E_FAIL for a null out, S_FALSE when nothing is pressed.
    virtual HRESULT GetSelectedItemName(BSTR* out) = 0;
    virtual HRESULT SelectItemById(LONG id, LONG subId) = 0;
    virtual HRESULT GetSelectedItemIds(LONG* id, LONG* subId) = 0;
    // Fills rect (layer content coordinates, mapped through context) with the pressed
    // highlight when it meets the context's area.
    virtual HRESULT DrawPressedHighlight(const PaintContext* context, const RECT* rect) = 0;
    virtual HRESULT GetPosition(POINT* out) = 0;
    virtual HRESULT GetSize(SIZE* out) = 0;
    virtual HRESULT GetContentBounds(RECT* out) = 0;
    virtual HRESULT SetScroll(POINT scroll) = 0;
    // The scroll position minus offset (when given).
    virtual HRESULT GetScroll(POINT* out, const POINT* offset) = 0;
    // Scrolls (without clamping) so that rect, moved by offset, is inside the layer.
    virtual HRESULT EnsureVisible(const RECT* rect, const POINT* offset) = 0;
    // point + offset + position − scroll, and back.
    virtual HRESULT LayerToDialog(POINT* point, const POINT* offset) = 0;
    virtual HRESULT DialogToLayer(POINT* point, const POINT* offset) = 0;
    // Lays the layer out again where it stands.
    virtual HRESULT RelayoutInPlace() = 0;
    virtual HRESULT SetPosition(POINT position) = 0;
    virtual HRESULT SetSize(SIZE size) = 0;
};
