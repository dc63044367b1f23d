// CPropertySet: override first, then the list.
#include "dialer/properties/PropertySet.h"

#include <new>

#include "dialer/foundation/OrmException.h"

CPropertySet::CPropertySet(const CPropertyList& list, IPropertyReader* overrideReader)
    : m_override(overrideReader), m_list(list) {}

HRESULT CPropertySet::GetInt(CPropertyKey key, LONG* out) {
    if (out == nullptr) ThrowOrm(E_INVALIDARG);
    if (m_override && m_override->GetInt(key, out) == S_OK) return S_OK;
    return m_list.GetInt(key, out) ? S_OK : E_FAIL;
}

HRESULT CPropertySet::GetString(CPropertyKey key, BSTR* out) {
    if (out == nullptr) ThrowOrm(E_INVALIDARG);
    if (m_override && m_override->GetString(key, out) == S_OK) return S_OK;
    std::u16string value;
    if (!m_list.GetString(key, &value)) return E_FAIL;
    BSTR copy = SysAllocStringLen(value.c_str(), static_cast<UINT>(value.size()));
    if (copy == nullptr) return E_OUTOFMEMORY;
    *out = copy;
    return S_OK;
}

HRESULT CPropertySet::GetPoint(CPropertyKey key, POINT* out) {
    if (out == nullptr) ThrowOrm(E_INVALIDARG);
    if (m_override && m_override->GetPoint(key, out) == S_OK) return S_OK;
    return m_list.GetPoint(key, out) ? S_OK : E_FAIL;
}

HRESULT CPropertySet::GetRect(CPropertyKey key, RECT* out) {
    if (out == nullptr) ThrowOrm(E_INVALIDARG);
    if (m_override && m_override->GetRect(key, out) == S_OK) return S_OK;
    return m_list.GetRect(key, out) ? S_OK : E_FAIL;
}

HRESULT CPropertySet::GetFont(CPropertyKey key, HFONT* out) {
    if (out == nullptr) ThrowOrm(E_INVALIDARG);
    if (m_override && m_override->GetFont(key, out) == S_OK) return S_OK;
    CSharedFont font;
    if (!m_list.GetFont(key, &font)) return E_FAIL;
    *out = font ? font->GetFont() : nullptr;
    return S_OK;
}

HRESULT CPropertySet::GetObject(CPropertyKey key, IUnknown** out) {
    if (out == nullptr) ThrowOrm(E_INVALIDARG);
    if (!m_override) return E_FAIL;
    return m_override->GetObject(key, out) == S_OK ? S_OK : E_FAIL;
}

CInterfacePtr<IPropertyReader> CreatePropertySet(const CPropertyList& list, IPropertyReader* overrideReader) {
    auto* set = new (std::nothrow) CPropertySet(list, overrideReader);
    if (set == nullptr) ThrowOrm(E_OUTOFMEMORY);
    return CInterfacePtr<IPropertyReader>(set);
}
