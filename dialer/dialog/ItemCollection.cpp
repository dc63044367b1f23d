// Layer items and item collections.
#include "dialer/dialog/ItemCollection.h"

#include <new>

#include "dialer/foundation/OrmException.h"
#include "platform/base/WideString.h"

CRefPtr<CLayerItem> CLayerItem::Copy() const {
    auto* copy = new (std::nothrow) CLayerItem();
    if (copy == nullptr) ThrowOrm(E_OUTOFMEMORY);
    CRefPtr<CLayerItem> held(copy);
    copy->name = name;
    copy->subId = subId;
    copy->id = id;
    copy->layoutObject = layoutObject;
    copy->element = element;
    copy->children = children;
    copy->cull = cull;
    copy->hasFixedRect = hasFixedRect;
    copy->fixedRect = fixedRect;
    copy->offsetX = offsetX;
    copy->offsetY = offsetY;
    return held;
}

CRefPtr<CLayerItem> CLayerItem::FromDescription(const ItemDescription& description) {
    auto* item = new (std::nothrow) CLayerItem();
    if (item == nullptr) ThrowOrm(E_OUTOFMEMORY);
    CRefPtr<CLayerItem> held(item);
    if (description.name != nullptr) item->name = description.name;
    item->id = description.id;
    item->element.Reset(description.element);
    item->layoutObject.Reset(description.layoutObject);
    item->cull = description.cull;
    return held;
}

CInterfacePtr<CItemCollection> CItemCollection::Make() {
    auto* collection = new (std::nothrow) CItemCollection();
    if (collection == nullptr) ThrowOrm(E_OUTOFMEMORY);
    return CInterfacePtr<CItemCollection>(collection);
}

HRESULT CItemCollection::GetCount(LONG* out) {
    if (out != nullptr) *out = static_cast<LONG>(m_items.size());
    return S_OK;
}

template <class Match>
HRESULT CItemCollection::FindLast(LONG* index, Match match) const {
    for (std::size_t i = m_items.size(); i-- > 0;) {
        if (!match(*m_items[i])) continue;
        if (index != nullptr) *index = static_cast<LONG>(i);
        return S_OK;
    }
    return S_FALSE;
}

HRESULT CItemCollection::FindByName(LPCWSTR name, LONG* index) {
    if (name == nullptr) return E_FAIL;
    return FindLast(index, [name](const CLayerItem& item) { return item.name == name; });
}

HRESULT CItemCollection::FindById(LONG id, LONG* index) {
    return FindLast(index, [id](const CLayerItem& item) { return item.id == id; });
}

HRESULT CItemCollection::FindByNameAndSubId(LPCWSTR name, LONG subId, LONG* index) {
    if (name == nullptr) return E_FAIL;
    return FindLast(index, [name, subId](const CLayerItem& item) { return item.name == name && item.subId == subId; });
}

HRESULT CItemCollection::FindByIdAndSubId(LONG id, LONG subId, LONG* index) {
    return FindLast(index, [id, subId](const CLayerItem& item) { return item.id == id && item.subId == subId; });
}

CLayerItem* CItemCollection::Checked(LONG index) const {
    return index >= 0 && static_cast<std::size_t>(index) < m_items.size() ? m_items[index].Get() : nullptr;
}

HRESULT CItemCollection::GetElement(LONG index, ILayoutElement** out) {
    CLayerItem* item = Checked(index);
    if (item == nullptr || out == nullptr) return E_INVALIDARG;
    *out = item->element.Get();
    if (*out != nullptr) (*out)->AddRef();
    return S_OK;
}

HRESULT CItemCollection::GetLayoutObject(LONG index, IStandardProperties** out) {
    CLayerItem* item = Checked(index);
    if (item == nullptr || out == nullptr) return E_INVALIDARG;
    *out = item->layoutObject.Get();
    if (*out != nullptr) (*out)->AddRef();
    return S_OK;
}

HRESULT CItemCollection::GetOffset(LONG index, POINT* out) {
    CLayerItem* item = Checked(index);
    if (item == nullptr || out == nullptr) return E_INVALIDARG;
    *out = POINT{item->offsetX, item->offsetY};
    return S_OK;
}

HRESULT CItemCollection::GetSubId(LONG index, LONG* out) {
    CLayerItem* item = Checked(index);
    if (item == nullptr || out == nullptr) return E_INVALIDARG;
    *out = item->subId;
    return S_OK;
}

HRESULT CItemCollection::AddItem(const ItemDescription* description) {
    if (description == nullptr) return E_INVALIDARG;
    Append(CLayerItem::FromDescription(*description));
    return S_OK;
}

HRESULT CItemCollection::InsertItem(LONG index, const ItemDescription* description) {
    if (description == nullptr || index < 0 || static_cast<std::size_t>(index) > m_items.size()) return E_INVALIDARG;
    CRefPtr<CLayerItem> item = CLayerItem::FromDescription(*description);
    try {
        m_items.insert(m_items.begin() + index, std::move(item));
    } catch (const std::bad_alloc&) {
        ThrowOrm(E_OUTOFMEMORY);
    }
    return S_OK;
}

HRESULT CItemCollection::RemoveItem(LONG index) {
    if (Checked(index) == nullptr) return E_INVALIDARG;
    RemoveAt(static_cast<std::size_t>(index));
    return S_OK;
}

void CItemCollection::Append(CRefPtr<CLayerItem> item) {
    try {
        m_items.push_back(std::move(item));
    } catch (const std::bad_alloc&) {
        ThrowOrm(E_OUTOFMEMORY);
    }
}

void CItemCollection::RemoveAt(std::size_t index) {
    if (index < m_items.size()) m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(index));
}

bool CItemCollection::Contains(const CLayerItem* item) const {
    for (const CRefPtr<CLayerItem>& held : m_items)
        if (held.Get() == item) return true;
    return false;
}

CLayerItem* CItemCollection::FindSame(const std::u16string& name, LONG id, LONG subId) const {
    for (std::size_t i = m_items.size(); i-- > 0;) {
        CLayerItem* item = m_items[i].Get();
        if (item->name == name && item->id == id && item->subId == subId) return item;
    }
    return nullptr;
}
