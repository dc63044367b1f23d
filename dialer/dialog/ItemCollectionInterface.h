// The item collection of a layer: the ordered items that its painting, hit testing and
// navigation walk, reached by handlers through a locked proxy.
#pragma once

#include "dialer/foundation/InterfaceIds.h"
#include "dialer/foundation/Unknown.h"
#include "platform/base/Types.h"

class ILayoutElement;
class IStandardProperties;

// What AddItem and InsertItem make an item from.
struct ItemDescription {
    LPCWSTR name = nullptr;
    LONG id = -1;
    ILayoutElement* element = nullptr;
    IStandardProperties* layoutObject = nullptr;
    BOOL cull = FALSE;  // the item's rectangle is known and may skip painting
};

class IItemCollection : public IUnknown {
public:
    static constexpr IID kIid = IID_IItemCollection;

    // The number of items (nothing written for a null out).
    virtual HRESULT GetCount(LONG* out) = 0;
    // Searched from the last item to the first, names compared exactly: S_OK with the index,
    // S_FALSE when none matches; E_FAIL for a null name.
    virtual HRESULT FindByName(LPCWSTR name, LONG* index) = 0;
    virtual HRESULT FindById(LONG id, LONG* index) = 0;
    virtual HRESULT FindByNameAndSubId(LPCWSTR name, LONG subId, LONG* index) = 0;
    virtual HRESULT FindByIdAndSubId(LONG id, LONG subId, LONG* index) = 0;
    // The item's objects with a reference; E_INVALIDARG for a bad index or a null out.
    virtual HRESULT GetElement(LONG index, ILayoutElement** out) = 0;
    virtual HRESULT GetLayoutObject(LONG index, IStandardProperties** out) = 0;
    virtual HRESULT GetOffset(LONG index, POINT* out) = 0;
    virtual HRESULT GetSubId(LONG index, LONG* out) = 0;
    virtual HRESULT AddItem(const ItemDescription* description) = 0;
    // E_INVALIDARG when index is past the end.
    virtual HRESULT InsertItem(LONG index, const ItemDescription* description) = 0;
    virtual HRESULT RemoveItem(LONG index) = 0;
};
