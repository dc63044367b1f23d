// CLayerItem, one item of a layer (the element object that shows it, its layout object, its
// place), and CItemCollection, the ordered items of a layer. Items are counted objects that
// collections hold by reference, so a layer's pressed item stays valid however its
// collection grows or shrinks.
#pragma once

#include <string>
#include <vector>

#include "dialer/dialog/ItemCollectionInterface.h"
#include "dialer/foundation/RefCounted.h"
#include "dialer/objects/LayoutElement.h"
#include "dialer/properties/PropertyReader.h"

class CItemCollection;

class CLayerItem : public CRefCounted {
public:
    std::u16string name;
    LONG subId = -1;
    LONG id = -1;  // items without an id are never offered to the handler
    CInterfacePtr<IStandardProperties> layoutObject;
    CInterfacePtr<ILayoutElement> element;
    // A template's items, repeated for each of the handler's data items.
    CInterfacePtr<CItemCollection> children;
    BOOL cull = FALSE;
    BOOL hasFixedRect = FALSE;
    RECT fixedRect{};
    LONG offsetX = 0;  // the item's origin inside the layer's content
    LONG offsetY = 0;

    // A new item with the same values, sharing the objects. Throws E_OUTOFMEMORY.
    CRefPtr<CLayerItem> Copy() const;
    // An item made from a description. Throws E_OUTOFMEMORY.
    static CRefPtr<CLayerItem> FromDescription(const ItemDescription& description);
};

class CItemCollection : public CUnknownImpl<IItemCollection> {
public:
    // An empty collection with one reference. Throws E_OUTOFMEMORY.
    static CInterfacePtr<CItemCollection> Make();

    HRESULT GetCount(LONG* out) override;
    HRESULT FindByName(LPCWSTR name, LONG* index) override;
    HRESULT FindById(LONG id, LONG* index) override;
    HRESULT FindByNameAndSubId(LPCWSTR name, LONG subId, LONG* index) override;
    HRESULT FindByIdAndSubId(LONG id, LONG subId, LONG* index) override;
    HRESULT GetElement(LONG index, ILayoutElement** out) override;
    HRESULT GetLayoutObject(LONG index, IStandardProperties** out) override;
    HRESULT GetOffset(LONG index, POINT* out) override;
    HRESULT GetSubId(LONG index, LONG* out) override;
    HRESULT AddItem(const ItemDescription* description) override;
    HRESULT InsertItem(LONG index, const ItemDescription* description) override;
    HRESULT RemoveItem(LONG index) override;

    std::size_t Count() const { return m_items.size(); }
    CLayerItem* At(std::size_t index) const { return index < m_items.size() ? m_items[index].Get() : nullptr; }
    // Throw E_OUTOFMEMORY.
    void Append(CRefPtr<CLayerItem> item);
    void RemoveAt(std::size_t index);
    bool Contains(const CLayerItem* item) const;
    // The last item of that name, id and sub-id, or null.
    CLayerItem* FindSame(const std::u16string& name, LONG id, LONG subId) const;

private:
    template <class Match>
    HRESULT FindLast(LONG* index, Match match) const;
    CLayerItem* Checked(LONG index) const;

    std::vector<CRefPtr<CLayerItem>> m_items;
};
