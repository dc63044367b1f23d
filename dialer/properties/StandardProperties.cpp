// CStandardProperties: typed reads of the list and the fixed-key accessors.
#include "dialer/properties/StandardProperties.h"

#include <new>

#include "dialer/foundation/OrmException.h"

HRESULT CStandardProperties::GetInt(CPropertyKey key, LONG* out) {
    if (out == nullptr) return E_INVALIDARG;
    return m_list.GetInt(key, out) ? S_OK : E_FAIL;
}

HRESULT CStandardProperties::GetString(CPropertyKey key, BSTR* out) {
    if (out == nullptr) return E_INVALIDARG;
    std::u16string value;
    if (!m_list.GetString(key, &value)) return E_FAIL;
    BSTR copy = SysAllocStringLen(value.c_str(), static_cast<UINT>(value.size()));
    if (copy == nullptr) return E_OUTOFMEMORY;
    *out = copy;
    return S_OK;
}

HRESULT CStandardProperties::GetPoint(CPropertyKey key, POINT* out) {
    if (out == nullptr) return E_INVALIDARG;
    return m_list.GetPoint(key, out) ? S_OK : E_FAIL;
}

HRESULT CStandardProperties::GetRect(CPropertyKey key, RECT* out) {
    if (out == nullptr) return E_INVALIDARG;
    return m_list.GetRect(key, out) ? S_OK : E_FAIL;
}

HRESULT CStandardProperties::GetFont(CPropertyKey key, HFONT* out) {
    if (out == nullptr) return E_INVALIDARG;
    CSharedFont font;
    if (!m_list.GetFont(key, &font)) return E_FAIL;
    *out = font ? font->GetFont() : nullptr;
    return S_OK;
}

HRESULT CStandardProperties::GetObject(CPropertyKey, IUnknown** out) {
    return out == nullptr ? E_INVALIDARG : E_FAIL;
}

HRESULT CStandardProperties::GetFlag(int key, BOOL* out) {
    if (out == nullptr) return E_INVALIDARG;
    *out = FALSE;
    LONG value = 0;
    const HRESULT result = GetInt(key, &value);
    if (FAILED(result)) return result;
    *out = value != 0 ? TRUE : FALSE;
    return result;
}

bool CStandardProperties::IsFlag8Clear() {
    LONG value = 0;
    return GetInt(PROPERTY_FLAG8, &value) == S_OK && value == 0;
}

CInterfacePtr<IStandardProperties> CreateStandardProperties(const CPropertyList& list) {
    auto* reader = new (std::nothrow) CStandardProperties(list);
    if (reader == nullptr) ThrowOrm(E_OUTOFMEMORY);
    return CInterfacePtr<IStandardProperties>(reader);
}
