// The layer's interface operations and its selection.
#include "dialer/dialog/DialogLayer.h"

#include <algorithm>

#include "dialer/dialog/DialogEvents.h"
#include "dialer/dialog/RectMath.h"
#include "dialer/foundation/OrmException.h"
#include "dialer/properties/StandardProperties.h"

namespace {

// The code a selection by name or id passes to the element.
constexpr LONG kSelectCode = 40;

template <class T>
HRESULT GiveReference(T* object, T** out) {
    if (out == nullptr) return E_INVALIDARG;
    if (object == nullptr) return E_FAIL;
    object->AddRef();
    *out = object;
    return S_OK;
}

}  // namespace

CDialogLayer::CDialogLayer(CRefPtr<CLayoutSet> layoutSet, IDialogManager* site)
    : m_site(site), m_layoutSet(std::move(layoutSet)) {
    if (!m_layoutSet || !m_site) ThrowOrm(E_ORM_FAIL);
    if (!CreateLockedProxy(&m_proxy, static_cast<IDialogLayer*>(this))) ThrowOrm(E_ORM_FAIL);
}

CDialogLayer::~CDialogLayer() {
    m_cornerMask.ReleaseBitmap();
    CWeakLink::Detach(&m_arrangedProxy);
    m_pressed.Reset();
    m_standardProperties.Reset();
    m_arranged.Reset();
    m_templates.Reset();
    m_handler.Reset();
    m_handlerObject.Reset();
    CWeakLink::Detach(&m_proxy);
    m_owner.Reset();
    m_site.Reset();
}

HRESULT CDialogLayer::GetSite(IDialogManager** out) { return GiveReference(m_site.Get(), out); }

HRESULT CDialogLayer::GetOwner(IUnknown** out) {
    return GiveReference(static_cast<IUnknown*>(m_owner.Get()), out);
}

HRESULT CDialogLayer::GetStandardProperties(IStandardProperties** out) {
    if (out == nullptr) return E_INVALIDARG;
    if (!m_standardProperties) m_standardProperties = CreateStandardProperties(m_properties);
    return GiveReference(m_standardProperties.Get(), out);
}

HRESULT CDialogLayer::QueryHandler(REFIID iid, void** out) {
    if (!m_handlerObject) return E_FAIL;
    return m_handlerObject->QueryInterface(iid, out);
}

HRESULT CDialogLayer::GetName(BSTR* out) {
    if (out != nullptr) *out = SysAllocStringLen(m_name.c_str(), static_cast<UINT>(m_name.size()));
    return S_OK;
}

HRESULT CDialogLayer::GetProxy(IItemCollection** out) {
    if (out == nullptr) return E_INVALIDARG;
    return GiveReference(static_cast<IItemCollection*>(m_arrangedProxy.Get()), out);
}

HRESULT CDialogLayer::HandleEvent(UINT code, WPARAM argument, void* data) {
    if (!m_handler) return S_FALSE;
    const ItemEventRecord record = MakeRecord(nullptr);
    return m_handler->HandleEvent(&record, code, argument, data) == S_OK ? S_OK : S_FALSE;
}

HRESULT CDialogLayer::HandlerCommand(WPARAM first, LPARAM second) {
    if (!m_handler) return S_FALSE;
    return m_handler->Command(first, second);
}

CLayerItem* CDialogLayer::PressedItem() {
    // Items are counted, so the pressed one stays valid when its collection changes; one
    // that has left the arranged collection is pressed no more.
    if (m_pressed && (!m_arranged || !m_arranged->Contains(m_pressed.Get()))) m_pressed.Reset();
    return m_pressed.Get();
}

bool CDialogLayer::SelectItem(CLayerItem* item, LONG code, LPARAM first, LPARAM second) {
    if (item == nullptr || !item->element || item->element->Select(code, first, second) != S_OK) return false;
    m_pressed.Reset(item);
    RECT rect{};
    if (ItemRect(*item, false, &rect)) EnsureVisible(&rect, nullptr);
    HandleEvent(DIALOG_EVENT_SELECTION_CHANGED, 1, nullptr);
    return true;
}

HRESULT CDialogLayer::SelectItemByName(LPCWSTR name) {
    if (name == nullptr) {
        if (PressedItem() != nullptr) {
            m_pressed.Reset();
            InvalidateSite(FALSE);
            HandleEvent(DIALOG_EVENT_SELECTION_CHANGED, 0, nullptr);
        }
        return S_OK;
    }
    LONG index = -1;
    if (!m_arranged || m_arranged->FindByName(name, &index) != S_OK) return S_FALSE;
    if (!SelectItem(m_arranged->At(static_cast<std::size_t>(index)), kSelectCode, 0, 0)) return S_FALSE;
    InvalidateSite(FALSE);
    return S_OK;
}

HRESULT CDialogLayer::GetSelectedItemName(BSTR* out) {
    if (out == nullptr) return E_FAIL;
    CLayerItem* pressed = PressedItem();
    if (pressed == nullptr) return S_FALSE;
    *out = SysAllocStringLen(pressed->name.c_str(), static_cast<UINT>(pressed->name.size()));
    return S_OK;
}

HRESULT CDialogLayer::SelectItemById(LONG id, LONG subId) {
    LONG index = -1;
    if (!m_arranged || m_arranged->FindByIdAndSubId(id, subId, &index) != S_OK) return S_FALSE;
    if (!SelectItem(m_arranged->At(static_cast<std::size_t>(index)), kSelectCode, 0, 0)) return S_FALSE;
    InvalidateSite(FALSE);
    return S_OK;
}

HRESULT CDialogLayer::GetSelectedItemIds(LONG* id, LONG* subId) {
    if (id == nullptr || subId == nullptr) return E_FAIL;
    CLayerItem* pressed = PressedItem();
    if (pressed == nullptr) return S_FALSE;
    *id = pressed->id;
    *subId = pressed->subId;
    return S_OK;
}

HRESULT CDialogLayer::GetPosition(POINT* out) {
    if (out == nullptr) return E_FAIL;
    *out = m_position;
    return S_OK;
}

HRESULT CDialogLayer::GetSize(SIZE* out) {
    if (out == nullptr) return E_FAIL;
    *out = m_size;
    return S_OK;
}

HRESULT CDialogLayer::GetContentBounds(RECT* out) {
    if (out == nullptr) return E_FAIL;
    *out = m_bounds;
    return S_OK;
}

HRESULT CDialogLayer::SetScroll(POINT scroll) {
    m_scroll = scroll;
    return S_OK;
}

HRESULT CDialogLayer::GetScroll(POINT* out, const POINT* offset) {
    if (out == nullptr) return E_FAIL;
    *out = m_scroll;
    if (offset != nullptr) {
        out->x -= offset->x;
        out->y -= offset->y;
    }
    return S_OK;
}

HRESULT CDialogLayer::EnsureVisible(const RECT* rect, const POINT* offset) {
    if (rect == nullptr) return E_FAIL;
    const RECT r = offset != nullptr ? OffsetRectBy(*rect, offset->x, offset->y) : *rect;
    if (r.top < m_scroll.y)
        m_scroll.y = r.top;
    else if (r.bottom > m_scroll.y + m_size.cy)
        m_scroll.y = r.bottom - m_size.cy;
    if (r.left < m_scroll.x)
        m_scroll.x = r.left;
    else if (r.right > m_scroll.x + m_size.cx)
        m_scroll.x = r.right - m_size.cx;
    return S_OK;
}

HRESULT CDialogLayer::LayerToDialog(POINT* point, const POINT* offset) {
    if (point == nullptr) return E_FAIL;
    const POINT shift = offset != nullptr ? *offset : POINT{};
    point->x += shift.x + m_position.x - m_scroll.x;
    point->y += shift.y + m_position.y - m_scroll.y;
    return S_OK;
}

HRESULT CDialogLayer::DialogToLayer(POINT* point, const POINT* offset) {
    if (point == nullptr) return E_FAIL;
    const POINT shift = offset != nullptr ? *offset : POINT{};
    point->x += m_scroll.x - m_position.x - shift.x;
    point->y += m_scroll.y - m_position.y - shift.y;
    return S_OK;
}

HRESULT CDialogLayer::SetPosition(POINT position) {
    m_position = position;
    return S_OK;
}

HRESULT CDialogLayer::SetSize(SIZE size) {
    m_size = size;
    return S_OK;
}

void CDialogLayer::SetScrollClamped(POINT scroll) {
    m_scroll = scroll;
    const LONG contentHeight = m_bounds.bottom - m_bounds.top;
    const LONG contentWidth = m_bounds.right - m_bounds.left;
    if (m_size.cy < contentHeight)
        m_scroll.y = std::clamp(m_scroll.y, m_bounds.top, m_bounds.bottom - m_size.cy);
    if (m_size.cx < contentWidth)
        m_scroll.x = std::clamp(m_scroll.x, m_bounds.left, m_bounds.right - m_size.cx);
}

bool CDialogLayer::IsClipped() const {
    LONG clip = 0;
    return !m_properties.GetInt(PROPERTY_CLIP, &clip) || clip != 0;
}

LONG CDialogLayer::IntOr(int key, LONG fallback) const {
    LONG value = fallback;
    return m_properties.GetInt(key, &value) ? value : fallback;
}

ItemEventRecord CDialogLayer::MakeRecord(const CLayerItem* item) const {
    ItemEventRecord record;
    record.site = m_site.Get();
    record.layer = m_proxy.Get();
    record.layerName = m_name.c_str();
    if (item == nullptr) return record;
    record.id = item->id;
    record.subId = item->subId;
    record.name = item->name.c_str();
    record.layoutObject = item->layoutObject.Get();
    record.element = item->element.Get();
    record.offsetX = item->offsetX;
    record.offsetY = item->offsetY;
    return record;
}

bool CDialogLayer::ItemRect(const CLayerItem& item, bool raw, RECT* rect) {
    RECT found{};
    bool known = false;
    if (item.hasFixedRect) {
        found = item.fixedRect;
        known = true;
    } else {
        if (item.id != -1 && m_handler) {
            const ItemEventRecord record = MakeRecord(&item);
            if (m_handler->IsItemHidden(&record) != FALSE) return false;
            known = m_handler->GetItemRect(&record, 0, &found) == S_OK;
        }
        if (!known && item.element) known = item.element->GetRect(1, &found) == S_OK;
        if (!known && item.layoutObject) known = item.layoutObject->GetBoundRect(&found) == S_OK;
    }
    if (!known) return false;
    *rect = raw ? found : OffsetRectBy(found, item.offsetX, item.offsetY);
    return true;
}

void CDialogLayer::InvalidateSite(BOOL now) {
    if (m_site) m_site->Invalidate(now);
}
